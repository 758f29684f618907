// Command-line helper for the checks against an independent DXF reader:
//   dxf_tool copy IN OUT    read IN, save as OUT
//   dxf_tool new OUT        save a new drawing as OUT
//   dxf_tool dump IN        print layers, blocks, entities and extended data as JSON
//   dxf_tool check IN       read IN; print the error and fail if it cannot be read
//   dxf_tool ahead IN...    read each IN in one go and with the later part of
//                           ENTITIES on a second thread (begun at several
//                           points); print and fail on any difference in the
//                           drawing written or the message given
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"

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

// The drawing a text reads as, written, or its error message.
std::string readAs(const std::string& text, const std::string& name, const host::dxf::ReadMode& mode) {
    try {
        return host::dxf::writeText(*host::dxf::readTextWith(text, name, nullptr, mode));
    } catch (const host::dxf::Error& e) {
        return std::string("error: ") + e.what();
    }
}

int compareReadAhead(int count, char** files) {
    int differing = 0;
    for (int i = 0; i < count; ++i) {
        std::ifstream in(files[i], std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        host::dxf::ReadMode oneGo;
        const std::string expected = readAs(text.str(), files[i], oneGo);
        for (double at : {0.0, 0.25, 0.5, 0.75}) {
            host::dxf::ReadMode ahead;
            ahead.readAhead = true;
            ahead.aheadAt = at;
            if (readAs(text.str(), files[i], ahead) != expected) {
                std::cout << files[i] << ": differs when read ahead from " << at << "\n";
                ++differing;
                break;
            }
        }
    }
    std::cout << count - differing << " of " << count << " read alike\n";
    return differing == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: dxf_tool copy IN OUT | new OUT | dump IN | check IN | ahead IN...\n";
        return 2;
    }
    std::string command = argv[1];
    if (command == "ahead") return compareReadAhead(argc - 2, argv + 2);
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
