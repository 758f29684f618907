// The outcome of saving a file through the platform: success, or a message
// that names the file and says why it was not saved. A failed save leaves
// the previous file as it was.
#pragma once

#include <string>

namespace tk {

struct SaveResult {
    bool saved = false;
    std::string message;  // empty when saved; one line, without its line end

    explicit operator bool() const { return saved; }
    static SaveResult success() { return {true, {}}; }
    static SaveResult failure(std::string why) { return {false, std::move(why)}; }
};

}  // namespace tk
