#include "levels/modifier_bar.h"

#include "levels/edit_modifier_dialog.h"
#include "levels/levels.h"
#include "shell/services.h"
#include "shell/state.h"
#include "tk/platform.h"

namespace zan {

namespace {
constexpr tk::Point kDefaultPosition{100, 100};

tk::Profile& profile() { return tk::platform().profile(kApplicationTitle); }
}  // namespace

tk::Point savedModifierBarPosition() {
    return {profile().getInt(kModifierBarProfileSection, "WindowLeft", kDefaultPosition.x),
            profile().getInt(kModifierBarProfileSection, "WindowTop", kDefaultPosition.y)};
}

ModifierBar::~ModifierBar() {
    if (state().modifierBarWindow == this) state().modifierBarWindow = nullptr;
}

bool ModifierBar::open(tk::Point position) {
    if (!create(kModifierBarTypeWord, kModifierBarCaption, position, &ModifierBar::onClick)) return false;
    state().modifierBarWindow = this;
    return true;
}

tk::FileDialogRequest ModifierBar::saveAsRequest() const {
    tk::FileDialogRequest request;
    request.title = "Save ZAN Modifier Bar";
    request.defaultExtension = "Zmb";
    request.filter = "Modifier Bar Data (*.Zmb)|*.Zmb||";
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_OVERWRITEPROMPT;
    return request;
}

bool ModifierBar::onClose() {
    clearActiveLevel();
    const tk::Rect where = windowRect();
    profile().writeInt(kModifierBarProfileSection, "WindowLeft", where.left);
    profile().writeInt(kModifierBarProfileSection, "WindowTop", where.top);
    // A failed save has shown its message; the bar closes all the same.
    if (changed() && messageBox("Save changes to Modifier Bar?", tk::MB_YESNO) == tk::IDYES) save();
    return false;
}

void ModifierBar::onClick(GridItem& item, int event, unsigned keys, ButtonGridWindow& window) {
    auto& button = static_cast<LevelButton&>(item);
    auto& bar = static_cast<ModifierBar&>(window);
    if (event == kGridLeftClick && button.hasLevel()) {
        Level& level = button.level();
        if (keys == tk::MK_SHIFT) {
            if (level.thawed == 1) freezeLevelLayers(level);
            else thawLevelLayers(level);
        } else {
            selectLevel(level);
            bar.releaseAll();
            bar.pressLastClicked(1);
        }
    } else if (event == kGridRightClick && button.hasLevel()) {
        editModifier(bar, button);
    }
    returnFocusToHost();
}

}  // namespace zan
