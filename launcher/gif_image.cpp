#include "gif_image.h"

#include <algorithm>

namespace splash {
namespace {

constexpr int kMaxCodes = 4096;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Has(std::size_t count) const { return size_ - at_ >= count; }
    std::uint8_t Byte() { return Has(1) ? data_[at_++] : (failed_ = true, 0); }
    int Word() {
        const int low = Byte();
        return low | (Byte() << 8);
    }
    const std::uint8_t* Take(std::size_t count) {
        if (!Has(count)) {
            failed_ = true;
            return nullptr;
        }
        at_ += count;
        return data_ + at_ - count;
    }
    // Sub-blocks: a length byte, that many bytes, until a length of 0.
    bool SkipBlocks() {
        for (std::uint8_t length = Byte(); length != 0 && !failed_; length = Byte()) Take(length);
        return !failed_;
    }
    bool Failed() const { return failed_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

// Variable-length LZW over the image's sub-blocks, codes least significant bit
// first. Fills `pixels` up to its size and no further.
bool DecodeLzw(Reader& in, int minimumCodeSize, std::vector<std::uint8_t>& pixels) {
    if (minimumCodeSize < 2 || minimumCodeSize > 8) return false;
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> suffix{}, first{};
    std::array<std::uint16_t, kMaxCodes> length{};
    for (int code = 0; code < clear; ++code) {
        suffix[code] = first[code] = static_cast<std::uint8_t>(code);
        length[code] = 1;
    }
    int codeSize = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::size_t out = 0;
    std::uint32_t bits = 0;
    int bitCount = 0;

    for (std::uint8_t block = in.Byte(); block != 0 && !in.Failed(); block = in.Byte()) {
        const std::uint8_t* bytes = in.Take(block);
        if (bytes == nullptr) return false;
        for (int i = 0; i < block; ++i) {
            bits |= static_cast<std::uint32_t>(bytes[i]) << bitCount;
            bitCount += 8;
            while (bitCount >= codeSize) {
                const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
                bits >>= codeSize;
                bitCount -= codeSize;
                if (code == clear) {
                    codeSize = minimumCodeSize + 1;
                    next = clear + 2;
                    previous = -1;
                    continue;
                }
                if (code == end) return in.SkipBlocks();
                // A known code, or the one about to be made: the previous
                // string and its own first byte.
                int string = code;
                if (code >= next) {
                    if (code != next || previous < 0) return false;
                    string = previous;
                } else if (previous < 0 && code >= clear) {
                    return false;
                }
                const std::uint8_t head = first[string];
                if (previous >= 0 && next < kMaxCodes) {
                    prefix[next] = static_cast<std::uint16_t>(previous);
                    suffix[next] = head;
                    first[next] = first[previous];
                    length[next] = static_cast<std::uint16_t>(length[previous] + 1);
                    ++next;
                    if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
                }
                // The string is written back to front, cut at the image's end.
                const int written = length[code];
                int at = code;
                for (int k = written - 1; k >= 0; --k) {
                    if (out + static_cast<std::size_t>(k) < pixels.size()) pixels[out + k] = suffix[at];
                    at = prefix[at];
                }
                out = std::min(pixels.size(), out + static_cast<std::size_t>(written));
                previous = code;
            }
        }
    }
    return !in.Failed();
}

}  // namespace

std::optional<GifImage> DecodeGif(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    const std::uint8_t* signature = in.Take(6);
    if (signature == nullptr || !std::equal(signature, signature + 3, "GIF")) return std::nullopt;

    GifImage image;
    image.width = in.Word();
    image.height = in.Word();
    const std::uint8_t screenFlags = in.Byte();
    in.Take(2);  // background colour and aspect ratio
    const auto readPalette = [&](std::uint8_t flags) {
        if ((flags & 0x80) == 0) return;
        const std::size_t bytes = 3u << ((flags & 7) + 1);
        if (const std::uint8_t* table = in.Take(bytes)) std::copy(table, table + bytes, image.palette.begin());
    };
    readPalette(screenFlags);

    while (!in.Failed()) {
        const std::uint8_t kind = in.Byte();
        if (kind == 0x21) {  // extension: its label, then its blocks
            in.Byte();
            in.SkipBlocks();
        } else if (kind == 0x2C) {
            const int left = in.Word(), top = in.Word(), width = in.Word(), height = in.Word();
            const std::uint8_t flags = in.Byte();
            if (in.Failed() || left != 0 || top != 0 || width != image.width || height != image.height ||
                (flags & 0x40) != 0 || width == 0 || height == 0) {
                return std::nullopt;
            }
            readPalette(flags);
            image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
            if (!DecodeLzw(in, in.Byte(), image.pixels)) return std::nullopt;
            return image;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

namespace {

// How the source pixels along one side share out among the target's: target
// pixel t covers [t * from, (t + 1) * from) in units of 1/to source pixel, and
// each source pixel it meets weighs as much of that as it covers. The weights
// of a target pixel add up to from.
struct Share {
    int source;
    std::int64_t weight;
};
std::vector<std::vector<Share>> Shares(int from, int to) {
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(to));
    for (std::int64_t t = 0; t < to; ++t) {
        const std::int64_t begin = t * from, end = begin + from;
        for (std::int64_t s = begin / to; s < from && s * to < end; ++s) {
            shares[static_cast<std::size_t>(t)].push_back(
                {static_cast<int>(s), std::min(end, (s + 1) * to) - std::max(begin, s * to)});
        }
    }
    return shares;
}

}  // namespace

TrueColourImage Resample(const GifImage& image, int width, int height) {
    TrueColourImage result{width, height, std::vector<std::uint8_t>(3 * std::size_t(width) * std::size_t(height))};
    const auto across = Shares(image.width, width), down = Shares(image.height, height);
    const std::int64_t whole = std::int64_t{image.width} * image.height;
    if (whole == 0) return result;
    std::uint8_t* out = result.pixels.data();
    for (const auto& rows : down) {
        for (const auto& columns : across) {
            std::int64_t sum[3] = {};
            for (const Share& row : rows) {
                for (const Share& column : columns) {
                    const std::size_t at = std::size_t(row.source) * std::size_t(image.width) + std::size_t(column.source);
                    const std::uint8_t* rgb = &image.palette[3 * std::size_t{image.pixels[at]}];
                    for (int c = 0; c < 3; ++c) sum[c] += row.weight * column.weight * rgb[c];
                }
            }
            // Blue first; each rounded to the nearest value.
            for (int c = 2; c >= 0; --c) *out++ = static_cast<std::uint8_t>((sum[c] + whole / 2) / whole);
        }
    }
    return result;
}

}  // namespace splash
