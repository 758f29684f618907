#include "text_outline.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <utility>

#include "geometry/group_points.h"
#include "geometry/matrix.h"

namespace zan::render {

namespace {

constexpr const char* kFallbackFamily = "DejaVu Sans";
constexpr int kFontPixels = 100;  // outlines are made at this size and scaled

// A font at the outline size with what the layout needs of it, and the
// outlines of the strings drawn in it (made once: a drawing repeats its
// texts, and each outline is made by the font engine, hinting and all).
class Face {
public:
    explicit Face(const QString& family) {
        font_.setFamilies({family, kFallbackFamily});
        font_.setPixelSize(kFontPixels);
        font_.setStyleStrategy(QFont::PreferOutline);
        font_.setHintingPreference(QFont::PreferNoHinting);
        QFontMetricsF fm(font_);
        cap_ = fm.capHeight() > 0 ? fm.capHeight() : fm.ascent() * 0.7;
        descent_ = fm.descent();
    }
    double capHeight() const { return cap_; }
    double descent() const { return descent_; }
    // The outline of a string with its baseline at y 0 (y down), and its advance.
    const std::pair<QPainterPath, double>& outline(const QString& text) {
        auto it = outlines_.find(text);
        if (it != outlines_.end()) return it->second;
        if (outlines_.size() >= kMaxOutlines) outlines_.clear();
        QPainterPath path;
        path.addText(0, 0, font_, text);
        return outlines_.emplace(text, std::make_pair(path, QFontMetricsF(font_).horizontalAdvance(text)))
            .first->second;
    }
    double advance(const QString& text) { return outline(text).second; }

private:
    static constexpr std::size_t kMaxOutlines = 8192;
    QFont font_;
    double cap_ = 1, descent_ = 0;
    std::unordered_map<QString, std::pair<QPainterPath, double>> outlines_;
};

// The font of a text style: the family its extended data names, or the one
// its font file is named after; vector fonts show in the fallback family.
Face& styleFont(const host::Database& db, std::string_view styleName) {
    QString family = kFallbackFamily;
    host::RecordId id = db.findEntry("STYLE", styleName.empty() ? std::string_view("Standard") : styleName);
    if (id != host::kNoRecord) {
        const host::Record& style = db.at(id);
        bool named = false;
        for (const host::Group& g : style.xdataOf("ACAD"))
            if (g.code == 1000 && !g.value.empty()) {
                family = QString::fromStdString(g.value);
                named = true;
                break;
            }
        std::string file(style.text(3));
        std::size_t slash = file.find_last_of("/\\");
        if (slash != std::string::npos) file = file.substr(slash + 1);
        std::size_t dot = file.rfind('.');
        std::string extension = dot == std::string::npos ? "" : file.substr(dot + 1);
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!named && (extension == "ttf" || extension == "otf" || extension == "ttc") && dot > 0)
            family = QString::fromStdString(file.substr(0, dot));
    }
    static std::unordered_map<QString, std::unique_ptr<Face>> faces;
    std::unique_ptr<Face>& face = faces[family];
    if (!face) face = std::make_unique<Face>(family);
    return *face;
}

// The plane of a text's object coordinates, with its elevation.
QTransform planeTransform(const host::Record& r, double elevation) {
    host::Ocs ocs(host::normalOf(r));
    if (ocs.isWorld()) return QTransform::fromTranslate(0, 0);
    host::Point3 origin = ocs.normal * elevation;
    return QTransform(ocs.xAxis.x, ocs.xAxis.y, ocs.yAxis.x, ocs.yAxis.y, origin.x, origin.y);
}

QTransform turn(double angle, const host::Point3& at) {
    double c = std::cos(angle), s = std::sin(angle);
    return QTransform(c, s, -s, c, at.x, at.y);
}

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

void appendCodePoint(std::string& out, char32_t cp) { out += QString::fromUcs4(&cp, 1).toStdString(); }

QPainterPath singleLine(const host::Database& db, const host::Record& r) {
    std::string shown = textShown(r.text(r.type == "ATTDEF" ? 2 : 1));
    double h = r.real(40).value_or(0);
    if (shown.empty() || !(h > 0) || !std::isfinite(h)) return {};
    double factor = r.real(41).value_or(1);
    if (!(factor > 0)) factor = 1;
    double oblique = host::radians(std::clamp(r.real(51).value_or(0), -85.0, 85.0));
    Face& face = styleFont(db, r.text(7));
    QString text = QString::fromStdString(shown);
    const auto& [glyphs, advance] = face.outline(text);
    double k = h / face.capHeight();
    double width = advance * k * factor;
    double rotation = host::radians(r.real(50).value_or(0));
    long long horizontal = r.integer(72), vertical = r.type == "TEXT" ? r.integer(73) : r.integer(74);
    host::Point3 first = host::pointOf(r, 10).value_or(host::Point3{});
    auto second = host::pointOf(r, 11);
    host::Point3 anchor = first;
    double dx = 0, dy = 0;
    if ((horizontal == 3 || horizontal == 5) && second && host::distance2d(*second, first) > 0 && width > 0) {
        // Aligned: scaled to run between the points; fitted: stretched only.
        double span = host::distance2d(*second, first);
        rotation = std::atan2(second->y - first.y, second->x - first.x);
        if (horizontal == 3) k *= span / width;
        else factor *= span / width;
    } else if ((horizontal != 0 || vertical != 0) && second) {
        anchor = *second;
        if (horizontal == 1 || horizontal == 4) dx = -width / 2;
        else if (horizontal == 2) dx = -width;
        if (vertical == 2 || horizontal == 4) dy = -h / 2;
        else if (vertical == 3) dy = -h;
        else if (vertical == 1) dy = face.descent() * k;
    }
    long long flags = r.integer(71);
    QTransform local(k * factor, 0, -k * std::tan(oblique), -k, dx, dy);
    QTransform mirror = QTransform::fromScale(flags & 2 ? -1 : 1, flags & 4 ? -1 : 1);
    return (local * mirror * turn(rotation, anchor) * planeTransform(r, first.z)).map(glyphs);
}

// Breaks a paragraph into lines no wider than `limit` (in font pixels) at
// spaces; a word longer than the limit stands on a line of its own.
std::vector<QString> wrap(const QString& paragraph, Face& face, double limit) {
    if (!(limit > 0) || face.advance(paragraph) <= limit) return {paragraph};
    std::vector<QString> lines;
    QString line;
    for (const QString& word : paragraph.split(' ')) {
        QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && face.advance(candidate) > limit) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    lines.push_back(line);
    return lines;
}

QPainterPath multiLine(const host::Database& db, const host::Record& r) {
    std::string content;
    for (const host::Group& g : r.groups)
        if (g.code == 3) content += g.value;
    content += std::string(r.text(1));
    double h = r.real(40).value_or(0);
    if (!(h > 0) || !std::isfinite(h)) return {};
    Face& face = styleFont(db, r.text(7));
    double k = h / face.capHeight();
    double referenceWidth = r.real(41).value_or(0);
    std::vector<QString> lines;
    for (const std::string& p : mtextParagraphs(content))
        for (QString& l : wrap(QString::fromStdString(p), face, referenceWidth / k)) lines.push_back(std::move(l));
    double widest = 0;
    for (const QString& l : lines) widest = std::max(widest, face.advance(l) * k);
    if (widest <= 0) return {};
    double width = referenceWidth > 0 ? referenceWidth : widest;
    double spacing = r.real(44).value_or(1);
    if (!(spacing > 0)) spacing = 1;
    double pitch = h * 5.0 / 3.0 * spacing;
    double height = h + static_cast<double>(lines.size() - 1) * pitch;
    long long attachment = std::clamp<long long>(r.integer(71, 1), 1, 9);
    long long column = (attachment - 1) % 3, row = (attachment - 1) / 3;
    double x0 = -width * static_cast<double>(column) / 2, top = height * static_cast<double>(row) / 2;

    host::Ocs ocs(host::normalOf(r));
    double rotation = host::radians(r.real(50).value_or(0));
    if (auto direction = host::pointOf(r, 11); direction && host::length(*direction) > 0) {
        host::Point3 inPlane = ocs.fromWorld(*direction);
        rotation = std::atan2(inPlane.y, inPlane.x);
    }
    host::Point3 anchor = ocs.fromWorld(host::pointOf(r, 10).value_or(host::Point3{}));
    QTransform place = turn(rotation, anchor) * planeTransform(r, anchor.z);
    QPainterPath out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& [glyphs, advance] = face.outline(lines[i]);
        double lineWidth = advance * k;
        double x = x0 + (column == 0 ? 0 : column == 1 ? (width - lineWidth) / 2 : width - lineWidth);
        double baseline = top - h - static_cast<double>(i) * pitch;
        out.addPath((QTransform(k, 0, 0, -k, x, baseline) * place).map(glyphs));
    }
    return out;
}

}  // namespace

