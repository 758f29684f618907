// The records of a drawing by id, in blocks of 1,024: a record keeps its
// place for the drawing's life (references to it stay valid as records are
// added). The first block comes from the heap, so that a small drawing
// stays small; later blocks come from the drawing's arena, whose memory is
// taken in huge pages: the records of a large drawing are then written
// without a page fault every 4 KB, which would cost more than reading them.
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "db/group_arena.h"
#include "db/record.h"

namespace host {

class RecordStore {
public:
    explicit RecordStore(GroupArena& arena) : arena_(arena) {}
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;
    ~RecordStore() {
        for (std::size_t i = 0; i < size_; ++i) (*this)[i].~Record();
        for (Record* block : blocks_)
            if (!GroupArena::owns(block)) ::operator delete(block);
    }

    Record& operator[](std::size_t i) { return blocks_[i >> kShift][i & kMask]; }
    const Record& operator[](std::size_t i) const { return blocks_[i >> kShift][i & kMask]; }
    std::size_t size() const { return size_; }

    void push_back(Record&& record) {
        if ((size_ >> kShift) == blocks_.size()) grow();
        new (&blocks_[size_ >> kShift][size_ & kMask]) Record(std::move(record));
        ++size_;
    }

    // Records left after a run of records made in place, for those stored
    // after it: a run holds this many more.
    static constexpr std::size_t kRunRoom = std::size_t{1} << 10;

    // Stores `count` records made one after the other at `run` (storage of
    // an arena that outlives the store, with room for kRunRoom more records
    // after them) where they stand: only those that complete the last
    // block are moved. They get the next ids in order.
    void adopt(Record* run, std::size_t count) {
        std::size_t i = 0;
        for (; i < count && (size_ & kMask) != 0; ++i) {
            push_back(std::move(run[i]));
            run[i].~Record();
        }
        // From here on an id's block starts inside the run; the last one
        // ends in its room, where later records go.
        for (std::size_t at = i; at < count; at += kMask + 1) blocks_.push_back(run + at);
        size_ += count - i;
    }

private:
    static constexpr std::size_t kShift = 10;
    static constexpr std::size_t kMask = (std::size_t{1} << kShift) - 1;
    static constexpr std::size_t kBlockBytes = sizeof(Record) << kShift;

    void grow() {
        static_assert(kRunRoom == kMask + 1, "a run's room completes its last block");
        void* block = blocks_.empty() ? nullptr : arena_.allocate(kBlockBytes);
        if (!block) block = ::operator new(kBlockBytes);
        blocks_.push_back(static_cast<Record*>(block));
    }

    GroupArena& arena_;  // outlives the store: it is the database's, declared before it
    std::vector<Record*> blocks_;
    std::size_t size_ = 0;
};

}  // namespace host
