#include "shell/init_object.h"

#include <cstring>

#include "laycfg/configuration_reload.h"
#include "levels/level_removal.h"
#include "shell/command_echo.h"
#include "shell/host_lists.h"
#include "shell/report.h"
#include "shell/services.h"
#include "shell/state.h"
#include "tk/platform.h"

namespace zan {

namespace {

constexpr std::size_t kValueBuffer = 128;  // texts are at most 127 characters

// A value copied into a 128-byte buffer, cut rather than overrun.
std::string bounded(const std::string& text) { return text.substr(0, kValueBuffer - 1); }

ResbufList markerFilter(const char* blockName) {
    return ResbufList(ads_buildlist(RTDXF0, "INSERT", 2, blockName, 0));
}

ResbufList applicationList() { return ResbufList(ads_buildlist(RTSTR, kApplicationName, 0)); }

// The item after the first 1000 group whose text is `key`, or null.
resbuf* valueOfKey(resbuf* list, const char* key) {
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1000 && rb->resval.rstring && std::strcmp(rb->resval.rstring, key) == 0)
            return rb->rbnext;
    return nullptr;
}

std::string textOf(const resbuf* rb) { return rb && rb->resval.rstring ? rb->resval.rstring : ""; }

// Stores `text` into a host list's text item, growing it when longer.
bool storeText(resbuf* item, const std::string& text) {
    if (!item || item->restype != 1000) return false;
    std::size_t stored = item->resval.rstring ? std::strlen(item->resval.rstring) : 0;
    if (text.size() > stored || !item->resval.rstring) {
        char* grown = static_cast<char*>(acad_realloc(item->resval.rstring, text.size() + 1));
        if (!grown) return false;
        item->resval.rstring = grown;
    }
    std::memcpy(item->resval.rstring, text.c_str(), text.size() + 1);
    return true;
}

enum class Pick { First, Last };

// What a selection that fails prints.
enum class OnNoSelection { Silent, FilterFindsNothing, NoInitializationEntities };

// Selects every entity of the drawing that passes `filter`. The number
// selected, or -1 after a failed selection or count, reported as the caller asks.
long selectEverything(SelectionSet& set, const resbuf* filter, const char* module, OnNoSelection onNone) {
    if (set.select("X", nullptr, nullptr, filter) != RTNORM) {
        if (onNone == OnNoSelection::FilterFindsNothing) ZAN_FILTER_FINDS_NOTHING(module);
        if (onNone == OnNoSelection::NoInitializationEntities) ads_printf("No initialization entities found.\n");
        return -1;
    }
    long count = set.length();
    if (count < 0) ZAN_ERROR_AT(module);
    return count;
}

// Selects the marker for a setter and fetches it with its extended data;
// null after reporting a failure.
ResbufList fetchMarkerForUpdate(Pick pick) {
    SelectionSet set;
    ResbufList filter = markerFilter(kInitBlockName);
    long count = selectEverything(set, filter.get(), kModuleShell, OnNoSelection::FilterFindsNothing);
    if (count < 0) return nullptr;
    if (count == 0) {
        ads_printf("No entities found.");
        return nullptr;
    }
    if (count > 1)
        ads_printf(pick == Pick::First
                       ? "More than one initialization entity found.\n Using the first one found.\n"
                       : "More than one initialization entity found.\n Using the last one created.\n");
    ads_name marker;
    if (!set.member(pick == Pick::First ? 0 : count - 1, marker)) {
        ZAN_ERROR_AT(kModuleShell);
        return nullptr;
    }
    ResbufList apps = applicationList();
    if (!apps) {
        ZAN_ERROR_AT(kModuleShell);
        return nullptr;
    }
    ResbufList entity(ads_entgetx(marker, apps.get()));
    if (!entity) ZAN_ERROR_AT(kModuleShell);
    return entity;
}

// Stores a value under its key and writes the marker back; true when the
// host accepted the change.
bool updateMarkerValue(const char* key, const std::string& text, Pick pick, int rows = 0) {
    ResbufList entity = fetchMarkerForUpdate(pick);
    if (!entity) return false;
    if (resbuf* value = valueOfKey(entity.get(), key)) {
        storeText(value, bounded(text));
        if (rows > 0 && value->rbnext && value->rbnext->restype == 1070)
            value->rbnext->resval.rint = static_cast<short>(rows);
    }
    return ads_entmod(entity.get()) == RTNORM;
}

}  // namespace

