// The headless backend of the window toolkit. Every window and dialog exists
// in memory with its controls, geometry and state; painting goes into a
// pixel buffer per window; what a user would see is written to a transcript
// and what a user would do comes from the automation script (ui_script.h).
// The transcript and script forms are described in docs/automation-ui.md.
//
// Pixel geometry (exact, so that layout and painting can be checked):
//   - a window with WS_CAPTION has a frame of kFrameWidth pixels on each
//     side and a caption bar of kCaptionHeight pixels below the top frame;
//   - a window with WS_BORDER but no caption has a kBorderWidth border;
//   - the screen is kScreenWidth x kScreenHeight (what maximize fills).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tk/common/backend.h"

namespace tk::headless {

class HeadlessPlatform final : public tk::common::Backend {
public:
    static constexpr int kFrameWidth = 3;
    static constexpr int kCaptionHeight = 18;
    static constexpr int kBorderWidth = 1;
    static constexpr int kScreenWidth = 1280;
    static constexpr int kScreenHeight = 1024;
    // Window sizes are kept within 0..kMaxWindowSize; pixel buffers hold at
    // most kMaxPixelSize pixels in each direction (beyond that painting is clipped).
    static constexpr int kMaxWindowSize = 16384;
    static constexpr int kMaxPixelSize = 4096;

    // `profileFolder`: the folder under the user's configuration directory
    // that holds the profiles.
    explicit HeadlessPlatform(std::string profileFolder = "zan");
    ~HeadlessPlatform() override;

    // ---- Script contract (tk::common::Backend) --------------------------------
    void setTranscript(std::function<void(std::string_view)> sink) override;
    void setAnswerSource(common::UiAnswerSource* source) override;
    // Tool-window actions and actions on an open modeless dialog.
    bool performUiLine(std::string_view line, std::string& error) override;
    // Once set, every later modal element raises MissingAnswer at once.
    const std::string& failure() const override;

    // ---- Profile location -----------------------------------------------------
    // Default: defaultProfileDirectory(folder).
    void setProfileDirectory(std::string directory) override;
    std::string profileDirectory() const;

    // ---- Inspection -----------------------------------------------------------
    // The open floating tool windows, in the order they were opened.
    std::vector<HWND> toolWindows() const;
    // The tool window with this number (as in the transcript), or nullptr.
    HWND toolWindow(int number) const;
    // The dialog that UI lines act on, or nullptr.
    HWND activeDialog() const;
    // What the window shows, painted up to date: frame, caption and client
    // area with its children (withFrame false: the client area only).
    std::optional<tk::Bitmap> windowImage(HWND window, bool withFrame = true);
    bool writeWindowImage(HWND window, const std::string& path, std::string* error = nullptr);

    // ---- tk::Platform -----------------------------------------------------------
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

}  // namespace tk::headless
