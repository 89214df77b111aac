// The one test program that runs under Wine. `probe PROGRAM [--freeze|--close|--measure|--hidden|--no-window]` starts
// the program detached as Explorer does (the last two: in a console nobody sees), at TESSALY_DPI's scale (96 dpi unless
// told; it stays so), plays its user and prints: created <creation, 100 ns units>; splash <ms>; window <window>|client=
// w,h|text; control <window>[|font=<height>|width=<its text's on one line>|face=|weight=|truetype=0|1, with --measure]|text a control; frozen (held
// still until a line comes on stdin, with --freeze or --measure); gone <ms>; box <caption> and its controls, answered
// OK; exit <code>|<ms>|<peak working set>|<peak private bytes> once it and all it started have ended. A <window> is
// class|in=<parent>|style|exstyle|box=x,y,w,h|icon=0|1; times from the creation; every wait for an event, a minute at
// most. With TESSALY_MOVED_TO, the splash is told it is on a screen of that dpi, at 100,50, before it is measured.
// Started as Java is (with a class path), or planted as a DLL, it appends its start to TESSALY_STANDIN_LOG.

#include <windows.h>
#include <aclapi.h>
#include <psapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <set>
#include <string>

namespace {

void Write(HANDLE to, std::wstring text, UINT codePage = CP_UTF8) {
    text += L"\n";
    std::string bytes(WideCharToMultiByte(codePage, 0, text.data(), text.size(), nullptr, 0, nullptr, nullptr), 0);
    WideCharToMultiByte(codePage, 0, text.data(), text.size(), bytes.data(), bytes.size(), nullptr, nullptr);
    DWORD done = 0;
    WriteFile(to, bytes.data(), bytes.size(), &done, nullptr);  // one write: records that overlap do not mix
}
void Print(const std::wstring& line) { Write(GetStdHandle(STD_OUTPUT_HANDLE), line); }
std::wstring N(long long number) { return std::to_wstring(number); }
ULONGLONG Ticks(FILETIME time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }
ULONGLONG Now() { FILETIME now; GetSystemTimePreciseAsFileTime(&now); return Ticks(now); }

std::wstring FileName(HANDLE file) {
    struct { DWORD length; wchar_t name[300]; } named{};
    GetFileInformationByHandleEx(file, FileNameInfo, &named, sizeof named);
    return std::wstring(named.name, named.length / 2);
}

void Note(const std::wstring& line) {  // one line, or a record, in TESSALY_STANDIN_LOG
    const HANDLE file = CreateFileW(_wgetenv(L"TESSALY_STANDIN_LOG"), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    Write(file, line);
    CloseHandle(file);
}

int Record() {
    std::wstring record = L"started=" + N(Now()) + L"\ncmdline=" + GetCommandLineW(), cwd(32768, L'\0');
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; i < argc; ++i) record += L"\nargv=" + std::wstring(argv[i]);
    cwd.resize(GetCurrentDirectoryW(cwd.size(), cwd.data()));
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    record += L"\ncwd=" + cwd + L"\nshow=" + (startup.dwFlags & STARTF_USESHOWWINDOW ? N(startup.wShowWindow) : L"-") +
              L"\nconsole=" + N(GetConsoleWindow() != nullptr) + L"\ninherited=";
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), error = GetStdHandle(STD_ERROR_HANDLE);
    for (ULONG_PTR value = 4; value < 0x400; value += 4) {  // inheritable handles but the standard ones
        const HANDLE handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        if (GetHandleInformation(handle, &flags) && flags & HANDLE_FLAG_INHERIT && handle != out && handle != error &&
            handle != GetStdHandle(STD_INPUT_HANDLE)) record += N(value) + L" ";
    }
    // The pipe it writes to: its name and who may open it.
    PSECURITY_DESCRIPTOR security = nullptr;
    wchar_t* allowed = nullptr;
    if (!GetSecurityInfo(out, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr, &security))
        ConvertSecurityDescriptorToStringSecurityDescriptorW(security, 1, DACL_SECURITY_INFORMATION, &allowed, nullptr);
    record += L"\npipe=" + FileName(out) + L"\nallowed=" + (allowed ? allowed : L"");
    // Told by TESSALY_STANDIN_DOES: "fail" writes three lines, two on its error output, in the ANSI code page, and ends
    // with 1; "keep-running" writes its output without pause, 1 MiB and on, until its launcher is gone.
    const std::wstring does = _wgetenv(L"TESSALY_STANDIN_DOES") ? _wgetenv(L"TESSALY_STANDIN_DOES") : L"";
    if (does == L"fail") {
        Write(out, L"Starting the gateway", CP_ACP);
        Write(error, L"Exception in thread \"main\" java.lang.UnsupportedClassVersionError: pdu_next/Frame11", CP_ACP);
        Write(error, L"Could not find the main class: pdu_next.Frame11 in Jävä. Program will exit.", CP_ACP);
    } else if (does == L"keep-running") {
        const std::string block(4096, '.');
        const ULONGLONG until = GetTickCount64() + 60000;
        for (DWORD i = 0, done; WriteFile(out, block.data(), block.size(), &done, nullptr) && GetTickCount64() < until;)
            if (++i == 256) record += L"\nflooded=" + N(Now());
        ULONG launcher = 0;  // the pipe's maker
        GetNamedPipeServerProcessId(out, &launcher);
        record += L"\noutlived=" + N(WaitForSingleObject(OpenProcess(SYNCHRONIZE, FALSE, launcher), 60000) == 0);
    }
    Note(record + L"\nend");
    return does == L"fail";
}

