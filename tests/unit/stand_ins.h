#pragma once
// The registry in memory, with the contracts of the registry calls (statuses 0, 2, 5, 234 and 259, names followed by a
// NUL, dense indices, type and size untouched by a failed query), refusing any access but reading, as HKLM refuses a
// standard user. It holds strings in UTF-16, which the ANSI calls read in the host's code page, Latin-1 ('?' for what
// it lacks); names are Latin-1. (Message boxes: ui.h's RecordingUi.)

#include <cstring>
#include <cwchar>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "check_report.h"
#include "mod_main.h"
#include "registry_api.h"
#include "ui.h"

// Every file below C:\ and \\server but gone and those in folders taken away, each release file (a Java's folder and
// "\release") that it holds; the environment's variables; no java on the search path.
struct FakeFiles final : check::Machine {
    bool Exists(const std::wstring& p) const override {
        return (!p.rfind(L"C:\\", 0) || !p.rfind(L"\\\\server\\", 0)) && !wcsstr(p.c_str(), L"gone") && p != gone;
    }
    std::optional<std::string> Start(const std::wstring& path, std::size_t most) const override {
        const auto found = releases.find(path);
        return found == releases.end() ? std::nullopt : std::optional(found->second.substr(0, most));
    }
    std::optional<std::wstring> Variable(const std::wstring& name) const override {
        const auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional(found->second);
    }
    std::wstring FindJava(const std::wstring&) const override { return L""; }
    std::wstring gone;  // a file that is gone
    std::map<std::wstring, std::string> releases;
    std::map<std::wstring, std::wstring> variables;
};

class FakeRegistry final : public registry::RegistryApi {
    using Key = registry::Key;
    using Status = registry::Status;
    static constexpr Status kSuccess = 0, kMoreData = 234, kNoMoreItems = 259;  // the platform's, not the product's

public:
    // growth: bytes another writer puts in front after each query, growths times
    struct Value { std::uint32_t type = 0; std::vector<std::uint8_t> data; std::size_t growth = 0; int growths = 0; };
    std::map<std::pair<std::string, std::string>, Value> values;              // by key and name
    std::set<std::string> denied;                                             // keys that refuse to open
    std::string thrower;  // a key whose opening throws what no handler names, as a fault deep down would
    std::map<std::string, std::pair<std::uint32_t, Status>> failEnumeration;  // key: index, status
    std::map<Key, std::string> open;                                          // handles not closed yet
    int wrongCloses = 0;  // of the root key, or of a handle not open

