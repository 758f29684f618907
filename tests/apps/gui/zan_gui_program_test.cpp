// zan --gui run as a user runs it: a script drives the window, --screenshot
// writes its picture; without a display the program says why it cannot start.
#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "support/program_run.h"

namespace {

namespace fs = std::filesystem;

using zan::test::ProgramRun;

ProgramRun runZan(const std::string& environment, const std::string& arguments) {
    return zan::test::runProgram(fs::current_path(), environment + " '" ZAN_BINARY "' " + arguments);
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("zan-gui-program-" + std::to_string(getpid()));
    TempDir() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

TEST(ZanGui, AScriptedRunDrawsAndWritesThePictureOfTheWindow) {
    TempDir dir;
    std::string script = (dir.path / "draw.scr").string(), picture = (dir.path / "window.png").string();
    std::ofstream(script) << "line\n0,0\n100,50\n\n@view extents\n";
    ProgramRun run = runZan("QT_QPA_PLATFORM=offscreen", "--gui --new --no-module --profile-dir '" +
                                                            dir.path.string() + "' --script '" + script +
                                                            "' --screenshot '" + picture + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Specify next point or [Undo]: 100,50"), std::string::npos) << run.output;
    QImage image(QString::fromStdString(picture));
    ASSERT_FALSE(image.isNull()) << run.output;
    EXPECT_GT(image.width(), 400);
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) lit += qGray(image.pixel(x, y)) > 200;
    EXPECT_GT(lit, 100);  // the line in white on the view, the window's own light parts

    // QUIT ends the run before the input does: the picture is still taken.
    // A picture that cannot be written fails the run and says why.
    std::ofstream(script) << "quit\n";
    fs::remove(picture);
    run = runZan("QT_QPA_PLATFORM=offscreen", "--gui --new --no-module --script '" + script + "' --screenshot '" +
                                                  picture + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(picture));
    run = runZan("QT_QPA_PLATFORM=offscreen", "--gui --new --no-module --script '" + script +
                                                  "' --screenshot '" + (dir.path / "no/such/dir.png").string() + "'");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("no/such/dir.png"), std::string::npos) << run.output;
}

TEST(ZanGui, WithoutADisplayOrAScreenshotOutsideTheWindowTheProgramSaysWhy) {
    ProgramRun run = runZan("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "--gui --new --no-module");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << run.output;
    run = runZan("", "--new --no-module --screenshot x.png");
    EXPECT_EQ(run.status, 64);
    EXPECT_NE(run.output.find("--screenshot is for --gui"), std::string::npos) << run.output;
}

}  // namespace
