// What the desktop backend keeps: the headless model it drives, the script
// that answers (if any), the transcript.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "tk/desktop/desktop_platform.h"
#include "tk/headless/headless_platform.h"

namespace tk::desktop {

struct DesktopPlatform::State {
    tk::headless::HeadlessPlatform model;
    common::UiAnswerSource* answers = nullptr;  // the script's; null: the user answers
    std::function<void(std::string_view)> transcript;
    std::string applicationName;

    explicit State(std::string profileFolder) : model(std::move(profileFolder)) {}
    void say(const std::string& line) {
        if (transcript) transcript(line + "\n");
    }
};

// The Qt windows the user answers (qt_prompts.cpp).
int showMessageBox(DesktopPlatform::State& state, std::string_view text, std::string_view title, unsigned style);
std::optional<std::string> showFileDialog(DesktopPlatform::State& state, const FileDialogRequest& request, bool save);

// Makes the process's QApplication when it has none.
void ensureApplication();

}  // namespace tk::desktop
