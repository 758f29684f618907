// Access to the controls of an open dialog, by control identifier, and the
// handler through which a backend reports a dialog's events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tk/window_handle.h"

namespace tk {

// The value a list line carries (a number or a pointer of the caller's).
using ItemData = std::intptr_t;

// One line for a list: its text and the value it carries.
struct ListLine {
    std::string_view text;
    ItemData data = 0;
};

// Operations on one open dialog's controls. Texts are bytes (UTF-8 on this
// platform). Calls naming a control the dialog lacks, or an operation the
// control's kind lacks, fail (false, -1, empty) and change nothing.
// Programmatic changes send no notifications; only the user's actions do.
class DialogControls {
public:
    virtual ~DialogControls() = default;

    virtual bool hasControl(int id) const = 0;

    // Text of an edit, label or button; of a drop-down list, its selected line.
    virtual std::string text(int id) const = 0;
    // Sets the text; an edit keeps at most its limit (cut at a character boundary).
    virtual bool setText(int id, std::string_view text) = 0;
    // Most bytes an edit holds.
    virtual bool setTextLimit(int id, std::size_t limit) = 0;

    // Check boxes and radio buttons.
    virtual bool isChecked(int id) const = 0;
    virtual bool setChecked(int id, bool checked) = 0;

    virtual bool isEnabled(int id) const = 0;
    virtual bool setEnabled(int id, bool enabled) = 0;
    virtual bool isVisible(int id) const = 0;
    virtual bool setVisible(int id, bool visible) = 0;
    virtual bool setFocus(int id) = 0;

    // List boxes and drop-down lists. Indices count from 0.
    // Adds a line (in order in a sorted list, else at the end); its index, or -1.
    virtual int listAdd(int id, std::string_view text, ItemData data) = 0;
    // Makes room for `lines` more lines before many are added, so that the
    // list grows once; false when `id` names no list. Changes no line.
    virtual bool listReserve(int id, std::size_t lines) = 0;
    // Adds `count` lines as that many listAdd calls in turn would, line i
    // as `line(i)` gives it; the number added, or -1 when `id` names no list.
    // A backend may add them at once: lines given in a sorted list's own
    // order then each land at the end without a search.
    virtual int listAddLines(int id, std::size_t count, const std::function<ListLine(std::size_t)>& line) {
        if (!listReserve(id, count)) return -1;
        for (std::size_t i = 0; i < count; ++i) {
            const ListLine l = line(i);
            if (listAdd(id, l.text, l.data) < 0) return static_cast<int>(i);
        }
        return static_cast<int>(count);
    }
    // Inserts before `index` (-1: at the end), without sorting; its index, or -1.
    virtual int listInsert(int id, int index, std::string_view text, ItemData data) = 0;
    virtual bool listDelete(int id, int index) = 0;
    virtual bool listClear(int id) = 0;
    virtual int listCount(int id) const = 0;
    virtual std::optional<std::string> listText(int id, int index) const = 0;
    // The texts of all lines in order; empty when `id` names no list. A
    // backend may give them at once.
    virtual std::vector<std::string> listTexts(int id) const {
        std::vector<std::string> texts;
        const int count = listCount(id);
        if (count > 0) texts.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) texts.push_back(listText(id, i).value_or(std::string()));
        return texts;
    }
    virtual ItemData listData(int id, int index) const = 0;
    virtual bool listSetData(int id, int index, ItemData data) = 0;
    // The first line after `after` (-1: from the start) whose text equals
    // `text` exactly (case-sensitive); -1 when none.
    virtual int listFind(int id, std::string_view text, int after) const = 0;
    // Single selection and drop-down lists: the selected line or -1.
    // Extended selection: the first selected line or -1.
    virtual int listCurrent(int id) const = 0;
    // Selects exactly this line (-1: none).
    virtual bool listSetCurrent(int id, int index) = 0;
    // Extended selection: adds or removes one line (-1: every line).
    virtual bool listSetSelected(int id, int index, bool selected) = 0;
    // The selected lines in ascending order.
    virtual std::vector<int> listSelection(int id) const = 0;
};

// Receives the events of one dialog, in this order: dialogCreated, onInit,
// then commands until the dialog ends, then dialogDestroyed.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;

    // The dialog window exists and its controls can be used.
    virtual void dialogCreated(HWND dialog) = 0;
    virtual bool onInit() = 0;
    // A control's notification (BN_CLICKED, EN_CHANGE, LBN_SELCHANGE, ...),
    // except the OK and Cancel buttons, which arrive as onOK and onCancel.
    virtual void onCommand(int controlId, int notification) = 0;
    virtual void onOK() = 0;      // the IDOK button, or Enter with no other default button
    virtual void onCancel() = 0;  // the IDCANCEL button, Escape, the close box, a close request
    // The dialog window is gone; the last event. A modeless dialog's handler
    // may delete itself here.
    virtual void dialogDestroyed(int endCode) = 0;
};

}  // namespace tk
