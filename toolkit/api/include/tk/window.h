// tk::Window: the base of a module's own windows (floating tool windows and
// their child windows). Derive from it, override the WindowHandler messages
// the window needs, and create it; the platform delivers its messages until
// it is destroyed.
#pragma once

#include <string>
#include <string_view>

#include "tk/platform.h"

namespace tk {

class Window : public WindowHandler {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists; its handler then gets no messages.
    ~Window() override {
        if (handle_ != nullptr) {
            HWND h = handle_;
            handle_ = nullptr;
            destroying_ = true;
            platform().destroyWindow(h);
        }
    }

    // A floating window owned by `owner`, at `rect` in screen coordinates.
    bool createPopup(HWND owner, std::string_view caption, const Rect& rect, unsigned style) {
        WindowSpec spec;
        spec.style = WS_POPUP | style;
        spec.parent = owner;
        spec.caption = std::string(caption);
        spec.rect = rect;
        return create(spec);
    }
    // A child window of `parent`, at `rect` in the parent's client coordinates.
    bool createChild(HWND parent, int childId, const Rect& rect, unsigned style, std::string_view role = "button") {
        WindowSpec spec;
        spec.style = WS_CHILD | style;
        spec.parent = parent;
        spec.rect = rect;
        spec.childId = childId;
        spec.role = std::string(role);
        return create(spec);
    }
    bool create(const WindowSpec& spec) {
        if (handle_ != nullptr) return false;
        handle_ = platform().createWindow(spec, this);
        return handle_ != nullptr;
    }
    void destroyWindow() {
        if (handle_ != nullptr) platform().destroyWindow(handle_);
    }

    HWND handle() const { return handle_; }
    bool exists() const { return handle_ != nullptr; }

    void setCaption(std::string_view text) { platform().setWindowText(handle_, text); }
    std::string caption() const { return platform().windowText(handle_); }
    Rect windowRect() const { return platform().windowRect(handle_); }
    Rect clientRect() const { return platform().clientRect(handle_); }
    bool setWindowPos(int x, int y, int width, int height, unsigned flags) {
        return platform().setWindowPos(handle_, x, y, width, height, flags);
    }
    bool moveTo(int x, int y) { return setWindowPos(x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }
    bool resize(int width, int height) { return setWindowPos(0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER); }
    bool show(ShowCommand command = SW_SHOW) { return platform().showWindow(handle_, command); }
    bool isVisible() const { return platform().isWindowVisible(handle_); }
    bool bringToTop() { return platform().bringWindowToTop(handle_); }
    bool appendSystemMenuItem(unsigned command, std::string_view text) {
        return platform().appendSystemMenuItem(handle_, command, text);
    }
    void invalidate() { platform().invalidate(handle_); }
    void update() { platform().updateWindow(handle_); }

protected:
    // Called once the window is gone; the object may delete itself here.
    virtual void onDestroyed() {}

private:
    void windowDestroyed() final {
        handle_ = nullptr;
        if (!destroying_) onDestroyed();
    }

    HWND handle_ = nullptr;
    bool destroying_ = false;
};

}  // namespace tk
