// The records of a drawing by id, in blocks of 4,096: a record keeps its
// place for the drawing's life (references to it stay valid as records are
// added), and half a million records take a hundred allocations, not the
// hundred thousands of a deque's small nodes.
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "db/record.h"

namespace host {

class RecordStore {
public:
    RecordStore() = default;
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;
    ~RecordStore() {
        for (std::size_t i = 0; i < size_; ++i) (*this)[i].~Record();
        for (Record* block : blocks_) ::operator delete(block);
    }

    Record& operator[](std::size_t i) { return blocks_[i >> kShift][i & kMask]; }
    const Record& operator[](std::size_t i) const { return blocks_[i >> kShift][i & kMask]; }
    std::size_t size() const { return size_; }

    void push_back(Record&& record) {
        if ((size_ >> kShift) == blocks_.size())
            blocks_.push_back(static_cast<Record*>(::operator new(sizeof(Record) << kShift)));
        new (&blocks_[size_ >> kShift][size_ & kMask]) Record(std::move(record));
        ++size_;
    }

private:
    static constexpr std::size_t kShift = 12;
    static constexpr std::size_t kMask = (std::size_t{1} << kShift) - 1;
    std::vector<Record*> blocks_;
    std::size_t size_ = 0;
};

}  // namespace host
