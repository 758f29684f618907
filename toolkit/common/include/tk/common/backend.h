// A toolkit backend as a session drives it: the platform the module sees
// (tk::Platform), plus what the automation script needs of it. Every
// backend (headless, desktop) implements this; a session holds whichever
// one runs through it.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "tk/common/safe_save.h"
#include "tk/common/ui_script.h"
#include "tk/platform.h"

namespace tk::common {

class Backend : public tk::Platform {
public:
    // Every line shown goes to the sink, each ending in "\n".
    virtual void setTranscript(std::function<void(std::string_view)> sink) = 0;
    // Where modal elements take their answers; null: no answers (every
    // modal element then raises MissingAnswer).
    virtual void setAnswerSource(UiAnswerSource* source) = 0;
    // Performs a UI line while no modal element waits. False with `error`
    // set when it cannot; nothing is then changed.
    virtual bool performUiLine(std::string_view line, std::string& error) = 0;
    // The first MissingAnswer or ScriptError raised, or empty.
    virtual const std::string& failure() const = 0;
    // Profiles live in this directory (default: the user's configuration directory).
    virtual void setProfileDirectory(std::string directory) = 0;

    // Every backend saves files the same way. Nothing is thrown to the
    // module: even running out of memory comes back as a failed save.
    tk::SaveResult saveFile(const std::string& path, std::string_view content) override {
        try {
            return tk::common::saveFile(path, content);
        } catch (const std::exception& e) {
            return tk::SaveResult::failure(path + ": " + e.what());
        }
    }
};

}  // namespace tk::common
