// The state of one open dialog: its controls with their texts, check marks,
// list lines and selections. Implements tk::DialogControls for the module
// and describes controls for the transcript.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tk/common/chunked_vector.h"
#include "tk/dialog_controls.h"
#include "tk/dialog_template.h"

namespace tk::common {

class DialogModel final : public tk::DialogControls {
public:
    struct Line {
        std::string text;
        tk::ItemData data = 0;
        bool selected = false;
    };
    struct Control {
        int id = tk::IDC_STATIC;
        tk::ControlKind kind = tk::ControlKind::Static;
        unsigned style = 0;
        std::string label;  // the template's text
        std::string text;   // edit text, or the label as changed by setText
        bool checked = false;
        bool enabled = true;
        bool visible = true;
        std::size_t limit = tk::kDefaultEditLimit;
        // In chunks: a list of many lines (every layer of a large table)
        // grows without copying them and without one block of many MB.
        ChunkedVector<Line> lines;

        bool isList() const { return kind == tk::ControlKind::ListBox || kind == tk::ControlKind::DropDownList; }
        bool extended() const { return kind == tk::ControlKind::ListBox && (style & tk::kExtendedSelection) != 0; }
    };

    explicit DialogModel(const tk::DialogTemplate& dialogTemplate);

    int resourceId() const { return resourceId_; }
    const std::string& caption() const { return caption_; }
    std::vector<Control>& controls() { return controls_; }
    const std::vector<Control>& controls() const { return controls_; }
    Control* find(int id);
    const Control* find(int id) const;
    int focus() const { return focus_; }

    // Checks a radio button and clears the others of its group.
    void checkRadio(int id);
    // The default push button's identifier, or IDOK when there is none.
    int defaultButton() const;

    // One transcript line body for a control, e.g.
    // `listbox 1036 "Configurations:" sorted notify = ["A", *"B"]`; lists show
    // at most `maxLines` lines (0: all).
    static std::string describe(const Control& control, std::size_t maxLines);

    // tk::DialogControls
    bool hasControl(int id) const override;
    std::string text(int id) const override;
    bool setText(int id, std::string_view text) override;
    bool setTextLimit(int id, std::size_t limit) override;
    bool isChecked(int id) const override;
    bool setChecked(int id, bool checked) override;
    bool isEnabled(int id) const override;
    bool setEnabled(int id, bool enabled) override;
    bool isVisible(int id) const override;
    bool setVisible(int id, bool visible) override;
    bool setFocus(int id) override;
    int listAdd(int id, std::string_view text, tk::ItemData data) override;
    bool listReserve(int id, std::size_t lines) override;
    int listAddLines(int id, std::size_t count, const std::function<tk::ListLine(std::size_t)>& line) override;
    int listInsert(int id, int index, std::string_view text, tk::ItemData data) override;
    bool listDelete(int id, int index) override;
    bool listClear(int id) override;
    int listCount(int id) const override;
    std::optional<std::string> listText(int id, int index) const override;
    std::vector<std::string> listTexts(int id) const override;
    tk::ItemData listData(int id, int index) const override;
    bool listSetData(int id, int index, tk::ItemData data) override;
    int listFind(int id, std::string_view text, int after) const override;
    int listCurrent(int id) const override;
    bool listSetCurrent(int id, int index) override;
    bool listSetSelected(int id, int index, bool selected) override;
    std::vector<int> listSelection(int id) const override;

private:
    Control* list(int id);
    const Control* list(int id) const;
    // Adds a line to a list control as listAdd does; its index.
    static std::size_t addLine(Control& c, std::string_view text, tk::ItemData data);
    static void reserveLines(Control& c, std::size_t count);
    static bool validIndex(const Control& c, int index) {
        return index >= 0 && static_cast<std::size_t>(index) < c.lines.size();
    }

    int resourceId_ = 0;
    std::string caption_;
    std::vector<Control> controls_;
    int focus_ = 0;
};

}  // namespace tk::common
