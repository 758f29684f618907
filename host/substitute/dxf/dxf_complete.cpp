// The standard records a drawing needs, added where a drawing lacks them,
// and the mapping between header variables and system variables.
#include <algorithm>
#include <cstdlib>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"

namespace host::dxf {

int versionNumber(std::string_view acadver) {
    if (acadver.size() == 6 && acadver.substr(0, 2) == "AC") {
        int n = std::atoi(std::string(acadver.substr(2)).c_str());
        if (n > 0) return n;
    }
    return 1009;
}

bool isModernVersion(std::string_view acadver) { return versionNumber(acadver) >= 1012; }

std::optional<VarValue> headerValue(const SystemVariable& variable, const GroupList& groups) {
    if (groups.empty()) return std::nullopt;
    switch (variable.type) {
        case VarType::Text:
            return VarValue(groups.front().value);
        case VarType::Short:
        case VarType::Long:
            if (auto v = groups.front().integer()) return VarValue(*v);
            return std::nullopt;
        case VarType::Real:
            if (auto v = groups.front().real()) return VarValue(*v);
            return std::nullopt;
        case VarType::Point2:
        case VarType::Point3: {
            std::array<double, 3> p{0, 0, 0};
            for (const Group& g : groups) {
                int axis = g.code >= 30 ? 2 : g.code >= 20 ? 1 : 0;
                auto v = g.real();
                if (!v) return std::nullopt;
                p[static_cast<std::size_t>(axis)] = *v;
            }
            return VarValue(p);
        }
    }
    return std::nullopt;
}

namespace {

// Group code a header variable of this name and type is written with.
int defaultHeaderCode(const SystemVariable& v) {
    if (v.name == "CLAYER") return 8;
    if (v.name == "CELTYPE") return 6;
    if (v.name == "UCSNAME") return 2;
    if (v.name == "ACADVER") return 1;
    switch (v.type) {
        case VarType::Short: return 70;
        case VarType::Long: return 90;
        case VarType::Real: return 40;
        case VarType::Text: return 1;
        case VarType::Point2:
        case VarType::Point3: return 10;
    }
    return 1;
}

}  // namespace

GroupList headerGroups(const SystemVariable& v, const GroupList& like) {
    GroupList out;
    int code = like.empty() ? defaultHeaderCode(v) : like.front().code;
    if (const auto* s = std::get_if<std::string>(&v.value)) {
        out.emplace_back(code, *s);
    } else if (const auto* i = std::get_if<long long>(&v.value)) {
        out.emplace_back(code, formatInt(*i));
    } else if (const auto* d = std::get_if<double>(&v.value)) {
        out.emplace_back(code, formatReal(*d));
    } else if (const auto* p = std::get_if<std::array<double, 3>>(&v.value)) {
        bool three = like.empty() ? v.type == VarType::Point3 : like.size() >= 3;
        out.emplace_back(code, formatReal((*p)[0]));
        out.emplace_back(code + 10, formatReal((*p)[1]));
        if (three) out.emplace_back(code + 20, formatReal((*p)[2]));
    }
    return out;
}

const BlockDefinition* findSpace(const Database& db, bool paper) {
    for (const BlockDefinition& b : db.blocks()) {
        bool match = paper ? (namesEqual(b.name, "*Paper_Space") || namesEqual(b.name, "$PAPER_SPACE"))
                           : (namesEqual(b.name, "*Model_Space") || namesEqual(b.name, "$MODEL_SPACE"));
        if (match && b.begin != kNoRecord) return &b;
    }
    return nullptr;
}

namespace {

class Builder {
public:
    explicit Builder(Database& db) : db_(db), modern_(isModernVersion(db.version())),
                                     objects_(versionNumber(db.version()) >= 1015) {}

