// zan --preview and zan --apply on copies of the demo kit: a batch of
// drawings with a damaged one and one without the module's records, results
// saved beside the inputs only when asked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "db/viewport_layers.h"
#include "dxf/dxf.h"
#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

using Outcome = zan::test::ProgramRun;
using zan::test::readFile;

Outcome runIn(const fs::path& directory, const std::string& arguments) {
    return zan::test::runProgram(directory, "'" ZAN_BINARY "' " + arguments);
}

std::string read(const fs::path& path) { return readFile(path); }

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class LayerConfigurationBatch : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zan-batch-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(ZAN_SOURCE_DIR "/samples/demo", dir / "kit", fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(dir); }

    // sheet-01 ... sheet-20: copies of the demo drawing, sheet-07 damaged at
    // `damagedLine`, sheet-13 a new drawing without the module's records.
    std::string makeSheets() {
        const std::string demo = read(dir / "kit" / "demo.dxf");
        std::istringstream in(demo);
        std::string damaged, line, previous;
        for (int number = 1; std::getline(in, line); ++number) {
            if (damagedLine == 0 && number > 2000 && previous == " 10") {
                damagedLine = number;
                line = "not-a-number";
            }
            damaged += line + "\n";
            previous = line;
        }
        std::string names;
        for (int i = 1; i <= 20; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "sheet-%02d.dxf", i);
            names += std::string(" kit/") + name;
            if (i == 7) std::ofstream(dir / "kit" / name, std::ios::binary) << damaged;
            else if (i != 13) fs::copy_file(dir / "kit" / "demo.dxf", dir / "kit" / name);
        }
        Outcome made = runIn(dir, "-n --no-module --save-as kit/sheet-13.dxf -s /dev/null");
        EXPECT_EQ(made.status, 0) << made.output;
        return names;
    }
    fs::path dir;
    int damagedLine = 0;
};

TEST_F(LayerConfigurationBatch, RestoresEveryDrawingAndReportsTheDamagedOneByNameAndLine) {
    const std::string sheets = makeSheets();
    const std::string before = read(dir / "kit" / "sheet-01.dxf");
    Outcome run = runIn(dir, "--apply 'Level 2 plan' --configurations kit/demo.Zly --save-in out" + sheets);
    EXPECT_EQ(run.status, 1) << run.output;
    std::size_t saved = 0;
    for (const auto& entry : fs::directory_iterator(dir / "out")) saved += entry.path().extension() == ".dxf";
    EXPECT_EQ(saved, 19u);
    EXPECT_FALSE(fs::exists(dir / "out" / "sheet-07.dxf"));
    EXPECT_NE(run.output.find("FAILED  kit/sheet-07.dxf: kit/sheet-07.dxf:" + std::to_string(damagedLine) + ": "),
              std::string::npos)
        << run.output;
    // Counted as whole lines (a sanitizer's warning may come before the first).
    EXPECT_EQ(countOf("\n" + run.output, "\nok      "), 18u) << run.output;
    EXPECT_NE(run.output.find("ok      kit/sheet-01.dxf: restored: 29 layers frozen, 0 thawed, 1 turned on. "
                              "Saved out/sheet-01.dxf.\n"),
              std::string::npos)
        << run.output;
    // The drawing without the module's records is restored and saved, but
    // only in part: what it lacks is said under its line.
    const std::size_t at = run.output.find("PARTIAL kit/sheet-13.dxf: restored");
    ASSERT_NE(at, std::string::npos) << run.output;
    EXPECT_TRUE(fs::exists(dir / "out" / "sheet-13.dxf"));
    const std::string notes = run.output.substr(at, run.output.find("\nok", at + 1) - at);
    EXPECT_NE(notes.find("had no ZAN initialization object"), std::string::npos) << notes;
    EXPECT_NE(notes.find("No level Level 2 is loaded"), std::string::npos) << notes;
    EXPECT_NE(run.output.find("18 of 20 drawings restored in full and saved, 1 restored in part and saved, 1 failed"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(read(dir / "kit" / "sheet-01.dxf"), before);  // the inputs are left as they were
    EXPECT_NE(read(dir / "out" / "sheet-01.dxf"), before);
}

TEST_F(LayerConfigurationBatch, ExitStatusSaysWhetherEveryDrawingWasRestoredInFull) {
    makeSheets();
    Outcome full = runIn(dir, "--apply 'Level 2 plan' --configurations kit/demo.Zly --save-in out kit/sheet-01.dxf");
    EXPECT_EQ(full.status, 0) << full.output;
    EXPECT_NE(full.output.find("1 of 1 drawing restored in full and saved, 0 restored in part and saved, 0 failed"),
              std::string::npos)
        << full.output;
    // A drawing without the initialization object and the levels: saved, in part.
    Outcome part = runIn(
        dir, "--apply 'Level 2 plan' --configurations kit/demo.Zly --save-in out2 kit/sheet-01.dxf kit/sheet-13.dxf");
    EXPECT_EQ(part.status, 2) << part.output;
    EXPECT_TRUE(fs::exists(dir / "out2" / "sheet-13.dxf"));
    EXPECT_NE(part.output.find("1 of 2 drawings restored in full and saved, 1 restored in part and saved, 0 failed"),
              std::string::npos)
        << part.output;
}

TEST_F(LayerConfigurationBatch, NeverSavesOverADrawingUnlessAskedTo) {
    fs::copy_file(dir / "kit" / "demo.dxf", dir / "kit" / "plan.dxf");
    const std::string before = read(dir / "kit" / "plan.dxf");
    Outcome same = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --save-in kit kit/plan.dxf");
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.output.find("would replace the drawing itself"), std::string::npos) << same.output;
    EXPECT_EQ(read(dir / "kit" / "plan.dxf"), before);

    Outcome none = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly kit/plan.dxf");
    EXPECT_EQ(none.status, 64) << none.output;

    Outcome unknown = runIn(dir, "--apply Elevations --configurations kit/demo.Zly --save-in out kit/plan.dxf");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("No layer configuration is named \"Elevations\"."), std::string::npos)
        << unknown.output;

    Outcome asked = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --overwrite kit/plan.dxf");
    EXPECT_EQ(asked.status, 0) << asked.output;
    EXPECT_NE(read(dir / "kit" / "plan.dxf"), before);
}

