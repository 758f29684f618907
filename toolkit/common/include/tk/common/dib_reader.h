// Reading device-independent bitmap (.bmp) files: 1, 4, 8, 16, 24 and 32
// bits per pixel, uncompressed (16 and 32 bits also with bit-field masks),
// bottom-up and top-down, with the 12-byte core header or the 40-byte
// information header and its longer versions. Every size and offset is
// checked before it is used; sizes beyond the limits are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "tk/bitmap.h"

namespace tk::common {

inline constexpr int kMaxDibDimension = 16384;
inline constexpr std::int64_t kMaxDibPixels = std::int64_t{4096} * 4096;
inline constexpr std::size_t kMaxDibFileSize = std::size_t{80} << 20;

enum class DibError { None, CannotOpen, NotABitmap, BadHeader, Unsupported, BadSize, Truncated };

struct DibResult {
    std::optional<tk::Bitmap> bitmap;
    DibError error = DibError::None;
    std::string message;  // empty on success
};

DibResult decodeDib(std::span<const std::uint8_t> file);
DibResult readDibFile(const std::string& path);

}  // namespace tk::common
