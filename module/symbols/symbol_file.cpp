#include "symbols/symbol_file.h"

#include "shell/token_reader.h"

namespace zan {

namespace {

// A number of the header; false when the file has ended.
bool readNumber(std::FILE* file, int& value) {
    char buffer[kIntTokenSize];
    if (scanToken(file, buffer, sizeof buffer) != TokenRead::Read) return false;
    value = leadingInteger(buffer);
    return true;
}

bool readText(std::FILE* file, std::string& text) { return scanTextToken(file, text) == TokenRead::Read; }

}  // namespace

std::string directoryWithSeparator(std::string directory) {
    if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') directory += '/';
    return directory;
}

void readSymbolFile(std::FILE* file, SymbolFileContent& content) {
    content.complete = false;
    if (!readNumber(file, content.count) || !readNumber(file, content.rows) ||
        !readNumber(file, content.imageWidth) || !readNumber(file, content.imageHeight) ||
        !readText(file, content.defaultLayer) || !readText(file, content.blockDirectory) ||
        !readText(file, content.bitmapDirectory))
        return;
    content.blockDirectory = directoryWithSeparator(content.blockDirectory);
    content.bitmapDirectory = directoryWithSeparator(content.bitmapDirectory);
    // The count comes from the file: the loop ends at the file's end, so a
    // count larger than the file holds costs nothing.
    for (int i = 0; i < content.count; ++i) {
        auto symbol = std::make_unique<SymbolButton>();
        if (!symbol->readFrom(file)) return;
        content.symbols.push_back(std::move(symbol));
    }
    content.complete = true;
}

}  // namespace zan
