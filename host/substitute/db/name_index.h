// The entries of a symbol table by name, letter case ignored. A flat table
// of (hash, record) pairs: the names themselves stay in the records (their
// group 2), so a table of 100,000 layers indexes them in 1.6 MB instead of a
// hash map node and an upper-cased copy per name.
#pragma once

#include <cstdint>
#include <string_view>

#include "db/zeroed_array.h"

namespace host {

bool namesEqual(std::string_view a, std::string_view b);  // db/record.h

class NameIndex {
public:
    using Id = std::uint32_t;  // 0: none

    static std::uint32_t hashOf(std::string_view name) {
        std::uint32_t h = 2166136261u;
        for (char c : name) {
            auto u = static_cast<unsigned char>(c);
            if (u >= 'a' && u <= 'z') u = static_cast<unsigned char>(u - 'a' + 'A');
            h = (h ^ u) * 16777619u;
        }
        return h;
    }

    // The entry of that name; `nameOf(id)` gives an entry's name as it is now.
    template <class NameOf>
    Id find(std::string_view name, const NameOf& nameOf) const {
        if (slots_.empty()) return 0;
        const std::uint32_t h = hashOf(name);
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            const Slot& s = slots_[i];
            if (s.id == 0) return 0;
            if (s.hash == h && namesEqual(nameOf(s.id), name)) return s.id;
        }
    }

    // Indexes `id` under `name`; an entry of the same name already indexed is
    // replaced, or kept when `replace` is false.
    template <class NameOf>
    void insert(std::string_view name, Id id, bool replace, const NameOf& nameOf) {
        if ((count_ + 1) * 2 > slots_.size()) grow(slots_.empty() ? 16 : slots_.size() * 2);
        const std::uint32_t h = hashOf(name);
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            Slot& s = slots_[i];
            if (s.id == 0) {
                s = Slot{h, id};
                ++count_;
                return;
            }
            if (s.hash == h && namesEqual(nameOf(s.id), name)) {
                if (replace) s.id = id;
                return;
            }
        }
    }

    // Makes room for `count` entries in all, so that indexing them grows
    // the table once rather than step by step.
    void reserve(std::size_t count) {
        std::size_t size = slots_.empty() ? 16 : slots_.size();
        while (count * 2 > size) size *= 2;
        if (size > slots_.size()) grow(size);
    }

    void clear() {
        slots_.clear();
        count_ = 0;
    }
    std::size_t size() const { return count_; }

private:
    struct Slot {
        std::uint32_t hash = 0;
        Id id = 0;
    };
    std::size_t mask() const { return slots_.size() - 1; }
    void grow(std::size_t size) {
        ZeroedArray<Slot> old;
        old.swap(slots_);
        slots_.growTo(size);
        for (const Slot& s : old) {
            if (s.id == 0) continue;
            std::size_t i = s.hash & mask();
            while (slots_[i].id != 0) i = (i + 1) & mask();
            slots_[i] = s;
        }
    }

    ZeroedArray<Slot> slots_;  // empty slots are zero bytes
    std::size_t count_ = 0;
};

}  // namespace host
