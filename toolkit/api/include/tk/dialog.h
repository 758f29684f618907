// tk::Dialog: the base of a module's dialogs. Give it a template, override
// the handlers it needs (onInit, onCommand, onOK, onCancel), and run it
// modally or open it modeless. Controls are reached by identifier while the
// dialog is open.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tk/data_exchange.h"
#include "tk/platform.h"

namespace tk {

class Dialog : public DialogHandler {
public:
    explicit Dialog(DialogTemplate dialogTemplate) : template_(std::move(dialogTemplate)) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    // Closes the dialog if it is still open; its handlers are then not called.
    ~Dialog() override {
        if (handle_ != nullptr) {
            HWND h = handle_;
            handle_ = nullptr;
            destroying_ = true;
            platform().destroyWindow(h);
        }
    }

    const DialogTemplate& dialogTemplate() const { return template_; }
    DialogTemplate& dialogTemplate() { return template_; }

    // Shows the dialog and returns when it ends: the end code, or -1 when
    // it could not be shown.
    int runModal(HWND owner) { return platform().runModalDialog(template_, owner, *this); }
    // Opens the dialog beside whatever runs; false when it could not be opened.
    bool openModeless(HWND owner) {
        if (handle_ != nullptr) return false;
        return platform().createModelessDialog(template_, owner, *this) != nullptr;
    }
    // Ends the dialog with `code` (what runModal returns).
    void endDialog(int code) {
        if (handle_ != nullptr) platform().endDialog(handle_, code);
    }

    HWND handle() const { return handle_; }
    bool isOpen() const { return handle_ != nullptr; }
    bool show(ShowCommand command) { return platform().showWindow(handle_, command); }
    bool bringToFront() { return platform().bringWindowToTop(handle_); }

    // ---- Handlers ----------------------------------------------------------
    bool onInit() override { return true; }
    void onCommand(int, int) override {}
    void onOK() override { endDialog(IDOK); }
    void onCancel() override { endDialog(IDCANCEL); }
    // The dialog window is gone; a modeless dialog may delete itself here.
    virtual void onDestroyed(int /*endCode*/) {}

    // ---- Controls ----------------------------------------------------------
    std::string itemText(int id) const { return withControls<std::string>([&](auto& c) { return c.text(id); }, {}); }
    bool setItemText(int id, std::string_view text) { return call([&](auto& c) { return c.setText(id, text); }); }
    bool setTextLimit(int id, std::size_t limit) { return call([&](auto& c) { return c.setTextLimit(id, limit); }); }
    bool isChecked(int id) const { return withControls<bool>([&](auto& c) { return c.isChecked(id); }, false); }
    bool setChecked(int id, bool on) { return call([&](auto& c) { return c.setChecked(id, on); }); }
    // Checks `id` and clears the other controls numbered first..last.
    void checkRadioButton(int first, int last, int id) {
        for (int i = first; i <= last; ++i)
            if (hasItem(i)) setChecked(i, i == id);
    }
    // The checked control numbered first..last, or 0.
    int checkedRadioButton(int first, int last) const {
        for (int i = first; i <= last; ++i)
            if (hasItem(i) && isChecked(i)) return i;
        return 0;
    }
    bool hasItem(int id) const { return withControls<bool>([&](auto& c) { return c.hasControl(id); }, false); }
    bool enableItem(int id, bool on) { return call([&](auto& c) { return c.setEnabled(id, on); }); }
    bool isItemEnabled(int id) const { return withControls<bool>([&](auto& c) { return c.isEnabled(id); }, false); }
    bool showItem(int id, bool on) { return call([&](auto& c) { return c.setVisible(id, on); }); }
    bool focusItem(int id) { return call([&](auto& c) { return c.setFocus(id); }); }

