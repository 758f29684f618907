// The desktop backend of the window toolkit, on Qt 6 Widgets.
//
// It keeps every window and dialog in the headless backend's model (so that
// the automation script drives it exactly as it drives the headless backend,
// and the transcript is the same). A run with a script is answered by the
// script alone (a missing answer stops it, as in the headless backend).
// Without a script the user answers in real Qt windows, each waiting in a
// nested event loop: message boxes (QMessageBox), the open and save file
// dialogs (QFileDialog with the title, filters and default extension), and
// modal dialogs from templates (a QDialog laid out from the template in
// dialog units of its font, showing the model's controls; what the user does
// there reaches the model as the UI line a script would hold). Floating tool
// windows are Qt tool windows, with or without a script: they show the
// pixels the module painted through the toolkit's canvas, and the mouse on
// them reaches the module as the script's "@tool" lines do; a right click,
// the menu key or Alt+Space offers the window's system menu (the items the
// module appended, and Close). The title bar itself belongs to the window
// manager, whose own menu cannot take the module's items. Every dialog, modal or modeless, shows as a Qt window while it is
// open and follows the model as the script acts on it; without a script,
// what the user does in a modeless dialog is performed at once.
//
// A QApplication is made when the process has none (Qt chooses the platform:
// QT_QPA_PLATFORM=offscreen runs without a display). Without a display and
// without a platform chosen, the constructor throws std::runtime_error.
#pragma once

#include <memory>
#include <string>

#include "tk/common/backend.h"

class QWidget;

namespace tk::desktop {

class DesktopPlatform final : public tk::common::Backend {
public:
    explicit DesktopPlatform(std::string profileFolder = "zan");
    ~DesktopPlatform() override;

    // ---- Script contract ----------------------------------------------------------
    void setTranscript(std::function<void(std::string_view)> sink) override;
    void setAnswerSource(common::UiAnswerSource* source) override;
    bool performUiLine(std::string_view line, std::string& error) override;
    const std::string& failure() const override;
    void setProfileDirectory(std::string directory) override;

    // The application's main window, which then owns the tool windows (they
    // stay above it and go with it); null: they float on their own. Set it
    // to null before the owner is destroyed.
    void setOwnerWindow(QWidget* owner);

    // ---- tk::Platform -------------------------------------------------------------
    void startModule(std::string_view applicationName) override;
    void stopModule() override;
    HWND createExternalWindow(std::string_view title, WindowMessageSink* sink) override;
    HWND createWindow(const WindowSpec& spec, WindowHandler* handler) override;
    void destroyWindow(HWND window) override;
    bool isWindow(HWND window) override;
    bool setWindowText(HWND window, std::string_view text) override;
    std::string windowText(HWND window) override;
    Rect windowRect(HWND window) override;
    Rect clientRect(HWND window) override;
    bool setWindowPos(HWND window, int x, int y, int width, int height, unsigned flags) override;
    bool showWindow(HWND window, ShowCommand command) override;
    bool isWindowVisible(HWND window) override;
    bool bringWindowToTop(HWND window) override;
    Rect adjustWindowRect(const Rect& client, unsigned style) override;
    bool appendSystemMenuItem(HWND window, unsigned command, std::string_view text) override;
    void invalidate(HWND window) override;
    void updateWindow(HWND window) override;
    long sendCopyData(HWND target, unsigned long identifier, const void* data, std::size_t length) override;
    bool postCloseRequest(HWND target) override;
    void processPostedMessages() override;
    void setFocus(HWND window) override;
    HWND focusWindow() override;
    int messageBox(HWND owner, std::string_view text, std::string_view title, unsigned style) override;
    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
    int runModalDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) override;
    HWND createModelessDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) override;
    bool endDialog(HWND dialog, int code) override;
    DialogControls* dialogControls(HWND dialog) override;
    std::vector<std::string> listDrives() override;
    std::optional<DirectoryListing> listDirectory(std::string_view path) override;
    Profile& profile(std::string_view applicationName) override;
    Bitmap loadBitmapResource(int resourceId) override;
    std::optional<Bitmap> loadBitmapFile(const std::string& path, std::string* error = nullptr) override;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace tk::desktop
