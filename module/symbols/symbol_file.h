// Reading a symbol bar file (.Zsb). The file is text read token by token:
//   SYMBOL                        type word (read and checked by the caller)
//   N                             number of symbol lines
//   rows
//   width height                  button image size in pixels
//   "default layer"
//   "block directory/"
//   "bitmap directory/"
//   "image" "label" "block" "layer" flag      N times
// Anything after the N-th symbol line is ignored.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "symbols/symbol_button.h"

namespace zan {

struct SymbolFileContent {
    int count = 0;  // N as the file states it
    int rows = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    std::string defaultLayer;
    std::string blockDirectory;   // with a trailing separator when not empty
    std::string bitmapDirectory;  // the same
    std::vector<std::unique_ptr<SymbolButton>> symbols;
    // False when the file ended before its header or its N symbol lines
    // were read whole; what was read before that is kept.
    bool complete = false;
};

// Reads what follows the type word.
void readSymbolFile(std::FILE* file, SymbolFileContent& content);

// A directory as the bar keeps it: a trailing "/" added to a non-empty text without one.
std::string directoryWithSeparator(std::string directory);

}  // namespace zan
