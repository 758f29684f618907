// A sequence stored in chunks of a fixed number of elements: a list of a
// million lines grows by one chunk at a time, never copies what it holds to
// grow, and never asks for one block so large that the C library takes it
// fresh from the system (and gives it back) on every fill. Indexing costs a
// shift and a mask. Inserting or erasing in the middle moves the elements
// after the place, as a vector does.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace tk::common {

template <class T, std::size_t ChunkBits = 10>
class ChunkedVector {
public:
    static constexpr std::size_t kChunk = std::size_t{1} << ChunkBits;

    template <bool Const>
    class Iterator {
    public:
        using Owner = std::conditional_t<Const, const ChunkedVector, ChunkedVector>;
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = std::conditional_t<Const, const T&, T&>;
        using pointer = std::conditional_t<Const, const T*, T*>;

        Iterator() = default;
        Iterator(Owner* owner, std::size_t index) : owner_(owner), index_(index) {}
        reference operator*() const { return (*owner_)[index_]; }
        pointer operator->() const { return &(*owner_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator was = *this;
            ++index_;
            return was;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        Owner* owner_ = nullptr;
        std::size_t index_ = 0;
    };
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;

    ChunkedVector() = default;
    ChunkedVector(const ChunkedVector& other) {
        reserve(other.size_);
        for (const T& element : other) push_back(element);
    }
    ChunkedVector(ChunkedVector&& other) noexcept
        : chunks_(std::move(other.chunks_)), size_(std::exchange(other.size_, 0)) {
        other.chunks_.clear();
    }
    ChunkedVector& operator=(const ChunkedVector& other) {
        if (this != &other) {
            ChunkedVector copy(other);
            swap(copy);
        }
        return *this;
    }
    ChunkedVector& operator=(ChunkedVector&& other) noexcept {
        if (this != &other) {
            ChunkedVector taken(std::move(other));
            swap(taken);
        }
        return *this;
    }
    ~ChunkedVector() {
        clear();
        for (T* chunk : chunks_) std::allocator<T>().deallocate(chunk, kChunk);
    }

    void swap(ChunkedVector& other) noexcept {
        chunks_.swap(other.chunks_);
        std::swap(size_, other.size_);
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // How many elements fit without taking another chunk.
    std::size_t capacity() const { return chunks_.size() * kChunk; }
    std::size_t max_size() const { return static_cast<std::size_t>(PTRDIFF_MAX) / sizeof(T); }

    T& operator[](std::size_t i) { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
    const T& operator[](std::size_t i) const { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
    T& back() { return (*this)[size_ - 1]; }
    const T& back() const { return (*this)[size_ - 1]; }

    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, size_); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size_); }

    // Room in the chunk table for `count` elements in all; the chunks
    // themselves are taken as they fill.
    void reserve(std::size_t count) {
        if (count > max_size()) throw std::length_error("ChunkedVector::reserve");
        const std::size_t needed = (count + kChunk - 1) / kChunk;
        // Growing at least by half keeps repeated small hints from copying
        // the table each time.
        if (needed > chunks_.capacity()) chunks_.reserve(std::max(needed, chunks_.capacity() + chunks_.capacity() / 2));
    }

    void push_back(T value) {
        if (size_ == capacity()) addChunk();
        ::new (static_cast<void*>(&(*this)[size_])) T(std::move(value));
        ++size_;
    }

    void pop_back() {
        (*this)[size_ - 1].~T();
        --size_;
    }

    // Puts `value` at `at` (at most size()), moving the elements from there
    // one place on.
    void insert(std::size_t at, T value) {
        push_back(std::move(value));
        for (std::size_t i = size_ - 1; i > at; --i) std::swap((*this)[i], (*this)[i - 1]);
    }

    // Removes the element at `at`, moving those after it one place back.
    void erase(std::size_t at) {
        for (std::size_t i = at; i + 1 < size_; ++i) (*this)[i] = std::move((*this)[i + 1]);
        pop_back();
    }

    // Destroys every element; the chunks are kept for what comes next.
    void clear() {
        while (size_ > 0) pop_back();
    }

private:
    void addChunk() {
        // The table's room first, so that a failure leaves nothing taken.
        if (chunks_.size() == chunks_.capacity()) chunks_.reserve(chunks_.empty() ? 4 : chunks_.size() * 2);
        chunks_.push_back(std::allocator<T>().allocate(kChunk));
    }

    std::vector<T*> chunks_;
    std::size_t size_ = 0;
};

}  // namespace tk::common
