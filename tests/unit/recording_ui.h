#pragma once
// The desktop as the search's tests see it: boxes are written down, and ending
// the process throws ProcessEnded, which derives from nothing, so no handler in
// the search can catch it: it leaves the search the way ending the process does.

#include <string>
#include <string_view>
#include <vector>

#include "ui.h"

struct ProcessEnded {};

class RecordingUi final : public Ui {
public:
    void ShowMessage(std::wstring_view prompt) override { boxes.emplace_back(prompt); }
    [[noreturn]] void EndProcess() override { throw ProcessEnded{}; }
    std::vector<std::wstring> boxes;
};
