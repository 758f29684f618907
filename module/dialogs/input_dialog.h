// "Input Dialog": one line of text under the caller's prompt. The value is
// returned as typed; callers convert and check it.
#pragma once

#include <string>
#include <string_view>

#include "tk/dialog.h"

namespace zan {

class InputDialog : public tk::Dialog {
public:
    static constexpr int kPrompt = 1015;
    static constexpr int kValue = 1014;

    InputDialog();

    void setPrompt(std::string_view prompt) { prompt_ = prompt; }
    void setValue(std::string_view value) { value_ = value; }
    // Runs the dialog; IDOK when a value was entered (read it with value()).
    int run(HWND owner) { return runModal(owner); }
    const std::string& value() const { return value_; }

    bool onInit() override;
    void onOK() override;

private:
    std::string prompt_;
    std::string value_;
};

}  // namespace zan
