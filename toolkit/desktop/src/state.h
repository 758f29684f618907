// What the desktop backend keeps: the headless model it drives, the script
// that answers (if any), the transcript.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <vector>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tk/desktop/desktop_platform.h"
#include "tk/headless/headless_platform.h"

namespace tk::desktop {

class ShownDialog;
struct ShownDialogDeleter {
    void operator()(ShownDialog* dialog) const;  // where the class is known (qt_dialogs.cpp)
};
class ToolMirror;
struct ToolMirrorDeleter {
    void operator()(ToolMirror* mirror) const;  // where the class is known (qt_tool_windows.cpp)
};

// The answers of the user to what the model asks while a modal dialog runs
// without a script: the dialog shown as a Qt window, each action the user
// takes there given to the model as the UI line a script would hold.
class UserAnswers final : public common::UiAnswerSource {
public:
    explicit UserAnswers(DesktopPlatform::State& state) : state_(state) {}
    std::optional<std::string> takeUiLine() override;
    std::deque<std::string>& queue() { return queue_; }

private:
    DesktopPlatform::State& state_;
    std::deque<std::string> queue_;
};

struct DesktopPlatform::State {
    tk::headless::HeadlessPlatform model;
    common::UiAnswerSource* answers = nullptr;  // the script's; null: the user answers
    std::function<void(std::string_view)> transcript;
    std::string applicationName;

    // Open dialogs with their Qt windows, innermost last; those that closed
    // (dropped when the backend next looks).
    std::vector<std::unique_ptr<ShownDialog, ShownDialogDeleter>> dialogs, closedDialogs;
    int userDialogs = 0;  // modal dialogs running without a script
    UserAnswers user{*this};
    std::vector<std::unique_ptr<ToolMirror, ToolMirrorDeleter>> tools;  // the Qt windows of the model's tool windows
    bool following = false;  // followToolWindows is running
    QWidget* owner = nullptr;  // the application's main window, if any
    // The items modules appended to the system menus of windows, in order.
    std::map<HWND, std::vector<std::pair<unsigned, std::string>>> systemMenus;

    explicit State(std::string profileFolder);
    ~State();
    void say(const std::string& line) {
        if (transcript) transcript(line + "\n");
    }
};

// The Qt windows the user answers (qt_prompts.cpp).
int showMessageBox(DesktopPlatform::State& state, std::string_view text, std::string_view title, unsigned style);
std::optional<std::string> showFileDialog(DesktopPlatform::State& state, const FileDialogRequest& request, bool save);

// The handler to give the model for a dialog that is to show as a Qt window
// while it is open: it passes every event on to the module's handler
// (qt_dialogs.cpp).
DialogHandler& showDialog(DesktopPlatform::State& state, const DialogTemplate& dialog, DialogHandler& module, bool modal);
// Brings the open dialogs' Qt windows up to date with the model, and drops
// the windows of closed dialogs (never from within a dialog window's own
// signal: dropClosed false there).
void refreshDialogs(DesktopPlatform::State& state, bool dropClosed = true);

// Shows the innermost modal dialog as a Qt window, up to date with the
// model, until the user acts; queues the UI lines of the action (qt_dialogs.cpp).
void askUser(DesktopPlatform::State& state, std::deque<std::string>& lines);

// Makes a Qt window for each open tool window of the model and brings each
// up to date with it (caption, place, size, visibility, pixels); drops the
// Qt windows of tool windows that are gone (qt_tool_windows.cpp).
void followToolWindows(DesktopPlatform::State& state);
void dropToolWindows(DesktopPlatform::State& state);
// Gives the tool windows to a new owner (null: none).
void reownToolWindows(DesktopPlatform::State& state);
void repaintToolWindows(DesktopPlatform::State& state);

// Makes the process's QApplication when it has none.
void ensureApplication();

}  // namespace tk::desktop