std::wstring Text(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0'), line;
    text.resize(GetWindowTextW(window, text.data(), text.size()));
    for (const wchar_t c : text) line += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
    return line;
}
std::wstring Class(HWND window) { wchar_t name[64] = {}; GetClassNameW(window, name, 64); return name; }
std::wstring Describe(HWND window, HWND frame) {
    RECT box;
    GetWindowRect(window, &box);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&box), 2);
    return Class(window) + L"|in=" + Class(GetParent(window)) + L"|style=" + N(GetWindowLongW(window, GWL_STYLE)) +
           L"|exstyle=" + N(GetWindowLongW(window, GWL_EXSTYLE)) + L"|box=" + N(box.left) + L"," + N(box.top) + L"," +
           N(box.right - box.left) + L"," + N(box.bottom - box.top) + L"|icon=" + N(!!SendMessageW(window, STM_GETICON, 0, 0));
}
BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    const auto measured = reinterpret_cast<INT_PTR>(GetPropW(control, L"measured"));  // its height, its text's width
    const auto look = reinterpret_cast<INT_PTR>(GetPropW(control, L"look"));  // its weight, whether TrueType
    wchar_t face[LF_FACESIZE] = {};
    GlobalGetAtomNameW(ATOM(reinterpret_cast<INT_PTR>(GetPropW(control, L"face"))), face, LF_FACESIZE);
    const std::wstring font = measured ? L"|font=-" + N(measured >> 16) + L"|width=" + N(measured & 0xFFFF) + L"|face=" +
                                         face + L"|weight=" + N(look >> 1) + L"|truetype=" + N(look & 1) : L"";
    if (IsWindowVisible(control))
        Print(L"control " + Describe(control, GetParent(control)) + font + L"|text=" + Text(control));
    return TRUE;
}
// Hooked into the program (--measure), where its fonts are: a window sent a message has each control in it measured,
// its font's height and its text's width on one line kept as a property, which the probe reads.
BOOL CALLBACK MeasureControl(HWND control, LPARAM) {
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW described{};
    TEXTMETRICW metrics{};
    const HDC dc = GetDC(control);  // a common one, which its release resets
    RECT box{};
    SelectObject(dc, font) && DrawTextW(dc, Text(control).c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX) &&
        GetTextMetricsW(dc, &metrics);
    ReleaseDC(control, dc);
    return !GetObjectW(font, sizeof described, &described) ||  // one without a font (the picture) is passed over
           (SetPropW(control, L"face", HANDLE(INT_PTR(GlobalAddAtomW(described.lfFaceName)))) &&
            SetPropW(control, L"look", HANDLE(INT_PTR(metrics.tmWeight << 1 | !!(metrics.tmPitchAndFamily & TMPF_TRUETYPE)))) &&
            SetPropW(control, L"measured", HANDLE(INT_PTR(-described.lfHeight << 16 | box.right))));
}

struct Watch { DWORD process; HWND splash = nullptr; std::set<HWND> seen; };
// The program's windows, each once: the splash, and each message box, read and answered with OK.
BOOL CALLBACK Look(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != watch.process || !IsWindowVisible(window) || !watch.seen.insert(window).second) return TRUE;
    if (Class(window) != L"#32770") return watch.splash = window, FALSE;
    Print(L"box " + Text(window));
    EnumChildWindows(window, PrintControl, 0);
    return PostMessageW(window, WM_COMMAND, IDOK, 0);
}

