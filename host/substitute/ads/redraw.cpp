// ads_redraw: drawing, hiding and highlighting entities.
//
// The host keeps each entity's display state (hidden by mode 2,
// highlighted by mode 3) and shows every change in the transcript:
//   [redraw]                    the whole drawing redrawn (hidden entities show again)
//   [redraw] LINE 2F            mode 1: the entity drawn again
//   [undraw] LINE 2F            mode 2: the entity hidden
//   [highlight] LINE 2F         mode 3: the entity highlighted
//   [unhighlight] LINE 2F       mode 4: the highlight removed
// with the entity's type and handle. Modes 2 to 4 print only when the
// state changes. A positive mode on a polyline or a reference with
// attributes acts on its sub-entities too, a negative one on the header
// alone.
#include <cstdint>
#include <cstdlib>
#include <unordered_map>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"
#include "geometry/transform.h"

using host::RecordId;
using host::Host;
using host::ads::theHost;

namespace {

enum : std::uint8_t { kHidden = 1, kHighlighted = 2 };

struct DisplayStates {
    std::uint64_t drawing = 0;  // the serial of the drawing the states belong to
    std::unordered_map<RecordId, std::uint8_t> flags;
};

std::unordered_map<RecordId, std::uint8_t>& statesOf(const host::Database& db) {
    static DisplayStates states;
    if (states.drawing != db.serial()) {
        states.drawing = db.serial();
        states.flags.clear();
    }
    return states.flags;
}

}  // namespace

namespace host::ads {

bool highlighted(const Database& db, RecordId id) {
    auto& states = statesOf(db);
    auto it = states.find(id);
    return it != states.end() && (it->second & kHighlighted);
}

}  // namespace host::ads

extern "C" {

int ads_redraw(const ads_name entity, int mode) {
    if (!theHost()) return RTERROR;
    Host& h = *theHost();
    host::Database& db = h.db();
    auto& states = statesOf(db);
    if (!entity || ads_name_nil(entity)) {
        for (auto& [id, flag] : states) flag &= static_cast<std::uint8_t>(~kHidden);
        h.print("[redraw]\n");
        return RTNORM;
    }
    RecordId id = host::recordOfName(db, entity);
    int action = std::abs(mode);
    if (id == host::kNoRecord || db.at(id).erased || action < 1 || action > 4) return RTERROR;
    std::vector<RecordId> affected{id};
    if (mode > 0)
        for (RecordId sub : host::subEntities(db, id)) affected.push_back(sub);
    std::uint8_t before = states.count(id) ? states[id] : 0;
    for (RecordId target : affected) {
        std::uint8_t& flag = states[target];
        switch (action) {
            case 1: flag &= static_cast<std::uint8_t>(~kHidden); break;
            case 2: flag |= kHidden; break;
            case 3: flag |= kHighlighted; break;
            case 4: flag &= static_cast<std::uint8_t>(~kHighlighted); break;
        }
    }
    static const char* const names[] = {"", "redraw", "undraw", "highlight", "unhighlight"};
    if (action == 1 || states[id] != before) {
        const host::Record& r = db.at(id);
        h.printf("[%s] %s %s\n", names[action], r.type.c_str(), host::formatHandle(r.handle).c_str());
    }
    return RTNORM;
}

}  // extern "C"