bool readInitObject() {
    ShellState& s = state();
    SelectionSet set;
    ResbufList filter = markerFilter(kInitBlockName);
    long count = selectEverything(set, filter.get(), kModuleMacros, OnNoSelection::Silent);
    if (count < 0) return false;
    if (count == 0) {
        ads_printf("No entities found.");
        return false;
    }
    if (count > 1) ads_printf("More than one initialization entity found.\n Using the first one found.\n");

    ResbufList apps = applicationList();
    if (!apps) {
        ZAN_ERROR_AT(kModuleMacros);
        return false;
    }
    ads_name marker;
    set.member(0, marker);
    ResbufList entity(ads_entgetx(marker, apps.get()));
    if (!entity) {
        ZAN_ERROR_AT(kModuleMacros);
        return false;
    }

    resbuf* version = valueOfKey(entity.get(), kKeyVersion);
    bool update = !version || textOf(version) != kRecordVersion;
    if (resbuf* v = valueOfKey(entity.get(), kKeyLevelBitmapDirectory)) {
        s.levelBitmapDirectory = bounded(textOf(v));
        if (v->rbnext && v->rbnext->restype == 1070) s.levelBarRows = v->rbnext->resval.rint;
    }
    if (resbuf* v = valueOfKey(entity.get(), kKeyConfigFilesDirectory)) s.configFilesDirectory = bounded(textOf(v));
    if (resbuf* v = valueOfKey(entity.get(), kKeyLayerConfigFile)) s.layerConfigFile = bounded(textOf(v));
    if (resbuf* v = valueOfKey(entity.get(), kKeyModifierFile)) s.modifierFile = bounded(textOf(v));
    entity.reset();
    apps.reset();
    set.release();

    if (update) {
        ads_printf("\nUpdating drawing to version %s.\n", kRecordVersion);
        deleteInitObject();
        createInitObject();
    }
    return true;
}

bool createInitObject() {
    ShellState& s = state();
    const std::string levelBitmapDirectory = bounded(s.levelBitmapDirectory);
    const std::string configFilesDirectory = bounded(s.configFilesDirectory);
    const std::string layerConfigFile = bounded(s.layerConfigFile);
    const std::string modifierFile = bounded(s.modifierFile);
    const std::string version = kRecordVersion;

    if (ResbufList existing(ads_tblsearch("BLOCK", kInitBlockName, 0)); !existing) {
        ads_point origin = {0.0, 0.0, 0.0};
        ResbufList begin(ads_buildlist(RTDXF0, "BLOCK", 2, kInitBlockName, 70, 0, 10, origin, 0));
        if (!begin) {
            ZAN_UNABLE_TO_BUILD(kModuleMacros);
            return false;
        }
        if (ads_entmake(begin.get()) != RTNORM) {
            ZAN_UNABLE_TO_MAKE(kModuleMacros);
            return false;
        }
        ResbufList end(ads_buildlist(RTDXF0, "ENDBLK", 0));
        if (!end) {
            ZAN_UNABLE_TO_BUILD(kModuleMacros);
            return false;
        }
        if (ads_entmake(end.get()) != RTKWORD) {
            ZAN_UNABLE_TO_MAKE(kModuleMacros);
            return false;
        }
    }

    ensureModelSpace();

    ads_point origin = {0.0, 0.0, 0.0};
    ResbufList marker(ads_buildlist(
        RTDXF0, "INSERT", 2, kInitBlockName, 10, origin, 41, 1.0, 42, 1.0, 43, 1.0, 50, 0.0, -3, 1001,
        kApplicationName, 1000, kKeyVersion, 1000, version.c_str(), 1000, kKeyLevelBitmapDirectory, 1000,
        levelBitmapDirectory.c_str(), 1070, static_cast<int>(static_cast<short>(s.levelBarRows)), 1000,
        kKeyConfigFilesDirectory, 1000, configFilesDirectory.c_str(), 1000, kKeyLayerConfigFile, 1000,
        layerConfigFile.c_str(), 1000, kKeyModifierFile, 1000, modifierFile.c_str(), 0));
    if (!marker) {
        ZAN_UNABLE_TO_BUILD(kModuleMacros);
        return false;
    }
    if (ads_entmake(marker.get()) != RTNORM) {
        ZAN_UNABLE_TO_MAKE(kModuleMacros);
        return false;
    }
    return true;
}

