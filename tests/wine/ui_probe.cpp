// Starts a program and plays its user: reads every message box it shows,
// presses OK, and reports the boxes and the exit code on stdout (UTF-8):
//   box <caption>|buttons=<n>|icon=<0|1>
//   text <prompt, with CR and LF written as \r and \n>
//   exit <code>
// Usage: ui_probe <program> [timeout-ms]

#include <windows.h>

#include <set>
#include <string>

#include "utf8.h"

namespace {

struct Box {
    std::wstring text;
    int buttons = 0;
    bool icon = false;
};

DWORD childProcessId = 0;
std::set<HWND> answered;

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

BOOL CALLBACK ReadControl(HWND control, LPARAM context) {
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

BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != childProcessId || !IsWindowVisible(window) || ClassOf(window) != L"#32770") return TRUE;
    if (!answered.insert(window).second) return TRUE;
    Box box;
    EnumChildWindows(window, ReadControl, reinterpret_cast<LPARAM>(&box));
    Print(L"box " + TextOf(window) + L"|buttons=" + std::to_wstring(box.buttons) + L"|icon=" +
          (box.icon ? L"1" : L"0"));
    Print(L"text " + Escaped(box.text));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const DWORD timeoutMs = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 30000;
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child)) {
        Print(L"cannot start " + std::wstring(argv[1]) + L": " + std::to_wstring(GetLastError()));
        return 2;
    }
    CloseHandle(child.hThread);
    childProcessId = child.dwProcessId;

    const DWORD start = GetTickCount();
    while (WaitForSingleObject(child.hProcess, 20) == WAIT_TIMEOUT) {
        EnumWindows(AnswerBox, 0);
        if (GetTickCount() - start > timeoutMs) {
            Print(L"timeout");
            TerminateProcess(child.hProcess, 99);
            return 3;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    Print(L"exit " + std::to_wstring(code));
    CloseHandle(child.hProcess);
    return 0;
}
