// Selection sets, selection filters and picking entities by point and window.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ads/adsdef.h"
#include "core/command_processor.h"
#include "db/database.h"

namespace host {

class SelectionSets {
public:
    std::int64_t create(std::vector<RecordId> members);
    std::vector<RecordId>* find(std::int64_t id);
    bool release(std::int64_t id);
    std::size_t openCount() const { return sets_.size(); }
    // The members of the last selection made (the "Previous" option).
    std::vector<RecordId>& previous() { return previous_; }

private:
    std::map<std::int64_t, std::vector<RecordId>> sets_;
    std::int64_t nextId_ = 1;
    std::vector<RecordId> previous_;
};

// Whether an entity passes a selection filter (an ads filter list:
// groups with values, wildcards on texts, -4 logic and relational operators,
// -3 extended data applications).
bool passesFilter(const Database& db, const Record& entity, const resbuf* filter);

// The entities of a space that can be selected (vertices, attributes and
// the paper sheet's viewport are parts of others), for ALL.
std::vector<RecordId> entitiesOfSpace(const Database& db, bool paperSpace);

// The visible entity nearest a picked point within the pick aperture, or
// none (geometry/pick.h gives the rule).
RecordId pickEntity(const Database& db, bool paperSpace, double x, double y, const resbuf* filter);
// Visible entities inside a window (all of them inside), or inside or
// crossing it when `crossing`.
std::vector<RecordId> windowEntities(const Database& db, bool paperSpace, std::array<double, 3> a,
                                     std::array<double, 3> b, bool crossing, const resbuf* filter);

// The complex entity a VERTEX, ATTRIB or SEQEND belongs to (its POLYLINE or
// INSERT); any other entity stands for itself.
RecordId headerOf(const Database& db, RecordId id);

// Interactive selection: "Select objects: " until Enter, with point picks,
// Window, Crossing, BOX, ALL, Last, Previous (the set the last selection
// made, by a command or an application), Add, Remove and Undo, and
// selection sets or entities handed in. Each step reports "N found".
// `next` supplies inputs and returns nothing on cancel.
struct SelectionReader {
    const Database& db;
    bool paperSpace = false;
    const resbuf* filter = nullptr;
    // The previous set as it is when "P" is typed: an application run at
    // this prompt (a transparent command) may have made a new one.
    const std::vector<RecordId>& previous;
    RecordId last = kNoRecord;
    std::function<std::optional<CommandInput>(std::string_view prompt)> next;
    std::function<void(std::string_view)> print;

    // The selected entities, or nothing when cancelled.
    std::optional<std::vector<RecordId>> read(std::string_view prompt);
};

}  // namespace host
