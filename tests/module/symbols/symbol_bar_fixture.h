// The module's symbol bar code linked into the test and driven through the
// headless platform of a session, with a copy of the demo kit (symbols.Zsb,
// its blocks and bitmaps) in the test's own directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "session/script.h"
#include "support/session_harness.h"
#include "symbols/symbol_bar.h"

namespace zan::test {

class SymbolBarTest : public ::testing::Test {
protected:
    SymbolBarTest();
    ~SymbolBarTest() override;

    // Writes a file in the test's directory and returns its path.
    std::string write(const std::string& name, const std::string& content);
    static std::string readFile(const std::string& path);
    // Answers for the modal elements that come next ("@..." lines).
    void answer(const std::string& lines);
    // Performs a UI line while nothing modal waits; fails the test when it cannot.
    void ui(const std::string& line);
    // Runs symbolbar on `path`, answering the file dialog.
    SymbolBar* openBar(const std::string& path);
    // The demo kit's bar, from the copy in the test's directory.
    SymbolBar* openDemoBar() { return openBar(demoFile); }

    // The most recently made bar that is still open, or null.
    static SymbolBar* lastBar();
    static std::vector<std::string> labels(const SymbolBar& bar);
    bool shows(const std::string& text) const { return h.transcript().find(text) != std::string::npos; }
    static std::string messageBox(const std::string& text) {
        return "[message box] \"TUV Windows Application\" \"" + text + "\"";
    }

    SessionHarness h{false, false};
    std::string dir;
    std::string demoFile;  // dir + "/samples/demo/symbols.Zsb"
    std::unique_ptr<app::Script> script;
};

}  // namespace zan::test
