// The window toolkit interface: what a module may ask of the windowing
// platform. A backend (headless, desktop) implements Platform; the module
// reaches the running backend through tk::platform() and never assumes which
// backend it is. The classes a module builds on (tk::Dialog, tk::Window) are
// in dialog.h and window.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tk/bitmap.h"
#include "tk/dialog_controls.h"
#include "tk/dialog_template.h"
#include "tk/directory_listing.h"
#include "tk/file_save.h"
#include "tk/geometry.h"
#include "tk/profile.h"
#include "tk/window_handle.h"
#include "tk/window_types.h"

namespace tk {

// Thrown by a backend to end the session (a script that lacks an answer a
// modal element needs). It passes through modules to the host's top level.
struct __attribute__((visibility("default"))) SessionAborted : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Message box buttons, icons and answers, with the platform's values.
enum MessageBoxStyle : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
inline constexpr unsigned kMessageBoxButtonsMask = 0xF;
enum MessageBoxAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Flags of the standard file dialogs.
enum FileDialogFlags : unsigned {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_NOCHANGEDIR = 0x8,
    OFN_PATHMUSTEXIST = 0x800,
    OFN_FILEMUSTEXIST = 0x1000,
    OFN_CREATEPROMPT = 0x2000,
};

struct FileDialogRequest {
    HWND owner = nullptr;
    std::string title;
    std::string filter;            // "Text (*.txt)|*.txt||" form
    std::string defaultExtension;  // without the dot; appended to a name typed without one
    std::string initialDirectory;  // where a relative answer is resolved
    std::string initialFileName;
    unsigned flags = 0;
};

// Receives the messages sent to a window that the platform does not own
// itself, such as the host's main window.
class WindowMessageSink {
public:
    virtual ~WindowMessageSink() = default;
    // A copy-data message: identifier and bytes. Returns the result of the send.
    virtual long onCopyData(unsigned long identifier, const void* data, std::size_t length) = 0;
    // A posted close request, delivered when the platform next runs its queue.
    virtual void onCloseRequest() {}
};

class Platform {
public:
    virtual ~Platform() = default;

    // ---- Module framework -------------------------------------------------
    // Started when a module is initialised, stopped when it is unloaded. The
    // name titles the module's message boxes. Stopping destroys the windows
    // and dialogs that are still open.
    virtual void startModule(std::string_view applicationName) = 0;
    virtual void stopModule() = 0;

    // ---- Windows ----------------------------------------------------------
    // Windows owned by someone else (the host's main window) are registered
    // with a sink that receives their messages.
    virtual HWND createExternalWindow(std::string_view title, WindowMessageSink* sink) = 0;
    // A popup (floating tool window) or a child window; nullptr when refused.
    // The handler (may be null) receives the window's messages until
    // windowDestroyed.
    virtual HWND createWindow(const WindowSpec& spec, WindowHandler* handler) = 0;
    // Destroys a window with its children, or closes a dialog (end code IDCANCEL).
    virtual void destroyWindow(HWND window) = 0;
    virtual bool isWindow(HWND window) = 0;

    virtual bool setWindowText(HWND window, std::string_view text) = 0;
    virtual std::string windowText(HWND window) = 0;
    // The window rectangle in screen coordinates.
    virtual Rect windowRect(HWND window) = 0;
    // The client area: left and top 0, right and bottom its size.
    virtual Rect clientRect(HWND window) = 0;
    // Position (screen coordinates for a popup, the parent's client
    // coordinates for a child) and size; SWP_ flags leave parts alone.
    virtual bool setWindowPos(HWND window, int x, int y, int width, int height, unsigned flags) = 0;
    virtual bool showWindow(HWND window, ShowCommand command) = 0;
    virtual bool isWindowVisible(HWND window) = 0;
    virtual bool bringWindowToTop(HWND window) = 0;
    // The window rectangle that gives a window of `style` the client area `client`.
    virtual Rect adjustWindowRect(const Rect& client, unsigned style) = 0;
    // Appends an item to a window's system menu (command 0 with an empty text: a separator).
    virtual bool appendSystemMenuItem(HWND window, unsigned command, std::string_view text) = 0;
    // Marks the client area for repainting; updateWindow paints it now.
    virtual void invalidate(HWND window) = 0;
    virtual void updateWindow(HWND window) = 0;

    // ---- Messages ---------------------------------------------------------
    // Synchronous copy-data message (the platform's inter-window data transfer).
    virtual long sendCopyData(HWND target, unsigned long identifier, const void* data, std::size_t length) = 0;
    // Asynchronous close request; delivered by processPostedMessages().
    virtual bool postCloseRequest(HWND target) = 0;
    // Delivers posted messages and repaints what needs it; the host calls it when idle.
    virtual void processPostedMessages() = 0;

    virtual void setFocus(HWND window) = 0;
    virtual HWND focusWindow() = 0;

    // ---- Standard dialogs -------------------------------------------------
    // Modal message box; an empty title stands for the module's application
    // name. Returns the answer (IDOK, IDCANCEL, IDYES, IDNO).
    virtual int messageBox(HWND owner, std::string_view text, std::string_view title, unsigned style) = 0;

    // Standard open and save file dialogs; the chosen full path, or nothing on cancel.
    virtual std::optional<std::string> openFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogRequest& request) = 0;

    // ---- Dialogs from templates --------------------------------------------
    // Runs a modal dialog until it ends; returns the end code, or -1 when the
    // dialog could not be made.
    virtual int runModalDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) = 0;
    // Opens a modeless dialog (after onInit) and returns its window, or nullptr.
    virtual HWND createModelessDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) = 0;
    // Ends a dialog with a code: a modal dialog's run returns it; a modeless
    // dialog is closed once the handler that ended it has returned.
    virtual bool endDialog(HWND dialog, int code) = 0;
    // The controls of an open dialog, or nullptr.
    virtual DialogControls* dialogControls(HWND dialog) = 0;

    // ---- Drives and directories --------------------------------------------
    virtual std::vector<std::string> listDrives() = 0;
    // The subdirectories of a directory (relative paths: from the process's
    // working directory), or nothing when it cannot be read.
    virtual std::optional<DirectoryListing> listDirectory(std::string_view path) = 0;

    // ---- Files -------------------------------------------------------------
    // Saves a whole file so that a failure leaves the previous one as it
    // was: through a symbolic link to the file it names; never over a path
    // that is not a regular file or that the user may not write; keeping the
    // owner, group and permissions of a file it replaces.
    virtual SaveResult saveFile(const std::string& path, std::string_view content) = 0;

    // ---- Profile and resources ---------------------------------------------
    // The profile of one application.
    virtual Profile& profile(std::string_view applicationName) = 0;

    // The module's bitmap resources by number (an empty bitmap when there is
    // none), and device-independent bitmap files (nothing when the file
    // cannot be read or is not a bitmap this platform reads; `error` then
    // says why).
    virtual Bitmap loadBitmapResource(int resourceId) = 0;
    virtual std::optional<Bitmap> loadBitmapFile(const std::string& path, std::string* error = nullptr) = 0;
};

// The running backend. Defined by the toolkit runtime; a backend installs
// itself before any module is loaded.
Platform& platform();
void installPlatform(Platform* backend);

}  // namespace tk
