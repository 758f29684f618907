#include "resources/symbol_dialog_templates.h"

#include "tk/platform.h"

namespace zan::resources {

namespace {

using tk::ControlKind;
using tk::ControlTemplate;

ControlTemplate control(int id, ControlKind kind, const char* text, int x, int y, int w, int h) {
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.rect = tk::Rect::fromSize(x, y, w, h);
    return c;
}

ControlTemplate label(const char* text, int x, int y, int w) {
    return control(tk::IDC_STATIC, ControlKind::Static, text, x, y, w, 8);
}

ControlTemplate edit(int id, int x, int y, int w) { return control(id, ControlKind::Edit, "", x, y, w, 13); }

ControlTemplate button(int id, const char* text, int x, int y) {
    return control(id, ControlKind::PushButton, text, x, y, 50, 14);
}

// OK and Cancel along the bottom of a dialog `width` wide.
void addOkCancel(tk::DialogTemplate& t, int width, int y) {
    t.controls.push_back(control(tk::IDOK, ControlKind::DefPushButton, "OK", width / 2 - 55, y, 50, 14));
    t.controls.push_back(button(tk::IDCANCEL, "Cancel", width / 2 + 5, y));
}

}  // namespace

tk::DialogTemplate newSymbolTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kNewSymbol;
    t.caption = "New Symbol";
    t.size = {200, 150};
    t.controls = {
        label("Symbol Name", 5, 5, 120),
        edit(1000, 5, 15, 130),
        control(1030, ControlKind::DefPushButton, "MODIFY", 145, 14, 50, 14),
        label("Block", 5, 32, 120),
        edit(1002, 5, 42, 130),
        button(1003, "Browse", 145, 41),
        label("Icon", 5, 59, 120),
        edit(1004, 5, 69, 130),
        button(1001, "Browse", 145, 68),
        label("Automatic Layering", 5, 86, 120),
        edit(1027, 5, 96, 130),
        control(1029, ControlKind::CheckBox, "  Search Sub-Entities", 5, 113, 130, 10),
        button(1031, "APPEND", 5, 130),
        button(1032, "INSERT", 58, 130),
        button(1033, "DELETE", 111, 130),
        button(tk::IDCANCEL, "Cancel", 145, 113),
    };
    return t;
}

tk::DialogTemplate autoScalingTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kAutoScaling;
    t.caption = "Automatic Scaling Factors";
    t.size = {160, 100};
    t.controls = {
        label("X Scale Factor", 5, 8, 70),  edit(1016, 80, 6, 70),
        label("Y Scale Factor", 5, 28, 70), edit(1017, 80, 26, 70),
        label("Z Scale Factor", 5, 48, 70), edit(1018, 80, 46, 70),
    };
    addOkCancel(t, 160, 76);
    return t;
}

tk::DialogTemplate autoRotationTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kAutoRotation;
    t.caption = "Automatic Rotation";
    t.size = {160, 55};
    t.controls = {label("Rotation Value", 5, 8, 70), edit(1018, 80, 6, 70)};
    addOkCancel(t, 160, 32);
    return t;
}

tk::DialogTemplate autoLayerNameTemplate() {
    tk::DialogTemplate t;
    t.resourceId = kAutoLayerName;
    t.caption = "Auto Layer Name";
    t.size = {180, 55};
    t.controls = {label("Layer Name", 5, 8, 50), edit(1019, 60, 6, 112)};
    addOkCancel(t, 180, 32);
    return t;
}

}  // namespace zan::resources
