#include "laycfg/layer_configuration.h"

#include <algorithm>

#include "levels/levels.h"

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

}  // namespace zan
