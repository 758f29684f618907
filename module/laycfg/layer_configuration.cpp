#include "laycfg/layer_configuration.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "levels/levels.h"
#include "text/text_hash.h"
#include "text/text_set.h"

namespace zan {

bool LayerConfiguration::addLevel(std::vector<Level*>& list, Level* level) {
    if (!level || checkLevelUnique(*level, list) != 0) return false;
    list.push_back(level);
    return true;
}

bool LayerConfiguration::addText(std::vector<std::string>& list, std::string_view text) {
    if (std::find(list.begin(), list.end(), text) != list.end()) return false;
    list.emplace_back(text);
    return true;
}

namespace {

using TextSet = std::unordered_set<std::string_view, ascii::TextHash, std::equal_to<>>;

}  // namespace

void LayerConfiguration::addLevels(std::vector<Level*>& list, const std::vector<Level*>& levels) {
    // checkLevelUnique against the list: no listed level may share the
    // candidate's modifier or its name. The sets view the levels' texts,
    // which do not change while the levels are added.
    TextSet modifiers, names;
    modifiers.reserve(list.size() + levels.size());
    names.reserve(list.size() + levels.size());
    for (const Level* level : list) {
        modifiers.insert(level->modifier);
        names.insert(level->name);
    }
    for (Level* level : levels) {
        if (!level || modifiers.count(level->modifier) != 0 || names.count(level->name) != 0) continue;
        list.push_back(level);
        modifiers.insert(level->modifier);
        names.insert(level->name);
    }
}

void LayerConfiguration::addTexts(std::vector<std::string>& list, const std::vector<std::string>& texts) {
    // The set views the texts without copying them: the list has its room
    // before the views are taken, so adding to it moves none of them.
    list.reserve(list.size() + texts.size());
    ascii::TextViewSet members;
    members.reserve(list.size() + texts.size());
    members.insertEach(list.size(), [&](std::size_t i) -> std::string_view { return list[i]; }, [](std::size_t) {});
    members.insertEach(texts.size(), [&](std::size_t i) -> std::string_view { return texts[i]; },
                       [&](std::size_t i) { list.push_back(texts[i]); });
}

void LayerConfiguration::resolveModifiers(const std::vector<std::string>& levelNames, const LevelIndex& index,
                                          bool included) {
    std::vector<Level*> levels;
    std::vector<std::string> unresolved;
    for (const std::string& name : levelNames) {
        if (Level* level = index.find(name)) levels.push_back(level);
        else if (!name.empty()) unresolved.push_back(name);
    }
    addLevels(included ? includedModifiers : excludedModifiers, levels);
    addTexts(included ? unresolvedIncludedModifiers : unresolvedExcludedModifiers, unresolved);
}

void LayerConfiguration::resolveIncludedModifiers(const std::vector<std::string>& levelNames, const LevelIndex& index) {
    resolveModifiers(levelNames, index, true);
}

void LayerConfiguration::resolveExcludedModifiers(const std::vector<std::string>& levelNames, const LevelIndex& index) {
    resolveModifiers(levelNames, index, false);
}

void LayerConfiguration::keepLevelsAsNames(const LevelList& levels) {
    std::unordered_map<const Level*, std::size_t> position;
    position.reserve(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) position.emplace(levels[i].get(), i);
    auto unresolve = [&](std::vector<Level*>& list, std::vector<std::string>& names) {
        // The names are added in the order of the level list, as one
        // keepLevelAsName after the other would add them.
        std::vector<std::pair<std::size_t, const Level*>> leaving;
        std::vector<Level*> staying;
        for (Level* level : list) {
            auto at = position.find(level);
            if (at == position.end()) staying.push_back(level);
            else leaving.emplace_back(at->second, level);
        }
        if (leaving.empty()) return;
        std::sort(leaving.begin(), leaving.end());
        list = std::move(staying);
        std::vector<std::string> kept;
        for (std::size_t i = 0; i < leaving.size(); ++i)
            if ((i == 0 || leaving[i].second != leaving[i - 1].second) && !leaving[i].second->name.empty())
                kept.push_back(leaving[i].second->name);
        addTexts(names, kept);
    };
    unresolve(includedModifiers, unresolvedIncludedModifiers);
    unresolve(excludedModifiers, unresolvedExcludedModifiers);
}

void LayerConfiguration::forgetLevel(const Level* level) {
    for (auto* list : {&includedModifiers, &excludedModifiers}) {
        auto at = std::find(list->begin(), list->end(), level);
        if (at != list->end()) list->erase(at);
    }
}

void LayerConfiguration::keepLevelAsName(const Level* level) {
    auto unresolve = [&](std::vector<Level*>& list, std::vector<std::string>& names) {
        const auto at = std::remove(list.begin(), list.end(), level);
        if (at == list.end()) return;
        list.erase(at, list.end());
        if (!level->name.empty()) addText(names, level->name);
    };
    unresolve(includedModifiers, unresolvedIncludedModifiers);
    unresolve(excludedModifiers, unresolvedExcludedModifiers);
}

void LayerConfiguration::resolveIncludedModifier(std::string_view levelName) {
    if (Level* level = findLevelByName(levelName)) addIncludedModifier(level);
    else if (!levelName.empty()) addUnresolvedIncludedModifier(levelName);
}

void LayerConfiguration::resolveExcludedModifier(std::string_view levelName) {
    if (Level* level = findLevelByName(levelName)) addExcludedModifier(level);
    else if (!levelName.empty()) addUnresolvedExcludedModifier(levelName);
}

void LayerConfiguration::copyFrom(const LayerConfiguration& source) {
    if (&source == this) return;
    name = "Copy of " + source.name;
    ucsName = source.ucsName;
    viewName = source.viewName;
    restoredFlag = source.restoredFlag;
    spareFlag1 = source.spareFlag1;
    spareFlag2 = source.spareFlag2;
    undefinedLayerOption = source.undefinedLayerOption;
    includedModifiers.insert(includedModifiers.end(), source.includedModifiers.begin(), source.includedModifiers.end());
    excludedModifiers.insert(excludedModifiers.end(), source.excludedModifiers.begin(), source.excludedModifiers.end());
    includedLayers.insert(includedLayers.end(), source.includedLayers.begin(), source.includedLayers.end());
    excludedLayers.insert(excludedLayers.end(), source.excludedLayers.begin(), source.excludedLayers.end());
}

LayerConfiguration* LayerConfigurationList::findByName(std::string_view name) const {
    for (const auto& c : items_)
        if (c->name == name) return c.get();
    return nullptr;
}

LayerConfiguration* LayerConfigurationList::append(std::unique_ptr<LayerConfiguration> configuration) {
    items_.push_back(std::move(configuration));
    return items_.back().get();
}

void LayerConfigurationList::remove(const LayerConfiguration* configuration) {
    auto at = std::find_if(items_.begin(), items_.end(), [&](const auto& c) { return c.get() == configuration; });
    if (at != items_.end()) items_.erase(at);
}

void LayerConfigurationList::forgetLevel(const Level* level) {
    for (auto& c : items_) c->forgetLevel(level);
}

void LayerConfigurationList::keepLevelAsName(const Level* level) {
    for (auto& c : items_) c->keepLevelAsName(level);
}

void LayerConfigurationList::keepLevelsAsNames(const LevelList& levels) {
    for (auto& c : items_) c->keepLevelsAsNames(levels);
}

}  // namespace zan
