// The zan program and its demo script with the files a session reads and
// writes: what stands at a recorded path, drawings opened from anywhere, and
// the demo run that never changes the repository's kit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

using Outcome = zan::test::ProgramRun;

// Runs `command` (a shell command line) in `directory`, standard error with
// standard output, standard input from /dev/null.
Outcome runIn(const fs::path& directory, const std::string& command) {
    return zan::test::runProgram(directory, command);
}

std::string read(const fs::path& path) { return zan::test::readFile(path); }

class ZanFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zan-files-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "elsewhere");
        fs::copy(ZAN_SOURCE_DIR "/samples/demo", dir / "kit", fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string script(const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
        return (dir / name).string();
    }
    // zan on the kit's drawing, started in another directory.
    Outcome zan(const std::string& scriptText) {
        return runIn(dir / "elsewhere", "'" ZAN_BINARY "' --profile-dir '" + (dir / "profile").string() +
                                            "' --script '" + script("run.scr", scriptText) + "' ../kit/demo.dxf");
    }
    fs::path dir;
};

// A new configuration, the selection dialog left with Escape: the file is written.
const char* const kNewConfiguration = "dlconfig\n@click 1038\n@edit 1032 Mine\n@click 1\n@escape\n";

TEST_F(ZanFiles, ADrawingOpenedFromElsewhereFindsItsKit) {
    Outcome run = zan(std::string(kNewConfiguration) + "levelbar\nQUIT\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("\"Level 1 plan\""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("[tool 1] open \"Level Toolbar\""), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("[message box]"), std::string::npos) << run.output;
    EXPECT_NE(read(dir / "kit" / "demo.Zly").find("Mine"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "elsewhere" / "demo.Zly"));
}

// What is not a readable configuration file at the recorded path gives the
// messages of a file that can be neither read nor written, names it, and is
// left as it is; dlconfig runs to its end.
TEST_F(ZanFiles, WhatCannotBeReadAtTheRecordedPathIsReportedAndLeftAsItIs) {
    const fs::path zly = dir / "kit" / "demo.Zly";
    // Past the failed read, a new configuration and the failed save at the end.
    const std::string answers = "@ok\n@click 1038\n@edit 1032 Mine\n@click 1\n@escape\n@ok\n@ok\n";
    struct Kind {
        const char* reason;
        void (*make)(const fs::path&);
        bool (*still)(const fs::path&);
    };
    const Kind kinds[] = {
        {"not a regular file but a directory", [](const fs::path& p) { fs::create_directory(p); },
         [](const fs::path& p) { return fs::is_directory(p); }},
        {"not a regular file but a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
         [](const fs::path& p) { return fs::is_fifo(p); }},
        {"not a regular file but a character device", [](const fs::path& p) { fs::create_symlink("/dev/null", p); },
         [](const fs::path& p) { return fs::is_character_file(p); }},
    };
    for (const Kind& kind : kinds) {
        fs::remove_all(zly);
        kind.make(zly);
        Outcome run = zan("dlconfig\n" + answers + "QUIT\n");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find("/kit/demo.Zly: " + std::string(kind.reason) + "\n"), std::string::npos)
            << run.output;
        for (const char* box : {"\"Failed opening Layer Configuration file.\"",
                                "\"Failed opening file archive for saving.\"",
                                "\"Layer Configurations will not be written to a file!!\""})
            EXPECT_NE(run.output.find(box), std::string::npos) << box << run.output;
        EXPECT_EQ(run.output.find("ERROR"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("Command: QUIT"), std::string::npos);
        EXPECT_TRUE(kind.still(zly)) << kind.reason;
    }

    // A drawing recorded as the configuration file by mistake: named, and kept.
    fs::remove_all(zly);
    fs::copy_file(dir / "kit" / "demo.dxf", zly);
    Outcome foreign = zan(std::string(kNewConfiguration) + "@ok\n@ok\nQUIT\n");
    EXPECT_NE(foreign.output.find("/kit/demo.Zly: File does not appear to be a Layer Configuration File.\n"),
              std::string::npos)
        << foreign.output;
    EXPECT_EQ(read(zly), read(dir / "kit" / "demo.dxf"));
}

// scripts/demo.sh (what scripts/run.sh starts once zan is built) works on a
// copy of the kit in the user's data directory, says where, and leaves the
// repository's kit alone; the copy is made again when the kit is newer.
TEST_F(ZanFiles, TheDemoScriptWorksOnACopyOfTheKit) {
    const std::string repositoryZly = read(ZAN_SOURCE_DIR "/samples/demo/demo.Zly");
    const fs::path data = dir / "data";
    const std::string demo = "XDG_DATA_HOME='" + data.string() + "' ZAN_BUILD_DIR='" ZAN_BUILD_DIR
                             "' bash '" ZAN_SOURCE_DIR "/scripts/demo.sh' --profile-dir '" +
                             (dir / "profile").string() + "' ";
    const fs::path copy = data / "zan" / "samples" / "demo";
    script("elsewhere/new.scr", std::string(kNewConfiguration) + "QUIT\n");

    // As the README shows it: a script relative to where the script is
    // started, and the kit's drawing named as samples/demo/demo.dxf.
    Outcome first = runIn(dir / "elsewhere", demo + "--script new.scr samples/demo/demo.dxf");
    EXPECT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("zan: working on a copy of the demo kit in " + copy.string()), std::string::npos)
        << first.output;
    EXPECT_NE(read(copy / "demo.Zly").find("Mine"), std::string::npos);
    EXPECT_EQ(read(ZAN_SOURCE_DIR "/samples/demo/demo.Zly"), repositoryZly);

    // The copy is kept from run to run; with no drawing named it is opened.
    script("elsewhere/list.scr", "dlconfig\n@escape\nQUIT\n");
    Outcome second = runIn(dir / "elsewhere", demo + "-s list.scr");
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_NE(second.output.find("\"Mine\""), std::string::npos) << second.output;

    // A kit newer than the copy replaces it; the earlier copy is kept aside.
    fs::last_write_time(copy / ".copied", fs::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 30));
    Outcome third = runIn(dir / "elsewhere", demo + "-s list.scr");
    EXPECT_EQ(third.status, 0) << third.output;
    EXPECT_EQ(third.output.find("\"Mine\""), std::string::npos) << third.output;
    EXPECT_NE(third.output.find("demo.previous"), std::string::npos) << third.output;
    EXPECT_EQ(read(copy / "demo.Zly"), repositoryZly);
    EXPECT_NE(read(copy.parent_path() / "demo.previous" / "demo.Zly").find("Mine"), std::string::npos);

    // A configuration's name and a viewport list stay as they are; the
    // configuration file and the results' directory are paths like the others.
    Outcome preview = runIn(dir / "elsewhere", demo + "--preview 'Level 1 plan' --configurations "
                                                      "samples/demo/demo.Zly --viewports 'Layout1:2'");
    EXPECT_EQ(preview.status, 0) << preview.output;
    EXPECT_NE(preview.output.find("\"Level 1 plan\" to 1 viewport would"), std::string::npos) << preview.output;
    Outcome apply = runIn(dir / "elsewhere", demo + "--apply 'Level 1 plan' --configurations "
                                                    "samples/demo/demo.Zly --save-in sheets");
    EXPECT_EQ(apply.status, 0) << apply.output;
    EXPECT_TRUE(fs::exists(dir / "elsewhere" / "sheets" / "demo.dxf")) << apply.output;
}

}  // namespace
