#include "tk/common/image_file.h"

#include <string_view>

#include "tk/common/safe_save.h"

namespace tk::common {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const tk::Bitmap& bitmap) {
    const std::uint32_t width = static_cast<std::uint32_t>(bitmap.width);
    const std::uint32_t height = static_cast<std::uint32_t>(bitmap.height);
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t dataSize = stride * height;
    std::vector<std::uint8_t> out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + dataSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, width);
    put32(out, height);  // bottom-up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, dataSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = bitmap.height - 1; y >= 0; --y) {
        for (int x = 0; x < bitmap.width; ++x) {
            tk::Color c = bitmap.at(x, y);
            out.push_back(static_cast<std::uint8_t>(tk::blueOf(c)));
            out.push_back(static_cast<std::uint8_t>(tk::greenOf(c)));
            out.push_back(static_cast<std::uint8_t>(tk::redOf(c)));
        }
        for (std::uint32_t pad = width * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> encodePpm(const tk::Bitmap& bitmap) {
    std::string header = "P6\n" + std::to_string(bitmap.width) + " " + std::to_string(bitmap.height) + "\n255\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    out.reserve(out.size() + bitmap.pixels.size() * 3);
    for (tk::Color c : bitmap.pixels) {
        out.push_back(static_cast<std::uint8_t>(tk::redOf(c)));
        out.push_back(static_cast<std::uint8_t>(tk::greenOf(c)));
        out.push_back(static_cast<std::uint8_t>(tk::blueOf(c)));
    }
    return out;
}

bool writeImageFile(const std::string& path, const tk::Bitmap& bitmap, std::string* error) {
    bool ppm = path.size() >= 4 && path.compare(path.size() - 4, 4, ".ppm") == 0;
    std::vector<std::uint8_t> bytes = ppm ? encodePpm(bitmap) : encodeBmp(bitmap);
    tk::SaveResult saved = saveFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!saved && error != nullptr) *error = saved.message;
    return saved.saved;
}

}  // namespace tk::common