    void run() {
        static const char* const kTables[] = {"VPORT", "LTYPE", "LAYER", "STYLE", "VIEW",
                                              "UCS",   "APPID", "DIMSTYLE", "BLOCK_RECORD"};
        for (const char* name : kTables) {
            if (!modern_ && std::string_view(name) == "BLOCK_RECORD") continue;
            if (db_.table(name)) continue;
            SymbolTable& t = db_.ensureTable(name);
            if (std::string_view(name) == "DIMSTYLE" && modern_) {
                db_.modify(t.head, [](Record& head) {
                    head.groups.emplace_back(100, "AcDbDimStyleTable");
                    head.groups.emplace_back(71, "0");
                });
            }
        }
        if (db_.table("VPORT")->entries.empty()) addActiveViewport();
        if (modern_) {
            addLinetype("ByBlock", "");
            addLinetype("ByLayer", "");
        }
        addLinetype(modern_ ? "Continuous" : "CONTINUOUS", "Solid line");
        if (db_.findEntry("LAYER", "0") == kNoRecord) {
            Record r = entry("LAYER", "AcDbLayerTableRecord", "0");
            r.groups.insert(r.groups.end(), {{70, "0"}, {62, "7"}, {6, modern_ ? "Continuous" : "CONTINUOUS"}});
            if (modern_) r.groups.emplace_back(370, "-3");
            db_.addEntry("LAYER", std::move(r));
        }
        if (db_.findEntry("STYLE", "Standard") == kNoRecord) {
            Record r = entry("STYLE", "AcDbTextStyleTableRecord", modern_ ? "Standard" : "STANDARD");
            r.groups.insert(r.groups.end(), {{70, "0"}, {40, "0.0"}, {41, "1.0"}, {50, "0.0"}, {71, "0"},
                                             {42, "2.5"}, {3, "txt"}, {4, ""}});
            db_.addEntry("STYLE", std::move(r));
        }
        if (db_.findEntry("APPID", "ACAD") == kNoRecord) {
            Record r = entry("APPID", "AcDbRegAppTableRecord", "ACAD");
            r.groups.emplace_back(70, "0");
            db_.addEntry("APPID", std::move(r));
        }
        if (modern_ && db_.findEntry("DIMSTYLE", "Standard") == kNoRecord) {
            Record r = entry("DIMSTYLE", "AcDbDimStyleTableRecord", "Standard");
            r.groups.emplace_back(70, "0");
            db_.addEntry("DIMSTYLE", std::move(r));
            const SymbolTable& styles = *db_.table("DIMSTYLE");
            std::string standard = formatHandle(db_.at(styles.entries.back()).handle);
            db_.modify(styles.head, [&](Record& head) {
                if (!head.has(340)) head.groups.emplace_back(340, standard);
            });
        }
        RecordId modelRecord = addSpace(false);
        RecordId paperRecord = addSpace(true);
        if (objects_ && !hasRootDictionary()) addObjects(modelRecord, paperRecord);
    }

private:
    std::string tableHandle(std::string_view table) {
        const SymbolTable* t = db_.table(table);
        return t ? formatHandle(db_.at(t->head).handle) : "0";
    }

    // A table record with its handle, owner and subclass markers and name.
    Record entry(std::string type, const char* subclass, std::string name) {
        Record r;
        r.type = std::move(type);
        r.handle = db_.allocateHandle();
        r.groups.emplace_back(r.type == "DIMSTYLE" ? 105 : 5, formatHandle(r.handle));
        if (modern_) {
            r.groups.emplace_back(330, tableHandle(r.type));
            r.groups.emplace_back(100, "AcDbSymbolTableRecord");
            r.groups.emplace_back(100, subclass);
        }
        r.groups.emplace_back(2, std::move(name));
        return r;
    }

    void addActiveViewport() {
        Record r = entry("VPORT", "AcDbViewportTableRecord", "*ACTIVE");
        r.groups.insert(r.groups.end(), {{70, "0"}, {10, "0.0"}, {20, "0.0"}, {11, "1.0"}, {21, "1.0"},
                                         {12, "0.0"}, {22, "0.0"}, {13, "0.0"}, {23, "0.0"}, {14, "1.0"},
                                         {24, "1.0"}, {15, "0.0"}, {25, "0.0"}, {16, "0.0"}, {26, "0.0"},
                                         {36, "1.0"}, {17, "0.0"}, {27, "0.0"}, {37, "0.0"}, {40, "100.0"},
                                         {41, "1.5"}, {42, "50.0"}, {43, "0.0"}, {44, "0.0"}, {50, "0.0"},
                                         {51, "0.0"}, {71, "0"}, {72, "1000"}, {73, "1"}, {74, "3"},
                                         {75, "0"}, {76, "0"}, {77, "0"}, {78, "0"}});
        db_.addEntry("VPORT", std::move(r));
    }

