#include "launch_sequence.h"

#include <ntsecapi.h>
#include <sddl.h>

#include <array>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "ansi_text.h"
#include "command_line.h"
#include "decimal.h"
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
// instance, whose write end the launcher opens itself at once.
struct OutputPipe {
    UniqueHandle read;
    UniqueHandle write;
};

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
using LocalMemory = std::unique_ptr<void, LocalFreer>;

// Only the launcher's own user, and the system, may open the pipe: on a
// machine many users share (a terminal server), nobody else can connect to it
// in the moment before the launcher's own open, or make its name first.
LocalMemory OwnUserOnly() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) throw LastWindowsError();
    const UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<std::uint8_t> user(size);
    wchar_t* sid = nullptr;
    if (!GetTokenInformation(token, TokenUser, user.data(), size, &size) ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        throw LastWindowsError();
    }
    const LocalMemory sidText(sid);
    const std::wstring rules = L"D:P(A;;GA;;;SY)(A;;GA;;;" + std::wstring(sid) + L")";
    void* descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(rules.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        throw LastWindowsError();
    }
    return LocalMemory(descriptor);
}

// A name from the system's random number generator, which Windows XP has too.
std::wstring FreshPipeName() {
    std::array<std::uint8_t, 16> random{};
    if (!RtlGenRandom(random.data(), static_cast<ULONG>(random.size()))) throw LastWindowsError();
    return launch::PipeName(random);
}

OutputPipe OpenOutputPipe() {
    constexpr DWORD kBufferBytes = 4096;
    constexpr DWORD kOpenMode = PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
    constexpr DWORD kRejectRemoteClients = 0x8;  // PIPE_REJECT_REMOTE_CLIENTS, from Windows Vista on
    const LocalMemory security = OwnUserOnly();
    SECURITY_ATTRIBUTES ownUser{sizeof ownUser, security.get(), FALSE};
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    OutputPipe pipe;
    DWORD refused = 0;
    // Another instance of the name, or a client of it, is a name taken.
    const auto taken = [&refused] {
        refused = GetLastError();
        return refused == ERROR_ACCESS_DENIED || refused == ERROR_PIPE_BUSY;
    };
    const auto make = [&](const std::wstring& name) {
        HANDLE read = INVALID_HANDLE_VALUE;
        // Windows XP knows no clients to reject, and refuses the flag.
        for (const DWORD remote : {kRejectRemoteClients, DWORD{0}}) {
            read = CreateNamedPipeW(name.c_str(), kOpenMode, PIPE_TYPE_BYTE | PIPE_WAIT | remote, 1, 0, kBufferBytes,
                                    0, &ownUser);
            if (read != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) break;
        }
        if (read == INVALID_HANDLE_VALUE && taken()) return false;
        pipe.read = Made(read, name.c_str());
        const HANDLE write = CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &inherited,
                                         OPEN_EXISTING, 0, nullptr);
        if (write == INVALID_HANDLE_VALUE && taken()) return false;
        pipe.write = Made(write, name.c_str());
        return true;
    };
    if (!launch::UnderAFreeName(FreshPipeName, make)) {
        SetLastError(refused);
        throw LastWindowsError();
    }
    return pipe;
}

// From Windows Vista on, Java is told exactly which handles it inherits;
// Windows XP passes on every inheritable one, which is why the launcher makes
// no other. Where the list cannot be made, Java is started as on XP.
class InheritedHandles {
public:
    static constexpr DWORD_PTR kHandleList = 0x20002;  // PROC_THREAD_ATTRIBUTE_HANDLE_LIST

    explicit InheritedHandles(std::array<HANDLE, 2> handles) : handles_(handles) {
        const auto initialize =
            Lookup<BOOL(WINAPI*)(void*, DWORD, DWORD, SIZE_T*)>("InitializeProcThreadAttributeList");
        const auto update =
            Lookup<BOOL(WINAPI*)(void*, DWORD, DWORD_PTR, void*, SIZE_T, void*, SIZE_T*)>("UpdateProcThreadAttribute");
        delete_ = Lookup<void(WINAPI*)(void*)>("DeleteProcThreadAttributeList");
        SIZE_T size = 0;
        if (!initialize || !update || !delete_) return;
        initialize(nullptr, 1, 0, &size);
        list_.resize(size);
        if (!initialize(list_.data(), 1, 0, &size)) {
            list_.clear();
        } else if (!update(list_.data(), 0, kHandleList, handles_.data(), sizeof handles_, nullptr, nullptr)) {
            delete_(list_.data());
            list_.clear();
        }
    }
    ~InheritedHandles() {
        if (!list_.empty()) delete_(list_.data());
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;

    // The attribute list for STARTUPINFOEX, or null on Windows XP.
    void* List() { return list_.empty() ? nullptr : list_.data(); }

private:
    // Looked up rather than imported: Windows XP has none of them.
    template <class Function>
    static Function Lookup(const char* name) {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
    }

    std::array<HANDLE, 2> handles_;  // the list points at them
    void(WINAPI* delete_)(void*) = nullptr;
    std::vector<std::uint8_t> list_;
};

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
    // Java inherits every inheritable handle the launcher holds on Windows XP,
    // so the pipe's write end and NUL below are the only ones: the handles it
    // was itself given as its standard ones are not passed on. Cleared first:
    // a standard handle the launcher was given but does not hold is a stale
    // number, which a handle made below may take.
    for (const DWORD standard : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        SetHandleInformation(GetStdHandle(standard), HANDLE_FLAG_INHERIT, 0);
    }
    OutputPipe output = OpenOutputPipe();
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const UniqueHandle input = Made(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                                OPEN_EXISTING, 0, nullptr),
                                    L"NUL");
    InheritedHandles inheritedOnly({input.get(), output.write.get()});
    struct {
        STARTUPINFOW StartupInfo;
        void* lpAttributeList;
    } extended{};  // STARTUPINFOEXW, from Windows Vista on
    STARTUPINFOW& startup = extended.StartupInfo;
    extended.lpAttributeList = inheritedOnly.List();
    startup.cb = extended.lpAttributeList ? sizeof extended : sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.get();
    startup.hStdOutput = startup.hStdError = output.write.get();
    constexpr DWORD kExtendedStartupInfoPresent = 0x80000;
    const DWORD flags = CREATE_NO_WINDOW | (extended.lpAttributeList ? kExtendedStartupInfoPresent : 0);
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup,
                        &child)) {
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
    LocateJavaHome(registry, ui, registry::OtherView(), Win32Files(), Win32Environment());

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
                          Decimal(failure.number) + L": " + failure.description);
    return kExitLaunchFailed;
}
