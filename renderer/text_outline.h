// Texts drawn with a real font: TEXT, ATTRIB, ATTDEF and MTEXT as filled
// outlines of their characters, placed where the drawing puts them.
//
// A text's height is the height of its capitals. The font is the one its
// text style names (a TrueType family by its file or family name; the
// host's vector fonts, such as txt.shx, show in a plain sans-serif font).
// Justification, width factor, obliquing, backward and upside-down texts,
// and the aligned and fitted texts between two points are honoured; an
// MTEXT is broken at its paragraphs and wrapped at its reference width.
#pragma once

#include <QPainterPath>

#include <string>
#include <string_view>

#include "db/database.h"

namespace zan::render {

// The outline in the coordinates the record's points are kept in (its
// space, or its block's); empty for a text that shows nothing.
QPainterPath textOutline(const host::Database& db, const host::Record& text);

// What a TEXT string shows: %% codes replaced by their characters (degree,
// plus-minus, diameter, percent, a character by number; the underline and
// overline switches show nothing) and \U+XXXX by its character.
std::string textShown(std::string_view text);
// The lines of an MTEXT's content with the formatting codes taken out.
std::vector<std::string> mtextParagraphs(std::string_view content);

}  // namespace zan::render
