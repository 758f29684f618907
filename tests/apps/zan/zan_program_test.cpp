// The zan program: options, exit status, scripts, saving.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/program_run.h"

namespace fs = std::filesystem;

namespace {

using zan::test::ProgramRun;

// Runs zan with `arguments` (already quoted for the shell) from the source
// directory, feeding `input` on standard input.
ProgramRun runZan(const std::string& arguments, const std::string& input = "") {
    fs::path dir = fs::temp_directory_path() / ("zan-program-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return zan::test::runProgram(ZAN_SOURCE_DIR,
                                 "'" ZAN_BINARY "' --profile-dir '" + (dir / "profile").string() + "' " + arguments,
                                 input);
}

std::string scriptFile(const std::string& name, const std::string& text) {
    fs::path dir = fs::temp_directory_path() / ("zan-program-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path path = dir / name;
    std::ofstream(path) << text;
    return path.string();
}

}  // namespace

TEST(ZanProgram, OpensTheDemoDrawingAndRunsAScriptToItsEnd) {
    ProgramRun run = runZan("--trace --script '" + scriptFile("ok.scr", "xreflist\n\nLAYER ? 1-*\n\nQUIT\n") + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("ZAN is initializing..."), std::string::npos);
    EXPECT_NE(run.output.find("1-WALL"), std::string::npos);  // a layer of the demo drawing
}

TEST(ZanProgram, AScriptWithoutAnAnswerForADialogStopsWithStatus2) {
    ProgramRun run = runZan("-s '" + scriptFile("missing.scr", "dlconfig\nxreflist\n") + "'");
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("Layer Configuration Selection"), std::string::npos);
    EXPECT_NE(run.output.find("zan: "), std::string::npos);
}

TEST(ZanProgram, StandardInputIsAScriptWhenItIsNotATerminal) {
    ProgramRun run = runZan("--new", "HANDLES OFF\nSETVAR HANDLES\n\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Command: HANDLES"), std::string::npos);
}

TEST(ZanProgram, SaveAsWritesADrawingThatOpensAgain) {
    fs::path out = fs::temp_directory_path() / ("zan-program-" + std::to_string(getpid())) / "saved.dxf";
    fs::remove(out);
    ProgramRun first = runZan("--new --save-as '" + out.string() + "'", "xreflist\n");
    ASSERT_EQ(first.status, 0) << first.output;
    ASSERT_TRUE(fs::exists(out));
    // The saved drawing holds the initialization object: a second session does not make another.
    ProgramRun second = runZan("'" + out.string() + "'", "xreflist\n");
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(second.output.find("More than one initialization entity"), std::string::npos);
    EXPECT_EQ(second.output.find("Updating drawing"), std::string::npos);
}

