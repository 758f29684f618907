// The modifier bar: the floating button grid with one button per level. A
// click makes a level current, a Shift-click thaws or freezes its layers,
// a right click opens Edit Modifier. At most one exists; while it does,
// the shell's state refers to it.
#pragma once

#include <string>

#include "levels/level_button.h"
#include "levels/modifier_bar_window.h"
#include "tk/geometry.h"
#include "toolwnd/button_grid_window.h"

namespace zan {

inline constexpr const char* kModifierBarTypeWord = "LEVELS";
inline constexpr const char* kModifierBarCaption = "Level Toolbar";
inline constexpr const char* kModifierBarProfileSection = "LevelTemplate";

class ModifierBar final : public ButtonGridWindow, public ModifierBarWindow {
public:
    ModifierBar() = default;
    // Forgets the bar in the shell's state.
    ~ModifierBar() override;

    // Creates the window at `position` and makes it the drawing's bar.
    bool open(tk::Point position);

    HWND handle() const override { return ButtonGridWindow::handle(); }
    tk::FileDialogRequest saveAsRequest() const override;
    // Clears the current level, keeps the position in the profile and asks
    // to save a changed bar; the platform then destroys the window.
    bool onClose() override;

    // The level click handler.
    static void onClick(GridItem& item, int event, unsigned keys, ButtonGridWindow& window);
};

// The bar's position kept in the profile (100, 100 when none is kept).
tk::Point savedModifierBarPosition();

}  // namespace zan