TEST_F(LayerConfigurationBatch, PreviewPrintsThePlanAndChangesNothing) {
    const std::string before = read(dir / "kit" / "demo.dxf");
    Outcome run = runIn(dir, "--preview 'Level 1 plan' --configurations kit/demo.Zly kit/demo.dxf");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(("\n" + run.output)
                  .find("\nRestoring layer configuration \"Level 1 plan\" to model space would freeze 28 "
                        "layers, thaw 0, turn on 1.\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("    Level Level 2 (2-): 9 to freeze, 0 to thaw, 0 to turn on\n"), std::string::npos);
    EXPECT_NE(run.output.find("  UCS: restores \"LEVEL-1\"\n"), std::string::npos);
    EXPECT_EQ(run.output.find("Command:"), std::string::npos);
    EXPECT_EQ(read(dir / "kit" / "demo.dxf"), before);

    Outcome viewports =
        runIn(dir, "--preview 'Level 1 plan' --configurations kit/demo.Zly --viewports all kit/demo.dxf");
    EXPECT_EQ(viewports.status, 0) << viewports.output;
    EXPECT_NE(viewports.output.find("\"Level 1 plan\" to 2 viewports would freeze 23 layers, thaw 7, turn on 1."),
              std::string::npos)
        << viewports.output;
    Outcome applied = runIn(
        dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --viewports all --save-in out kit/demo.dxf");
    EXPECT_EQ(applied.status, 0) << applied.output;
    EXPECT_NE(applied.output.find("restored to 2 viewports: 23 layers frozen, 7 thawed, 1 turned on. Saved out/demo.dxf."),
              std::string::npos)
        << applied.output;

    // Pictures before and after; the drawing is still not saved.
    Outcome pictures = runIn(dir, "--preview 'Level 1 plan' --configurations kit/demo.Zly --plot plan.png --layout "
                                  "Model --size 300x200 kit/demo.dxf");
    EXPECT_EQ(pictures.status, 0) << pictures.output;
    const std::string beforePng = read(dir / "plan-before.png"), afterPng = read(dir / "plan-after.png");
    EXPECT_EQ(beforePng.rfind("\x89PNG", 0), 0u);
    EXPECT_EQ(afterPng.rfind("\x89PNG", 0), 0u);
    EXPECT_NE(beforePng, afterPng);
    EXPECT_EQ(read(dir / "kit" / "demo.dxf"), before);

    Outcome missing = runIn(dir, "--preview 'Level 1 plan' --configurations kit/none.Zly kit/demo.dxf");
    EXPECT_EQ(missing.status, 64);
}

// The layers frozen in each viewport of a saved drawing, by handle.
std::map<std::uint64_t, std::set<std::string>> frozenByViewport(const fs::path& drawing) {
    std::map<std::uint64_t, std::set<std::string>> out;
    std::string error;
    auto db = host::dxf::loadDrawing(drawing.string(), &error);
    EXPECT_TRUE(db) << error;
    if (!db) return out;
    for (host::RecordId id : db->entities())
        if (db->at(id).type == "VIEWPORT") {
            std::set<std::string>& names = out[db->at(id).handle];
            for (const std::string& n : host::viewportFrozenLayers(db->at(id))) names.insert(host::upperName(n));
        }
    return out;
}

// The layers frozen in one viewport of a saved drawing, wherever it stands.
std::set<std::string> frozenIn(const fs::path& drawing, std::uint64_t handle) {
    std::set<std::string> names;
    std::string error;
    auto db = host::dxf::loadDrawing(drawing.string(), &error);
    EXPECT_TRUE(db) << error;
    const host::RecordId id = db ? db->findByHandle(handle) : host::kNoRecord;
    EXPECT_NE(id, host::kNoRecord) << drawing << " #" << std::hex << handle;
    if (id == host::kNoRecord) return names;
    for (const std::string& n : host::viewportFrozenLayers(db->at(id))) names.insert(host::upperName(n));
    return names;
}

// A viewport on a layout that is not the current one (its entities kept in a
// block of their own) is found by its number and restored too.
TEST_F(LayerConfigurationBatch, RestoresToAViewportOfAnotherLayout) {
    std::ofstream(dir / "two.py") << R"(import sys, ezdxf
doc = ezdxf.new("R2013", setup=True)
for name in ("1-WALL", "2-WALL", "3-WALL"):
    doc.layers.add(name)
doc.layouts.get("Layout1").add_viewport(center=(100, 100), size=(100, 100), view_center_point=(50, 50),
                                        view_height=120).dxf.status = 2
second = doc.layouts.new("Second")
viewport = second.add_viewport(center=(210, 140), size=(200, 200), view_center_point=(50, 50), view_height=120)
viewport.dxf.status = 2
print(viewport.dxf.id, viewport.dxf.handle)
doc.saveas(sys.argv[1])
)";
    Outcome made = zan::test::runProgram(dir, ZAN_DEBIAN_PYTHON " two.py two.dxf");
    ASSERT_EQ(made.status, 0) << made.output;
    std::istringstream printed(made.output);
    std::string number, handle;
    ASSERT_TRUE(printed >> number >> handle) << made.output;

    Outcome wrong = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --viewports second:99 "
                               "--save-in out two.dxf");
    EXPECT_EQ(wrong.status, 1) << wrong.output;
    EXPECT_NE(wrong.output.find("layout second has no viewport 99 (it has Second:" + number + " (#" + handle + "))"),
              std::string::npos)
        << wrong.output;

    Outcome run = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --viewports second:" + number +
                                 " --save-in out two.dxf");
    // Saved, in part: the drawing has no initialization object and no levels.
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("restored to 1 viewport: "), std::string::npos) << run.output;
    const std::uint64_t id = std::stoull(handle, nullptr, 16);
    EXPECT_TRUE(frozenIn(dir / "two.dxf", id).empty());
    EXPECT_TRUE(frozenIn(dir / "out" / "two.dxf", id).count("2-WALL")) << run.output;
}

