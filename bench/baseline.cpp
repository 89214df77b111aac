// The least a Windows program can do to look and act like the launcher: a
// plain window of the splash's outer size, a 2000 ms timer, and on its tick
// the window goes and the command line in TESSALY_BASELINE_COMMAND is started
// hidden; then the program ends. The launcher is measured against it.
// With TESSALY_BASELINE_KEY set, the tick first lists that key's subkeys below
// HKEY_LOCAL_MACHINE, one RegEnumKeyA a name, and nothing more: the least a
// search of the registry can cost.

#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        DestroyWindow(window);
        char key[1024];
        HKEY opened = nullptr;
        if (GetEnvironmentVariableA("TESSALY_BASELINE_KEY", key, sizeof key) &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
            char name[260];
            for (DWORD index = 0; RegEnumKeyA(opened, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
            }
            RegCloseKey(opened);
        }
        std::wstring command(32768, L'\0');
        command.resize(GetEnvironmentVariableW(L"TESSALY_BASELINE_COMMAND", command.data(), 32768));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION child{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
            CloseHandle(child.hThread);
            CloseHandle(child.hProcess);
        }
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW type{};
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    type.lpszClassName = L"Baseline";
    RegisterClassW(&type);
    // The splash's outer size at 96 dpi: its 518 x 376 client area in a
    // captioned dialog frame.
    RECT outline{0, 0, 518, 376};
    AdjustWindowRectEx(&outline, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
    const HWND window = CreateWindowExW(0, type.lpszClassName, L"Baseline", WS_OVERLAPPED | WS_CAPTION,
                                        CW_USEDEFAULT, CW_USEDEFAULT, outline.right - outline.left,
                                        outline.bottom - outline.top, nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 2000, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
