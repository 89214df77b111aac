#pragma once
// The splash artwork's decoder: the first image of a GIF, as palette indices
// and the palette. Small and without the platform's picture machinery, which
// would load a dozen DLLs before the splash could show.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace splash {

struct GifImage {
    int width = 0;
    int height = 0;
    // 256 entries of red, green, blue; entries the file leaves out are black.
    std::array<std::uint8_t, 256 * 3> palette{};
    // One index a pixel, rows from the top.
    std::vector<std::uint8_t> pixels;
};

// Takes a GIF whose first image fills its screen and is not interlaced, as the
// artwork is made. Anything else, or anything cut short or malformed, gives
// nothing; pixels the data does not reach keep index 0.
std::optional<GifImage> DecodeGif(const std::uint8_t* data, std::size_t size);

}  // namespace splash
