// The session runs on a backend chosen by name.
#include "session/session.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "dxf/dxf.h"

#include "session/backend_factory.h"

TEST(Session, RunsOnTheDefaultBackendAndRefusesAnUnknownOne) {
    std::string shown;
    auto output = [&](std::string_view text) { shown += text; };
    EXPECT_EQ(zan::app::availableBackends().front(), "headless");
    {
        zan::app::Session session({}, output);
        zan::app::Script script("@tools\nQUIT\n");
        EXPECT_EQ(session.run(script), 0) << shown;
        EXPECT_NE(shown.find("[tools] none"), std::string::npos) << shown;
    }
    zan::app::SessionOptions options;
    options.backend = "nosuch";
    EXPECT_THROW(zan::app::Session(options, output), std::invalid_argument);
}

namespace {

namespace fs = std::filesystem;

struct Saving {
    fs::path dir;
    std::string drawing;
    Saving() {
        dir = fs::temp_directory_path() / ("zan-session-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        drawing = (dir / "plan.dxf").string();
        zan::app::Session session({}, [](std::string_view) {});
        session.newDrawing();
        EXPECT_TRUE(session.saveDrawing(drawing));
    }
    ~Saving() { fs::remove_all(dir); }

    // Runs `typed` as a user at a terminal on the saved drawing; the transcript.
    std::string atTerminal(const std::string& typed, int* status = nullptr, zan::app::SessionOptions options = {}) {
        std::string shown;
        zan::app::Session session(options, [&](std::string_view text) { shown += text; });
        EXPECT_TRUE(session.openDrawing(drawing));
        std::istringstream in(typed);
        std::ostringstream prompts;
        zan::app::Script script(in, true, &prompts);
        int result = session.run(script);
        if (status) *status = result;
        return shown;
    }
    static bool hasLayer(const std::string& path, const char* name) {
        auto db = host::dxf::readFile(path);
        return db && db->findEntry("LAYER", name) != host::kNoRecord;
    }
};

}  // namespace

// QUIT with changes asks at a terminal: a wrong answer asks again, Cancel
// goes back to the command line, No ends without saving, Yes saves.
TEST(Session, AtATerminalQuitAsksBeforeChangesAreLost) {
    Saving s;
    std::string shown = s.atTerminal("LAYER M KEPT\n\nQUIT\nmaybe\nC\nQUIT\nN\n");
    EXPECT_NE(shown.find("Save changes to " + s.drawing + "? [Yes/No/Cancel] <Yes>: "), std::string::npos) << shown;
    EXPECT_NE(shown.find("Invalid option keyword."), std::string::npos);
    // Asked, asked again after the wrong answer, and asked at the second QUIT.
    std::size_t asked = 0;
    for (std::size_t at = shown.find("Save changes"); at != std::string::npos; at = shown.find("Save changes", at + 1))
        ++asked;
    EXPECT_EQ(asked, 3u) << shown;
    EXPECT_FALSE(Saving::hasLayer(s.drawing, "KEPT"));

    shown = s.atTerminal("LAYER M KEPT\n\nQUIT\n\n");
    EXPECT_NE(shown.find("Saved " + s.drawing + "."), std::string::npos) << shown;
    EXPECT_TRUE(Saving::hasLayer(s.drawing, "KEPT"));

    // Nothing changed: nothing asked.
    shown = s.atTerminal("QUIT\n");
    EXPECT_EQ(shown.find("Save changes"), std::string::npos) << shown;
}

// The end of input at a terminal asks as QUIT does; when the input ends
// again, the changes go to a recovery file and the drawing stays as it was.
TEST(Session, AtATerminalTheEndOfInputLosesNoChanges) {
    Saving s;
    int status = -1;
    std::string shown = s.atTerminal("LAYER M RESCUED\n\n", &status);
    EXPECT_EQ(status, 0);
    const std::string recovered = (s.dir / "plan.recovered.dxf").string();
    EXPECT_NE(shown.find("Save changes to " + s.drawing + "?"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Saved " + recovered + "."), std::string::npos) << shown;
    EXPECT_TRUE(Saving::hasLayer(recovered, "RESCUED"));
    EXPECT_FALSE(Saving::hasLayer(s.drawing, "RESCUED"));
    // A second recovery does not replace the first.
    shown = s.atTerminal("LAYER M AGAIN\n\n");
    EXPECT_TRUE(Saving::hasLayer((s.dir / "plan.recovered-2.dxf").string(), "AGAIN"));
    EXPECT_FALSE(Saving::hasLayer(recovered, "AGAIN"));
}

// With an output file named, SAVE and QSAVE write it and QUIT asks nothing;
// SAVEAS renames the drawing, and SAVE follows the new name.
TEST(Session, SaveWritesTheOutputFileOfTheSession) {
    Saving s;
    zan::app::SessionOptions options;
    options.saveAs = (s.dir / "out.dxf").string();
    std::string shown = s.atTerminal("LAYER M FIRST\n\nSAVE\nLAYER M SECOND\n\nQUIT\n", nullptr, options);
    EXPECT_NE(shown.find("Saved " + options.saveAs + "."), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Save changes"), std::string::npos) << shown;
    EXPECT_TRUE(Saving::hasLayer(options.saveAs, "FIRST"));
    EXPECT_FALSE(Saving::hasLayer(s.drawing, "FIRST"));

    const std::string renamed = (s.dir / "renamed.dxf").string();
    shown = s.atTerminal("SAVEAS\n" + renamed + "\nLAYER M THIRD\n\nQSAVE\nQUIT\n", nullptr, options);
    EXPECT_TRUE(Saving::hasLayer(renamed, "THIRD"));
    EXPECT_FALSE(Saving::hasLayer(options.saveAs, "THIRD"));  // the caller saves it at the end
}

// A script is never asked: QUIT ends it, changes or not.
TEST(Session, AScriptQuitsWithoutAsking) {
    std::string shown;
    zan::app::Session session({}, [&](std::string_view text) { shown += text; });
    zan::app::Script script("LAYER M X\n\nQUIT\nLAYER M Y\n\n");
    EXPECT_EQ(session.run(script), 0);
    EXPECT_EQ(shown.find("Save changes"), std::string::npos);
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(session.host().db().findEntry("LAYER", "Y"), host::kNoRecord);
}
