// The ordered groups of one record. A drawing holds hundreds of thousands of
// these lists, two per record, most of them (the extended data) empty, so a
// list is a pointer and two 32-bit counts (16 bytes, where a standard
// vector takes 24). Storage comes from the group arena of the current scope
// when one is open (see group_arena.h), as the file reader does, and from
// the heap otherwise; only heap storage is given back.
//
// Groups are moved in storage by copying their bytes: a group text refers
// to nothing inside itself, so a copied group is the same group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "db/group_arena.h"

namespace host {

template <class T>
class CompactList {
public:
    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using const_reference = const T&;
    using pointer = T*;
    using const_pointer = const T*;
    using iterator = T*;
    using const_iterator = const T*;

    CompactList() noexcept = default;
    CompactList(std::initializer_list<T> items) { append(items.begin(), items.end()); }
    template <class It, class = typename std::iterator_traits<It>::iterator_category>
    CompactList(It first, It last) {
        append(first, last);
    }
    CompactList(const CompactList& other) { append(other.begin(), other.end()); }
    CompactList(CompactList&& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    CompactList& operator=(const CompactList& other) {
        if (this != &other) {
            CompactList copy(other);
            swap(copy);
        }
        return *this;
    }
    CompactList& operator=(CompactList&& other) noexcept {
        if (this != &other) {
            CompactList dropped(std::move(other));
            swap(dropped);
        }
        return *this;
    }
    CompactList& operator=(std::initializer_list<T> items) { return *this = CompactList(items); }
    ~CompactList() {
        destroy(data_, data_ + size_);
        release(data_);
    }

    void swap(CompactList& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    iterator begin() noexcept { return data_; }
    iterator end() noexcept { return data_ + size_; }
    const_iterator begin() const noexcept { return data_; }
    const_iterator end() const noexcept { return data_ + size_; }
    const_iterator cbegin() const noexcept { return data_; }
    const_iterator cend() const noexcept { return data_ + size_; }
    T* data() noexcept { return data_; }
    const T* data() const noexcept { return data_; }
    size_type size() const noexcept { return size_; }
    size_type capacity() const noexcept { return capacity_; }
    bool empty() const noexcept { return size_ == 0; }
    T& operator[](size_type i) noexcept { return data_[i]; }
    const T& operator[](size_type i) const noexcept { return data_[i]; }
    T& front() noexcept { return data_[0]; }
    const T& front() const noexcept { return data_[0]; }
    T& back() noexcept { return data_[size_ - 1]; }
    const T& back() const noexcept { return data_[size_ - 1]; }

    void reserve(size_type n) {
        if (n > capacity_) reallocate(n);
    }
    void clear() noexcept {
        destroy(data_, data_ + size_);
        size_ = 0;
    }
    void pop_back() noexcept {
        --size_;
        data_[size_].~T();
    }

    template <class... Args>
    T& emplace_back(Args&&... args) {
        if (size_ < capacity_) {
            T* at = ::new (static_cast<void*>(data_ + size_)) T(std::forward<Args>(args)...);
            ++size_;
            return *at;
        }
        // The arguments may refer to an item of this list: make the item
        // before the storage moves.
        T item(std::forward<Args>(args)...);
        reallocate(grown(size_ + 1));
        T* at = ::new (static_cast<void*>(data_ + size_)) T(std::move(item));
        ++size_;
        return *at;
    }
    void push_back(const T& item) { emplace_back(item); }
    void push_back(T&& item) { emplace_back(std::move(item)); }

    iterator insert(const_iterator pos, const T& item) { return insert(pos, T(item)); }
    iterator insert(const_iterator pos, T&& item) {
        size_type at = index(pos);
        T moved(std::move(item));  // it may be an item of this list
        openGap(at, 1);
        ::new (static_cast<void*>(data_ + at)) T(std::move(moved));
        return data_ + at;
    }
    iterator insert(const_iterator pos, std::initializer_list<T> items) {
        return insert(pos, items.begin(), items.end());
    }
    template <class It, class = typename std::iterator_traits<It>::iterator_category>
    iterator insert(const_iterator pos, It first, It last) {
        size_type at = index(pos);
        // Copies first, so that a range of this list itself stays valid
        // while the gap opens.
        CompactList items(first, last);
        size_type n = items.size_;
        if (n == 0) return data_ + at;
        openGap(at, n);
        std::memcpy(static_cast<void*>(data_ + at), static_cast<const void*>(items.data_), n * sizeof(T));
        items.size_ = 0;  // the items now belong to this list
        return data_ + at;
    }

    iterator erase(const_iterator pos) { return erase(pos, pos + 1); }
    iterator erase(const_iterator first, const_iterator last) {
        size_type from = index(first);
        size_type to = index(last);
        if (from == to) return data_ + from;
        destroy(data_ + from, data_ + to);
        std::memmove(static_cast<void*>(data_ + from), static_cast<const void*>(data_ + to), (size_ - to) * sizeof(T));
        size_ -= static_cast<std::uint32_t>(to - from);
        return data_ + from;
    }

    friend bool operator==(const CompactList& a, const CompactList& b) {
        if (a.size_ != b.size_) return false;
        for (size_type i = 0; i < a.size_; ++i)
            if (!(a.data_[i] == b.data_[i])) return false;
        return true;
    }

private:
    static constexpr size_type kMaxSize = 0xffffffffu;

    size_type index(const_iterator pos) const noexcept { return static_cast<size_type>(pos - data_); }

    template <class It>
    void append(It first, It last) {
        if constexpr (std::is_base_of_v<std::forward_iterator_tag,
                                        typename std::iterator_traits<It>::iterator_category>)
            reserve(size_ + static_cast<size_type>(std::distance(first, last)));
        for (; first != last; ++first) emplace_back(*first);
    }

    size_type grown(size_type needed) const {
        if (needed > kMaxSize) throw std::length_error("a group list holds at most 4,294,967,295 groups");
        size_type doubled = capacity_ ? size_type{capacity_} * 2 : 4;
        if (doubled > kMaxSize) doubled = kMaxSize;
        return doubled > needed ? doubled : needed;
    }

    // Makes room for `n` items at `at`, moving the later ones up.
    void openGap(size_type at, size_type n) {
        if (size_ + n > capacity_) reallocate(grown(size_ + n));
        std::memmove(static_cast<void*>(data_ + at + n), static_cast<const void*>(data_ + at), (size_ - at) * sizeof(T));
        size_ += static_cast<std::uint32_t>(n);
    }

    void reallocate(size_type capacity) {
        if (capacity > kMaxSize) throw std::length_error("a group list holds at most 4,294,967,295 groups");
        T* storage = allocate(capacity);
        if (size_) std::memcpy(static_cast<void*>(storage), static_cast<const void*>(data_), size_ * sizeof(T));
        release(data_);
        data_ = storage;
        capacity_ = static_cast<std::uint32_t>(capacity);
    }

    static T* allocate(size_type n) {
        if (GroupArena* arena = GroupArena::current())
            if (void* p = arena->allocate(n * sizeof(T))) return static_cast<T*>(p);
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    static void release(T* p) noexcept {
        if (p && !GroupArena::owns(p)) ::operator delete(p);
    }
    static void destroy(T* first, T* last) noexcept {
        if constexpr (!std::is_trivially_destructible_v<T>)
            for (; first != last; ++first) first->~T();
    }

    T* data_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};

}  // namespace host
