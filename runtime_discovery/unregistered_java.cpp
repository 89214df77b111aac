#include "unregistered_java.h"

#include <algorithm>

namespace unregistered {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsBin(std::wstring_view name) {
    return name.size() == 3 && (name[0] | 0x20) == L'b' && (name[1] | 0x20) == L'i' && (name[2] | 0x20) == L'n';
}

}  // namespace

std::wstring Unquoted(std::wstring_view value) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!value.empty() && blank(value.front())) value.remove_prefix(1);
    while (!value.empty() && blank(value.back())) value.remove_suffix(1);
    if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"') value = value.substr(1, value.size() - 2);
    return std::wstring(value);
}

std::wstring WithoutClosingSeparators(std::wstring folder) {
    while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
    return folder;
}

bool IsFullPath(std::wstring_view folder) {
    const bool drive = folder.size() >= 2 && folder[1] == L':' &&
                       ((folder[0] >= L'A' && folder[0] <= L'Z') || (folder[0] >= L'a' && folder[0] <= L'z'));
    // "C:" is what a drive's root keeps once its closing backslash is gone.
    return (drive && (folder.size() == 2 || IsSeparator(folder[2]))) ||
           (folder.size() > 2 && IsSeparator(folder[0]) && IsSeparator(folder[1]));
}

std::vector<std::wstring> PathFolders(std::wstring_view path) {
    std::vector<std::wstring> folders(1);
    bool quoted = false;
    for (const wchar_t c : path) {
        if (c == L'"') {
            quoted = !quoted;
        } else if (c == L';' && !quoted) {
            if (!folders.back().empty()) folders.emplace_back();
        } else {
            folders.back() += c;
        }
    }
    if (folders.back().empty()) folders.pop_back();
    return folders;
}

std::optional<std::wstring> BinParent(std::wstring_view folder) {
    const std::size_t separator = folder.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos || !IsBin(folder.substr(separator + 1))) return std::nullopt;
    return std::wstring(folder.substr(0, separator));
}

std::optional<std::wstring> JavaVersionIn(std::string_view release) {
    constexpr std::string_view kKey = "JAVA_VERSION=";
    for (std::size_t start = 0; start < release.size();) {
        const std::size_t end = std::min(release.find('\n', start), release.size());
        std::string_view line = release.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.substr(0, kKey.size()) != kKey) continue;
        line.remove_prefix(kKey.size());
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
        // The version is ASCII; any other byte stays a character of its own, which no version reads as.
        std::wstring version;
        for (const char c : line) version += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return version;
    }
    return std::nullopt;
}

}  // namespace unregistered
