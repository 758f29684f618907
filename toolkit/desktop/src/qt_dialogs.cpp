// Dialogs from templates as Qt windows, for a user without a script: the
// model (the headless backend) keeps the dialog and its handler; the Qt
// window shows the model's controls as they are and turns what the user
// does into the UI lines of docs/automation-ui.md, which the model performs.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <map>

#include "state.h"
#include "tk/common/text.h"

namespace tk::desktop {

namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }
std::string quoted(const QString& s) { return tk::common::text::quote(s.toStdString()); }

}  // namespace

// The Qt window of one dialog.
class DialogMirror {
public:
    DialogMirror(const DialogTemplate& t, DesktopPlatform::State& state, HWND window, bool modal)
        : dialog_(this), state_(state), window_(window), modal_(modal) {
        dialog_.setModal(true);
        QFontMetrics fm(dialog_.font());
        // Dialog units: a quarter of the font's average character width
        // across, an eighth of its height down.
        double bx = fm.averageCharWidth() / 4.0, by = fm.height() / 8.0;
        auto px = [&](const tk::Rect& r) {
            return QRect(static_cast<int>(r.left * bx), static_cast<int>(r.top * by),
                         static_cast<int>((r.right - r.left) * bx), static_cast<int>((r.bottom - r.top) * by));
        };
        dialog_.setFixedSize(static_cast<int>(t.size.width * bx), static_cast<int>(t.size.height * by));
        for (const ControlTemplate& c : t.controls) {
            QWidget* w = make(c);
            w->setGeometry(px(c.rect));
            if (c.kind == ControlKind::GroupBox) w->lower();
            controls_.push_back({c, w});
        }
    }

    // The model's dialog is gone: the window hides (and is deleted later,
    // not from within one of its own signals).
    void close() {
        closed_ = true;
        model_ = nullptr;
        dialog_.hide();
        if (loop_) loop_->quit();
    }

    // Shows the model's state.
    void refresh() {
        if (closed_) return;
        model_ = state_.model.dialogControls(window_);
        if (!model_) return;
        dialog_.setWindowTitle(qt(state_.model.windowText(window_)));
        refresh(*model_);
        if (!dialog_.isVisible()) dialog_.show();
    }

    // Shows the model's state and waits for the user's next action.
    void ask(std::deque<std::string>& lines) {
        refresh();
        if (!model_) return;
        lines_ = &lines;
        dialog_.raise();
        dialog_.activateWindow();
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
        lines_ = nullptr;
    }

private:
    // Escape and the close box answer as Escape does; the window stays until
    // the model ends the dialog.
    class Window final : public QDialog {
    public:
        explicit Window(DialogMirror* mirror) : mirror_(mirror) {}
        void reject() override { mirror_->act("@escape"); }

    private:
        DialogMirror* mirror_;
    };

    struct Control {
        ControlTemplate spec;
        QWidget* widget;
    };

