// UCS and VIEW: saving and restoring named coordinate systems and views of
// the UCS and VIEW tables; restoring changes the drawing's current UCS
// (UCSNAME, UCSORG, UCSXDIR, UCSYDIR) or view (VIEWCTR, VIEWSIZE, VIEWDIR).
#include <array>
#include <string>

#include "commands/core_commands.h"
#include "core/host.h"

namespace host {

namespace {

using Point = std::array<double, 3>;

Point pointOf(const Record& r, int code, Point fallback) {
    return {r.real(code).value_or(fallback[0]), r.real(code + 10).value_or(fallback[1]),
            r.real(code + 20).value_or(fallback[2])};
}

GroupList pointGroups(int code, const Point& p) {
    return {{code, formatReal(p[0])}, {code + 10, formatReal(p[1])}, {code + 20, formatReal(p[2])}};
}

// Adds a table entry, or replaces the groups of the entry of that name.
void storeEntry(Database& db, const std::string& table, const std::string& subclass, const std::string& name,
                const GroupList& values) {
    GroupList groups = {{100, "AcDbSymbolTableRecord"}, {100, subclass}, {2, name}, {70, "0"}};
    groups.insert(groups.end(), values.begin(), values.end());
    if (RecordId id = db.findEntry(table, name); id != kNoRecord) {
        const Record& r = db.at(id);
        GroupList kept;
        for (const Group& g : r.groups)
            if (g.code == 5 || g.code == 330 || g.code == 102) kept.push_back(g);
        std::string keepName(r.text(2));
        for (Group& g : groups)
            if (g.code == 2) g.value = keepName;
        kept.insert(kept.end(), groups.begin(), groups.end());
        db.modify(id, [&](Record& stored) { stored.groups = std::move(kept); });
        return;
    }
    SymbolTable& t = db.ensureTable(table);
    Record r;
    r.type = table;
    r.groups = {{330, formatHandle(db.at(t.head).handle)}};
    r.groups.insert(r.groups.end(), groups.begin(), groups.end());
    db.addEntry(table, std::move(r));
}

void listNames(CommandContext& c, const char* table, const char* title) {
    Database& db = c.host().db();
    std::string out = std::string(title) + ":\n";
    if (const SymbolTable* t = db.table(table))
        for (RecordId id : t->entries)
            if (!db.at(id).erased) out += "  \"" + std::string(db.at(id).text(2)) + "\"\n";
    c.print(out);
}

void restoreUcs(SystemVariables& vars, std::string name, Point origin, Point xdir, Point ydir) {
    vars.setText("UCSNAME", std::move(name));
    vars.setPoint("UCSORG", origin);
    vars.setPoint("UCSXDIR", xdir);
    vars.setPoint("UCSYDIR", ydir);
}

void ucs(CommandContext& c) {
    Database& db = c.host().db();
    SystemVariables& vars = db.variables();
    std::string current(vars.text("UCSNAME"));
    c.print("Current ucs name:  " + (current.empty() ? std::string("*WORLD*") : current) + "\n");
    std::string option =
        c.keyword("Enter an option [Restore/Save/?/World] <World>: ", {"Restore", "Save", "?", "World"});
    if (option.empty() || option == "World") {
        restoreUcs(vars, "", {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    } else if (option == "?") {
        listNames(c, "UCS", "Saved coordinate systems");
    } else if (option == "Restore") {
        std::string name = c.text("Enter name of UCS to restore: ");
        if (name.empty()) return;
        RecordId id = db.findEntry("UCS", name);
        if (id == kNoRecord || db.at(id).erased) {
            c.error("Cannot find UCS \"" + name + "\".\n");
            return;
        }
        const Record& r = db.at(id);
        restoreUcs(vars, std::string(r.text(2)), pointOf(r, 10, {0, 0, 0}), pointOf(r, 11, {1, 0, 0}),
                   pointOf(r, 12, {0, 1, 0}));
    } else if (option == "Save") {
        std::string name = c.text("Enter name to save current UCS: ");
        if (name.empty()) return;
        GroupList values = pointGroups(10, vars.point("UCSORG"));
        for (const Group& g : pointGroups(11, vars.point("UCSXDIR"))) values.push_back(g);
        for (const Group& g : pointGroups(12, vars.point("UCSYDIR"))) values.push_back(g);
        storeEntry(db, "UCS", "AcDbUCSTableRecord", name, values);
        vars.setText("UCSNAME", std::string(db.at(db.findEntry("UCS", name)).text(2)));
    }
}

void view(CommandContext& c) {
    Database& db = c.host().db();
    SystemVariables& vars = db.variables();
    std::string option = c.keyword("Enter an option [?/Restore/Save]: ", {"?", "Restore", "Save"});
    if (option == "?") {
        listNames(c, "VIEW", "Saved views");
    } else if (option == "Restore") {
        std::string name = c.text("Enter view name to restore: ");
        if (name.empty()) return;
        RecordId id = db.findEntry("VIEW", name);
        if (id == kNoRecord || db.at(id).erased) {
            c.error("Cannot find view \"" + name + "\".\n");
            return;
        }
        const Record& r = db.at(id);
        Point center = pointOf(r, 10, {0, 0, 0});
        center[2] = 0;
        vars.setPoint("VIEWCTR", center);
        vars.setReal("VIEWSIZE", r.real(40).value_or(1.0));
        vars.setPoint("VIEWDIR", pointOf(r, 11, {0, 0, 1}));
        std::string answer = c.keyword("Restore UCS with named view? [Yes/No] <Yes>: ", {"Yes", "No"});
        if (answer != "No" && r.integer(72, 0) == 1)
            restoreUcs(vars, "", pointOf(r, 110, {0, 0, 0}), pointOf(r, 111, {1, 0, 0}), pointOf(r, 112, {0, 1, 0}));
    } else if (option == "Save") {
        std::string name = c.text("Enter view name to save: ");
        if (name.empty()) return;
        Point center = vars.point("VIEWCTR");
        double size = vars.real("VIEWSIZE");
        GroupList values = {{40, formatReal(size)}, {10, formatReal(center[0])}, {20, formatReal(center[1])},
                            {41, formatReal(size)}};
        for (const Group& g : pointGroups(11, vars.point("VIEWDIR"))) values.push_back(g);
        for (const Group& g : pointGroups(12, {0, 0, 0})) values.push_back(g);
        storeEntry(db, "VIEW", "AcDbViewTableRecord", name, values);
    }
}

}  // namespace

void registerUcsViewCommands(Host& host) {
    host.commands().define("UCS", ucs);
    host.commands().define("VIEW", view);
}

}  // namespace host
