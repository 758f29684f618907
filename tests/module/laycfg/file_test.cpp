// The layer configuration file: exact bytes, reading back, damaged files,
// the dialogs and messages, and saves that fail.
#include "fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ads/adslib.h"
#include "laycfg/configuration_file.h"
#include "laycfg/restore.h"

namespace fs = std::filesystem;
using zan::LayerConfiguration;

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string words(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>((v >> 8) & 0xFF);
    }
    return out;
}

std::string str(const std::string& text) { return words({static_cast<int>(text.size())}) + text; }

// A record named `name` with default fields, as the writer makes it.
std::string defaultRecord(const std::string& name) {
    return words({1000, 0}) + str(name) + words({1}) + str("None") + words({2}) + str("None") +
           words({3, 1, 1, 0, 0, 2000});
}

}  // namespace

class ConfigurationFile : public zan::test::ModuleState {
protected:
    void SetUp() override {
        ModuleState::SetUp();
        dir = zan::test::makeTempDirectory("laycfg");
        path = dir + "/layers.Zly";
    }
    void TearDown() override {
        fs::remove_all(dir);
        ModuleState::TearDown();
    }
    LayerConfiguration* add(const std::string& name) {
        auto c = std::make_unique<LayerConfiguration>();
        c->setName(name);
        return zan::state().layerConfigurations.append(std::move(c));
    }
    zan::LayerConfigurationList& list() { return zan::state().layerConfigurations; }
    std::string dir, path;
};

TEST_F(ConfigurationFile, ExactBytesOfAnEmptyListAndADefaultRecord) {
    writeBytes(path, words({999, 1000}));
    ASSERT_EQ(zan::saveConfigurationFile(path), 1);
    EXPECT_EQ(bytesOf(path), std::string("\xE7\x03\xB8\x0B", 4));

    add("A");
    ASSERT_EQ(zan::saveConfigurationFile(path), 1);
    std::string record = words({1000, 0}) + words({1}) + "A" + words({1}) + words({4}) + "None" + words({2}) +
                         words({4}) + "None" + words({3, 1, 1, 0, 0}) + words({2000});
    EXPECT_EQ(bytesOf(path), words({999}) + record + words({3000}));
    EXPECT_FALSE(fs::exists(path + ".saving"));
}

TEST_F(ConfigurationFile, EverythingReadsBackAndUnresolvedNamesKeepTheirBytes) {
    zan::Level* a = addLevel("First", "A");
    LayerConfiguration* c = add("Plan");
    c->ucsName = "Front";
    c->viewName = "Plan view";
    c->restoredFlag = 0;
    c->spareFlag2 = 9;
    c->undefinedLayerOption = LayerConfiguration::Thaw;
    c->addIncludedModifier(a);
    c->addUnresolvedIncludedModifier("Ghost");
    c->addUnresolvedExcludedModifier("Gone");
    c->addIncludedLayer("A-WALL");
    c->addExcludedLayer("*DOOR");
    add("");  // skipped with a message
    writeBytes(path, "");
    ASSERT_EQ(zan::saveConfigurationFile(path), 1);
    EXPECT_EQ(h.count("Error saving file\n"), 1u);
    std::string saved = bytesOf(path);

    list().clear();
    ASSERT_EQ(zan::loadConfigurationFile(path), 1);
    ASSERT_EQ(list().size(), 1u);
    LayerConfiguration& r = list()[0];
    EXPECT_EQ(r.ucsName, "Front");
    EXPECT_EQ(r.viewName, "Plan view");
    EXPECT_EQ(r.restoredFlag, 0);
    EXPECT_EQ(r.spareFlag2, 9);
    EXPECT_EQ(r.undefinedLayerOption, LayerConfiguration::Thaw);
    EXPECT_EQ(r.includedModifiers, (std::vector<zan::Level*>{a}));
    EXPECT_EQ(r.unresolvedIncludedModifiers, (std::vector<std::string>{"Ghost"}));
    EXPECT_EQ(r.unresolvedExcludedModifiers, (std::vector<std::string>{"Gone"}));
    EXPECT_EQ(r.excludedLayers, (std::vector<std::string>{"*DOOR"}));

    // Without the level, its name survives unresolved and is written back unchanged.
    list().clear();
    zan::destroyAll(zan::state().levelList);
    ASSERT_EQ(zan::loadConfigurationFile(path), 1);
    EXPECT_EQ(list()[0].unresolvedIncludedModifiers, (std::vector<std::string>{"First", "Ghost"}));
    ASSERT_EQ(zan::saveConfigurationFile(path), 1);
    EXPECT_EQ(bytesOf(path), saved);
}

