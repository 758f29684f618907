// HeadlessPlatform: the tk::Platform entry points, the transcript, the
// answers of the script, external windows, focus, profiles and resources.
#include "tk/headless/headless_platform.h"

#include "file_system.h"
#include "state.h"
#include "shared.h"

namespace tk::headless {

using State = HeadlessPlatform::State;

// ---- State: transcript and answers ------------------------------------------------

void State::emit(const std::string& line) {
    if (transcript) transcript(line + "\n");
}

std::string State::takeAnswer(const std::string& waiting) {
    // What changed is shown before the user is asked.
    reportChanges();
    paintPending();
    if (!failure.empty())
        throw MissingAnswer("the script has no answer for " + waiting + " (the script already failed: " + failure + ")");
    std::optional<std::string> line = answers != nullptr ? answers->takeUiLine() : std::nullopt;
    if (!line) {
        failure = "the script has no answer for " + waiting;
        throw MissingAnswer(failure);
    }
    return *line;
}

void State::raiseScriptError(const std::string& message) {
    if (failure.empty()) failure = message;
    throw ScriptError(message);
}

void State::refuseAnswer(const std::string& message) {
    if (answers == nullptr || !answers->asksAgain()) raiseScriptError(message);
    emit("Refused: " + message + ". Answer again.");
}

// ---- HeadlessPlatform ---------------------------------------------------------------

HeadlessPlatform::HeadlessPlatform(std::string profileFolder) : state_(std::make_unique<State>()) {
    state_->profileFolder = std::move(profileFolder);
}

// Windows still open go silently: their handlers may belong to code that is
// already gone (stopModule is where a module's windows are told).
HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::setTranscript(std::function<void(std::string_view)> sink) { state_->transcript = std::move(sink); }
void HeadlessPlatform::setAnswerSource(UiAnswerSource* source) { state_->answers = source; }
const std::string& HeadlessPlatform::failure() const { return state_->failure; }

bool HeadlessPlatform::performUiLine(std::string_view line, std::string& error) {
    if (state_->promptDepth > 0 || !state_->modalDialogs.empty()) {
        error = "a modal element waits for its own answer";
        return false;
    }
    try {
        state_->performIdleLine(std::string(line));
    } catch (const LineError& e) {
        error = text::quote(line) + ": " + e.what();
        return false;
    }
    state_->reportChanges();
    state_->paintPending();
    return true;
}

void HeadlessPlatform::setProfileDirectory(std::string directory) {
    state_->profileDirectory = std::move(directory);
    state_->profiles.clear();
}

std::string HeadlessPlatform::profileDirectory() const {
    return state_->profileDirectory.empty() ? defaultProfileDirectory(state_->profileFolder) : state_->profileDirectory;
}

std::vector<HWND> HeadlessPlatform::toolWindows() const {
    std::vector<HWND> out;
    for (WindowRecord* r : state_->toolWindows()) out.push_back(State::handleOf(r->id));
    return out;
}

HWND HeadlessPlatform::toolWindow(int number) const {
    for (WindowRecord* r : state_->toolWindows())
        if (r->number == number) return State::handleOf(r->id);
    return nullptr;
}

HWND HeadlessPlatform::activeDialog() const {
    WindowRecord* r = state_->activeDialog();
    return r != nullptr ? State::handleOf(r->id) : nullptr;
}

std::optional<tk::Bitmap> HeadlessPlatform::windowImage(HWND window, bool withFrame) {
    return state_->compose(State::idOf(window), withFrame);
}

bool HeadlessPlatform::writeWindowImage(HWND window, const std::string& path, std::string* error) {
    auto image = windowImage(window, true);
    if (!image) {
        if (error != nullptr) *error = "no such window";
        return false;
    }
    return writeImageFile(path, *image, error);
}

// ---- Module framework and messages ------------------------------------------------------

void HeadlessPlatform::startModule(std::string_view applicationName) { state_->applicationName = applicationName; }

void HeadlessPlatform::stopModule() {
    // The module's windows and dialogs go before its code does.
    std::vector<WindowId> ids;
    for (const auto& [id, r] : state_->windows)
        if (r->kind == WindowKind::Popup || r->kind == WindowKind::Dialog) ids.push_back(id);
    for (WindowId id : ids) state_->destroy(id, tk::IDCANCEL);
}

HWND HeadlessPlatform::createExternalWindow(std::string_view title, WindowMessageSink* sink) {
    WindowRecord& r = state_->add(WindowKind::External);
    r.caption = title;
    r.initialCaption = r.caption;
    r.sink = sink;
    r.visible = true;
    r.rect = tk::Rect::fromSize(0, 0, kScreenWidth, kScreenHeight);
    return State::handleOf(r.id);
}

HWND HeadlessPlatform::createWindow(const WindowSpec& spec, WindowHandler* handler) {
    return state_->createWindow(spec, handler);
}

void HeadlessPlatform::destroyWindow(HWND window) {
    WindowRecord* r = state_->find(window);
    if (r == nullptr) return;
    state_->destroy(r->id, r->kind == WindowKind::Dialog && r->ending ? r->endCode : tk::IDCANCEL);
}

bool HeadlessPlatform::isWindow(HWND window) { return state_->find(window) != nullptr; }

bool HeadlessPlatform::setWindowText(HWND window, std::string_view text) {
    WindowRecord* r = state_->find(window);
    if (r == nullptr) return false;
    if (r->caption == text) return true;
    r->caption = text;
    state_->emitTool(*r, "caption " + text::quote(text));
    return true;
}

std::string HeadlessPlatform::windowText(HWND window) {
    WindowRecord* r = state_->find(window);
    return r != nullptr ? r->caption : std::string();
}

Rect HeadlessPlatform::windowRect(HWND window) {
    WindowRecord* r = state_->find(window);
    return r != nullptr ? state_->screenRect(*r) : Rect{};
}

Rect HeadlessPlatform::clientRect(HWND window) {
    WindowRecord* r = state_->find(window);
    if (r == nullptr) return {};
    tk::Size size = state_->clientSize(*r);
    return {0, 0, size.width, size.height};
}

bool HeadlessPlatform::setWindowPos(HWND window, int x, int y, int width, int height, unsigned flags) {
    WindowRecord* r = state_->find(window);
    return r != nullptr && state_->setWindowPos(*r, x, y, width, height, flags);
}

bool HeadlessPlatform::showWindow(HWND window, ShowCommand command) {
    WindowRecord* r = state_->find(window);
    return r != nullptr && state_->showWindow(*r, command);
}

bool HeadlessPlatform::isWindowVisible(HWND window) {
    WindowRecord* r = state_->find(window);
    return r != nullptr && r->visible;
}

bool HeadlessPlatform::bringWindowToTop(HWND window) {
    WindowRecord* r = state_->find(window);
    if (r == nullptr) return false;
    state_->activate(*r);
    if (r->kind == WindowKind::Dialog) state_->emitTool(*r, "front");
    return true;
}

Rect HeadlessPlatform::adjustWindowRect(const Rect& client, unsigned style) {
    Rect nc = State::nonClient(style);
    return {client.left - nc.left, client.top - nc.top, client.right + nc.right, client.bottom + nc.bottom};
}

bool HeadlessPlatform::appendSystemMenuItem(HWND window, unsigned command, std::string_view text) {
    WindowRecord* r = state_->find(window);
    if (r == nullptr || r->kind != WindowKind::Popup || (r->style & tk::WS_SYSMENU) == 0) return false;
    r->systemMenu.emplace_back(command, std::string(text));
    state_->emitTool(*r, command == 0 ? std::string("menu separator")
                                      : "menu " + std::to_string(command) + " " + text::quote(text));
    return true;
}

void HeadlessPlatform::invalidate(HWND window) {
    if (WindowRecord* r = state_->find(window); r != nullptr) state_->markDirty(*r);
}

void HeadlessPlatform::updateWindow(HWND window) {
    if (WindowRecord* r = state_->find(window); r != nullptr && r->dirty) state_->paintPending();
}

long HeadlessPlatform::sendCopyData(HWND target, unsigned long identifier, const void* data, std::size_t length) {
    WindowRecord* r = state_->find(target);
    if (r == nullptr || r->sink == nullptr) return 0;
    return r->sink->onCopyData(identifier, data, length);
}

bool HeadlessPlatform::postCloseRequest(HWND target) {
    WindowRecord* r = state_->find(target);
    if (r == nullptr) return false;
    state_->postedCloses.push_back(r->id);
    return true;
}

void HeadlessPlatform::processPostedMessages() { state_->deliverPosted(); }

void HeadlessPlatform::setFocus(HWND window) {
    WindowRecord* r = state_->find(window);
    state_->focus = r != nullptr ? r->id : 0;
}

HWND HeadlessPlatform::focusWindow() { return State::handleOf(state_->focus); }

// ---- Standard dialogs and dialogs from templates ---------------------------------------------

int HeadlessPlatform::messageBox(HWND, std::string_view text, std::string_view title, unsigned style) {
    return state_->messageBox(text, title, style);
}

std::optional<std::string> HeadlessPlatform::openFileDialog(const FileDialogRequest& request) {
    return state_->fileDialog(request, false);
}

std::optional<std::string> HeadlessPlatform::saveFileDialog(const FileDialogRequest& request) {
    return state_->fileDialog(request, true);
}

int HeadlessPlatform::runModalDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) {
    return state_->runModal(dialog, owner, handler);
}

