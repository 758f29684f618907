#include "levels/edit_modifier_dialog.h"

#include <memory>

#include "levels/level_button.h"
#include "levels/level_removal.h"
#include "levels/levels.h"
#include "levels/modifier_bar.h"
#include "resources/dialog_templates.h"
#include "shell/services.h"
#include "shell/state.h"
#include "shell/drawing_paths.h"

namespace zan {

EditModifierDialog::EditModifierDialog(ModifierBar& bar, const LevelButton& item)
    : tk::Dialog(resources::editModifierTemplate()), bar_(bar) {
    const Level& level = item.level();
    nameText_ = level.name;
    modifierText_ = level.modifier;
    tagText_ = level.tag;
    bitmapText_ = item.imageFile;
}

bool EditModifierDialog::onInit() {
    fillControls();
    return true;
}

void EditModifierDialog::fillControls() {
    setItemText(kName, nameText_);
    setItemText(kModifier, modifierText_);
    setItemText(kBitmap, bitmapText_);
}

void EditModifierDialog::readControls() {
    nameText_ = itemText(kName);
    modifierText_ = itemText(kModifier);
    bitmapText_ = itemText(kBitmap);
}

void EditModifierDialog::browse() {
    tk::FileDialogRequest request;
    request.owner = handle();
    request.defaultExtension = "bmp";
    request.filter = "Bitmaps (*.bmp)|*.bmp||";
    request.initialDirectory = resolveDrawingPath(bar_.bitmapDirectory());
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_PATHMUSTEXIST | tk::OFN_NOCHANGEDIR;
    std::optional<std::string> chosen = tk::platform().openFileDialog(request);
    if (!chosen) return;
    const std::size_t at = chosen->find_last_of("/\\");
    bitmapText_ = at == std::string::npos ? *chosen : chosen->substr(at + 1);
    fillControls();
}

void EditModifierDialog::onCommand(int controlId, int notification) {
    switch (controlId) {
        case kName:
        case kModifier:
            if (notification == tk::EN_CHANGE) readControls();
            break;
        case kBrowse:
            if (notification == tk::BN_CLICKED) browse();
            break;
        case kModify:
        case kAppend:
        case kInsert:
        case kDelete:
            if (notification != tk::BN_CLICKED) break;
            readControls();
            // Marked before any check: a refused action still counts as a change.
            bar_.setChanged(true);
            endDialog(controlId);
            break;
        default: break;
    }
}

namespace {

void modifyLevel(const EditModifierDialog& dialog, LevelButton& item) {
    Level& level = item.level();
    level.name = dialog.nameText();
    item.imageFile = dialog.bitmapText();
    item.setLabel(dialog.nameText());
    setModifier(level, dialog.modifierText());
    level.tag = dialog.tagText();
    if (item.button != nullptr) item.button->reloadImage();
}

// A new level with its button, added when no level of the list shares its
// modifier or name: at the end of the bar, or before position `before`.
void addLevel(const EditModifierDialog& dialog, ModifierBar& bar, int before) {
    auto level = std::make_unique<Level>();
    level->name = dialog.nameText();
    setModifier(*level, dialog.modifierText());
    level->tag = dialog.tagText();
    switch (checkLevelUnique(*level, state().levelList)) {
        case 1: messageBox("A Level with that modifier already exists.\n Levels must be unique.", tk::MB_OK); return;
        case 2: messageBox("A Level with that name already exists.\n Levels must be unique.", tk::MB_OK); return;
        default: break;
    }
    auto button = std::make_unique<LevelButton>(*level);
    button->imageNumber = -1;
    button->imageFile = dialog.bitmapText();
    button->setLabel(dialog.nameText());
    GridItems items;
    items.push_back(std::move(button));
    const bool added = before < 0 ? bar.appendItems(std::move(items)) : bar.insertItems(std::move(items), before);
    // A level enters the list only with its button, so that none is left without one.
    if (added) state().levelList.push_back(std::move(level));
}

bool sharedWithAnotherButton(const ModifierBar& bar, const LevelButton& item) {
    for (int i = 0; i < bar.itemCount(); ++i) {
        const auto& other = static_cast<const LevelButton&>(bar.buttonAt(i).item());
        if (&other != &item && other.hasLevel() && &other.level() == &item.level()) return true;
    }
    return false;
}

void deleteLevel(ModifierBar& bar, LevelButton& item) {
    const int index = bar.indexOfButton(item.button);
    // A file may name one level on two buttons; the level then stays with
    // the other button and only this button goes.
    if (!sharedWithAnotherButton(bar, item)) removeLevel(&item.level());
    // Destroys the button with its item (and a level the item owns).
    bar.removeItem(index);
}

}  // namespace

void editModifier(ModifierBar& bar, LevelButton& item) {
    EditModifierDialog dialog(bar, item);
    switch (dialog.runModal(bar.handle())) {
        case EditModifierDialog::kModify: modifyLevel(dialog, item); break;
        case EditModifierDialog::kAppend: addLevel(dialog, bar, -1); break;
        case EditModifierDialog::kInsert: addLevel(dialog, bar, bar.indexOfButton(item.button)); break;
        case EditModifierDialog::kDelete: deleteLevel(bar, item); break;
        default: break;
    }
}

}  // namespace zan
