// The drive and directory listing of the headless backend: the real file
// system, with its one root shown as the drive "[-/-]".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tk/directory_listing.h"

namespace tk::headless {

std::vector<std::string> driveEntries();
// Subdirectories of `path` (backslashes count as separators; hidden
// directories, whose names start with ".", are left out), sorted.
std::optional<tk::DirectoryListing> directoryEntries(std::string_view path);

}  // namespace tk::headless