HWND HeadlessPlatform::createModelessDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler) {
    WindowId id = state_->openDialog(dialog, owner, handler, false);
    return id != 0 ? State::handleOf(id) : nullptr;
}

bool HeadlessPlatform::endDialog(HWND dialog, int code) { return state_->endDialog(State::idOf(dialog), code); }

DialogControls* HeadlessPlatform::dialogControls(HWND dialog) {
    WindowRecord* r = state_->find(dialog);
    return r != nullptr ? r->dialog.get() : nullptr;
}

// ---- Directories, profiles, resources ---------------------------------------------------------

std::vector<std::string> HeadlessPlatform::listDrives() { return driveEntries(); }

std::optional<DirectoryListing> HeadlessPlatform::listDirectory(std::string_view path) {
    return directoryEntries(path);
}

Profile& HeadlessPlatform::profile(std::string_view applicationName) {
    std::string key(applicationName);
    auto it = state_->profiles.find(key);
    if (it == state_->profiles.end()) {
        std::string path = profileDirectory() + "/" + profileFileName(applicationName);
        it = state_->profiles.emplace(key, std::make_unique<IniProfile>(path)).first;
    }
    return *it->second;
}

Bitmap HeadlessPlatform::loadBitmapResource(int resourceId) { return builtinBitmap(resourceId); }

std::optional<Bitmap> HeadlessPlatform::loadBitmapFile(const std::string& path, std::string* error) {
    DibResult result = readDibFile(path);
    if (!result.bitmap && error != nullptr) *error = result.message;
    return std::move(result.bitmap);
}

}  // namespace tk::headless
