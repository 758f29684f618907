// (Qt's headers come before the host's, whose macros they must not see.)
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "gui/main_window.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "core/fiber.h"
#include "gui/desktop_app.h"
#include "gui/gui_input.h"
#include "session/host_drawing.h"
#include "tk/common/safe_save.h"
#include "tk/desktop/desktop_platform.h"

namespace zan::gui {

namespace {

// Qt paints and runs modal dialogs on the host's stack while a command waits
// in one: room for that.
constexpr std::size_t kHostStack = 8u << 20;

std::string pointText(double x, double y) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g,%.10g", x, y);
    return text;
}

bool parsePair(const std::string& text, double& a, double& b) {
    std::istringstream in(text);
    char comma = 0;
    return static_cast<bool>(in >> a >> comma >> b) && comma == ',' && in.peek() == std::char_traits<char>::eof();
}

}  // namespace

struct Desktop::State {
    app::Session& session;
    app::HostDrawing drawing;
    MainWindow window;
    GuiInput input;
    std::unique_ptr<host::Fiber> fiber;
    QEventLoop* loop = nullptr;
    bool resumeSoon = false;
    int status = 0;
    std::string screenshotFailure;

    explicit State(app::Session& s) : session(s), drawing(s.host()), window(drawing) {}

    // Runs the host until it waits again (or ends), from the event loop.
    void step() {
        resumeSoon = false;
        if (!fiber || fiber->finished()) return;
        try {
            fiber->resume();
        } catch (const std::exception& e) {
            session.host().print(std::string("\nzan: ") + e.what() + "\n");
            status = 2;
        }
        window.refresh();
        if (fiber->finished() && loop) loop->quit();
    }
    void wake() {
        if (resumeSoon) return;
        resumeSoon = true;
        QTimer::singleShot(0, &window, [this] { step(); });
    }
};

Desktop::Desktop(app::Session& session) : state_(std::make_unique<State>(session)) {
    State& s = *state_;
    s.window.commandLine().onLine = [&s](const std::string& line) { s.input.feed(line); };
    s.window.view().onClick = [&s](double x, double y, Qt::MouseButton button) {
        if (button == Qt::RightButton) s.input.feed("");  // Enter
        else if (s.window.prompt() != "Command: ") s.input.feed(pointText(x, y));
    };
    s.window.onClose = [&s] { s.input.close(); };
    // The host's picks measure their aperture in pixels of the display: it
    // learns what the view shows (as the display variables of the drawing).
    s.window.view().onDisplay = [&s](const render::Layout& layout, const host::Box& shown, int width, int height) {
        host::SystemVariables& vars = s.session.host().db().variables();
        vars.setPoint("SCREENSIZE", {static_cast<double>(width), static_cast<double>(height), 0});
        if (!layout.model || vars.integer("TILEMODE", 1) != 1) return;
        vars.setPoint("VIEWCTR", {(shown.minX + shown.maxX) / 2, (shown.minY + shown.maxY) / 2, 0});
        vars.setReal("VIEWSIZE", shown.maxY - shown.minY);
    };
    s.input.setWake([&s] { s.wake(); });
    // Command text an application sends (a click on the level bar) runs when
    // the host is idle: at the Command: prompt, an empty input lets the host
    // come round to it, as a terminal user's Enter would.
    auto* idle = new QTimer(&s.window);
    QObject::connect(idle, &QTimer::timeout, &s.window, [&s] {
        if (s.input.waiting() && s.window.prompt() == "Command: " && s.session.host().commandLine().hasQueuedText())
            s.input.feed("");
    });
    idle->start(50);
    s.input.setYield([&s] {
        // What the host printed last before it waits is its prompt (tool
        // windows may print lines while it waits).
        s.window.showPrompt(s.window.lastLine());
        if (s.fiber) s.fiber->suspend();
    });
    session.setUiLineHook([this](const std::string& line) { return performViewLine(line); });
    QApplication::setQuitOnLastWindowClosed(false);
    // The module's tool windows belong to the main window.
    if (auto* desktop = dynamic_cast<tk::desktop::DesktopPlatform*>(&session.platform()))
        desktop->setOwnerWindow(&s.window);
    s.window.refresh();
    s.window.show();
}

Desktop::~Desktop() {
    // The tool windows outlive the main window (the backend owns them).
    if (auto* desktop = dynamic_cast<tk::desktop::DesktopPlatform*>(&state_->session.platform()))
        desktop->setOwnerWindow(nullptr);
    state_->session.setUiLineHook(nullptr);
    state_->session.host().commandLine().setSource(nullptr);
}

MainWindow& Desktop::window() { return state_->window; }

void Desktop::screenshotAtEnd(std::string path) {
    state_->input.setAtEnd([this, path] {
        std::string message;
        if (!screenshot(path, message)) {
            state_->screenshotFailure = message;
            state_->session.host().print(message + "\n");
        }
    });
}

const std::string& Desktop::screenshotFailure() const { return state_->screenshotFailure; }

