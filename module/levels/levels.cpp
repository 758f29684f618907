#include "levels/levels.h"

#include "ads/adslib.h"
#include "shell/services.h"
#include "shell/state.h"

namespace zan {

Level* findLevelByName(std::string_view name) {
    for (auto& level : state().levelList)
        if (level->name == name) return level.get();
    return nullptr;
}

std::string upperModifier(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

void setModifier(Level& level, std::string_view text) { level.modifier = upperModifier(text); }

std::string separatorText() {
    char s = state().modifierSeparator;
    return s ? std::string(1, s) : std::string();
}

std::string composeLayerName(std::string_view modifier, std::string_view root) {
    std::string out(modifier);
    out += separatorText();
    out += root;
    return out;
}

// With no separator there is nothing to split at: the whole name is the
// root and the modifier is empty, as for a name without the separator.
std::string rootNameOf(std::string_view layerName) {
    char s = state().modifierSeparator;
    if (!s) return std::string(layerName);
    std::size_t at = layerName.rfind(s);
    return std::string(at == std::string_view::npos ? layerName : layerName.substr(at + 1));
}

std::string modifierOf(std::string_view layerName) {
    char s = state().modifierSeparator;
    if (!s) return {};
    std::size_t at = layerName.find(s);
    if (at == std::string_view::npos) return {};
    std::string_view modifier = layerName.substr(0, at);
    if (std::size_t bar = modifier.rfind('|'); bar != std::string_view::npos) modifier.remove_prefix(bar + 1);
    return std::string(modifier);
}

void selectLevel(const Level& level) { state().activeModifierPrefix = level.modifier + separatorText(); }
void clearActiveLevel() { state().activeModifierPrefix.clear(); }

std::string levelPattern(const Level& level) {
    std::string p = level.modifier + separatorText();
    return p + "*,*|" + p + "*";
}

namespace {
constexpr std::string_view kThawText = "-Layer Set 0 T ";
constexpr std::string_view kFreezeText = "-Layer Set 0 F ";

bool sendLevelText(Level& level, std::string_view command, int thawed) {
    std::string text(command);
    text += levelPattern(level);
    text += "  ";
    if (text.size() > kCommandTextLimit) {
        // A longer text would be cut by the host's command-text buffer and
        // act on the wrong layers; refuse it instead.
        ads_printf("The modifier \"%s\" is too long to switch its layers (at most %zu characters).\n",
                   level.modifier.c_str(), maximumModifierLength());
        return false;
    }
    sendCommandText(text);
    level.thawed = thawed;
    return true;
}
}  // namespace

std::size_t maximumModifierLength() {
    // command + P*,*|P* + two spaces, with P = modifier + separator
    std::size_t fixed = kThawText.size() + 5 + 2 + 2 * separatorText().size();
    return (kCommandTextLimit - fixed) / 2;
}

bool thawLevelLayers(Level& level) { return sendLevelText(level, kThawText, 1); }
bool freezeLevelLayers(Level& level) { return sendLevelText(level, kFreezeText, 0); }

}  // namespace zan
