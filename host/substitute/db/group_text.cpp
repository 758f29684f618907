#include "db/group_text.h"

#include <cstdlib>
#include <new>

namespace host {

void GroupText::initFrom(const char* text, std::size_t length) {
    if (length <= kInlineCapacity) {
        std::memcpy(bytes_, text, length);
        bytes_[length] = '\0';
        bytes_[kTag] = static_cast<char>(length);
        return;
    }
    char* heap = static_cast<char*>(std::malloc(length + 1));
    if (!heap) throw std::bad_alloc();
    std::memcpy(heap, text, length);
    heap[length] = '\0';
    std::uint64_t n = length;
    std::memcpy(bytes_, &heap, sizeof heap);
    std::memcpy(bytes_ + sizeof heap, &n, sizeof n);
    bytes_[kTag] = kHeapTag;
}

void GroupText::release() noexcept {
    if (onHeap()) std::free(const_cast<char*>(heapPointer()));
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
