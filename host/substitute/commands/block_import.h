// A drawing file made into a block definition of the open drawing (INSERT
// with a file): its model-space entities become the block's entities, its
// INSBASE the block's base point; its layers, linetypes and text styles
// that the open drawing lacks are added, and its own blocks come along
// (those of a name the drawing already has keep the drawing's definition;
// anonymous ones get fresh names).
#pragma once

#include <string>

#include "db/database.h"

namespace host {

// Reads `path` (DXF, also under a ".dwg" name) into a block called `name`.
// False with `message` set, naming the file, when it does not exist, is a
// binary DWG file or is not a readable drawing.
bool importBlockFile(Database& db, const std::string& path, const std::string& name, std::string* message);

}  // namespace host
