// A test on a copy of the demo kit: the kit is copied into a fresh directory,
// which becomes the working directory (so that a script can name the kit's
// files as samples/demo/...), and the demo drawing is opened in a traced
// session with the module.
// The test target defines ZAN_SOURCE_DIR, the repository's root.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/session_harness.h"

namespace zan::test {

class DemoKitTest : public ::testing::Test {
protected:
    explicit DemoKitTest(std::string stem) : stem_(std::move(stem)) {}

    void SetUp() override {
        dir = makeTempDirectory(stem_);
        previous = std::filesystem::current_path();
        std::filesystem::copy(std::string(ZAN_SOURCE_DIR) + "/samples", dir + "/samples",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(dir);
        ASSERT_TRUE(h.session().openDrawing("samples/demo/demo.dxf"));
        h.clearTranscript();
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }

    // Runs a script that must run to its end.
    void run(const std::string& script) { ASSERT_EQ(h.run(script), 0) << h.session().error() << h.transcript(); }
    bool shows(const std::string& text) const { return h.transcript().find(text) != std::string::npos; }

    std::string dir;
    std::filesystem::path previous;
    SessionHarness h{true, true};

private:
    std::string stem_;
};

}  // namespace zan::test
