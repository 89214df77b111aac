#pragma once
// What the launcher asks of the desktop: a message box and the end of the
// process. Behind an interface so the locator's decisions can be watched
// without a desktop: by TessalyCheck, and in tests.

#include <string>
#include <string_view>
#include <vector>

class Ui {
public:
    virtual ~Ui() = default;

    // A modal box with the application title, one OK button and no icon.
    virtual void ShowMessage(std::wstring_view prompt) = 0;

    // Ends the process on the spot: the caller never continues.
    [[noreturn]] virtual void EndProcess() = 0;
};

// How a RecordingUi ends the process. It derives from nothing, so no handler in
// the search can catch it: it leaves the search as ending the process would.
struct ProcessEnded {};

// A desktop that shows nothing: the boxes are written down.
class RecordingUi final : public Ui {
public:
    void ShowMessage(std::wstring_view prompt) override { boxes.emplace_back(prompt); }
    [[noreturn]] void EndProcess() override { throw ProcessEnded{}; }
    std::vector<std::wstring> boxes;
};
