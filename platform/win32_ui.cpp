#include <windows.h>

#include "win32_ui.h"

#include <array>
#include <memory>
#include <string>

#include "messages.h"

void Win32Ui::ShowMessage(std::wstring_view prompt) {
    // No owner window is left by now, and the foreground lock may keep the
    // process from taking the front: topmost, the box is not lost behind the
    // window the user went on working in.
    MessageBoxW(nullptr, std::wstring(prompt).c_str(), std::wstring(messages::kAppTitle).c_str(),
                MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

void Win32Ui::EndProcess() { ExitProcess(kExitNoJava); }

AppError LastWindowsError(const wchar_t* failed) {
    const DWORD number = GetLastError();
    struct LocalFreer {
        void operator()(wchar_t* text) const { LocalFree(text); }
    };
    // Every insert a text may hold, %1 to %99, has an entry to read: %1 is
    // what failed, any other stays empty.
    std::array<DWORD_PTR, 99> inserts;
    inserts.fill(reinterpret_cast<DWORD_PTR>(L""));
    inserts[0] = reinterpret_cast<DWORD_PTR>(failed);
    wchar_t* raw = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                       nullptr, number, 0, reinterpret_cast<wchar_t*>(&raw), 0,
                       reinterpret_cast<va_list*>(inserts.data()));
    const std::unique_ptr<wchar_t, LocalFreer> owned(raw);
    std::wstring text = length > 0 ? std::wstring(raw, length) : std::wstring(messages::kUnknownSystemError);
    // The system ends its texts with a line break, which a box does not need.
    text.erase(text.find_last_not_of(L" \r\n") + 1);
    return AppError{static_cast<std::int32_t>(number), std::move(text)};
}
