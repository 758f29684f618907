// The readers of typed words on arbitrary lines: the words of a "@" line and
// its numbers, points ("x,y", "x,y,z", "@dx,dy"), keywords and the numbers
// of the command line. Each refuses or gives a value that is sound.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_processor.h"
#include "db/group.h"
#include "tk/common/text.h"
#include "tk/common/ui_line.h"

namespace {

void checkPoint(const std::optional<std::array<double, 3>>& point, std::string_view line) {
    if (!point) return;
    for (double v : *point)
        if (!std::isfinite(v)) {
            std::fprintf(stderr, "a point that is not finite from \"%.*s\"\n", static_cast<int>(line.size()),
                         line.data());
            std::abort();
        }
}

void readLine(std::string_view line) {
    try {
        std::vector<std::string> words = tk::common::uiWords(line);
        if (words.empty() || words[0].empty()) std::abort();  // an empty line is refused, not split
        for (const std::string& word : words) {
            try {
                tk::common::uiInteger(word, "a number");
            } catch (const tk::common::LineError&) {
            }
        }
    } catch (const tk::common::LineError&) {
    }
    tk::common::text::parseInteger(line);
    std::string error;
    if (auto words = tk::common::text::splitWords(line, error))
        for (const std::string& word : *words) tk::common::text::quote(word);
    if (tk::common::text::cutAtCharacter(line, 7).size() > 7) std::abort();
    const std::array<double, 3> base = {1.5, -2.0, 0.25};
    checkPoint(host::parsePointText(line), line);
    checkPoint(host::parsePointText(line, &base), line);
    static const std::vector<std::string> keywords = {"ON", "OFF", "Freeze", "Thaw", "LOck", "Unlock", "Color"};
    std::string keyword = host::matchKeyword(line, keywords);
    if (!keyword.empty() && std::find(keywords.begin(), keywords.end(), keyword) == keywords.end()) std::abort();
    if (auto real = host::parseReal(line); real && std::isnan(*real)) std::abort();
    host::parseInt(line);
    host::parseHandle(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        readLine(text.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
