#include <cstdio>
#include <cstdlib>

#include "tk/platform.h"

namespace tk {
namespace {
Platform* installed = nullptr;
}

Platform& platform() {
    if (installed == nullptr) {
        std::fputs("zan: no window toolkit backend is installed\n", stderr);
        std::abort();
    }
    return *installed;
}

void installPlatform(Platform* backend) { installed = backend; }

}  // namespace tk
