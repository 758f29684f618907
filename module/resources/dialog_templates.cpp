#include "resources/dialog_templates.h"

#include "tk/platform.h"

namespace zan::resources {

namespace {

using tk::ControlKind;
using tk::ControlTemplate;

ControlTemplate control(int id, ControlKind kind, const char* text, unsigned style, int x, int y, int w, int h,
                        std::size_t limit = 0) {
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.style = style;
    c.rect = tk::Rect::fromSize(x, y, w, h);
    c.textLimit = limit;
    return c;
}

ControlTemplate label(const char* text, int x, int y, int w, int h = 8) {
    return control(tk::IDC_STATIC, ControlKind::Static, text, 0, x, y, w, h);
}

ControlTemplate button(int id, const char* text, int x, int y, int w = 50, int h = 14) {
    return control(id, ControlKind::PushButton, text, 0, x, y, w, h);
}

ControlTemplate defaultButton(int id, const char* text, int x, int y, int w = 50, int h = 14) {
    return control(id, ControlKind::DefPushButton, text, 0, x, y, w, h);
}

}  // namespace

tk::DialogTemplate layerConfigurationEditorTemplate() {
    using tk::kExtendedSelection;
    using tk::kSorted;
    tk::DialogTemplate t;
    t.resourceId = kLayerConfigurationEditor;
    t.caption = "ZAN Layer Configuration";
    t.size = {420, 330};
    t.controls = {
        label("Layer Configuration Name:", 7, 7, 100),
        control(1032, ControlKind::Edit, "", 0, 110, 5, 150, 12),
        // Levels
        control(1014, ControlKind::ListBox, "ZAN Modifiers", kSorted | kExtendedSelection, 7, 30, 110, 100),
        button(1016, "Include->", 125, 40),
        button(1021, "<-Remove", 125, 58),
        control(1015, ControlKind::ListBox, "Modifiers Included", kSorted, 185, 30, 110, 45),
        button(1017, "Exclude->", 125, 90),
        button(1022, "<-Remove", 125, 108),
        control(1018, ControlKind::ListBox, "Modifiers Excluded", kSorted, 185, 85, 110, 45),
        // Layers
        control(1010, ControlKind::ListBox, "Autocad Layers:", kSorted | kExtendedSelection, 7, 140, 110, 120),
        button(1013, "Include->", 125, 145),
        button(1025, "Incl w/ *->", 125, 163),
        button(1023, "<-Remove", 125, 181),
        control(1012, ControlKind::ListBox, "Layers Included", kSorted, 185, 140, 110, 55),
        button(1019, "Exclude->", 125, 205),
        button(1026, "Excl w/ *->", 125, 223),
        button(1024, "<-Remove", 125, 241),
        control(1020, ControlKind::ListBox, "Layers Excluded", kSorted, 185, 205, 110, 55),
        // UCS, view, undefined layers
        control(1052, ControlKind::DropDownList, "UCS:", kSorted, 305, 30, 100, 80),
        control(1053, ControlKind::DropDownList, "View:", kSorted, 305, 60, 100, 80),
        control(tk::IDC_STATIC, ControlKind::GroupBox, "Options for Undefined Layers", 0, 305, 90, 105, 55),
        control(1033, ControlKind::RadioButton, "No Action", tk::kGroup, 312, 102, 80, 10),
        control(1034, ControlKind::RadioButton, "Freeze", 0, 312, 115, 80, 10),
        control(1035, ControlKind::RadioButton, "Thaw", 0, 312, 128, 80, 10),
        // Captures and the end buttons
        control(1044, ControlKind::PushButton, "CAPTURE GLOBAL", tk::kGroup, 305, 160, 100, 14),
        button(1045, "CAPTURE VP", 305, 180, 100),
        button(1060, "Clear All", 305, 200, 100),
        defaultButton(tk::IDOK, "OK", 305, 290),
        button(tk::IDCANCEL, "Cancel", 360, 290),
    };
    return t;
}

tk::DialogTemplate inputDialogTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kInputDialog;
    t.caption = "Input Dialog";
    t.size = {200, 70};
    t.controls = {
        control(1015, ControlKind::Static, "Enter new modifier:", 0, 7, 7, 186, 8),
        control(1014, ControlKind::Edit, "", 0, 7, 20, 186, 12),
        defaultButton(tk::IDOK, "OK", 40, 45),
        button(tk::IDCANCEL, "Cancel", 110, 45),
    };
    return t;
}

