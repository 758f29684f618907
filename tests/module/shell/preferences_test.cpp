// ZANpref: the separator check, the two browse dialogs, OK and Cancel.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "laycfg/configuration_file.h"
#include "laycfg/layer_configuration.h"
#include "levels/levels.h"
#include "session/script.h"
#include "shell/commands.h"
#include "shell/lifecycle.h"
#include "shell/state.h"
#include "support/session_harness.h"

namespace {

using zan::test::SessionHarness;

class Preferences : public ::testing::Test {
protected:
    void SetUp() override {
        zan::onInitApplication(nullptr);
        zan::initializeDrawing();
        dir = zan::test::makeTempDirectory("pref");
        oldFile = dir + "/old.Zly";
        std::ofstream(oldFile, std::ios::binary) << std::string("\xE7\x03\xB8\x0B", 4);
        zan::state().layerConfigFile = oldFile;
        zan::state().modifierFile = dir + "/old.Zmb";
        auto kept = std::make_unique<zan::LayerConfiguration>();
        kept->name = "Kept";
        zan::state().layerConfigurations.append(std::move(kept));
        h.clearTranscript();
    }
    void TearDown() override {
        zan::state().layerConfigurations.clear();
        zan::onUnloadApplication();
    }
    void run(const std::string& script) {
        lines = std::make_unique<zan::app::Script>(script);
        h.session().attach(*lines);
        zan::preferencesCommand();
    }
    bool shows(const std::string& text) const { return h.transcript().find(text) != std::string::npos; }

    SessionHarness h{false, false};
    std::unique_ptr<zan::app::Script> lines;
    std::string dir, oldFile;
};

TEST_F(Preferences, AnInvalidSeparatorIsPutBackAndAValidOneApplies) {
    run("@edit 1005 #\n@show 1005\n@edit 1005 a\n@edit 1005 _\n@edit 1005 x\n@show 1005\n@ok\n");
    EXPECT_TRUE(shows("[dialog 136] edit 1005 \"#\"\n[dialog 136]   edit 1005 = \"-\"\n"));
    EXPECT_TRUE(shows("[dialog 136] edit 1005 \"x\"\n[dialog 136]   edit 1005 = \"_\"\n"));
    for (const char* refused : {"#", "a", "x"})
        EXPECT_FALSE(shows(std::string("edit 1005 = \"") + refused + "\"")) << refused;
    EXPECT_EQ(zan::state().modifierSeparator, '_');
    EXPECT_TRUE(shows("[dialog 136]   static -1 \"\\\" - \\\" Dash \\\"$\\\" Dollar \\\" _ \\\"  Underscore\"\n"));
    EXPECT_TRUE(shows("[dialog 136]   static -1 \"\\\" | \\\" Pipe or Blank for none\"\n"));
}

TEST_F(Preferences, AnEmptySeparatorMeansNone) {
    run("@edit 1005 \"\"\n@ok\n");
    EXPECT_EQ(zan::state().modifierSeparator, '\0');
    EXPECT_EQ(zan::composeLayerName("A", "WALL"), "AWALL");
    // Opened again, the field is empty and "|" is accepted.
    run("@edit 1005 |\n@ok\n");
    EXPECT_TRUE(shows("[dialog 136]   edit 1005 = \"\"\n"));
    EXPECT_EQ(zan::state().modifierSeparator, '|');
}

TEST_F(Preferences, OkUntouchedChangesNothingAndDoesNotReload) {
    run("@ok\n");
    EXPECT_EQ(zan::state().layerConfigFile, oldFile);
    EXPECT_EQ(zan::state().modifierFile, dir + "/old.Zmb");
    EXPECT_EQ(zan::state().modifierSeparator, '-');
    ASSERT_EQ(zan::state().layerConfigurations.size(), 1u);
    EXPECT_EQ(zan::state().layerConfigurations[0].name, "Kept");
}

TEST_F(Preferences, BrowsedFilesApplyOnOkOnly) {
    std::string chosen = dir + "/new.Zly";
    {
        zan::ArchiveWriter a;
        a.word(zan::kFileSignature);
        zan::LayerConfiguration fresh;
        fresh.name = "Fresh";
        zan::writeRecord(fresh, a);
        a.word(zan::kFileEnd);
        std::ofstream(chosen, std::ios::binary) << a.bytes();
    }
    run("@click 1002\n@file \"" + chosen + "\"\n@cancel\n");
    EXPECT_TRUE(shows("[open file] \"Select ZAN Layer File\" filter \"LayerFiles (*.Zly)|*.Zly||\" ext \"Zly\""));
    EXPECT_TRUE(shows("[dialog 136]   edit 1001 = \"" + chosen + "\"\n"));
    EXPECT_EQ(zan::state().layerConfigFile, oldFile);
    EXPECT_EQ(zan::state().layerConfigurations.size(), 1u);

    // The modifier bar file must exist; a missing one is refused by the dialog.
    std::string bar = dir + "/bar.Zmb";
    std::ofstream(bar) << "LEVELS\n0\n1\n20 20\n\"\"\n";
    run("@click 1002\n@file \"" + chosen + "\"\n@click 1004\n@file \"" + dir + "/missing.Zmb\"\n@file \"" + bar +
        "\"\n@ok\n");
    EXPECT_TRUE(shows("[open file] \"Select ZAN Modifier Bar\" filter \"Modifier Bar (*.Zmb)|*.Zmb||\" ext \"Zmb\""));
    EXPECT_TRUE(shows("missing.Zmb\" does not exist"));
    EXPECT_EQ(zan::state().modifierFile, bar);
    // The new configuration file is taken and the configurations reloaded from it.
    EXPECT_EQ(zan::state().layerConfigFile, chosen);
    ASSERT_EQ(zan::state().layerConfigurations.size(), 1u);
    EXPECT_EQ(zan::state().layerConfigurations[0].name, "Fresh");
}

}  // namespace
