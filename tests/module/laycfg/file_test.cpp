// The layer configuration file: exact bytes, reading back, damaged files,
// the dialogs and messages, and saves that fail.
#include "fixture.h"

#include <filesystem>
#include <fstream>

#include "laycfg/configuration_file.h"

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
    writeBytes(path, "old");
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
    writeBytes(path, "previous content");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    zan::app::Script answers("@ok\n");
    h.session().attach(answers);
    EXPECT_EQ(zan::saveConfigurationFile(path), 0);
    EXPECT_EQ(bytesOf(path), "previous content");
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
