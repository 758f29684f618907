#include "db/handle_index.h"

namespace host {

void HandleIndex::set(std::uint64_t handle, Id id) {
    ++count_;
    if (handle >= dense_.size()) {
        // The flat table grows to take the handle while it stays within a
        // few times the number of handles indexed.
        const std::uint64_t limit = 4 * static_cast<std::uint64_t>(count_) + 65536;
        if (handle >= limit) {
            sparse_[handle] = id;
            return;
        }
        std::size_t size = dense_.size() < 1024 ? 1024 : dense_.size();
        while (size <= handle) size *= 2;
        dense_.growTo(size);
        // Handles kept aside before the table reached them move in.
        for (auto it = sparse_.begin(); it != sparse_.end();) {
            if (it->first < dense_.size()) {
                dense_[static_cast<std::size_t>(it->first)] = it->second;
                it = sparse_.erase(it);
            } else {
                ++it;
            }
        }
    }
    dense_[static_cast<std::size_t>(handle)] = id;
}

void HandleIndex::reserve(std::size_t count) { dense_.growTo(dense_.size() + count); }

}  // namespace host
