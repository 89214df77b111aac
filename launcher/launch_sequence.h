#pragma once

#include <windows.h>

// Timer1's handler: closes the splash, has the locator choose Java, and starts
// the Java application hidden, in the program folder. Raises AppError when the
// program folder or the child cannot be had.
void Timer1_Timer(HWND frmSplash);

// Timer1_Timer with the launcher's last word on a failure: one box with the
// error's number and text. Returns the process's exit code.
int RunTimer1(HWND frmSplash) noexcept;