TEST_F(ConfigurationFile, WrongSignatureAndTakenNamesAreRefused) {
    writeBytes(path, words({998}) + defaultRecord("A") + words({3000}));
    EXPECT_EQ(zan::loadConfigurationFile(path), 0);
    EXPECT_TRUE(list().empty());
    EXPECT_NE(h.transcript().find("File does not appear to be a Layer Configuration File."), std::string::npos);

    add("B");
    // Unknown tags are skipped; tags may repeat and come in any order.
    std::string odd = words({1000, 77, 3, 5, 6, 7, 8, 0}) + str("X") + words({0}) + str("C") + words({2000});
    writeBytes(path, words({999}) + defaultRecord("A") + defaultRecord("A") + defaultRecord("B") + odd +
                         words({3000}) + defaultRecord("D"));
    EXPECT_EQ(zan::loadConfigurationFile(path), 1);
    ASSERT_EQ(list().size(), 3u);
    EXPECT_EQ(list()[1].name, "A");
    EXPECT_EQ(list()[2].name, "C");
    EXPECT_EQ(list()[2].undefinedLayerOption, 8);
    EXPECT_EQ(h.count("Layer Configuration named A already defined.\n"), 1u);
    EXPECT_EQ(h.count("Layer Configuration named B already defined.\n"), 1u);
}

TEST_F(ConfigurationFile, AListOverTheCountLimitIsReportedAndWrittenAsItsFirstEntries) {
    LayerConfiguration* c = add("Huge");
    std::vector<std::string> names;
    for (int i = 0; i < 65537; ++i) names.push_back("L" + std::to_string(i));
    c->addExcludedLayers(names);
    c->addIncludedLayer("KEPT");
    writeBytes(path, "");
    ASSERT_EQ(zan::saveConfigurationFile(path), 1);
    EXPECT_EQ(h.count("Layer Configuration Huge: the list Layers Excluded holds 65537 entries; a file holds at most "
                      "65535, the rest was not written.\n"),
              1u);
    EXPECT_EQ(h.count("Layers Included holds"), 0u);

    list().clear();
    ASSERT_EQ(zan::loadConfigurationFile(path), 1);
    ASSERT_EQ(list().size(), 1u);
    ASSERT_EQ(list()[0].excludedLayers.size(), 65535u);
    EXPECT_EQ(list()[0].excludedLayers.back(), "L65534");
    EXPECT_EQ(list()[0].includedLayers, std::vector<std::string>{"KEPT"});
}

TEST_F(ConfigurationFile, FileEndingAnywhereKeepsTheWholeRecordsOnly) {
    std::string whole = words({999}) + defaultRecord("A") + defaultRecord("B") + words({3000});
    std::size_t firstEnd = 2 + defaultRecord("A").size();
    for (std::size_t n = 0; n < whole.size(); ++n) {
        writeBytes(path, whole.substr(0, n));
        list().clear();
        zan::loadConfigurationFile(path);
        std::size_t expected = n >= firstEnd ? 1 : 0;
        if (n >= firstEnd + defaultRecord("B").size()) expected = 2;
        EXPECT_EQ(list().size(), expected) << n << " bytes";
    }
    EXPECT_NE(h.transcript().find("ends early"), std::string::npos);
}

