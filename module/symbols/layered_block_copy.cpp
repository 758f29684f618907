#include "symbols/layered_block_copy.h"

#include "ads/adslib.h"
#include "levels/level_layers.h"
#include "levels/levels.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "shell/report.h"
#include "shell/services.h"
#include "shell/state.h"
#include "tk/platform.h"

#define ZAN_COPY_ERROR() ads_printf("ERROR: %s, %d\n", kModuleMacros, __LINE__)

namespace zan {

namespace {

bool blockExists(const std::string& name) { return ResbufList(ads_tblsearch("BLOCK", name.c_str(), 0)) != nullptr; }

// Ends the block definition the host holds open, without making it.
void cancelDefinition() { ads_entmake(nullptr); }

bool tooLong(const std::string& name) {
    if (name.size() <= kLayerNameLimit) return false;
    messageBox("The name  " + name + "  is longer than 127 characters.\n", tk::MB_OK);
    return true;
}

// The entity data from its type (group 0) on: the entity name and what
// else ads_entget puts before it are no part of a new entity.
const resbuf* fromEntityType(const resbuf* data) {
    for (const resbuf* item = data; item; item = item->rbnext)
        if (item->restype == 0) return item;
    return data;
}

// Makes the copy's entities, each moved to the level's layer; false when the
// host refused one (reported) or a layer name was too long. `moved` counts
// the entities that left layer "0".
bool copyEntities(const ads_name first, int& moved) {
    const std::string& prefix = state().activeModifierPrefix;
    ads_name entity;
    ads_name_set(first, entity);
    for (bool more = !ads_name_nil(entity); more; more = ads_entnext(entity, entity) == RTNORM) {
        ResbufList data(ads_entget(entity));
        if (!data) break;
        resbuf* layer = findGroup(data.get(), 8);
        if (layer && layer->resval.rstring && std::string(layer->resval.rstring) != "0") {
            ++moved;
            const std::string old = layer->resval.rstring;
            const std::string level = prefix + rootNameOf(old);
            if (tooLong(level)) return false;
            EnsureLayerLike(old, level);
            if (!storeItemText(layer, level)) {
                ZAN_COPY_ERROR();
                return false;
            }
        }
        if (ads_entmake(fromEntityType(data.get())) != RTNORM) {
            ZAN_COPY_ERROR();
            return false;
        }
    }
    return true;
}

}  // namespace

std::string LayeredBlockCopy(const std::string& block) {
    const std::string copy = state().activeModifierPrefix + block;
    if (blockExists(copy)) return copy;
    ResbufList record(ads_tblsearch("BLOCK", block.c_str(), 0));
    if (!record) return block;
    if (tooLong(copy)) return block;

    for (int code : {2, 3})
        if (resbuf* name = findGroup(record.get(), code); name && !storeItemText(name, copy)) {
            ZAN_COPY_ERROR();
            return block;
        }
    if (ads_entmake(fromEntityType(record.get())) != RTNORM) {
        ZAN_COPY_ERROR();
        return block;
    }
    resbuf* first = findGroup(record.get(), -2);
    int moved = 0;
    if (!first || !copyEntities(first->resval.rlname, moved) || moved == 0) {
        cancelDefinition();
        return block;
    }
    ResbufList end(ads_buildlist(RTDXF0, "ENDBLK", 0));
    if (!end) {
        ZAN_COPY_ERROR();
        cancelDefinition();
        return block;
    }
    if (ads_entmake(end.get()) != RTKWORD) {
        ZAN_COPY_ERROR();
        resbuf error{};
        if (ads_getvar("ERRNO", &error) == RTNORM) ads_printf("Error code is %d.\n", error.resval.rint);
        cancelDefinition();
        return block;
    }
    return copy;
}

}  // namespace zan