TEST_F(LayerConfigurationBatch, RestoresToTheViewportsNamedAndOnlyToThem) {
    // The preview lists the viewports it is for, as they can be named.
    Outcome listed = runIn(dir, "--preview 'Level 1 plan' --configurations kit/demo.Zly --viewports all kit/demo.dxf");
    ASSERT_EQ(listed.status, 0) << listed.output;
    const std::size_t at = listed.output.find("Viewports: ");
    ASSERT_NE(at, std::string::npos) << listed.output;
    std::istringstream names(listed.output.substr(at + 11, listed.output.find('\n', at) - at - 11));
    std::vector<std::string> numbers, handles;
    for (std::string number, handle; names >> number >> handle;) {
        numbers.push_back(number);  // Layout1:2
        handles.push_back(handle.substr(1, handle.find(')') - 1));  // #159
    }
    ASSERT_GE(numbers.size(), 2u) << listed.output;
    auto handleOf = [&](std::size_t i) { return std::stoull(handles[i].substr(1), nullptr, 16); };

    Outcome all = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --viewports all --save-in all "
                             "kit/demo.dxf");
    ASSERT_EQ(all.status, 0) << all.output;
    auto input = frozenByViewport(dir / "kit" / "demo.dxf");
    auto toAll = frozenByViewport(dir / "all" / "demo.dxf");
    // One viewport the restore changes, named by its number; another left out.
    std::size_t named = 0;
    while (named < numbers.size() && toAll[handleOf(named)] == input[handleOf(named)]) ++named;
    ASSERT_LT(named, numbers.size()) << all.output;
    const std::size_t other = named == 0 ? 1 : 0;

    Outcome one = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --viewports '" + numbers[named] +
                                 "' --save-in one kit/demo.dxf");
    ASSERT_EQ(one.status, 0) << one.output;
    EXPECT_NE(one.output.find("restored to 1 viewport: "), std::string::npos) << one.output;
    auto toOne = frozenByViewport(dir / "one" / "demo.dxf");
    EXPECT_EQ(toOne[handleOf(named)], toAll[handleOf(named)]);
    EXPECT_EQ(toOne[handleOf(other)], input[handleOf(other)]);

    Outcome byHandle = runIn(dir, "--preview 'Level 1 plan' --configurations kit/demo.Zly --viewports '" +
                                      handles[named] + "' kit/demo.dxf");
    EXPECT_EQ(byHandle.status, 0) << byHandle.output;
    EXPECT_NE(byHandle.output.find("Viewports: " + numbers[named] + " (" + handles[named] + ")\n"),
              std::string::npos)
        << byHandle.output;
    EXPECT_NE(byHandle.output.find(")\nRestoring layer configuration \"Level 1 plan\" to 1 viewport would freeze"),
              std::string::npos)
        << byHandle.output;

    // A viewport a drawing lacks fails that drawing; the others go on.
    fs::copy_file(dir / "kit" / "demo.dxf", dir / "kit" / "other.dxf");
    Outcome missing = runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --viewports '" + numbers[0] +
                                     ",Layout1:77' --save-in missing kit/demo.dxf kit/other.dxf");
    EXPECT_EQ(missing.status, 1) << missing.output;
    EXPECT_EQ(countOf(missing.output, "FAILED  "), 2u) << missing.output;
    EXPECT_NE(missing.output.find("FAILED  kit/demo.dxf: layout Layout1 has no viewport 77 (it has "), std::string::npos)
        << missing.output;
    EXPECT_FALSE(fs::exists(dir / "missing" / "demo.dxf"));
    Outcome previewMissing =
        runIn(dir, "--preview 'Level 1 plan' --configurations kit/demo.Zly --viewports '#FFFFF' kit/demo.dxf");
    EXPECT_EQ(previewMissing.status, 1) << previewMissing.output;
    EXPECT_NE(previewMissing.output.find("no entity has the handle #FFFFF"), std::string::npos);

    Outcome malformed =
        runIn(dir, "--apply 'Level 1 plan' --configurations kit/demo.Zly --viewports 'Layout1:2,,' --save-in x "
                   "kit/demo.dxf");
    EXPECT_EQ(malformed.status, 64) << malformed.output;
    EXPECT_NE(malformed.output.find("zan: --viewports: "), std::string::npos) << malformed.output;
}

}  // namespace
