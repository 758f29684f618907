// The bitmap reader on arbitrary bytes: it reads or refuses, and what it
// reads has as many pixels as its size says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "tk/common/dib_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tk::common::DibResult result = tk::common::decodeDib(std::span(data, size));
    if (result.bitmap) {
        const tk::Bitmap& b = *result.bitmap;
        if (b.width <= 0 || b.height <= 0 ||
            b.pixels.size() != static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height))
            std::abort();
    } else if (result.message.empty()) {
        std::abort();
    }
    return 0;
}
