// Message boxes and the standard file dialogs as Qt shows them, with the
// same transcript lines as the headless backend (docs/automation-ui.md).
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <stdexcept>
#include <utility>
#include <vector>

#include "state.h"
#include "tk/common/text.h"

namespace tk::desktop {

namespace {

struct Button {
    QMessageBox::StandardButton qt;
    const char* shown;
    int code;
};

std::vector<Button> buttonsOf(unsigned style) {
    switch (style & tk::kMessageBoxButtonsMask) {
        case tk::MB_OKCANCEL: return {{QMessageBox::Ok, "OK", tk::IDOK}, {QMessageBox::Cancel, "Cancel", tk::IDCANCEL}};
        case tk::MB_YESNOCANCEL:
            return {{QMessageBox::Yes, "Yes", tk::IDYES},
                    {QMessageBox::No, "No", tk::IDNO},
                    {QMessageBox::Cancel, "Cancel", tk::IDCANCEL}};
        case tk::MB_YESNO: return {{QMessageBox::Yes, "Yes", tk::IDYES}, {QMessageBox::No, "No", tk::IDNO}};
        default: return {{QMessageBox::Ok, "OK", tk::IDOK}};
    }
}

QMessageBox::Icon iconOf(unsigned style) {
    switch (style & 0xF0) {
        case tk::MB_ICONERROR: return QMessageBox::Critical;
        case tk::MB_ICONQUESTION: return QMessageBox::Question;
        case tk::MB_ICONEXCLAMATION: return QMessageBox::Warning;
        case tk::MB_ICONINFORMATION: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

QString qt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// "Text (*.txt)|*.txt|All (*.*)|*.*||" as Qt's name filters.
QStringList nameFilters(std::string_view filter) {
    QStringList parts = qt(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        // Qt reads the patterns from the parentheses that end a filter.
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << (parts[i].trimmed().endsWith(')') ? parts[i] : parts[i] + " (" + patterns + ")");
    }
    return out;
}

}  // namespace

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    // Qt ends the process when no platform can start; say why instead.
    bool chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    bool display = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!chosen && !display)
        throw std::runtime_error("the desktop backend needs a display (DISPLAY or WAYLAND_DISPLAY is not set); "
                                 "QT_QPA_PLATFORM=offscreen runs it without one");
    // Kept for the life of the process, as Qt requires of its arguments.
    static int argc = 1;
    static char program[] = "zan";
    static char* argv[] = {program, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

int showMessageBox(DesktopPlatform::State& state, std::string_view text, std::string_view title, unsigned style) {
    std::vector<Button> buttons = buttonsOf(style);
    std::string names;
    for (const Button& b : buttons) names += (names.empty() ? "" : "/") + std::string(b.shown);
    std::string shownTitle(title.empty() ? std::string_view(state.applicationName) : title);
    state.say("[message box] " + tk::common::text::quote(shownTitle) + " " + tk::common::text::quote(text) + " [" +
               names + "]");
    QMessageBox box(iconOf(style), qt(shownTitle), qt(text));
    QMessageBox::StandardButtons all;
    for (const Button& b : buttons) all |= b.qt;
    box.setStandardButtons(all);
    if (buttons.size() == 1) box.setEscapeButton(buttons[0].qt);
    else if (buttons.back().code == tk::IDCANCEL) box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const Button* answer = nullptr;
    for (const Button& b : buttons)
        if (clicked && clicked == box.button(b.qt)) answer = &b;
    // Closed without a button (only where Escape may close it): the last one.
    if (!answer) answer = &buttons.back();
    state.say("[message box] -> " + std::string(answer->shown));
    return answer->code;
}

std::optional<std::string> showFileDialog(DesktopPlatform::State& state, const FileDialogRequest& request, bool save) {
    const std::string tag = save ? "[save file]" : "[open file]";
    using tk::common::text::quote;
    state.say(tag + " " + quote(request.title) + " filter " + quote(request.filter) + " ext " +
               quote(request.defaultExtension) + " dir " + quote(request.initialDirectory) + " name " +
               quote(request.initialFileName));
    QFileDialog dialog(nullptr, qt(request.title), qt(request.initialDirectory));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (!save && (request.flags & tk::OFN_FILEMUSTEXIST)) dialog.setFileMode(QFileDialog::ExistingFile);
    else dialog.setFileMode(QFileDialog::AnyFile);
    if (save && !(request.flags & tk::OFN_OVERWRITEPROMPT)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(qt(request.defaultExtension));
    if (!request.initialFileName.empty()) dialog.selectFile(qt(request.initialFileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        state.say(tag + " -> cancel");
        return std::nullopt;
    }
    std::string path = dialog.selectedFiles().front().toStdString();
    state.say(tag + " -> " + quote(path));
    return path;
}

}  // namespace tk::desktop
