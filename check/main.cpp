// TessalyCheck: tells what TessalyPushGateway.exe would do on this machine,
// and why. Run it in the launcher's folder, or give that folder as its one
// argument. It changes nothing.
// Exit code: 0 when the launch would start Java 1.4 or higher with every file
// present, 1 when it would not, 2 when the check itself could not run or the
// folder given is no folder.

#include <windows.h>

#include <new>
#include <string>
#include <string_view>

#include "app_error.h"
#include "check_report.h"
#include "command_line.h"
#include "dll_search.h"
#include "program_folder.h"
#include "win32_machine.h"
#include "win32_registry_api.h"

namespace {

constexpr std::wstring_view kUsage =
    L"Usage: TessalyCheck [launcher folder]. Give the folder that holds TessalyPushGateway.exe, or nothing to "
    L"check the folder TessalyCheck is in.\r\n";

void Write(std::wstring_view text) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // Redirected: UTF-8, which every text editor reads.
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    LimitDllSearchToSystemFolder();
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
        registry::Win32RegistryApi registry;
        const check::Result result =
            check::Check(registry, Win32Machine(), folder, Win32Machine::View(), registry::OtherView());
        Write(result.report);
        return result.exitCode;
    } catch (const AppError& error) {
        Write(L"TessalyCheck could not run: " + error.description + L"\r\n");
    } catch (const std::bad_alloc&) {
        Write(L"TessalyCheck could not run: out of memory\r\n");
    } catch (...) {
        Write(L"TessalyCheck could not run: internal error\r\n");
    }
    return 2;
}
