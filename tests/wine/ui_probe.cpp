// Starts a program and plays its user. It reads its splash window and every
// control on it, answers every message box with OK, and reports on stdout
// (UTF-8), one line each:
//   created <process creation time, 100 ns units>
//   splash <ms after creation>          the splash is up, painted and idle
//   window <caption>|class=..|style=0x..|exstyle=0x..|rect=x,y,w,h|client=x,y,w,h|screen=w,h|surface=r,g,b
//   control <class>|in=<parent class>|box=x,y,w,h|kind=left|center|right|bitmap|groupbox|text=<text>
//   frozen                              (--freeze) the splash stands still for a screenshot
//   gone <ms after creation>            the splash window no longer exists
//   ended <ms after creation>           the program has ended
//   memory peak-ws=<bytes>|peak-private=<bytes>   the highest figures seen while it ran
//   box <caption>|buttons=<n>|icon=<0|1>
//   text <prompt, with CR and LF written as \r and \n>
//   exit <code>
// Usage: ui_probe [--freeze MS] [--poke] [--close] [--poll MS] <program> [timeout-ms]
//   --freeze  stops the program's thread for MS milliseconds once the splash is up
//   --poke    clicks on the splash and its controls and types at it
//   --close   asks the splash to close as soon as it is up
//   --poll    looks at the program every MS milliseconds (10 by default)
// Or:    ui_probe --resources <exe> <icon.ppm>
//          prints the exe's version resource, icon and manifest as Windows reads
//          them, and draws the icon at caption size
//        ui_probe --render <out.ppm> <w> <h> <left|center|right> <rrggbb> <face> <height> <weight> <italic>
//                 <serif|sans> <text>
//          draws a text as a label on the dialog surface would show it; prints "lines <n>"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "utf8.h"

namespace {

void Print(const std::wstring& line) {
    const std::string bytes = Utf8(line + L"\n");
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\r') out += L"\\r";
        else if (c == L'\n') out += L"\\n";
        else out += c;
    }
    return out;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring Rect(const RECT& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right - r.left) +
           L"," + std::to_wstring(r.bottom - r.top);
}

std::wstring Rgb(COLORREF colour) {
    return std::to_wstring(GetRValue(colour)) + L"," + std::to_wstring(GetGValue(colour)) + L"," +
           std::to_wstring(GetBValue(colour));
}

std::wstring Hex(DWORD value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lx", static_cast<unsigned long>(value));
    return text;
}

// --- The splash window ------------------------------------------------------

std::wstring KindOf(HWND control) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (lstrcmpiW(ClassOf(control).c_str(), L"Button") == 0) {
        return (style & BS_TYPEMASK) == BS_GROUPBOX ? L"groupbox" : L"button";
    }
    switch (style & SS_TYPEMASK) {
    case SS_LEFT: return L"left";
    case SS_CENTER: return L"center";
    case SS_RIGHT: return L"right";
    case SS_BITMAP: return L"bitmap";
    default: return Hex(static_cast<DWORD>(style & SS_TYPEMASK));
    }
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    const HWND parent = GetParent(control);
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
    // Wine does not answer WM_GETFONT from another process: fonts are checked
    // on screen, against --render.
    Print(L"control " + ClassOf(control) + L"|in=" + ClassOf(parent) + L"|box=" + Rect(box) + L"|kind=" +
          KindOf(control) + L"|text=" + Escaped(TextOf(control)));
    return TRUE;
}

void PrintSplash(HWND splash) {
    RECT outline, client;
    GetWindowRect(splash, &outline);
    GetClientRect(splash, &client);
    MapWindowPoints(splash, nullptr, reinterpret_cast<POINT*>(&client), 2);
    Print(L"window " + TextOf(splash) + L"|class=" + ClassOf(splash) + L"|style=" +
          Hex(static_cast<DWORD>(GetWindowLongW(splash, GWL_STYLE))) + L"|exstyle=" +
          Hex(static_cast<DWORD>(GetWindowLongW(splash, GWL_EXSTYLE))) + L"|rect=" + Rect(outline) + L"|client=" +
          Rect(client) + L"|screen=" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"," +
          std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L"|surface=" + Rgb(GetSysColor(COLOR_BTNFACE)));
    EnumChildWindows(splash, PrintControl, 0);
}

