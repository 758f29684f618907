// A drawing record: an entity, a table record, a block boundary or an object,
// kept as its ordered DXF group list, the way the ADS interface sees it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/group.h"

namespace host {

using RecordId = std::uint32_t;  // index into the database's record store; 0 is "none"
constexpr RecordId kNoRecord = 0;

// The members are ordered so that a record takes 72 bytes: a drawing holds
// hundreds of thousands.
struct Record {
    std::uint64_t handle = 0;  // also present as a group (5, or 105 for DIMSTYLE) in `groups`
    GroupList groups;          // every group after group 0, in file order, extended data excluded
    GroupList xdata;           // extended data: a 1001 group per application, then its values
    std::uint64_t revision = 0;  // the database's revision when it last changed
    RecordId owner = kNoRecord;  // entities: the block (space) holding them
    GroupText type;            // the value of group 0: "LINE", "LAYER", "BLOCK", ...
    bool erased = false;

    const Group* find(int code) const;
    Group* find(int code);
    bool has(int code) const { return find(code) != nullptr; }
    std::string_view text(int code, std::string_view fallback = {}) const;
    std::optional<double> real(int code) const;
    long long integer(int code, long long fallback = 0) const;

    // Replaces the first group with `code`, or appends one.
    void set(int code, std::string value);
    void setInt(int code, long long value);
    void setReal(int code, double value);

    // Extended data of one application (its 1001 group and the groups up to the next 1001).
    GroupList xdataOf(std::string_view application) const;
    // Replaces the extended data of the applications named by 1001 groups in `data`.
    void replaceXdata(const GroupList& data);
    // Applications with extended data on this record, in order.
    std::vector<std::string> xdataApplications() const;
};

static_assert(sizeof(Record) == 72, "a record takes 72 bytes");

// A record of `type` with `groups` (no handle, owner or extended data yet),
// as an application or a test makes one before it is stored.
Record makeRecord(std::string_view type, GroupList groups);

// Case-insensitive comparison of symbol names (ASCII letters only; other bytes compare as they are).
bool namesEqual(std::string_view a, std::string_view b);
std::string upperName(std::string_view name);

}  // namespace host
