// The desktop backend: a script answers modal elements exactly as in the
// headless backend (and a missing answer stops the run rather than wait);
// without a script, message boxes and file dialogs are real Qt windows with
// the module's titles, texts, buttons, filters and default extension.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "tk/desktop/desktop_platform.h"
#include "tk/headless/headless_platform.h"

namespace {

// Runs `act` on the modal window once it is open (polling the event loop
// the window runs in).
template <class Widget>
void whenShown(std::function<void(Widget&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* w = qobject_cast<Widget*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*w);
        }
    });
    timer->start(5);
}

struct Desktop : ::testing::Test {
    tk::desktop::DesktopPlatform platform;
    std::string transcript;
    Desktop() {
        platform.setTranscript([this](std::string_view line) { transcript += line; });
        platform.startModule("TUV Windows Application");
    }
};

TEST_F(Desktop, AScriptAnswersAsInTheHeadlessBackendAndAMissingAnswerStopsTheRun) {
    tk::common::ScriptedAnswers answers{"@no"};
    platform.setAnswerSource(&answers);
    EXPECT_EQ(platform.messageBox(nullptr, "Replace it?", "", tk::MB_YESNO), tk::IDNO);
    EXPECT_EQ(transcript,
              "[message box] \"TUV Windows Application\" \"Replace it?\" [Yes/No]\n[message box] -> No\n");
    EXPECT_THROW(platform.messageBox(nullptr, "Again?", "", tk::MB_YESNO), tk::common::MissingAnswer);
    EXPECT_FALSE(platform.failure().empty());
}

TEST_F(Desktop, WithoutAScriptAMessageBoxIsAQtWindow) {
    QString title, text;
    int buttons = 0;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        buttons = static_cast<int>(box.buttons().size());
        box.button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(platform.messageBox(nullptr, "Save changes?", "Symbol Bar", tk::MB_YESNOCANCEL | tk::MB_ICONQUESTION),
              tk::IDCANCEL);
    EXPECT_EQ(title, "Symbol Bar");
    EXPECT_EQ(text, "Save changes?");
    EXPECT_EQ(buttons, 3);
    EXPECT_EQ(transcript, "[message box] \"Symbol Bar\" \"Save changes?\" [Yes/No/Cancel]\n[message box] -> Cancel\n");
}

TEST_F(Desktop, WithoutAScriptTheFileDialogsAreQtWindows) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("zan-desktop-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    tk::FileDialogRequest request;
    request.title = "Save Modifier Bar";
    request.filter = "Modifier bars (*.Zmb)|*.Zmb|All files|*.*||";
    request.defaultExtension = "Zmb";
    request.initialDirectory = dir.string();
    QStringList filters;
    QString title;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        dialog.selectFile("levels");
        QMetaObject::invokeMethod(&dialog, "accept");  // as the Save button does
    });
    std::optional<std::string> chosen = platform.saveFileDialog(request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, (dir / "levels.Zmb").string());
    EXPECT_EQ(title, "Save Modifier Bar");
    EXPECT_EQ(filters, (QStringList{"Modifier bars (*.Zmb)", "All files (*.*)"}));
    EXPECT_NE(transcript.find("[save file] -> \"" + (dir / "levels.Zmb").string() + "\""), std::string::npos);

    whenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(platform.openFileDialog(request));
    EXPECT_NE(transcript.find("[open file] -> cancel\n"), std::string::npos);
    std::filesystem::remove_all(dir);
}

// A dialog with an edit, a check box, a list and OK and Cancel; the
// handler reads what the user left in them when OK is clicked.
struct Form final : tk::DialogHandler {
    tk::Platform& platform;
    HWND window = nullptr;
    std::string edit;
    bool checked = false;
    std::vector<int> selection;
    int commands = 0;

    explicit Form(tk::Platform& p) : platform(p) {}
    void dialogCreated(HWND d) override { window = d; }
    bool onInit() override {
        tk::DialogControls* c = platform.dialogControls(window);
        c->setText(1001, "start");
        c->listAdd(1003, "Level 1", 0);
        c->listAdd(1003, "Level 2", 0);
        return true;
    }
    void onCommand(int, int) override { ++commands; }
    void onOK() override {
        tk::DialogControls* c = platform.dialogControls(window);
        edit = c->text(1001);
        checked = c->isChecked(1002);
        selection = c->listSelection(1003);
        platform.endDialog(window, tk::IDOK);
    }
    void onCancel() override { platform.endDialog(window, tk::IDCANCEL); }
    void dialogDestroyed(int) override {}

