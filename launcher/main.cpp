#include <windows.h>

#include "dll_search.h"
#include "launch_sequence.h"
#include "splash_form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    LimitDllSearchToSystemFolder();
    SplashForm frmSplash(instance);
    // With no window to show, the launch still goes ahead at once.
    if (!frmSplash.Loaded()) return RunTimer1(nullptr);

    // The process ends when its form is gone: by Timer1's launch sequence or
    // by a close request before it.
    MSG message;
    while (frmSplash.Loaded() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return frmSplash.ExitCode();
}
