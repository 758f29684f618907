#include "symbols/symbol_settings_dialogs.h"

#include <cfloat>
#include <cstdio>

#include "resources/symbol_dialog_templates.h"
#include "symbols/symbol_bar.h"

namespace zan {

std::string formatFloat(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", FLT_DIG, static_cast<double>(value));
    return buffer;
}

AutoLayerNameDialog::AutoLayerNameDialog(std::string layer)
    : tk::Dialog(resources::autoLayerNameTemplate()), layer_(std::move(layer)) {}

bool AutoLayerNameDialog::onInit() {
    setItemText(kLayer, layer_);
    return true;
}

void AutoLayerNameDialog::onOK() {
    layer_ = itemText(kLayer);
    endDialog(tk::IDOK);
}

AutoScalingDialog::AutoScalingDialog(float x, float y, float z)
    : tk::Dialog(resources::autoScalingTemplate()), x_(x), y_(y), z_(z) {}

bool AutoScalingDialog::onInit() {
    setItemText(kX, formatFloat(x_));
    setItemText(kY, formatFloat(y_));
    setItemText(kZ, formatFloat(z_));
    return true;
}

void AutoScalingDialog::onOK() {
    std::optional<float> x = readFloat(kX, kLowest, kHighest);
    if (!x) return;
    std::optional<float> y = readFloat(kY, kLowest, kHighest);
    if (!y) return;
    std::optional<float> z = readFloat(kZ, kLowest, kHighest);
    if (!z) return;
    x_ = *x;
    y_ = *y;
    z_ = *z;
    endDialog(tk::IDOK);
}

AutoRotationDialog::AutoRotationDialog(float rotation)
    : tk::Dialog(resources::autoRotationTemplate()), rotation_(rotation) {}

bool AutoRotationDialog::onInit() {
    setItemText(kRotation, formatFloat(rotation_));
    return true;
}

void AutoRotationDialog::onOK() {
    std::optional<float> rotation = readFloat(kRotation, kLowest, kHighest);
    if (!rotation) return;
    rotation_ = *rotation;
    endDialog(tk::IDOK);
}

void editAutoLayerName(SymbolBar& bar) {
    AutoLayerNameDialog dialog(bar.defaultLayer);
    if (dialog.runModal(bar.handle()) == tk::IDOK) bar.defaultLayer = dialog.layer();
}

void editScalingFactors(SymbolBar& bar) {
    AutoScalingDialog dialog(bar.values.xScale, bar.values.yScale, bar.values.zScale);
    if (dialog.runModal(bar.handle()) != tk::IDOK) return;
    bar.values.xScale = dialog.x();
    bar.values.yScale = dialog.y();
    bar.values.zScale = dialog.z();
}

void editRotation(SymbolBar& bar) {
    AutoRotationDialog dialog(bar.values.rotation);
    if (dialog.runModal(bar.handle()) == tk::IDOK) bar.values.rotation = dialog.rotation();
}

}  // namespace zan
