// What the shell needs to know of an open modifier bar.
#pragma once

#include "tk/window_handle.h"

namespace zan {

class ModifierBarWindow {
public:
    virtual ~ModifierBarWindow() = default;
    virtual HWND handle() const = 0;
};

}  // namespace zan