// A top-down 32-bit bitmap in memory, written out as a binary PPM.
struct Canvas {
    int width, height;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap;
    HGDIOBJ old;

    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFOHEADER header{sizeof header, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Save(const wchar_t* path) const {
        GdiFlush();
        std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        const auto* pixel = static_cast<const BYTE*>(bits);
        for (int i = 0; i < width * height; ++i, pixel += 4) ppm += {char(pixel[2]), char(pixel[1]), char(pixel[0])};
        const HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(out, ppm.data(), static_cast<DWORD>(ppm.size()), &written, nullptr);
        CloseHandle(out);
    }
};

int Render(wchar_t** arg) {
    Canvas canvas(_wtoi(arg[1]), _wtoi(arg[2]));
    const std::wstring align = arg[3];
    const UINT format = DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX |
                        (align == L"center" ? DT_CENTER : align == L"right" ? DT_RIGHT : DT_LEFT);
    const DWORD rgb = wcstoul(arg[4], nullptr, 16);
    LOGFONTW description{};
    description.lfHeight = _wtoi(arg[6]);
    description.lfWeight = _wtoi(arg[7]);
    description.lfItalic = static_cast<BYTE>(_wtoi(arg[8]));
    description.lfCharSet = ANSI_CHARSET;
    description.lfPitchAndFamily = VARIABLE_PITCH | (std::wstring(arg[9]) == L"serif" ? FF_ROMAN : FF_SWISS);
    lstrcpynW(description.lfFaceName, arg[5], LF_FACESIZE);
    const HFONT font = CreateFontIndirectW(&description);
    const HGDIOBJ old = SelectObject(canvas.dc, font);
    RECT area{0, 0, canvas.width, canvas.height};
    FillRect(canvas.dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(canvas.dc, RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
    SetBkColor(canvas.dc, GetSysColor(COLOR_BTNFACE));
    const std::wstring text = arg[10];
    DrawTextW(canvas.dc, text.c_str(), -1, &area, format);
    TEXTMETRICW metrics{};
    GetTextMetricsW(canvas.dc, &metrics);
    RECT needed{0, 0, canvas.width, 0};
    DrawTextW(canvas.dc, text.c_str(), -1, &needed, format | DT_CALCRECT);
    Print(L"lines " + std::to_wstring(metrics.tmHeight ? (needed.bottom + metrics.tmHeight - 1) / metrics.tmHeight : 0));
    SelectObject(canvas.dc, old);
    DeleteObject(font);
    canvas.Save(arg[0]);
    return 0;
}

// What a restless user does: clicks everywhere and presses keys.
BOOL CALLBACK Poke(HWND window, LPARAM) {
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP}) {
        PostMessageW(window, message, message == WM_RBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
    }
    for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}, WPARAM{VK_SPACE}, WPARAM{'A'}}) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_CHAR, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    }
    return TRUE;
}

// --- Message boxes ------------------------------------------------------------

struct Box {
    std::wstring text;
    int buttons = 0;
    bool icon = false;
};

struct Watch {
    DWORD processId = 0;
    HWND splash = nullptr;
    std::set<HWND> answered;
};

BOOL CALLBACK ReadBoxControl(HWND control, LPARAM context) {
    Box& box = *reinterpret_cast<Box*>(context);
    if (!IsWindowVisible(control)) return TRUE;
    const std::wstring kind = ClassOf(control);
    if (lstrcmpiW(kind.c_str(), L"Button") == 0) {
        ++box.buttons;
    } else if (lstrcmpiW(kind.c_str(), L"Static") == 0) {
        if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            box.icon = box.icon || SendMessageW(control, STM_GETICON, 0, 0) != 0;
        } else if (box.text.empty()) {
            box.text = TextOf(control);
        }
    }
    return TRUE;
}

bool OwnedVisible(HWND window, const Watch& watch) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == watch.processId && IsWindowVisible(window);
}

BOOL CALLBACK FindSplash(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    if (!OwnedVisible(window, watch) || ClassOf(window) == L"#32770") return TRUE;
    watch.splash = window;
    return FALSE;
}

