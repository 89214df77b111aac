#pragma once
// What the launcher asks of the desktop: a message box and the end of the
// process. Behind an interface so the locator's decisions can be watched in
// tests without a desktop.

#include <string_view>

class Ui {
public:
    virtual ~Ui() = default;

    // A modal box with the application title, one OK button and no icon.
    virtual void ShowMessage(std::wstring_view prompt) = 0;

    // Ends the process on the spot: the caller never continues.
    [[noreturn]] virtual void EndProcess() = 0;
};
