// Block definitions made by the host's commands: INSERT from a drawing
// file, COPY of a dimension (which draws through its own anonymous block).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/entity_records.h"

namespace host {

// Defines a block, or redefines one of the same name (its old entities are
// erased): the BLOCK and ENDBLK records, the block record, and the entities
// (records prepared with copyForNewEntity, in order, sub-entities included).
BlockDefinition& defineBlock(Database& db, const std::string& name, const Coord3& base, int flags,
                             std::vector<Record> entities);

// The first free name of an anonymous block of a kind ("*D" for
// dimensions, "*U" for others): the prefix and a number.
std::string freeAnonymousName(const Database& db, std::string_view prefix);

// A copy of a DIMENSION record (about to be stored) draws through a copy of
// the original's anonymous block, so that moving either leaves the other.
void giveOwnDimensionBlock(Database& db, Record& dimension);

// Copies of a block's entities, ready for defineBlock.
std::vector<Record> copiesOfBlockEntities(const Database& db, const BlockDefinition& block);

}  // namespace host
