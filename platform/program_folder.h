#pragma once

#include <cstddef>
#include <string>

// The full path of the running exe, however long. Raises AppError with the
// system's error when Windows cannot give it.
std::wstring ModulePath();

// The whole text a platform call writes into a buffer of the size it is given,
// the call returning the length it wrote, or 0 when it fails (then the text is
// empty). A call that fills the buffer may have cut the text, so it is asked
// again with twice the room.
template <typename Call>
std::wstring ReadWhole(Call call) {
    std::wstring text(256, L'\0');
    for (;;) {
        const std::size_t length = call(text.data(), text.size());
        if (length < text.size()) return text.substr(0, length);
        text.resize(text.size() * 2);
    }
}
