// A layer configuration: a named rule set of levels and layers to thaw or
// freeze, a rule for all other layers, and a UCS and a view to restore.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "levels/level.h"
#include "levels/level_index.h"

namespace zan {

// The UCS or view name of a configuration that restores none.
inline constexpr const char* kNoName = "None";

class LayerConfiguration {
public:
    // What a restore does first to all layers.
    enum UndefinedLayerOption : int { NoAction = 0, Freeze = 1, Thaw = 2 };

    LayerConfiguration() = default;
    virtual ~LayerConfiguration() = default;
    LayerConfiguration(const LayerConfiguration&) = delete;
    LayerConfiguration& operator=(const LayerConfiguration&) = delete;

    void setName(std::string_view text) { name = text; }

    // Append a level unless the list holds one with its modifier or name;
    // true when it was added.
    bool addIncludedModifier(Level* level) { return addLevel(includedModifiers, level); }
    bool addExcludedModifier(Level* level) { return addLevel(excludedModifiers, level); }
    // Append a text unless the list holds it; true when it was added.
    bool addIncludedLayer(std::string_view text) { return addText(includedLayers, text); }
    bool addExcludedLayer(std::string_view text) { return addText(excludedLayers, text); }
    bool addUnresolvedIncludedModifier(std::string_view text) { return addText(unresolvedIncludedModifiers, text); }
    bool addUnresolvedExcludedModifier(std::string_view text) { return addText(unresolvedExcludedModifiers, text); }
    // The same for many entries at once, in order, each tested against the
    // list as it grows; the cost is linear in the list and the entries.
    void addIncludedModifiers(const std::vector<Level*>& levels) { addLevels(includedModifiers, levels); }
    void addExcludedModifiers(const std::vector<Level*>& levels) { addLevels(excludedModifiers, levels); }
    void addIncludedLayers(const std::vector<std::string>& texts) { addTexts(includedLayers, texts); }
    void addExcludedLayers(const std::vector<std::string>& texts) { addTexts(excludedLayers, texts); }
    void addUnresolvedIncludedModifiers(const std::vector<std::string>& texts) {
        addTexts(unresolvedIncludedModifiers, texts);
    }
    void addUnresolvedExcludedModifiers(const std::vector<std::string>& texts) {
        addTexts(unresolvedExcludedModifiers, texts);
    }

    void clearIncludedModifiers() { includedModifiers.clear(); }
    void clearExcludedModifiers() { excludedModifiers.clear(); }
    void clearIncludedLayers() { includedLayers.clear(); }
    void clearExcludedLayers() { excludedLayers.clear(); }
    void clearUnresolvedIncludedModifiers() { unresolvedIncludedModifiers.clear(); }
    void clearUnresolvedExcludedModifiers() { unresolvedExcludedModifiers.clear(); }

    // Removes the first reference to the level from both modifier lists.
    void forgetLevel(const Level* level);
    // Replaces every reference to the level by its name in the matching
    // unresolved list (the level is about to be destroyed).
    void keepLevelAsName(const Level* level);
    // keepLevelAsName for every level of `levels` in list order, in one pass
    // (all of them are about to be destroyed).
    void keepLevelsAsNames(const LevelList& levels);
    // Resolves a modifier name against the loaded levels: a level of that
    // name is added by reference, any other non-empty name is kept unresolved.
    void resolveIncludedModifier(std::string_view levelName);
    void resolveExcludedModifier(std::string_view levelName);
    // The same for many names at once, looked up in `index`.
    void resolveIncludedModifiers(const std::vector<std::string>& levelNames, const LevelIndex& index);
    void resolveExcludedModifiers(const std::vector<std::string>& levelNames, const LevelIndex& index);

    // Makes this configuration a copy of `source` named "Copy of " + its name;
    // the unresolved names are not copied.
    void copyFrom(const LayerConfiguration& source);

    void setRestoredFlag(int value) { restoredFlag = value; }

    // Whether a restore restores a named UCS or view: not for "None" (the
    // default), nor for an empty name, which names nothing.
    bool restoresUcs() const { return !ucsName.empty() && ucsName != kNoName; }
    bool restoresView() const { return !viewName.empty() && viewName != kNoName; }

    std::string name;
    std::vector<Level*> includedModifiers;  // not owned
    std::vector<Level*> excludedModifiers;  // not owned
    std::vector<std::string> includedLayers;
    std::vector<std::string> excludedLayers;
    std::vector<std::string> unresolvedIncludedModifiers;
    std::vector<std::string> unresolvedExcludedModifiers;
    std::string ucsName = kNoName;
    std::string viewName = kNoName;
    int restoredFlag = 1;
    int spareFlag1 = 1;
    int spareFlag2 = 0;
    int undefinedLayerOption = NoAction;

private:
    static bool addLevel(std::vector<Level*>& list, Level* level);
    static bool addText(std::vector<std::string>& list, std::string_view text);
    static void addLevels(std::vector<Level*>& list, const std::vector<Level*>& levels);
    static void addTexts(std::vector<std::string>& list, const std::vector<std::string>& texts);
    void resolveModifiers(const std::vector<std::string>& levelNames, const LevelIndex& index, bool included);
};

// The configurations of the drawing's layer configuration file, in order; owns them.
class LayerConfigurationList {
public:
    using Storage = std::vector<std::unique_ptr<LayerConfiguration>>;

    LayerConfiguration* findByName(std::string_view name) const;
    LayerConfiguration* append(std::unique_ptr<LayerConfiguration> configuration);
    // Removes and destroys one configuration; one not in the list is left alone.
    void remove(const LayerConfiguration* configuration);
    // Removes and destroys all, the last first.
    void clear() {
        while (!items_.empty()) items_.pop_back();
    }
    void forgetLevel(const Level* level);
    void keepLevelAsName(const Level* level);
    void keepLevelsAsNames(const LevelList& levels);

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    void pop_back() { items_.pop_back(); }
    Storage::const_iterator begin() const { return items_.begin(); }
    Storage::const_iterator end() const { return items_.end(); }
    LayerConfiguration& operator[](std::size_t i) const { return *items_[i]; }

private:
    Storage items_;
};

}  // namespace zan
