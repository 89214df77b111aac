// The one test program that runs under Wine, in three roles:
// - probe.exe PROGRAM [--freeze] [--close] [--poll MS]: starts the program and plays its user. Lines on stdout:
//     created <process creation, 100 ns units>   splash <ms>   window <caption>|style|exstyle|rect|client
//     control <class>|in=<parent class>|style|box|text   frozen (the program stands still until a line on stdin)
//     gone <ms>   box <caption>|buttons=<n>|icon=<0|1>|text=<prompt>   (answered with OK)
//     ended <ms>|<peak working set>|<peak private bytes>   exit <code> (the program and its children have ended)
//   Times are ms after creation; every wait is for an event, a minute at most.
// - probe.exe --resources EXE: the exe's version strings, icon and manifest as Windows reads them.
// - copied as java.exe, or built as a DLL and planted: appends how and when it was started to the file
//   named by TESSALY_STANDIN_LOG, one record a start.

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <set>
#include <string>
#include <vector>

namespace {

void Write(HANDLE to, std::wstring text) {
    text += L"\n";
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.data(), text.size(), nullptr, 0, nullptr, nullptr), 0);
    WideCharToMultiByte(CP_UTF8, 0, text.data(), text.size(), bytes.data(), bytes.size(), nullptr, nullptr);
    DWORD done = 0;
    WriteFile(to, bytes.data(), bytes.size(), &done, nullptr);
}
void Print(const std::wstring& line) { Write(GetStdHandle(STD_OUTPUT_HANDLE), line); }

std::wstring N(long long number) { return std::to_wstring(number); }
ULONGLONG Ticks(FILETIME time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }
ULONGLONG Now() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return Ticks(now);
}

int Record() {
    std::wstring record = L"started=" + N(Now()) + L"\ncmdline=" + GetCommandLineW();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 0; i < argc; ++i) record += L"\nargv=" + std::wstring(argv[i]);
    std::wstring cwd(MAX_PATH * 4, L'\0');
    cwd.resize(GetCurrentDirectoryW(cwd.size(), cwd.data()));
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    record += L"\ncwd=" + cwd + L"\nshow=" + (startup.dwFlags & STARTF_USESHOWWINDOW ? N(startup.wShowWindow) : L"-");
    wchar_t log[MAX_PATH * 4] = {};
    GetEnvironmentVariableW(L"TESSALY_STANDIN_LOG", log, std::size(log));
    const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                                    nullptr);
    Write(file, record + L"\nend");  // one write, so starts that overlap do not interleave
    return CloseHandle(file) ? 0 : 3;
}

std::wstring Text(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0'), line;
    text.resize(GetWindowTextW(window, text.data(), text.size()));
    for (const wchar_t c : text) line += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
    return line;
}
std::wstring Class(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}
std::wstring Box(RECT r) { return N(r.left) + L"," + N(r.top) + L"," + N(r.right - r.left) + L"," + N(r.bottom - r.top); }
std::wstring Styles(HWND window) {
    return L"|style=" + N(GetWindowLongW(window, GWL_STYLE)) + L"|exstyle=" + N(GetWindowLongW(window, GWL_EXSTYLE));
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box), 2);
    Print(L"control " + Class(control) + L"|in=" + Class(GetParent(control)) + Styles(control) + L"|box=" + Box(box) +
          L"|text=" + Text(control));
    return TRUE;
}

struct Watch {
    DWORD process;
    HWND splash = nullptr;
    std::set<HWND> answered;
    int buttons = 0, icons = 0;
    std::wstring text;
};

