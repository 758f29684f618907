// Dialog templates: what a dialog is made of before it is shown.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tk/geometry.h"

namespace tk {

// Identifier of controls that code never addresses (labels, group boxes).
inline constexpr int IDC_STATIC = -1;

enum class ControlKind {
    Static,         // label text
    Edit,           // one line of text
    PushButton,
    DefPushButton,  // the button that Enter presses
    CheckBox,       // toggled by a click
    RadioButton,    // one of a group; a click checks it and clears the others
    GroupBox,       // a frame with a caption
    ListBox,
    DropDownList,   // a list that shows its selected line
};

// Control style flags.
enum ControlStyle : unsigned {
    kGroup = 0x1,              // starts a group (radio buttons group until the next kGroup)
    kDisabled = 0x2,           // created disabled
    kHidden = 0x4,             // created hidden
    kSorted = 0x8,             // list box, drop-down list: lines kept in order
    kExtendedSelection = 0x10, // list box: any number of lines selected
    kNotify = 0x20,            // list box: reports selection changes and double clicks
    kReadOnly = 0x40,          // edit: not changed by the user
};

// Notification codes of onCommand.
enum Notification : int {
    BN_CLICKED = 0,
    LBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    CBN_SELCHANGE = 1,
    EN_CHANGE = 0x300,
};

// The edit text limit when a template gives none.
inline constexpr std::size_t kDefaultEditLimit = 30000;

struct ControlTemplate {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::Static;
    std::string text;  // label, button text, or the initial text of an edit
    unsigned style = 0;
    Rect rect;  // dialog units; layout for backends that draw dialogs
    std::size_t textLimit = 0;  // edit: most bytes it holds (0: kDefaultEditLimit)
};

struct DialogTemplate {
    int resourceId = 0;
    std::string caption;
    Size size;  // dialog units
    std::vector<ControlTemplate> controls;
};

}  // namespace tk
