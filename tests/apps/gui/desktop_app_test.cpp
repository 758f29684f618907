// The desktop application: a script drives the main window as it drives a
// terminal run (the level bar and a dialog open as Qt windows, a click in the
// view answers a point prompt), the user's typing and clicks reach the same
// command line, and a picture of the window shows the drawing.
// (Qt's headers come before the host's, whose macros they must not see.)
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <vector>

#include "geometry/group_points.h"
#include "gui/desktop_app.h"
#include "layouts.h"
#include "support/session_harness.h"

namespace zan::test {
namespace {

// Notes the titles of the dialogs Qt shows.
struct ShownDialogs : QObject {
    QStringList titles;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* d = qobject_cast<QDialog*>(object)) titles << d->windowTitle();
        return false;
    }
};

// A session on the desktop backend in a directory of its own with a copy of the demo kit.
struct DesktopFixture {
    std::string dir = makeTempDirectory("desktop-app");
    std::filesystem::path previous = std::filesystem::current_path();
    std::string transcript;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<gui::Desktop> desktop;

    explicit DesktopFixture(bool demo) {
        std::filesystem::copy(std::string(ZAN_SOURCE_DIR) + "/samples", dir + "/samples",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(dir);
        app::SessionOptions options;
        options.modulePath = ZAN_MODULE_PATH;
        options.profileDirectory = dir + "/profile";
        options.backend = "desktop";
        session = std::make_unique<app::Session>(options, [this](std::string_view text) {
            transcript += text;
            if (desktop) desktop->show(text);
        });
        if (demo) EXPECT_TRUE(session->openDrawing("samples/demo/demo.dxf"));
        else session->newDrawing();
        EXPECT_TRUE(session->loadModule());
        desktop = std::make_unique<gui::Desktop>(*session);
        desktop->window().resize(900, 700);
        QApplication::processEvents();
    }
    ~DesktopFixture() {
        desktop.reset();
        session.reset();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    host::Database& db() { return session->host().db(); }
};

// The user's steps, each once its condition holds (polled from the event
// loop while the session runs); the window closes after the last, or when
// a condition is not met in time.
void actAsUser(gui::MainWindow& window, std::vector<std::pair<std::function<bool()>, std::function<void()>>> steps) {
    auto* timer = new QTimer(&window);
    auto next = std::make_shared<std::size_t>(0);
    auto polls = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, &window, [=, &window] {
        if (++*polls > 2000) {
            ADD_FAILURE() << "step " << *next << " never became possible; prompt: " << window.prompt();
            timer->stop();
            window.close();
            return;
        }
        if (*next < steps.size() && steps[*next].first()) steps[(*next)++].second();
        if (*next == steps.size()) {
            timer->stop();
            window.close();
        }
    });
    timer->start(5);
}

std::vector<host::RecordId> modelEntities(const host::Database& db, const std::string& type) {
    std::vector<host::RecordId> found;
    std::vector<render::Layout> layouts = render::drawingLayouts(db);
    for (host::RecordId id : layouts.front().entities)
        if (db.at(id).type == type) found.push_back(id);
    return found;
}

TEST(DesktopApp, AScriptOpensTheLevelBarAndDialogAndTakesAPicture) {
    DesktopFixture f(true);
    ShownDialogs shown;
    qApp->installEventFilter(&shown);
    app::Script script(
        "levelbar\n@tool 1 click 2\n"
        "dlconfig\n@select 1036 \"Level 1 plan\"\n@click 1043\n@escape\n"
        "@view extents\n");
    EXPECT_EQ(f.desktop->run(&script), 0) << f.transcript;
    qApp->removeEventFilter(&shown);
    EXPECT_TRUE(shown.titles.contains("Layer Configuration Selection")) << shown.titles.join(", ").toStdString();
    QWidget* bar = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if ((w->windowFlags() & Qt::Tool) == Qt::Tool && w->isVisible()) bar = w;
    ASSERT_NE(bar, nullptr) << f.transcript;

    // The text screen holds the transcript; the tabs name model space and the layouts.
    gui::MainWindow& window = f.desktop->window();
    EXPECT_TRUE(window.textScreen().toPlainText().contains("open modal \"Layer Configuration Selection\""));
    ASSERT_GE(window.tabs().count(), 2);
    EXPECT_EQ(window.tabs().tabText(0), "Model");

    std::string picture = f.dir + "/window.png";
    std::string message;
    ASSERT_TRUE(f.desktop->screenshot(picture, message)) << message;
    QImage image(QString::fromStdString(picture));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), window.size());
    // The view's background is black; the drawing puts coloured pixels on it.
    gui::DrawingView& view = window.view();
    QPoint origin = view.mapTo(&window, QPoint(0, 0));
    std::set<QRgb> colours;
    int lit = 0, total = 0;
    for (int y = origin.y(); y < origin.y() + view.height(); y += 2)
        for (int x = origin.x(); x < origin.x() + view.width(); x += 2) {
            QRgb p = image.pixel(x, y);
            colours.insert(p);
            ++total;
            if (qGray(p) > 40) ++lit;
        }
    EXPECT_GT(colours.size(), 4u);
    EXPECT_GT(lit, total / 500) << "the drawing is missing from the view";
    EXPECT_LT(lit, total / 2) << "the view is not the drawing on its background";
}

