#include "db/group_text.h"

#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>

#include "db/group_arena.h"

namespace host {

void GroupText::initFrom(const char* text, std::size_t length) {
    if (length <= kInlineCapacity) {
        initShort(text, length);
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
