// A list of names kept end to end in one buffer: reading a table of many
// layers makes no allocation per name, and the names stay in table order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zan {

class NameList {
public:
    void add(std::string_view name) {
        text_.append(name);
        ends_.push_back(text_.size());
    }
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_).substr(begin, ends_[i] - begin);
    }
    // Asks memory early for name i: step 0 for where it lies, step 1 (some
    // time later) for its bytes.
    void prefetch(std::size_t i, int step) const {
        if (step == 0) {
            __builtin_prefetch(&ends_[i]);
            if (i > 0) __builtin_prefetch(&ends_[i - 1]);
        } else {
            __builtin_prefetch(text_.data() + (i == 0 ? 0 : ends_[i - 1]));
        }
    }
    void clear() {
        text_.clear();
        ends_.clear();
    }
    void swap(NameList& other) noexcept {
        text_.swap(other.text_);
        ends_.swap(other.ends_);
    }
    // The same names in the same order.
    bool operator==(const NameList& other) const = default;

private:
    std::string text_;
    std::vector<std::size_t> ends_;
};

}  // namespace zan
