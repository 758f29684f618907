#include "tk/common/dialog_model.h"

#include <algorithm>
#include <exception>

#include "tk/common/text.h"
#include "tk/platform.h"

namespace tk::common {

using tk::ControlKind;

DialogModel::DialogModel(const tk::DialogTemplate& t) : resourceId_(t.resourceId), caption_(t.caption) {
    for (const auto& ct : t.controls) {
        Control c;
        c.id = ct.id;
        c.kind = ct.kind;
        c.style = ct.style;
        c.label = ct.text;
        c.enabled = (ct.style & tk::kDisabled) == 0;
        c.visible = (ct.style & tk::kHidden) == 0;
        if (ct.kind == ControlKind::Edit && ct.textLimit > 0) c.limit = ct.textLimit;
        c.text = ct.kind == ControlKind::Edit ? std::string(text::cutAtCharacter(ct.text, c.limit)) : ct.text;
        controls_.push_back(std::move(c));
    }
}

DialogModel::Control* DialogModel::find(int id) {
    for (auto& c : controls_)
        if (c.id == id) return &c;
    return nullptr;
}
const DialogModel::Control* DialogModel::find(int id) const {
    for (const auto& c : controls_)
        if (c.id == id) return &c;
    return nullptr;
}
DialogModel::Control* DialogModel::list(int id) {
    Control* c = find(id);
    return c != nullptr && c->isList() ? c : nullptr;
}
const DialogModel::Control* DialogModel::list(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->isList() ? c : nullptr;
}

void DialogModel::checkRadio(int id) {
    auto it = std::find_if(controls_.begin(), controls_.end(), [&](const Control& c) { return c.id == id; });
    if (it == controls_.end() || it->kind != ControlKind::RadioButton) return;
    // The group runs from the last control marked kGroup at or before this
    // one up to the next control marked kGroup.
    auto first = it;
    while (first != controls_.begin() && (first->style & tk::kGroup) == 0) --first;
    auto last = it + 1;
    while (last != controls_.end() && (last->style & tk::kGroup) == 0) ++last;
    for (auto c = first; c != last; ++c)
        if (c->kind == ControlKind::RadioButton) c->checked = c == it;
}

int DialogModel::defaultButton() const {
    for (const auto& c : controls_)
        if (c.kind == ControlKind::DefPushButton) return c.id;
    return tk::IDOK;
}

std::string DialogModel::describe(const Control& c, std::size_t maxLines) {
    static const char* const kNames[] = {"static", "edit",  "button",  "default-button", "checkbox",
                                         "radio",  "group", "listbox", "dropdown"};
    std::string out = kNames[static_cast<int>(c.kind)];
    out += " " + std::to_string(c.id);
    if (c.kind != ControlKind::Edit) out += " " + text::quote(c.kind == ControlKind::DropDownList || c.kind == ControlKind::ListBox ? c.label : c.text);
    if ((c.style & tk::kSorted) != 0 && c.isList()) out += " sorted";
    if (c.extended()) out += " extended";
    if ((c.style & tk::kNotify) != 0 && c.kind == ControlKind::ListBox) out += " notify";
    if ((c.style & tk::kReadOnly) != 0 && c.kind == ControlKind::Edit) out += " readonly";
    if (!c.enabled) out += " disabled";
    if (!c.visible) out += " hidden";
    switch (c.kind) {
        case ControlKind::Edit: out += " = " + text::quote(c.text); break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: out += c.checked ? " = on" : " = off"; break;
        case ControlKind::ListBox:
        case ControlKind::DropDownList: {
            out += " = [";
            std::size_t shown = maxLines == 0 ? c.lines.size() : std::min(maxLines, c.lines.size());
            for (std::size_t i = 0; i < shown; ++i) {
                if (i > 0) out += ", ";
                if (c.lines[i].selected) out += "*";
                out += text::quote(c.lines[i].text);
            }
            if (shown < c.lines.size()) {
                std::size_t selectedLater = 0;
                for (std::size_t i = shown; i < c.lines.size(); ++i) selectedLater += c.lines[i].selected ? 1 : 0;
                out += ", ... " + std::to_string(c.lines.size() - shown) + " more";
                if (selectedLater > 0) out += " (" + std::to_string(selectedLater) + " selected)";
            }
            out += "]";
            break;
        }
        default: break;
    }
    return out;
}

bool DialogModel::hasControl(int id) const { return find(id) != nullptr; }

std::string DialogModel::text(int id) const {
    const Control* c = find(id);
    if (c == nullptr) return {};
    if (c->isList()) {
        if (c->kind != ControlKind::DropDownList) return {};
        for (const auto& line : c->lines)
            if (line.selected) return line.text;
        return {};
    }
    return c->text;
}

bool DialogModel::setText(int id, std::string_view value) {
    Control* c = find(id);
    if (c == nullptr || c->isList()) return false;
    c->text = c->kind == ControlKind::Edit ? std::string(text::cutAtCharacter(value, c->limit)) : std::string(value);
    return true;
}

bool DialogModel::setTextLimit(int id, std::size_t limit) {
    Control* c = find(id);
    if (c == nullptr || c->kind != ControlKind::Edit) return false;
    c->limit = limit == 0 ? tk::kDefaultEditLimit : limit;
    c->text = std::string(text::cutAtCharacter(c->text, c->limit));
    return true;
}

bool DialogModel::isChecked(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->checked;
}

bool DialogModel::setChecked(int id, bool checked) {
    Control* c = find(id);
    if (c == nullptr || (c->kind != ControlKind::CheckBox && c->kind != ControlKind::RadioButton)) return false;
    c->checked = checked;
    return true;
}

bool DialogModel::isEnabled(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->enabled;
}
bool DialogModel::setEnabled(int id, bool enabled) {
    Control* c = find(id);
    if (c == nullptr) return false;
    c->enabled = enabled;
    return true;
}
bool DialogModel::isVisible(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->visible;
}
bool DialogModel::setVisible(int id, bool visible) {
    Control* c = find(id);
    if (c == nullptr) return false;
    c->visible = visible;
    return true;
}
bool DialogModel::setFocus(int id) {
    if (find(id) == nullptr) return false;
    focus_ = id;
    return true;
}

std::size_t DialogModel::addLine(Control& c, std::string_view value, tk::ItemData data) {
    auto& lines = c.lines;
    std::size_t at = lines.size();
    if ((c.style & tk::kSorted) != 0 && !lines.empty() && text::compareIgnoreCase(lines.back().text, value) > 0) {
        // After the last line that is not greater: equal lines keep the
        // order in which they were added.
        std::size_t low = 0, high = lines.size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (text::compareIgnoreCase(value, lines[middle].text) < 0)
                high = middle;
            else
                low = middle + 1;
        }
        at = low;
    }
    if (at == lines.size())
        lines.push_back(Line{std::string(value), data, false});
    else
        lines.insert(at, Line{std::string(value), data, false});
    return at;
}

