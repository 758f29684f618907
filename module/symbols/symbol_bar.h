// The symbol bar: a floating button grid with one button per block symbol,
// read from and written to a .Zsb file, with a strip of four option toggles
// (automatic layering, explode, automatic scaling, automatic rotation) and
// bar-wide insertion defaults kept in the application profile. Any number of
// bars may be open, each from its own file.
#pragma once

#include <string>
#include <vector>

#include "symbols/symbol_button.h"
#include "symbols/symbol_profile.h"
#include "tk/geometry.h"
#include "toolwnd/button_grid_window.h"

namespace zan {

inline constexpr const char* kSymbolBarTypeWord = "SYMBOL";

class SymbolBar final : public ButtonGridWindow {
public:
    static constexpr unsigned kMenuSetBlockDirectory = 305;
    static constexpr unsigned kMenuDefaultAutoLayer = 307;

    // The option strip's toggles.
    enum Option : int { kAutoLayer = 0, kExplode = 1, kAutoScale = 2, kAutoRotate = 3 };

    SymbolBar();
    // Forgets a pending insertion from this bar.
    ~SymbolBar() override;

    // The bars that exist, in the order they were made.
    static const std::vector<SymbolBar*>& openBars();

    // Creates the window at `position` with its system menu and option strip,
    // and takes the file's settings from the profile; false when the
    // platform refuses the window.
    bool open(tk::Point position);
    // The profile's values: scale and rotation when all four are stored, the
    // default layer when `emptyToo` or it is not empty; the title from the file name.
    void applyProfile(bool emptyToo);

    bool option(Option which) const { return stripButtonState(which) != 0; }

    // The file's text: the header lines and one line per symbol in grid order.
    std::string symbolFileText() const;

    void stripButtonContext(int index) override;
    bool save() override;
    bool rolledUpCaption(std::string& text) override;
    tk::FileDialogRequest saveAsRequest() const override;
    bool onSystemCommand(unsigned command) override;
    // Keeps the settings in the profile and asks to save a changed bar; the
    // platform then destroys the window.
    bool onClose() override;

    // The symbol click handler: a left click inserts, a right click edits.
    static void onClick(GridItem& item, int event, unsigned keys, ButtonGridWindow& window);

    ScaleAndRotation values;  // automatic scaling factors and rotation
    std::string defaultLayer;

private:
    void askBlockDirectory();
    void askDefaultLayer();
};

}  // namespace zan