TEST_F(ConfigurationFile, StringsOverTheLimitAreCutAtACharacterBoundary) {
    std::string longName(126, 'N');
    longName += "\xc3\xa9xyz";  // a two-byte character across the 127th byte
    writeBytes(path, words({999}) + defaultRecord(longName) + words({3000}));
    ASSERT_EQ(zan::loadConfigurationFile(path), 1);
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(list()[0].name, std::string(126, 'N'));
    EXPECT_EQ(list()[0].ucsName, "None");  // the rest of the record is still in step
    EXPECT_NE(h.transcript().find("were cut"), std::string::npos);

    list()[0].name = std::string(300, 'L');
    ASSERT_EQ(zan::saveConfigurationFile(path), 1);
    list().clear();
    ASSERT_EQ(zan::loadConfigurationFile(path), 1);
    EXPECT_EQ(list()[0].name, std::string(127, 'L'));
}

TEST_F(ConfigurationFile, FailedSaveKeepsThePreviousFile) {
    add("A");
    writeBytes(path, words({999}) + "previous content");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    zan::app::Script answers("@ok\n");
    h.session().attach(answers);
    EXPECT_EQ(zan::saveConfigurationFile(path), 0);
    EXPECT_EQ(bytesOf(path), words({999}) + "previous content");
    EXPECT_NE(h.transcript().find("\"Failed opening file archive for saving.\""), std::string::npos);
    // The reason names the file on a line of its own.
    EXPECT_NE(h.transcript().find(path + ": the file is read-only"), std::string::npos) << h.transcript();
}

TEST_F(ConfigurationFile, DialogsChooseAndRecordTheFile) {
    add("A");
    std::string created = dir + "/new";
    zan::app::Script answers("@ok\n@file " + created + "\n");
    h.session().attach(answers);
    EXPECT_EQ(zan::loadConfigurationFile(dir + "/moved.Zly"), 1);
    EXPECT_NE(h.transcript().find("Layer Configuration file not found.\\nFile may have been moved."),
              std::string::npos);
    EXPECT_NE(h.transcript().find("\"Open or Create ZAN Layer File\" filter \"LayerFiles (*.Zly)|*.Zly||\" ext \"Zly\""),
              std::string::npos);
    EXPECT_EQ(zan::state().layerConfigFile, created + ".Zly");
    EXPECT_EQ(bytesOf(created + ".Zly"), words({999}) + defaultRecord("A") + words({3000}));
    EXPECT_EQ(list().size(), 1u);

    zan::app::Script cancel("@ok\n@cancel\n@cancel\n");
    h.session().attach(cancel);
    h.clearTranscript();
    EXPECT_EQ(zan::saveConfigurationFile(""), 0);
    EXPECT_NE(h.transcript().find("Layer Configurations are dynamically written to a file.\\nPlease select a file."),
              std::string::npos);
    EXPECT_NE(h.transcript().find("\"Save ZAN Layer File\""), std::string::npos);
    EXPECT_EQ(zan::loadConfigurationFile(""), 0);
}

