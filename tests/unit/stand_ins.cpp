// The host's ANSI code page: Latin-1, each byte its own character.
#include "ansi_text.h"

std::string ToAnsi(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) bytes.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    return bytes;
}

std::wstring FromAnsi(std::string_view bytes) {
    std::wstring text;
    for (const char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}
