// The inside of the headless backend: every window record, the transcript,
// the answer source and the operations shared by the parts of the backend
// (windows.cpp, dialogs.cpp, prompts.cpp, script.cpp, headless_platform.cpp).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "shared.h"
#include "tk/headless/headless_platform.h"

namespace tk::headless {

enum class WindowKind { External, Popup, Child, Dialog };
enum class ShowState { Normal, Minimized, Maximized };

using WindowId = std::uintptr_t;

struct WindowRecord {
    WindowId id = 0;
    WindowKind kind = WindowKind::Popup;
    unsigned style = 0;
    WindowId parent = 0;  // child: its parent; popup and dialog: its owner
    std::string caption;
    std::string initialCaption;
    tk::Rect rect;  // popup, dialog: screen coordinates; child: the parent's client coordinates
    bool visible = false;
    ShowState show = ShowState::Normal;
    tk::Rect restoreRect;
    int childId = 0;
    std::string role;
    std::vector<WindowId> children;  // in creation order
    std::vector<std::pair<unsigned, std::string>> systemMenu;
    tk::WindowHandler* handler = nullptr;
    tk::WindowMessageSink* sink = nullptr;
    tk::Bitmap pixels;  // the client area as last painted
    bool dirty = false;
    int number = 0;  // tool windows: the number scripts use

    // Dialogs.
    std::unique_ptr<DialogModel> dialog;
    tk::DialogHandler* dialogHandler = nullptr;
    bool modal = false;
    bool ending = false;  // endDialog was called
    int endCode = 0;
    int busy = 0;  // handler calls in progress
    std::uint64_t activation = 0;
    std::vector<std::string> shown;  // control descriptions last written to the transcript
};

struct HeadlessPlatform::State {
    std::map<WindowId, std::unique_ptr<WindowRecord>> windows;
    WindowId nextId = 1;
    int nextToolNumber = 1;
    std::uint64_t nextActivation = 1;
    std::deque<WindowId> postedCloses;
    std::vector<WindowId> modalDialogs;  // running modal dialogs, innermost last
    int promptDepth = 0;                 // message boxes and file dialogs waiting

    std::function<void(std::string_view)> transcript;
    UiAnswerSource* answers = nullptr;
    std::string failure;

    std::string applicationName;
    WindowId focus = 0;
    std::string profileFolder;
    std::string profileDirectory;  // empty: the default
    std::map<std::string, std::unique_ptr<IniProfile>> profiles;

    // ---- Records (windows.cpp) ----
    static HWND handleOf(WindowId id) { return reinterpret_cast<HWND>(id); }
    static WindowId idOf(HWND h) { return reinterpret_cast<WindowId>(h); }
    WindowRecord* find(WindowId id);
    WindowRecord* find(HWND h) { return find(idOf(h)); }
    WindowRecord& add(WindowKind kind);

    // ---- Transcript ----
    void emit(const std::string& line);
    static std::string tag(const WindowRecord& r);  // "[tool 1]", "[dialog 122]", "[window]"
    void emitTool(const WindowRecord& r, const std::string& what);

    // ---- Answers ----
    // The next UI line for the modal element `waiting` (e.g. `the message box
    // "..."`); raises MissingAnswer when there is none.
    std::string takeAnswer(const std::string& waiting);
    [[noreturn]] void raiseScriptError(const std::string& message);
    // An answer that does not fit the element waiting: a user at a terminal
    // is told why and asked again (this returns); a script stops
    // (raiseScriptError).
    void refuseAnswer(const std::string& message);

    // ---- Windows (windows.cpp) ----
    HWND createWindow(const tk::WindowSpec& spec, tk::WindowHandler* handler);
    void destroy(WindowId id, int dialogEndCode);
    static tk::Rect nonClient(unsigned style);  // frame widths as left, top, right, bottom
    tk::Size clientSize(const WindowRecord& r) const;
    tk::Point clientOriginOnScreen(const WindowRecord& r);
    tk::Rect screenRect(const WindowRecord& r);
    bool setWindowPos(WindowRecord& r, int x, int y, int width, int height, unsigned flags);
    bool showWindow(WindowRecord& r, tk::ShowCommand command);
    void activate(WindowRecord& r) { r.activation = nextActivation++; }
    void markDirty(WindowRecord& r);
    void paintPending();
    std::optional<tk::Bitmap> compose(WindowId id, bool withFrame);
    void systemCommand(WindowId id, unsigned command);
    void closeRequest(WindowId id);
    void deliverPosted();
    // Tool windows: open top-level popups in opening order.
    std::vector<WindowRecord*> toolWindows();

    // ---- Dialogs (dialogs.cpp) ----
    WindowId openDialog(const tk::DialogTemplate& t, HWND owner, tk::DialogHandler& handler, bool modal);
    int runModal(const tk::DialogTemplate& t, HWND owner, tk::DialogHandler& handler);
    bool endDialog(WindowId id, int code);
    // Runs one handler call for a dialog and closes a modeless dialog that
    // ended during it.
    void dialogEvent(WindowId id, const std::function<void(tk::DialogHandler&)>& call);
    WindowRecord* activeDialog();
    void reportDialog(WindowRecord& r, bool all);
    // Writes the controls that changed since they were last written, in every open dialog.
    void reportChanges();

    // ---- Message boxes and file dialogs (prompts.cpp) ----
    int messageBox(std::string_view text, std::string_view title, unsigned style);
    std::optional<std::string> fileDialog(const tk::FileDialogRequest& request, bool save);

    // ---- UI lines (script.cpp) ----
    // A line while a modal dialog waits: acts on the active dialog.
    void performDialogLine(const std::string& line);
    // A line while nothing waits.
    void performIdleLine(const std::string& line);
};

}  // namespace tk::headless
