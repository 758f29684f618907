// The DXF reader on arbitrary text: it reads or refuses with an error naming
// the line; what it reads is written, and the text written reads again and
// is written again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dxf/dxf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<host::Database> db;
    try {
        db = host::dxf::readText(text, "fuzz.dxf");
    } catch (const host::dxf::Error&) {
        return 0;
    }
    host::dxf::prepareForWrite(*db);
    const std::string once = host::dxf::writeText(*db);
    std::unique_ptr<host::Database> again;
    try {
        again = host::dxf::readText(once, "written.dxf");
    } catch (const host::dxf::Error& e) {
        std::fprintf(stderr, "written text does not read again: %s\n", e.what());
        std::abort();
    }
    host::dxf::prepareForWrite(*again);
    if (host::dxf::writeText(*again) != once) {
        std::fprintf(stderr, "written text changes when read and written again\n");
        std::abort();
    }
    return 0;
}
