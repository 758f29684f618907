// Windows: styles, show commands, system commands, mouse messages, and the
// handler through which a backend delivers a window's messages.
#pragma once

#include <string>

#include "tk/canvas.h"
#include "tk/geometry.h"
#include "tk/window_handle.h"

namespace tk {

// Window styles, with the platform's values.
enum WindowStyle : unsigned {
    WS_POPUP = 0x80000000u,
    WS_CHILD = 0x40000000u,
    WS_VISIBLE = 0x10000000u,
    WS_CAPTION = 0x00C00000u,  // title bar; includes WS_BORDER
    WS_BORDER = 0x00800000u,   // a one-pixel border
    WS_SYSMENU = 0x00080000u,
    WS_MINIMIZEBOX = 0x00020000u,
    WS_MAXIMIZEBOX = 0x00010000u,
};

// showWindow commands.
enum ShowCommand : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_RESTORE = 9,
};

// setWindowPos flags.
enum WindowPosFlags : unsigned {
    SWP_NOSIZE = 0x1,
    SWP_NOMOVE = 0x2,
    SWP_NOZORDER = 0x4,
    SWP_NOACTIVATE = 0x10,
};

// System commands (the window menu and the caption buttons).
enum SystemCommand : unsigned {
    SC_SIZE = 0xF000,
    SC_MOVE = 0xF010,
    SC_MINIMIZE = 0xF020,
    SC_MAXIMIZE = 0xF030,
    SC_CLOSE = 0xF060,
    SC_RESTORE = 0xF120,
};

// Key-state bits of mouse messages.
enum KeyState : unsigned { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };

enum class MouseButton { Left, Right, Middle };

// The key-state bit of a mouse button.
constexpr unsigned keyStateBit(MouseButton b) {
    return b == MouseButton::Left ? MK_LBUTTON : b == MouseButton::Right ? MK_RBUTTON : MK_MBUTTON;
}

// What createWindow makes.
struct WindowSpec {
    // WS_POPUP for a floating window (parent = its owner, may be null),
    // WS_CHILD for a child window (parent required), plus the other styles.
    unsigned style = WS_POPUP;
    HWND parent = nullptr;
    std::string caption;
    // Screen coordinates for a popup; the parent's client coordinates for a child.
    Rect rect;
    // Child windows: the child identifier, and the role by which scripts
    // address it ("button" for the buttons of a tool window, "strip" for the
    // buttons of an option strip, any other word for other children).
    int childId = 0;
    std::string role = "button";
};

// Receives the messages of one window. Mouse positions are client
// coordinates of the window that receives them; `keys` holds MK_ bits (on a
// button press the pressed button's bit is set, on a release it is not).
class WindowHandler {
public:
    virtual ~WindowHandler() = default;

    virtual void onPaint(Canvas&) {}
    virtual void onMouseMove(Point, unsigned /*keys*/) {}
    virtual void onMouseDown(MouseButton, Point, unsigned /*keys*/) {}
    virtual void onMouseUp(MouseButton, Point, unsigned /*keys*/) {}
    // A system command; return true when handled, false for the platform's
    // default handling (minimize, maximize, restore, close, ...).
    virtual bool onSystemCommand(unsigned /*command*/) { return false; }
    // A close request (close box, SC_CLOSE, a posted close request); return
    // true when handled, false to have the platform destroy the window.
    virtual bool onClose() { return false; }
    // The window is gone (children are told before their parent). The last
    // message a handler receives; it may delete itself here.
    virtual void windowDestroyed() {}
};

}  // namespace tk
