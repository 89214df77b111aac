#pragma once

#include <windows.h>

// Timer1's handler: closes the splash, has the locator choose Java, starts
// the Java application hidden, in the program folder, and watches it for a
// short window: a Java that ends with an error meanwhile is reported in a box.
// Returns the exit code; raises AppError when the program folder or the child
// cannot be had.
int Timer1_Timer(HWND frmSplash);

// Timer1_Timer with the launcher's last word on a failure: one box with the
// error's number and text. Returns the process's exit code.
int RunTimer1(HWND frmSplash) noexcept;
