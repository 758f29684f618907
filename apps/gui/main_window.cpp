#include "gui/main_window.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace zan::gui {

CommandEdit::CommandEdit(QWidget* parent) : QLineEdit(parent) { setMaxLength(4096); }

void CommandEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            QString line = text();
            if (!line.isEmpty() && (history_.empty() || history_.back() != line)) history_.push_back(line);
            recalled_ = history_.size();
            clear();
            if (onLine) onLine(line.toStdString());
            return;
        }
        case Qt::Key_Up:
            if (recalled_ > 0) setText(history_[--recalled_]);
            return;
        case Qt::Key_Down:
            if (recalled_ < history_.size()) ++recalled_;
            setText(recalled_ < history_.size() ? history_[recalled_] : QString());
            return;
        default:
            QLineEdit::keyPressEvent(event);
    }
}

MainWindow::MainWindow(const render::DrawingSource& source) {
    setWindowTitle("ZAN");
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    view_ = new DrawingView(source, central);
    tabs_ = new QTabBar(central);
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    column->addWidget(view_, 1);
    column->addWidget(tabs_);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 2, 4, 2);
    promptLabel_ = new QLabel("Command:", central);
    command_ = new CommandEdit(central);
    row->addWidget(promptLabel_);
    row->addWidget(command_, 1);
    column->addLayout(row);
    setCentralWidget(central);

    text_ = new QPlainTextEdit;
    text_->setReadOnly(true);
    text_->setMaximumBlockCount(20000);
    text_->setFont(QFont("Monospace"));
    auto* dock = new QDockWidget("Text screen", this);
    dock->setObjectName("textScreen");
    dock->setWidget(text_);
    addDockWidget(Qt::BottomDockWidgetArea, dock);

    QToolBar* tools = addToolBar("View");
    tools->addAction("Zoom extents", [this] { view_->zoomExtents(); });
    tools->addAction("Zoom in", [this] { view_->zoomAt(QPointF(view_->rect().center()), 1.5); });
    tools->addAction("Zoom out", [this] { view_->zoomAt(QPointF(view_->rect().center()), 1 / 1.5); });

    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (!followingTabs_ && index >= 0) view_->showLayout(tabs_->tabText(index).toStdString());
    });
    resize(1100, 800);
    command_->setFocus();
}

void MainWindow::showOutput(std::string_view text) {
    if (text.empty()) return;
    QTextCursor end(text_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    text_->moveCursor(QTextCursor::End);
    text_->ensureCursorVisible();
    std::size_t lineEnd = text.rfind('\n');
    if (lineEnd == std::string_view::npos) lastLine_ += text;
    else lastLine_ = text.substr(lineEnd + 1);
}

void MainWindow::showPrompt(std::string prompt) {
    prompt_ = std::move(prompt);
    promptLabel_->setText(QString::fromStdString(prompt_).trimmed());
}

void MainWindow::refresh() {
    view_->refresh();
    text_->ensureCursorVisible();
    followingTabs_ = true;
    const auto& layouts = view_->layouts();
    bool same = tabs_->count() == static_cast<int>(layouts.size());
    for (int i = 0; same && i < tabs_->count(); ++i) same = tabs_->tabText(i).toStdString() == layouts[i].name;
    if (!same) {
        while (tabs_->count() > 0) tabs_->removeTab(0);
        for (const auto& layout : layouts) tabs_->addTab(QString::fromStdString(layout.name));
    }
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->tabText(i).compare(QString::fromStdString(view_->layoutName()), Qt::CaseInsensitive) == 0)
            tabs_->setCurrentIndex(i);
    followingTabs_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onClose) onClose();
}

}  // namespace zan::gui
