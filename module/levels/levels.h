// The level list and the layer-name rule: a layer name is a modifier, the
// separator and a root name ("A" + "-" + "WALL" = "A-WALL").
#pragma once

#include <string>
#include <string_view>

#include "levels/level.h"

namespace zan {

// The first level of the list whose name equals `name` exactly, or null.
Level* findLevelByName(std::string_view name);
// 0 when no level of `list` matches the candidate; otherwise the first level
// in list order that does decides: 1 for the same modifier, 2 for the same name.
template <typename Levels>
int checkLevelUnique(const Level& candidate, const Levels& list) {
    for (const auto& level : list) {
        if (level->modifier == candidate.modifier) return 1;
        if (level->name == candidate.name) return 2;
    }
    return 0;
}
// Upper-cases ASCII letters; other bytes (parts of multibyte characters) stay.
std::string upperModifier(std::string_view text);
void setModifier(Level& level, std::string_view text);

// The separator as text: one character, or empty when there is none.
std::string separatorText();
std::string composeLayerName(std::string_view modifier, std::string_view root);
// The text after the last separator, or the whole name.
std::string rootNameOf(std::string_view layerName);
// The text before the first separator less any external-reference prefix
// (up to the last "|"); empty when the separator does not occur.
std::string modifierOf(std::string_view layerName);

void selectLevel(const Level& level);
void clearActiveLevel();

// The host's wildcard list for a level's layers: P*,*|P* with P the
// modifier followed by the separator.
std::string levelPattern(const Level& level);
// The longest modifier whose thaw or freeze text fits the command-text limit.
std::size_t maximumModifierLength();
inline constexpr std::size_t kCommandTextLimit = 127;

// Thaw or freeze all layers of a level through the host's command line;
// true when the text was sent. A modifier too long for the command text is
// refused with a message and nothing is sent (false).
bool thawLevelLayers(Level& level);
bool freezeLevelLayers(Level& level);

}  // namespace zan
