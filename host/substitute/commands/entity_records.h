// Entities as the host's commands make, copy and walk them: a complex
// entity (a POLYLINE with its VERTEX records, an INSERT with its ATTRIB
// records) is followed in the drawing's entity list by its sub-entities up
// to a SEQEND, and moves, copies and erasures take them along.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "db/database.h"

namespace host {

class Host;

using Coord3 = std::array<double, 3>;

// The entity and, for a complex entity, the sub-entities that follow it up
// to and including its SEQEND, from the list that holds it (the drawing's
// entities or a block definition's).
std::vector<RecordId> entityWithSubEntities(const Database& db, RecordId id);

// The entities with each sub-entity replaced by its complex entity, once
// each, in the order first met.
std::vector<RecordId> topLevelEntities(const Database& db, const std::vector<RecordId>& ids);

// Whether an entity is followed by sub-entities: a POLYLINE, or an INSERT
// with attributes (group 66 = 1).
bool hasSubEntities(const Record& entity);

// A record's type and groups made ready to be stored as a new entity: no
// handle, owner, reactors or extension dictionary of the original (those
// belong to the record it was copied from). Extended data is kept.
Record copyForNewEntity(const Record& source);

// Stores a prepared entity record in model or paper space: the space group
// (67) is set to match, the owner group (330) and subclass markers added.
RecordId addEntityToSpace(Database& db, Record entity, bool paperSpace);

// A new entity of `type` with the given data groups, on the current layer,
// in the current space. Returns its id.
RecordId addNewEntity(Host& host, const std::string& type, const GroupList& data);

// The point groups (x at `code`, then y and z) of a record as a point; z 0
// when the record has none.
Coord3 pointGroup(const Record& record, int code);
// Sets (or appends) the point groups `code`, `code`+10 and `code`+20.
void setPointGroup(Record& record, int code, const Coord3& p);

}  // namespace host
