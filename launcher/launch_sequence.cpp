#include "launch_sequence.h"

#include <memory>
#include <new>
#include <string>

#include "command_line.h"
#include "files.h"
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

// Java runs without a window of any kind. A console program started by one
// without a console gets a new console, which Windows 11's terminal shows in
// spite of SW_HIDE, and closing it would end the gateway: it gets none.
void StartHidden(std::wstring commandLine, const std::wstring& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &child)) {
        throw LastWindowsError(program.c_str());
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
    LocateJavaHome(registry, ui, registry::OtherView(), Win32Files());

    const std::wstring programFolder = launch::ProgramFolderOf(ModulePath());
    std::wstring commandLine = launch::BuildJavaCommandLine(JavaHomePath, programFolder);
    // The child inherits it as its working directory.
    if (!SetCurrentDirectoryW(programFolder.c_str())) throw LastWindowsError(programFolder.c_str());
    StartHidden(std::move(commandLine), launch::JavaProgram(JavaHomePath));
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
    } catch (...) {
        failure = AppError{messages::kInternalErrorNumber, std::wstring(messages::kInternalError)};
    }
    Win32Ui().ShowMessage(std::wstring(messages::kLaunchFailed) + L"\r\n\r\nError " +
                          std::to_wstring(failure.number) + L": " + failure.description);
    return kExitLaunchFailed;
}
