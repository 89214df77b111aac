#include "mod_main.h"

#include <cstdint>
#include <new>
#include <optional>
#include <vector>

#include "ansi_text.h"
#include "app_error.h"
#include "decimal.h"
#include "java_places.h"
#include "messages.h"
#include "unregistered_java.h"

std::wstring JavaHomePath;

namespace {

const std::wstring kBaseKeyPath(kJavaRuntimeKey);
const std::wstring kVersionKeyPrefix = kBaseKeyPath + L"\\";
const std::wstring kJavaHomeValue = L"JavaHome";
constexpr std::size_t kVersionTextLength = 3;
constexpr double kLowestVersion = 1.4;

[[noreturn]] void ThrowTypeMismatch() {
    throw AppError{messages::kTypeMismatchNumber, std::wstring(messages::kTypeMismatch)};
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// A JavaHome that is not text still names a folder the way a user would read it.
std::wstring ToText(const Variant& value) {
    struct Visitor {
        std::wstring operator()(std::monostate) const { return {}; }
        std::wstring operator()(std::int32_t number) const { return Decimal(number); }
        std::wstring operator()(const std::wstring& text) const { return text; }
        std::wstring operator()(const std::vector<std::uint8_t>& bytes) const {
            return FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
    };
    // A folder ends at its first NUL, as the platform would read it: padding
    // and the further strings of a list are no part of it.
    std::wstring text = std::visit(Visitor{}, value);
    return text.substr(0, text.find(L'\0'));
}

void ShowSearchError(Ui& ui, std::wstring_view description) {
    ui.ShowMessage(description);
    ui.ShowMessage(messages::kSearchFailed);
    JavaHomePath.clear();
}

// The number a version key's name starts with: its first three characters read
// as a plain decimal number, point as separator, whatever the regional
// settings. Raises 13 "Type mismatch" for anything else.
double ReadVersionNumber(std::wstring_view subkeyName) {
    std::wstring_view text = subkeyName.substr(0, kVersionTextLength);
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    // Digits with at most one point, and at least one digit.
    std::uint32_t digits = 0;
    std::uint32_t scale = 1;
    bool point = false;
    bool anyDigit = false;
    for (const wchar_t c : text) {
        if (c == L'.' && !point) {
            point = true;
        } else if (IsDigit(c)) {
            digits = digits * 10 + static_cast<std::uint32_t>(c - L'0');
            if (point) scale *= 10;
            anyDigit = true;
        } else {
            ThrowTypeMismatch();
        }
    }
    if (!anyDigit) ThrowTypeMismatch();
    // Both are exact (three characters at most), so the one division rounds
    // once, to the double nearest the decimal text.
    const double number = static_cast<double>(digits) / scale;
    return negative ? -number : number;
}

const JavaPlace kRuntimeKey{L"Java Runtime Environment", kJavaRuntimeKey, L"", kJavaHomeValue, false};

// What one search reads with, and the record of what it read.
struct Search {
    registry::RegistryApi& registry;
    std::vector<std::uint32_t> views;  // the process's own first
    const Files& files;
    const Environment& environment;
    SearchRecord& record;
    bool listing;  // the places after the choice are listed too

    // The Java Runtime Environment key is read through the ANSI calls, as it
    // always was; the makers' keys through the wide ones, so that a folder
    // outside the system's code page (a user's profile) comes whole.
    MRegistry In(const JavaPlace& place, std::uint32_t view) const {
        return MRegistry(registry, view, &place == &kRuntimeKey ? MRegistry::Calls::kAnsi : MRegistry::Calls::kWide);
    }

    PlaceRead& Open(const JavaPlace& place, registry::Key root, std::uint32_t view) {
        PlaceRead& read = record.emplace_back();
        read.name = place.name;
        read.key = place.key;
        read.root = root;
        read.view = view;
        const MRegistry reg = In(place, view);
        const std::wstring key(place.key);
        read.keyExists = reg.KeyExists(root, key);
        if (read.keyExists) read.versions = reg.EnumRegistryKeys(root, key);
        return read;
    }
};

// A version the search starts to read: nothing is known of it yet.
VersionRead& Begin(PlaceRead& place, const std::wstring& name) {
    return place.read.emplace_back(VersionRead{name, Verdict::kNoNumber, 0, {}});
}

// The Java Runtime Environment key, view by view: the first version of 1.4 or
// higher is taken (not the newest), whatever its JavaHome holds. A name that
// is no number, or a JavaHome that cannot be read, raises.
bool SearchRuntimeKey(Search& search, bool& keyFound) {
    bool taken = false;
    for (const std::uint32_t view : search.views) {
        if (taken && !search.listing) break;
        PlaceRead& place = search.Open(kRuntimeKey, registry::kLocalMachine, view);
        keyFound = keyFound || place.keyExists;
        for (std::size_t i = 0; !taken && i < place.versions.size(); ++i) {
            VersionRead& version = Begin(place, place.versions[i]);
            version.number = ReadVersionNumber(version.name);
            version.verdict = Verdict::kTooOld;
            if (version.number < kLowestVersion) continue;
            version.verdict = Verdict::kUnreadable;
            version.folder = ToText(search.In(kRuntimeKey, view)
                                        .GetRegistryValue(registry::kLocalMachine, kVersionKeyPrefix + version.name,
                                                          kJavaHomeValue));
            version.verdict = Verdict::kTaken;
            JavaHomePath = version.folder;
            taken = true;
        }
    }
    return taken;
}

// The version a maker's key name starts with: "17.0.9.9", "11", "1.8.0_392";
// after a word and a hyphen, "zulu-17-jre", "jdk-8".
std::wstring_view VersionText(std::wstring_view name) {
    const std::size_t word = name.find_first_not_of(L"abcdefghijklmnopqrstuvwxyz");
    if (word != std::wstring_view::npos && word > 0 && name[word] == L'-') name.remove_prefix(word + 1);
    return name.substr(0, name.find_first_not_of(L"0123456789."));
}

// An installer may write the folder with a closing backslash (an MSI always
// does), and java.exe's path brings its own; a drive's root keeps it.
std::wstring Folder(std::wstring folder) {
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

// A version qualifies when its name reads 1.4 or higher and its folder holds
// java.exe: uninstallers leave keys behind. What cannot be read fails quietly.
bool Qualifies(const MRegistry& reg, registry::Key root, const JavaPlace& place, VersionRead& version,
               const Files& files) {
    try {
        version.number = ReadVersionNumber(VersionText(version.name));
        version.verdict = Verdict::kTooOld;
        if (version.number < kLowestVersion) return false;
        version.verdict = Verdict::kUnreadable;
        const std::wstring key = std::wstring(place.key) + L"\\" + version.name + std::wstring(place.below);
        version.folder = Folder(ToText(reg.GetRegistryValue(root, key, std::wstring(place.value))));
    } catch (const AppError&) {
        return false;
    }
    if (version.folder.empty()) return false;
    version.verdict = Verdict::kNoJavaExe;
    if (!files.Exists(version.folder + std::wstring(kJavaProgram))) return false;
    version.verdict = Verdict::kTaken;
    return true;
}

// Where today's installers register Java, place by place: each in the own
// view, then the other, then the current user's where it has one. Once a Java
// is taken, a search that keeps a record goes on only to list the places
// after it, so that the record holds them all.
bool SearchInstallers(Search& search, bool taken) {
    for (const JavaPlace& place : kJavaPlaces) {
        std::vector<std::pair<registry::Key, std::uint32_t>> roots;
        for (const std::uint32_t view : search.views) roots.emplace_back(registry::kLocalMachine, view);
        if (place.perUser) roots.emplace_back(registry::kCurrentUser, 0);
        for (const auto& [root, view] : roots) {
            if (taken && !search.listing) return true;
            PlaceRead& read = search.Open(place, root, view);
            const MRegistry reg = search.In(place, view);
            for (std::size_t i = 0; !taken && i < read.versions.size(); ++i) {
                taken = Qualifies(reg, root, place, Begin(read, read.versions[i]), search.files);
                if (taken) JavaHomePath = read.read.back().folder;
            }
        }
    }
    return taken;
}

// A folder no installer registered qualifies when it is a full path that
// holds java.exe, and its release file, where it has one (Java 7 and later
// write one), gives a version of 1.4 or higher by the makers' keys' rule.
bool Qualifies(const Files& files, VersionRead& version) {
    version.verdict = Verdict::kEmpty;
    if (version.folder.empty()) return false;
    version.verdict = Verdict::kNotAFullPath;
    if (!unregistered::IsFullPath(version.folder)) return false;
    version.verdict = Verdict::kNoJavaExe;
    if (!files.Exists(version.folder + std::wstring(kJavaProgram))) return false;
    version.verdict = Verdict::kTaken;
    const auto release = files.Start(version.folder + std::wstring(kReleaseFile), kReleaseFileMost);
    if (!release) return true;
    version.verdict = Verdict::kNoNumber;
    const auto text = unregistered::JavaVersionIn(*release);
    if (!text) return false;
    version.name = *text;
    try {
        version.number = ReadVersionNumber(VersionText(*text));
    } catch (const AppError&) {
        return false;
    }
    version.verdict = version.number < kLowestVersion ? Verdict::kTooOld : Verdict::kTaken;
    return version.verdict == Verdict::kTaken;
}

// Where no installer's place has a Java, the folders the environment names,
// place by place: JAVA_HOME's, then each folder on the search path that holds
// java.exe, whose parent is the Java's folder where it is a bin folder.
bool SearchUnregistered(Search& search, bool taken) {
    for (const UnregisteredPlace& place : kUnregisteredPlaces) {
        if (taken && !search.listing) return true;
        PlaceRead& read = search.record.emplace_back();
        read.name = place.name;
        read.key = place.variable;
        const std::optional<std::wstring> value = search.environment.Variable(std::wstring(place.variable));
        read.keyExists = value.has_value();
        std::vector<std::optional<std::wstring>> javaFolders;  // each listed folder's Java, if it is one's
        if (value && !place.binFolders) {
            read.versions.push_back(*value);
            javaFolders.push_back(unregistered::WithoutClosingSeparators(unregistered::Unquoted(*value)));
        }
        for (const std::wstring& folder : place.binFolders && value ? unregistered::PathFolders(*value)
                                                                    : std::vector<std::wstring>()) {
            const std::wstring listed = unregistered::WithoutClosingSeparators(folder);
            if (!search.files.Exists(listed + L"\\java.exe")) continue;
            read.versions.push_back(listed);
            javaFolders.push_back(unregistered::BinParent(listed));
        }
        for (std::size_t i = 0; !taken && i < read.versions.size(); ++i) {
            VersionRead& version = Begin(read, L"");
            version.verdict = Verdict::kNotBin;
            if (!javaFolders[i]) continue;
            version.folder = *javaFolders[i];
            taken = Qualifies(search.files, version);
            if (taken) JavaHomePath = version.folder;
        }
    }
    return taken;
}

}  // namespace

void LocateJavaHome(registry::RegistryApi& registry, Ui& ui, std::uint32_t otherView, const Files& files,
                    const Environment& environment, SearchRecord* record) {
    // Ending the process is left for last: nothing here may take it for an error.
    bool nothingToStart = false;
    SearchRecord unrecorded;
    try {
        JavaHomePath.clear();
        Search search{registry, {0}, files, environment, record != nullptr ? *record : unrecorded, record != nullptr};
        search.record.clear();
        if (otherView != 0) search.views.push_back(otherView);
        bool keyFound = false;
        if (SearchUnregistered(search, SearchInstallers(search, SearchRuntimeKey(search, keyFound)))) return;
        ui.ShowMessage(keyFound ? messages::kNoSuitableJava : messages::kJavaNotInstalled);
        nothingToStart = true;
    } catch (const AppError& error) {
        ShowSearchError(ui, error.description);
    } catch (const std::bad_alloc&) {
        ShowSearchError(ui, messages::kOutOfMemory);
    } catch (...) {
        ShowSearchError(ui, messages::kInternalError);
    }
    if (nothingToStart) ui.EndProcess();
}
