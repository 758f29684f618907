#include "levels/modifier_file_levels.h"

#include <memory>
#include <sys/stat.h>

#include "levels/levels.h"
#include "shell/init_object.h"
#include "shell/services.h"
#include "shell/state.h"
#include "shell/token_reader.h"

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
    return readTextToken(file, line.imageFile) && readTextToken(file, line.label) &&
           readTextToken(file, line.modifier) && readTextToken(file, line.tag);
}

Level& resolveLevelLine(const LevelLine& line) {
    Level* level = findLevelByName(line.label);
    if (level == nullptr) {
        auto created = std::make_unique<Level>();
        created->name = line.label;
        level = created.get();
        state().levelList.push_back(std::move(created));
    }
    setModifier(*level, line.modifier);
    level->tag = line.tag;
    return *level;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

int loadLevelsFromModifierFile() {
    ShellState& s = state();
    if (s.modifierBarWindow != nullptr || !s.levelList.empty()) return 1;
    const std::string path = s.modifierFile;
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return 0;
    // A directory opens for reading here but holds no levels; reading it
    // would only clear the recorded bitmap directory.
    if (S_ISDIR(info.st_mode)) return 0;
    std::string directory, fileName;
    if (!splitModifierFilePath(path, directory, fileName)) return 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) return 0;

    std::string typeWord;
    readTextToken(file.get(), typeWord);
    ModifierFileHeader header;
    readModifierFileHeader(file.get(), header);
    setLevelBitmapDirectory(header.bitmapDirectory, header.rows);
    // A file that ends early gives the level lines read whole before its end.
    LevelLine line;
    for (int i = 0; i < header.count && readLevelLine(file.get(), line); ++i) resolveLevelLine(line);
    file.reset();
    returnFocusToHost();
    return 1;
}

}  // namespace zan