    void addLinetype(const char* name, const char* description) {
        if (db_.findEntry("LTYPE", name) != kNoRecord) return;
        Record r = entry("LTYPE", "AcDbLinetypeTableRecord", name);
        r.groups.insert(r.groups.end(), {{70, "0"}, {3, description}, {72, "65"}, {73, "0"}, {40, "0.0"}});
        db_.addEntry("LTYPE", std::move(r));
    }

    // Makes sure model or paper space exists as a block (with its block
    // record in R13 and later); returns the block record (or none).
    RecordId addSpace(bool paper) {
        const char* name = paper ? "*Paper_Space" : "*Model_Space";
        const BlockDefinition* existing = findSpace(db_, paper);
        std::string_view blockName = existing ? std::string_view(existing->name) : std::string_view(name);
        RecordId blockRecord = kNoRecord;
        if (modern_) {
            blockRecord = db_.findEntry("BLOCK_RECORD", blockName);
            if (blockRecord == kNoRecord) {
                Record r = entry("BLOCK_RECORD", "AcDbBlockTableRecord", std::string(blockName));
                blockRecord = db_.addEntry("BLOCK_RECORD", std::move(r));
            }
        }
        if (existing) return blockRecord;
        std::string owner = blockRecord ? formatHandle(db_.at(blockRecord).handle) : "";
        Record begin;
        begin.type = "BLOCK";
        begin.handle = db_.allocateHandle();
        begin.groups.emplace_back(5, formatHandle(begin.handle));
        if (modern_) begin.groups.insert(begin.groups.end(), {{330, owner}, {100, "AcDbEntity"}});
        if (paper) begin.groups.emplace_back(67, "1");
        begin.groups.emplace_back(8, "0");
        if (modern_) begin.groups.emplace_back(100, "AcDbBlockBegin");
        begin.groups.insert(begin.groups.end(),
                            {{2, name}, {70, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, name}, {1, ""}});
        Record end;
        end.type = "ENDBLK";
        end.handle = db_.allocateHandle();
        end.groups.emplace_back(5, formatHandle(end.handle));
        if (modern_) end.groups.insert(end.groups.end(), {{330, owner}, {100, "AcDbEntity"}});
        if (paper) end.groups.emplace_back(67, "1");
        end.groups.emplace_back(8, "0");
        if (modern_) end.groups.emplace_back(100, "AcDbBlockEnd");
        RecordId b = db_.add(std::move(begin));
        RecordId e = db_.add(std::move(end));
        // Database::modelSpace()/paperSpace() may have made a placeholder.
        BlockDefinition& def = db_.addBlock(name, b, e);
        def.begin = b;
        def.end = e;
        return blockRecord;
    }

    bool hasRootDictionary() const {
        for (const OpaqueSection& s : db_.opaqueSections())
            if (s.name == "OBJECTS")
                for (RecordId id : s.records)
                    if (db_.at(id).type == "DICTIONARY") return true;
        return false;
    }

    Record object(const char* type, std::uint64_t handle, std::uint64_t owner) {
        Record r;
        r.type = type;
        r.handle = handle;
        r.groups.emplace_back(5, formatHandle(handle));
        r.groups.emplace_back(330, formatHandle(owner));
        return r;
    }

