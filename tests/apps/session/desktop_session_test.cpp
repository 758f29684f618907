// A session on the desktop backend: the module's level bar, opened by a
// script, is a Qt tool window showing what the module painted, and the
// dialogs the script answers are Qt windows while they are open.
// (Qt's headers come before the host's, whose macros they must not see.)
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "session/session.h"
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

TEST(DesktopSession, TheLevelBarAndTheScriptedDialogsAreQtWindows) {
    std::string dir = makeTempDirectory("desktop-session");
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::copy(std::string(ZAN_SOURCE_DIR) + "/samples", dir + "/samples",
                          std::filesystem::copy_options::recursive);
    std::filesystem::current_path(dir);
    {
        app::SessionOptions options;
        options.modulePath = ZAN_MODULE_PATH;
        options.profileDirectory = dir + "/profile";
        options.backend = "desktop";
        std::string transcript;
        app::Session session(options, [&](std::string_view text) { transcript += text; });
        ASSERT_TRUE(session.openDrawing("samples/demo/demo.dxf"));
        ASSERT_TRUE(session.loadModule());
        ShownDialogs shown;
        qApp->installEventFilter(&shown);
        app::Script script(
            "levelbar\n@tool 1 click 2\n"
            "dlconfig\n@select 1036 \"Level 1 plan\"\n@click 1043\n@escape\n");
        EXPECT_EQ(session.run(script), 0) << transcript;
        qApp->removeEventFilter(&shown);
        EXPECT_TRUE(shown.titles.contains("Layer Configuration Selection")) << shown.titles.join(", ").toStdString();
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<QDialog*>(w) && w->isVisible()) << "still shown: " << w->windowTitle().toStdString();
        QApplication::processEvents();
        QWidget* bar = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if ((w->windowFlags() & Qt::Tool) == Qt::Tool && w->isVisible()) bar = w;
        ASSERT_NE(bar, nullptr) << transcript;
        QImage pixels = bar->grab().toImage();
        std::set<QRgb> colours;
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x) colours.insert(pixels.pixel(x, y));
        EXPECT_GT(colours.size(), 3u);  // the buttons' bitmaps and edges, not a blank window
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}

// Run as a process of its own (as CTest runs each test): no application yet.
TEST(DesktopSession, WithoutADisplayTheBackendIsRefusedWithAReason) {
    if (QApplication::instance()) GTEST_SKIP() << "an application exists already in this process";
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    app::SessionOptions options;
    options.backend = "desktop";
    try {
        app::Session session(options, [](std::string_view) {});
        FAIL() << "a desktop session started without a display";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("needs a display"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace zan::test
