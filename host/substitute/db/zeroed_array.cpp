#include "db/zeroed_array.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace host {

namespace {

// From this size on an array has its own mapping: below it the heap is
// quicker, and a drawing holds many small tables.
constexpr std::size_t kMappedFrom = std::size_t{256} << 10;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// From this size on a mapping asks for huge pages: one fault instead of 512,
// while what a huge page holds beyond the array's used part (up to 2 MB) is
// small beside the drawing such an index belongs to.
constexpr std::size_t kHugeFrom = std::size_t{4} << 20;

void adviseHuge(void* p, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    if (bytes >= kHugeFrom) ::madvise(p, bytes, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

std::size_t roundedUp(std::size_t bytes, std::size_t unit) { return (bytes + unit - 1) / unit * unit; }

void* mapZeroed(std::size_t bytes) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    adviseHuge(p, bytes);
    return p;
}

}  // namespace

ZeroedBytes::~ZeroedBytes() {
    if (mapped_)
        ::munmap(data_, capacity_);
    else
        std::free(data_);
}

void ZeroedBytes::grow(std::size_t used, std::size_t bytes) {
    if (bytes <= capacity_) return;  // what lies beyond `used` is still zero
    // At least doubling, so that growing one element at a time stays linear.
    std::size_t want = bytes < 2 * capacity_ ? 2 * capacity_ : bytes;
    if (want < kMappedFrom) {
        void* p = std::realloc(data_, want);
        if (!p) throw std::bad_alloc();
        std::memset(static_cast<char*>(p) + capacity_, 0, want - capacity_);
        data_ = p;
        capacity_ = want;
        return;
    }
    want = roundedUp(want, kHugePage);
    if (mapped_) {
        // The pages move with their contents; the new ones come zeroed.
        void* p = ::mremap(data_, capacity_, want, MREMAP_MAYMOVE);
        if (p == MAP_FAILED) throw std::bad_alloc();
        adviseHuge(p, want);
        data_ = p;
        capacity_ = want;
        return;
    }
    void* p = mapZeroed(want);
    if (used) std::memcpy(p, data_, used);
    std::free(data_);
    data_ = p;
    capacity_ = want;
    mapped_ = true;
}

}  // namespace host