    // Below HKLM, in the own registry view, or the 32-bit or 64-bit one after "32:" or "64:", or below HKCU after
    // "HKCU\\"; levels are made as needed, and list in the order they were made.
    void AddKey(const std::string& path) {
        if (subkeys_.count(path)) return;
        const std::size_t slash = path.rfind('\\');
        const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
        AddKey(parent);
        subkeys_[parent].push_back(path.substr(parent.empty() ? 0 : slash + 1));
        subkeys_[path];
    }
    // As RegSetValueExA writes it: a string's bytes in the code page; with wide, as RegSetValueExW does: in UTF-16.
    void SetValue(const std::string& path, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data,
                  std::size_t growth = 0, int growths = 0, bool wide = false) {
        AddKey(path);
        if (Text(type) && !wide) data = Utf16({data.begin(), data.end()});
        values[{path, name}] = Value{type, std::move(data), growth, growths};
    }
    static std::vector<std::uint8_t> Utf16(const std::wstring& text) {  // each unit's low byte, then its high one
        std::vector<std::uint8_t> data;
        for (const wchar_t c : text) data.insert(data.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8 & 0xFF)});
        return data;
    }
    void SetStrings(const std::string& entries) {  // REG_SZ values: "KEY@NAME=TEXT|KEY@NAME=TEXT..."
        std::istringstream list(entries + "|");
        for (std::string key, name, t; getline(list, key, '@') && getline(list, name, '=') && getline(list, t, '|');)
            SetValue(key, name, 1, std::vector<std::uint8_t>(t.c_str(), t.c_str() + t.size() + 1));
    }

    Status RegOpenKeyExA(Key key, const char* subKey, std::uint32_t, std::uint32_t access, Key* result) override {
        if (!Path(key)) return 6;
        const std::string view = access & 0x200 ? "32:" : access & 0x100 ? "64:" : "";  // an other view's keys
        const std::string path = Path(key)->empty() ? view + subKey : *Path(key) + (*subKey ? "\\" : "") + subKey;
        if (!subkeys_.count(path)) return 2;
        if (!thrower.empty() && path == thrower) throw 0;
        if (denied.count(path) || (access & ~0x20319u) != 0) return 5;  // KEY_READ, in either registry view
        open[*result = static_cast<Key>(0x1000 + handles_++)] = path;
        return kSuccess;
    }
    Status RegEnumKeyA(Key key, std::uint32_t index, char* name, std::uint32_t nameSize) override {
        if (!Path(key)) return 6;
        const auto fail = failEnumeration.find(*Path(key));
        if (fail != failEnumeration.end() && fail->second.first == index) return fail->second.second;
        const std::vector<std::string>& names = subkeys_.at(*Path(key));
        if (index >= names.size()) return kNoMoreItems;
        if (names[index].size() >= nameSize) return kMoreData;
        std::memcpy(name, names[index].c_str(), names[index].size() + 1);
        return kSuccess;
    }
    Status RegQueryValueExA(Key key, const char* name, std::uint32_t*, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override { return Query(key, name, false, type, data, size); }
    Status RegQueryValueExW(Key key, const wchar_t* name, std::uint32_t*, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override { return Query(key, Latin1(name), true, type, data, size); }
    Status RegOpenKeyExW(Key key, const wchar_t* subKey, std::uint32_t options, std::uint32_t access, Key* result)
        override { return RegOpenKeyExA(key, Latin1(subKey).c_str(), options, access, result); }
    Status RegEnumKeyExW(Key key, std::uint32_t index, wchar_t* name, std::uint32_t* nameSize, std::uint32_t*, wchar_t*,
                         std::uint32_t*, void*) override {  // a Latin-1 name: each byte its character
        std::string narrow(*nameSize, '\0');
        const Status status = RegEnumKeyA(key, index, narrow.data(), *nameSize);
        for (*nameSize = 0; status == kSuccess && (name[*nameSize] = std::uint8_t(narrow[*nameSize])); ++*nameSize) {}
        return status;
    }
    Status RegCloseKey(Key key) override {
        const bool closed = open.erase(key) == 1;
        wrongCloses += !closed;
        return closed || key == registry::kLocalMachine || key == registry::kCurrentUser ? kSuccess : 6;
    }
    void RtlMoveMemory(void* to, const void* from, std::size_t length) override {
        if (length > 0) std::memmove(to, from, length);
    }

private:
    static bool Text(std::uint32_t type) { return type == 1 || type == 2 || type == 7; }
    static std::string Latin1(std::wstring_view text) { return std::string(text.begin(), text.end()); }
    Status Query(Key key, const std::string& name, bool wide, std::uint32_t* type, std::uint8_t* data,
                 std::uint32_t* size) {
        const auto found = open.count(key) ? values.find({open[key], name}) : values.end();
        if (found == values.end()) return 2;
        Value& value = found->second;
        std::vector<std::uint8_t> bytes = value.data;
        if (!wide && Text(value.type)) {  // in the code page
            bytes.clear();
            for (std::size_t i = 0; i + 1 < value.data.size(); i += 2)
                bytes.push_back(value.data[i + 1] ? '?' : value.data[i]);
        }
        const Status status = bytes.size() > *size ? kMoreData : kSuccess;
        if (status == kSuccess && !bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
        *type = value.type;
        *size = static_cast<std::uint32_t>(bytes.size());
        const std::wstring g(value.growth, L'g');  // another writer's, in front
        const std::vector<std::uint8_t> more = Text(value.type) ? Utf16(g) : std::vector<std::uint8_t>(g.size(), 'g');
        if (value.growths-- > 0) value.data.insert(value.data.begin(), more.begin(), more.end());
        return status;
    }
    const std::string* Path(Key key) const {
        static const std::string machine, user = "HKCU";
        if (key == registry::kCurrentUser) return &user;
        const auto found = open.find(key);
        return key == registry::kLocalMachine ? &machine : found == open.end() ? nullptr : &found->second;
    }
    std::map<std::string, std::vector<std::string>> subkeys_{{"", {}}};  // every key, the root ""
    std::uintptr_t handles_ = 0;
};

// The search as the launcher runs it, on FakeFiles' disk and environment; false where it ended the process after its boxes.
inline bool Located(FakeRegistry& registry, RecordingUi& ui, const FakeFiles& files = FakeFiles()) try {
    return LocateJavaHome(registry, ui, registry::kView32, files, files), true;
} catch (const ProcessEnded&) {
    return false;
}
