// layerview, layerfilter and xreflist: seeing what lies on a layer, and what
// an entity inside a block reference is, without changing the drawing.
#include <string>

#include "ads/adslib.h"
#include "shell/commands.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "shell/report.h"

namespace zan {

namespace {

// A filter of one item: entities on `layer`.
ResbufList layerFilter(const std::string& layer) { return ResbufList(ads_buildlist(8, layer.c_str(), 0)); }

// Highlights (mode 3) or unhighlights (mode 4) every member in set order;
// false when a member cannot be fetched.
bool redrawMembers(const SelectionSet& set, long count, int mode) {
    for (long i = 0; i < count; ++i) {
        ads_name entity;
        if (!set.member(i, entity)) {
            ZAN_ERROR_IN(kModuleLayers);
            return false;
        }
        ads_redraw(entity, mode);
    }
    return true;
}

// The linetype and colour lines of an entity's listing; a container says
// "BYLAYER." with a full stop where the entity itself says "BYLAYER".
void printLinetypeAndColor(const resbuf* data, const char* byLayerColor) {
    if (const char* linetype = groupText(data, 6))
        ads_printf("LINETYPE -> %s \n", linetype);
    else
        ads_printf("LINETYPE -> BYLAYER\n");
    if (const resbuf* color = findGroup(const_cast<resbuf*>(data), 62))
        ads_printf("COLOR -> %d \n", color->resval.rint);
    else
        ads_printf("%s", byLayerColor);
}

constexpr int kMostContainersListed = 11;

}  // namespace

int layerviewCommand() {
    std::string layer = textVariable("CLAYER").value_or("");
    ads_printf("Current Layer is  %s\n", layer.c_str());
    ResbufList filter = layerFilter(layer);
    SelectionSet set;
    int status = set.select("X", nullptr, nullptr, filter.get());
    if (status != RTNORM) {
        if (status == RTCAN)
            ads_printf("Function canceled.\n");
        else
            ads_printf("No entities found on %s layer.  Nothing to show.\n", layer.c_str());
        return RTNORM;
    }
    long count = set.length();
    ads_printf("%ld Entities found on layer %s\n", count, layer.c_str());
    if (!redrawMembers(set, count, 3)) return RTNORM;
    int ignored = 0;
    ads_getint("\nHit return to continue.", &ignored);
    redrawMembers(set, count, 4);
    return RTNORM;
}

int layerfilterCommand() {
    std::string layer = textVariable("CLAYER").value_or("");
    ResbufList filter = layerFilter(layer);
    ads_printf("\nFiltering for current layer...");
    SelectionSet set;
    if (set.select(nullptr, nullptr, nullptr, filter.get()) != RTNORM || set.length() <= 0) {
        ads_printf("No entities found on current layer.\n");
        return RTNORM;
    }
    ads_printf("%d Entities Found.\n", static_cast<int>(set.length()));
    filter.reset();
    set.release();
    // The command waiting at its object selection takes the set just made.
    ads_command(RTSTR, "p", 0);
    ads_printf("Exiting Filter.");
    return RTNORM;
}

int xreflistCommand() {
    ads_name entity;
    ads_point pick;
    ads_matrix matrix;
    resbuf* chain = nullptr;
    if (ads_nentselp("Select entity to list.\n", entity, pick, 0, matrix, &chain) != RTNORM) {
        ads_printf("Function Canceled.\n");
        return RTNORM;
    }
    ResbufList containers(chain);
    if (!containers) {
        ads_printf("Entity must be in a block or xref.\n");
        return RTNORM;
    }
    ResbufList data(ads_entget(entity));
    const char* type = groupText(data.get(), 0);
    const char* layer = groupText(data.get(), 8);
    if (!type || !layer) {
        ZAN_ERROR_AT(kModuleMacros);
        return RTNORM;
    }
    ads_textscr();
    ads_printf("ENTITY -> %s \n", type);
    if (const char* name = groupText(data.get(), 2)) ads_printf("NAME -> %s \n", name);
    ads_printf("LAYER -> %s \n", layer);
    printLinetypeAndColor(data.get(), "COLOR -> BYLAYER\n");

    int listed = 0;
    for (const resbuf* link = containers.get(); link && listed < kMostContainersListed; link = link->rbnext) {
        if (link->restype != RTENAME) continue;
        ResbufList reference(ads_entget(link->resval.rlname));
        const char* referenceType = groupText(reference.get(), 0);
        const char* referenceLayer = groupText(reference.get(), 8);
        if (!referenceType || !referenceLayer) {
            ZAN_ERROR_AT(kModuleMacros);
            return RTNORM;
        }
        ads_printf("The previous entity is contained in:\n");
        ads_printf("ENTITY -> %s \n", referenceType);
        ads_printf("LAYER -> %s \n", referenceLayer);
        printLinetypeAndColor(reference.get(), "COLOR -> BYLAYER.\n");
        ++listed;
    }
    return RTNORM;
}

}  // namespace zan
