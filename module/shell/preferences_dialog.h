// The ZANpref dialog: the drawing's layer configuration file and modifier
// bar file, and the modifier/root separator.
#pragma once

#include <string>

#include "tk/dialog.h"

namespace zan {

class PreferencesDialog : public tk::Dialog {
public:
    PreferencesDialog();

    // The separators a layer name may use; the empty text means none.
    static bool isAllowedSeparator(const std::string& text);

    bool onInit() override;
    void onCommand(int controlId, int notification) override;
    void onOK() override;

private:
    void browse(int editId, std::string& value, const char* title, const char* filter, const char* extension,
                unsigned flags);

    std::string layerConfigFile_;
    std::string modifierFile_;
    std::string separator_;
    std::string lastValidSeparator_;
};

}  // namespace zan
