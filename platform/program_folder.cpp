#include "program_folder.h"

#include <windows.h>

#include "win32_ui.h"

std::wstring ModulePath() {
    std::wstring path(256, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw LastWindowsError();
        // A full buffer may hold a cut path; only a shorter result is whole.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
