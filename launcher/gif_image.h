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

// A picture in true colour: rows from the top, three bytes a pixel, blue, green
// and red, as a 24-bit bitmap takes them (without its rows' padding).
struct TrueColourImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The picture at another size, each pixel the average of the part of the
// picture it covers (an area filter): a reduction keeps every source pixel's
// share, where a nearest-pixel one drops whole rows and columns.
TrueColourImage Resample(const GifImage& image, int width, int height);

}  // namespace splash
