#include "stand_ins.h"

#include <cstring>

#include "ansi_text.h"

using registry::Key;
using registry::Status;

// The host's ANSI code page: Latin-1, each byte its own character.
std::string ToAnsi(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) bytes.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    return bytes;
}

std::wstring FromAnsi(std::string_view bytes) {
    std::wstring text;
    for (const char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}

namespace {

constexpr Status kFileNotFound = 2, kAccessDenied = 5, kInvalidHandle = 6;
constexpr std::uint32_t kReadOnly = registry::kKeyRead | 0x0100 | 0x0200;  // either registry view

std::string Join(const std::string& parent, const std::string& path) {
    return parent.empty() || path.empty() ? parent + path : parent + "\\" + path;
}

}  // namespace

void FakeRegistry::AddKey(const std::string& path) {
    if (subkeys_.count(path)) return;
    const std::size_t slash = path.rfind('\\');
    const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
    AddKey(parent);
    subkeys_[parent].push_back(path.substr(parent.empty() ? 0 : slash + 1));
    subkeys_[path];
}

void FakeRegistry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                            std::vector<std::uint8_t> data) {
    AddKey(path);
    values[{path, name}] = Value{type, std::move(data)};
}

void FakeRegistry::SetString(const std::string& path, const std::string& name, const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(path, name, registry::kString, std::move(data));
}

Status FakeRegistry::RegOpenKeyExA(Key key, const char* subKey, std::uint32_t, std::uint32_t access, Key* result) {
    const auto at = open.find(key);
    if (key != registry::kLocalMachine && at == open.end()) return kInvalidHandle;
    const std::string path = Join(at == open.end() ? "" : at->second, subKey);
    if (!subkeys_.count(path)) return kFileNotFound;
    if (denied.count(path) || (access & ~kReadOnly) != 0) return kAccessDenied;
    *result = static_cast<Key>(nextHandle_++);
    open[*result] = path;
    return registry::kSuccess;
}

Status FakeRegistry::RegEnumKeyA(Key key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    const auto at = open.find(key);
    if (key != registry::kLocalMachine && at == open.end()) return kInvalidHandle;
    const std::string path = at == open.end() ? "" : at->second;
    const auto fail = failEnumeration.find(path);
    if (fail != failEnumeration.end() && fail->second.first == index) return fail->second.second;
    const std::vector<std::string>& names = subkeys_.at(path);
    if (index >= names.size()) return registry::kNoMoreItems;
    if (names[index].size() + 1 > nameSize) return registry::kMoreData;
    std::memcpy(name, names[index].c_str(), names[index].size() + 1);
    return registry::kSuccess;
}

Status FakeRegistry::RegQueryValueExA(Key key, const char* valueName, std::uint32_t*, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) {
    const auto at = open.find(key);
    if (at == open.end()) return kInvalidHandle;
    const auto found = values.find({at->second, valueName});
    if (found == values.end()) return kFileNotFound;
    Value& value = found->second;
    const auto stored = static_cast<std::uint32_t>(value.data.size());
    const Status status = stored > *size ? registry::kMoreData : registry::kSuccess;
    if (status == registry::kSuccess && stored > 0) std::memcpy(data, value.data.data(), stored);
    *type = value.type;
    *size = stored;
    // Growth keeps a string well-formed: the new bytes go in front.
    if (value.growths > 0) {
        --value.growths;
        value.data.insert(value.data.begin(), value.growth, 'g');
    }
    return status;
}

Status FakeRegistry::RegCloseKey(Key key) {
    if (key == registry::kLocalMachine) return ++rootCloses, registry::kSuccess;
    if (open.erase(key) == 1) return registry::kSuccess;
    return ++strayCloses, kInvalidHandle;
}

void FakeRegistry::RtlMoveMemory(void* destination, const void* source, std::size_t length) {
    if (length > 0) std::memmove(destination, source, length);
}
