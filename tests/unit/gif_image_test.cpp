#include "gif_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 2 x 2 GIF with a 4-colour table and the given LZW stream (minimum code
// size 2: clear is 4, end is 5).
Bytes TwoByTwo(const Bytes& lzw, std::uint8_t imageFlags = 0) {
    Bytes gif;
    const auto add = [&gif](std::initializer_list<int> bytes) {
        for (const int b : bytes) gif.push_back(static_cast<std::uint8_t>(b));
    };
    add({'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0});
    for (int c = 0; c < 4; ++c) add({c * 10, c * 20, 7});
    add({0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // an extension to step over
    add({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, imageFlags, 2, static_cast<int>(lzw.size())});
    gif.insert(gif.end(), lzw.begin(), lzw.end());
    add({0, 0x3B});
    return gif;
}

std::optional<splash::GifImage> Decode(const Bytes& gif) { return splash::DecodeGif(gif.data(), gif.size()); }

TEST(DecodeGif, FollowsTheCodesAsTheyWidenAndRepeat) {
    // Codes clear 1 2 2 | 1 end: the code width grows from 3 to 4 bits after
    // the fourth code.
    auto image = Decode(TwoByTwo({0x8C, 0x14, 0x05}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->pixels, Bytes({1, 2, 2, 1}));
    EXPECT_EQ(image->palette[3 * 3 + 1], 60);
    EXPECT_EQ(image->palette[3 * 4], 0) << "entries the table leaves out are black";

    // Codes clear 1 6 1 end: 6 is the code being made, "1" and its own first byte.
    image = Decode(TwoByTwo({0x8C, 0x53}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, Bytes({1, 1, 1, 1}));
}

TEST(DecodeGif, RefusesWhatTheArtworkIsNot) {
    EXPECT_FALSE(Decode(TwoByTwo({0x8C, 0x14, 0x05}, 0x40))) << "interlaced";
    Bytes offset = TwoByTwo({0x8C, 0x14, 0x05});
    offset[13 + 12 + 8 + 1] = 1;  // the image's left edge
    EXPECT_FALSE(Decode(offset));
    EXPECT_FALSE(Decode(TwoByTwo({0xCC, 0x01}))) << "a code not yet made";
    EXPECT_FALSE(Decode(Bytes{'P', 'N', 'G'}));
}

TEST(DecodeGif, ArtworkCutAnywhereDecodesWithinBoundsOrNotAtAll) {
    std::ifstream file(TESSALY_SOURCE_DIR "/launcher/resources/splash.gif", std::ios::binary);
    const Bytes artwork((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto whole = splash::DecodeGif(artwork.data(), artwork.size());
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->pixels.size(), 400u * 200u);
    // Only the trailer after the image data may be missing.
    for (std::size_t size = 0; size + 1 < artwork.size(); size += 7) {
        // Each cut is a copy of its own, so a read past it is a read past the buffer.
        const Bytes cut(artwork.begin(), artwork.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(splash::DecodeGif(cut.data(), cut.size())) << size;
    }
}

}  // namespace
