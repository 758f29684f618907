// copytomod and movetomod: copies of the selected entities, or the entities
// themselves, go onto the layers of other modifiers (the layer's root name
// behind one or two typed modifiers), and the result is dragged into place.
#include <cstring>
#include <optional>
#include <string>

#include "ads/adslib.h"
#include "commands/drag_selection.h"
#include "levels/level_layers.h"
#include "levels/levels.h"
#include "shell/commands.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "shell/report.h"
#include "shell/services.h"
#include "tk/platform.h"

namespace zan {

namespace {

enum class RelayerMode { Copy, Move };

// The modifiers typed by the user, each with the separator appended when
// it is not empty.
struct TargetModifiers {
    std::string first;
    std::string second;
};

// Texts typed into the modifier prompts fit buffers of 132 bytes.
constexpr std::size_t kModifierLimit = 131;

std::optional<TargetModifiers> askModifiers() {
    char first[ADS_MAX_STRING] = {};
    char second[ADS_MAX_STRING] = {};
    if (ads_getstring(0, "Enter first modifier to root name: ", first) != RTNORM ||
        ads_getstring(0, "Enter second modifier to root name: ", second) != RTNORM) {
        ads_printf("Function Cancled.\n");
        return std::nullopt;
    }
    TargetModifiers modifiers{std::string(first).substr(0, kModifierLimit),
                              std::string(second).substr(0, kModifierLimit)};
    if (!modifiers.first.empty()) modifiers.first += separatorText();
    if (!modifiers.second.empty()) modifiers.second += separatorText();
    return modifiers;
}

// Upper-cases the letters a to z only.
std::string upperLetters(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The layer an entity on `layer` goes to; nothing when it stays where it is
// (root name "0"). An empty result means the name would not fit.
std::optional<std::string> targetLayer(const std::string& layer, const TargetModifiers& modifiers) {
    std::string root = rootNameOf(layer);
    if (root == "0") return std::nullopt;
    return modifiers.first + modifiers.second + root;
}

bool fitsLayerBuffer(const std::string& target) {
    if (target.size() <= kLayerNameLimit) return true;
    ads_printf("Layer name %s is longer than %d characters.\n", target.c_str(), static_cast<int>(kLayerNameLimit));
    return false;
}

// Puts an entity's data onto its target layer, made like its present one.
// False only when the target name does not fit.
bool relayer(resbuf* data, const TargetModifiers& modifiers) {
    resbuf* layerItem = findGroup(data, 8);
    if (!layerItem || !layerItem->resval.rstring) return true;
    std::string layer = layerItem->resval.rstring;
    std::optional<std::string> target = targetLayer(layer, modifiers);
    if (!target) return true;
    if (!fitsLayerBuffer(*target)) return false;
    EnsureLayerLike(layer, *target);
    return storeItemText(layerItem, *target);
}

bool isComplex(const resbuf* data) {
    const char* type = groupText(data, 0);
    if (!type) return false;
    if (std::strcmp(type, "POLYLINE") == 0) return true;
    const resbuf* attributesFollow = findGroup(const_cast<resbuf*>(data), 66);
    return std::strcmp(type, "INSERT") == 0 && attributesFollow && attributesFollow->resval.rint == 1;
}

void reportErrno() {
    resbuf errnoValue{};
    if (ads_getvar("ERRNO", &errnoValue) == RTNORM) ads_printf("Error code is %d.\n", errnoValue.resval.rint);
}

// Walks the vertices or attributes that follow a complex entity's header,
// up to and including its SEQEND: copies them onto the target layers, or
// moves them there. False when a sub-entity cannot be read, made or changed.
bool relayerComplex(const ads_name header, const TargetModifiers& modifiers, RelayerMode mode) {
    ads_name current = {header[0], header[1]};
    while (true) {
        ads_name next;
        if (ads_entnext(current, next) != RTNORM) return false;
        ResbufList data(ads_entget(next));
        if (!data) return false;
        resbuf* layerItem = findGroup(data.get(), 8);
        std::string layer = layerItem && layerItem->resval.rstring ? layerItem->resval.rstring : "";
        std::optional<std::string> target = layerItem ? targetLayer(layer, modifiers) : std::nullopt;
        if (target && !fitsLayerBuffer(*target)) return false;
        if (mode == RelayerMode::Copy) {
            if (target && !storeItemText(layerItem, *target)) return false;
            if (ads_entmake(data.get()) != RTNORM) return false;
        } else if (target && upperLetters(*target) != layer) {
            std::string upper = upperLetters(*target);
            EnsureLayerLike(layer, upper);
            if (!storeItemText(layerItem, upper) || ads_entmod(data.get()) != RTNORM) return false;
        }
        const char* type = groupText(data.get(), 0);
        if (type && std::strcmp(type, "SEQEND") == 0) return true;
        ads_name_set(next, current);
    }
}

// The user's selection and the two modifiers; nothing when the command ends.
struct CommandStart {
    SelectionSet selection;
    long count = 0;
    TargetModifiers modifiers;
};

bool startCommand(CommandStart& start) {
    if (start.selection.select(nullptr, nullptr, nullptr, nullptr) != RTNORM) return false;
    start.count = start.selection.length();
    if (start.count < 0) {
        ZAN_ERROR_AT(kModuleMacros);
        return false;
    }
    if (start.count == 0) {
        ads_printf("No entities found.");
        return false;
    }
    std::optional<TargetModifiers> modifiers = askModifiers();
    if (!modifiers) return false;
    start.modifiers = std::move(*modifiers);
    return true;
}

// Copies one entity with the extended data of every application; false
// when the command must end without dragging.
bool copyOne(const ads_name entity, const TargetModifiers& modifiers, SelectionSet& copies) {
    ResbufList everyApplication(ads_buildlist(RTSTR, "*", 0));
    ResbufList data(ads_entgetx(entity, everyApplication.get()));
    if (!data) {
        ZAN_ERROR_AT(kModuleMacros);
        return false;
    }
    if (!relayer(data.get(), modifiers)) return false;
    if (ads_entmake(data.get()) != RTNORM) {
        ZAN_ERROR_AT(kModuleMacros);
        reportErrno();
        return false;
    }
    if (isComplex(data.get()) && !relayerComplex(entity, modifiers, RelayerMode::Copy)) {
        ads_printf("Complex Entity was unable to be copied.\n");
        ads_entmake(nullptr);
    }
    ads_name last;
    if (ads_entlast(last) == RTNORM) copies.add(last);
    return true;
}

bool moveOne(const ads_name entity, const TargetModifiers& modifiers) {
    ResbufList data(ads_entget(entity));
    if (!data) {
        ZAN_ERROR_AT(kModuleMacros);
        return false;
    }
    if (!relayer(data.get(), modifiers)) return false;
    if (ads_entmod(data.get()) != RTNORM) {
        ZAN_ERROR_AT(kModuleMacros);
        reportErrno();
        return false;
    }
    if (isComplex(data.get()) && !relayerComplex(entity, modifiers, RelayerMode::Move)) {
        messageBox("Complex Entity was unable to be moved.\n", tk::MB_OK);
        ads_entmake(nullptr);
    }
    return true;
}

}  // namespace

int copytomodCommand() {
    CommandStart start;
    if (!startCommand(start)) return RTNORM;
    SelectionSet copies;
    for (long i = 0; i < start.count; ++i) {
        ads_name entity;
        if (!start.selection.member(i, entity) || !copyOne(entity, start.modifiers, copies)) return RTNORM;
    }
    if (copies.length() > 0) dragSelection(copies.name());
    return RTNORM;
}

int movetomodCommand() {
    CommandStart start;
    if (!startCommand(start)) return RTNORM;
    for (long i = 0; i < start.count; ++i) {
        ads_name entity;
        if (!start.selection.member(i, entity) || !moveOne(entity, start.modifiers)) return RTNORM;
    }
    dragSelection(start.selection.name());
    return RTNORM;
}

}  // namespace zan
