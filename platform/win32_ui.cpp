#include <windows.h>

#include "win32_ui.h"

#include <memory>
#include <string>

#include "messages.h"

void Win32Ui::ShowMessage(std::wstring_view prompt) {
    // No owner window is left by now; bring the box to the front so it is not
    // lost behind whatever the user was doing.
    MessageBoxW(nullptr, std::wstring(prompt).c_str(), std::wstring(messages::kAppTitle).c_str(),
                MB_OK | MB_SETFOREGROUND);
}

void Win32Ui::EndProcess() { ExitProcess(kExitNoJava); }

AppError LastWindowsError() {
    const DWORD number = GetLastError();
    struct LocalFreer {
        void operator()(wchar_t* text) const { LocalFree(text); }
    };
    wchar_t* raw = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, number, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreer> owned(raw);
    std::wstring text = length > 0 ? std::wstring(raw, length) : std::wstring(messages::kUnknownSystemError);
    // The system ends its texts with a line break, which a box does not need.
    text.erase(text.find_last_not_of(L" \r\n") + 1);
    return AppError{static_cast<std::int32_t>(number), std::move(text)};
}