int Play(const std::wstring& program, const std::wstring& option) {
    const bool close = option == L"--close", measure = option == L"--measure", freeze = measure || option == L"--freeze";
    // Detached: no console for Java to inherit. Its standard handles are a file, as a command prompt's redirection
    // gives them, and it inherits an event: Java must get neither (from Vista on, the launcher lists what it passes
    // on). --no-window and --hidden give a console program a console nobody sees, and no redirection.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    STARTUPINFOW startup{sizeof startup};
    const bool hidden = option == L"--hidden", unseen = hidden || option == L"--no-window";
    startup.dwFlags = hidden ? STARTF_USESHOWWINDOW : unseen ? 0 : STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
    for (const DWORD own : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(own), HANDLE_FLAG_INHERIT, 0);
    const DWORD dpi = _wgetenv(L"TESSALY_DPI") ? _wtoi(_wgetenv(L"TESSALY_DPI")) : 96;  // Wine reads it at each start
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    PROCESS_INFORMATION child{};
    std::wstring command = L"\"" + program + L"\"";
    if (measure) SetEnvironmentVariableW(L"TESSALY_MEASURING", L"1");  // the DLL hooked in records no start
    // In a job, which tells when the program and every process it started have ended.
    const HANDLE job = CreateJobObjectW(nullptr, nullptr), ended = CreateIoCompletionPort(INVALID_HANDLE_VALUE, 0, 0, 1);
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{job, ended};
    SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &link, sizeof link);
    const DWORD flags = (hidden ? CREATE_NEW_CONSOLE : unseen ? CREATE_NO_WINDOW : DETACHED_PROCESS) | CREATE_SUSPENDED;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &child) ||
        !AssignProcessToJobObject(job, child.hProcess) || ResumeThread(child.hThread) != 1) return 2;
    FILETIME times[4];
    GetProcessTimes(child.hProcess, &times[0], &times[1], &times[2], &times[3]);
    const ULONGLONG created = Ticks(times[0]), deadline = GetTickCount64() + 60000;
    const auto since = [created](ULONGLONG time) { return std::to_wstring((time - created) / 10000.0); };
    Print(L"created " + N(created));
    Watch watch{child.dwProcessId};
    WaitForInputIdle(child.hProcess, 60000);
    while (EnumWindows(Look, reinterpret_cast<LPARAM>(&watch)) && GetTickCount64() < deadline &&
           WaitForSingleObject(child.hProcess, 1) == WAIT_TIMEOUT) {}
    if (watch.splash) {
        Print(L"splash " + since(Now()));
        if (measure) {  // hooked in, the DLL measures the labels (Measure); loaded, it records a start, as planted
            const HMODULE planted = LoadLibraryW(L"planted.dll");
            const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                GetProcAddress(planted, "Measure"))), planted, child.dwThreadId);
            SendMessageW(watch.splash, WM_NULL, 0, 0);
            UnhookWindowsHookEx(hook);
        }
        RECT client;
        GetClientRect(watch.splash, &client);
        Print(L"window " + Describe(watch.splash, nullptr) + L"|client=" + N(client.right) + L"," + N(client.bottom) +
              L"|text=" + Text(watch.splash));
        // Each control's icon is asked of the program's thread, which answers from its idle message loop, where it
        // hands its painted pixels to the screen: they are there before it stands still.
        EnumChildWindows(watch.splash, PrintControl, 0);
        if (freeze) {
            SuspendThread(child.hThread);
            Print(L"frozen");
            char line[64]; DWORD got = 0;
            ReadFile(GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &got, nullptr);
            ResumeThread(child.hThread);
        }
        if (close) PostMessageW(watch.splash, WM_CLOSE, 0, 0);
    }
    PROCESS_MEMORY_COUNTERS memory{}, peak{};  // the system's own running peaks: the last look is the highest
    for (ULONGLONG lastLook = 0; WaitForSingleObject(child.hProcess, 1) == WAIT_TIMEOUT;) {
        if (watch.splash && !IsWindow(watch.splash)) Print(L"gone " + since(Now())), watch.splash = nullptr;
        if (GetTickCount64() - lastLook < 10) continue;  // what costs the program more: every 10 ms
        lastLook = GetTickCount64();
        if (GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory)) peak = memory;
        EnumWindows(Look, reinterpret_cast<LPARAM>(&watch));
        if (GetTickCount64() > deadline) Print(L"timeout"), TerminateProcess(child.hProcess, 99);
    }
    if (watch.splash) Print(L"gone " + since(Now()));
    // What its children write is whole once they have ended too.
    DWORD message = 0;
    for (ULONG_PTR key; message != JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO;)
        if (LPOVERLAPPED unused; !GetQueuedCompletionStatus(ended, &message, &key, &unused, 60000)) break;
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    GetProcessTimes(child.hProcess, &times[0], &times[1], &times[2], &times[3]);
    Print(L"exit " + N(code) + L"|" + since(Ticks(times[1])) + L"|" + N(peak.PeakWorkingSetSize) + L"|" +
          N(peak.PeakPagefileUsage));
    return 0;
}

}  // namespace

