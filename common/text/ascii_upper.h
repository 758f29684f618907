// Upper-casing of ASCII letters eight bytes at a time, for the name lookups
// that fold every layer name of a large table. Bytes outside 'a'..'z'
// (digits, punctuation, bytes of multi-byte characters) are kept as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ascii {

// The eight bytes of `word` with 'a'..'z' turned into 'A'..'Z'.
inline std::uint64_t upperWord(std::uint64_t word) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t high = 0x8080808080808080ull;
    // Each byte's low seven bits plus a bias sets the byte's high bit when
    // the byte is at least 'a' (or above 'z'); no sum carries into the next
    // byte. Bytes with their own high bit set are never letters.
    const std::uint64_t low7 = word & ~high;
    const std::uint64_t atLeastA = low7 + ones * (0x80 - 'a');
    const std::uint64_t aboveZ = low7 + ones * (0x80 - 'z' - 1);
    const std::uint64_t lower = atLeastA & ~aboveZ & ~word & high;
    return word ^ (lower >> 2);  // 0x80 >> 2 is the case bit 0x20
}

// Writes the upper-case form of in[0..size) to out (which may be `in`).
inline void upperAscii(const char* in, std::size_t size, char* out) {
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        word = upperWord(word);
        std::memcpy(out + i, &word, 8);
    }
    if (i < size && size >= 8) {
        // The last eight bytes as one word, overlapping bytes already done
        // (folding them again changes nothing).
        std::uint64_t word;
        std::memcpy(&word, in + size - 8, 8);
        word = upperWord(word);
        std::memcpy(out + size - 8, &word, 8);
        return;
    }
    for (; i < size; ++i) {
        const char c = in[i];
        out[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
}

}  // namespace ascii
