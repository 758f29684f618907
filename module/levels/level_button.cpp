#include "levels/level_button.h"

#include "levels/modifier_file_levels.h"
#include "shell/state.h"

namespace zan {

namespace {

// A text written between double quotes: a double quote inside it would end
// the token early when the file is read, so it is written as a space.
void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) out += c == '"' ? ' ' : c;
    out += '"';
}

}  // namespace

LevelButton::LevelButton(Level& level) : level_(&level) { setLabel(level.name); }

LevelButton::LevelButton(std::unique_ptr<Level> level) : level_(level.get()), ownedLevel_(std::move(level)) {
    setLabel(level_->name);
}

bool LevelButton::readFrom(std::FILE* file) {
    LevelIndex index(state().levelList);
    return readFrom(file, index);
}

bool LevelButton::readFrom(std::FILE* file, LevelIndex& index) {
    imageNumber = -1;
    LevelLine line;
    if (!readLevelLine(file, line)) return false;
    imageFile = line.imageFile;
    setLabel(line.label);
    level_ = &resolveLevelLine(line, index);
    ownedLevel_.reset();
    return true;
}

void LevelButton::writeTo(std::string& out) const {
    appendQuoted(out, imageFile);
    out += ' ';
    appendQuoted(out, label());
    out += ' ';
    appendQuoted(out, level_ ? level_->modifier : std::string());
    out += ' ';
    appendQuoted(out, level_ ? level_->tag : std::string());
    out += '\n';
}

}  // namespace zan
