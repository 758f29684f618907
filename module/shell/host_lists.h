// Small owners for what the host hands out, so that every result-buffer
// list is released and every selection set freed on every path.
#pragma once

#include <memory>

#include "ads/adslib.h"

namespace zan {

struct ResbufRelease {
    void operator()(resbuf* list) const { ads_relrb(list); }
};
using ResbufList = std::unique_ptr<resbuf, ResbufRelease>;

class SelectionSet {
public:
    SelectionSet() { ads_name_clear(name_); }
    ~SelectionSet() { release(); }
    SelectionSet(const SelectionSet&) = delete;
    SelectionSet& operator=(const SelectionSet&) = delete;

    // ads_ssget into this set; the status of the call.
    int select(const char* mode, const void* p1, const void* p2, const resbuf* filter) {
        release();
        int status = ads_ssget(mode, p1, p2, filter, name_);
        held_ = status == RTNORM;
        return status;
    }
    // The number of members, or -1 when it cannot be obtained.
    long length() const {
        long n = 0;
        return held_ && ads_sslength(name_, &n) == RTNORM ? n : -1;
    }
    // Adds an entity, making the set with its first member.
    bool add(const ads_name entity) {
        if (!held_) {
            held_ = ads_ssadd(entity, nullptr, name_) == RTNORM;
            return held_;
        }
        return ads_ssadd(entity, name_, name_) == RTNORM;
    }
    bool member(long index, ads_name entity) const { return held_ && ads_ssname(name_, index, entity) == RTNORM; }
    const int64_t* name() const { return name_; }
    void release() {
        if (held_) ads_ssfree(name_);
        held_ = false;
        ads_name_clear(name_);
    }

private:
    ads_name name_;
    bool held_ = false;
};

// The first item of a list with the given group code, or null.
inline resbuf* findGroup(resbuf* list, int code) {
    for (; list; list = list->rbnext)
        if (list->restype == code) return list;
    return nullptr;
}

}  // namespace zan
