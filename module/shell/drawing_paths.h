// Paths recorded in a drawing — the files and folders its initialization
// object names, and the folders the bar files name — may be relative. They
// are relative to the drawing's own folder, which the host gives as the
// system variable DWGPREFIX, so that a drawing opened from anywhere finds
// its files. The recorded texts stay as they are; only where a file is
// opened, or a folder shown, is the path resolved.
#pragma once

#include <string>
#include <string_view>

namespace zan {

// The drawing's folder with its trailing separator; empty for a drawing the
// host has no folder for (a new drawing): paths then stay as recorded.
std::string drawingFolder();

// `recorded` as a path to open: unchanged when it is empty or absolute
// ("/...", "\\...", or a drive such as "C:"), else the drawing's folder
// followed by it.
std::string resolveDrawingPath(std::string_view recorded);

// Whether a recorded path stands on its own (needs no folder before it).
bool isAbsolutePath(std::string_view path);

}  // namespace zan