    int listAdd(int id, std::string_view text, ItemData data = 0) {
        return withControls<int>([&](auto& c) { return c.listAdd(id, text, data); }, -1);
    }
    bool listReserve(int id, std::size_t lines) { return call([&](auto& c) { return c.listReserve(id, lines); }); }
    int listAddLines(int id, std::size_t count, const std::function<ListLine(std::size_t)>& line) {
        return withControls<int>([&](auto& c) { return c.listAddLines(id, count, line); }, -1);
    }
    int listInsert(int id, int index, std::string_view text, ItemData data = 0) {
        return withControls<int>([&](auto& c) { return c.listInsert(id, index, text, data); }, -1);
    }
    bool listDelete(int id, int index) { return call([&](auto& c) { return c.listDelete(id, index); }); }
    bool listClear(int id) { return call([&](auto& c) { return c.listClear(id); }); }
    int listCount(int id) const { return withControls<int>([&](auto& c) { return c.listCount(id); }, 0); }
    std::string listText(int id, int index) const {
        return withControls<std::string>([&](auto& c) { return c.listText(id, index).value_or(""); }, {});
    }
    std::vector<std::string> listTexts(int id) const {
        return withControls<std::vector<std::string>>([&](auto& c) { return c.listTexts(id); }, {});
    }
    ItemData listData(int id, int index) const {
        return withControls<ItemData>([&](auto& c) { return c.listData(id, index); }, 0);
    }
    bool listSetData(int id, int index, ItemData data) {
        return call([&](auto& c) { return c.listSetData(id, index, data); });
    }
    int listFind(int id, std::string_view text, int after = -1) const {
        return withControls<int>([&](auto& c) { return c.listFind(id, text, after); }, -1);
    }
    int listCurrent(int id) const { return withControls<int>([&](auto& c) { return c.listCurrent(id); }, -1); }
    bool listSetCurrent(int id, int index) { return call([&](auto& c) { return c.listSetCurrent(id, index); }); }
    bool listSetSelected(int id, int index, bool on) {
        return call([&](auto& c) { return c.listSetSelected(id, index, on); });
    }
    std::vector<int> listSelection(int id) const {
        return withControls<std::vector<int>>([&](auto& c) { return c.listSelection(id); }, {});
    }

    // ---- Data-exchange checks ------------------------------------------------
    // Each shows the platform's standard message box when the value is
    // refused, puts the focus on the control and answers false or nothing;
    // the caller then keeps the dialog open.
    bool checkMaxChars(int id, std::size_t limit) {
        if (itemText(id).size() <= limit) return true;
        return refuse(id, ddx::maxCharsMessage(limit));
    }
    std::optional<double> readNumber(int id) {
        auto value = ddx::parseNumber(itemText(id));
        if (!value) refuse(id, std::string(ddx::kNumberMessage));
        return value;
    }
    std::optional<double> readNumber(int id, double low, double high) {
        auto value = readNumber(id);
        if (value && (*value < low || *value > high)) {
            refuse(id, ddx::numberRangeMessage(low, high, DBL_DIG));
            return std::nullopt;
        }
        return value;
    }
    // A single-precision number, compared and reported as one.
    std::optional<float> readFloat(int id, float low, float high) {
        auto value = readNumber(id);
        if (!value) return std::nullopt;
        float f = static_cast<float>(*value);
        if (!(f >= low && f <= high)) {
            refuse(id, ddx::numberRangeMessage(low, high, FLT_DIG));
            return std::nullopt;
        }
        return f;
    }
    std::optional<long> readInteger(int id, long low, long high) {
        auto value = ddx::parseInteger(itemText(id));
        if (!value) {
            refuse(id, std::string(ddx::kIntegerMessage));
            return std::nullopt;
        }
        if (*value < low || *value > high) {
            refuse(id, ddx::integerRangeMessage(low, high));
            return std::nullopt;
        }
        return value;
    }

    // ---- Drive and directory lists -------------------------------------------
    // Fills a list with the machine's drives ("[-/-]").
    bool fillDriveList(int listId) {
        if (!listClear(listId)) return false;
        for (const auto& drive : platform().listDrives()) listAdd(listId, drive);
        return true;
    }
    // Lists the subdirectories of `path` into a list and shows the directory
    // listed in the control `pathId` (0: none). A relative path is taken from
    // the directory listed last. False, with nothing changed, when the
    // directory cannot be read.
    bool fillDirectoryList(int listId, std::string_view path, int pathId) {
        std::string target(path);
        if (!target.empty() && target.front() != '/' && !listedDirectory_.empty())
            target = listedDirectory_ + (listedDirectory_.back() == '/' ? "" : "/") + target;
        auto listing = platform().listDirectory(target);
        if (!listing || !listClear(listId)) return false;
        for (const auto& entry : listing->entries) listAdd(listId, entry);
        if (pathId != 0) setItemText(pathId, listing->directory);
        listedDirectory_ = listing->directory;
        return true;
    }
    const std::string& listedDirectory() const { return listedDirectory_; }

private:
    void dialogCreated(HWND dialog) final { handle_ = dialog; }
    void dialogDestroyed(int endCode) final {
        handle_ = nullptr;
        if (!destroying_) onDestroyed(endCode);
    }

    bool refuse(int id, const std::string& message) {
        platform().messageBox(handle_, message, "", MB_OK | MB_ICONEXCLAMATION);
        focusItem(id);
        return false;
    }
    template <typename R, typename F>
    R withControls(F&& f, R fallback) const {
        DialogControls* controls = handle_ != nullptr ? platform().dialogControls(handle_) : nullptr;
        return controls != nullptr ? f(*controls) : fallback;
    }
    template <typename F>
    bool call(F&& f) {
        return withControls<bool>(std::forward<F>(f), false);
    }

    DialogTemplate template_;
    HWND handle_ = nullptr;
    bool destroying_ = false;
    std::string listedDirectory_;
};

}  // namespace tk