BOOL CALLBACK AnswerBox(HWND window, LPARAM context) {
    Watch& watch = *reinterpret_cast<Watch*>(context);
    if (!OwnedVisible(window, watch) || ClassOf(window) != L"#32770") return TRUE;
    if (!watch.answered.insert(window).second) return TRUE;
    Box box;
    EnumChildWindows(window, ReadBoxControl, reinterpret_cast<LPARAM>(&box));
    Print(L"box " + TextOf(window) + L"|buttons=" + std::to_wstring(box.buttons) + L"|icon=" +
          (box.icon ? L"1" : L"0"));
    Print(L"text " + Escaped(box.text));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

// Milliseconds from the child's creation to a time (now by default), to 0.01 ms.
std::wstring Since(ULONGLONG created, ULONGLONG time = 0) {
    if (time == 0) {
        FILETIME now;
        GetSystemTimePreciseAsFileTime(&now);
        time = Ticks(now);
    }
    wchar_t text[32];
    swprintf(text, 32, L"%.2f", static_cast<double>(time - created) / 10000.0);
    return text;
}

int Play(const wchar_t* program, DWORD timeoutMs, DWORD freezeMs, bool poke, bool close, DWORD pollMs) {
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child)) {
        Print(L"cannot start " + std::wstring(program) + L": " + std::to_wstring(GetLastError()));
        return 2;
    }
    FILETIME creation, exited, kernel, user;
    GetProcessTimes(child.hProcess, &creation, &exited, &kernel, &user);
    const ULONGLONG created = Ticks(creation);
    Print(L"created " + std::to_wstring(created));

    Watch watch;
    watch.processId = child.dwProcessId;
    // Idle once the splash is shown and painted and its message loop waits.
    WaitForInputIdle(child.hProcess, timeoutMs);
    EnumWindows(FindSplash, reinterpret_cast<LPARAM>(&watch));
    if (watch.splash) {
        Print(L"splash " + Since(created));
        PrintSplash(watch.splash);
        if (freezeMs) {
            // Wine hands the window's pixels to the X server a little later.
            Sleep(300);
            SuspendThread(child.hThread);
            Print(L"frozen");
            Sleep(freezeMs);
            ResumeThread(child.hThread);
        }
        if (poke) {
            Poke(watch.splash, 0);
            EnumChildWindows(watch.splash, Poke, 0);
        }
        if (close) PostMessageW(watch.splash, WM_CLOSE, 0, 0);
    }

    const DWORD start = GetTickCount();
    PROCESS_MEMORY_COUNTERS_EX memory{}, peak{};
    // The splash's end is looked for every time; the rest, which costs the
    // program more of the system's time, every 10 ms. The peaks are the
    // system's own running figures: a late look still sees them.
    DWORD lastLook = 0;
    while (WaitForSingleObject(child.hProcess, pollMs) == WAIT_TIMEOUT) {
        if (watch.splash && !IsWindow(watch.splash)) {
            Print(L"gone " + Since(created));
            watch.splash = nullptr;
        }
        if (GetTickCount() - lastLook < 10) continue;
        lastLook = GetTickCount();
        if (GetProcessMemoryInfo(child.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                 sizeof memory)) {
            peak.PeakWorkingSetSize = std::max(peak.PeakWorkingSetSize, memory.PeakWorkingSetSize);
            peak.PeakPagefileUsage = std::max(peak.PeakPagefileUsage, memory.PeakPagefileUsage);
        }
        EnumWindows(AnswerBox, reinterpret_cast<LPARAM>(&watch));
        if (GetTickCount() - start > timeoutMs) {
            Print(L"timeout");
            TerminateProcess(child.hProcess, 99);
            return 3;
        }
    }
    if (watch.splash) Print(L"gone " + Since(created));
    GetProcessTimes(child.hProcess, &creation, &exited, &kernel, &user);
    Print(L"ended " + Since(created, Ticks(exited)));
    Print(L"memory peak-ws=" + std::to_wstring(peak.PeakWorkingSetSize) +
          L"|peak-private=" + std::to_wstring(peak.PeakPagefileUsage));
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    Print(L"exit " + std::to_wstring(code));
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return 0;
}

// --- Resources ------------------------------------------------------------------

// Walks a version resource, whose every node is: length, value length, type,
// key, then the value and the child nodes, each 4-byte aligned. Prints the
// string values, the leaves under StringFileInfo\<table>.
void PrintStrings(const BYTE* base, const BYTE* node, const std::wstring& path) {
    const auto aligned = [base](const BYTE* at) { return base + ((at - base + 3) & ~3); };
    const auto* header = reinterpret_cast<const WORD*>(node);
    const std::wstring key = reinterpret_cast<const wchar_t*>(node + 6);
    const BYTE* value = aligned(node + 6 + (key.size() + 1) * 2);
    const std::wstring here = path + L"/" + key;
    const std::wstring strings = L"/VS_VERSION_INFO/StringFileInfo/";
    if (here.rfind(strings, 0) == 0 && std::count(here.begin(), here.end(), L'/') == 4) {
        // The value's length counts its terminating NUL.
        const std::wstring text(reinterpret_cast<const wchar_t*>(value), header[1] ? header[1] - 1 : 0);
        Print(L"string " + here.substr(strings.size()) + L"=" + text + L"|length=" + std::to_wstring(header[1]));
        return;
    }
    const BYTE* end = node + header[0];
    for (const BYTE* child = aligned(value + (header[2] == 1 ? header[1] * 2 : header[1])); child < end;
         child = aligned(child + *reinterpret_cast<const WORD*>(child))) {
        if (*reinterpret_cast<const WORD*>(child) == 0) break;
        PrintStrings(base, child, here);
    }
}

