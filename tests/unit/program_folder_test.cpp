#include "program_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ReadWhole, AsksAgainWithMoreRoomUntilTheTextIsNotCut) {
    for (const std::size_t length : {1, 255, 256, 257, 300, 70000}) {
        const std::wstring path(length, L'p');
        // As GetModuleFileNameW answers: what fits, and the buffer's size when that cuts the path.
        const auto call = [&](wchar_t* buffer, std::size_t size) {
            return std::copy_n(path.data(), std::min(size, path.size()), buffer) - buffer;
        };
        EXPECT_EQ(ReadWhole(call), path) << length;
    }
}

}  // namespace
