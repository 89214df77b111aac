#include <windows.h>

#include "launch_sequence.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Until the splash window exists, start-up runs the launch sequence at once.
    return RunTimer1(nullptr);
}
