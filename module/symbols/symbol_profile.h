// A symbol bar's settings in the per-application profile, in the section
// "SymbolTemplate-" + the bar's file name: the window position, the default
// layer, and the scale factors and rotation stored as value x 10000.
#pragma once

#include <optional>
#include <string>

#include "tk/geometry.h"

namespace zan {

struct ScaleAndRotation {
    float xScale = 1.0f;
    float yScale = 1.0f;
    float zScale = 1.0f;
    float rotation = 0.0f;
};

std::string symbolProfileSection(const std::string& dataFileName);

// The window position kept for the file (100, 100 when none is kept).
tk::Point savedSymbolBarPosition(const std::string& dataFileName);
// The four values, only when all four are stored (none reads as -1).
std::optional<ScaleAndRotation> savedScaleAndRotation(const std::string& dataFileName);
// The stored default layer, empty when none is stored.
std::string savedDefaultLayer(const std::string& dataFileName);

// Stores everything the bar keeps in the profile.
void saveSymbolProfile(const std::string& dataFileName, tk::Point position, const std::string& defaultLayer,
                       const ScaleAndRotation& values);

// A value as the profile keeps it: x 10000, truncated toward zero (kept
// within the integer range).
int profileScaled(float value);

}  // namespace zan
