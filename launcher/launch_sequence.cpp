#include "launch_sequence.h"

#include <array>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "ansi_text.h"
#include "command_line.h"
#include "files.h"
#include "java_watch.h"
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

// What a call that makes a handle returned, owned; its error raised when it
// failed, whichever of its two ways (null, INVALID_HANDLE_VALUE).
UniqueHandle Made(HANDLE handle, const wchar_t* what) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) throw LastWindowsError(what);
    return UniqueHandle(handle);
}

// Java's output and error pipe. The launcher reads its end with overlapped
// I/O, to wait for Java and for its output at once in one thread, which an
// anonymous pipe does not allow on Windows XP: so a named pipe of a single
// instance, whose write end the launcher opens itself at once. A second
// writer could only connect before that, and would make the open fail.
struct OutputPipe {
    UniqueHandle read;
    UniqueHandle write;
};

OutputPipe OpenOutputPipe() {
    constexpr DWORD kBufferBytes = 4096;
    const std::wstring name = L"\\\\.\\pipe\\TessalyPushGateway-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount());
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    OutputPipe pipe;
    constexpr DWORD kOpenMode = PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
    pipe.read =
        Made(CreateNamedPipeW(name.c_str(), kOpenMode, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, kBufferBytes, 0, nullptr),
             name.c_str());
    pipe.write = Made(CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &inherited, OPEN_EXISTING, 0,
                                  nullptr),
                      name.c_str());
    return pipe;
}

// Reads a pipe without ever blocking: one read at a time waits for data, and
// its event tells when it has some, until every writer has closed the pipe.
class PipeReader {
public:
    explicit PipeReader(HANDLE pipe) : pipe_(pipe), event_(Made(CreateEventW(nullptr, TRUE, FALSE, nullptr), L"")) {
        reading_.hEvent = event_.get();
    }
    ~PipeReader() {
        // The system writes into the buffer until the read is cancelled.
        DWORD got = 0;
        if (pending_ && CancelIo(pipe_)) GetOverlappedResult(pipe_, &reading_, &got, TRUE);
    }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    // Takes what the last read brought, once it is done, and starts the next;
    // returns the event that tells when that one is done, or null once the
    // pipe is closed. One read a call, so a Java that writes without pause
    // still lets its watcher look at the clock.
    HANDLE ReadOn() {
        if (pending_) {
            if (WaitForSingleObject(event_.get(), 0) != WAIT_OBJECT_0) return event_.get();
            pending_ = false;
            DWORD got = 0;
            closed_ = !GetOverlappedResult(pipe_, &reading_, &got, FALSE);
            tail_.Append({chunk_.data(), got});
        }
        if (!closed_) {
            pending_ = ReadFile(pipe_, chunk_.data(), static_cast<DWORD>(chunk_.size()), nullptr, &reading_) ||
                       GetLastError() == ERROR_IO_PENDING;
            closed_ = !pending_;
        }
        return closed_ ? nullptr : event_.get();
    }
    const launch::OutputTail& Tail() const { return tail_; }

private:
    HANDLE pipe_;
    UniqueHandle event_;
    OVERLAPPED reading_{};
    std::array<char, 4096> chunk_{};
    bool pending_ = false;
    bool closed_ = false;
    launch::OutputTail tail_;
};

// Waits for Java to end, for the watch's window at most, reading all it
// writes meanwhile so that it never waits for the pipe.
launch::WatchedJava Watch(HANDLE process, HANDLE pipe) {
    PipeReader output(pipe);
    const DWORD started = GetTickCount();
    for (DWORD elapsed = 0; elapsed < launch::kWatchWindowMs; elapsed = GetTickCount() - started) {
        const HANDLE events[] = {process, output.ReadOn()};
        const DWORD woke = WaitForMultipleObjects(events[1] ? 2 : 1, events, FALSE, launch::kWatchWindowMs - elapsed);
        if (woke == WAIT_OBJECT_0) {
            // All Java wrote is in the pipe by now. What waits there is taken,
            // and no more is waited for: a program Java started may hold the
            // pipe open, and write on for ever.
            HANDLE more = output.ReadOn();
            while (more && WaitForSingleObject(more, 0) == WAIT_OBJECT_0 &&
                   GetTickCount() - started < launch::kWatchWindowMs) {
                more = output.ReadOn();
            }
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            return {true, code, FromAnsi(output.Tail().Bytes()), output.Tail().Cut()};
        }
        // The window has closed; a wait that failed leaves Java to run on, as
        // it did before it was watched.
        if (woke != WAIT_OBJECT_0 + 1) break;
    }
    return {};
}

// Java runs without a window of any kind. A console program started by one
// without a console gets a new console, which Windows 11's terminal shows in
// spite of SW_HIDE, and closing it would end the gateway: it gets none. Its
// standard handles are the pipe's write end, twice, and NUL to read.
launch::WatchedJava StartWatched(std::wstring commandLine, const std::wstring& program) {
    OutputPipe output = OpenOutputPipe();
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const UniqueHandle input = Made(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                                OPEN_EXISTING, 0, nullptr),
                                    L"NUL");
    // Java inherits every inheritable handle the launcher holds (Windows XP
    // cannot be told which), so the two above are the only ones: the handles
    // it was itself given as its standard ones are not passed on.
    for (const DWORD standard : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        SetHandleInformation(GetStdHandle(standard), HANDLE_FLAG_INHERIT, 0);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.get();
    startup.hStdOutput = startup.hStdError = output.write.get();
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &child)) {
        throw LastWindowsError(program.c_str());
    }
    const UniqueHandle process(child.hProcess);
    const UniqueHandle thread(child.hThread);
    // Java holds the only write end now: the pipe closes when it ends.
    output.write.reset();
    return Watch(process.get(), output.read.get());
}

}  // namespace

int Timer1_Timer(HWND frmSplash) {
    if (frmSplash != nullptr) DestroyWindow(frmSplash);

    registry::Win32RegistryApi registry;
    Win32Ui ui;
    LocateJavaHome(registry, ui, registry::OtherView(), Win32Files());

    const std::wstring programFolder = launch::ProgramFolderOf(ModulePath());
    std::wstring commandLine = launch::BuildJavaCommandLine(JavaHomePath, programFolder);
    // The child inherits it as its working directory.
    if (!SetCurrentDirectoryW(programFolder.c_str())) throw LastWindowsError(programFolder.c_str());
    const launch::WatchedJava java = StartWatched(std::move(commandLine), launch::JavaProgram(JavaHomePath));
    const std::optional<std::wstring> report = launch::StoppedJavaReport(java, programFolder);
    if (!report) return kExitLaunched;
    ui.ShowMessage(*report);
    return kExitJavaStopped;
}

int RunTimer1(HWND frmSplash) noexcept {
    AppError failure{};
    try {
        return Timer1_Timer(frmSplash);
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
