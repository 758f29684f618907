#include "commands/block_defs.h"

#include <algorithm>

#include "dxf/dxf.h"

namespace host {

BlockDefinition& defineBlock(Database& db, const std::string& name, const Coord3& base, int flags,
                             std::vector<Record> entities) {
    RecordId blockRecord = db.findEntry("BLOCK_RECORD", name);
    if (blockRecord == kNoRecord) {
        Record br;
        br.type = "BLOCK_RECORD";
        br.groups = {{330, formatHandle(db.at(db.ensureTable("BLOCK_RECORD").head).handle)},
                     {100, "AcDbSymbolTableRecord"},
                     {100, "AcDbBlockTableRecord"},
                     {2, name}};
        blockRecord = db.addEntry("BLOCK_RECORD", std::move(br));
    }
    std::string owner = formatHandle(db.at(blockRecord).handle);
    if (BlockDefinition* existing = db.block(name)) {
        for (RecordId id : existing->entities) db.erase(id);
        existing->entities.clear();
        if (existing->begin != kNoRecord) db.erase(existing->begin);
        if (existing->end != kNoRecord) db.erase(existing->end);
    }
    Record begin;
    begin.type = "BLOCK";
    begin.groups = {{330, owner}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, name},
                    {70, formatInt(flags)}, {10, formatReal(base[0])}, {20, formatReal(base[1])},
                    {30, formatReal(base[2])}, {3, name}, {1, ""}};
    Record end;
    end.type = "ENDBLK";
    end.groups = {{330, owner}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}};
    RecordId beginId = db.add(std::move(begin));
    BlockDefinition* block = db.block(name);
    if (block) block->begin = beginId;
    else block = &db.addBlock(name, beginId, kNoRecord);
    for (Record& e : entities) {
        e.groups.erase(std::remove_if(e.groups.begin(), e.groups.end(), [](const Group& g) { return g.code == 67; }),
                       e.groups.end());
        dxf::normalizeEntity(e);
        e.groups.insert(e.groups.begin(), Group(330, owner));
        db.addBlockEntity(*block, std::move(e));
    }
    block->end = db.add(std::move(end));
    return *block;
}

std::string freeAnonymousName(const Database& db, std::string_view prefix) {
    for (int n = 1;; ++n) {
        std::string name = std::string(prefix) + std::to_string(n);
        if (!db.block(name) && db.findEntry("BLOCK_RECORD", name) == kNoRecord) return name;
    }
}

void giveOwnDimensionBlock(Database& db, Record& dimension) {
    if (dimension.type != "DIMENSION") return;
    std::string blockName(dimension.text(2));
    const BlockDefinition* block = db.block(blockName);
    if (!block || blockName.empty() || blockName[0] != '*' || block->begin == kNoRecord) return;
    std::string name = freeAnonymousName(db, "*D");
    const Record& begin = db.at(block->begin);
    defineBlock(db, name, pointGroup(begin, 10), static_cast<int>(begin.integer(70, 1)),
                copiesOfBlockEntities(db, *block));
    dimension.set(2, name);
}

std::vector<Record> copiesOfBlockEntities(const Database& db, const BlockDefinition& block) {
    std::vector<Record> out;
    for (RecordId id : block.entities)
        if (!db.at(id).erased) out.push_back(copyForNewEntity(db.at(id)));
    return out;
}

}  // namespace host
