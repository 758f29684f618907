// A table of values by short text key (layer names and their prefixes) for
// lookups made once or more per layer of a large table: open addressing in
// one flat array whose size is a power of two, so that a lookup takes a
// mask where the standard unordered containers take a division, and finds
// its key in the slot it reads first instead of behind a node pointer.
// Keys are compared exactly (callers fold the letter case first).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/text_hash.h"

namespace ascii {

template <class Value>
class TextTable {
public:
    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }

    // The value of `key`, or null.
    const Value* find(std::string_view key) const {
        if (count_ == 0) return nullptr;
        const std::size_t h = hashText(key);
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            const Slot& s = slots_[i];
            if (!s.used) return nullptr;
            if (s.hash == h && std::string_view(s.key) == key) return &s.value;
        }
    }

    // The value of `key`, made (value-initialised) when missing.
    Value& operator[](std::string_view key) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        const std::size_t h = hashText(key);
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            Slot& s = slots_[i];
            if (!s.used) {
                s.used = true;
                s.hash = h;
                s.key.assign(key.data(), key.size());
                ++count_;
                return s.value;
            }
            if (s.hash == h && std::string_view(s.key) == key) return s.value;
        }
    }

private:
    struct Slot {
        std::size_t hash = 0;
        std::string key;
        Value value{};
        bool used = false;
    };
    std::size_t mask() const { return slots_.size() - 1; }
    void grow() {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(old.empty() ? 16 : old.size() * 2);
        for (Slot& s : old) {
            if (!s.used) continue;
            std::size_t i = s.hash & mask();
            while (slots_[i].used) i = (i + 1) & mask();
            slots_[i] = std::move(s);
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

}  // namespace ascii
