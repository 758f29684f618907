#include "support/session_harness.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace zan::test {

std::string makeTempDirectory(const std::string& stem) {
    static std::atomic<int> counter{0};
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("zan-" + stem + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

SessionHarness::SessionHarness(bool withModule, bool trace) : profileDirectory_(makeTempDirectory("profile")) {
    app::SessionOptions options;
    options.modulePath = withModule ? ZAN_MODULE_PATH : "";
    options.trace = trace;
    options.profileDirectory = profileDirectory_;
    session_ = std::make_unique<app::Session>(options, [this](std::string_view text) { transcript_ += text; });
    session_->newDrawing();
    session_->loadModule();
}

SessionHarness::~SessionHarness() {
    session_.reset();
    std::filesystem::remove_all(profileDirectory_);
}

int SessionHarness::run(const std::string& script) {
    app::Script lines(script);
    return session_->run(lines);
}

std::size_t SessionHarness::count(const std::string& text) const {
    std::size_t n = 0;
    for (std::size_t at = transcript_.find(text); at != std::string::npos; at = transcript_.find(text, at + 1)) ++n;
    return n;
}

}  // namespace zan::test