bool Shown(HWND window, const Watch& watch, bool box) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == watch.process && IsWindowVisible(window) && (Class(window) == L"#32770") == box;
}
BOOL CALLBACK FindSplash(HWND window, LPARAM watch) {
    if (Shown(window, *reinterpret_cast<Watch*>(watch), false)) reinterpret_cast<Watch*>(watch)->splash = window;
    return !reinterpret_cast<Watch*>(watch)->splash;
}
BOOL CALLBACK ReadBox(HWND control, LPARAM context) {
    Watch& box = *reinterpret_cast<Watch*>(context);
    const bool icon = (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    box.buttons += IsWindowVisible(control) && Class(control) == L"Button";
    box.icons += IsWindowVisible(control) && icon && SendMessageW(control, STM_GETICON, 0, 0);
    if (IsWindowVisible(control) && Class(control) == L"Static" && !icon && box.text.empty()) box.text = Text(control);
    return TRUE;
}
BOOL CALLBACK AnswerBox(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    if (!Shown(window, watch, true) || !watch.answered.insert(window).second) return TRUE;
    Watch box{};
    EnumChildWindows(window, ReadBox, reinterpret_cast<LPARAM>(&box));
    Print(L"box " + Text(window) + L"|buttons=" + N(box.buttons) + L"|icon=" + N(box.icons) + L"|text=" + box.text);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

int Play(std::wstring program, bool freeze, bool close, DWORD pollMs) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION child{};
    program = L"\"" + program + L"\"";
    if (!CreateProcessW(nullptr, program.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
        return 2;
    }
    FILETIME times[4];
    GetProcessTimes(child.hProcess, &times[0], &times[1], &times[2], &times[3]);
    const ULONGLONG created = Ticks(times[0]), deadline = GetTickCount64() + 60000;
    const auto since = [created](ULONGLONG time) { return std::to_wstring((time - created) / 10000.0); };
    Print(L"created " + N(created));
    Watch watch{child.dwProcessId};
    WaitForInputIdle(child.hProcess, 60000);
    while (EnumWindows(FindSplash, reinterpret_cast<LPARAM>(&watch)) && GetTickCount64() < deadline &&
           WaitForSingleObject(child.hProcess, pollMs) == WAIT_TIMEOUT) {
    }
    if (watch.splash) {
        Print(L"splash " + since(Now()));
        RECT outline, client;
        GetWindowRect(watch.splash, &outline);
        GetClientRect(watch.splash, &client);
        MapWindowPoints(watch.splash, nullptr, reinterpret_cast<POINT*>(&client), 2);
        Print(L"window " + Text(watch.splash) + Styles(watch.splash) + L"|rect=" + Box(outline) + L"|client=" +
              Box(client));
        EnumChildWindows(watch.splash, PrintControl, 0);
        if (freeze) {
            SuspendThread(child.hThread);
            Print(L"frozen");
            char line[64];
            DWORD got = 0;
            ReadFile(GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &got, nullptr);
            ResumeThread(child.hThread);
        }
        if (close) PostMessageW(watch.splash, WM_CLOSE, 0, 0);
    }
    PROCESS_MEMORY_COUNTERS memory{}, peak{};
    for (ULONGLONG lastLook = 0; WaitForSingleObject(child.hProcess, pollMs) == WAIT_TIMEOUT;) {
        if (watch.splash && !IsWindow(watch.splash)) Print(L"gone " + since(Now())), watch.splash = nullptr;
        if (GetTickCount64() - lastLook < 10) continue;  // what costs the program more, every 10 ms
        lastLook = GetTickCount64();
        GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory);
        peak.PeakWorkingSetSize = std::max(peak.PeakWorkingSetSize, memory.PeakWorkingSetSize);
        peak.PeakPagefileUsage = std::max(peak.PeakPagefileUsage, memory.PeakPagefileUsage);
        EnumWindows(AnswerBox, reinterpret_cast<LPARAM>(&watch));
        if (GetTickCount64() > deadline) Print(L"timeout"), TerminateProcess(child.hProcess, 99);
    }
    if (watch.splash) Print(L"gone " + since(Now()));
    GetProcessTimes(child.hProcess, &times[0], &times[1], &times[2], &times[3]);
    Print(L"ended " + since(Ticks(times[1])) + L"|" + N(peak.PeakWorkingSetSize) + L"|" + N(peak.PeakPagefileUsage));
    // What its children write is whole once they have ended too.
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof entry};
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        const HANDLE started = entry.th32ParentProcessID == child.dwProcessId
                                   ? OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID) : nullptr;
        if (started) WaitForSingleObject(started, 60000), CloseHandle(started);
    }
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    Print(L"exit " + N(code));
    return 0;
}

int PrintResources(const wchar_t* exe) {
    DWORD ignored = 0;
    std::vector<BYTE> version(GetFileVersionInfoSizeW(exe, &ignored));
    GetFileVersionInfoW(exe, 0, version.size(), version.data());
    for (const wchar_t* name : {L"\\", L"\\VarFileInfo\\Translation", L"CompanyName", L"FileVersion", L"InternalName",
                                L"OriginalFilename", L"ProductName", L"ProductVersion", L"FileDescription",
                                L"LegalCopyright", L"Comments"}) {
        void* value = nullptr;
        UINT size = 0;
        const std::wstring path = name[0] == L'\\' ? name : L"\\StringFileInfo\\040904B0\\" + std::wstring(name);
        if (!VerQueryValueW(version.data(), path.c_str(), &value, &size)) continue;
        std::wstring line = name + std::wstring(L"=");
        for (UINT i = 0; name[0] == L'\\' && i < size / 2; ++i) line += N(static_cast<WORD*>(value)[i]) + L" ";
        Print(name[0] == L'\\' ? line : line + static_cast<const wchar_t*>(value));
    }
    const HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const auto resource = [module](const wchar_t* type, WORD id) {
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                           found ? SizeofResource(module, found) : 0);
    };
    // The icon group: 6 bytes, then 14 an image, its resource id last.
    const std::string group = resource(RT_GROUP_ICON, 1);
    for (std::size_t at = 6; at + 14 <= group.size(); at += 14) {
        const std::string image = resource(RT_ICON, *reinterpret_cast<const WORD*>(&group[at + 12]));
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
        Print(L"icon " + N(BYTE(group[at])) + L"x" + N(BYTE(group[at + 1])) + L"|bits=" + N(header->biBitCount) +
              L"|colours=" + N(header->biClrUsed) + L"|bytes=" + N(image.size()));
    }
    const std::string manifest = resource(MAKEINTRESOURCEW(24), 1);
    Print(L"manifest asInvoker=" + N(manifest.find("level=\"asInvoker\"") != std::string::npos) + L"|dpiAware=" +
          N(manifest.find("dpiAware") != std::string::npos));
    return 0;
}

}  // namespace

#ifdef PLANTED_DLL
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) { return reason != DLL_PROCESS_ATTACH || Record() == 0; }
#else
int wmain(int argc, wchar_t** argv) {
    wchar_t self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, self, std::size(self));
    if (length >= 8 && _wcsicmp(self + length - 8, L"java.exe") == 0) return Record();
    if (argc == 3 && std::wstring(argv[1]) == L"--resources") return PrintResources(argv[2]);
    bool freeze = false, close = false;
    DWORD pollMs = 10;
    for (int i = 2; i < argc; ++i) {
        freeze |= std::wstring(argv[i]) == L"--freeze";
        close |= std::wstring(argv[i]) == L"--close";
        if (std::wstring(argv[i]) == L"--poll" && i + 1 < argc) pollMs = _wtoi(argv[++i]);
    }
    return argc > 1 ? Play(argv[1], freeze, close, pollMs) : 2;
}
#endif
