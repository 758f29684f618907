#include "dialogs/input_dialog.h"

#include "resources/dialog_templates.h"

namespace zan {

InputDialog::InputDialog() : tk::Dialog(resources::inputDialogTemplate()) {}

bool InputDialog::onInit() {
    setItemText(kPrompt, prompt_);
    setItemText(kValue, value_);
    focusItem(kValue);
    return true;
}

void InputDialog::onOK() {
    value_ = itemText(kValue);
    endDialog(tk::IDOK);
}

}  // namespace zan
