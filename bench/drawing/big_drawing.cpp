// The large drawings of the benchmarks; see big_drawing.h.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "drawing/big_drawing.h"
#include "dxf/dxf.h"

namespace zan::bench {

namespace {

const char* const kRoots[25] = {"WALL", "DOOR", "WIND", "TEXT", "POCHE", "FURN", "DIM",  "GRID", "COL",
                                "STAIR", "ROOF", "SLAB", "HATCH", "ELEC", "LIGHT", "PLUMB", "HVAC", "EQPM",
                                "CLNG", "FLOR", "ANNO", "SYMB", "SITE", "LAND", "NOTE"};

}  // namespace

std::string layerName(int level, int root) {
    char name[40];
    if (root < 25)
        std::snprintf(name, sizeof name, "L%04d-%s", level, kRoots[root]);
    else
        std::snprintf(name, sizeof name, "L%04d-%s%d", level, kRoots[root % 25], root / 25);
    return name;
}

std::string levelName(int level) {
    char name[32];
    std::snprintf(name, sizeof name, "Level %04d", level);
    return name;
}

namespace {

std::string fixed(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

using host::makeRecord;

// The dictionary of layouts and a layout record to copy, from a new drawing.
struct LayoutObjects {
    host::RecordId dictionary = host::kNoRecord;
    host::RecordId paperLayout = host::kNoRecord;
};

LayoutObjects findLayouts(host::Database& db) {
    LayoutObjects found;
    if (host::OpaqueSection* objects = db.opaqueSection("OBJECTS"))
        for (host::RecordId id : objects->records) {
            const host::Record& r = db.at(id);
            if (r.type == "DICTIONARY" && r.text(3) == "Model") found.dictionary = id;
            if (r.type == "LAYOUT" && r.text(1) != "" && r.find(71) && r.integer(71) == 1) found.paperLayout = id;
        }
    return found;
}

host::Record viewport(std::mt19937& rng, int id, double cx, double cy, const std::vector<std::string>& frozen) {
    std::uniform_real_distribution<double> at(0, 10000);
    host::Record v = makeRecord("VIEWPORT", {{100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbViewport"},
                                       {10, fixed(cx)}, {20, fixed(cy)}, {30, "0.0"}, {40, "100.0"},
                                       {41, "80.0"}, {68, "1"}, {69, std::to_string(id)}, {12, fixed(at(rng))},
                                       {22, fixed(at(rng))}, {13, "0.0"}, {23, "0.0"}, {14, "10.0"},
                                       {24, "10.0"}, {15, "10.0"}, {25, "10.0"}, {16, "0.0"}, {26, "0.0"},
                                       {36, "1.0"}, {17, "0.0"}, {27, "0.0"}, {37, "0.0"}, {42, "50.0"},
                                       {43, "0.0"}, {44, "0.0"}, {45, "500.0"}, {50, "0.0"}, {51, "0.0"},
                                       {72, "1000"}, {90, "32864"}, {1, ""}, {281, "0"}, {71, "1"}, {74, "0"},
                                       {110, "0.0"}, {120, "0.0"}, {130, "0.0"}, {111, "1.0"}, {121, "0.0"},
                                       {131, "0.0"}, {112, "0.0"}, {122, "1.0"}, {132, "0.0"}, {79, "0"},
                                       {146, "0.0"}});
    if (id > 1) {
        v.xdata = {{1001, "ACAD"}, {1000, "MVIEW"}, {1002, "{"}, {1070, "16"}, {1010, "0.0"}, {1020, "0.0"},
                   {1030, "0.0"}, {1010, "0.0"}, {1020, "0.0"}, {1030, "1.0"}, {1040, "0.0"}, {1040, "500.0"},
                   {1040, "5000.0"}, {1040, "5000.0"}, {1040, "50.0"}, {1040, "0.0"}, {1040, "0.0"},
                   {1070, "0"}, {1070, "1000"}, {1070, "1"}, {1070, "1"}, {1070, "0"}, {1070, "0"},
                   {1070, "0"}, {1070, "0"}, {1040, "0.0"}, {1040, "0.0"}, {1040, "0.0"}, {1040, "0.0"},
                   {1040, "0.0"}, {1040, "0.0"}, {1002, "{"}};
        for (const std::string& layer : frozen) v.xdata.emplace_back(1003, layer);
        v.xdata.emplace_back(1002, "}");
        v.xdata.emplace_back(1002, "}");
    }
    return v;
}

void addLayouts(host::Database& db, std::mt19937& rng, int levels) {
    LayoutObjects objects = findLayouts(db);
    std::uniform_int_distribution<int> levelPick(0, levels - 1), rootPick(0, 24);
    auto frozenLayers = [&] {
        std::vector<std::string> names;
        for (int i = 0; i < 8; ++i) names.push_back(layerName(levelPick(rng), rootPick(rng)));
        return names;
    };
    // Layout1 (the paper space block): one overall viewport and four more.
    for (int v = 1; v <= 5; ++v) db.addEntity(viewport(rng, v, 50.0 * v, 100, frozenLayers()), true);
    // Nineteen more layouts, each a *Paper_SpaceN block with three viewports
    // and its overall one.
    for (int n = 0; n < 19; ++n) {
        std::string name = "*Paper_Space" + std::to_string(n);
        host::Record record = makeRecord("BLOCK_RECORD", {{100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"},
                                                    {2, name}, {70, "0"}, {280, "1"}, {281, "0"}});
        host::RecordId recordId = db.addEntry("BLOCK_RECORD", std::move(record));
        std::string owner = host::formatHandle(db.at(recordId).handle);
        host::RecordId begin = db.add(makeRecord("BLOCK", {{330, owner}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"},
                                                     {100, "AcDbBlockBegin"}, {2, name}, {70, "0"}, {10, "0.0"},
                                                     {20, "0.0"}, {30, "0.0"}, {3, name}, {1, ""}}));
        host::RecordId end = db.add(makeRecord("ENDBLK", {{330, owner}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"},
                                                   {100, "AcDbBlockEnd"}}));
        host::BlockDefinition& block = db.addBlock(name, begin, end);
        for (int v = 1; v <= 4; ++v) {
            host::Record vp = viewport(rng, v, 60.0 * v, 120, frozenLayers());
            vp.groups.insert(vp.groups.begin(), host::Group(330, owner));
            db.addBlockEntity(block, std::move(vp));
        }
        if (objects.dictionary == host::kNoRecord || objects.paperLayout == host::kNoRecord) continue;
        host::Record layout = db.at(objects.paperLayout);
        layout.handle = 0;
        layout.groups.erase(layout.groups.begin());  // its handle group: a new one is given
        std::string layoutName = "Sheet " + std::to_string(n + 2);
        int ones = 0;
        for (host::Group& g : layout.groups) {
            if (g.code == 1 && ++ones == 2) g.value = layoutName;
            if (g.code == 71) g.value = std::to_string(n + 2);
        }
        layout.groups.back().value = owner;  // its block record (the last 330)
        host::RecordId layoutId = db.add(std::move(layout));
        db.opaqueSection("OBJECTS")->records.push_back(layoutId);
        std::string layoutHandle = host::formatHandle(db.at(layoutId).handle);
        db.modify(objects.dictionary, [&](host::Record& r) {
            r.groups.emplace_back(3, layoutName);
            r.groups.emplace_back(350, layoutHandle);
        });
        db.modify(recordId, [&](host::Record& r) { r.set(340, layoutHandle); });
    }
}

void addEntities(host::Database& db, std::mt19937& rng, int levels, double targetBytes) {
    host::Record begin = makeRecord("BLOCK", {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, "door"},
                                        {70, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "door"}, {1, ""}});
    host::Record end = makeRecord("ENDBLK", {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
    host::BlockDefinition& door = db.addBlock("door", db.add(std::move(begin)), db.add(std::move(end)));
    db.addBlockEntity(door, makeRecord("LINE", {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbLine"}, {10, "0.0"},
                                          {20, "0.0"}, {30, "0.0"}, {11, "0.9"}, {21, "0.0"}, {31, "0.0"}}));
    db.addBlockEntity(door, makeRecord("ARC", {{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbCircle"}, {10, "0.0"},
                                         {20, "0.0"}, {30, "0.0"}, {40, "0.9"}, {100, "AcDbArc"}, {50, "0.0"},
                                         {51, "90.0"}}));

    std::uniform_real_distribution<double> at(0, 10000), step(-5, 5), radius(0.2, 4);
    std::uniform_int_distribution<int> levelPick(0, levels - 1), rootPick(0, 24), kindPick(0, 19);
    double estimate = 0;
    while (estimate < targetBytes) {
        std::string layer = layerName(levelPick(rng), rootPick(rng));
        double x = at(rng), y = at(rng);
        int kind = kindPick(rng);
        host::Record e;
        if (kind < 8) {
            e = makeRecord("LINE", {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbLine"}, {10, fixed(x)}, {20, fixed(y)},
                              {30, "0.0"}, {11, fixed(x + step(rng))}, {21, fixed(y + step(rng))}, {31, "0.0"}});
        } else if (kind < 12) {
            e = makeRecord("LWPOLYLINE", {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbPolyline"}, {90, "4"}, {70, "1"},
                                    {43, "0.0"}});
            for (int v = 0; v < 4; ++v) {
                e.groups.emplace_back(10, fixed(x + step(rng)));
                e.groups.emplace_back(20, fixed(y + step(rng)));
            }
        } else if (kind < 14) {
            e = makeRecord("ARC", {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbCircle"}, {10, fixed(x)}, {20, fixed(y)},
                             {30, "0.0"}, {40, fixed(radius(rng))}, {100, "AcDbArc"}, {50, "15.0"}, {51, "200.0"}});
        } else if (kind < 16) {
            e = makeRecord("CIRCLE", {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbCircle"}, {10, fixed(x)},
                                {20, fixed(y)}, {30, "0.0"}, {40, fixed(radius(rng))}});
        } else if (kind < 18) {
            e = makeRecord("TEXT", {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbText"}, {10, fixed(x)}, {20, fixed(y)},
                              {30, "0.0"}, {40, "2.5"}, {1, "ROOM " + std::to_string(kind * 1000 + rootPick(rng))},
                              {100, "AcDbText"}});
        } else {
            e = makeRecord("INSERT", {{100, "AcDbEntity"}, {8, layer}, {100, "AcDbBlockReference"}, {2, "door"},
                                {10, fixed(x)}, {20, fixed(y)}, {30, "0.0"}, {50, "90.0"}});
        }
        for (const host::Group& g : e.groups) estimate += 5 + static_cast<double>(g.value.size());
        estimate += 5 + static_cast<double>(e.type.size()) + 12 + 12;  // type, handle and owner lines
        db.addEntity(std::move(e), false);
    }
}

// A word and a length-prefixed string of the configuration file.
void word(std::string& out, int w) {
    out += static_cast<char>(w & 0xFF);
    out += static_cast<char>((w >> 8) & 0xFF);
}
void text(std::string& out, const std::string& s) {
    word(out, static_cast<int>(s.size()));
    out += s;
}

std::string modifier(int level) {
    char name[16];
    std::snprintf(name, sizeof name, "L%04d", level);
    return name;
}

}  // namespace

void writeZmb(const std::string& path, int levels) {
    std::ofstream out(path, std::ios::binary);
    out << "LEVELS\n" << levels << "\n1\n20 20\n\"\"\n";
    for (int l = 0; l < levels; ++l)
        out << "\"\" \"" << levelName(l) << "\" \"" << modifier(l) << "\" \"Primary\"\n";
}

void writeZly(const std::string& path, int levels) {
    const int rules = levels < 1000 ? levels : 1000;
    std::string out;
    word(out, 999);
    word(out, 1000);
    word(out, 0);
    text(out, "Big");
    word(out, 1);
    text(out, "None");
    word(out, 2);
    text(out, "None");
    word(out, 3);
    for (int w : {1, 1, 0, 1}) word(out, w);  // undefined layers: Freeze
    word(out, 4);
    word(out, (rules + 1) / 2);
    for (int l = 1; l < rules; l += 2) text(out, levelName(l));
    word(out, 5);
    word(out, rules / 2);
    for (int l = 0; l < rules; l += 2) text(out, levelName(l));
    word(out, 2000);
    word(out, 3000);
    std::ofstream(path, std::ios::binary) << out;
}

std::unique_ptr<host::Database> makeDrawing(const DrawingOptions& o) {
    auto db = host::dxf::newDrawing();
    std::mt19937 rng(42);
    for (int l = 0; l < o.levels; ++l)
        for (int r = 0; r < o.layersPerLevel; ++r) {
            std::string name = layerName(l, r);
            db->addEntry("LAYER", makeRecord("LAYER", {{100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"},
                                                 {2, name}, {70, "0"}, {62, std::to_string(1 + (l + r) % 255)},
                                                 {6, "Continuous"}, {370, "-3"}}));
        }
    if (!o.layersOnly) {
        addLayouts(*db, rng, o.levels);
        // The estimate counts a little less than the writer puts out.
        addEntities(*db, rng, o.levels, o.sizeMb * 0.962e6);
    }
    return db;
}

std::size_t writeDrawing(const DrawingOptions& o, const std::string& path) {
    auto db = makeDrawing(o);
    host::dxf::writeFile(*db, path);
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return static_cast<std::size_t>(in.tellg());
}

}  // namespace zan::bench
