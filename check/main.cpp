// TessalyCheck: tells what TessalyPushGateway.exe would do on this machine,
// and why. Run it in the launcher's folder, or give that folder as its one
// argument. It changes nothing.
// Exit code: 0 when the launch would start Java 1.4 or higher with every file
// present, 1 when it would not, 2 when the check itself could not run, the
// folder given is no folder, or the report could not be written whole.

#include <windows.h>

#include <new>
#include <string>
#include <string_view>

#include "app_error.h"
#include "check_report.h"
#include "command_line.h"
#include "decimal.h"
#include "dll_search.h"
#include "program_folder.h"
#include "win32_machine.h"
#include "win32_registry_api.h"
#include "win32_ui.h"

namespace {

constexpr std::wstring_view kUsage =
    L"Usage: TessalyCheck [launcher folder]. Give the folder that holds TessalyPushGateway.exe, or nothing to "
    L"check the folder TessalyCheck is in.\r\n";
constexpr std::wstring_view kTitle = L"TessalyCheck - ";
constexpr std::wstring_view kPressEnter = L"\r\nPress Enter to close this window.\r\n";
constexpr std::wstring_view kNotWritten = L"TessalyCheck could not write its whole report: error ";

// Writes to the standard output: to a console in its own characters, in
// pieces it takes on every Windows; redirected, as UTF-8, which every text
// editor reads. False when any of it was not written. With no output at all
// (a service's), there is nobody to tell, and the exit code says it all.
bool Write(std::wstring_view text) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return true;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        return check::WriteInPieces(text, [out](std::wstring_view piece) {
            DWORD written = 0;
            return WriteConsoleW(out, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr) &&
                   written == piece.size();
        });
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    for (std::string_view rest = bytes; !rest.empty();) {
        DWORD written = 0;
        if (!WriteFile(out, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) || written == 0) {
            return false;
        }
        rest.remove_prefix(written);
    }
    return true;
}

// What Windows tells of the console, counted before anything else can join it.
check::Console SeenConsole() {
    check::Console console;
    DWORD processes[2], mode = 0;
    console.ofItsOwn = GetConsoleProcessList(processes, 2) == 1 &&
                       GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) &&
                       GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode);
    // A console made with CREATE_NO_WINDOW has none; Windows 10 1809 could
    // answer with a handle that is no window at all.
    console.hasWindow = IsWindow(GetConsoleWindow());
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    console.startedHidden = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 && startup.wShowWindow == SW_HIDE;
    const HWINSTA station = GetProcessWindowStation();
    DWORD bytes = 0;
    GetUserObjectInformationW(station, UOI_NAME, nullptr, 0, &bytes);
    std::wstring name(bytes / sizeof(wchar_t), L'\0');
    if (GetUserObjectInformationW(station, UOI_NAME, name.data(), bytes, &bytes)) {
        console.windowStation = name.c_str();
    }
    return console;
}

// Until Enter is pressed; closing the window ends the process anyway.
void WaitForEnter() {
    wchar_t typed[64];
    DWORD got = 0;
    while (ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), typed, 64, &got, nullptr) && got > 0) {
        if (std::wstring_view(typed, got).find(L'\n') != std::wstring_view::npos) return;
    }
}

bool IsFolder(const wchar_t* path) {
    const DWORD attributes = *path ? GetFileAttributesW(path) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder as the launcher would see its own: full, and without a trailing
// backslash unless it is a drive's root.
std::wstring LauncherFolder(const wchar_t* given) {
    std::wstring full(GetFullPathNameW(given, 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(given, static_cast<DWORD>(full.size()), full.data(), nullptr));
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return full;
}

// The report, or the one line that tells why there is none, and its exit code.
int Run(int argc, wchar_t** argv) {
    if (argc > 2) {
        Write(kUsage);
        return 2;
    }
    try {
        if (argc == 2 && !IsFolder(argv[1])) {
            Write(L"TessalyCheck: \"" + std::wstring(argv[1]) + L"\" is not a folder. " + std::wstring(kUsage));
            return 2;
        }
        const std::wstring folder = argc == 2 ? LauncherFolder(argv[1]) : launch::ProgramFolderOf(ModulePath());
        // A user with two such windows open tells them apart. (A command prompt
        // takes its own title back when the check ends.)
        SetConsoleTitleW((std::wstring(kTitle) + folder).c_str());
        registry::Win32RegistryApi registry;
        const check::Result result =
            check::Check(registry, Win32Machine(), folder, Win32Machine::View(), registry::OtherView());
        if (Write(result.report)) return result.exitCode;
        const AppError error = LastWindowsError();
        Write(std::wstring(kNotWritten) + Decimal(error.number) + L", " + error.description + L"\r\n");
        return 2;
    } catch (const AppError& error) {
        Write(L"TessalyCheck could not run: " + error.description + L"\r\n");
    } catch (const std::bad_alloc&) {
        Write(L"TessalyCheck could not run: out of memory\r\n");
    } catch (...) {
        Write(L"TessalyCheck could not run: internal error\r\n");
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    LimitDllSearchToSystemFolder();
    const bool asksForEnter = check::AsksForEnter(SeenConsole());
    const int exitCode = Run(argc, argv);
    if (asksForEnter && Write(kPressEnter)) WaitForEnter();
    return exitCode;
}
