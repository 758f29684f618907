// Upper-casing (and lower-casing) of ASCII letters eight bytes at a time, for the name lookups
// that fold every layer name of a large table. Bytes outside 'a'..'z'
// (digits, punctuation, bytes of multi-byte characters) are kept as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ascii {

// The case bit (0x20) of each byte of `word` that lies in first..last (a
// run of ASCII letters of one case), zero elsewhere.
inline std::uint64_t caseBitsOf(std::uint64_t word, char first, char last) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t high = 0x8080808080808080ull;
    // Each byte's low seven bits plus a bias sets the byte's high bit when
    // the byte is at least `first` (or above `last`); no sum carries into
    // the next byte. Bytes with their own high bit set are never letters.
    const std::uint64_t low7 = word & ~high;
    const std::uint64_t atLeastFirst = low7 + ones * static_cast<std::uint64_t>(0x80 - first);
    const std::uint64_t aboveLast = low7 + ones * static_cast<std::uint64_t>(0x80 - last - 1);
    return (atLeastFirst & ~aboveLast & ~word & high) >> 2;  // 0x80 >> 2 is the case bit 0x20
}

// The eight bytes of `word` with 'a'..'z' turned into 'A'..'Z'.
inline std::uint64_t upperWord(std::uint64_t word) { return word ^ caseBitsOf(word, 'a', 'z'); }

// The eight bytes of `word` with 'A'..'Z' turned into 'a'..'z'.
inline std::uint64_t lowerWord(std::uint64_t word) { return word | caseBitsOf(word, 'A', 'Z'); }

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
