// The box a text fills, the geometry the host gives TEXT, ATTRIB, ATTDEF
// and MTEXT in place of font outlines.
//
// A character advances by the text's height times its width factor (the
// proportions of the host's standard font, whose characters are as wide as
// they are high with their spacing). A line of TEXT spans from its baseline
// to its height; the box is placed by the text's justification, turned by
// its rotation and mirrored when the text is backward or upside down. An
// MTEXT's box is as wide as its reference width (or its longest line when it
// has none; lines that exceed the width are wrapped), and as high as its
// lines at a pitch of 5/3 of the height times the line-spacing factor; it
// is placed by its attachment point and turned by its direction.
// Formatting codes (%%d, \P, {\fArial;...}) count as the characters they show.
#pragma once

#include <array>
#include <string_view>

#include "db/record.h"
#include "geometry/matrix.h"

namespace host {

// The number of characters a TEXT string shows (%% codes are one
// character, or none for the underline and overline switches).
std::size_t textCharacters(std::string_view text);

// The box's corners in the world (or block coordinates), counterclockwise
// from the lower left of the text as read; false for a text that shows no
// characters.
bool textBox(const Record& text, std::array<Point3, 4>& corners);
bool mtextBox(const Record& mtext, std::array<Point3, 4>& corners);

}  // namespace host
