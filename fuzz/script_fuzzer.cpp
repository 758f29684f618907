// A whole session of the host on an arbitrary script: typed input at the
// command line and its prompts, points, keywords, "@" lines and comments, on
// a new drawing. Whatever the script holds, the session ends. Scripts that
// name a save are skipped, so that a run never writes files.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "session/script.h"
#include "session/session.h"

namespace {

bool namesASave(std::string_view text) {
    static const std::string_view word = "save";
    auto match = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
    return match != text.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (namesASave(text)) return 0;
    zan::app::SessionOptions options;
    options.profileDirectory = "fuzz-profile";  // never the user's own
    zan::app::Session session(options, [](std::string_view) {});
    zan::app::Script script(text);
    session.run(script);
    return 0;
}
