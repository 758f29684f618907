// The words of a UI line of the automation script ("@edit 1001 text"), as
// every backend reads them; the actions themselves are the backend's.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tk::common {

// A UI line that cannot be performed; the message says why.
class LineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The words of a UI line: its "@" removed, the first word (the action) in
// lower case. Raises LineError for an empty line or an unclosed quote.
std::vector<std::string> uiWords(std::string_view line);

// The whole word as an int; LineError saying the word is not `what` otherwise.
int uiInteger(const std::string& word, const char* what);

// LineError unless the line has exactly `count` words; `form` is the line's
// expected form, as shown to the user.
void expectWords(const std::vector<std::string>& words, std::size_t count, const std::string& form);

std::string lowerAscii(std::string word);

}  // namespace tk::common
