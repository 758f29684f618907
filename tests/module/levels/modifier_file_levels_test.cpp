// Reading the levels of a modifier bar file without opening the bar.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "levels/modifier_file_levels.h"
#include "shell/lifecycle.h"
#include "shell/state.h"
#include "support/session_harness.h"

namespace {

class ModifierFileLevels : public ::testing::Test {
protected:
    void SetUp() override {
        zan::onInitApplication(nullptr);
        dir = zan::test::makeTempDirectory("zmb");
    }
    void TearDown() override {
        zan::destroyAll(zan::state().levelList);
        zan::state().modifierFile.clear();
        zan::onUnloadApplication();
    }
    std::string write(const std::string& name, const std::string& content) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string levels() const {
        std::string out;
        for (const auto& l : zan::state().levelList) out += l->name + "=" + l->modifier + "/" + l->tag + " ";
        return out;
    }
    zan::test::SessionHarness h{false, false};
    std::string dir;
};

TEST_F(ModifierFileLevels, ReadsTheLevelLinesAndALaterLineOfTheSameNameWins) {
    zan::state().modifierFile = write("a.Zmb",
                                      "NOTLEVELS\n3\n2\n20 20\n\"bmp dir/\"\n"
                                      "\"a.bmp\" \"Ground floor\" \"g\" \"Primary\"\n"
                                      "\"\" \"Roof\" \"r\" \"\"\n"
                                      "\"b.bmp\" \"Ground floor\" \"gf\" \"Other\"\n"
                                      "\"ignored\" \"Beyond N\" \"X\" \"\"\n");
    EXPECT_TRUE(zan::loadLevelsFromModifierFile());
    EXPECT_EQ(levels(), "Ground floor=GF/Other Roof=R/ ");
    EXPECT_EQ(zan::state().levelBitmapDirectory, "bmp dir/");
    EXPECT_EQ(zan::state().levelBarRows, 2);

    // Levels present: nothing is read again.
    zan::state().modifierFile = write("b.Zmb", "LEVELS\n1\n1\n20 20\n\"\"\n\"\" \"Other\" \"O\" \"\"\n");
    EXPECT_TRUE(zan::loadLevelsFromModifierFile());
    EXPECT_EQ(levels(), "Ground floor=GF/Other Roof=R/ ");
}

TEST_F(ModifierFileLevels, AFileThatEndsEarlyKeepsTheWholeLinesOnly) {
    zan::state().modifierFile = write("short.Zmb", "LEVELS\n5\n1\n20 20\n\"d/\"\n\"\" \"One\" \"1\" \"t\"\n\"\" \"Two\" \"2");
    EXPECT_TRUE(zan::loadLevelsFromModifierFile());
    EXPECT_EQ(levels(), "One=1/t ");
}

TEST_F(ModifierFileLevels, NoFileADirectoryOrAPathWithoutSeparatorFails) {
    zan::state().modifierFile = "";
    EXPECT_FALSE(zan::loadLevelsFromModifierFile());
    zan::state().modifierFile = dir + "/missing.Zmb";
    EXPECT_FALSE(zan::loadLevelsFromModifierFile());
    zan::state().levelBitmapDirectory = "kept/";
    zan::state().modifierFile = dir;
    EXPECT_FALSE(zan::loadLevelsFromModifierFile());
    EXPECT_EQ(zan::state().levelBitmapDirectory, "kept/");
    EXPECT_TRUE(zan::state().levelList.empty());

    std::string dirName, file;
    EXPECT_FALSE(zan::splitModifierFilePath("plain.Zmb", dirName, file));
    EXPECT_TRUE(zan::splitModifierFilePath("C:\\bars\\x.Zmb", dirName, file));
    EXPECT_EQ(dirName, "C:\\bars\\");
    EXPECT_EQ(file, "x.Zmb");
}

}  // namespace
