// A session with the module loaded, a temporary directory for the files of
// a test, and readers for what the session leaves behind.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "db/layers.h"
#include "laycfg/configuration_file.h"
#include "support/session_harness.h"

namespace zan::test {

class DlconfigSession : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeTempDirectory("dlconfig");
        previous = std::filesystem::current_path();
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    std::string write(const std::string& name, const std::string& bytes) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string zly(const std::vector<std::string>& names) {
        ArchiveWriter a;
        a.word(kFileSignature);
        for (const std::string& name : names) {
            LayerConfiguration c;
            c.name = name;
            writeRecord(c, a);
        }
        a.word(kFileEnd);
        return a.bytes();
    }
    // The configurations of a .Zly file (modifiers stay unresolved names).
    static std::vector<std::unique_ptr<LayerConfiguration>> readZly(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ArchiveReader r(bytes);
        std::vector<std::unique_ptr<LayerConfiguration>> out;
        std::uint16_t word = 0;
        if (!r.word(word) || word != kFileSignature) return out;
        while (r.word(word) && word == kRecordStart) {
            auto c = std::make_unique<LayerConfiguration>();
            readRecord(*c, r);
            out.push_back(std::move(c));
        }
        return out;
    }
    static std::vector<std::string> names(const std::vector<std::unique_ptr<LayerConfiguration>>& list) {
        std::vector<std::string> out;
        for (const auto& c : list) out.push_back(c->name);
        return out;
    }
    // Copies the demo kit here and opens its drawing; its paths are relative.
    void openDemo() {
        std::filesystem::copy(std::string(ZAN_SOURCE_DIR) + "/samples", dir + "/samples",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(dir);
        ASSERT_TRUE(h.session().openDrawing("samples/demo/demo.dxf"));
        h.clearTranscript();
    }
    bool frozen(const std::string& layer) {
        host::RecordId id = host::findLayer(h.db(), layer);
        EXPECT_NE(id, host::kNoRecord) << layer;
        return id != host::kNoRecord && host::layerFrozen(h.db().at(id));
    }
    bool shows(const std::string& text) const { return h.transcript().find(text) != std::string::npos; }
    // The last transcript line that starts with `prefix`.
    std::string last(const std::string& prefix) const {
        std::string found;
        std::size_t at = 0;
        const std::string& t = h.transcript();
        while ((at = t.find(prefix, at)) != std::string::npos) {
            if (at == 0 || t[at - 1] == '\n') found = t.substr(at, t.find('\n', at) - at);
            ++at;
        }
        return found;
    }
    std::string messageBox(const std::string& text) const {
        return "[message box] \"TUV Windows Application\" \"" + text + "\"";
    }

    std::string dir;
    std::filesystem::path previous;
    SessionHarness h{true, true};
};

}  // namespace zan::test
