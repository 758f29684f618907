// "Select object: " style prompts that take one object: a point picks the
// nearest entity, an application may hand an entity name; keywords and
// Enter are reported to the caller.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/entity_records.h"
#include "core/command_processor.h"

namespace host {

struct ObjectPick {
    RecordId entity = kNoRecord;  // the object (for a vertex, its polyline)
    Coord3 point{};               // where it was picked (the entity's first point for a name handed in)
    std::string keyword;          // a keyword of the list, when one was typed
    bool enter = false;           // Enter: nothing picked
};

// Asks until an object is picked, a keyword given or Enter pressed. A pick
// that finds nothing says "0 found" and asks again.
ObjectPick pickObject(CommandContext& c, std::string_view prompt, const std::vector<std::string>& keywords = {});

// A point, a keyword of `keywords` (returned in `keyword`) or Enter.
struct PointOrKeyword {
    std::optional<Coord3> point;
    std::string keyword;
};
PointOrKeyword pointOrKeyword(CommandContext& c, std::string_view prompt, const std::vector<std::string>& keywords);

}  // namespace host