    QWidget* make(const ControlTemplate& c) {
        int id = c.id;
        QString text = qt(c.text);
        switch (c.kind) {
            case ControlKind::Static: return new QLabel(text, &dialog_);
            case ControlKind::GroupBox: return new QGroupBox(text, &dialog_);
            case ControlKind::Edit: {
                auto* e = new QLineEdit(text, &dialog_);
                e->setReadOnly(c.style & kReadOnly);
                QObject::connect(e, &QLineEdit::editingFinished, [this] { act({}); });
                return e;
            }
            case ControlKind::PushButton:
            case ControlKind::DefPushButton: {
                auto* b = new QPushButton(text, &dialog_);
                b->setDefault(c.kind == ControlKind::DefPushButton);
                b->setAutoDefault(false);
                QObject::connect(b, &QPushButton::clicked, [this, id] { act("@click " + std::to_string(id)); });
                return b;
            }
            case ControlKind::CheckBox: {
                auto* b = new QCheckBox(text, &dialog_);
                QObject::connect(b, &QCheckBox::clicked, [this, id] { act("@click " + std::to_string(id)); });
                return b;
            }
            case ControlKind::RadioButton: {
                auto* b = new QRadioButton(text, &dialog_);
                b->setAutoExclusive(false);
                QObject::connect(b, &QRadioButton::clicked, [this, id] { act("@radio " + std::to_string(id)); });
                return b;
            }
            case ControlKind::ListBox: {
                auto* l = new QListWidget(&dialog_);
                l->setSelectionMode(c.style & kExtendedSelection ? QAbstractItemView::ExtendedSelection
                                                                 : QAbstractItemView::SingleSelection);
                QObject::connect(l, &QListWidget::itemSelectionChanged, [this, l, id] {
                    std::string line = "@select " + std::to_string(id);
                    for (int i = 0; i < l->count(); ++i)
                        if (l->item(i)->isSelected()) line += " " + quoted(l->item(i)->text());
                    act(line);
                });
                QObject::connect(l, &QListWidget::itemDoubleClicked, [this, id](QListWidgetItem* item) {
                    act("@dblclick " + std::to_string(id) + " " + quoted(item->text()));
                });
                return l;
            }
            case ControlKind::DropDownList: {
                auto* b = new QComboBox(&dialog_);
                QObject::connect(b, &QComboBox::activated, [this, b, id](int index) {
                    act("@select " + std::to_string(id) + " " + quoted(b->itemText(index)));
                });
                return b;
            }
        }
        return new QWidget(&dialog_);
    }

    void refresh(DialogControls& m) {
        for (Control& c : controls_) {
            int id = c.spec.id;
            if (id == IDC_STATIC || !m.hasControl(id)) continue;
            const QSignalBlocker quiet(c.widget);
            c.widget->setEnabled(m.isEnabled(id));
            c.widget->setVisible(m.isVisible(id));
            switch (c.spec.kind) {
                case ControlKind::Static: static_cast<QLabel*>(c.widget)->setText(qt(m.text(id))); break;
                case ControlKind::GroupBox: static_cast<QGroupBox*>(c.widget)->setTitle(qt(m.text(id))); break;
                case ControlKind::Edit: static_cast<QLineEdit*>(c.widget)->setText(qt(m.text(id))); break;
                case ControlKind::PushButton:
                case ControlKind::DefPushButton: static_cast<QPushButton*>(c.widget)->setText(qt(m.text(id))); break;
                case ControlKind::CheckBox:
                case ControlKind::RadioButton: {
                    auto* b = static_cast<QAbstractButton*>(c.widget);
                    b->setText(qt(m.text(id)));
                    b->setChecked(m.isChecked(id));
                    break;
                }
                case ControlKind::ListBox: {
                    auto* l = static_cast<QListWidget*>(c.widget);
                    l->clear();
                    for (int i = 0; i < m.listCount(id); ++i) l->addItem(qt(m.listText(id, i).value_or("")));
                    for (int i : m.listSelection(id))
                        if (i >= 0 && i < l->count()) l->item(i)->setSelected(true);
                    break;
                }
                case ControlKind::DropDownList: {
                    auto* b = static_cast<QComboBox*>(c.widget);
                    b->clear();
                    for (int i = 0; i < m.listCount(id); ++i) b->addItem(qt(m.listText(id, i).value_or("")));
                    b->setCurrentIndex(m.listCurrent(id));
                    break;
                }
            }
        }
    }

