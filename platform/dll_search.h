#pragma once
// Called first thing in each exe, before anything is loaded by name: a DLL
// that Windows or a system DLL loads later (a theme or picture codec, say) is
// then taken from the system folder only, never from the exe's folder, where
// a download may have left a planted copy, nor from the current directory.

#include <windows.h>

inline void LimitDllSearchToSystemFolder() {
    // Looked up rather than imported: Windows 7 has it only with KB2533623.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Without it the exe's own folder cannot be left out; the current
    // directory at least can.
    SetDllDirectoryW(L"");
}