// Hooked into the launcher (--measure), the DLL notes what it makes for Java, ahead of (so joining) Java's record: its
// pipe (open mode, pipe mode, instances) and the handles it lists for Java to inherit (each one's file type and name).
HANDLE WINAPI NotedPipe(LPCWSTR name, DWORD open, DWORD mode, DWORD most, DWORD out, DWORD in, DWORD wait,
                        LPSECURITY_ATTRIBUTES security) {
    Note(L"made=" + N(open) + L"|" + N(mode) + L"|" + N(most));
    return CreateNamedPipeW(name, open, mode, most, out, in, wait, security);
}
BOOL WINAPI NotedList(LPPROC_THREAD_ATTRIBUTE_LIST list, DWORD flags, DWORD_PTR attribute, PVOID value, SIZE_T size,
                      PVOID previous, PSIZE_T returned) {
    std::wstring line = L"listed=" + N(attribute);
    for (HANDLE *handle = static_cast<HANDLE*>(value), *end = handle + size / sizeof *handle; handle < end; ++handle)
        line += L"|" + N(GetFileType(*handle)) + L":" + FileName(*handle);
    return Note(line), UpdateProcThreadAttribute(list, flags, attribute, value, size, previous, returned);
}
FARPROC WINAPI NotedLookup(HMODULE module, LPCSTR name) {  // the launcher looks the list's calls up (XP has none)
    const bool list = HIWORD(name) && !strcmp(name, "UpdateProcThreadAttribute");
    return list ? reinterpret_cast<FARPROC>(reinterpret_cast<void*>(NotedList)) : GetProcAddress(module, name);
}
BOOL Redirect() {  // the two's slots in the exe's import address table
    const auto base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const IMAGE_DATA_DIRECTORY& table = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(
        base)->e_lfanew)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    const auto slots = reinterpret_cast<ULONG_PTR*>(base + table.VirtualAddress);
    for (DWORD i = 0, was; i < table.Size / sizeof *slots; ++i) {
        const ULONG_PTR to = slots[i] == ULONG_PTR(&CreateNamedPipeW) ? ULONG_PTR(&NotedPipe)
                           : slots[i] == ULONG_PTR(&GetProcAddress) ? ULONG_PTR(&NotedLookup) : 0;
        if (to && VirtualProtect(&slots[i], sizeof to, PAGE_READWRITE, &was)) slots[i] = to;
    }
    return TRUE;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK Measure(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT& sent = *reinterpret_cast<CWPSTRUCT*>(lParam);
    if (sent.message != WM_NULL) return CallNextHookEx(nullptr, code, wParam, lParam);  // the probe's, not the splash's
    if (const wchar_t* dpi = _wgetenv(L"TESSALY_MOVED_TO")) {
        // As Windows tells a window dragged to a screen of another scale: its client area scaled, in this memory.
        const int to = _wtoi(dpi), from = _wtoi(_wgetenv(L"TESSALY_DPI"));
        RECT client, suggested{100, 50, 100, 50};
        GetClientRect(sent.hwnd, &client);
        suggested.right += MulDiv(client.right, to, from), suggested.bottom += MulDiv(client.bottom, to, from);
        AdjustWindowRectEx(&suggested, GetWindowLongW(sent.hwnd, GWL_STYLE), FALSE, GetWindowLongW(sent.hwnd, GWL_EXSTYLE));
        OffsetRect(&suggested, 100 - suggested.left, 50 - suggested.top);
        SendMessageW(sent.hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(to, to), LPARAM(&suggested));
    }
    EnumChildWindows(sent.hwnd, MeasureControl, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

#ifdef PLANTED_DLL
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    const bool measuring = GetEnvironmentVariableW(L"TESSALY_MEASURING", nullptr, 0);  // else planted: a start
    return reason != DLL_PROCESS_ATTACH || (measuring ? Redirect() : Record() == 0);
}
#else
int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && argv[1] == std::wstring(L"-classpath")) return Record();  // started as Java is
    return argc > 1 ? Play(argv[1], argc > 2 ? argv[2] : L"") : 2;
}
#endif
