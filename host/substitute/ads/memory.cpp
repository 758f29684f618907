// The host's heap. Blocks carry their size in front so that acad__msize can
// answer and so that a module may grow a text the host handed it.
#include <cstdlib>
#include <cstring>

#include "ads/adslib.h"

namespace {
constexpr std::size_t kHeader = 16;  // keeps the user block aligned like malloc's

std::size_t& sizeOf(void* block) { return *reinterpret_cast<std::size_t*>(static_cast<char*>(block) - kHeader); }
}  // namespace

extern "C" {

void* acad_malloc(size_t size) {
    char* raw = static_cast<char*>(std::malloc(size + kHeader));
    if (!raw) return nullptr;
    *reinterpret_cast<std::size_t*>(raw) = size;
    return raw + kHeader;
}

void* acad_calloc(size_t count, size_t size) {
    if (size != 0 && count > static_cast<size_t>(-1) / size) return nullptr;
    void* block = acad_malloc(count * size);
    if (block) std::memset(block, 0, count * size);
    return block;
}

void* acad_realloc(void* block, size_t size) {
    if (!block) return acad_malloc(size);
    char* raw = static_cast<char*>(block) - kHeader;
    char* grown = static_cast<char*>(std::realloc(raw, size + kHeader));
    if (!grown) return nullptr;
    *reinterpret_cast<std::size_t*>(grown) = size;
    return grown + kHeader;
}

void acad_free(void* block) {
    if (block) std::free(static_cast<char*>(block) - kHeader);
}

char* acad__strdup(const char* text) {
    if (!text) return nullptr;
    std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(acad_malloc(length + 1));
    if (copy) std::memcpy(copy, text, length + 1);
    return copy;
}

size_t acad__msize(void* block) { return block ? sizeOf(block) : 0; }

}  // extern "C"
