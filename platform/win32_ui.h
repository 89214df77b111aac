#pragma once

#include "app_error.h"
#include "exit_codes.h"
#include "ui.h"

class Win32Ui final : public Ui {
public:
    void ShowMessage(std::wstring_view prompt) override;
    [[noreturn]] void EndProcess() override;
};

// The calling thread's last Windows error: its number and the system's text,
// with what failed (a program, a folder) where the text names it as %1.
AppError LastWindowsError(const wchar_t* failed = L"");
