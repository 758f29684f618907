#include "geometry/text_box.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/group_points.h"

namespace host {

namespace {

// Counts UTF-8 sequences, not bytes.
bool startsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// The lines an MTEXT shows, with the characters of each counted: paragraph
// breaks start a line, formatting codes show nothing.
std::vector<std::size_t> mtextLines(std::string_view s) {
    std::vector<std::size_t> lines{0};
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '{' || c == '}') continue;
        if (c == '\\' && i + 1 < s.size()) {
            char code = s[i + 1];
            ++i;
            switch (code) {
                case 'P': lines.push_back(0); break;
                case '~': case '\\': case '{': case '}': ++lines.back(); break;
                case 'L': case 'l': case 'O': case 'o': case 'K': case 'k': break;
                case 'U':  // \U+XXXX
                    ++lines.back();
                    i += std::min<std::size_t>(5, s.size() - 1 - i);
                    break;
                case 'S': {  // stacked fraction: its parts side by side
                    std::size_t end = s.find(';', i);
                    if (end == std::string_view::npos) end = s.size();
                    for (std::size_t k = i + 1; k < end; ++k)
                        if (s[k] != '^' && s[k] != '#' && s[k] != '/' && startsCharacter(s[k])) ++lines.back();
                    i = end;
                    break;
                }
                default: {  // \A1; \H2.5x; \fArial|b0; ...: a value up to ';'
                    std::size_t end = s.find(';', i);
                    i = end == std::string_view::npos ? s.size() : end;
                }
            }
            continue;
        }
        if (c == '\n') {
            lines.push_back(0);
            continue;
        }
        if (startsCharacter(c)) ++lines.back();
    }
    return lines;
}

}  // namespace

std::size_t textCharacters(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && s[i + 1] == '%') {
            char code = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i + 2])));
            i += 2;
            if (std::isdigit(static_cast<unsigned char>(code))) {
                while (i + 1 < s.size() && i < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) ++i;
                ++n;
            } else if (code != 'o' && code != 'u') {
                ++n;
            }
            continue;
        }
        if (s[i] == '\\' && i + 6 < s.size() && s[i + 1] == 'U' && s[i + 2] == '+' &&
            std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i) + 3, s.begin() + static_cast<std::ptrdiff_t>(i) + 7,
                        [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; })) {
            ++n;  // \U+XXXX: one character the drawing's code page lacks
            i += 6;
            continue;
        }
        if (startsCharacter(s[i])) ++n;
    }
    return n;
}

namespace {

// Places a box given in the text's own frame (x along the baseline).
void place(const Record& r, const Point3& anchor, double rotation, bool backward, bool upsideDown, double x0,
           double x1, double y0, double y1, std::array<Point3, 4>& corners) {
    Ocs ocs(normalOf(r));
    double c = std::cos(rotation), s = std::sin(rotation);
    const double xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) {
        double x = backward ? -xs[i] : xs[i], y = upsideDown ? -ys[i] : ys[i];
        corners[i] = ocs.toWorld({anchor.x + x * c - y * s, anchor.y + x * s + y * c, anchor.z});
    }
}

}  // namespace

bool textBox(const Record& r, std::array<Point3, 4>& corners) {
    std::size_t n = textCharacters(r.text(1));
    double h = r.real(40).value_or(0);
    if (n == 0 || h <= 0) return false;
    double factor = r.real(41).value_or(1);
    if (factor <= 0) factor = 1;
    double width = static_cast<double>(n) * h * factor;
    double rotation = radians(r.real(50).value_or(0));
    long long horizontal = r.integer(72), vertical = r.type == "TEXT" ? r.integer(73) : r.integer(74);
    long long flags = r.integer(71);
    Point3 first = pointOf(r, 10).value_or(Point3{});
    auto second = pointOf(r, 11);
    Point3 anchor = first;
    double x0 = 0, x1 = width, y0 = 0, y1 = h;
    if ((horizontal == 3 || horizontal == 5) && second) {
        // Aligned and fitted texts run from the first point to the second.
        Point3 d = *second - first;
        if (length(d) > 0) {
            rotation = std::atan2(d.y, d.x);
            x1 = std::hypot(d.x, d.y);
        }
    } else if ((horizontal != 0 || vertical != 0) && second) {
        anchor = *second;
        if (horizontal == 1 || horizontal == 4) {
            x0 = -width / 2;
            x1 = width / 2;
        } else if (horizontal == 2) {
            x0 = -width;
            x1 = 0;
        }
        if (vertical == 2 || horizontal == 4) {
            y0 = -h / 2;
            y1 = h / 2;
        } else if (vertical == 3) {
            y0 = -h;
            y1 = 0;
        }
    }
    place(r, anchor, rotation, flags & 2, flags & 4, x0, x1, y0, y1, corners);
    return true;
}

bool mtextBox(const Record& r, std::array<Point3, 4>& corners) {
    std::string content;
    for (const Group& g : r.groups)
        if (g.code == 3) content += g.value;
    content += std::string(r.text(1));
    std::vector<std::size_t> lines = mtextLines(content);
    double h = r.real(40).value_or(0);
    if (h <= 0) return false;
    std::size_t longest = *std::max_element(lines.begin(), lines.end());
    if (longest == 0) return false;
    double referenceWidth = r.real(41).value_or(0);
    double width = referenceWidth > 0 ? referenceWidth : static_cast<double>(longest) * h;
    double lineCount = 0;
    for (std::size_t chars : lines)
        lineCount += std::max(1.0, std::ceil(static_cast<double>(chars) * h / width - 1e-9));
    double spacing = r.real(44).value_or(1);
    if (spacing <= 0) spacing = 1;
    double height = h + (lineCount - 1) * h * 5.0 / 3.0 * spacing;
    long long attachment = std::clamp<long long>(r.integer(71, 1), 1, 9);
    long long column = (attachment - 1) % 3, row = (attachment - 1) / 3;
    double x0 = -width * static_cast<double>(column) / 2, y1 = height * static_cast<double>(row) / 2;
    // The direction: a world vector (group 11), or a rotation in the plane.
    Ocs ocs(normalOf(r));
    double rotation = radians(r.real(50).value_or(0));
    if (auto direction = pointOf(r, 11); direction && length(*direction) > 0) {
        Point3 local = ocs.fromWorld(*direction);
        rotation = std::atan2(local.y, local.x);
    }
    // The insertion point is a world point; `place` works in the plane.
    Point3 anchor = ocs.fromWorld(pointOf(r, 10).value_or(Point3{}));
    place(r, anchor, rotation, false, false, x0, x0 + width, y1 - height, y1, corners);
    return true;
}

}  // namespace host
