// Path Selection and the Input Dialog, driven by script lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dialogs/input_dialog.h"
#include "dialogs/path_selection_dialog.h"
#include "session/script.h"
#include "support/session_harness.h"
#include "tk/platform.h"

namespace {

using zan::test::SessionHarness;

class SharedDialogs : public ::testing::Test {
protected:
    // Runs `dialog` with the answers of `script`; the end code.
    template <typename D>
    int run(D& dialog, const std::string& script) {
        lines = std::make_unique<zan::app::Script>(script);
        h.session().attach(*lines);
        return dialog.run(nullptr);
    }
    bool shows(const std::string& text) const { return h.transcript().find(text) != std::string::npos; }
    SessionHarness h{false, false};
    std::unique_ptr<zan::app::Script> lines;
};

TEST_F(SharedDialogs, PathSelectionListsTheRootAndKeepsAPresetPath) {
    const auto workingDirectory = std::filesystem::current_path();
    zan::PathSelectionDialog dialog;
    dialog.setInitialPath("/some/preset");
    ASSERT_EQ(run(dialog, "@ok\n"), tk::IDOK);
    EXPECT_EQ(dialog.path(), "/some/preset");
    EXPECT_TRUE(shows("[dialog 130]   dropdown 1011 \"Drive:\" sorted = [*\"[-/-]\"]\n"));
    EXPECT_TRUE(shows("[dialog 130]   edit 1013 = \"/some/preset\"\n"));
    EXPECT_TRUE(shows("[dialog 130]   listbox 1012 \"Directory:\" sorted notify = [\""));
    EXPECT_FALSE(shows("\"[..]\""));  // the root has no parent entry
    EXPECT_EQ(std::filesystem::current_path(), workingDirectory);
}

TEST_F(SharedDialogs, PathSelectionEmptyTypedAndCancelled) {
    zan::PathSelectionDialog empty;
    ASSERT_EQ(run(empty, "@ok\n"), tk::IDOK);
    EXPECT_EQ(empty.path(), "");

    zan::PathSelectionDialog typed;
    ASSERT_EQ(run(typed, "@edit 1013 \"no/such dir\"\n@ok\n"), tk::IDOK);
    EXPECT_EQ(typed.path(), "no/such dir");

    zan::PathSelectionDialog cancelled;
    cancelled.setInitialPath("/kept");
    EXPECT_EQ(run(cancelled, "@edit 1013 /other\n@escape\n"), tk::IDCANCEL);
    EXPECT_EQ(cancelled.path(), "/kept");
}

TEST_F(SharedDialogs, PathSelectionWalksDownAndUp) {
    std::string base = zan::test::makeTempDirectory("paths");
    std::filesystem::create_directories(base + "/inner/deeper");
    std::filesystem::path parent = std::filesystem::path(base).parent_path();
    std::string script = "@select 1011 [-/-]\n";
    // From the root down to the temporary directory, one double click a level.
    for (const auto& part : std::filesystem::path(base).relative_path()) script += "@dblclick 1012 \"[" + part.string() + "]\"\n";
    script += "@dblclick 1012 [inner]\n@dblclick 1012 [deeper]\n@dblclick 1012 [..]\n@ok\n";
    zan::PathSelectionDialog dialog;
    ASSERT_EQ(run(dialog, script), tk::IDOK) << h.transcript();
    EXPECT_EQ(dialog.path(), base + "/inner");
    EXPECT_TRUE(shows("[dialog 130]   listbox 1012 \"Directory:\" sorted notify = [\"[..]\", \"[deeper]\"]\n"));
    std::filesystem::remove_all(base);
}

TEST_F(SharedDialogs, InputDialogShowsThePromptAndReturnsTheLine) {
    zan::InputDialog empty;
    empty.setPrompt("Number of rows:");
    ASSERT_EQ(run(empty, "@ok\n"), tk::IDOK);
    EXPECT_EQ(empty.value(), "");
    EXPECT_TRUE(shows("[dialog 115]   static 1015 \"Number of rows:\"\n"));
    EXPECT_FALSE(shows("Enter new modifier:"));

    zan::InputDialog typed;
    typed.setPrompt("Layer:");
    typed.setValue("A-WALL");
    ASSERT_EQ(run(typed, "@edit 1014 \" not checked \"\n@enter\n"), tk::IDOK);
    EXPECT_EQ(typed.value(), " not checked ");

    zan::InputDialog cancelled;
    cancelled.setValue("kept");
    EXPECT_EQ(run(cancelled, "@edit 1014 x\n@cancel\n"), tk::IDCANCEL);
    EXPECT_EQ(cancelled.value(), "kept");
}

}  // namespace
