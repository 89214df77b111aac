// Under the sanitizers: the picture reader on any bytes; the search on any registry the platform allows (any names and
// JavaHome, in both views, written by either set of calls, growing between queries, keys refusing to open; any
// JAVA_HOME, PATH and release file). No key stays open; none it did not open is closed.  locator_fuzz -max_total_time=60 DIR CORPUS
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "gif_image.h"
#include "java_places.h"
#include "stand_ins.h"

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    splash::DecodeGif(bytes, size);
    FuzzedDataProvider input(bytes, size);
    FakeFiles files;  // JAVA_HOME and PATH of any text, and a release file of any bytes where they may lead
    for (const wchar_t* name : {L"JAVA_HOME", L"PATH"}) {
        const std::string text = input.ConsumeBool() ? input.ConsumeRandomLengthString(40000) : "";
        if (!text.empty()) files.variables[name] = std::wstring(text.begin(), text.end());
    }
    files.releases[L"C:\\jdk\\release"] = input.ConsumeRandomLengthString(10000);
    FakeRegistry registry;
    while (input.remaining_bytes() > 0) {
        // The key searched first, or an installer's, in either view or the current user's
        const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(kJavaPlaces)), first = !pick;
        const auto place = first ? JavaPlace{L"", kJavaRuntimeKey, L"", L"JavaHome", false} : kJavaPlaces[pick - 1];
        const std::string base = input.PickValueInArray<std::string>({"", "32:", "HKCU\\"}) + Narrow(place.key);
        registry.AddKey(base);
        std::string name = input.ConsumeRandomLengthString(300);
        for (char& c : name) c = c == '\0' || c == '\\' ? '_' : c;  // what a key name cannot hold
        const std::string key = base + "\\" + name + Narrow(place.below);
        const std::string value = input.ConsumeBool() ? Narrow(place.value) : "Other";
        const auto type = input.ConsumeIntegralInRange<std::uint32_t>(0, 12);
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, input.ConsumeBool() ? 64 : 5000);
        std::vector<std::uint8_t> data = input.ConsumeBytes<std::uint8_t>(length);
        data.resize(length, input.ConsumeIntegral<std::uint8_t>());  // long values: one byte over and over
        registry.SetValue(key, value, type, data, input.ConsumeIntegralInRange<std::size_t>(0, 2048),
                          input.ConsumeIntegralInRange(0, 5), input.ConsumeBool());  // a string in UTF-16, or not
        if (input.ConsumeIntegralInRange(0, 15) == 0) registry.denied.insert(input.ConsumeBool() ? key : base);
    }
    RecordingUi ui;
    Located(registry, ui, files);
    if (!registry.open.empty() || registry.wrongCloses != 0) std::abort();
    return 0;
}
