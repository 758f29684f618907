// UI lines of the automation script: actions on dialogs and tool windows.
// The forms are described in docs/automation-ui.md.
#include <algorithm>
#include <climits>

#include "shared.h"
#include "state.h"

namespace tk::headless {
namespace {

using Control = DialogModel::Control;
using common::expectWords;
using tk::ControlKind;

std::string lower(std::string word) { return common::lowerAscii(std::move(word)); }

int integerOf(const std::string& word, const char* what) { return common::uiInteger(word, what); }

tk::Point pointOf(const std::string& word) {
    auto comma = word.find(',');
    if (comma == std::string::npos) throw LineError(text::quote(word) + " is not a point \"x,y\"");
    return {integerOf(word.substr(0, comma), "a coordinate"), integerOf(word.substr(comma + 1), "a coordinate")};
}

// ---- Dialogs ------------------------------------------------------------------

Control& usableControl(WindowRecord& d, const std::string& word) {
    const int id = integerOf(word, "a control identifier");
    Control* c = d.dialog->find(id);
    if (c == nullptr)
        throw LineError("the dialog " + text::quote(d.caption) + " has no control " + std::to_string(id));
    if (!c->visible) throw LineError("control " + std::to_string(id) + " is hidden");
    if (!c->enabled) throw LineError("control " + std::to_string(id) + " is disabled");
    return *c;
}

// The index of the line with this text (exact), not yet taken.
int lineIndex(const Control& c, const std::string& lineText, const std::vector<int>& taken) {
    for (std::size_t i = 0; i < c.lines.size(); ++i)
        if (c.lines[i].text == lineText && std::find(taken.begin(), taken.end(), static_cast<int>(i)) == taken.end())
            return static_cast<int>(i);
    std::string known;
    for (std::size_t i = 0; i < c.lines.size() && i < 10; ++i) known += (i ? ", " : "") + text::quote(c.lines[i].text);
    if (c.lines.size() > 10) known += ", ...";
    throw LineError("list " + std::to_string(c.id) + " has no line " + text::quote(lineText) +
                    (c.lines.empty() ? " (it is empty)" : " (lines: " + known + ")"));
}

void command(HeadlessPlatform::State& s, WindowId id, int controlId, int code) {
    s.dialogEvent(id, [&](tk::DialogHandler& h) {
        if (controlId == tk::IDOK && code == tk::BN_CLICKED)
            h.onOK();
        else if (controlId == tk::IDCANCEL && code == tk::BN_CLICKED)
            h.onCancel();
        else
            h.onCommand(controlId, code);
    });
}

void selectionChanged(HeadlessPlatform::State& s, WindowId id, const Control& c) {
    if (c.kind == ControlKind::DropDownList)
        command(s, id, c.id, tk::CBN_SELCHANGE);
    else if ((c.style & tk::kNotify) != 0)
        command(s, id, c.id, tk::LBN_SELCHANGE);
}

WindowRecord& dialogNamed(HeadlessPlatform::State& s, const std::string& name) {
    auto number = text::parseInteger(name);
    for (auto& [id, r] : s.windows)
        if (r->kind == WindowKind::Dialog && !r->ending &&
            ((number && r->dialog->resourceId() == *number) || text::equalsIgnoreCase(r->caption, name)))
            return *r;
    throw LineError("no open dialog is called " + text::quote(name));
}

// The open dialog a UI line acts on, with what the actions need of it.
struct DialogTarget {
    HeadlessPlatform::State& s;
    WindowRecord& d;
    WindowId id;
    std::string tag;
};

void activateDialog(HeadlessPlatform::State& s, const std::vector<std::string>& w) {
    expectWords(w, 2, "\"@activate <caption or resource number>\"");
    WindowRecord& d = dialogNamed(s, w[1]);
    if (d.modal && (s.modalDialogs.empty() || s.modalDialogs.back() != d.id))
        throw LineError("the dialog " + text::quote(d.caption) + " waits for another modal dialog");
    if (!d.visible) throw LineError("the dialog " + text::quote(d.caption) + " is hidden");
    s.activate(d);
    s.emit(HeadlessPlatform::State::tag(d) + " active");
}

void editAction(DialogTarget& t, const std::vector<std::string>& w) {
    expectWords(w, 3, "\"@edit <id> <text>\"");
    Control& c = usableControl(t.d, w[1]);
    if (c.kind != ControlKind::Edit) throw LineError("control " + w[1] + " is not an edit field");
    if ((c.style & tk::kReadOnly) != 0) throw LineError("edit field " + w[1] + " is read-only");
    c.text = std::string(text::cutAtCharacter(w[2], c.limit));
    t.s.emit(t.tag + " edit " + std::to_string(c.id) + " " + text::quote(c.text));
    command(t.s, t.id, c.id, tk::EN_CHANGE);
}

// "@select <id> <line>..." and "@dblclick <id> <line>".
void selectAction(DialogTarget& t, const std::vector<std::string>& w) {
    const std::string& k = w[0];
    if (w.size() < 2) throw LineError("expected \"@" + k + " <id> <line text>...\"");
    Control& c = usableControl(t.d, w[1]);
    if (!c.isList()) throw LineError("control " + w[1] + " is not a list");
    std::vector<int> chosen;
    for (std::size_t i = 2; i < w.size(); ++i) chosen.push_back(lineIndex(c, w[i], chosen));
    if (k == "dblclick" && chosen.size() != 1) throw LineError("expected \"@dblclick <id> <line text>\"");
    if (chosen.size() > 1 && !c.extended()) throw LineError("list " + w[1] + " holds one selected line at a time");
    std::string echo = t.tag + " " + k + " " + std::to_string(c.id);
    for (int index : chosen) echo += " " + text::quote(c.lines[static_cast<std::size_t>(index)].text);
    for (std::size_t i = 0; i < c.lines.size(); ++i)
        c.lines[i].selected = std::find(chosen.begin(), chosen.end(), static_cast<int>(i)) != chosen.end();
    const int controlId = c.id;
    const bool notify = (c.style & tk::kNotify) != 0;
    t.s.emit(echo);
    selectionChanged(t.s, t.id, c);
    if (k == "dblclick" && notify && t.s.find(t.id) != nullptr) command(t.s, t.id, controlId, tk::LBN_DBLCLK);
}

void checkAction(DialogTarget& t, const std::vector<std::string>& w) {
    expectWords(w, 3, "\"@check <id> on|off\"");
    Control& c = usableControl(t.d, w[1]);
    if (c.kind != ControlKind::CheckBox) throw LineError("control " + w[1] + " is not a check box");
    const std::string state = lower(w[2]);
    if (state != "on" && state != "off") throw LineError("expected on or off, not " + text::quote(w[2]));
    const int controlId = c.id;
    t.s.emit(t.tag + " check " + std::to_string(controlId) + " " + state);
    if (c.checked == (state == "on")) return;
    c.checked = state == "on";
    command(t.s, t.id, controlId, tk::BN_CLICKED);
}

// "@click <id>" and "@radio <id>".
void clickAction(DialogTarget& t, const std::vector<std::string>& w) {
    const std::string& k = w[0];
    expectWords(w, 2, k == "click" ? "\"@click <id>\"" : "\"@radio <id>\"");
    Control& c = usableControl(t.d, w[1]);
    const int controlId = c.id;
    if (k == "radio" && c.kind != ControlKind::RadioButton) throw LineError("control " + w[1] + " is not a radio button");
    switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: break;
        case ControlKind::CheckBox: c.checked = !c.checked; break;
        case ControlKind::RadioButton: t.d.dialog->checkRadio(controlId); break;
        default:
            throw LineError("control " + w[1] + " cannot be clicked" +
                            (c.isList() ? " (use \"@select\")" : c.kind == ControlKind::Edit ? " (use \"@edit\")" : ""));
    }
    t.s.emit(t.tag + " " + k + " " + std::to_string(controlId));
    command(t.s, t.id, controlId, tk::BN_CLICKED);
}

void enterAction(DialogTarget& t, const std::vector<std::string>& w) {
    expectWords(w, 1, "\"@enter\"");
    const int button = t.d.dialog->defaultButton();
    if (const Control* c = t.d.dialog->find(button); c != nullptr && (!c->enabled || !c->visible))
        throw LineError("the default button " + std::to_string(button) + " is disabled or hidden");
    t.s.emit(t.tag + " enter " + std::to_string(button));
    command(t.s, t.id, button, tk::BN_CLICKED);
}

void showAction(DialogTarget& t, const std::vector<std::string>& w) {
    if (w.size() == 1) {
        t.s.emit(t.tag + " " + text::quote(t.d.caption));
        t.s.reportDialog(t.d, true);
        return;
    }
    expectWords(w, 2, "\"@show\" or \"@show <id>\"");
    const int controlId = integerOf(w[1], "a control identifier");
    const Control* c = t.d.dialog->find(controlId);
    if (c == nullptr) throw LineError("the dialog has no control " + w[1]);
    t.s.emit(t.tag + "   " + DialogModel::describe(*c, 0));
}

void dialogAction(HeadlessPlatform::State& s, const std::vector<std::string>& w) {
    const std::string& k = w[0];
    if (k == "activate") return activateDialog(s, w);
    WindowRecord* active = s.activeDialog();
    if (active == nullptr) throw LineError("no dialog is open");
    DialogTarget t{s, *active, active->id, HeadlessPlatform::State::tag(*active)};
    if (k == "edit") {
        editAction(t, w);
    } else if (k == "select" || k == "dblclick") {
        selectAction(t, w);
    } else if (k == "check") {
        checkAction(t, w);
    } else if (k == "click" || k == "radio") {
        clickAction(t, w);
    } else if (k == "ok" || k == "cancel" || k == "escape") {
        expectWords(w, 1, "\"@" + k + "\"");
        s.emit(t.tag + " " + k);
        command(s, t.id, k == "ok" ? tk::IDOK : tk::IDCANCEL, tk::BN_CLICKED);
    } else if (k == "enter") {
        enterAction(t, w);
    } else if (k == "show") {
        showAction(t, w);
    } else {
        throw LineError("unknown action \"@" + k + "\"");
    }
}

// ---- Tool windows ---------------------------------------------------------------

std::string openToolList(HeadlessPlatform::State& s) {
    std::string list;
    for (WindowRecord* t : s.toolWindows())
        list += (list.empty() ? "" : ", ") + std::to_string(t->number) + " " + text::quote(t->caption);
    return list.empty() ? " (no tool window is open)" : " (open: " + list + ")";
}

WindowRecord& toolNamed(HeadlessPlatform::State& s, const std::string& name) {
    std::vector<WindowRecord*> tools = s.toolWindows();
    if (auto number = text::parseInteger(name)) {
        for (WindowRecord* t : tools)
            if (t->number == *number) return *t;
        throw LineError("there is no tool window " + name + openToolList(s));
    }
    std::vector<WindowRecord*> matches;
    for (WindowRecord* t : tools)
        if (text::equalsIgnoreCase(t->caption, name)) matches.push_back(t);
    if (matches.empty())
        for (WindowRecord* t : tools)
            if (text::equalsIgnoreCase(t->initialCaption, name)) matches.push_back(t);
    if (matches.size() == 1) return *matches.front();
    if (matches.empty()) throw LineError("no tool window is called " + text::quote(name) + openToolList(s));
    throw LineError(std::to_string(matches.size()) + " tool windows are called " + text::quote(name) +
                    "; use the number" + openToolList(s));
}

// The children of `parent` with this role, visible, in reading order.
std::vector<WindowRecord*> childrenWithRole(HeadlessPlatform::State& s, WindowRecord& parent, const std::string& role) {
    std::vector<WindowRecord*> out;
    for (WindowId childId : parent.children)
        if (WindowRecord* c = s.find(childId); c != nullptr && c->visible && text::equalsIgnoreCase(c->role, role))
            out.push_back(c);
    std::stable_sort(out.begin(), out.end(), [](const WindowRecord* a, const WindowRecord* b) {
        return a->rect.top != b->rect.top ? a->rect.top < b->rect.top : a->rect.left < b->rect.left;
    });
    return out;
}

struct Target {
    WindowId window = 0;
    tk::Point point;  // client coordinates of `window`
    std::string echo;
};

// The deepest visible window under `p` (client coordinates of `r`).
Target windowAt(HeadlessPlatform::State& s, WindowRecord& r, tk::Point p) {
    for (auto it = r.children.rbegin(); it != r.children.rend(); ++it) {
        WindowRecord* c = s.find(*it);
        if (c == nullptr || !c->visible || !c->rect.contains(p)) continue;
        tk::Rect nc = HeadlessPlatform::State::nonClient(c->style);
        return windowAt(s, *c, {p.x - c->rect.left - nc.left, p.y - c->rect.top - nc.top});
    }
    return {r.id, p, {}};
}

WindowRecord* childWithId(HeadlessPlatform::State& s, WindowRecord& r, int childId) {
    for (WindowId id : r.children) {
        WindowRecord* c = s.find(id);
        if (c == nullptr) continue;
        if (c->childId == childId) return c;
        if (WindowRecord* deeper = childWithId(s, *c, childId); deeper != nullptr) return deeper;
    }
    return nullptr;
}

Target centreOf(HeadlessPlatform::State& s, WindowRecord& c, std::string echo) {
    tk::Size size = s.clientSize(c);
    return {c.id, {size.width / 2, size.height / 2}, std::move(echo)};
}

Target resolveTarget(HeadlessPlatform::State& s, WindowRecord& tool, const std::vector<std::string>& w, std::size_t& i) {
    if (i >= w.size()) throw LineError("say where: a button number, \"<role> <k>\", \"child <id>\" or \"at <x>,<y>\"");
    const std::string word = lower(w[i]);
    if (word == "at" || word == "child") {
        if (i + 1 >= w.size()) throw LineError("\"" + word + "\" needs a value");
        const std::string value = w[i + 1];
        i += 2;
        if (word == "at") {
            Target t = windowAt(s, tool, pointOf(value));
            t.echo = "at " + value;
            return t;
        }
        WindowRecord* c = childWithId(s, tool, integerOf(value, "a child identifier"));
        if (c == nullptr || !c->visible)
            throw LineError("tool window " + std::to_string(tool.number) + " has no visible child " + value);
        return centreOf(s, *c, "child " + value);
    }
    std::string role = "button";
    std::string ordinal = w[i];
    if (!text::parseInteger(word)) {
        if (i + 1 >= w.size()) throw LineError("\"" + word + "\" needs a number");
        role = word;
        ordinal = w[i + 1];
        ++i;
    }
    ++i;
    const int k = integerOf(ordinal, "a button number");
    std::vector<WindowRecord*> buttons = childrenWithRole(s, tool, role);
    if (k < 1 || static_cast<std::size_t>(k) > buttons.size())
        throw LineError("tool window " + std::to_string(tool.number) + " has " + std::to_string(buttons.size()) + " " +
                        role + (buttons.size() == 1 ? "" : "s") + "; there is no " + role + " " + ordinal);
    return centreOf(s, *buttons[static_cast<std::size_t>(k - 1)], role == "button" ? ordinal : role + " " + ordinal);
}

void mouseAction(HeadlessPlatform::State& s, WindowRecord& tool, const std::vector<std::string>& w) {
    const std::string action = w[2];
    std::size_t i = 3;
    Target target = resolveTarget(s, tool, w, i);
    tk::MouseButton button = tk::MouseButton::Left;
    unsigned keys = 0;
    std::string echo = target.echo;
    for (; i < w.size(); ++i) {
        const std::string m = lower(w[i]);
        if (m == "left" || m == "right" || m == "middle") {
            button = m == "left" ? tk::MouseButton::Left : m == "right" ? tk::MouseButton::Right : tk::MouseButton::Middle;
        } else if (m == "shift") {
            keys |= tk::MK_SHIFT;
        } else if (m == "ctrl" || m == "control") {
            keys |= tk::MK_CONTROL;
        } else {
            throw LineError("unknown word " + text::quote(w[i]) + " (expected left, right, middle, shift or ctrl)");
        }
    }
    if (action != "move") echo += button == tk::MouseButton::Left ? " left" : button == tk::MouseButton::Right ? " right" : " middle";
    if (keys & tk::MK_SHIFT) echo += " shift";
    if (keys & tk::MK_CONTROL) echo += " ctrl";
    s.emit(HeadlessPlatform::State::tag(tool) + " " + action + " " + echo);

    const WindowId id = target.window;
    const tk::Point p = target.point;
    auto handler = [&]() -> tk::WindowHandler* {
        WindowRecord* r = s.find(id);
        return r != nullptr ? r->handler : nullptr;
    };
    if (action == "click" || action == "move")
        if (tk::WindowHandler* h = handler()) h->onMouseMove(p, keys);
    if (action == "click" || action == "press")
        if (tk::WindowHandler* h = handler()) h->onMouseDown(button, p, keys | tk::keyStateBit(button));
    if (action == "click" || action == "release")
        if (tk::WindowHandler* h = handler()) h->onMouseUp(button, p, keys);
}

unsigned systemCommandOf(WindowRecord& tool, const std::string& word) {
    const std::string name = lower(word);
    unsigned command = 0;
    if (name == "minimize") command = tk::SC_MINIMIZE;
    else if (name == "maximize") command = tk::SC_MAXIMIZE;
    else if (name == "restore") command = tk::SC_RESTORE;
    else if (name == "close") command = tk::SC_CLOSE;
    else if (name == "move") command = tk::SC_MOVE;
    else command = static_cast<unsigned>(integerOf(word, "a system-menu command"));
    for (const auto& item : tool.systemMenu)
        if (item.first == command && command != 0) return command;
    const bool offered = (command == tk::SC_CLOSE && (tool.style & tk::WS_SYSMENU) != 0) ||
                         (command == tk::SC_MINIMIZE && (tool.style & tk::WS_MINIMIZEBOX) != 0) ||
                         (command == tk::SC_MAXIMIZE && (tool.style & tk::WS_MAXIMIZEBOX) != 0) ||
                         command == tk::SC_RESTORE || command == tk::SC_MOVE;
    if (!offered) {
        std::string items;
        for (const auto& item : tool.systemMenu)
            if (item.first != 0) items += (items.empty() ? "" : ", ") + std::to_string(item.first) + " " + text::quote(item.second);
        throw LineError("the system menu of tool window " + std::to_string(tool.number) + " has no command " + word +
                        (items.empty() ? "" : " (items: " + items + ")"));
    }
    return command;
}

void describeTool(HeadlessPlatform::State& s, WindowRecord& tool) {
    const std::string tag = HeadlessPlatform::State::tag(tool);
    tk::Size client = s.clientSize(tool);
    s.emit(tag + " " + text::quote(tool.caption) + " at " + std::to_string(tool.rect.left) + "," +
           std::to_string(tool.rect.top) + " size " + std::to_string(tool.rect.width()) + "x" +
           std::to_string(tool.rect.height()) + " client " + std::to_string(client.width) + "x" +
           std::to_string(client.height) + (tool.visible ? "" : " hidden") +
           (tool.show == ShowState::Minimized ? " minimized" : tool.show == ShowState::Maximized ? " maximized" : ""));
    for (const auto& [command, label] : tool.systemMenu)
        s.emit(tag + "   menu " + (command == 0 ? std::string("separator") : std::to_string(command) + " " + text::quote(label)));
    std::vector<std::string> roles;
    for (WindowId childId : tool.children)
        if (WindowRecord* c = s.find(childId); c != nullptr && std::find(roles.begin(), roles.end(), lower(c->role)) == roles.end())
            roles.push_back(lower(c->role));
    for (const std::string& role : roles) {
        int k = 0;
        for (WindowRecord* c : childrenWithRole(s, tool, role))
            s.emit(tag + "   " + role + " " + std::to_string(++k) + " child " + std::to_string(c->childId) + " at " +
                   std::to_string(c->rect.left) + "," + std::to_string(c->rect.top) + " size " +
                   std::to_string(c->rect.width()) + "x" + std::to_string(c->rect.height()));
    }
}

void toolAction(HeadlessPlatform::State& s, const std::vector<std::string>& w) {
    if (w.size() < 3) throw LineError("expected \"@tool <number or caption> <action> ...\"");
    WindowRecord& tool = toolNamed(s, w[1]);
    const WindowId id = tool.id;
    const std::string action = lower(w[2]);
    const std::string tag = HeadlessPlatform::State::tag(tool);
    if (action == "click" || action == "press" || action == "release" || action == "move") {
        if (!tool.visible) throw LineError("tool window " + std::to_string(tool.number) + " is hidden");
        if (tool.show == ShowState::Minimized)
            throw LineError("tool window " + std::to_string(tool.number) + " is minimized");
        std::vector<std::string> words = w;
        words[2] = action;
        mouseAction(s, tool, words);
    } else if (action == "sysmenu" || action == "minimize" || action == "maximize" || action == "restore" ||
               action == "close") {
        std::string which = action == "sysmenu" ? (w.size() == 4 ? w[3] : "") : action;
        if ((action == "sysmenu" && w.size() != 4) || (action != "sysmenu" && w.size() != 3))
            throw LineError("expected \"@tool <window> sysmenu <command>\" or \"@tool <window> " + action + "\"");
        const unsigned command = systemCommandOf(tool, which);
        s.emit(tag + " sysmenu " + std::to_string(command));
        s.systemCommand(id, command);
    } else if (action == "moveto") {
        expectWords(w, 4, "\"@tool <window> moveto <x>,<y>\"");
        tk::Point p = pointOf(w[3]);
        s.setWindowPos(tool, p.x, p.y, 0, 0, tk::SWP_NOSIZE | tk::SWP_NOZORDER);
    } else if (action == "show") {
        expectWords(w, 3, "\"@tool <window> show\"");
        describeTool(s, tool);
    } else if (action == "image") {
        expectWords(w, 4, "\"@tool <window> image <file.bmp or file.ppm>\"");
        std::string error;
        auto image = s.compose(id, true);
        if (!image || !common::writeImageFile(w[3], *image, &error)) throw LineError("cannot write the image: " + error);
        s.emit(tag + " image " + text::quote(w[3]));
    } else {
        throw LineError("unknown tool-window action " + text::quote(w[2]));
    }
}

void listTools(HeadlessPlatform::State& s) {
    std::vector<WindowRecord*> tools = s.toolWindows();
    if (tools.empty()) s.emit("[tools] none");
    for (WindowRecord* t : tools) describeTool(s, *t);
}

}  // namespace

void HeadlessPlatform::State::performDialogLine(const std::string& line) {
    try {
        std::vector<std::string> w = common::uiWords(line);
        if (w[0] == "tools") return listTools(*this);
        if (w[0] == "tool") throw LineError("tool windows take no input while a modal dialog waits");
        if (w[0] == "yes" || w[0] == "no" || w[0] == "file")
            throw LineError("no message box or file dialog waits; a dialog does");
        dialogAction(*this, w);
    } catch (const LineError& e) {
        refuseAnswer(text::quote(line) + ": " + e.what());
    }
}

void HeadlessPlatform::State::performIdleLine(const std::string& line) {
    std::vector<std::string> w = common::uiWords(line);
    if (w[0] == "tool") return toolAction(*this, w);
    if (w[0] == "tools") return listTools(*this);
    if (w[0] == "yes" || w[0] == "no" || w[0] == "file" ||
        (activeDialog() == nullptr && (w[0] == "ok" || w[0] == "cancel" || w[0] == "escape")))
        throw LineError("no message box, file dialog or dialog waits for an answer");
    dialogAction(*this, w);
}

}  // namespace tk::headless
