// Fuzzes the runtime search and the registry module together. The input builds
// an in-memory registry under the Java key, with any version names and any
// JavaHome value, and picks the misbehaviour the platform's contracts allow.
// Besides the sanitizers it checks that no key stays open, the caller's root is
// never closed, the search ends in exactly one of its five outcomes, and that
// outcome and the folder are the ones an independent model predicts.
//
// Short run:  build/fuzz/locator_fuzz -max_total_time=60 NEW-DIR tests/fuzz/corpus
// Long run:   build/fuzz/locator_fuzz -runs=10000000 NEW-DIR tests/fuzz/corpus

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "fake_registry.h"
#include "messages.h"
#include "mod_main.h"
#include "recording_ui.h"

namespace {

const std::string kJre = "SOFTWARE\\JavaSoft\\Java Runtime Environment";

enum class Outcome { kNotInstalled, kNoSuitable, kFound, kSilentlyEmpty, kSearchError };

struct Expected {
    Outcome outcome;
    std::wstring javaHome;
};

struct Version {
    std::string name;
    bool denied = false;
    std::optional<std::uint32_t> type;  // no JavaHome value at all when empty
    std::vector<std::uint8_t> data;
    std::size_t growth = 0;
    int growths = 0;
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "locator_fuzz: %s\n", what);
    std::abort();
}

// A version name as the walk reads it: its first three characters, blanks
// around them, an optional sign, then a plain decimal number.
std::optional<double> ModelVersion(const std::string& name) {
    static const std::regex number(R"(^[ \t]*[+-]?(\d+\.?\d*|\.\d+)[ \t]*$)");
    const std::string head = name.substr(0, 3);
    if (!std::regex_match(head, number)) return std::nullopt;
    return std::strtod(head.c_str(), nullptr);
}

std::wstring Latin1(const std::uint8_t* bytes, std::size_t count) {
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) text.push_back(bytes[i]);
    return text;
}

// JavaHome as it stands after the read: a value of more than 1024 bytes is
// read again at the size the platform asked for, and one that grows each time
// is given up after four queries.
Expected ModelJavaHome(const Version& v) {
    if (v.denied) return {Outcome::kSilentlyEmpty, {}};
    if (!v.type) return {Outcome::kSearchError, {}};
    std::size_t buffer = 1024;
    std::size_t grown = 0;
    bool whole = false;
    for (int query = 0; query < 4; ++query) {
        const std::size_t stored = v.data.size() + grown;
        if (stored <= buffer) {
            whole = true;
            break;
        }
        buffer = stored;
        if (query < v.growths) grown += v.growth;
    }
    if (!whole) return {Outcome::kSearchError, {}};
    std::vector<std::uint8_t> data(grown, 'g');
    data.insert(data.end(), v.data.begin(), v.data.end());

    std::wstring text;
    switch (*v.type) {
        case registry::kString:
        case registry::kExpandString:
            text = Latin1(data.data(), data.empty() ? 0 : data.size() - 1);
            break;
        case registry::kMultiString:
            text = Latin1(data.data(), data.size() < 2 ? 0 : data.size() - 2);
            break;
        case registry::kBinary:
            text = Latin1(data.data(), std::find(data.begin(), data.end(), 0) - data.begin());
            break;
        case registry::kDword: {
            std::uint32_t bits = 0;
            for (std::size_t i = 0; i < 4 && i < data.size(); ++i) bits |= std::uint32_t{data[i]} << (8 * i);
            text = std::to_wstring(static_cast<std::int32_t>(bits));
            break;
        }
        default:
            return {Outcome::kSearchError, {}};
    }
    if (text.empty()) return {Outcome::kSilentlyEmpty, {}};
    return {Outcome::kFound, text};
}

Expected Model(bool keyExists, bool keyDenied, const std::vector<Version>& versions, std::size_t listed) {
    if (!keyExists || keyDenied) return {Outcome::kNotInstalled, {}};
    for (std::size_t i = 0; i < listed; ++i) {
        const std::optional<double> number = ModelVersion(versions[i].name);
        if (!number) return {Outcome::kSearchError, {}};
        if (*number >= 1.4) return ModelJavaHome(versions[i]);
    }
    return {Outcome::kNoSuitable, {}};
}

