#include "db/group_text.h"

#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>

#include "db/group_arena.h"

namespace host {

namespace {

// Copies a short text (up to 16 bytes) with fixed-size moves, which is
// several times faster than a call to memcpy for the millions of short
// values of a drawing: two moves that may overlap cover any length.
inline void copyShort(char* to, const char* from, std::size_t length) {
    if (length >= 8) {
        std::uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + length - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + length - 8, &tail, 8);
    } else if (length >= 4) {
        std::uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + length - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + length - 4, &tail, 4);
    } else {
        for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
    }
}

}  // namespace

void GroupText::initFrom(const char* text, std::size_t length) {
    if (length <= kInlineCapacity) {
        copyShort(bytes_, text, length);
        bytes_[length] = '\0';
        bytes_[kTag] = static_cast<char>(length);
        return;
    }
    if (length >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("group text too long");
    const char* apart = nullptr;
    if (GroupArena* arena = GroupArena::current()) apart = arena->copyText(text, length);
    if (!apart) {
        char* heap = static_cast<char*>(std::malloc(length + 1));
        if (!heap) throw std::bad_alloc();
        std::memcpy(heap, text, length);
        heap[length] = '\0';
        apart = heap;
    }
    auto n = static_cast<std::uint32_t>(length);
    std::memcpy(bytes_, &apart, sizeof apart);
    std::memcpy(bytes_ + sizeof apart, &n, sizeof n);
    bytes_[kTag] = kHeapTag;
}

void GroupText::release() noexcept {
    if (onHeap() && !GroupArena::owns(heapPointer())) std::free(const_cast<char*>(heapPointer()));
    clearInline();
}

void GroupText::assignSlow(const char* text, std::size_t length) {
    // The source may lie inside this text: copy before releasing.
    if (onHeap() && text >= heapPointer() && text < heapPointer() + heapSize()) {
        GroupText copy(std::string_view(text, length));
        *this = std::move(copy);
        return;
    }
    release();
    initFrom(text, length);
}

}  // namespace host