    // The user acted: edits changed since the model last saw them come
    // first, then the action (none: the edits alone). A modal dialog waiting
    // for the user takes them as its answers; a modeless one without a
    // script performs them at once; while a script runs, they are not taken.
    void act(const std::string& line) {
        if (closed_) return;
        model_ = state_.model.dialogControls(window_);
        if (!model_) return;
        std::deque<std::string> own;
        std::deque<std::string>* lines = lines_;
        if (!lines) {
            if (modal_ || state_.answers) return;
            lines = &own;
        }
        for (Control& c : controls_) {
            if (c.spec.kind != ControlKind::Edit || c.spec.id == IDC_STATIC) continue;
            QString now = static_cast<QLineEdit*>(c.widget)->text();
            if (now.toStdString() != model_->text(c.spec.id))
                lines->push_back("@edit " + std::to_string(c.spec.id) + " " + quoted(now));
        }
        if (!line.empty()) lines->push_back(line);
        if (lines_) {
            if (!lines_->empty() && loop_) loop_->quit();
            return;
        }
        for (const std::string& l : own) {
            std::string error;
            if (!state_.model.performUiLine(l, error)) state_.say("zan: " + error);
        }
        refreshDialogs(state_, false);
    }

    Window dialog_;
    DesktopPlatform::State& state_;
    HWND window_;
    bool modal_;
    bool closed_ = false;
    std::vector<Control> controls_;
    DialogControls* model_ = nullptr;
    std::deque<std::string>* lines_ = nullptr;
    QEventLoop* loop_ = nullptr;
};

// A dialog's handler as the model sees it: every event goes on to the
// module's handler, and the dialog's Qt window follows.
class ShownDialog final : public DialogHandler {
public:
    ShownDialog(DesktopPlatform::State& state, const DialogTemplate& t, DialogHandler& module, bool modal)
        : state_(state), template_(t), module_(module), modal_(modal) {}

    bool modal() const { return modal_; }
    DialogMirror* mirror() { return mirror_.get(); }

    void dialogCreated(HWND window) override {
        window_ = window;
        module_.dialogCreated(window);
    }
    bool onInit() override {
        bool focus = module_.onInit();
        mirror_ = std::make_unique<DialogMirror>(template_, state_, window_, modal_);
        mirror_->refresh();
        return focus;
    }
    void onCommand(int control, int notification) override {
        module_.onCommand(control, notification);
        if (mirror_) mirror_->refresh();
    }
    void onOK() override {
        module_.onOK();
        if (mirror_) mirror_->refresh();
    }
    void onCancel() override {
        module_.onCancel();
        if (mirror_) mirror_->refresh();
    }
    void dialogDestroyed(int code) override {
        if (mirror_) mirror_->close();
        DialogHandler& module = module_;
        // Kept until the backend next looks: this call is still running.
        auto& open = state_.dialogs;
        for (auto it = open.begin(); it != open.end(); ++it)
            if (it->get() == this) {
                state_.closedDialogs.push_back(std::move(*it));
                open.erase(it);
                break;
            }
        module.dialogDestroyed(code);  // a modeless dialog's handler may delete itself here
    }

private:
    DesktopPlatform::State& state_;
    DialogTemplate template_;
    DialogHandler& module_;
    bool modal_;
    HWND window_ = nullptr;
    std::unique_ptr<DialogMirror> mirror_;
};

void ShownDialogDeleter::operator()(ShownDialog* dialog) const { delete dialog; }

DesktopPlatform::State::State(std::string profileFolder) : model(std::move(profileFolder)) {}
DesktopPlatform::State::~State() = default;

DialogHandler& showDialog(DesktopPlatform::State& state, const DialogTemplate& dialog, DialogHandler& module,
                          bool modal) {
    state.closedDialogs.clear();
    state.dialogs.emplace_back(new ShownDialog(state, dialog, module, modal));
    return *state.dialogs.back();
}

void refreshDialogs(DesktopPlatform::State& state, bool dropClosed) {
    if (dropClosed) state.closedDialogs.clear();
    for (auto& d : state.dialogs)
        if (DialogMirror* m = d->mirror()) m->refresh();
}

void askUser(DesktopPlatform::State& state, std::deque<std::string>& lines) {
    for (auto it = state.dialogs.rbegin(); it != state.dialogs.rend(); ++it)
        if ((*it)->modal() && (*it)->mirror()) {
            (*it)->mirror()->ask(lines);
            return;
        }
}

}  // namespace tk::desktop
