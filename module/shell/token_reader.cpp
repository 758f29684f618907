#include "shell/token_reader.h"

#include <climits>

namespace zan {

namespace {
bool isSeparator(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
}  // namespace

TokenRead scanToken(std::FILE* file, char* buffer, std::size_t size) {
    if (size == 0) return TokenRead::EndOfFile;
    std::size_t length = 0;
    auto keep = [&](int c) {
        if (length + 1 < size) buffer[length++] = static_cast<char>(c);
    };
    int c = std::fgetc(file);
    while (c != EOF && isSeparator(c)) c = std::fgetc(file);
    if (c == EOF) {
        buffer[0] = '\0';
        return TokenRead::EndOfFile;
    }
    TokenRead result = TokenRead::Read;
    if (c == '"') {
        for (c = std::fgetc(file); c != EOF && c != '"'; c = std::fgetc(file)) keep(c);
        if (c == EOF) result = TokenRead::UnclosedQuote;
    } else {
        for (; c != EOF && !isSeparator(c); c = std::fgetc(file)) keep(c);
    }
    buffer[length] = '\0';
    return result;
}

bool readToken(std::FILE* file, char* buffer, std::size_t size) {
    return scanToken(file, buffer, size) != TokenRead::EndOfFile;
}

TokenRead scanTextToken(std::FILE* file, std::string& text) {
    char buffer[kTextTokenSize];
    TokenRead read = scanToken(file, buffer, sizeof buffer);
    text = buffer;
    return read;
}

bool readTextToken(std::FILE* file, std::string& text) { return scanTextToken(file, text) != TokenRead::EndOfFile; }

int leadingInteger(const char* text) {
    long long value = 0;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;  // saturate, never overflow
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int readIntToken(std::FILE* file) {
    char buffer[kIntTokenSize];
    readToken(file, buffer, sizeof buffer);
    return leadingInteger(buffer);
}

}  // namespace zan
