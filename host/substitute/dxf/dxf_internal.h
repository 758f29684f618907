// Shared between the DXF reader, the writer and the new-drawing builder.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// How a text is read. The reader picks this by the text's size; tests pick
// it to read small texts the way large ones are read, and must find every
// text read alike either way.
struct ReadMode {
    bool readAhead = false;                 // the later part of ENTITIES read on a second thread
    double aheadAt = 0.5;                   // where that part begins, as a share of the text from ENTITIES on
    std::size_t* takenAhead = nullptr;      // if set, told how many records came from that thread
};
std::unique_ptr<Database> readTextWith(std::string_view text, const std::string& name,
                                       std::vector<std::string>* warnings, const ReadMode& mode);

// Version number of an $ACADVER text ("AC1027" -> 1027), 1009 when unknown.
int versionNumber(std::string_view acadver);

}  // namespace host::dxf
