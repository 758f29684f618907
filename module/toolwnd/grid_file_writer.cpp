// The common writer of button-grid windows: the header lines and one line
// per item, in grid order.
#include <cstdio>

#include "ads/adslib.h"
#include "shell/services.h"
#include "tk/platform.h"
#include "toolwnd/button_grid_window.h"

namespace zan {

std::string ButtonGridWindow::fileText() const {
    std::string out = typeWord_ + "\n";
    out += std::to_string(itemCount()) + "\n";
    out += std::to_string(rows_) + "\n";
    const tk::Size image = imageSize();
    out += std::to_string(image.width) + " " + std::to_string(image.height) + "\n";
    out += "\"" + bitmapDirectory_ + "\"\n";
    for (const auto& button : buttons_) button->item().writeTo(out);
    return out;
}

bool ButtonGridWindow::save() { return writeDataFile(fileText()); }

bool ButtonGridWindow::writeDataFile(std::string_view text) {
    if (dataFileName_.empty() || dataDirectory_.empty()) {
        messageBox("A file name or path for the data file has not been defined.", tk::MB_OK);
        return false;
    }
    // The platform's save never leaves a half-written file; why it failed
    // is printed on its own line, naming the file.
    tk::SaveResult saved = tk::platform().saveFile(dataDirectory_ + dataFileName_, text);
    if (!saved) {
        ads_printf("%s\n", saved.message.c_str());
        messageBox("Failed opening the data file for writing.", tk::MB_OK);
        return false;
    }
    return true;
}

}  // namespace zan
