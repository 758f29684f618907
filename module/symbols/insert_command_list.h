// The argument list of the host's insert command for a symbol: the block
// name, the presets the bar's options ask for, and a pause (a single
// backslash) for each prompt the user answers.
#pragma once

#include <optional>
#include <string>

#include "shell/host_lists.h"
#include "symbols/symbol_profile.h"

namespace zan {

struct InsertPresets {
    std::optional<float> rotation;          // automatic rotation
    std::optional<ScaleAndRotation> scale;  // automatic scaling: x, y and z are used
};

// "Insert" name, then "r" rotation, then "x" X "y" Y "z" Z, then pauses for
// what is left (the insertion point; the two scale factors; the rotation).
// Null when the host could not make a piece of the list (reported).
ResbufList buildInsertCommand(const std::string& name, const InsertPresets& presets);

}  // namespace zan
