#include "program_folder.h"

#include <windows.h>

#include "win32_ui.h"

std::wstring ModulePath() {
    std::wstring path = ReadWhole([](wchar_t* buffer, std::size_t size) {
        return GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(size));
    });
    if (path.empty()) throw LastWindowsError();
    return path;
}
