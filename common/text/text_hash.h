// A hash of short texts (layer names and their prefixes) for the lookup
// tables that are asked once or more per layer of a large table: eight
// bytes at a time with one multiplication each, inlined, instead of the
// standard library's byte-oriented hash behind a call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace ascii {

inline std::size_t hashText(std::string_view text) {
    constexpr std::uint64_t k = 0x9e3779b97f4a7c15ull;
    std::uint64_t h = text.size() * k;
    const char* p = text.data();
    std::size_t n = text.size();
    for (; n >= 8; n -= 8, p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * k;
        h ^= h >> 29;
    }
    if (n > 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, n);
        h = (h ^ word) * k;
        h ^= h >> 29;
    }
    // Every input bit reaches the low bits the tables take their buckets from.
    h *= 0xbf58476d1ce4e5b9ull;
    return static_cast<std::size_t>(h ^ (h >> 31));
}

// For unordered containers keyed by std::string and looked up by views.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return hashText(text); }
};

}  // namespace ascii
