// Stands in for java.exe: appends how and when it was started to the file
// named by TESSALY_STANDIN_LOG, as UTF-8, one record per start. The time is
// the system's, in 100 ns units, as process creation times are given.
// Built as a DLL too (STANDIN_DLL), planted beside the launcher under a system
// DLL's name: if it is ever loaded, its host's start shows up as a record.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "utf8.h"

namespace {

int Record() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    std::wstring record =
        L"started=" + std::to_wstring((ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime) + L"\n";
    record += L"cmdline=" + std::wstring(GetCommandLineW()) + L"\n";
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; i < argc; ++i) record += L"argv=" + std::wstring(argv[i]) + L"\n";
    LocalFree(argv);

    std::wstring cwd(GetCurrentDirectoryW(0, nullptr), L'\0');
    cwd.resize(GetCurrentDirectoryW(static_cast<DWORD>(cwd.size()), cwd.data()));
    record += L"cwd=" + cwd + L"\n";

    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const bool useShow = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
    record += L"show=" + (useShow ? std::to_wstring(startup.wShowWindow) : std::wstring(L"default")) + L"\n";
    record += L"end\n";

    wchar_t logPath[32768];
    if (GetEnvironmentVariableW(L"TESSALY_STANDIN_LOG", logPath, 32768) == 0) return 3;
    HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 4;
    // One write per record, so starts that overlap do not interleave.
    const std::string bytes = Utf8(record);
    DWORD written = 0;
    WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(log);
    return 0;
}

}  // namespace

#ifdef STANDIN_DLL
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) Record();
    return TRUE;
}
#else
int wmain() { return Record(); }
#endif
