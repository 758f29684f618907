#include "tk/common/ui_line.h"

#include <climits>

#include "tk/common/text.h"

namespace tk::common {

std::string lowerAscii(std::string word) {
    for (char& c : word) c = text::lowerAscii(c);
    return word;
}

std::vector<std::string> uiWords(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty() && line.front() == '@') line.remove_prefix(1);
    std::string error;
    auto words = text::splitWords(line, error);
    if (!words) throw LineError(error);
    if (words->empty() || words->front().empty()) throw LineError("the line holds no action");
    words->front() = lowerAscii(words->front());
    return *words;
}

int uiInteger(const std::string& word, const char* what) {
    auto value = text::parseInteger(word);
    if (!value || *value < INT_MIN || *value > INT_MAX) throw LineError(text::quote(word) + " is not " + what);
    return static_cast<int>(*value);
}

void expectWords(const std::vector<std::string>& words, std::size_t count, const std::string& form) {
    if (words.size() != count) throw LineError("expected " + form);
}

}  // namespace tk::common