void DialogModel::reserveLines(Control& c, std::size_t count) {
    auto& lines = c.lines;
    if (count > lines.max_size() - lines.size()) return;  // a hint only: nothing is promised
    try {
        lines.reserve(lines.size() + count);
    } catch (const std::exception&) {
        // Without the room the lines are added as they come.
    }
}

int DialogModel::listAdd(int id, std::string_view value, tk::ItemData data) {
    Control* c = list(id);
    if (c == nullptr) return -1;
    return static_cast<int>(addLine(*c, value, data));
}

bool DialogModel::listReserve(int id, std::size_t count) {
    Control* c = list(id);
    if (c == nullptr) return false;
    reserveLines(*c, count);
    return true;
}

int DialogModel::listAddLines(int id, std::size_t count, const std::function<tk::ListLine(std::size_t)>& line) {
    Control* c = list(id);
    if (c == nullptr) return -1;
    reserveLines(*c, count);
    for (std::size_t i = 0; i < count; ++i) {
        const tk::ListLine l = line(i);
        addLine(*c, l.text, l.data);
    }
    return static_cast<int>(count);
}

int DialogModel::listInsert(int id, int index, std::string_view value, tk::ItemData data) {
    Control* c = list(id);
    if (c == nullptr || index < -1 || index > static_cast<int>(c->lines.size())) return -1;
    std::size_t at = index == -1 ? c->lines.size() : static_cast<std::size_t>(index);
    c->lines.insert(at, Line{std::string(value), data, false});
    return static_cast<int>(at);
}

