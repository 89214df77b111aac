#pragma once
// The one error the launcher raises and handles: a number and a description,
// the way the user sees it in a message box.

#include <cstdint>
#include <string>

struct AppError {
    std::int32_t number;
    std::wstring description;
};