// Whatever stands at the recorded path instead of a readable configuration
// file gives the messages of a file that cannot be read (the reason on a
// line of its own, naming the file) and is never replaced by the save.
TEST_F(ConfigurationFile, WhatCannotBeReadGivesMessagesAndIsLeftAsItIs) {
    add("A");
    fs::create_directory(dir + "/folder.Zly");
    ASSERT_EQ(::mkfifo((dir + "/pipe.Zly").c_str(), 0644), 0);
    struct Case {
        std::string path, reason;
    };
    std::vector<Case> cases = {
        {dir + "/folder.Zly", ": not a regular file but a directory\n"},
        {dir + "/pipe.Zly", ": not a regular file but a FIFO\n"},  // opened without waiting for a writer
        {"/dev/null", ": not a regular file but a character device\n"},
        {"/proc/self/mem", ": cannot read: Input/output error\n"},  // a regular file that refuses reading
    };
    if (::geteuid() != 0) {
        writeBytes(dir + "/secret.Zly", "x");
        fs::permissions(dir + "/secret.Zly", fs::perms::none);
        cases.push_back({dir + "/secret.Zly", ": cannot open: Permission denied\n"});
    }
    for (const Case& c : cases) {
        zan::app::Script answers("@ok\n@ok\n");
        h.session().attach(answers);
        h.clearTranscript();
        EXPECT_EQ(zan::loadConfigurationFile(c.path), 0) << c.path;
        EXPECT_EQ(h.count(c.path + c.reason), 1u) << h.transcript();
        EXPECT_NE(h.transcript().find("\"Failed opening Layer Configuration file.\""), std::string::npos);
        EXPECT_EQ(list().size(), 1u);
        if (c.path.rfind("/proc/", 0) == 0) continue;  // a save would be refused for its permissions anyway
        EXPECT_EQ(zan::saveConfigurationFile(c.path), 0) << c.path;
        EXPECT_EQ(h.count("[message box] \"TUV Windows Application\" \"Failed opening file archive for saving.\""),
                  1u)
            << h.transcript();
        EXPECT_NE(h.transcript().find("\n" + c.path + ": "), std::string::npos);
    }
    EXPECT_TRUE(fs::is_directory(dir + "/folder.Zly"));
    EXPECT_TRUE(fs::is_fifo(dir + "/pipe.Zly"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// A file of another kind (here a drawing) loads nothing, says so on a line
// of its own that names it, and is not overwritten by the save that follows
// unless the user picks it in the save dialog.
TEST_F(ConfigurationFile, AForeignFileIsNamedAndNotOverwritten) {
    const std::string drawing = dir + "/plan.dxf";
    writeBytes(drawing, "  0\nSECTION\n");
    EXPECT_EQ(zan::loadConfigurationFile(drawing), 0);
    ads_printf("next\n");
    EXPECT_NE(h.transcript().find(drawing + ": File does not appear to be a Layer Configuration File.\nnext\n"),
              std::string::npos)
        << h.transcript();

    add("A");
    zan::app::Script answers("@ok\n");
    h.session().attach(answers);
    EXPECT_EQ(zan::saveConfigurationFile(drawing), 0);
    EXPECT_EQ(bytesOf(drawing), "  0\nSECTION\n");
    EXPECT_NE(h.transcript().find(drawing + ": not a Layer Configuration File; it was left as it is\n"),
              std::string::npos);
    // An empty file, or one that starts like a configuration file, is rewritten.
    writeBytes(drawing, "");
    EXPECT_EQ(zan::saveConfigurationFile(drawing), 1);
    EXPECT_EQ(bytesOf(drawing), words({999}) + defaultRecord("A") + words({3000}));
}

// An empty UCS or view name means "restore none", before a save (which leaves
// the empty name out) and after it, and in the configuration read back.
TEST_F(ConfigurationFile, EmptyUcsAndViewNamesMeanNoneBeforeAndAfterASave) {
    writeBytes(path, words({999, 1000, 0}) + str("E") + words({1}) + str("") + words({2}) + str("") +
                         words({3, 1, 1, 0, 0, 2000, 3000}));
    std::vector<std::vector<std::string>> restores;
    for (int round = 0; round < 2; ++round) {
        list().clear();
        ASSERT_EQ(zan::loadConfigurationFile(path), 1);
        ASSERT_EQ(list().size(), 1u);
        EXPECT_EQ(list()[0].ucsName, "None");
        EXPECT_EQ(list()[0].viewName, "None");
        h.clearTranscript();
        zan::restoreToModelSpace(list()[0]);
        restores.push_back(traces());
        ASSERT_EQ(zan::saveConfigurationFile(path), 1);
    }
    EXPECT_EQ(restores[0], restores[1]);
    EXPECT_EQ(restores[0].size(), 3u);  // the two layer commands and REGENAUTO, no UCS or VIEW
    EXPECT_EQ(bytesOf(path), words({999}) + defaultRecord("E") + words({3000}));

    // Set in memory, an empty name restores nothing either.
    LayerConfiguration c;
    c.ucsName.clear();
    c.viewName.clear();
    h.clearTranscript();
    zan::restoreToModelSpace(c);
    EXPECT_EQ(traces(), restores[0]);
}