TEST(DesktopApp, ClicksAnswerPointAndPickPrompts) {
    DesktopFixture f(false);
    gui::MainWindow& window = f.desktop->window();
    gui::DrawingView& view = window.view();
    // One drawing unit a pixel, the origin at the view's lower left corner.
    host::Box box;
    box.add(0, 0);
    box.add(view.width(), view.height());
    view.setWindow(box);
    double h = view.height();
    host::Point3 start{}, end{};
    // The drawing's display variables follow the view.
    EXPECT_NEAR(f.db().variables().real("VIEWSIZE", 0), h, 1e-6);
    EXPECT_NEAR(f.db().variables().point("SCREENSIZE")[1], h, 1e-6);
    auto prompting = [&](const char* text) { return [&window, text] { return window.prompt().find(text) == 0; }; };
    auto typed = [&](const char* text) {
        return [&window, text] {
            QTest::keyClicks(&window.commandLine(), text);
            QTest::keyClick(&window.commandLine(), Qt::Key_Return);
        };
    };
    auto click = [&](int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        return [&view, x, y, button] { QTest::mouseClick(&view, button, Qt::NoModifier, QPoint(x, y)); };
    };
    actAsUser(window, {
        {prompting("Command:"), typed("line")},
        {prompting("Specify first point"), click(100, 50)},
        {prompting("Specify next point"), click(300, 150)},
        {[] { return true; }, click(0, 0, Qt::RightButton)},  // Enter ends LINE
        {prompting("Command:"), [&] {
             std::vector<host::RecordId> made = modelEntities(f.db(), "LINE");
             if (made.size() == 1) {
                 start = host::pointOf(f.db().at(made[0]), 10).value_or(host::Point3{});
                 end = host::pointOf(f.db().at(made[0]), 11).value_or(host::Point3{});
             }
             EXPECT_EQ(made.size(), 1u);
             typed("erase")();
         }},
        // A pixel beside the line's middle: within the pick box, measured in
        // the view's pixels.
        {prompting("Select objects"), click(200, 101)},
        {prompting("Select objects"), click(0, 0, Qt::RightButton)},
        {prompting("Command:"), [] {}},
    });
    EXPECT_EQ(f.desktop->run(nullptr), 0) << f.transcript;
    // The line (read back before ERASE took it) goes through the clicked points.
    EXPECT_NEAR(start.x, 100, 1e-6);
    EXPECT_NEAR(start.y, h - 50, 1e-6);
    EXPECT_NEAR(end.x, 300, 1e-6);
    EXPECT_NEAR(end.y, h - 150, 1e-6);
    EXPECT_TRUE(modelEntities(f.db(), "LINE").empty()) << "the pick did not erase the line\n" << f.transcript;
    EXPECT_NE(f.transcript.find("1 found"), std::string::npos) << f.transcript;
}

TEST(DesktopApp, AClickOnTheLevelBarRunsItsCommandWhileTheUserIsAtTheCommandPrompt) {
    DesktopFixture f(true);
    gui::MainWindow& window = f.desktop->window();
    auto bar = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if ((w->windowFlags() & Qt::Tool) == Qt::Tool && w->isVisible()) return w;
        return static_cast<QWidget*>(nullptr);
    };
    std::size_t before = 0;
    actAsUser(window, {
        {[&] { return window.prompt() == "Command: "; }, [&] {
             QTest::keyClicks(&window.commandLine(), "levelbar");
             QTest::keyClick(&window.commandLine(), Qt::Key_Return);
         }},
        {[&] { return bar() != nullptr && window.prompt() == "Command: "; }, [&] {
             before = f.transcript.size();
             // Onto the second button, and a click with Shift: its level's layers thaw or freeze.
             QMouseEvent move(QEvent::MouseMove, QPointF(39, 13), bar()->mapToGlobal(QPointF(39, 13)), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
             QApplication::sendEvent(bar(), &move);
             QTest::mouseClick(bar(), Qt::LeftButton, Qt::ShiftModifier, QPoint(39, 13));
         }},
        // The layer command the bar sent ran without the user typing anything.
        {[&] { return f.transcript.find("-Layer", before) != std::string::npos && window.prompt() == "Command: "; },
         [] {}},
    });
    EXPECT_EQ(f.desktop->run(nullptr), 0) << f.transcript;
    EXPECT_NE(f.transcript.find("-Layer", before), std::string::npos) << f.transcript.substr(before);
}

TEST(DesktopApp, TheCommandLineKeepsAHistoryAndTheWheelZoomsAboutTheCursor) {
    DesktopFixture f(false);
    gui::MainWindow& window = f.desktop->window();
    gui::CommandEdit& edit = window.commandLine();
    std::vector<std::string> given;
    edit.onLine = [&](const std::string& line) { given.push_back(line); };
    for (const char* line : {"first", "second"}) {
        QTest::keyClicks(&edit, line);
        QTest::keyClick(&edit, Qt::Key_Return);
    }
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "second");
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "first");
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), "second");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(given, (std::vector<std::string>{"first", "second", "second"}));

    gui::DrawingView& view = window.view();
    host::Box box;
    box.add(0, 0);
    box.add(view.width(), view.height());
    view.setWindow(box);
    QPointF cursor(120, 80), before = view.toDrawing(cursor);
    view.zoomAt(cursor, 2.0);
    QPointF after = view.toDrawing(cursor);
    EXPECT_NEAR(after.x(), before.x(), 1e-6);
    EXPECT_NEAR(after.y(), before.y(), 1e-6);
    EXPECT_NEAR(view.window().maxX - view.window().minX, view.width() / 2.0, 1e-6);
}

}  // namespace
}  // namespace zan::test
