// The text of one DXF group. Most group values are short (coordinates,
// flags, handles, short names: nearly all take 12 bytes or fewer), so up to
// 12 bytes are kept inside the object and only longer texts are kept apart;
// the object is 14 bytes with byte alignment, which keeps a whole group at
// 16 bytes. A drawing holds millions of groups, so this is what decides how
// fast a drawing loads and how much memory it takes.
//
// A longer text comes from the group arena of the current scope (see
// group_arena.h) when one is open, as the file reader does, and from the
// heap otherwise; only heap texts are given back one by one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace host {

class GroupText {
public:
    static constexpr std::size_t kInlineCapacity = 12;  // characters kept inside, plus the terminating zero

    GroupText() noexcept { clearInline(); }
    GroupText(std::string_view text) {  // NOLINT: converts like a string
        if (text.size() <= kInlineCapacity)
            initShort(text.data(), text.size());
        else
            initFrom(text.data(), text.size());
    }
    GroupText(const char* text) { initFrom(text, std::strlen(text)); }        // NOLINT
    GroupText(const std::string& text) { initFrom(text.data(), text.size()); }  // NOLINT
    GroupText(const GroupText& other) { initFrom(other.data(), other.size()); }
    GroupText(GroupText&& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.clearInline();
    }
    ~GroupText() {
        if (onHeap()) release();  // nothing to do for the usual short text
    }

    GroupText& operator=(const GroupText& other) {
        if (this != &other) assign(other.data(), other.size());
        return *this;
    }
    GroupText& operator=(GroupText&& other) noexcept {
        if (this != &other) {
            release();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.clearInline();
        }
        return *this;
    }
    GroupText& operator=(std::string_view text) {
        assign(text.data(), text.size());
        return *this;
    }
    GroupText& operator=(const char* text) { return *this = std::string_view(text); }
    GroupText& operator=(const std::string& text) { return *this = std::string_view(text); }

    void assign(const char* text, std::size_t length) {
        if (!onHeap() && length <= kInlineCapacity) {  // the common case, kept inline
            std::memmove(bytes_, text, length);
            bytes_[length] = '\0';
            bytes_[kTag] = static_cast<char>(length);
            return;
        }
        assignSlow(text, length);
    }

    const char* data() const noexcept { return onHeap() ? heapPointer() : bytes_; }
    const char* c_str() const noexcept { return data(); }
    std::size_t size() const noexcept { return onHeap() ? heapSize() : static_cast<std::size_t>(bytes_[kTag]); }
    std::size_t length() const noexcept { return size(); }
    bool empty() const noexcept { return size() == 0; }
    char operator[](std::size_t i) const noexcept { return data()[i]; }
    char front() const noexcept { return data()[0]; }
    char back() const noexcept { return data()[size() - 1]; }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size(); }

    std::string_view view() const noexcept { return {data(), size()}; }
    // True when the text is kept inside the object: data() then has
    // kInlineCapacity readable bytes, whatever the text's length.
    bool isInline() const noexcept { return !onHeap(); }
    operator std::string_view() const noexcept { return view(); }  // NOLINT
    std::string str() const { return std::string(data(), size()); }
    operator std::string() const { return str(); }  // NOLINT: a copy, where a std::string is needed

    std::size_t find(char c, std::size_t from = 0) const noexcept { return view().find(c, from); }
    std::size_t find(std::string_view s, std::size_t from = 0) const noexcept { return view().find(s, from); }
    std::string substr(std::size_t from, std::size_t count = std::string::npos) const {
        return std::string(view().substr(from, count));
    }
    int compare(std::string_view other) const noexcept { return view().compare(other); }

    friend bool operator==(const GroupText& a, const GroupText& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const GroupText& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const GroupText& a, const char* b) noexcept { return a.view() == b; }
    friend bool operator==(const GroupText& a, const std::string& b) noexcept { return a.view() == b; }
    friend bool operator<(const GroupText& a, const GroupText& b) noexcept { return a.view() < b.view(); }
    friend std::string operator+(const std::string& a, const GroupText& b) { return a + b.str(); }
    friend std::string operator+(const GroupText& a, const std::string& b) { return a.str() + b; }
    friend std::string operator+(const char* a, const GroupText& b) { return a + b.str(); }
    friend std::string operator+(const GroupText& a, const char* b) { return a.str() + b; }

private:
    // Layout: inline, bytes_[0..12] hold the text and its zero and
    // bytes_[kTag] its length; kept apart, bytes_ hold the pointer and the
    // 32-bit length and bytes_[kTag] is kHeapTag.
    static constexpr std::size_t kTag = kInlineCapacity + 1;
    static constexpr char kHeapTag = static_cast<char>(0x7f);

    bool onHeap() const noexcept { return bytes_[kTag] == kHeapTag; }
    const char* heapPointer() const noexcept {
        const char* p;
        std::memcpy(&p, bytes_, sizeof p);
        return p;
    }
    std::size_t heapSize() const noexcept {
        std::uint32_t n;
        std::memcpy(&n, bytes_ + sizeof(char*), sizeof n);
        return static_cast<std::size_t>(n);
    }
    void clearInline() noexcept {
        bytes_[0] = '\0';
        bytes_[kTag] = 0;
    }
    void initFrom(const char* text, std::size_t length);
    // A text of up to kInlineCapacity bytes, copied with fixed-size moves
    // (two that may overlap cover any length), which is several times
    // faster than a call to memcpy for the millions of short values of a
    // drawing.
    void initShort(const char* text, std::size_t length) noexcept {
        if (length >= 8) {
            std::uint64_t head, tail;
            std::memcpy(&head, text, 8);
            std::memcpy(&tail, text + length - 8, 8);
            std::memcpy(bytes_, &head, 8);
            std::memcpy(bytes_ + length - 8, &tail, 8);
        } else if (length >= 4) {
            std::uint32_t head, tail;
            std::memcpy(&head, text, 4);
            std::memcpy(&tail, text + length - 4, 4);
            std::memcpy(bytes_, &head, 4);
            std::memcpy(bytes_ + length - 4, &tail, 4);
        } else {
            for (std::size_t i = 0; i < length; ++i) bytes_[i] = text[i];
        }
        bytes_[length] = '\0';
        bytes_[kTag] = static_cast<char>(length);
    }
    void assignSlow(const char* text, std::size_t length);
    void release() noexcept;

    char bytes_[kInlineCapacity + 2];
};

static_assert(sizeof(GroupText) == 14, "a group text takes 14 bytes");
static_assert(alignof(GroupText) == 1, "a group text needs no alignment");

}  // namespace host
