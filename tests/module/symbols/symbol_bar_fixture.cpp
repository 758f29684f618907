#include "symbol_bar_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "shell/commands.h"
#include "shell/lifecycle.h"

namespace zan::test {

SymbolBarTest::SymbolBarTest() : dir(makeTempDirectory("symbolbar")), demoFile(dir + "/samples/demo/symbols.Zsb") {
    std::filesystem::copy(std::string(ZAN_SOURCE_DIR) + "/samples", dir + "/samples",
                          std::filesystem::copy_options::recursive);
    onInitApplication(nullptr);
    initializeDrawing();
}

SymbolBarTest::~SymbolBarTest() {
    while (SymbolBar* open = lastBar()) open->destroyWindow();
    onUnloadApplication();
    std::filesystem::remove_all(dir);
}

std::string SymbolBarTest::write(const std::string& name, const std::string& content) {
    std::string path = dir + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string SymbolBarTest::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SymbolBarTest::answer(const std::string& lines) {
    script = std::make_unique<app::Script>(lines);
    h.session().attach(*script);
}

void SymbolBarTest::ui(const std::string& line) {
    std::string error;
    EXPECT_TRUE(h.session().platform().performUiLine(line, error)) << line << ": " << error;
}

SymbolBar* SymbolBarTest::openBar(const std::string& path) {
    const std::size_t before = SymbolBar::openBars().size();
    answer("@file \"" + path + "\"\n");
    symbolbarCommand();
    return SymbolBar::openBars().size() > before ? lastBar() : nullptr;
}

SymbolBar* SymbolBarTest::lastBar() {
    const auto& bars = SymbolBar::openBars();
    return bars.empty() ? nullptr : bars.back();
}

std::vector<std::string> SymbolBarTest::labels(const SymbolBar& bar) {
    std::vector<std::string> out;
    for (int i = 0; i < bar.itemCount(); ++i) out.push_back(bar.buttonAt(i).item().label());
    return out;
}

}  // namespace zan::test
