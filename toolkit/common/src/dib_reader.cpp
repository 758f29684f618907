#include "tk/common/dib_reader.h"

#include <vector>

#include "tk/common/file_reading.h"

namespace tk::common {
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

// What the headers say about the bitmap.
struct DibHeader {
    std::uint32_t pixelOffset = 0;
    std::uint32_t headerSize = 0;
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    std::uint32_t bits = 0, compression = kBiRgb, coloursUsed = 0;
    std::size_t paletteEntrySize = 4;
};

// Where the pixel data lies and how to turn it into colours.
struct PixelFormat {
    std::vector<tk::Color> palette;
    std::uint32_t masks[3] = {0, 0, 0};
    std::size_t dataStart = 0;
    std::uint64_t stride = 0;
};

bool knownHeaderSize(std::uint32_t size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

// The file header and the information header, checked.
DibResult readHeader(std::span<const std::uint8_t> d, DibHeader& out) {
    if (d.size() < 2 || d[0] != 'B' || d[1] != 'M') return failure(DibError::NotABitmap, "the file does not start with \"BM\"");
    if (d.size() < kFileHeaderSize + 4) return failure(DibError::Truncated, "the file ends inside its header");
    out.pixelOffset = u32(d, 10);
    out.headerSize = u32(d, 14);
    if (!knownHeaderSize(out.headerSize))
        return failure(DibError::BadHeader, "the information header size " + std::to_string(out.headerSize) + " is unknown");
    if (d.size() < kFileHeaderSize + out.headerSize) return failure(DibError::Truncated, "the file ends inside its header");

    const std::size_t h = kFileHeaderSize;
    std::uint32_t planes = 0;
    if (out.headerSize == 12) {
        out.width = u16(d, h + 4);
        out.height = u16(d, h + 6);
        planes = u16(d, h + 8);
        out.bits = u16(d, h + 10);
        out.paletteEntrySize = 3;
    } else {
        out.width = i32(d, h + 4);
        out.height = i32(d, h + 8);
        planes = u16(d, h + 12);
        out.bits = u16(d, h + 14);
        out.compression = u32(d, h + 16);
        out.coloursUsed = u32(d, h + 32);
    }
    const std::uint32_t bits = out.bits;
    if (planes != 1) return failure(DibError::BadHeader, "the plane count is " + std::to_string(planes) + ", not 1");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return failure(DibError::Unsupported, std::to_string(bits) + " bits per pixel are not supported");
    if (out.compression != kBiRgb && !(out.compression == kBiBitfields && (bits == 16 || bits == 32)))
        return failure(DibError::Unsupported, "compression method " + std::to_string(out.compression) + " is not supported");

    out.topDown = out.height < 0;
    if (out.topDown) out.height = -out.height;
    if (out.width <= 0 || out.height <= 0) return failure(DibError::BadSize, "the bitmap has no pixels");
    if (out.width > kMaxDibDimension || out.height > kMaxDibDimension || out.width * out.height > kMaxDibPixels)
        return failure(DibError::BadSize,
                       "the size " + std::to_string(out.width) + " x " + std::to_string(out.height) + " is beyond the limit");
    return {};
}

// Colour masks, colour table and the place of the pixel data, checked
// against the file's size.
DibResult readPixelFormat(std::span<const std::uint8_t> d, const DibHeader& hd, PixelFormat& out) {
    // Bit-field masks: inside a longer header, or just after a 40-byte one.
    std::size_t paletteStart = kFileHeaderSize + hd.headerSize;
    if (hd.compression == kBiBitfields) {
        if (hd.headerSize == 40) {
            if (d.size() < paletteStart + 12) return failure(DibError::Truncated, "the file ends inside its colour masks");
            paletteStart += 12;
        }
        for (int i = 0; i < 3; ++i) out.masks[i] = u32(d, kFileHeaderSize + 40 + 4 * i);
    } else if (hd.bits == 16) {
        out.masks[0] = 0x7C00;
        out.masks[1] = 0x03E0;
        out.masks[2] = 0x001F;
    }

    if (hd.bits <= 8) {
        const std::uint32_t all = 1u << hd.bits;
        const std::uint32_t entries = hd.coloursUsed == 0 || hd.coloursUsed > all ? all : hd.coloursUsed;
        if (d.size() < paletteStart + entries * hd.paletteEntrySize)
            return failure(DibError::Truncated, "the file ends inside its colour table");
        for (std::uint32_t i = 0; i < entries; ++i) {
            std::size_t at = paletteStart + i * hd.paletteEntrySize;
            out.palette.push_back(tk::rgb(d[at + 2], d[at + 1], d[at]));
        }
        paletteStart += entries * hd.paletteEntrySize;
    } else if (hd.coloursUsed <= 256 && hd.headerSize != 12) {
        paletteStart += static_cast<std::size_t>(hd.coloursUsed) * 4;
    }

    // Pixel data: where the file header says, or straight after the table
    // when that offset points back into the headers.
    out.dataStart = hd.pixelOffset >= paletteStart ? hd.pixelOffset : paletteStart;
    if (out.dataStart > d.size()) return failure(DibError::Truncated, "the pixel data lies beyond the end of the file");
    const std::uint64_t rowBits = static_cast<std::uint64_t>(hd.width) * hd.bits;
    out.stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t needed = out.stride * static_cast<std::uint64_t>(hd.height - 1) + (rowBits + 7) / 8;
    if (d.size() - out.dataStart < needed) return failure(DibError::Truncated, "the file ends inside its pixel data");
    return {};
}

// The colour of pixel `x` of a row of pixel data.
class PixelDecoder {
public:
    PixelDecoder(const DibHeader& hd, const PixelFormat& format)
        : bits_(hd.bits), plain32_(hd.bits == 32 && hd.compression == kBiRgb), palette_(format.palette),
          red_(format.masks[0]), green_(format.masks[1]), blue_(format.masks[2]) {}

    tk::Color at(const std::uint8_t* line, std::int64_t x) const {
        if (bits_ <= 8) {
            std::uint64_t bit = static_cast<std::uint64_t>(x) * bits_;
            std::uint32_t index = (line[bit / 8] >> (8 - bits_ - bit % 8)) & ((1u << bits_) - 1);
            return index < palette_.size() ? palette_[index] : tk::rgb(0, 0, 0);
        }
        if (bits_ == 24 || plain32_) {
            const std::uint8_t* p = line + x * (bits_ / 8);
            return tk::rgb(p[2], p[1], p[0]);
        }
        std::uint32_t pixel = bits_ == 16 ? (line[x * 2] | (line[x * 2 + 1] << 8))
                                          : (line[x * 4] | (line[x * 4 + 1] << 8) | (line[x * 4 + 2] << 16) |
                                             (static_cast<std::uint32_t>(line[x * 4 + 3]) << 24));
        return tk::rgb(red_.value(pixel), green_.value(pixel), blue_.value(pixel));
    }

private:
    std::uint32_t bits_;
    bool plain32_;
    const std::vector<tk::Color>& palette_;
    Channel red_, green_, blue_;
};

}  // namespace

DibResult decodeDib(std::span<const std::uint8_t> d) {
    DibHeader header;
    if (DibResult bad = readHeader(d, header); bad.error != DibError::None) return bad;
    PixelFormat format;
    if (DibResult bad = readPixelFormat(d, header, format); bad.error != DibError::None) return bad;

    tk::Bitmap bitmap(static_cast<int>(header.width), static_cast<int>(header.height));
    PixelDecoder decoder(header, format);
    for (std::int64_t row = 0; row < header.height; ++row) {
        std::int64_t y = header.topDown ? row : header.height - 1 - row;
        const std::uint8_t* line = d.data() + format.dataStart + format.stride * static_cast<std::uint64_t>(row);
        for (std::int64_t x = 0; x < header.width; ++x)
            bitmap.set(static_cast<int>(x), static_cast<int>(y), decoder.at(line, x));
    }
    return {std::move(bitmap), DibError::None, {}};
}

DibResult readDibFile(const std::string& path) {
    FileContent file = readFileBounded(path, kMaxDibFileSize);
    if (file.status == FileContent::Status::Missing) return failure(DibError::CannotOpen, "cannot open " + path);
    if (file.status != FileContent::Status::Read) return failure(DibError::CannotOpen, file.error);
    if (file.truncated) return failure(DibError::BadSize, path + " is larger than any bitmap read here");
    DibResult result = decodeDib(std::span(reinterpret_cast<const std::uint8_t*>(file.bytes.data()), file.bytes.size()));
    if (!result.bitmap) result.message = path + ": " + result.message;
    return result;
}

}  // namespace tk::common
