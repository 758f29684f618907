#include "symbols/symbol_profile.h"

#include <climits>
#include <cmath>

#include "shell/services.h"
#include "tk/platform.h"

namespace zan {

namespace {
constexpr int kAbsent = -1;
tk::Profile& profile() { return tk::platform().profile(kApplicationTitle); }
}  // namespace

std::string symbolProfileSection(const std::string& dataFileName) { return "SymbolTemplate-" + dataFileName; }

tk::Point savedSymbolBarPosition(const std::string& dataFileName) {
    const std::string section = symbolProfileSection(dataFileName);
    return {profile().getInt(section, "WindowLeft", 100), profile().getInt(section, "WindowTop", 100)};
}

std::optional<ScaleAndRotation> savedScaleAndRotation(const std::string& dataFileName) {
    const std::string section = symbolProfileSection(dataFileName);
    int stored[4];
    const char* keys[4] = {"XScale", "YScale", "ZScale", "Rotation"};
    for (int i = 0; i < 4; ++i) {
        stored[i] = profile().getInt(section, keys[i], kAbsent);
        if (stored[i] == kAbsent) return std::nullopt;
    }
    ScaleAndRotation values;
    values.xScale = static_cast<float>(stored[0] * 0.0001);
    values.yScale = static_cast<float>(stored[1] * 0.0001);
    values.zScale = static_cast<float>(stored[2] * 0.0001);
    values.rotation = static_cast<float>(stored[3] * 0.0001);
    return values;
}

std::string savedDefaultLayer(const std::string& dataFileName) {
    return profile().getString(symbolProfileSection(dataFileName), "Layername", "");
}

int profileScaled(float value) {
    const double scaled = std::trunc(static_cast<double>(value) * 10000.0);
    if (!(scaled >= INT_MIN)) return scaled > 0 ? INT_MAX : INT_MIN;  // NaN and below the range
    if (scaled > INT_MAX) return INT_MAX;
    return static_cast<int>(scaled);
}

void saveSymbolProfile(const std::string& dataFileName, tk::Point position, const std::string& defaultLayer,
                       const ScaleAndRotation& values) {
    const std::string section = symbolProfileSection(dataFileName);
    profile().writeInt(section, "WindowLeft", position.x);
    profile().writeInt(section, "WindowTop", position.y);
    profile().writeString(section, "Layername", defaultLayer);
    profile().writeInt(section, "XScale", profileScaled(values.xScale));
    profile().writeInt(section, "YScale", profileScaled(values.yScale));
    profile().writeInt(section, "ZScale", profileScaled(values.zScale));
    profile().writeInt(section, "Rotation", profileScaled(values.rotation));
}

}  // namespace zan
