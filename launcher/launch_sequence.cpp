#include "launch_sequence.h"

#include <memory>
#include <new>
#include <string>

#include "command_line.h"
#include "messages.h"
#include "mod_main.h"
#include "program_folder.h"
#include "win32_registry_api.h"
#include "win32_ui.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

void StartHidden(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child)) {
        throw LastWindowsError();
    }
    // The child lives on by itself: nothing of it is kept or waited for.
    const UniqueHandle process(child.hProcess);
    const UniqueHandle thread(child.hThread);
}

}  // namespace

void Timer1_Timer(HWND frmSplash) {
    if (frmSplash != nullptr) DestroyWindow(frmSplash);

    registry::Win32RegistryApi registry;
    Win32Ui ui;
    LocateJavaHome(registry, ui);

    const std::wstring programFolder = launch::ProgramFolderOf(ModulePath());
    std::wstring commandLine = launch::BuildJavaCommandLine(JavaHomePath, programFolder);
    // The child inherits it as its working directory.
    if (!SetCurrentDirectoryW(programFolder.c_str())) throw LastWindowsError();
    StartHidden(std::move(commandLine));
}

int RunTimer1(HWND frmSplash) noexcept {
    AppError failure{};
    try {
        Timer1_Timer(frmSplash);
        return kExitLaunched;
    } catch (const AppError& error) {
        failure = error;
    } catch (const std::bad_alloc&) {
        failure = AppError{messages::kOutOfMemoryNumber, std::wstring(messages::kOutOfMemory)};
    }
    Win32Ui().ShowMessage(std::wstring(messages::kLaunchFailed) + L"\r\n\r\nError " +
                          std::to_wstring(failure.number) + L": " + failure.description);
    return kExitLaunchFailed;
}