    static tk::DialogTemplate layout() {
        tk::DialogTemplate t;
        t.resourceId = 500;
        t.caption = "Level Form";
        t.size = {200, 120};
        t.controls = {{1001, tk::ControlKind::Edit, "", 0, {10, 10, 190, 24}},
                      {1002, tk::ControlKind::CheckBox, "Freeze", 0, {10, 30, 100, 42}},
                      {1003, tk::ControlKind::ListBox, "", tk::kNotify, {10, 46, 190, 90}},
                      {1, tk::ControlKind::DefPushButton, "OK", 0, {90, 98, 135, 112}},
                      {2, tk::ControlKind::PushButton, "Cancel", 0, {145, 98, 190, 112}}};
        return t;
    }
};

// Runs the steps one by one on the modal Qt dialog, each once the model has
// taken in what the one before did.
void steps(std::vector<std::function<void(QDialog&)>> list) {
    auto* timer = new QTimer;
    auto left = std::make_shared<std::vector<std::function<void(QDialog&)>>>(std::move(list));
    QObject::connect(timer, &QTimer::timeout, [timer, left] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        auto step = left->front();
        left->erase(left->begin());
        if (left->empty()) {
            timer->stop();
            timer->deleteLater();
        }
        step(*dialog);
    });
    timer->start(10);
}

TEST_F(Desktop, WithoutAScriptADialogIsAQtWindowWhoseActionsTheModelPerforms) {
    Form form(platform);
    QString title;
    steps({[&](QDialog& d) {
               title = d.windowTitle();
               EXPECT_EQ(d.findChild<QLineEdit*>()->text(), "start");  // as the handler set it
               EXPECT_EQ(d.findChild<QListWidget*>()->count(), 2);
               d.findChild<QLineEdit*>()->setText("Ground floor");
               d.findChild<QCheckBox*>()->click();
           },
           [](QDialog& d) {
               EXPECT_TRUE(d.findChild<QCheckBox*>()->isChecked());  // the model's state, shown again
               d.findChild<QListWidget*>()->setCurrentRow(1);
           },
           [](QDialog& d) {
               for (QPushButton* b : d.findChildren<QPushButton*>())
                   if (b->text() == "OK") b->click();
           }});
    EXPECT_EQ(platform.runModalDialog(Form::layout(), nullptr, form), tk::IDOK);
    EXPECT_EQ(title, "Level Form");
    EXPECT_EQ(form.edit, "Ground floor");
    EXPECT_TRUE(form.checked);
    EXPECT_EQ(form.selection, std::vector<int>{1});
    EXPECT_GE(form.commands, 3);  // the edit's change, the check box, the list's selection

    Form cancelled(platform);
    steps({[](QDialog& d) { d.reject(); }});  // Escape, or the close box
    EXPECT_EQ(platform.runModalDialog(Form::layout(), nullptr, cancelled), tk::IDCANCEL);
}

// A tool window paints red through the canvas and notes the mouse.
struct RedTool final : tk::WindowHandler {
    tk::Point pressed{-1, -1};
    unsigned keys = 0;
    unsigned command = 0;
    bool onSystemCommand(unsigned c) override {
        command = c;
        return c != tk::SC_CLOSE;  // the platform closes the window
    }
    void onPaint(tk::Canvas& canvas) override {
        tk::Size size = canvas.size();
        canvas.fillRect({0, 0, size.width, size.height}, 0xFF0000);
    }
    void onMouseDown(tk::MouseButton, tk::Point p, unsigned k) override {
        pressed = p;
        keys = k;
    }
};

QWidget* shownWindow(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == title && w->isVisible()) return w;
    return nullptr;
}

