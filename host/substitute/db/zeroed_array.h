// An array of plain values whose new elements are zero bytes, for the flat
// indexes of a drawing (records by handle, symbol table entries by name).
// A large drawing's index runs to megabytes; in a vector it would be filled
// with zeros page by page, copied on every growth and faulted in 4 KB at a
// time, which cost more than the reading it indexes. Here a large array has
// a mapping of its own: the system's pages come zeroed (nothing is filled),
// huge pages from 4 MB on where the system gives them, and growth moves the mapping
// instead of copying it. A small array stays on the heap.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace host {

// The untyped storage: `bytes` usable, zero where nothing was written.
class ZeroedBytes {
public:
    ZeroedBytes() = default;
    ZeroedBytes(ZeroedBytes&& other) noexcept { swap(other); }
    ZeroedBytes& operator=(ZeroedBytes&& other) noexcept {
        ZeroedBytes(std::move(other)).swap(*this);
        return *this;
    }
    ZeroedBytes(const ZeroedBytes&) = delete;
    ZeroedBytes& operator=(const ZeroedBytes&) = delete;
    ~ZeroedBytes();

    void* data() const { return data_; }
    // Makes `bytes` usable: what is kept keeps its bytes, what is added is
    // zero. Throws std::bad_alloc when no storage is to be had.
    void grow(std::size_t used, std::size_t bytes);
    void swap(ZeroedBytes& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(capacity_, other.capacity_);
        std::swap(mapped_, other.mapped_);
    }

private:
    void* data_ = nullptr;
    std::size_t capacity_ = 0;  // bytes usable
    bool mapped_ = false;       // a mapping of its own rather than heap storage
};

template <class T>
class ZeroedArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "the elements are plain bytes");

public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return static_cast<T*>(bytes_.data())[i]; }
    const T& operator[](std::size_t i) const { return static_cast<const T*>(bytes_.data())[i]; }
    T* begin() { return static_cast<T*>(bytes_.data()); }
    T* end() { return begin() + size_; }
    const T* begin() const { return static_cast<const T*>(bytes_.data()); }
    const T* end() const { return begin() + size_; }

    // Grows to `count` elements; the new ones are zero bytes.
    void growTo(std::size_t count) {
        if (count <= size_) return;
        bytes_.grow(size_ * sizeof(T), count * sizeof(T));
        size_ = count;
    }
    void clear() { *this = ZeroedArray(); }
    void swap(ZeroedArray& other) noexcept {
        bytes_.swap(other.bytes_);
        std::swap(size_, other.size_);
    }

private:
    ZeroedBytes bytes_;
    std::size_t size_ = 0;
};

}  // namespace host
