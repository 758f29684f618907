#include "levels/modifier_file_levels.h"

#include <sys/stat.h>

#include "levels/levels.h"
#include "shell/init_object.h"
#include "shell/services.h"
#include "shell/state.h"
#include "shell/token_reader.h"
#include "shell/drawing_paths.h"

namespace zan {

bool splitModifierFilePath(const std::string& path, std::string& directory, std::string& fileName) {
    std::size_t at = path.find_last_of("/\\");
    if (at == std::string::npos) return false;
    directory = path.substr(0, at + 1);
    fileName = path.substr(at + 1);
    return true;
}

void readModifierFileHeader(std::FILE* file, ModifierFileHeader& header) {
    header.count = readIntToken(file);
    header.rows = readIntToken(file);
    header.imageWidth = readIntToken(file);
    header.imageHeight = readIntToken(file);
    readTextToken(file, header.bitmapDirectory);
}

bool readLevelLine(std::FILE* file, LevelLine& line) {
    for (std::string* field : {&line.imageFile, &line.label, &line.modifier, &line.tag})
        if (scanTextToken(file, *field) != TokenRead::Read) return false;
    return true;
}

Level& resolveLevelLine(const LevelLine& line, LevelIndex& index) {
    Level* level = index.find(line.label);
    if (level == nullptr) {
        auto created = std::make_unique<Level>();
        created->name = line.label;
        level = created.get();
        state().levelList.push_back(std::move(created));
        index.add(*level);
    }
    setModifier(*level, line.modifier);
    level->tag = line.tag;
    return *level;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool readModifierFile(const std::string& path, ModifierFileContent& content) {
    // A directory opens for reading here but holds no levels.
    if (!isRegularFile(path)) return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) return false;
    readTextToken(file.get(), content.typeWord);
    readModifierFileHeader(file.get(), content.header);
    // One lookup per line: the levels are indexed by name once.
    LevelIndex index(state().levelList);
    for (int i = 0; i < content.header.count; ++i) {
        auto button = std::make_unique<LevelButton>();
        if (!button->readFrom(file.get(), index)) break;
        content.buttons.push_back(std::move(button));
    }
    return true;
}

bool loadLevelsFromModifierFile() {
    ShellState& s = state();
    if (s.modifierBarWindow != nullptr || !s.levelList.empty()) return true;
    const std::string path = resolveDrawingPath(s.modifierFile);
    std::string directory, fileName;
    if (!splitModifierFilePath(path, directory, fileName)) return false;
    ModifierFileContent content;
    if (!readModifierFile(path, content)) return false;
    setLevelBitmapDirectory(content.header.bitmapDirectory, content.header.rows);
    returnFocusToHost();
    return true;
}

}  // namespace zan
