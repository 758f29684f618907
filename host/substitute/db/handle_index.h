// Records by handle. Handles of a drawing are mostly small and dense (the
// writers of the field count them up from 1), so they index a flat table;
// handles far beyond the count of records go to a hash map, so that a file
// with scattered large handles costs no more than the map alone.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "db/zeroed_array.h"

namespace host {

class HandleIndex {
public:
    using Id = std::uint32_t;  // 0: none

    // Indexes `id` under `handle` (a later id replaces an earlier one).
    void set(std::uint64_t handle, Id id);
    Id find(std::uint64_t handle) const {
        if (handle < dense_.size()) return dense_[handle];
        if (sparse_.empty()) return 0;
        auto it = sparse_.find(handle);
        return it == sparse_.end() ? 0 : it->second;
    }
    // Prepares for about `count` more handles.
    void reserve(std::size_t count);

private:
    ZeroedArray<Id> dense_;  // by handle; 0 where there is none
    std::unordered_map<std::uint64_t, Id> sparse_;
    std::size_t count_ = 0;  // handles indexed (replacements counted too)
};

}  // namespace host
