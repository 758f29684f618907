// Floating tool windows as Qt windows. The model keeps each window, its
// children and its pixels, painted through the toolkit's canvas exactly as
// in the headless backend; the Qt window shows those pixels, and the mouse
// pressed, released and moved on it reaches the model as the script's
// "@tool <n> press|release|move at <x>,<y> ..." lines, so that the module's
// handlers see the same messages as from a script. Closing the Qt window
// asks the model to close the tool window.
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <map>

#include "state.h"

namespace tk::desktop {

namespace {

// The number the model gives a tool window (as in the transcript), or 0.
int toolNumber(tk::headless::HeadlessPlatform& model, HWND window) {
    std::size_t open = model.toolWindows().size();
    for (int n = 1, found = 0; found < static_cast<int>(open) && n < 100000; ++n)
        if (HWND w = model.toolWindow(n)) {
            if (w == window) return n;
            ++found;
        }
    return 0;
}

}  // namespace

class ToolMirror final : public QWidget {
public:
    ToolMirror(DesktopPlatform::State& state, HWND window)
        : QWidget(state.owner, kFlags), state_(state), window_(window) {
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    static constexpr Qt::WindowFlags kFlags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    HWND window() const { return window_; }

    // Takes the model's caption, place, size and visibility.
    void follow() {
        tk::headless::HeadlessPlatform& model = state_.model;
        setWindowTitle(QString::fromStdString(model.windowText(window_)));
        tk::Rect client = model.clientRect(window_), outer = model.windowRect(window_);
        setFixedSize(std::max(1, client.right), std::max(1, client.bottom));
        move(outer.left, outer.top);
        setVisible(model.isWindowVisible(window_));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        std::optional<tk::Bitmap> pixels = state_.model.windowImage(window_, false);
        if (!pixels || pixels->empty()) {
            painter.fillRect(rect(), Qt::lightGray);
            return;
        }
        QImage image(reinterpret_cast<const uchar*>(pixels->pixels.data()), pixels->width, pixels->height,
                     pixels->width * 4, QImage::Format_RGB32);
        painter.drawImage(0, 0, image);
    }
    void mousePressEvent(QMouseEvent* e) override { send("press", e, true); }
    void mouseReleaseEvent(QMouseEvent* e) override { send("release", e, true); }
    void mouseMoveEvent(QMouseEvent* e) override { send("move", e, false); }
    // The system menu: what the module appended, then Close.
    void contextMenuEvent(QContextMenuEvent* e) override { offerSystemMenu(e->globalPos()); }
    // Alt+Space, the key of a window's system menu, where the window
    // manager leaves it to the window: the menu under the caption.
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Space && (e->modifiers() & Qt::AltModifier)) offerSystemMenu(mapToGlobal(QPoint(0, 0)));
        else QWidget::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        e->ignore();  // the model decides, as the module's handler may refuse
        perform("close");
    }

public:
    void offerSystemMenu(QPoint at) {
        QMenu menu(this);
        fillSystemMenu(menu);
        if (QAction* chosen = menu.exec(at)) perform("sysmenu " + std::to_string(chosen->data().toUInt()));
    }
    void fillSystemMenu(QMenu& menu) {
        auto it = state_.systemMenus.find(window_);
        if (it != state_.systemMenus.end()) {
            for (const auto& [command, text] : it->second) {
                if (command == 0 && text.empty()) menu.addSeparator();
                else menu.addAction(QString::fromStdString(text))->setData(command);
            }
            menu.addSeparator();
        }
        menu.addAction("Close")->setData(static_cast<unsigned>(tk::SC_CLOSE));
    }

private:
    void send(const char* action, QMouseEvent* e, bool withButton) {
        QPoint at = e->position().toPoint();
        std::string words = std::string(action) + " at " + std::to_string(at.x()) + "," + std::to_string(at.y());
        if (withButton)
            words += e->button() == Qt::RightButton ? " right" : e->button() == Qt::MiddleButton ? " middle" : " left";
        if (e->modifiers() & Qt::ShiftModifier) words += " shift";
        if (e->modifiers() & Qt::ControlModifier) words += " ctrl";
        perform(words);
    }
    void perform(const std::string& words) {
        int number = toolNumber(state_.model, window_);
        if (number == 0) return;
        std::string error;
        if (!state_.model.performUiLine("@tool " + std::to_string(number) + " " + words, error))
            state_.say("zan: " + error);
        followToolWindows(state_);
    }

    DesktopPlatform::State& state_;
    HWND window_;
};

void ToolMirrorDeleter::operator()(ToolMirror* mirror) const { delete mirror; }

void followToolWindows(DesktopPlatform::State& state) {
    // What a Qt window does while it follows (a show, a move) may reach the
    // module, which may change windows again: one pass at a time.
    if (state.following) return;
    struct Following {
        bool& flag;
        explicit Following(bool& f) : flag(f) { flag = true; }
        ~Following() { flag = false; }
    } following(state.following);
    std::vector<HWND> open = state.model.toolWindows();
    auto& mirrors = state.tools;
    for (auto it = mirrors.begin(); it != mirrors.end();) {
        if (std::find(open.begin(), open.end(), (*it)->window()) == open.end()) it = mirrors.erase(it);
        else ++it;
    }
    for (HWND w : open) {
        auto it = std::find_if(mirrors.begin(), mirrors.end(), [w](const auto& m) { return m->window() == w; });
        if (it == mirrors.end()) {
            mirrors.emplace_back(new ToolMirror(state, w));
            it = mirrors.end() - 1;
        }
        (*it)->follow();
    }
}

void dropToolWindows(DesktopPlatform::State& state) { state.tools.clear(); }

void reownToolWindows(DesktopPlatform::State& state) {
    for (auto& mirror : state.tools) {
        bool shown = mirror->isVisible();
        mirror->setParent(state.owner, ToolMirror::kFlags);  // hides it
        mirror->setVisible(shown);
    }
}

void repaintToolWindows(DesktopPlatform::State& state) {
    for (auto& mirror : state.tools) mirror->update();
}

}  // namespace tk::desktop