std::string textShown(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && s[i + 1] == '%') {
            char code = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i + 2])));
            i += 2;
            if (std::isdigit(static_cast<unsigned char>(code))) {
                unsigned value = static_cast<unsigned>(code - '0');
                for (int digits = 1; digits < 3 && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]));
                     ++digits)
                    value = value * 10 + static_cast<unsigned>(s[++i] - '0');
                if (value >= 32) appendCodePoint(out, value);
            } else if (code == 'd') {
                appendCodePoint(out, 0xB0);
            } else if (code == 'p') {
                appendCodePoint(out, 0xB1);
            } else if (code == 'c') {
                appendCodePoint(out, 0x2300);
            } else if (code == '%') {
                out += '%';
            } else if (code != 'u' && code != 'o') {
                out += s[i];
            }
            continue;
        }
        // A character the drawing's code page lacks, as drawings of before UTF-8 keep it: \U+XXXX.
        if (s[i] == '\\' && i + 6 < s.size() && s[i + 1] == 'U' && s[i + 2] == '+' && isHex(s[i + 3]) &&
            isHex(s[i + 4]) && isHex(s[i + 5]) && isHex(s[i + 6])) {
            auto value = static_cast<char32_t>(std::stoul(std::string(s.substr(i + 3, 4)), nullptr, 16));
            if (value >= 32) appendCodePoint(out, value);
            i += 6;
            continue;
        }
        out += s[i];
    }
    return out;
}

