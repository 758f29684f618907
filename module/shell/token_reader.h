// The token reader of the modifier bar and symbol bar files: tokens are
// separated by spaces, tabs and line ends; a token in double quotes may hold
// any of them. Tokens longer than the buffer are cut; the end of the file
// ends a token.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace zan {

inline constexpr std::size_t kTextTokenSize = 128;  // at most 127 characters
inline constexpr std::size_t kIntTokenSize = 48;    // at most 47 characters

enum class TokenRead { Read, EndOfFile, UnclosedQuote };

// Reads one token into `buffer` (zero-terminated, cut to size - 1
// characters). EndOfFile when the file ended before a token began;
// UnclosedQuote when it ended inside a quoted token (the text read is kept).
TokenRead scanToken(std::FILE* file, char* buffer, std::size_t size);
// scanToken, false only when the file ended before a token began.
bool readToken(std::FILE* file, char* buffer, std::size_t size);
// A token of at most 127 characters into `text`; false at end of file.
bool readTextToken(std::FILE* file, std::string& text);
// The same, telling a quoted token cut by the end of the file apart.
TokenRead scanTextToken(std::FILE* file, std::string& text);
// A token of at most 47 characters as a decimal integer: an optional sign,
// then digits; anything else ends the number; no digits give 0.
int readIntToken(std::FILE* file);

// The leading-digits conversion readIntToken uses.
int leadingInteger(const char* text);

}  // namespace zan
