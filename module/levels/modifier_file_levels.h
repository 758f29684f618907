// Reading a modifier bar file (.Zmb). The file is text read token by token:
//   LEVELS                       type word (not checked)
//   N                            number of level lines
//   rows
//   width height                 button image size in pixels
//   "bitmap directory/"
//   "image" "name" "modifier" "tag"     N times
// The modifier bar and the levels-only load read it with the same function;
// the levels-only load keeps the levels and drops the buttons.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "levels/level.h"
#include "levels/level_index.h"
#include "levels/level_button.h"

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

struct ModifierFileContent {
    std::string typeWord;
    ModifierFileHeader header;
    // At most N, one per whole level line read.
    std::vector<std::unique_ptr<LevelButton>> buttons;
};

// Splits a path at its last "/" (a "\" counts too) into the directory, with
// the separator, and the file name; false when the path holds neither.
bool splitModifierFilePath(const std::string& path, std::string& directory, std::string& fileName);

// Reads what follows the type word: N, rows, the image size and the bitmap
// directory. Missing numbers read as 0.
void readModifierFileHeader(std::FILE* file, ModifierFileHeader& header);
// Reads the four texts of one level line; false when the file ends before
// all four were read or inside a quoted text (the line is then not used).
bool readLevelLine(std::FILE* file, LevelLine& line);
// The level a line stands for: the level of that name, whose modifier and
// tag the line overwrites, or a new level appended to the level list (and
// to `index`, an index of the level list).
Level& resolveLevelLine(const LevelLine& line, LevelIndex& index);

// Reads a whole modifier bar file; each level line read resolves its level.
// Reading stops at the first line that is not whole (the file ends early):
// the lines before it count. False when `path` is not a regular file that
// can be opened.
bool readModifierFile(const std::string& path, ModifierFileContent& content);

// Loads the levels of the drawing's modifier bar file when none are loaded
// and no bar is open. True when levels were present, a bar is open or the
// file was read; false when there is no file to read.
bool loadLevelsFromModifierFile();

}  // namespace zan