bool deleteInitObject() {
    ensureModelSpace();
    SelectionSet set;
    ResbufList filter = markerFilter(kInitBlockName);
    long count = selectEverything(set, filter.get(), kModuleMacros, OnNoSelection::NoInitializationEntities);
    if (count < 0) return false;
    if (count == 0) {
        ads_printf("No entities found.");
        return false;
    }
    ads_name first;
    set.member(0, first);
    CommandEchoOff echoOff;
    return ads_entdel(first) == RTNORM;
}

bool setLayerConfigFile(const std::string& text, int reload) {
    ShellState& s = state();
    if (text == s.layerConfigFile) return true;
    s.layerConfigFile = text;
    if (!updateMarkerValue(kKeyLayerConfigFile, text, Pick::First)) return false;
    if (reload == 1) {
        destroyAll(s.layerConfigurations);
        reloadLayerConfigurations();
    }
    return true;
}

bool setModifierFile(const std::string& text) {
    ShellState& s = state();
    if (text == s.modifierFile) return true;
    s.modifierFile = text;
    return updateMarkerValue(kKeyModifierFile, text, Pick::First);
}

bool setLevelBitmapDirectory(const std::string& text, int rows) {
    ShellState& s = state();
    s.levelBitmapDirectory = text;
    if (rows > 0) s.levelBarRows = rows;
    return updateMarkerValue(kKeyLevelBitmapDirectory, text, Pick::Last, rows);
}

namespace {

// Selects the active viewport; its number (group 69), or 0 after a report.
int activeViewportNumber() {
    SelectionSet set;
    ResbufList filter(ads_buildlist(RTDXF0, "VIEWPORT", 68, 1, 0));
    long count = selectEverything(set, filter.get(), kModuleMacros, OnNoSelection::FilterFindsNothing);
    if (count < 0) return 0;
    if (count != 1) {
        ads_printf("Wrong number of entities.\n");
        return 0;
    }
    ads_name viewport;
    set.member(0, viewport);
    ResbufList entity(ads_entget(viewport));
    resbuf* number = findGroup(entity.get(), 69);
    return number ? number->resval.rint : 0;
}

}  // namespace

bool ensureModelSpace() {
    resbuf tilemode{};
    if (ads_getvar("TILEMODE", &tilemode) == RTNORM && tilemode.restype == RTSHORT && tilemode.resval.rint == 1)
        return true;
    int number = activeViewportNumber();
    if (number == 0) return false;
    if (number != 1) return true;
    // Paper space is current: try a floating viewport first.
    {
        CommandEchoOff echoOff;
        ads_command(RTSTR, "_.MSPACE", 0);
    }
    number = activeViewportNumber();
    if (number == 0) return false;
    if (number == 1) {
        ads_printf("\nSwitching to TILEMODE 1 for initialization.");
        CommandEchoOff echoOff;
        ads_command(RTSTR, "TILEMODE", RTSTR, "1", 0);
    }
    return true;
}

int clearinitCommand() {
    deleteInitObject();
    resetInitObjectValues();
    return RTNORM;
}

int clearlevCommand() {
    ShellState& s = state();
    if (s.modifierBarWindow) {
        messageBox("Cannot delete levels while levelbar is active.", tk::MB_OK);
        returnFocusToHost();
        return RTNORM;
    }
    clearLevelList();
    ensureModelSpace();
    SelectionSet set;
    ResbufList filter = markerFilter(kLevelBlockName);
    long count = selectEverything(set, filter.get(), kModuleMacros, OnNoSelection::Silent);
    if (count < 0) return RTNORM;
    if (count == 0) {
        ads_printf("No entities found.");
        return RTNORM;
    }
    CommandEchoOff echoOff;
    ads_command(RTSTR, "erase", RTPICKS, set.name(), RTSTR, "", 0);
    return RTNORM;
}

}  // namespace zan
