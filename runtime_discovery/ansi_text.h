#pragma once
// Text to and from the system's ANSI code page, over a whole counted stretch:
// NULs inside come through as NULs. A character the code page lacks becomes
// its default character.

#include <string>
#include <string_view>

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