TEST_F(Desktop, AToolWindowIsAQtWindowShowingTheCanvasAndTakingTheMouse) {
    RedTool tool;
    tk::WindowSpec spec;
    spec.style = tk::WS_POPUP | tk::WS_CAPTION | tk::WS_SYSMENU;
    spec.caption = "Levels";
    spec.rect = {100, 100, 220, 160};
    HWND window = platform.createWindow(spec, &tool);
    ASSERT_NE(window, nullptr);
    platform.showWindow(window, tk::SW_SHOW);
    QApplication::processEvents();
    QWidget* shown = shownWindow("Levels");
    ASSERT_NE(shown, nullptr);
    tk::Rect client = platform.clientRect(window);
    EXPECT_EQ(shown->size(), QSize(client.right, client.bottom));
    QImage pixels = shown->grab().toImage();
    EXPECT_EQ(pixels.pixelColor(5, 5), QColor(Qt::red));

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(7, 9), shown->mapToGlobal(QPointF(7, 9)), Qt::LeftButton,
                      Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(shown, &press);
    EXPECT_EQ(tool.pressed.x, 7);
    EXPECT_EQ(tool.pressed.y, 9);
    EXPECT_EQ(tool.keys, tk::MK_LBUTTON | tk::MK_SHIFT);
    EXPECT_NE(transcript.find("press at 7,9 left shift"), std::string::npos) << transcript;

    // The system menu, from a right click on the window: the module's item.
    platform.appendSystemMenuItem(window, 303, "Set Rows...");
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            timer->stop();
            timer->deleteLater();
            for (QAction* a : menu->actions())
                if (a->text() == "Set Rows...") menu->setActiveAction(a);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(menu, &enter);
        }
    });
    timer->start(5);
    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(3, 3), shown->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(shown, &right);
    EXPECT_EQ(tool.command, 303u);

    platform.setWindowText(window, "Levels (2)");
    EXPECT_NE(shownWindow("Levels (2)"), nullptr);
    QCloseEvent close;
    QApplication::sendEvent(shownWindow("Levels (2)"), &close);  // the close box: the model closes it
    EXPECT_FALSE(platform.isWindow(window));
    EXPECT_EQ(shownWindow("Levels (2)"), nullptr);
}

}  // namespace

namespace {

TEST_F(Desktop, AToolWindowBelongsToItsOwnerAndOffersItsSystemMenuFromTheKeyboard) {
    RedTool tool;
    tk::WindowSpec spec;
    spec.style = tk::WS_POPUP | tk::WS_CAPTION | tk::WS_SYSMENU;
    spec.caption = "Owned";
    spec.rect = {10, 10, 110, 60};
    HWND window = platform.createWindow(spec, &tool);
    platform.showWindow(window, tk::SW_SHOW);
    platform.appendSystemMenuItem(window, 304, "Set Columns...");
    QApplication::processEvents();
    {
        QWidget owner;
        platform.setOwnerWindow(&owner);
        QWidget* shown = shownWindow("Owned");
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->parentWidget(), &owner);
        EXPECT_TRUE(shown->isWindow());  // a window of its own, above its owner

        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                timer->stop();
                timer->deleteLater();
                for (QAction* a : menu->actions())
                    if (a->text() == "Set Columns...") menu->setActiveAction(a);
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(menu, &enter);
            }
        });
        timer->start(5);
        QKeyEvent altSpace(QEvent::KeyPress, Qt::Key_Space, Qt::AltModifier);
        QApplication::sendEvent(shown, &altSpace);
        EXPECT_EQ(tool.command, 304u);
        platform.setOwnerWindow(nullptr);  // before the owner goes: the backend keeps its windows
    }
    QWidget* shown = shownWindow("Owned");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->parentWidget(), nullptr);
    platform.destroyWindow(window);
}

// The per-application profile is the same INI file whichever backend runs.
TEST_F(Desktop, TheProfileIsTheHeadlessBackendsIniFile) {
    std::string dir = std::filesystem::temp_directory_path() / ("zan-desktop-profile-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    platform.setProfileDirectory(dir);
    ASSERT_TRUE(platform.profile("TUV Windows Application").writeInt("Levels", "Rows", 3));
    ASSERT_TRUE(platform.profile("TUV Windows Application").writeString("Levels", "Name", "Ground floor"));
    tk::headless::HeadlessPlatform headless;
    headless.setProfileDirectory(dir);
    EXPECT_EQ(headless.profile("TUV Windows Application").getInt("Levels", "Rows", 0), 3);
    EXPECT_EQ(headless.profile("TUV Windows Application").getString("Levels", "Name", ""), "Ground floor");
    ASSERT_TRUE(headless.profile("TUV Windows Application").writeInt("Levels", "Columns", 2));
    tk::desktop::DesktopPlatform again;
    again.setProfileDirectory(dir);
    EXPECT_EQ(again.profile("TUV Windows Application").getInt("Levels", "Columns", 0), 2);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) files += entry.path().extension() == ".ini";
    EXPECT_EQ(files, 1u);
    std::filesystem::remove_all(dir);
}

}  // namespace