// A final save never turns a device, FIFO, directory or read-only file into a
// drawing, says which file it refused, and fails the run; through a symbolic
// link it writes the file the link names.
TEST(ZanProgram, SaveAsRefusesWhatItMustNotReplaceAndFollowsLinks) {
    fs::path dir = fs::temp_directory_path() / ("zan-save-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    std::ofstream(dir / "frozen.dxf") << "keep";
    fs::permissions(dir / "frozen.dxf", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    for (const char* name : {"pipe", "folder", "frozen.dxf"}) {
        const std::string target = (dir / name).string();
        ProgramRun run = runZan("--new --save-as '" + target + "'", "");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find(target + ": "), std::string::npos) << run.output;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    std::ifstream frozen(dir / "frozen.dxf");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(frozen), {}), "keep");

    ProgramRun real = runZan("--new --save-as '" + (dir / "real.dxf").string() + "'", "");
    ASSERT_EQ(real.status, 0) << real.output;
    fs::create_symlink("real.dxf", dir / "link.dxf");
    auto before = fs::file_size(dir / "real.dxf");
    ProgramRun viaLink = runZan("--new --save-as '" + (dir / "link.dxf").string() + "'", "LAYER M NEWLAYER\n\n");
    EXPECT_EQ(viaLink.status, 0) << viaLink.output;
    EXPECT_TRUE(fs::is_symlink(dir / "link.dxf"));
    EXPECT_GT(fs::file_size(dir / "real.dxf"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 5);  // no temporary left
    fs::remove_all(dir);
}

TEST(ZanProgram, BadArgumentsAreRefusedWithAMessage) {
    ProgramRun unknown = runZan("--frobnicate");
    EXPECT_EQ(unknown.status, 64);
    EXPECT_NE(unknown.output.find("unknown option --frobnicate"), std::string::npos);

    ProgramRun noScript = runZan("--script /nonexistent/script.scr");
    EXPECT_EQ(noScript.status, 66);
    EXPECT_NE(noScript.output.find("/nonexistent/script.scr"), std::string::npos);

    ProgramRun noDrawing = runZan("/nonexistent/drawing.dxf");
    EXPECT_EQ(noDrawing.status, 1);
    EXPECT_NE(noDrawing.output.find("/nonexistent/drawing.dxf"), std::string::npos);
}

TEST(ZanProgram, NamesTheDrawingAndModuleAtStartAndSaysWhenChangesAreNotSaved) {
    ProgramRun run = runZan("--new", "LAYER M UNSAVED\n\nQUIT\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.rfind("Drawing: Drawing1.dwg; module: ", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("zan: the changes to Drawing1.dwg were not saved"), std::string::npos) << run.output;

    ProgramRun bare = runZan("--new --no-module", "QUIT\n");
    EXPECT_NE(bare.output.find("Drawing: Drawing1.dwg; module: none"), std::string::npos) << bare.output;
    EXPECT_EQ(bare.output.find("were not saved"), std::string::npos) << bare.output;
}

// With --save-as, SAVE writes that file, never the drawing opened, and every
// save says where it went.
TEST(ZanProgram, SaveInARunWithSaveAsWritesTheOutputFile) {
    fs::path dir = fs::temp_directory_path() / ("zan-program-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string source = (dir / "source.dxf").string(), out = (dir / "out.dxf").string();
    fs::remove(out);
    ASSERT_EQ(runZan("--new --save-as '" + source + "'").status, 0);
    const auto before = fs::file_size(source);
    ProgramRun run = runZan("'" + source + "' --save-as '" + out + "'", "LAYER M SAVEDLAYER\n\nSAVE\nQUIT\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Command: SAVE\nSaved " + out + ".\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.rfind("Saved " + out + ".\n"), run.output.find("Saved " + out + ".\n"));  // and at the end
    EXPECT_EQ(fs::file_size(source), before);
    std::ifstream saved(out);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(saved), {}).find("\nSAVEDLAYER\n"), std::string::npos);
}

// Every option the README lists for a usage error or an unreadable script.
TEST(ZanProgram, UsageErrorsAre64AndUnreadableScripts66) {
    ProgramRun both = runZan("--no-module --module /tmp/x.so");
    EXPECT_EQ(both.status, 64);
    EXPECT_NE(both.output.find("--module and --no-module"), std::string::npos) << both.output;
    EXPECT_EQ(runZan("--script").status, 64);
    EXPECT_EQ(runZan("a.dxf b.dxf").status, 64);
    ProgramRun directory = runZan("--script /tmp");
    EXPECT_EQ(directory.status, 66);
    EXPECT_NE(directory.output.find("/tmp: it is a directory"), std::string::npos) << directory.output;
}

// The README's first example script, taken from the README itself, runs as
// the README says.
TEST(ZanProgram, TheReadmesFirstExampleRunsAsPrinted) {
    std::ifstream readme(ZAN_SOURCE_DIR "/README.md");
    std::string text((std::istreambuf_iterator<char>(readme)), {});
    std::size_t example = text.find("\nExample (");
    ASSERT_NE(example, std::string::npos);
    std::size_t start = text.find("```\n", example);
    ASSERT_NE(start, std::string::npos);
    start += 4;
    std::string script = text.substr(start, text.find("```", start) - start);
    ASSERT_NE(script.find("clearlev"), std::string::npos) << script;
    ProgramRun run = runZan("--script '" + scriptFile("readme.scr", script) + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("[message box] \"TUV Windows Application\" \"Cannot delete levels while levelbar is "
                              "active.\" [OK]\n[message box] -> OK"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("1-WALL"), std::string::npos);  // LAYER ? * lists the demo's layers
}