int PrintResources(const wchar_t* exe, const wchar_t* smallIcon) {
    DWORD ignored = 0;
    std::vector<BYTE> version(GetFileVersionInfoSizeW(exe, &ignored));
    if (!version.empty() && GetFileVersionInfoW(exe, 0, static_cast<DWORD>(version.size()), version.data())) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        if (VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &size)) {
            const auto dotted = [](DWORD high, DWORD low) {
                return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
                       std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
            };
            Print(L"fixed file=" + dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS) +
                  L"|product=" + dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
        }
        WORD* translation = nullptr;
        if (VerQueryValueW(version.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                           &size)) {
            for (UINT i = 0; i + 1 < size / 2; i += 2) {
                wchar_t pair[16];
                swprintf(pair, 16, L"%04x %04x", translation[i], translation[i + 1]);
                Print(L"translation " + std::wstring(pair));
            }
        }
        PrintStrings(version.data(), version.data(), L"");
    }

    const HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const auto resource = [&](const wchar_t* type, WORD id, DWORD* size) -> const BYTE* {
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        *size = found ? SizeofResource(module, found) : 0;
        return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    };
    DWORD size = 0;
    // The icon group: a 6-byte header, then 14 bytes an image.
    if (const BYTE* group = resource(RT_GROUP_ICON, 1, &size); group && size >= 6) {
        WORD count = 0;
        std::memcpy(&count, group + 4, 2);
        for (WORD i = 0; i < count && 6u + 14u * (i + 1u) <= size; ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            WORD bits = 0, id = 0;
            std::memcpy(&bits, entry + 6, 2);
            std::memcpy(&id, entry + 12, 2);
            DWORD imageSize = 0;
            const BYTE* image = resource(RT_ICON, id, &imageSize);
            BITMAPINFOHEADER header{};
            if (image && imageSize >= sizeof header) std::memcpy(&header, image, sizeof header);
            const DWORD palette = header.biClrUsed ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
            const DWORD width = static_cast<DWORD>(header.biWidth), height = static_cast<DWORD>(header.biHeight) / 2;
            const DWORD colourBytes = ((width * header.biBitCount + 31) / 32) * 4 * height;
            const DWORD maskBytes = ((width + 31) / 32) * 4 * height;
            Print(L"icon " + std::to_wstring(entry[0] ? entry[0] : 256) + L"x" + std::to_wstring(entry[1] ? entry[1] : 256) +
                  L"|group-bits=" + std::to_wstring(bits) + L"|bits=" + std::to_wstring(header.biBitCount) +
                  L"|palette=" + std::to_wstring(palette) + L"|mask=" +
                  (imageSize == header.biSize + palette * 4 + colourBytes + maskBytes ? L"1" : L"0"));
        }
    }
    const int side = GetSystemMetrics(SM_CXSMICON);
    if (const auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, side, side, 0))) {
        Canvas canvas(side, side);
        DrawIconEx(canvas.dc, 0, 0, icon, side, side, 0, nullptr, DI_NORMAL);
        canvas.Save(smallIcon);
        DestroyIcon(icon);
    }
    if (const BYTE* manifest = resource(MAKEINTRESOURCEW(24), 1, &size)) {
        const std::string text(reinterpret_cast<const char*>(manifest), size);
        const std::size_t level = text.find("level=\"");
        Print(L"manifest level=" +
              (level == std::string::npos ? std::wstring(L"none")
                                          : std::wstring(text.begin() + level + 7, text.begin() + text.find('"', level + 7))) +
              L"|dpi-aware=" + (text.find("dpiAware") == std::string::npos ? L"0" : L"1"));
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    DWORD freezeMs = 0;
    DWORD pollMs = 10;
    bool poke = false, close = false;
    int at = 1;
    for (; at < argc && argv[at][0] == L'-'; ++at) {
        const std::wstring option = argv[at];
        if (option == L"--resources" && at + 3 == argc) return PrintResources(argv[at + 1], argv[at + 2]);
        if (option == L"--render" && at + 12 == argc) return Render(argv + at + 1);
        if (option == L"--freeze" && at + 1 < argc) freezeMs = static_cast<DWORD>(_wtoi(argv[++at]));
        else if (option == L"--poll" && at + 1 < argc) pollMs = static_cast<DWORD>(_wtoi(argv[++at]));
        else if (option == L"--poke") poke = true;
        else if (option == L"--close") close = true;
        else return 2;
    }
    if (at >= argc) return 2;
    const DWORD timeoutMs = at + 1 < argc ? static_cast<DWORD>(_wtoi(argv[at + 1])) : 30000;
    return Play(argv[at], timeoutMs, freezeMs, poke, close, pollMs);
}
