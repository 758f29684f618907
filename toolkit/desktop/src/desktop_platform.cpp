// DesktopPlatform: the headless model for everything the script drives, and
// Qt windows for what only the user can answer.
#include "tk/desktop/desktop_platform.h"

#include "state.h"

namespace tk::desktop {

DesktopPlatform::DesktopPlatform(std::string profileFolder) : state_(std::make_unique<State>(std::move(profileFolder))) {
    ensureApplication();
}

DesktopPlatform::~DesktopPlatform() { dropToolWindows(*state_); }

std::optional<std::string> UserAnswers::takeUiLine() {
    if (queue_.empty()) askUser(state_, queue_);
    if (queue_.empty()) return std::nullopt;
    std::string line = std::move(queue_.front());
    queue_.pop_front();
    return line;
}

void DesktopPlatform::setOwnerWindow(QWidget* owner) {
    state_->owner = owner;
    reownToolWindows(*state_);
}

void DesktopPlatform::setTranscript(std::function<void(std::string_view)> sink) {
    state_->transcript = sink;
    state_->model.setTranscript(std::move(sink));
}

void DesktopPlatform::setAnswerSource(common::UiAnswerSource* source) {
    state_->answers = source;
    state_->model.setAnswerSource(source);
}
bool DesktopPlatform::performUiLine(std::string_view line, std::string& error) {
    bool done = state_->model.performUiLine(line, error);
    refreshDialogs(*state_);
    followToolWindows(*state_);
    return done;
}
const std::string& DesktopPlatform::failure() const { return state_->model.failure(); }
void DesktopPlatform::setProfileDirectory(std::string directory) { state_->model.setProfileDirectory(std::move(directory)); }

void DesktopPlatform::startModule(std::string_view applicationName) {
    state_->applicationName = applicationName;
    state_->model.startModule(applicationName);
}
void DesktopPlatform::stopModule() {
    state_->model.stopModule();
    followToolWindows(*state_);
}
HWND DesktopPlatform::createExternalWindow(std::string_view title, WindowMessageSink* sink) {
    return state_->model.createExternalWindow(title, sink);
}
// What changes a tool window is followed by its Qt window.
HWND DesktopPlatform::createWindow(const WindowSpec& spec, WindowHandler* handler) {
    HWND window = state_->model.createWindow(spec, handler);
    followToolWindows(*state_);
    return window;
}
void DesktopPlatform::destroyWindow(HWND window) {
    state_->model.destroyWindow(window);
    state_->systemMenus.erase(window);
    followToolWindows(*state_);
}
bool DesktopPlatform::isWindow(HWND window) { return state_->model.isWindow(window); }
bool DesktopPlatform::setWindowText(HWND window, std::string_view text) {
    bool done = state_->model.setWindowText(window, text);
    followToolWindows(*state_);
    return done;
}
std::string DesktopPlatform::windowText(HWND window) { return state_->model.windowText(window); }
Rect DesktopPlatform::windowRect(HWND window) { return state_->model.windowRect(window); }
Rect DesktopPlatform::clientRect(HWND window) { return state_->model.clientRect(window); }
bool DesktopPlatform::setWindowPos(HWND window, int x, int y, int width, int height, unsigned flags) {
    bool done = state_->model.setWindowPos(window, x, y, width, height, flags);
    followToolWindows(*state_);
    return done;
}
bool DesktopPlatform::showWindow(HWND window, ShowCommand command) {
    bool done = state_->model.showWindow(window, command);
    followToolWindows(*state_);
    return done;
}
bool DesktopPlatform::isWindowVisible(HWND window) { return state_->model.isWindowVisible(window); }
bool DesktopPlatform::bringWindowToTop(HWND window) { return state_->model.bringWindowToTop(window); }
Rect DesktopPlatform::adjustWindowRect(const Rect& client, unsigned style) {
    return state_->model.adjustWindowRect(client, style);
}
bool DesktopPlatform::appendSystemMenuItem(HWND window, unsigned command, std::string_view text) {
    bool done = state_->model.appendSystemMenuItem(window, command, text);
    if (done) state_->systemMenus[window].emplace_back(command, std::string(text));
    return done;
}
// Painting asks only for a repaint: a module paints from within a repaint.
void DesktopPlatform::invalidate(HWND window) {
    state_->model.invalidate(window);
    repaintToolWindows(*state_);
}
void DesktopPlatform::updateWindow(HWND window) {
    state_->model.updateWindow(window);
    repaintToolWindows(*state_);
}
long DesktopPlatform::sendCopyData(HWND target, unsigned long identifier, const void* data, std::size_t length) {
    return state_->model.sendCopyData(target, identifier, data, length);
}
bool DesktopPlatform::postCloseRequest(HWND target) { return state_->model.postCloseRequest(target); }
void DesktopPlatform::processPostedMessages() {
    state_->model.processPostedMessages();
    refreshDialogs(*state_);
    followToolWindows(*state_);
}
void DesktopPlatform::setFocus(HWND window) { state_->model.setFocus(window); }
HWND DesktopPlatform::focusWindow() { return state_->model.focusWindow(); }

// A run with a script is answered by the script alone, as in the headless
// backend (a missing answer stops the run, it never waits); without one the
// user answers in Qt windows.
int DesktopPlatform::messageBox(HWND owner, std::string_view text, std::string_view title, unsigned style) {
    if (state_->answers) return state_->model.messageBox(owner, text, title, style);
    return showMessageBox(*state_, text, title, style);
}
std::optional<std::string> DesktopPlatform::openFileDialog(const FileDialogRequest& request) {
    if (state_->answers) return state_->model.openFileDialog(request);
    return showFileDialog(*state_, request, false);
}
std::optional<std::string> DesktopPlatform::saveFileDialog(const FileDialogRequest& request) {
    if (state_->answers) return state_->model.saveFileDialog(request);
    return showFileDialog(*state_, request, true);
}

// Every dialog shows as a Qt window while it is open. Without a script the
// model's modal dialog takes its answers from the user, who acts on it in
// that window (qt_dialogs.cpp).
int DesktopPlatform::runModalDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) {
    DialogHandler& shown = showDialog(*state_, dialog, handler, true);
    if (state_->answers) return state_->model.runModalDialog(dialog, owner, shown);
    struct Running {
        State& s;
        explicit Running(State& state) : s(state) {
            if (s.userDialogs++ == 0) s.model.setAnswerSource(&s.user);
        }
        ~Running() {
            s.user.queue().clear();
            if (--s.userDialogs == 0) s.model.setAnswerSource(s.answers);
        }
    } running(*state_);
    return state_->model.runModalDialog(dialog, owner, shown);
}
HWND DesktopPlatform::createModelessDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) {
    return state_->model.createModelessDialog(dialog, owner, showDialog(*state_, dialog, handler, false));
}
bool DesktopPlatform::endDialog(HWND dialog, int code) { return state_->model.endDialog(dialog, code); }
DialogControls* DesktopPlatform::dialogControls(HWND dialog) { return state_->model.dialogControls(dialog); }
std::vector<std::string> DesktopPlatform::listDrives() { return state_->model.listDrives(); }
std::optional<DirectoryListing> DesktopPlatform::listDirectory(std::string_view path) {
    return state_->model.listDirectory(path);
}
Profile& DesktopPlatform::profile(std::string_view applicationName) { return state_->model.profile(applicationName); }
Bitmap DesktopPlatform::loadBitmapResource(int resourceId) { return state_->model.loadBitmapResource(resourceId); }
std::optional<Bitmap> DesktopPlatform::loadBitmapFile(const std::string& path, std::string* error) {
    return state_->model.loadBitmapFile(path, error);
}

}  // namespace tk::desktop
