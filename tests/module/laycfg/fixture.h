// A host session with the module's code linked in and its state reset, for
// tests that call the layer configuration code directly.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "laycfg/layer_configuration.h"
#include "levels/levels.h"
#include "shell/lifecycle.h"
#include "shell/state.h"
#include "support/session_harness.h"

namespace zan::test {

class ModuleState : public ::testing::Test {
protected:
    void SetUp() override {
        zan::onInitApplication(nullptr);
        ShellState& s = zan::state();
        s.modifierSeparator = '-';
        s.cmdEchoOff.restype = RTSHORT;
        s.cmdEchoOff.resval.rint = 0;
        s.cmdEchoOn.restype = RTSHORT;
        s.cmdEchoOn.resval.rint = 1;
        s.layerConfigFile.clear();
    }
    void TearDown() override {
        zan::state().layerConfigurations.clear();
        zan::destroyAll(zan::state().levelList);
        zan::onUnloadApplication();
    }
    Level* addLevel(const std::string& name, const std::string& modifier) {
        auto level = std::make_unique<Level>();
        level->name = name;
        setModifier(*level, modifier);
        zan::state().levelList.push_back(std::move(level));
        return zan::state().levelList.back().get();
    }
    // The "[trace] ..." lines of the transcript, without the prefix.
    std::vector<std::string> traces() const {
        std::vector<std::string> out;
        std::istringstream in(h.transcript());
        for (std::string line; std::getline(in, line);)
            if (line.rfind("[trace] ", 0) == 0) out.push_back(line.substr(8));
        return out;
    }
    SessionHarness h{false, true};
};

}  // namespace zan::test
