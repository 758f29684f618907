// Dialogs of the headless backend: opening from a template, the modal loop
// that takes the script's lines, ending, and the transcript of controls.
#include "state.h"
#include "shared.h"

namespace tk::headless {
namespace {


// Lists show at most this many lines in the transcript ("@show <id>" shows all).
constexpr std::size_t kTranscriptListLines = 50;

}  // namespace

WindowId HeadlessPlatform::State::openDialog(const tk::DialogTemplate& t, HWND owner, tk::DialogHandler& handler, bool modal) {
    WindowRecord* ownerRecord = owner != nullptr ? find(owner) : nullptr;
    if (owner != nullptr && ownerRecord == nullptr) return 0;
    WindowRecord& r = add(WindowKind::Dialog);
    const WindowId id = r.id;
    r.dialog = std::make_unique<DialogModel>(t);
    r.caption = t.caption;
    r.initialCaption = t.caption;
    r.style = tk::WS_POPUP | tk::WS_CAPTION | tk::WS_SYSMENU;
    r.parent = owner != nullptr ? ownerRecord->id : 0;
    r.dialogHandler = &handler;
    r.modal = modal;
    r.visible = true;
    activate(r);
    emit(tag(r) + " open " + (modal ? "modal " : "modeless ") + text::quote(t.caption));
    handler.dialogCreated(handleOf(id));
    dialogEvent(id, [](tk::DialogHandler& h) { h.onInit(); });
    WindowRecord* opened = find(id);
    if (opened == nullptr) return 0;
    reportDialog(*opened, true);
    return id;
}

int HeadlessPlatform::State::runModal(const tk::DialogTemplate& t, HWND owner, tk::DialogHandler& handler) {
    const WindowId id = openDialog(t, owner, handler, true);
    if (id == 0) return -1;
    modalDialogs.push_back(id);
    const std::string waiting = "the dialog " + text::quote(t.caption);
    try {
        while (true) {
            WindowRecord* r = find(id);
            if (r == nullptr || r->ending) break;
            deliverPosted();
            r = find(id);
            if (r == nullptr || r->ending) break;
            performDialogLine(takeAnswer(waiting));
        }
    } catch (...) {
        std::erase(modalDialogs, id);
        destroy(id, tk::IDCANCEL);
        throw;
    }
    std::erase(modalDialogs, id);
    WindowRecord* r = find(id);
    if (r == nullptr) return tk::IDCANCEL;  // destroyed while it ran
    const int code = r->endCode;
    destroy(id, code);
    return code;
}

bool HeadlessPlatform::State::endDialog(WindowId id, int code) {
    WindowRecord* r = find(id);
    if (r == nullptr || r->kind != WindowKind::Dialog) return false;
    r->ending = true;
    r->endCode = code;
    if (!r->modal && r->busy == 0) destroy(id, code);
    return true;
}

void HeadlessPlatform::State::dialogEvent(WindowId id, const std::function<void(tk::DialogHandler&)>& call) {
    WindowRecord* r = find(id);
    if (r == nullptr || r->dialogHandler == nullptr) return;
    ++r->busy;
    try {
        call(*r->dialogHandler);
    } catch (...) {
        if (WindowRecord* still = find(id); still != nullptr) --still->busy;
        throw;
    }
    r = find(id);
    if (r == nullptr) return;
    --r->busy;
    if (r->ending && !r->modal && r->busy == 0) destroy(id, r->endCode);
}

WindowRecord* HeadlessPlatform::State::activeDialog() {
    WindowRecord* best = nullptr;
    for (const auto& [id, r] : windows) {
        if (r->kind != WindowKind::Dialog || !r->visible || r->ending) continue;
        // A modal dialog that runs another modal dialog takes no input.
        if (r->modal && (modalDialogs.empty() || modalDialogs.back() != id)) continue;
        if (best == nullptr || r->activation > best->activation) best = r.get();
    }
    return best;
}

void HeadlessPlatform::State::reportDialog(WindowRecord& r, bool all) {
    if (!r.dialog) return;
    const auto& controls = r.dialog->controls();
    if (r.shown.size() != controls.size()) {
        r.shown.assign(controls.size(), std::string());
        all = true;
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        std::string description = DialogModel::describe(controls[i], kTranscriptListLines);
        if (all || description != r.shown[i]) emit(tag(r) + "   " + description);
        r.shown[i] = std::move(description);
    }
}

}  // namespace tk::headless

namespace tk::headless {

void HeadlessPlatform::State::reportChanges() {
    for (auto& [id, r] : windows)
        if (r->kind == WindowKind::Dialog) reportDialog(*r, false);
}

}  // namespace tk::headless