std::vector<std::string> mtextParagraphs(std::string_view s) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '{' || c == '}') continue;
        if (c == '\n') {
            lines.emplace_back();
            continue;
        }
        if (c != '\\' || i + 1 >= s.size()) {
            lines.back() += c;
            continue;
        }
        char code = s[++i];
        switch (code) {
            case 'P': lines.emplace_back(); break;
            case '~': lines.back() += ' '; break;
            case '\\': case '{': case '}': lines.back() += code; break;
            case 'L': case 'l': case 'O': case 'o': case 'K': case 'k': break;
            case 'U':
                if (i + 5 < s.size() && s[i + 1] == '+' && isHex(s[i + 2]) && isHex(s[i + 3]) && isHex(s[i + 4]) &&
                    isHex(s[i + 5])) {
                    appendCodePoint(lines.back(),
                                    static_cast<char32_t>(std::stoul(std::string(s.substr(i + 2, 4)), nullptr, 16)));
                    i += 5;
                }
                break;
            case 'S': {  // a stacked fraction shows as "a/b"
                std::size_t end = s.find(';', i);
                if (end == std::string_view::npos) end = s.size();
                for (std::size_t k = i + 1; k < end; ++k) lines.back() += s[k] == '^' || s[k] == '#' ? '/' : s[k];
                i = end;
                break;
            }
            default: {  // \A1; \H2.5x; \fArial|b0; ...: a value up to ';'
                std::size_t end = s.find(';', i);
                i = end == std::string_view::npos ? s.size() : end;
            }
        }
    }
    return lines;
}

QPainterPath textOutline(const host::Database& db, const host::Record& r) {
    if (r.type == "MTEXT") return multiLine(db, r);
    if (r.type == "TEXT" || r.type == "ATTRIB" || r.type == "ATTDEF") return singleLine(db, r);
    return {};
}

}  // namespace zan::render