bool DialogModel::listDelete(int id, int index) {
    Control* c = list(id);
    if (c == nullptr || !validIndex(*c, index)) return false;
    c->lines.erase(static_cast<std::size_t>(index));
    return true;
}

bool DialogModel::listClear(int id) {
    Control* c = list(id);
    if (c == nullptr) return false;
    c->lines.clear();
    return true;
}

int DialogModel::listCount(int id) const {
    const Control* c = list(id);
    return c == nullptr ? -1 : static_cast<int>(c->lines.size());
}

std::optional<std::string> DialogModel::listText(int id, int index) const {
    const Control* c = list(id);
    if (c == nullptr || !validIndex(*c, index)) return std::nullopt;
    return c->lines[static_cast<std::size_t>(index)].text;
}

std::vector<std::string> DialogModel::listTexts(int id) const {
    std::vector<std::string> texts;
    const Control* c = list(id);
    if (c == nullptr) return texts;
    texts.reserve(c->lines.size());
    for (const Line& line : c->lines) texts.push_back(line.text);
    return texts;
}

tk::ItemData DialogModel::listData(int id, int index) const {
    const Control* c = list(id);
    if (c == nullptr || !validIndex(*c, index)) return 0;
    return c->lines[static_cast<std::size_t>(index)].data;
}

bool DialogModel::listSetData(int id, int index, tk::ItemData data) {
    Control* c = list(id);
    if (c == nullptr || !validIndex(*c, index)) return false;
    c->lines[static_cast<std::size_t>(index)].data = data;
    return true;
}

int DialogModel::listFind(int id, std::string_view value, int after) const {
    const Control* c = list(id);
    if (c == nullptr || after < -1) return -1;
    for (std::size_t i = static_cast<std::size_t>(after + 1); i < c->lines.size(); ++i)
        if (c->lines[i].text == value) return static_cast<int>(i);
    return -1;
}

int DialogModel::listCurrent(int id) const {
    const Control* c = list(id);
    if (c == nullptr) return -1;
    for (std::size_t i = 0; i < c->lines.size(); ++i)
        if (c->lines[i].selected) return static_cast<int>(i);
    return -1;
}

bool DialogModel::listSetCurrent(int id, int index) {
    Control* c = list(id);
    if (c == nullptr || (index != -1 && !validIndex(*c, index))) return false;
    for (std::size_t i = 0; i < c->lines.size(); ++i) c->lines[i].selected = static_cast<int>(i) == index;
    return true;
}

bool DialogModel::listSetSelected(int id, int index, bool selected) {
    Control* c = list(id);
    if (c == nullptr || (index != -1 && !validIndex(*c, index))) return false;
    if (!c->extended()) {
        if (selected) return index != -1 && listSetCurrent(id, index);
        if (index == -1 || c->lines[static_cast<std::size_t>(index)].selected) return listSetCurrent(id, -1);
        return true;
    }
    if (index == -1) {
        for (auto& line : c->lines) line.selected = selected;
    } else {
        c->lines[static_cast<std::size_t>(index)].selected = selected;
    }
    return true;
}

std::vector<int> DialogModel::listSelection(int id) const {
    std::vector<int> out;
    const Control* c = list(id);
    if (c == nullptr) return out;
    for (std::size_t i = 0; i < c->lines.size(); ++i)
        if (c->lines[i].selected) out.push_back(static_cast<int>(i));
    return out;
}

}  // namespace tk::common
