#include "symbols/symbol_button.h"

#include "shell/token_reader.h"

namespace zan {

namespace {

// A text written between double quotes: a double quote inside it would end
// the token early when the file is read, so it is written as a space.
void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) out += c == '"' ? ' ' : c;
    out += "\" ";
}

}  // namespace

bool SymbolButton::readFrom(std::FILE* file) {
    imageNumber = -1;
    std::string label;
    for (std::string* field : {&imageFile, &label, &blockName, &layerName})
        if (scanTextToken(file, *field) != TokenRead::Read) return false;
    char flag[kIntTokenSize];
    if (scanToken(file, flag, sizeof flag) != TokenRead::Read) return false;
    searchSubEntities = leadingInteger(flag);
    setLabel(label);
    return true;
}

void SymbolButton::writeTo(std::string& out) const {
    appendQuoted(out, imageFile);
    appendQuoted(out, label());
    appendQuoted(out, blockName);
    appendQuoted(out, layerName);
    out += std::to_string(searchSubEntities) + "\n";
}

}  // namespace zan
