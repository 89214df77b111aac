#pragma once
// Whole numbers as text, as std::to_wstring writes them. That one formats
// through the C library's printf family, which alone would take a tenth of
// the launcher's size.

#include <cstdint>
#include <iterator>
#include <string>

inline std::wstring Decimal(std::int64_t number) {
    wchar_t digits[20];
    wchar_t* first = std::end(digits);
    std::uint64_t rest = number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
    do {
        *--first = static_cast<wchar_t>(L'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    return (number < 0 ? L"-" : L"") + std::wstring(first, std::end(digits));
}
