// "Edit Modifier": opened by a right click on a level button, it collects a
// name, a modifier and a bitmap file and the action to take — change the
// level in place, append or insert a new level, or delete the level. The
// action is carried out on the bar and the level list after the dialog closed.
#pragma once

#include <string>

#include "tk/dialog.h"

namespace zan {

class ModifierBar;
class LevelButton;

class EditModifierDialog : public tk::Dialog {
public:
    static constexpr int kName = 1022;
    static constexpr int kModifier = 1023;
    static constexpr int kBitmap = 1025;
    static constexpr int kBrowse = 1026;
    // End codes, also the buttons' identifiers.
    static constexpr int kModify = 1030;
    static constexpr int kAppend = 1031;
    static constexpr int kInsert = 1032;
    static constexpr int kDelete = 1033;

    // Filled from the clicked button's level and item.
    EditModifierDialog(ModifierBar& bar, const LevelButton& item);

    bool onInit() override;
    void onCommand(int controlId, int notification) override;
    // Enter presses the default button; there is no OK button to end with.
    void onOK() override {}

    const std::string& modifierText() const { return modifierText_; }
    const std::string& nameText() const { return nameText_; }
    const std::string& tagText() const { return tagText_; }
    const std::string& bitmapText() const { return bitmapText_; }

private:
    void fillControls();
    void readControls();
    void browse();

    std::string modifierText_;
    std::string nameText_;
    std::string tagText_;
    std::string bitmapText_;
    ModifierBar& bar_;
};

// Shows the dialog for the clicked button and performs the chosen action.
void editModifier(ModifierBar& bar, LevelButton& item);

}  // namespace zan
