// Shared between the DXF reader, the writer and the new-drawing builder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"

namespace host::dxf {

// The typed value that a header variable's groups hold for a system variable.
std::optional<VarValue> headerValue(const SystemVariable& variable, const GroupList& groups);

// The header groups for a system variable's value; `like` (the groups the
// file had, possibly empty) gives the group codes to use.
GroupList headerGroups(const SystemVariable& variable, const GroupList& like);

// Adds what a drawing of its version needs and a partial file may lack:
// model and paper space blocks (with block records), layer 0, the standard
// linetypes, the ACAD application, and for R2000 and later the objects
// (root dictionary, groups, layouts).
void completeDrawing(Database& db);

// The paper space block of a drawing, or null (without creating one).
const BlockDefinition* findSpace(const Database& db, bool paper);

// Version number of an $ACADVER text ("AC1027" -> 1027), 1009 when unknown.
int versionNumber(std::string_view acadver);

}  // namespace host::dxf