    Record layout(const char* name, std::uint64_t handle, std::uint64_t dictionary, std::uint64_t blockRecord,
                  int tab, bool model) {
        Record r = object("LAYOUT", handle, dictionary);
        r.groups.insert(r.groups.end(), {{100, "AcDbPlotSettings"}, {1, ""}, {2, "none_device"}, {4, ""}, {6, ""},
                                         {40, "0.0"}, {41, "0.0"}, {42, "0.0"}, {43, "0.0"}, {44, "0.0"},
                                         {45, "0.0"}, {46, "0.0"}, {47, "0.0"}, {48, "0.0"}, {49, "0.0"},
                                         {140, "0.0"}, {141, "0.0"}, {142, "1.0"}, {143, "1.0"},
                                         {70, model ? "1024" : "0"}, {72, "1"}, {73, "0"}, {74, "5"}, {7, ""},
                                         {75, "16"}, {76, "0"}, {77, "2"}, {78, "300"}, {147, "1.0"},
                                         {148, "0.0"}, {149, "0.0"}, {100, "AcDbLayout"}, {1, name},
                                         {70, "1"}, {71, formatInt(tab)}, {10, "0.0"}, {20, "0.0"},
                                         {11, "420.0"}, {21, "297.0"}, {12, "0.0"}, {22, "0.0"}, {32, "0.0"},
                                         {14, "0.0"}, {24, "0.0"}, {34, "0.0"}, {15, "420.0"}, {25, "297.0"},
                                         {35, "0.0"}, {146, "0.0"}, {13, "0.0"}, {23, "0.0"}, {33, "0.0"},
                                         {16, "1.0"}, {26, "0.0"}, {36, "0.0"}, {17, "0.0"}, {27, "1.0"},
                                         {37, "0.0"}, {76, "1"}, {330, formatHandle(blockRecord)}});
        return r;
    }

    void addObjects(RecordId modelRecord, RecordId paperRecord) {
        OpaqueSection* section = db_.opaqueSection("OBJECTS");
        if (!section) {
            db_.opaqueSections().push_back(OpaqueSection{"OBJECTS", {}});
            section = &db_.opaqueSections().back();
        }
        std::uint64_t root = db_.allocateHandle();
        std::uint64_t groups = db_.allocateHandle();
        std::uint64_t layouts = db_.allocateHandle();
        std::uint64_t modelLayout = db_.allocateHandle();
        std::uint64_t paperLayout = db_.allocateHandle();
        std::uint64_t modelBr = db_.at(modelRecord).handle;
        std::uint64_t paperBr = db_.at(paperRecord).handle;

        Record rootDict = object("DICTIONARY", root, 0);
        rootDict.groups.insert(rootDict.groups.end(),
                               {{100, "AcDbDictionary"}, {281, "1"}, {3, "ACAD_GROUP"}, {350, formatHandle(groups)},
                                {3, "ACAD_LAYOUT"}, {350, formatHandle(layouts)}});
        Record groupDict = object("DICTIONARY", groups, root);
        groupDict.groups.insert(groupDict.groups.end(), {{100, "AcDbDictionary"}, {281, "1"}});
        Record layoutDict = object("DICTIONARY", layouts, root);
        layoutDict.groups.insert(layoutDict.groups.end(),
                                 {{100, "AcDbDictionary"}, {281, "1"}, {3, "Model"}, {350, formatHandle(modelLayout)},
                                  {3, "Layout1"}, {350, formatHandle(paperLayout)}});
        std::vector<RecordId> ids;
        ids.push_back(db_.add(std::move(rootDict)));
        ids.push_back(db_.add(std::move(groupDict)));
        ids.push_back(db_.add(std::move(layoutDict)));
        ids.push_back(db_.add(layout("Model", modelLayout, layouts, modelBr, 0, true)));
        ids.push_back(db_.add(layout("Layout1", paperLayout, layouts, paperBr, 1, false)));
        // Groups that open the section without a type line stay first: only
        // there are they read back as such.
        auto at = section->records.begin();
        if (at != section->records.end() && section->startsLoose) ++at;
        section->records.insert(at, ids.begin(), ids.end());
        // Block records point at their layouts.
        db_.modify(modelRecord, [&](Record& r) { r.set(340, formatHandle(modelLayout)); });
        db_.modify(paperRecord, [&](Record& r) { r.set(340, formatHandle(paperLayout)); });
        if (std::find(db_.sectionOrder().begin(), db_.sectionOrder().end(), "OBJECTS") == db_.sectionOrder().end() &&
            !db_.sectionOrder().empty())
            db_.sectionOrder().push_back("OBJECTS");
    }

    Database& db_;
    bool modern_;
    bool objects_;
};

}  // namespace

void completeDrawing(Database& db) { Builder(db).run(); }

}  // namespace host::dxf
