// The desktop application's main window: the drawing view with its model and
// layout tabs, the command line under it (the current prompt beside an
// input field with a history), and the text screen (everything the session
// prints) as a dock.
#pragma once

#include <QLineEdit>
#include <QMainWindow>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/drawing_view.h"

class QLabel;
class QPlainTextEdit;
class QTabBar;

namespace zan::gui {

// The command line's input field: Enter gives the line, Up and Down walk the
// lines given before.
class CommandEdit final : public QLineEdit {
public:
    explicit CommandEdit(QWidget* parent = nullptr);
    std::function<void(const std::string&)> onLine;
    const std::vector<QString>& history() const { return history_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<QString> history_;
    std::size_t recalled_ = 0;  // history_.size(): not recalling
};

class MainWindow final : public QMainWindow {
public:
    explicit MainWindow(const render::DrawingSource& source);

    DrawingView& view() { return *view_; }
    CommandEdit& commandLine() { return *command_; }
    QPlainTextEdit& textScreen() { return *text_; }
    QTabBar& tabs() { return *tabs_; }

    // Text the session printed: onto the text screen.
    void showOutput(std::string_view text);
    // The unfinished last line of the text screen.
    const std::string& lastLine() const { return lastLine_; }
    // The prompt the host waits at, shown beside the command line.
    void showPrompt(std::string prompt);
    const std::string& prompt() const { return prompt_; }
    // The drawing may have changed: the tabs and the view follow it.
    void refresh();

    std::function<void()> onClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    DrawingView* view_;
    CommandEdit* command_;
    QLabel* promptLabel_;
    QPlainTextEdit* text_;
    QTabBar* tabs_;
    std::string prompt_, lastLine_;
    bool followingTabs_ = false;
};

}  // namespace zan::gui