tk::DialogTemplate editModifierTemplate() {
    // Texts longer than the modifier bar file's 127 characters could not be read back.
    constexpr std::size_t kFileText = 127;
    tk::DialogTemplate t;
    t.resourceId = kEditModifier;
    t.caption = "Edit Modifier";
    t.size = {184, 113};
    t.controls = {
        label("Modifier Name", 5, 5, 90),
        control(1022, ControlKind::Edit, "", 0, 5, 15, 105, 13, kFileText),
        button(1032, "INSERT", 126, 14),
        label("Layer Modifier", 5, 30, 90),
        control(1023, ControlKind::Edit, "", 0, 5, 40, 105, 13, kFileText),
        defaultButton(1031, "APPEND", 127, 39),
        control(tk::IDC_STATIC, ControlKind::GroupBox, "Modifier Bitmap", 0, 2, 56, 178, 26),
        control(1025, ControlKind::Edit, "", 0, 5, 66, 105, 13, kFileText),
        button(1026, "Browse", 127, 65),
        button(1030, "MODIFY", 5, 91),
        button(1033, "DELETE", 66, 91),
        button(tk::IDCANCEL, "Cancel", 128, 91),
    };
    return t;
}

tk::DialogTemplate layerConfigurationSelectionTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kLayerConfigurationSelection;
    t.caption = "Layer Configuration Selection";
    t.size = {260, 170};
    t.controls = {
        control(1036, ControlKind::ListBox, "Existing Layer Configurations:", tk::kSorted | tk::kNotify, 7, 7, 150, 150),
        button(1038, "New...", 165, 7, 88),
        button(1039, "Edit...", 165, 25, 88),
        button(1041, "Copy", 165, 43, 88),
        button(1040, "Delete", 165, 61, 88),
        button(1042, "Restore to Viewport", 165, 85, 88),
        button(1043, "Restore to Model Space", 165, 103, 88),
        defaultButton(tk::IDOK, "OK", 165, 143, 88),
    };
    return t;
}

tk::DialogTemplate pathSelectionTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kPathSelection;
    t.caption = "Path Selection";
    t.size = {200, 170};
    t.controls = {
        label("Drive:", 7, 7, 40),
        control(1011, ControlKind::DropDownList, "Drive:", tk::kSorted, 50, 5, 80, 60),
        label("Path:", 7, 25, 40),
        control(1013, ControlKind::Edit, "", 0, 50, 23, 143, 12),
        label("Directory:", 7, 43, 60),
        control(1012, ControlKind::ListBox, "Directory:", tk::kSorted | tk::kNotify, 7, 55, 186, 85),
        defaultButton(tk::IDOK, "OK", 40, 148),
        button(tk::IDCANCEL, "Cancel", 110, 148),
    };
    return t;
}

tk::DialogTemplate preferencesTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kPreferences;
    t.caption = "ZAN Preferences";
    t.size = {260, 120};
    t.controls = {
        label("Layer Config File:", 7, 9, 70),
        control(kPrefLayerConfigFile, ControlKind::Edit, "", 0, 80, 7, 150, 12),
        button(kPrefBrowseLayerConfigFile, "...", 235, 7, 18, 12),
        label("Modifier Bar File:", 7, 27, 70),
        control(kPrefModifierFile, ControlKind::Edit, "", 0, 80, 25, 150, 12),
        button(kPrefBrowseModifierFile, "...", 235, 25, 18, 12),
        label("Modifier / Root", 7, 47, 70),
        label("Separator", 7, 56, 70),
        control(kPrefSeparator, ControlKind::Edit, "", 0, 80, 49, 20, 12, 2),
        label("\" - \" Dash \"$\" Dollar \" _ \"  Underscore", 105, 47, 150),
        label("\" | \" Pipe or Blank for none", 105, 56, 150),
        defaultButton(tk::IDOK, "OK", 70, 95),
        button(tk::IDCANCEL, "Cancel", 140, 95),
    };
    return t;
}

}  // namespace zan::resources
