// The host's heap. Blocks carry their size in front so that acad__msize can
// answer and so that a module may grow a text the host handed it.
//
// Result-buffer lists are made and released item by item, a handful of small
// blocks per table entry or entity a module reads. Small blocks therefore
// come from a free list of one fixed size: a walk over a table of many
// entries reuses the same few blocks instead of going to malloc for each.
#include <cstdlib>
#include <cstring>

#include "ads/adslib.h"
#include "ads/heap.h"

namespace {
constexpr std::size_t kHeader = 16;  // keeps the user block aligned like malloc's
constexpr std::size_t kSmall = 48;   // a result buffer (40 bytes) or a short text
// Under AddressSanitizer every block goes back to malloc, where the
// sanitizer watches it (a reused block would hide a use after free).
#if defined(__SANITIZE_ADDRESS__)
#define ZAN_HEAP_WATCHED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZAN_HEAP_WATCHED 1
#endif
#endif
#if defined(ZAN_HEAP_WATCHED)
constexpr std::size_t kKeptBlocks = 0;
#else
constexpr std::size_t kKeptBlocks = 4096;
#endif
constexpr std::size_t kPooled = 0x5a4e504f4f4cULL;  // marks a block of kSmall bytes from the list

struct Header {
    std::size_t size;
    std::size_t kind;  // kPooled, or 0 for a block of exactly `size` bytes
};
static_assert(sizeof(Header) == kHeader);

Header* headerOf(void* block) { return reinterpret_cast<Header*>(static_cast<char*>(block) - kHeader); }

// Freed small blocks, linked through their first bytes. The host's
// programming interface is called from the host's one thread (commands run
// on fibers of it), so the list takes no lock.
struct FreeList {
    void* head = nullptr;
    std::size_t count = 0;
    ~FreeList() {
        while (head) {
            void* next = *static_cast<void**>(head);
            std::free(head);
            head = next;
        }
    }
};
FreeList freeList;

bool pooled(std::size_t size) { return kKeptBlocks > 0 && size <= kSmall; }

char* allocateRaw(std::size_t size) {
    if (pooled(size)) {
        FreeList& list = freeList;
        if (list.head) {
            char* raw = static_cast<char*>(list.head);
            list.head = *static_cast<void**>(list.head);
            --list.count;
            return raw;
        }
        char* raw = static_cast<char*>(std::malloc(kSmall + kHeader));
        return raw;
    }
    if (size > static_cast<std::size_t>(-1) - kHeader) return nullptr;
    return static_cast<char*>(std::malloc(size + kHeader));
}
}  // namespace

namespace host {

void* heapAllocate(std::size_t size) {
    char* raw = allocateRaw(size);
    if (!raw) return nullptr;
    auto* header = reinterpret_cast<Header*>(raw);
    header->size = size;
    header->kind = pooled(size) ? kPooled : 0;
    return raw + kHeader;
}

void heapRelease(void* block) {
    if (!block) return;
    Header* header = headerOf(block);
    FreeList& list = freeList;
    if (header->kind == kPooled && list.count < kKeptBlocks) {
        header->kind = 0;  // a second free of the same block is not taken for a pooled one
        *reinterpret_cast<void**>(header) = list.head;
        list.head = header;
        ++list.count;
        return;
    }
    std::free(header);
}

}  // namespace host

extern "C" {

void* acad_malloc(size_t size) { return host::heapAllocate(size); }

void* acad_calloc(size_t count, size_t size) {
    if (size != 0 && count > static_cast<size_t>(-1) / size) return nullptr;
    void* block = acad_malloc(count * size);
    if (block) std::memset(block, 0, count * size);
    return block;
}

void* acad_realloc(void* block, size_t size) {
    if (!block) return acad_malloc(size);
    Header* header = headerOf(block);
    if (header->kind == kPooled && size <= kSmall) {
        header->size = size;
        return block;
    }
    if (size > static_cast<std::size_t>(-1) - kHeader) return nullptr;
    char* grown = static_cast<char*>(std::realloc(header, size + kHeader));
    if (!grown) return nullptr;
    auto* moved = reinterpret_cast<Header*>(grown);
    moved->size = size;
    moved->kind = 0;
    return grown + kHeader;
}

void acad_free(void* block) { host::heapRelease(block); }

char* acad__strdup(const char* text) {
    if (!text) return nullptr;
    std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(acad_malloc(length + 1));
    if (copy) std::memcpy(copy, text, length + 1);
    return copy;
}

size_t acad__msize(void* block) { return block ? headerOf(block)->size : 0; }

}  // extern "C"
