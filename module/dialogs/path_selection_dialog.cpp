#include "dialogs/path_selection_dialog.h"

#include "resources/dialog_templates.h"

namespace zan {

namespace {
// The root that stands where drive C's root would be listed.
constexpr const char* kDefaultRoot = "/";

bool isDefaultDrive(const std::string& entry) {
    auto root = tk::driveRootOf(entry);
    return root && (*root == kDefaultRoot || *root == "c:/" || *root == "C:/");
}
}  // namespace

PathSelectionDialog::PathSelectionDialog() : tk::Dialog(resources::pathSelectionTemplate()) {}

int PathSelectionDialog::run(HWND owner) { return runModal(owner); }

bool PathSelectionDialog::onInit() {
    // The listing never changes the process's working directory: relative
    // paths elsewhere in the program keep resolving as before.
    int defaultDrive = -1;
    if (fillDriveList(kDriveList)) {
        for (int i = 0; i < listCount(kDriveList) && defaultDrive < 0; ++i)
            if (isDefaultDrive(listText(kDriveList, i))) defaultDrive = i;
    }
    if (defaultDrive >= 0) {
        listSetCurrent(kDriveList, defaultDrive);
        listDriveRoot(listText(kDriveList, defaultDrive));
    } else {
        fillDirectoryList(kDirectoryList, kDefaultRoot, kPathEdit);
    }
    setItemText(kPathEdit, path_);
    return true;
}

void PathSelectionDialog::listDriveRoot(std::string_view entry) {
    if (auto root = tk::driveRootOf(entry)) fillDirectoryList(kDirectoryList, *root, kPathEdit);
}

void PathSelectionDialog::onCommand(int controlId, int notification) {
    if (controlId == kDriveList && notification == tk::CBN_SELCHANGE) {
        listDriveRoot(itemText(kDriveList));
    } else if (controlId == kDirectoryList && notification == tk::LBN_DBLCLK) {
        int line = listCurrent(kDirectoryList);
        if (line < 0) return;
        // A directory that cannot be read leaves the lists as they were.
        if (auto name = tk::directoryNameOf(listText(kDirectoryList, line)))
            fillDirectoryList(kDirectoryList, *name, kPathEdit);
    }
}

void PathSelectionDialog::onOK() {
    path_ = itemText(kPathEdit);
    endDialog(tk::IDOK);
}

}  // namespace zan
