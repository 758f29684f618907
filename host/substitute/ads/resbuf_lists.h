// Building, copying and releasing result-buffer lists, and converting
// between a record's DXF groups and the list form ads_entget hands out.
#pragma once

#include <cstdarg>
#include <string>

#include "ads/adslib.h"
#include "db/database.h"

namespace host {

enum class RbValue { None, Real, Point, Short, Long, Text, Name, Binary };

// What a result buffer of this type (an RT* type or a group code) holds.
RbValue rbValueOf(int restype);

resbuf* newResbuf(int restype);             // value zeroed
resbuf* newTextResbuf(int restype, std::string_view text);
void releaseList(resbuf* list);

// Reads (type, value) pairs from a va_list until a 0 type. For ads_buildlist
// (`groupCodes` true: types may be group codes) and ads_command.
resbuf* listFromVarargs(int first, va_list args);

// Entity names: the record id and the database's serial.
void makeName(const Database& db, RecordId id, ads_name name);
RecordId recordOfName(const Database& db, const ads_name name);

// The list form of a record: (-1 name) (0 type) then its groups, points
// merged, handles pointing at other records as entity names, then -3 and
// the extended data of the requested applications (all when `apps` is "*").
resbuf* recordToList(Database& db, RecordId id, const resbuf* applications, bool withXdata);

// The list items of a run of groups (points merged, handles as entity names).
resbuf* groupsToList(Database& db, const GroupList& groups);
// The same for a selection of groups, given in order.
resbuf* groupsToList(Database& db, const Group* const* groups, std::size_t count);

// The DXF groups of the items of a list (from the first item after -1/0),
// extended data (after -3) separately. False with a reason on bad items.
bool listToGroups(const Database& db, const resbuf* list, GroupList& groups, GroupList& xdata, std::string& error);

// A value as text for messages and traces.
std::string describeResbuf(const resbuf* rb);

}  // namespace host
