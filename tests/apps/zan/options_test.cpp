// The zan program's command line read into what a run is to do: every
// option, values left out, options that cannot go together, and the
// viewports of a layer configuration run named and found in a drawing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dxf/dxf.h"
#include "options.h"
#include "viewport_choice.h"

namespace {

using zan::app::ProgramOptions;

struct Parsed {
    bool ok = false;
    ProgramOptions options;
    std::string error;
};

Parsed parse(std::vector<std::string> arguments) {
    Parsed p;
    p.ok = zan::app::parseProgramOptions(arguments, "builtin.arx.so", p.options, p.error);
    return p;
}

TEST(ProgramOptions, ASessionTakesEveryOptionOfItsOwn) {
    Parsed p = parse({"-s", "run.scr", "-t", "-o", "out.dxf", "--profile-dir", "prof", "--module", "my.so", "--plot",
                      "p.PDF", "--layout", "Layout1", "--size", "800x600", "plan.dxf"});
    ASSERT_TRUE(p.ok) << p.error;
    const ProgramOptions& o = p.options;
    EXPECT_EQ(o.mode, ProgramOptions::Mode::Session);
    EXPECT_EQ(o.scriptPath, "run.scr");
    EXPECT_TRUE(o.session.trace);
    EXPECT_EQ(o.session.saveAs, "out.dxf");
    EXPECT_EQ(o.session.profileDirectory, "prof");
    EXPECT_EQ(o.session.modulePath, "my.so");
    EXPECT_EQ(o.plot.path, "p.PDF");
    EXPECT_EQ(o.plot.layout, "Layout1");
    EXPECT_EQ(o.plot.width, 800);
    EXPECT_EQ(o.plot.height, 600);
    EXPECT_EQ(o.drawing, "plan.dxf");

    Parsed bare = parse({"--new", "--no-module"});
    ASSERT_TRUE(bare.ok) << bare.error;
    EXPECT_TRUE(bare.options.newDrawing);
    EXPECT_TRUE(bare.options.session.modulePath.empty());
    EXPECT_EQ(parse({}).options.session.modulePath, "builtin.arx.so");

    Parsed gui = parse({"--gui", "--screenshot", "w.png", "--script", "-"});
    ASSERT_TRUE(gui.ok) << gui.error;
    EXPECT_EQ(gui.options.mode, ProgramOptions::Mode::Desktop);
    EXPECT_EQ(gui.options.screenshot, "w.png");
    EXPECT_EQ(gui.options.scriptPath, "-");

    // Help wins over what follows it.
    EXPECT_EQ(parse({"-t", "--help", "--bogus"}).options.mode, ProgramOptions::Mode::Help);
    EXPECT_EQ(parse({"-h"}).options.mode, ProgramOptions::Mode::Help);
}

TEST(ProgramOptions, PreviewAndApplyTakeTheirDrawingsAndViewports) {
    Parsed preview = parse({"--preview", "Level 1 plan", "--configurations", "demo.Zly", "--viewports", "all",
                            "--plot", "p.png", "demo.dxf"});
    ASSERT_TRUE(preview.ok) << preview.error;
    EXPECT_EQ(preview.options.mode, ProgramOptions::Mode::Preview);
    EXPECT_EQ(preview.options.layerRun.configuration, "Level 1 plan");
    EXPECT_EQ(preview.options.layerRun.file, "demo.Zly");
    EXPECT_TRUE(preview.options.layerRun.viewports.all);
    EXPECT_EQ(preview.options.layerRun.drawings, std::vector<std::string>{"demo.dxf"});

    // Drawings may come before the option that makes a run of many.
    Parsed apply = parse({"a.dxf", "b.dxf", "--apply", "X", "--configurations", "c.Zly", "--viewports",
                          "Sheet A:2, #1a3", "--save-in", "out", "--overwrite", "c.dxf"});
    ASSERT_TRUE(apply.ok) << apply.error;
    const zan::app::LayerConfigurationRun& run = apply.options.layerRun;
    EXPECT_EQ(apply.options.mode, ProgramOptions::Mode::Apply);
    EXPECT_EQ(run.drawings, (std::vector<std::string>{"a.dxf", "b.dxf", "c.dxf"}));
    EXPECT_EQ(run.saveIn, "out");
    EXPECT_TRUE(run.overwrite);
    ASSERT_EQ(run.viewports.named.size(), 2u);
    EXPECT_EQ(run.viewports.named[0].layout, "Sheet A");
    EXPECT_EQ(run.viewports.named[0].number, 2);
    EXPECT_TRUE(run.viewports.named[1].byHandle);
    EXPECT_EQ(run.viewports.named[1].handle, 0x1A3u);
}

TEST(ProgramOptions, AnOptionWithoutItsValueIsAUsageError) {
    for (const char* option : {"-s", "--script", "-o", "--save-as", "--profile-dir", "--module", "--plot", "--layout",
                               "--size", "--screenshot", "--preview", "--apply", "--configurations", "--viewports",
                               "--save-in"}) {
        Parsed p = parse({"-t", option});
        EXPECT_FALSE(p.ok) << option;
        EXPECT_EQ(p.error.rfind(std::string(option) + " needs ", 0), 0u) << p.error;
    }
    EXPECT_FALSE(parse({"--frobnicate"}).ok);
    EXPECT_FALSE(parse({"-"}).ok);
    EXPECT_FALSE(parse({"--plot", "p.jpg"}).ok);
    EXPECT_FALSE(parse({"--size", "0x10"}).ok);
}

TEST(ProgramOptions, OptionsThatCannotGoTogetherAreRefused) {
    const std::vector<std::vector<std::string>> refused = {
        {"--module", "m.so", "--no-module"},
        {"--preview", "A", "--apply", "B", "--configurations", "c.Zly"},
        {"--preview", "A"},  // no configuration file
        {"--apply", "A", "--configurations", "c.Zly", "--no-module", "d.dxf"},
        {"--apply", "A", "--configurations", "c.Zly", "--plot", "p.png", "d.dxf"},
        {"--apply", "A", "--configurations", "c.Zly", "--save-as", "x.dxf", "d.dxf"},
        {"--apply", "A", "--configurations", "c.Zly", "--script", "s.scr", "d.dxf"},
        {"--preview", "A", "--configurations", "c.Zly", "--gui"},
        {"--preview", "A", "--configurations", "c.Zly", "a.dxf", "b.dxf"},
        {"--preview", "A", "--configurations", "c.Zly", "--save-in", "out"},
        {"--preview", "A", "--configurations", "c.Zly", "--save-as", "x.dxf"},
        {"--preview", "A", "--configurations", "c.Zly", "--screenshot", "w.png"},
        {"--configurations", "c.Zly"},
        {"--viewports", "all"},
        {"--save-in", "out"},
        {"a.dxf", "b.dxf"},
        {"--screenshot", "w.png"},
        {"--new", "a.dxf"},
    };
    for (const auto& arguments : refused) {
        Parsed p = parse(arguments);
        std::string line;
        for (const std::string& a : arguments) line += a + " ";
        EXPECT_FALSE(p.ok) << line;
        EXPECT_FALSE(p.error.empty()) << line;
    }
}

TEST(ViewportChoice, ListsAreReadOrRefusedWithTheReason) {
    zan::app::ViewportChoice choice;
    std::string error;
    ASSERT_TRUE(zan::app::parseViewportChoice(" ALL ", choice, error));
    EXPECT_TRUE(choice.all);
    // Spaces around items go; a repeated viewport counts once; a colon in a
    // name leaves the last one as the separator.
    ASSERT_TRUE(zan::app::parseViewportChoice("Layout1:2 , layout1:2,#FF,a:b:3", choice, error)) << error;
    ASSERT_EQ(choice.named.size(), 3u);
    EXPECT_EQ(choice.named[1].handle, 0xFFu);
    EXPECT_EQ(choice.named[2].layout, "a:b");
    EXPECT_EQ(choice.named[2].number, 3);

    for (const char* bad : {"", "Layout1:2,", ",#A", "Layout1:2,,#A", "all,Layout1:2", "Layout1", ":2", "Layout1:",
                            "Layout1:x", "Layout1:-2", "Layout1:0", "Layout1:1", "Layout1:99999", "#", "#0", "#G1",
                            "#12345678901234567"}) {
        EXPECT_FALSE(zan::app::parseViewportChoice(bad, choice, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

// A drawing with a layout of three floating viewports (two sharing a
// number), the sheet's own viewport and a line.
class ViewportLookup : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() / ("zan-viewports-" + std::to_string(getpid()) + ".dxf");
        std::string dxf = "0\nSECTION\n2\nENTITIES\n";
        auto viewport = [&](const char* handle, int number) {
            dxf += std::string("0\nVIEWPORT\n5\n") + handle + "\n8\n0\n67\n1\n10\n0\n20\n0\n40\n10\n41\n10\n69\n" +
                   std::to_string(number) + "\n";
        };
        viewport("A1", 1);
        viewport("A2", 2);
        viewport("A3", 3);
        viewport("A4", 3);
        dxf += "0\nLINE\n5\nB1\n8\n0\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n";
        std::ofstream(path) << dxf;
        std::string error;
        db = host::dxf::loadDrawing(path.string(), &error);
        ASSERT_TRUE(db) << error;
    }
    void TearDown() override { std::filesystem::remove(path); }

    bool resolve(const std::string& list, std::vector<zan::app::ChosenViewport>& out, std::string& error) {
        zan::app::ViewportChoice choice;
        EXPECT_TRUE(zan::app::parseViewportChoice(list, choice, error)) << error;
        return zan::app::resolveViewports(*db, choice, out, error);
    }
    std::filesystem::path path;
    std::unique_ptr<host::Database> db;
};

TEST_F(ViewportLookup, FindsNamedViewportsAndSaysWhichAreMissing) {
    std::vector<zan::app::ChosenViewport> out;
    std::string error;
    ASSERT_TRUE(resolve("all", out, error)) << error;
    ASSERT_EQ(out.size(), 3u);  // not the sheet's own
    EXPECT_EQ(out[0].name, "Layout1:2 (#A2)");

    ASSERT_TRUE(resolve("#a4,layout1:2,#A2", out, error)) << error;
    ASSERT_EQ(out.size(), 2u);  // each once, in the order named
    EXPECT_EQ(out[0].name, "Layout1:3 (#A4)");
    EXPECT_EQ(out[1].name, "Layout1:2 (#A2)");

    EXPECT_FALSE(resolve("Layout1:3", out, error));
    EXPECT_NE(error.find("names 2 viewports; name one by its handle (#A3, #A4)"), std::string::npos) << error;
    EXPECT_FALSE(resolve("Layout1:2,Layout1:7,Sheet:2,#B1,#A1,#FFFF", out, error));
    EXPECT_NE(error.find("layout Layout1 has no viewport 7 (it has Layout1:2 (#A2), Layout1:3 (#A3), Layout1:3 (#A4))"),
              std::string::npos)
        << error;
    EXPECT_NE(error.find("the drawing has no layout Sheet"), std::string::npos) << error;
    EXPECT_NE(error.find("#B1 is a LINE, not a viewport"), std::string::npos) << error;
    EXPECT_NE(error.find("#A1 is the paper space viewport of layout Layout1"), std::string::npos) << error;
    EXPECT_NE(error.find("no entity has the handle #FFFF"), std::string::npos) << error;
}

}  // namespace
