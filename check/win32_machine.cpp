#include "win32_machine.h"

#include <windows.h>

namespace {

std::wstring SystemFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
    std::wstring folder(get(nullptr, 0), L'\0');
    folder.resize(get(folder.data(), static_cast<UINT>(folder.size())));
    return folder;
}

}  // namespace

std::wstring_view Win32Machine::View() { return sizeof(void*) == 8 ? L"64-bit" : L"32-bit"; }

bool Win32Machine::Exists(const std::wstring& path) const { return Win32Files().Exists(path); }

std::optional<std::string> Win32Machine::Start(const std::wstring& path, std::size_t most) const {
    return Win32Files().Start(path, most);
}

std::optional<std::wstring> Win32Machine::Variable(const std::wstring& name) const {
    return Win32Environment().Variable(name);
}

std::wstring Win32Machine::FindJava(const std::wstring& programFolder) const {
    // As the launcher's CreateProcess looks: its own folder (also its current
    // directory by then), the system folders, then PATH.
    std::wstring folders = programFolder + L";" + SystemFolder(GetSystemDirectoryW) + L";" +
                           SystemFolder(GetWindowsDirectoryW);
    if (const auto path = Win32Environment().Variable(L"PATH")) folders += L";" + *path;
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
