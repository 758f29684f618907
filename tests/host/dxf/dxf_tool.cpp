// Command-line helper for the checks against an independent DXF reader:
//   dxf_tool copy IN OUT    read IN, save as OUT
//   dxf_tool new OUT        save a new drawing as OUT
//   dxf_tool dump IN        print layers, blocks, entities and extended data as JSON
//   dxf_tool check IN       read IN; print the error and fail if it cannot be read
#include <cstdio>
#include <iostream>
#include <string>

#include "dxf/dxf.h"

namespace {

std::string json(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string groupsJson(const host::GroupList& groups) {
    std::string out = "[";
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i) out += ",";
        out += '[';
        out += std::to_string(groups[i].code);
        out += ',';
        out += json(groups[i].value);
        out += ']';
    }
    return out + "]";
}

std::string entityJson(const host::Database& db, host::RecordId id, std::string_view space) {
    const host::Record& r = db.at(id);
    return "{\"type\":" + json(r.type) + ",\"handle\":" + json(host::formatHandle(r.handle)) +
           ",\"layer\":" + json(r.text(8, "0")) + ",\"space\":" + json(space) + ",\"xdata\":" + groupsJson(r.xdata) +
           "}";
}

void dump(const host::Database& db) {
    std::string out = "{\"version\":" + json(db.version()) + ",\"layers\":[";
    bool first = true;
    if (const host::SymbolTable* t = db.table("LAYER"))
        for (host::RecordId id : t->entries) {
            const host::Record& r = db.at(id);
            if (r.erased) continue;
            out += first ? "" : ",";
            first = false;
            out += "{\"name\":" + json(r.text(2)) + ",\"flags\":" + std::to_string(r.integer(70, 0)) +
                   ",\"color\":" + std::to_string(r.integer(62, 7)) + ",\"linetype\":" + json(r.text(6)) + "}";
        }
    out += "],\"blocks\":[";
    first = true;
    for (const host::BlockDefinition& b : db.blocks()) {
        if (b.begin == host::kNoRecord || db.at(b.begin).erased) continue;
        out += first ? "" : ",";
        first = false;
        out += "{\"name\":" + json(b.name) + ",\"entities\":[";
        bool firstEntity = true;
        for (host::RecordId id : b.entities) {
            if (db.at(id).erased) continue;
            out += firstEntity ? "" : ",";
            firstEntity = false;
            out += entityJson(db, id, b.name);
        }
        out += "]}";
    }
    out += "],\"entities\":[";
    first = true;
    for (host::RecordId id : db.entities()) {
        if (db.at(id).erased) continue;
        out += first ? "" : ",";
        first = false;
        out += entityJson(db, id, db.isPaperSpaceEntity(id) ? "paper" : "model");
    }
    out += "],\"header\":{";
    first = true;
    for (const char* name : {"CLAYER", "TILEMODE"}) {
        out += first ? "" : ",";
        first = false;
        const host::SystemVariable* v = db.variables().find(name);
        std::string value;
        if (v) {
            if (const auto* s = std::get_if<std::string>(&v->value))
                value = *s;
            else if (const auto* i = std::get_if<long long>(&v->value))
                value = std::to_string(*i);
        }
        out += json(name) + ":" + json(value);
    }
    out += "}}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: dxf_tool copy IN OUT | new OUT | dump IN | check IN\n";
        return 2;
    }
    std::string command = argv[1];
    try {
        if (command == "copy" && argc == 4) {
            auto db = host::dxf::readFile(argv[2]);
            host::dxf::writeFile(*db, argv[3]);
        } else if (command == "new") {
            auto db = host::dxf::newDrawing();
            host::dxf::writeFile(*db, argv[2]);
        } else if (command == "dump") {
            auto db = host::dxf::readFile(argv[2]);
            dump(*db);
        } else if (command == "check") {
            host::dxf::readFile(argv[2]);
        } else {
            std::cerr << "dxf_tool: unknown command " << command << "\n";
            return 2;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
