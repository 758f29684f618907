// A headless platform installed as the running backend, with its
// transcript collected and its answers taken from a list of lines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "temporary_directory.h"
#include "tk/headless/headless_platform.h"

class HeadlessTest : public ::testing::Test {
protected:
    HeadlessTest() {
        platform.setTranscript([this](std::string_view line) { transcript.emplace_back(line); });
        platform.setAnswerSource(&answers);
        tk::installPlatform(&platform);
        platform.startModule("TUV Windows Application");
    }
    ~HeadlessTest() override { tk::installPlatform(nullptr); }

    void script(std::initializer_list<std::string> lines) {
        for (const auto& line : lines) answers.add(line);
    }
    bool shown(const std::string& line) const {
        return std::find(transcript.begin(), transcript.end(), line + "\n") != transcript.end();
    }
    // Position of a transcript line, or -1.
    long position(const std::string& line) const {
        auto it = std::find(transcript.begin(), transcript.end(), line + "\n");
        return it == transcript.end() ? -1 : static_cast<long>(it - transcript.begin());
    }
    std::string all() const {
        std::string out;
        for (const auto& line : transcript) out += line;
        return out;
    }

    tk::headless::HeadlessPlatform platform;
    tk::common::ScriptedAnswers answers;
    std::vector<std::string> transcript;
};
