#include "level_bar_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "shell/commands.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace zan::test {

LevelBarTest::LevelBarTest() : dir(makeTempDirectory("levelbar")) {
    onInitApplication(nullptr);
    initializeDrawing();
}

LevelBarTest::~LevelBarTest() {
    if (ModifierBar* open = bar()) open->destroyWindow();
    onUnloadApplication();
    std::filesystem::remove_all(dir);
}

std::string LevelBarTest::write(const std::string& name, const std::string& content) {
    std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string LevelBarTest::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void LevelBarTest::answer(const std::string& lines) {
    script = std::make_unique<app::Script>(lines);
    h.session().attach(*script);
}

void LevelBarTest::ui(const std::string& line) {
    std::string error;
    EXPECT_TRUE(h.session().platform().performUiLine(line, error)) << line << ": " << error;
}

void LevelBarTest::openThreeLevelBar() {
    state().modifierFile = write("three.Zmb",
                                 "LEVELS\n3\n1\n20 20\n\"" + dir +
                                     "/\"\n\"a.bmp\" \"First\" \"A\" \"Ground\"\n\"b.bmp\" \"Second\" \"B\" \"Upper\"\n"
                                     "\"c.bmp\" \"Third\" \"C\" \"Roof\"\n");
    modifierbarCommand();
    ASSERT_NE(bar(), nullptr);
}

ModifierBar* LevelBarTest::bar() const { return static_cast<ModifierBar*>(state().modifierBarWindow); }

std::vector<std::string> LevelBarTest::grid() const {
    std::vector<std::string> out;
    if (ModifierBar* b = bar())
        for (int i = 0; i < b->itemCount(); ++i) out.push_back(b->buttonAt(i).item().label());
    return out;
}

std::vector<std::string> LevelBarTest::levels() const {
    std::vector<std::string> out;
    for (const auto& l : state().levelList) out.push_back(l->name + "=" + l->modifier + "/" + l->tag);
    return out;
}

}  // namespace zan::test
