// Reading the levels of a modifier bar file (.Zmb). The file is text read
// token by token:
//   LEVELS                       type word (not checked)
//   N                            number of level lines
//   rows
//   width height                 button image size in pixels
//   "bitmap directory/"
//   "image" "name" "modifier" "tag"     N times
// The modifier bar reads its buttons with the same functions; the
// levels-only load reads them without opening a bar.
#pragma once

#include <cstdio>
#include <string>

#include "levels/level.h"

namespace zan {

struct ModifierFileHeader {
    int count = 0;  // N
    int rows = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    std::string bitmapDirectory;
};

struct LevelLine {
    std::string imageFile;
    std::string label;  // the level's name
    std::string modifier;
    std::string tag;
};

// Splits a path at its last "/" (a "\" counts too) into the directory, with
// the separator, and the file name; false when the path holds neither.
bool splitModifierFilePath(const std::string& path, std::string& directory, std::string& fileName);

// Reads what follows the type word: N, rows, the image size and the bitmap
// directory. Missing numbers read as 0.
void readModifierFileHeader(std::FILE* file, ModifierFileHeader& header);
// Reads the four texts of one level line; false when the file ends before
// all four were read (the line is then not used).
bool readLevelLine(std::FILE* file, LevelLine& line);
// The level a line stands for: the level of that name, whose modifier and
// tag the line overwrites, or a new level appended to the level list.
Level& resolveLevelLine(const LevelLine& line);

// Loads the levels of the drawing's modifier bar file when none are loaded
// and no bar is open. 1 when levels were present, a bar is open or the file
// was read; 0 when there is no file to read.
int loadLevelsFromModifierFile();

}  // namespace zan
