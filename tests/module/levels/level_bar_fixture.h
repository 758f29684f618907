// The module's level bar code linked into the test and driven through the
// headless platform of a session: the bar's grid and the level list can be
// read directly.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "levels/modifier_bar.h"
#include "session/script.h"
#include "shell/commands.h"
#include "support/session_harness.h"

namespace zan::test {

class LevelBarTest : public ::testing::Test {
protected:
    LevelBarTest();
    ~LevelBarTest() override;

    // Writes a file in the test's directory and returns its path.
    std::string write(const std::string& name, const std::string& content);
    static std::string readFile(const std::string& path);
    // Answers for the modal elements that come next ("@..." lines).
    void answer(const std::string& lines);
    // Performs a UI line while nothing modal waits; fails the test when it cannot.
    void ui(const std::string& line);
    // Opens the bar of a file with the levels First (A), Second (B) and Third (C).
    void openThreeLevelBar();

    ModifierBar* bar() const;
    // The labels of the bar's buttons in grid order.
    std::vector<std::string> grid() const;
    // The level list as "name=MODIFIER/tag".
    std::vector<std::string> levels() const;
    bool shows(const std::string& text) const { return h.transcript().find(text) != std::string::npos; }
    static std::string messageBox(const std::string& text) {
        return "[message box] \"TUV Windows Application\" \"" + text + "\"";
    }

    SessionHarness h{false, false};
    std::string dir;
    std::unique_ptr<app::Script> script;
};

}  // namespace zan::test
