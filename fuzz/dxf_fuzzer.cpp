// The DXF reader on arbitrary text: it reads or refuses with an error naming
// the line; what it reads is written, and the text written reads again and
// is written again unchanged. Read with the later part of ENTITIES on a
// second thread, it gives the same drawing or the same message.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dxf/dxf.h"
#include "dxf/dxf_internal.h"

namespace {

// The drawing written, or the message.
std::string outcome(std::string_view text, const host::dxf::ReadMode& mode) {
    try {
        return host::dxf::writeText(*host::dxf::readTextWith(text, "fuzz.dxf", nullptr, mode));
    } catch (const host::dxf::Error& e) {
        return std::string("error: ") + e.what();
    }
}

void compareReadAhead(std::string_view text) {
    host::dxf::ReadMode oneGo;
    host::dxf::ReadMode ahead;
    ahead.readAhead = true;
    ahead.aheadAt = text.empty() ? 0.5 : static_cast<unsigned char>(text.back()) / 255.0;
    if (outcome(text, oneGo) != outcome(text, ahead)) {
        std::fprintf(stderr, "reading ahead at %.3f gives another drawing or message\n", ahead.aheadAt);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    compareReadAhead(text);
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
