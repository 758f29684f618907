// Reading and writing drawings as ASCII DXF files.
//
// Everything a file holds is kept: header variables (the ones the host knows
// are also loaded into its system variables), classes, symbol tables, block
// definitions, model and paper space entities with their extended data,
// objects and any other section. Writing puts it all back in the order it
// was read, so that an unchanged drawing is written group for group as it
// came in, and adds what a drawing made by the host needs to be valid.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "db/database.h"

namespace host::dxf {

// A file that cannot be read or written. `line` is the 1-based line of the
// file where the problem was found, 0 when it concerns the whole file.
class Error : public std::runtime_error {
public:
    Error(std::string file, std::size_t line, const std::string& problem);
    const std::string& file() const { return file_; }
    std::size_t line() const { return line_; }
    const std::string& problem() const { return problem_; }

private:
    std::string file_;
    std::size_t line_;
    std::string problem_;
};

// Upper bounds that keep malformed input from exhausting memory.
inline constexpr std::size_t kMaxLineLength = 1 << 20;  // bytes in one line

// A new drawing with the standard tables and records (layer 0,
// CONTINUOUS, model and paper space, the ACAD application, ...), complete
// enough to be written as a valid DXF file (R2013) at once.
std::unique_ptr<Database> newDrawing();

// --- reading ---------------------------------------------------------------

// Reads a DXF file (versions R12 to R2018; a ".dwg" name holding DXF text is
// read the same way). Throws Error naming the file and line for anything it
// cannot read: nothing is half-loaded.
std::unique_ptr<Database> readFile(const std::string& path);

// Reads DXF text held in memory; `name` is used in error messages.
std::unique_ptr<Database> readText(std::string_view text, const std::string& name);

// Non-throwing form of readFile: null and `error` set on failure.
std::unique_ptr<Database> loadDrawing(const std::string& path, std::string* error) noexcept;

// --- writing ---------------------------------------------------------------

// Makes the drawing writable as valid DXF: block records and owner links for
// blocks made by the host, subclass markers and owners of entities made from
// group lists, application ids for extended data, layers that entities name,
// the objects a drawing of its version needs. Changes nothing a file gave.
void prepareForWrite(Database& db);

// The DXF text of a drawing (as it stands; call prepareForWrite first for a
// drawing the host has changed).
std::string writeText(const Database& db);

// Prepares and writes the drawing to `path`. The text goes to a temporary
// file beside the target, which replaces the target only when it was written
// completely, so a failed save leaves the previous file as it was.
// Throws Error on failure.
void writeFile(Database& db, const std::string& path);

// Non-throwing form of writeFile.
bool saveDrawing(Database& db, const std::string& path, std::string* error) noexcept;

// --- records made from group lists -----------------------------------------

// Puts an entity record made from a group list (entmake) into the shape a
// DXF file of version R2000 or later has: group 100 subclass markers where
// the type needs them, an 8 layer group when none is given. A record that
// already has a subclass marker is left as it is. Returns true if it changed.
bool normalizeEntity(Record& entity);

// The same for a symbol table record (LAYER, LTYPE, VIEW, UCS, APPID,
// BLOCK_RECORD, STYLE, DIMSTYLE, VPORT).
bool normalizeTableRecord(Record& record);

// True for versions whose files have subclass markers, owners, block records
// and objects (R13 "AC1012" and later).
bool isModernVersion(std::string_view acadver);

}  // namespace host::dxf