Outcome Observed(const RecordingUi& ui, bool ended) {
    const auto& b = ui.boxes;
    const auto only = [&](std::wstring_view text) { return b.size() == 1 && b[0] == text; };
    if (ended && only(messages::kJavaNotInstalled)) return Outcome::kNotInstalled;
    if (ended && only(messages::kNoSuitableJava)) return Outcome::kNoSuitable;
    if (!ended && b.empty()) return JavaHomePath.empty() ? Outcome::kSilentlyEmpty : Outcome::kFound;
    if (!ended && b.size() == 2 && b[1] == messages::kSearchFailed && JavaHomePath.empty()) {
        return Outcome::kSearchError;
    }
    Fail("the search ended in none of its outcomes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider input(bytes, size);
    const bool keyExists = input.ConsumeIntegralInRange<int>(0, 15) != 0;
    const bool keyDenied = input.ConsumeIntegralInRange<int>(0, 15) == 0;

    // Names of any bytes but the two a key name cannot hold; no two alike, as
    // the platform keeps them.
    std::vector<Version> versions;
    std::set<std::string> names;
    const int count = input.ConsumeIntegralInRange<int>(0, 12);
    for (int i = 0; i < count; ++i) {
        Version v;
        v.name = input.ConsumeRandomLengthString(300);
        for (char& c : v.name) {
            if (c == '\0' || c == '\\') c = '_';
        }
        if (v.name.empty() || !names.insert(v.name).second) continue;
        v.denied = input.ConsumeIntegralInRange<int>(0, 15) == 0;
        if (input.ConsumeIntegralInRange<int>(0, 15) != 0) {
            static constexpr std::uint32_t kTypes[] = {registry::kNone,         registry::kString,
                                                       registry::kExpandString, registry::kBinary,
                                                       registry::kDword,        registry::kDwordBigEndian,
                                                       registry::kLink,         registry::kMultiString,
                                                       registry::kQword,        0x12345678};
            v.type = input.PickValueInArray(kTypes);
            // Short values come from the input; long ones repeat a fill byte,
            // so sizes on both sides of 1024 stay cheap to reach.
            if (input.ConsumeBool()) {
                v.data = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
            } else {
                v.data.assign(input.ConsumeIntegralInRange<std::size_t>(0, 5000), input.ConsumeIntegral<std::uint8_t>());
            }
            if (input.ConsumeIntegralInRange<int>(0, 7) == 0) {
                v.growth = input.ConsumeIntegralInRange<std::size_t>(0, 2048);
                v.growths = input.ConsumeIntegralInRange<int>(0, 5);
            }
        }
        versions.push_back(std::move(v));
    }
    std::optional<std::uint32_t> failAt;
    registry::Status failStatus = 0;
    if (input.ConsumeIntegralInRange<int>(0, 7) == 0) {
        failAt = input.ConsumeIntegralInRange<std::uint32_t>(0, 13);
        failStatus = input.ConsumeIntegral<registry::Status>();
        if (failStatus == registry::kSuccess) failStatus = registry::kNoMoreItems;
    }

    FakeRegistry registry;
    registry.AddKey("SOFTWARE\\JavaSoft");
    if (keyExists) registry.AddKey(kJre);
    if (keyExists && keyDenied) registry.DenyAccess(kJre);
    // The list the platform gives ends at a failed index or at the first name
    // too long for the search's 260-byte buffer.
    std::size_t listed = versions.size();
    if (failAt && *failAt < listed) listed = *failAt;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        if (versions[i].name.size() >= 260 && i < listed) listed = i;
    }
    if (keyExists) {
        if (failAt) registry.FailEnumerationAt(kJre, *failAt, failStatus);
        for (const Version& v : versions) {
            const std::string path = kJre + "\\" + v.name;
            registry.AddKey(path);
            if (v.type) {
                registry.SetValue(path, "JavaHome", *v.type, v.data);
                if (v.growths > 0) registry.GrowAfterQueries(path, "JavaHome", v.growth, v.growths);
            }
            if (v.denied) registry.DenyAccess(path);
        }
    }

    RecordingUi ui;
    JavaHomePath = L"left over from before";
    bool ended = false;
    try {
        LocateJavaHome(registry, ui);
    } catch (const ProcessEnded&) {
        ended = true;
    }

    if (registry.OpenHandles() != 0) Fail("a key was left open");
    if (registry.RootCloses() != 0 || registry.StrayCloses() != 0) Fail("a key it did not open was closed");
    const Expected expected = Model(keyExists, keyDenied, versions, listed);
    if (Observed(ui, ended) != expected.outcome) Fail("the outcome differs from the model's");
    if (JavaHomePath != expected.javaHome) Fail("JavaHomePath differs from the model's");
    return 0;
}