void Desktop::show(std::string_view text) { state_->window.showOutput(text); }

int Desktop::run(app::Script* script) {
    State& s = *state_;
    if (script) s.session.attach(*script);
    s.input.setScript(script);
    s.session.host().commandLine().setSource(&s.input);
    s.status = 0;
    s.fiber = std::make_unique<host::Fiber>([&s] {
        int status = s.session.run();
        if (status != 0) s.status = status;
    }, kHostStack);
    QEventLoop loop;
    s.loop = &loop;
    s.wake();
    loop.exec();
    s.loop = nullptr;
    s.input.finish();
    // The host's loop has ended; a window closed in the meantime leaves
    // nothing suspended.
    s.fiber.reset();
    s.session.host().commandLine().setSource(nullptr);
    if (script) s.session.platform().setAnswerSource(nullptr);
    s.window.refresh();
    return s.status;
}

bool Desktop::screenshot(const std::string& path, std::string& message) {
    MainWindow& window = state_->window;
    window.refresh();
    QApplication::processEvents();
    QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &window && w->isVisible() && (w->windowFlags() & Qt::Tool) == Qt::Tool)
                painter.drawPixmap(w->geometry().topLeft() - window.geometry().topLeft(), w->grab());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG")) {
        message = path + ": the picture could not be made";
        return false;
    }
    tk::SaveResult saved = tk::common::saveFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!saved) message = saved.message;
    return saved.saved;
}

bool Desktop::performViewLine(const std::string& line) {
    std::istringstream words(line);
    std::string head, verb;
    words >> head;
    if (head != "@view") return false;
    words >> verb;
    std::string rest;
    std::getline(words >> std::ws, rest);
    DrawingView& view = state_->window.view();
    auto fail = [&](const std::string& why) { state_->session.host().print("zan: " + why + "\n"); };
    if (verb == "extents") {
        view.zoomExtents();
    } else if (verb == "layout") {
        if (!view.showLayout(rest)) fail("the drawing has no layout \"" + rest + "\"");
        state_->window.refresh();
    } else if (verb == "click") {
        // A click of the mouse at a pixel of the view, as the user makes it.
        std::istringstream in(rest);
        std::string at, button;
        in >> at >> button;
        double x = 0, y = 0;
        if (!parsePair(at, x, y) || (!button.empty() && button != "left" && button != "right")) {
            fail("@view click takes X,Y (pixels of the view) and optionally left or right");
            return true;
        }
        Qt::MouseButton which = button == "right" ? Qt::RightButton : Qt::LeftButton;
        QPointF local(x, y), global = view.mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, which, which, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, which, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
        QApplication::sendEvent(&view, &release);
    } else if (verb == "zoom") {
        std::istringstream in(rest);
        std::string at;
        double factor = 0, x = 0, y = 0;
        if (!(in >> at >> factor) || !parsePair(at, x, y) || !(factor > 0)) {
            fail("@view zoom takes X,Y (pixels of the view) and a factor");
            return true;
        }
        view.zoomAt(QPointF(x, y), factor);
    } else {
        fail("@view takes click, zoom, extents or layout");
    }
    return true;
}

int runDesktop(DesktopRun run) {
    run.options.backend = "desktop";
    Desktop* desktop = nullptr;
    std::string early;  // printed before the window was there
    auto output = [&](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        if (desktop) desktop->show(text);
        else early += text;
    };
    std::ifstream file;
    std::unique_ptr<app::Script> script;  // outlives the session, which may read it to its end
    if (run.script == "-") {
        script = std::make_unique<app::Script>(std::cin, false);
    } else if (!run.script.empty()) {
        file.open(run.script);
        if (!file) {
            std::cerr << "zan: cannot read the script " << run.script << ": " << std::strerror(errno) << "\n";
            return 66;
        }
        script = std::make_unique<app::Script>(file, false);
    }
    std::unique_ptr<app::Session> session;
    try {
        session = std::make_unique<app::Session>(run.options, output);
    } catch (const std::exception& e) {
        std::cerr << "zan: " << e.what() << "\n";
        return 1;
    }
    // With a script, it answers the user interface too; without one, the
    // user answers in Qt windows.
    if (script) session->attach(*script);
    if (run.newDrawing) session->newDrawing();
    else if (!session->openDrawing(run.drawing.empty() ? run.demoDrawing : run.drawing)) return 1;
    Desktop window(*session);
    desktop = &window;
    window.show(early);
    if (!session->loadModule()) return 1;
    if (!run.screenshot.empty()) window.screenshotAtEnd(run.screenshot);
    int status = window.run(script.get());
    if (!window.screenshotFailure().empty() && status == 0) status = 1;
    desktop = nullptr;
    if (!run.saveAs.empty() && !session->saveDrawing(run.saveAs) && status == 0) status = 1;
    if (!run.plot.path.empty() && !session->plotDrawing(run.plot) && status == 0) status = 1;
    return status;
}

}  // namespace zan::gui
