// ZANPoche: fills a wall drawn as two parallel lines with a wide polyline on
// the current level's poche layer. The picked wall line is offset by half
// the wall's width to the centre line, the copy becomes a polyline a little
// narrower than the wall, and it goes onto the poche layer; then the next wall.
#include <cstring>
#include <string>

#include "ads/adslib.h"
#include "levels/level_layers.h"
#include "shell/commands.h"
#include "shell/host_lists.h"
#include "shell/host_values.h"
#include "shell/state.h"

namespace zan {

namespace {

// How a wall line becomes a polyline: lines and arcs are turned into one
// first; polylines (and the vertices of old-style ones) already are.
enum class WallKind { NotAWall, LineOrArc, Polyline };

WallKind kindOf(const char* type) {
    if (!type) return WallKind::NotAWall;
    if (std::strcmp(type, "LINE") == 0 || std::strcmp(type, "ARC") == 0) return WallKind::LineOrArc;
    if (std::strcmp(type, "VERTEX") == 0 || std::strcmp(type, "LWPOLYLINE") == 0) return WallKind::Polyline;
    return WallKind::NotAWall;
}

struct WallPick {
    ads_name entity;
    ads_point point;
    WallKind kind = WallKind::NotAWall;
};

// Asks until a line or polyline outside any block reference is picked;
// false when the user cancels or picks nothing.
bool pickWall(WallPick& pick) {
    while (true) {
        ads_matrix matrix;
        resbuf* chain = nullptr;
        if (ads_nentselp("\nSelect line or polyline:", pick.entity, pick.point, 0, matrix, &chain) != RTNORM)
            return false;
        ResbufList containers(chain);
        if (!containers) {
            ResbufList data(ads_entget(pick.entity));
            pick.kind = kindOf(groupText(data.get(), 0));
            if (pick.kind != WallKind::NotAWall) return true;
        }
        ads_printf("Entity does not appear to be a line or polyline \n");
    }
}

// Offsets, widens and relayers one wall; false when the command ends.
bool pocheWall(const WallPick& wall, const ads_point side) {
    ShellState& s = state();
    setCmdEcho(false);  // left off when the command ends
    if (ads_command(RTSTR, "offset", RTREAL, s.pocheWallWidth * 0.5, RT3DPOINT, wall.point, RT3DPOINT, side, RTSTR,
                    "", 0) != RTNORM)
        return false;
    ads_name copy;
    if (ads_entlast(copy) != RTNORM) return false;
    double width = s.pocheWallWidth - 2 * s.pocheInset;
    if (wall.kind == WallKind::Polyline)
        ads_command(RTSTR, "pedit", RTENAME, copy, RTSTR, "w", RTREAL, width, RTSTR, "x", 0);
    else
        ads_command(RTSTR, "pedit", RTENAME, copy, RTSTR, "y", RTSTR, "w", RTREAL, width, RTSTR, "x", 0);
    ads_name polyline;
    if (ads_entlast(polyline) != RTNORM) return false;
    ResbufList data(ads_entget(polyline));
    if (!data) return false;
    std::string layer;
    if (!ComposeLevelLayer(s.pocheRootName, layer)) {
        ads_printf("\nCurrent Level does not have a %s layer or it is not thawed.\n", s.pocheRootName.c_str());
        return false;
    }
    return storeItemText(findGroup(data.get(), 8), layer) && ads_entmod(data.get()) == RTNORM;
}

}  // namespace

int pocheCommand() {
    ShellState& s = state();
    ads_initget(RSG_NOZERO | RSG_NONEG, nullptr);
    ads_printf("What is the width of the wall <%3.2f>:", s.pocheWallWidth);
    ads_getreal("", &s.pocheWallWidth);  // Enter or cancel keeps the width
    while (true) {
        WallPick wall;
        if (!pickWall(wall)) return RTNORM;
        ads_redraw(wall.entity, 3);
        ads_point side;
        if (ads_getpoint(nullptr, "\nPick side to offset to:", side) != RTNORM) return RTNORM;
        if (!pocheWall(wall, side)) return RTNORM;
    }
}

}  // namespace zan
