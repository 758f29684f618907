#include "toolwnd/button_image.h"

#include "tk/platform.h"

namespace zan {

tk::Bitmap loadButtonImage(const std::string& directory, const std::string& fileName) {
    // An empty name would open the directory itself; it means "no image".
    if (!fileName.empty()) {
        // The platform's reader checks every size and offset against the
        // file, so a malformed file yields nothing rather than stray bytes.
        if (std::optional<tk::Bitmap> image = tk::platform().loadBitmapFile(directory + fileName); image && !image->empty())
            return std::move(*image);
    }
    return tk::platform().loadBitmapResource(kPlaceholderBitmap);
}

}  // namespace zan
