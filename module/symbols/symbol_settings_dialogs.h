// The settings dialogs behind a right click on the option strip: the bar's
// default layer, its automatic scaling factors and its automatic rotation.
// Values are written back only on OK and do not mark the bar changed: they
// reach the profile when the bar closes.
#pragma once

#include <string>

#include "tk/dialog.h"

namespace zan {

class SymbolBar;

// "Auto Layer Name": one text, empty allowed.
class AutoLayerNameDialog : public tk::Dialog {
public:
    static constexpr int kLayer = 1019;
    explicit AutoLayerNameDialog(std::string layer);
    bool onInit() override;
    void onOK() override;
    const std::string& layer() const { return layer_; }

private:
    std::string layer_;
};

// "Automatic Scaling Factors": three single-precision numbers within 0 ... 31000.
class AutoScalingDialog : public tk::Dialog {
public:
    static constexpr int kX = 1016;
    static constexpr int kY = 1017;
    static constexpr int kZ = 1018;
    static constexpr float kLowest = 0.0f;
    static constexpr float kHighest = 31000.0f;
    AutoScalingDialog(float x, float y, float z);
    bool onInit() override;
    void onOK() override;
    float x() const { return x_; }
    float y() const { return y_; }
    float z() const { return z_; }

private:
    float x_, y_, z_;
};

// "Automatic Rotation": one single-precision number within -1 ... 360.
class AutoRotationDialog : public tk::Dialog {
public:
    static constexpr int kRotation = 1018;
    static constexpr float kLowest = -1.0f;
    static constexpr float kHighest = 360.0f;
    explicit AutoRotationDialog(float rotation);
    bool onInit() override;
    void onOK() override;
    float rotation() const { return rotation_; }

private:
    float rotation_;
};

// A single-precision value as the dialogs show it.
std::string formatFloat(float value);

void editAutoLayerName(SymbolBar& bar);
void editScalingFactors(SymbolBar& bar);
void editRotation(SymbolBar& bar);

}  // namespace zan
