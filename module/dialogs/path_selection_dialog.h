// "Path Selection": choose a directory from the drive and directory lists,
// or type a path. Returns only what the user chose.
#pragma once

#include <string>
#include <string_view>

#include "tk/dialog.h"

namespace zan {

class PathSelectionDialog : public tk::Dialog {
public:
    static constexpr int kDriveList = 1011;
    static constexpr int kDirectoryList = 1012;
    static constexpr int kPathEdit = 1013;

    PathSelectionDialog();

    // Presets the path field.
    void setInitialPath(std::string_view path) { path_ = path; }
    // Runs the dialog; IDOK when a path was chosen (read it with path()).
    int run(HWND owner);
    // The path field's text at OK; no trailing separator is promised.
    const std::string& path() const { return path_; }

    bool onInit() override;
    void onCommand(int controlId, int notification) override;
    void onOK() override;

private:
    void listDriveRoot(std::string_view entry);

    std::string path_;
};

}  // namespace zan
