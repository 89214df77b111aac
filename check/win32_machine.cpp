#include "win32_machine.h"

#include <windows.h>

#include <memory>

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

// Where Java registers itself, besides the key the launcher reads.
constexpr const wchar_t* kOtherJavaKeys[] = {L"SOFTWARE\\JavaSoft\\JRE", L"SOFTWARE\\JavaSoft\\JDK",
                                             L"SOFTWARE\\JavaSoft\\Java Development Kit"};
constexpr const wchar_t* kLauncherJavaKey = L"SOFTWARE\\JavaSoft\\Java Runtime Environment";

constexpr bool kIs64Bit = sizeof(void*) == 8;

// The view a launcher of the other build would read; 0 on 32-bit Windows, which has one.
REGSAM OtherView() {
    if (kIs64Bit) return KEY_WOW64_32KEY;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? KEY_WOW64_64KEY : 0;
}

std::wstring SystemFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
    std::wstring folder(get(nullptr, 0), L'\0');
    folder.resize(get(folder.data(), static_cast<UINT>(folder.size())));
    return folder;
}

// The JavaHome text of a version key, or empty.
std::wstring JavaHomeOf(HKEY versions, const std::wstring& version) {
    constexpr DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    if (RegGetValueW(versions, version.c_str(), L"JavaHome", flags, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring home(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(home.size() * sizeof(wchar_t));
    if (RegGetValueW(versions, version.c_str(), L"JavaHome", flags, nullptr, home.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    home.resize(wcsnlen(home.c_str(), home.size()));
    return home;
}

void AddRuntimes(const wchar_t* path, REGSAM view, const wchar_t* viewName, std::vector<check::Runtime>& found) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return;
    const UniqueKey versions(opened);
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0; i < count; ++i) {
        std::wstring name(longest + 1, L'\0');
        DWORD length = longest + 1;
        if (RegEnumKeyExW(opened, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        name.resize(length);
        found.push_back({L"HKLM\\" + std::wstring(path) + L"\\" + name + L" (" + viewName + L" view)",
                         JavaHomeOf(opened, name)});
    }
}

}  // namespace

std::wstring_view Win32Machine::View() { return kIs64Bit ? L"64-bit" : L"32-bit"; }

bool Win32Machine::Exists(const std::wstring& path) const {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Win32Machine::FindJava(const std::wstring& programFolder) const {
    // As the launcher's CreateProcess looks: its own folder (also its current
    // directory by then), the system folders, then PATH.
    std::wstring folders = programFolder + L";" + SystemFolder(GetSystemDirectoryW) + L";" +
                           SystemFolder(GetWindowsDirectoryW);
    if (const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0)) {
        std::wstring path(size, L'\0');
        path.resize(GetEnvironmentVariableW(L"PATH", path.data(), size));
        folders += L";" + path;
    }
    std::wstring found(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            SearchPathW(folders.c_str(), L"java", L".exe", static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (length == 0) return {};
        if (length < found.size()) {
            found.resize(length);
            return found;
        }
        found.resize(length);
    }
}

std::vector<check::Runtime> Win32Machine::UnsearchedRuntimes() const {
    std::vector<check::Runtime> found;
    const wchar_t* own = kIs64Bit ? L"64-bit" : L"32-bit";
    for (const wchar_t* path : kOtherJavaKeys) AddRuntimes(path, 0, own, found);
    if (const REGSAM other = OtherView()) {
        const wchar_t* otherName = kIs64Bit ? L"32-bit" : L"64-bit";
        AddRuntimes(kLauncherJavaKey, other, otherName, found);
        for (const wchar_t* path : kOtherJavaKeys) AddRuntimes(path, other, otherName, found);
    }
    return found;
}
