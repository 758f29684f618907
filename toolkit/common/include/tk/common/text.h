// Small text helpers shared by the toolkit backends: ASCII case rules,
// quoting for the transcript, and splitting script lines into words.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk::common::text {

char lowerAscii(char c);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// <0, 0, >0 comparing bytes with ASCII letters folded to lower case.
int compareIgnoreCase(std::string_view a, std::string_view b);

// The text between double quotes, with \" \\ \n \r \t and \xHH for other
// control bytes, so that every transcript entry stays on one line.
std::string quote(std::string_view text);

// Splits a script line into words at blanks. A word in double quotes may
// hold blanks and the escapes \" \\ \n \t. Nothing (with `error` set) for an
// unterminated quote.
std::optional<std::vector<std::string>> splitWords(std::string_view line, std::string& error);

// A decimal (or 0x hexadecimal) integer, the whole word.
std::optional<long> parseInteger(std::string_view word);

// The longest prefix of `text` of at most `limit` bytes that does not end
// inside a UTF-8 sequence.
std::string_view cutAtCharacter(std::string_view text, std::size_t limit);

}  // namespace tk::common::text
