// A set of texts viewed, not copied, for duplicate checks over many names
// (every layer name of a list of many): open addressing in one flat array
// sized once for what is to come, so that an insert makes no allocation of
// its own and reads one slot in the common case, where the standard
// unordered set makes a node per text. The viewed texts must outlive the set
// and stay where they are.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "text/text_hash.h"

namespace ascii {

class TextViewSet {
public:
    // Room for `count` texts in all without growing.
    void reserve(std::size_t count) {
        if (2 * count > slots_.size()) rehash(roomFor(count));
    }

    // Adds `text` unless the set holds an equal text; true when added.
    bool insert(std::string_view text) {
        reserve(count_ + 1);
        return insertHashed(text, hashText(text));
    }

    // Inserts textAt(0) .. textAt(n - 1) in that order, calling added(i)
    // for each one added. The slots of the next few texts are fetched while
    // one is inserted, so that a set larger than the caches waits for
    // memory about once per batch instead of once per text.
    template <class TextAt, class Added>
    void insertEach(std::size_t n, TextAt textAt, Added added) {
        reserve(count_ + n);
        constexpr std::size_t kAhead = 16;
        std::size_t ahead[kAhead];
        for (std::size_t i = 0; i < n && i < kAhead; ++i) ahead[i] = fetch(textAt(i));
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t h = ahead[i % kAhead];
            if (i + kAhead < n) ahead[i % kAhead] = fetch(textAt(i + kAhead));
            if (insertHashed(textAt(i), h)) added(i);
        }
    }

    bool contains(std::string_view text) const {
        if (count_ == 0) return false;
        const std::size_t h = hashText(text);
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            const Slot& s = slots_[i];
            if (s.text.data() == nullptr) return false;
            if (s.hash == h && s.text == text) return true;
        }
    }

    std::size_t size() const { return count_; }

private:
    struct Slot {
        std::string_view text;  // no data: the slot is free
        std::size_t hash = 0;
    };
    std::size_t mask() const { return slots_.size() - 1; }
    // A power of two at least twice `count`: at most half full, so that
    // every probe ends at a free slot soon.
    static std::size_t roomFor(std::size_t count) {
        std::size_t size = 16;
        while (size < 2 * count) size *= 2;
        return size;
    }
    void rehash(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(slots_);
        for (const Slot& s : old) {
            if (s.text.data() == nullptr) continue;
            std::size_t i = s.hash & mask();
            while (slots_[i].text.data() != nullptr) i = (i + 1) & mask();
            slots_[i] = s;
        }
    }
    // The hash of `text`, its first slot asked for from memory.
    std::size_t fetch(std::string_view text) const {
        const std::size_t h = hashText(text);
        __builtin_prefetch(&slots_[h & mask()]);
        return h;
    }
    // Needs room for one more text.
    bool insertHashed(std::string_view text, std::size_t h) {
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            Slot& s = slots_[i];
            if (s.text.data() == nullptr) {
                // A default view has no data: it is kept as an empty view
                // that has, so that the slot counts as used.
                s.text = text.data() != nullptr ? text : std::string_view("", 0);
                s.hash = h;
                ++count_;
                return true;
            }
            if (s.hash == h && s.text == text) return false;
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

}  // namespace ascii
