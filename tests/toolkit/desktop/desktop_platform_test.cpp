// The desktop backend: a script answers modal elements exactly as in the
// headless backend (and a missing answer stops the run rather than wait);
// without a script, message boxes and file dialogs are real Qt windows with
// the module's titles, texts, buttons, filters and default extension.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include "tk/desktop/desktop_platform.h"

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

}  // namespace
