#include "tk/headless/dib_reader.h"

#include <fstream>
#include <vector>

namespace tk::headless {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kFileHeaderSize = 14;

std::uint32_t u16(std::span<const std::uint8_t> d, std::size_t at) { return d[at] | (d[at + 1] << 8); }
std::uint32_t u32(std::span<const std::uint8_t> d, std::size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}
std::int32_t i32(std::span<const std::uint8_t> d, std::size_t at) { return static_cast<std::int32_t>(u32(d, at)); }

DibResult failure(DibError error, std::string message) { return {std::nullopt, error, std::move(message)}; }

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1u) == 0) ++shift;
        max = mask >> shift;
    }
    int value(std::uint32_t pixel) const {
        if (max == 0) return 0;
        return static_cast<int>((static_cast<std::uint64_t>((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

}  // namespace

DibResult decodeDib(std::span<const std::uint8_t> d) {
    if (d.size() < 2 || d[0] != 'B' || d[1] != 'M') return failure(DibError::NotABitmap, "the file does not start with \"BM\"");
    if (d.size() < kFileHeaderSize + 4) return failure(DibError::Truncated, "the file ends inside its header");
    const std::uint32_t pixelOffset = u32(d, 10);
    const std::uint32_t headerSize = u32(d, 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 &&
        headerSize != 108 && headerSize != 124)
        return failure(DibError::BadHeader, "the information header size " + std::to_string(headerSize) + " is unknown");
    if (d.size() < kFileHeaderSize + headerSize) return failure(DibError::Truncated, "the file ends inside its header");

    const std::size_t h = kFileHeaderSize;
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = kBiRgb, coloursUsed = 0;
    std::size_t paletteEntrySize = 4;
    if (headerSize == 12) {
        width = u16(d, h + 4);
        height = u16(d, h + 6);
        planes = u16(d, h + 8);
        bits = u16(d, h + 10);
        paletteEntrySize = 3;
    } else {
        width = i32(d, h + 4);
        height = i32(d, h + 8);
        planes = u16(d, h + 12);
        bits = u16(d, h + 14);
        compression = u32(d, h + 16);
        coloursUsed = u32(d, h + 32);
    }
    if (planes != 1) return failure(DibError::BadHeader, "the plane count is " + std::to_string(planes) + ", not 1");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return failure(DibError::Unsupported, std::to_string(bits) + " bits per pixel are not supported");
    if (compression != kBiRgb && !(compression == kBiBitfields && (bits == 16 || bits == 32)))
        return failure(DibError::Unsupported, "compression method " + std::to_string(compression) + " is not supported");

    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) return failure(DibError::BadSize, "the bitmap has no pixels");
    if (width > kMaxDibDimension || height > kMaxDibDimension || width * height > kMaxDibPixels)
        return failure(DibError::BadSize,
                       "the size " + std::to_string(width) + " x " + std::to_string(height) + " is beyond the limit");

    // Bit-field masks: inside a longer header, or just after a 40-byte one.
    std::size_t paletteStart = h + headerSize;
    std::uint32_t masks[3] = {0, 0, 0};
    if (compression == kBiBitfields) {
        std::size_t at = h + 40;
        if (headerSize == 40) {
            if (d.size() < paletteStart + 12) return failure(DibError::Truncated, "the file ends inside its colour masks");
            paletteStart += 12;
        }
        for (int i = 0; i < 3; ++i) masks[i] = u32(d, at + 4 * i);
    } else if (bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }

    // Colour table.
    std::vector<tk::Color> palette;
    if (bits <= 8) {
        std::uint32_t entries = coloursUsed == 0 || coloursUsed > (1u << bits) ? (1u << bits) : coloursUsed;
        if (d.size() < paletteStart + entries * paletteEntrySize)
            return failure(DibError::Truncated, "the file ends inside its colour table");
        for (std::uint32_t i = 0; i < entries; ++i) {
            std::size_t at = paletteStart + i * paletteEntrySize;
            palette.push_back(tk::rgb(d[at + 2], d[at + 1], d[at]));
        }
        paletteStart += entries * paletteEntrySize;
    } else if (coloursUsed <= 256 && headerSize != 12) {
        paletteStart += static_cast<std::size_t>(coloursUsed) * 4;
    }

    // Pixel data: where the file header says, or straight after the table
    // when that offset points back into the headers.
    std::size_t dataStart = pixelOffset >= paletteStart ? pixelOffset : paletteStart;
    if (dataStart > d.size()) return failure(DibError::Truncated, "the pixel data lies beyond the end of the file");
    const std::uint64_t rowBits = static_cast<std::uint64_t>(width) * bits;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t needed = stride * static_cast<std::uint64_t>(height - 1) + (rowBits + 7) / 8;
    if (d.size() - dataStart < needed) return failure(DibError::Truncated, "the file ends inside its pixel data");

    tk::Bitmap bitmap(static_cast<int>(width), static_cast<int>(height));
    Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (std::int64_t row = 0; row < height; ++row) {
        std::int64_t y = topDown ? row : height - 1 - row;
        const std::uint8_t* line = d.data() + dataStart + stride * static_cast<std::uint64_t>(row);
        for (std::int64_t x = 0; x < width; ++x) {
            tk::Color colour = 0;
            if (bits <= 8) {
                std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
                std::uint32_t index = (line[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                colour = index < palette.size() ? palette[index] : tk::rgb(0, 0, 0);
            } else if (bits == 24) {
                const std::uint8_t* p = line + x * 3;
                colour = tk::rgb(p[2], p[1], p[0]);
            } else if (bits == 32 && compression == kBiRgb) {
                const std::uint8_t* p = line + x * 4;
                colour = tk::rgb(p[2], p[1], p[0]);
            } else {
                std::uint32_t pixel = bits == 16 ? (line[x * 2] | (line[x * 2 + 1] << 8))
                                                 : (line[x * 4] | (line[x * 4 + 1] << 8) | (line[x * 4 + 2] << 16) |
                                                    (static_cast<std::uint32_t>(line[x * 4 + 3]) << 24));
                colour = tk::rgb(red.value(pixel), green.value(pixel), blue.value(pixel));
            }
            bitmap.set(static_cast<int>(x), static_cast<int>(y), colour);
        }
    }
    return {std::move(bitmap), DibError::None, {}};
}

DibResult readDibFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure(DibError::CannotOpen, "cannot open " + path);
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0) return failure(DibError::CannotOpen, "cannot read " + path);
    if (static_cast<std::uint64_t>(size) > kMaxDibFileSize)
        return failure(DibError::BadSize, path + " is larger than any bitmap read here");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    DibResult result = decodeDib(bytes);
    if (!result.bitmap) result.message = path + ": " + result.message;
    return result;
}

}  // namespace tk::headless
