#include "gui/ClipboardTable.h"

#include <QColor>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "host/HostError.h"
#include "host/TypedInput.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellText.h"

namespace gui {

namespace {

// ----- reading HTML -----

struct Tag {
    QString name;  // lower case; "/td" for an end tag
    QHash<QString, QString> attrs;  // names in lower case; a bare attribute has an empty value
};

QString DecodeEntities(const QString& s) {
    if (!s.contains('&')) return s;
    static const QHash<QString, QString> named{{"amp", "&"},  {"lt", "<"},   {"gt", ">"},
                                               {"quot", "\""}, {"apos", "'"}, {"nbsp", QString(QChar(0xA0))}};
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const qsizetype semi = s.indexOf(';', i);
        if (semi < 0 || semi - i > 10) {
            out += s[i];
            continue;
        }
        const QString name = s.mid(i + 1, semi - i - 1);
        bool ok = false;
        if (name.startsWith('#')) {
            const uint code = name.startsWith("#x", Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok);
            if (ok) out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else if (named.contains(name.toLower())) {
            out += named.value(name.toLower());
            ok = true;
        }
        if (ok) i = semi;
        else out += s[i];
    }
    return out;
}

// CSS declarations "a:b; c:d" into a map (names in lower case, values trimmed, quotes kept).
QHash<QString, QString> Declarations(const QString& css) {
    QHash<QString, QString> out;
    for (const QString& part : css.split(';', Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(':');
        if (colon < 0) continue;
        out.insert(part.left(colon).trimmed().toLower(), part.mid(colon + 1).trimmed());
    }
    return out;
}

// Class rules of a <style> block: ".xl65 {…}" (also "td.xl65"), comments and
// other rules left out.
void ReadStyleRules(QString css, QHash<QString, QHash<QString, QString>>& rules) {
    css.remove(QRegularExpression(R"(/\*.*?\*/)", QRegularExpression::DotMatchesEverythingOption));
    css.remove("<!--").remove("-->");
    static const QRegularExpression rule(R"(([^{}]+)\{([^}]*)\})");
    for (auto it = rule.globalMatch(css); it.hasNext();) {
        const auto m = it.next();
        const QHash<QString, QString> decl = Declarations(m.captured(2));
        for (QString selector : m.captured(1).split(',')) {
            selector = selector.trimmed();
            const qsizetype dot = selector.indexOf('.');
            if (dot < 0) continue;
            QHash<QString, QString>& into = rules[selector.mid(dot + 1).toLower()];
            for (auto d = decl.begin(); d != decl.end(); ++d) into.insert(d.key(), d.value());
        }
    }
}

std::optional<uint32_t> ParseColor(QString v) {
    v = v.trimmed().remove('"').remove('\'');
    if (v.isEmpty() || v.compare("windowtext", Qt::CaseInsensitive) == 0 || v.compare("auto", Qt::CaseInsensitive) == 0)
        return std::nullopt;
    if (!v.startsWith('#') && QRegularExpression("^[0-9a-fA-F]{6}$").match(v).hasMatch()) v.prepend('#');
    const QColor c = QColor::fromString(v);
    if (!c.isValid() || c.alpha() == 0) return std::nullopt;
    return uint32_t(c.rgb() & 0xFFFFFF);
}

// "11.0pt", "15px", "12" (points) → points.
double ParseLength(QString v) {
    v = v.trimmed().toLower();
    bool ok = false;
    if (v.endsWith("pt")) return v.chopped(2).toDouble(&ok);
    if (v.endsWith("px")) {
        const double px = v.chopped(2).toDouble(&ok);
        return ok ? px * 0.75 : 0;
    }
    const double n = v.toDouble(&ok);
    return ok ? n : 0;
}

// A CSS border ("0.5pt solid windowtext", "1px solid #000000", "none") as a line of the host.
host::BorderLine ParseBorder(const QString& v) {
    host::BorderLine line;
    const QString s = v.toLower();
    if (s.isEmpty() || s.startsWith("none") || s.contains("hidden")) return line;
    double width = 0.5;
    static const QRegularExpression len(R"(([\d.]+)(pt|px))");
    if (const auto m = len.match(s); m.hasMatch()) width = ParseLength(m.captured(0));
    if (s.contains("double")) line.style = "double";
    else if (s.contains("dotted")) line.style = "dotted";
    else if (s.contains("dashed")) line.style = width > 1 ? "mediumDashed" : "dashed";
    else if (width >= 2) line.style = "thick";
    else if (width > 1) line.style = "medium";
    else line.style = "thin";
    static const QRegularExpression color(R"(#[0-9a-f]{6}|#[0-9a-f]{3}\b)");
    if (const auto m = color.match(s); m.hasMatch())
        if (auto rgb = ParseColor(m.captured(0))) line.color = host::Color::FromRgb(*rgb);
    return line;
}

// Applies CSS declarations to a format; true when any was one we know.
bool ApplyCss(const QHash<QString, QString>& d, host::CellFormat& f) {
    bool any = false;
    auto has = [&](const char* name) { return d.contains(QLatin1String(name)); };
    auto get = [&](const char* name) { return d.value(QLatin1String(name)); };
    if (has("font-weight")) {
        const QString w = get("font-weight").toLower();
        f.font.bold = w == "bold" || w.toInt() >= 600;
        any = true;
    }
    if (has("font-style")) {
        f.font.italic = get("font-style").toLower().contains("italic");
        any = true;
    }
    if (has("text-decoration")) {
        f.font.underline = get("text-decoration").toLower().contains("underline") ? "single" : "";
        any = true;
    }
    if (has("text-underline-style")) {
        const QString u = get("text-underline-style").toLower();
        f.font.underline = u == "none" ? "" : u.contains("double") ? "double" : "single";
        any = true;
    }
    if (has("font-family")) {
        QString name = get("font-family").split(',').front().trimmed().remove('"').remove('\'');
        if (!name.isEmpty()) {
            f.font.name = name.toStdString();
            any = true;
        }
    }
    if (has("font-size")) {
        if (double pt = ParseLength(get("font-size")); pt > 0) {
            f.font.size = pt;
            any = true;
        }
    }
    if (has("color")) {
        if (auto rgb = ParseColor(get("color"))) f.font.color = host::Color::FromRgb(*rgb);
        any = true;
    }
    for (const char* name : {"background", "background-color"}) {
        if (!has(name)) continue;
        if (auto rgb = ParseColor(get(name).split(' ').front())) {
            f.fill.pattern = "solid";
            f.fill.fg = host::Color::FromRgb(*rgb);
        }
        any = true;
    }
    if (has("text-align")) {
        const QString a = get("text-align").toLower();
        f.alignment.horizontal = a == "center" ? "center" : a == "right" ? "right" : a == "left" ? "left"
                               : a == "justify" ? "justify" : a.contains("centeracross") ? "centerContinuous" : "";
        any = true;
    }
    if (has("vertical-align")) {
        const QString a = get("vertical-align").toLower();
        f.alignment.vertical = a == "middle" ? "center" : a == "top" ? "top" : "";
        any = true;
    }
    if (has("white-space")) {
        f.alignment.wrapText = get("white-space").toLower() == "normal";
        any = true;
    }
    if (has("mso-number-format")) {
        QString nf = get("mso-number-format").remove('"').remove('\'');
        nf.replace("\\@", "@").replace("\\\\", "\\");
        if (nf == "@" || nf.compare("General", Qt::CaseInsensitive) == 0 || !nf.isEmpty()) {
            f.numberFormat = nf.compare("General", Qt::CaseInsensitive) == 0 ? "General" : nf.toStdString();
            any = true;
        }
    }
    if (has("border")) {
        const host::BorderLine b = ParseBorder(get("border"));
        f.border.left = f.border.right = f.border.top = f.border.bottom = b;
        any = true;
    }
    const std::pair<const char*, host::BorderLine host::Border::*> edges[] = {{"border-left", &host::Border::left},
                                                                           {"border-right", &host::Border::right},
                                                                           {"border-top", &host::Border::top},
                                                                           {"border-bottom", &host::Border::bottom}};
    for (const auto& [name, edge] : edges) {
        if (!has(name)) continue;
        f.border.*edge = ParseBorder(get(name));
        any = true;
    }
    return any;
}

class HtmlTableReader {
public:
    HtmlTableReader(const QString& html, const host::CellFormat& base) : s_(html), base_(base) {}

    ClipTable Read() {
        std::vector<std::pair<int, ClipCell>> cells;  // (row, cell) in source order
        int depth = 0;  // table nesting; only the first table counts
        bool inCell = false, done = false;
        int row = -1;
        ClipCell current;
        host::CellFormat cellFormat;
        std::vector<host::CellFormat> inline_;  // formats of <b>, <font> … open inside the cell
        // The format the cell's text was written in (inline tags close before the cell does).
        std::optional<host::CellFormat> textFormat;
        std::vector<double> widths;
        std::vector<double> heights;
        QString text;
        auto finishCell = [&] {
            if (!inCell) return;
            current.text = Tidy(text);
            current.format = textFormat ? *textFormat : cellFormat;
            current.styled = current.styled || !(current.format == base_);
            cells.emplace_back(row, current);
            inCell = false;
            inline_.clear();
            textFormat.reset();
            text.clear();
        };
        while (!done && pos_ < s_.size()) {
            if (s_[pos_] != '<') {
                const qsizetype next = s_.indexOf('<', pos_);
                const qsizetype end = next < 0 ? s_.size() : next;
                if (inCell) {
                    const QString piece = s_.mid(pos_, end - pos_);
                    if (!piece.trimmed().isEmpty() && !textFormat) textFormat = inline_.empty() ? cellFormat : inline_.back();
                    text += piece;
                }
                pos_ = end;
                continue;
            }
            if (s_.mid(pos_, 4) == "<!--") {
                const qsizetype end = s_.indexOf("-->", pos_);
                pos_ = end < 0 ? s_.size() : end + 3;
                continue;
            }
            const Tag tag = ReadTag();
            if (tag.name == "style") {
                const qsizetype end = s_.indexOf(QLatin1String("</style"), pos_, Qt::CaseInsensitive);
                ReadStyleRules(s_.mid(pos_, (end < 0 ? s_.size() : end) - pos_), rules_);
                pos_ = end < 0 ? s_.size() : end;
                continue;
            }
            if (tag.name == "table") {
                ++depth;
                continue;
            }
            if (tag.name == "/table") {
                if (--depth <= 0) {
                    finishCell();
                    done = true;
                }
                continue;
            }
            if (depth != 1) continue;
            if (tag.name == "col" || (tag.name == "colgroup" && tag.attrs.contains("width"))) {
                const int span = std::max(1, tag.attrs.value("span", "1").toInt());
                double w = Size(tag, "width");
                for (int i = 0; i < span; ++i) widths.push_back(w);
            } else if (tag.name == "tr") {
                finishCell();
                ++row;
                heights.push_back(Size(tag, "height"));
            } else if (tag.name == "td" || tag.name == "th") {
                finishCell();
                if (row < 0) {
                    row = 0;
                    heights.push_back(0);
                }
                inCell = true;
                current = ClipCell();
                cellFormat = base_;
                if (tag.name == "th") cellFormat.font.bold = true;
                current.styled = StyleOf(tag, cellFormat);
                current.rowSpan = std::max(1, tag.attrs.value("rowspan", "1").toInt());
                current.colSpan = std::max(1, tag.attrs.value("colspan", "1").toInt());
                bool ok = false;
                for (const char* raw : {"x:num", "sdval"}) {
                    const QString v = tag.attrs.value(raw);
                    if (v.isEmpty()) continue;
                    const double n = v.toDouble(&ok);
                    if (ok) current.number = n;
                }
                current.forceText = tag.attrs.contains("x:str");
            } else if (tag.name == "/td" || tag.name == "/th" || tag.name == "/tr") {
                finishCell();
            } else if (inCell) {
                InlineTag(tag, cellFormat, inline_, text);
            }
        }
        finishCell();
        return Place(cells, widths, heights);
    }

private:
    // Whitespace as a browser shows it: runs are one space, <br> is a line break.
    static QString Tidy(QString t) {
        t.replace(QRegularExpression(R"([ \t\r\n]+)"), " ");
        t = DecodeEntities(t);
        t.replace(QChar(0xA0), ' ');
        t.replace(QChar(0x2028), '\n');
        QStringList lines = t.split('\n');
        for (QString& l : lines) l = l.trimmed();
        return lines.join('\n');
    }

    // A size from an attribute in pixels or the style's width/height in points.
    static double Size(const Tag& tag, const char* name) {
        const QHash<QString, QString> d = Declarations(tag.attrs.value("style"));
        if (d.contains(QLatin1String(name))) return ParseLength(d.value(QLatin1String(name)));
        bool ok = false;
        const double px = tag.attrs.value(name).toDouble(&ok);
        return ok ? px * 0.75 : 0;
    }

    bool StyleOf(const Tag& tag, host::CellFormat& f) const {
        bool any = false;
        for (const QString& cls : tag.attrs.value("class").split(' ', Qt::SkipEmptyParts))
            if (auto it = rules_.find(cls.toLower()); it != rules_.end()) any |= ApplyCss(*it, f);
        if (tag.attrs.contains("bgcolor"))
            if (auto rgb = ParseColor(tag.attrs.value("bgcolor"))) {
                f.fill.pattern = "solid";
                f.fill.fg = host::Color::FromRgb(*rgb);
                any = true;
            }
        if (tag.attrs.contains("align")) any |= ApplyCss({{"text-align", tag.attrs.value("align")}}, f);
        if (tag.attrs.contains("valign")) any |= ApplyCss({{"vertical-align", tag.attrs.value("valign")}}, f);
        if (tag.attrs.contains("style")) any |= ApplyCss(Declarations(tag.attrs.value("style")), f);
        // "sdnum" with a text format ("2052;0;@") marks text in LibreOffice.
        if (tag.attrs.value("sdnum").endsWith(";@")) {
            f.numberFormat = "@";
            any = true;
        }
        return any;
    }

    // Tags inside a cell: bold, italic, underline, fonts, spans with a style, line breaks.
    void InlineTag(const Tag& tag, const host::CellFormat& cell, std::vector<host::CellFormat>& open, QString& text) {
        if (tag.name == "br") {
            text += QChar(0x2028);
            return;
        }
        if (tag.name == "p" || tag.name == "div" || tag.name == "/p" || tag.name == "/div") {
            if (!text.trimmed().isEmpty() && tag.name.startsWith('/')) text += QChar(0x2028);
            return;
        }
        static const QStringList kinds{"b", "strong", "i", "em", "u", "font", "span"};
        if (tag.name.startsWith('/')) {
            if (kinds.contains(tag.name.mid(1)) && !open.empty()) open.pop_back();
            return;
        }
        if (!kinds.contains(tag.name)) return;
        host::CellFormat f = open.empty() ? cell : open.back();
        if (tag.name == "b" || tag.name == "strong") f.font.bold = true;
        else if (tag.name == "i" || tag.name == "em") f.font.italic = true;
        else if (tag.name == "u") f.font.underline = "single";
        if (tag.name == "font") {
            if (tag.attrs.contains("face")) f.font.name = tag.attrs.value("face").split(',').front().trimmed().toStdString();
            if (auto rgb = ParseColor(tag.attrs.value("color"))) f.font.color = host::Color::FromRgb(*rgb);
        }
        if (tag.attrs.contains("style")) ApplyCss(Declarations(tag.attrs.value("style")), f);
        open.push_back(f);
    }

    Tag ReadTag() {
        Tag tag;
        ++pos_;  // '<'
        const qsizetype end = s_.indexOf('>', pos_);
        const QString body = s_.mid(pos_, (end < 0 ? s_.size() : end) - pos_);
        pos_ = end < 0 ? s_.size() : end + 1;
        qsizetype i = 0;
        while (i < body.size() && !body[i].isSpace() && body[i] != '/' ) ++i;
        if (i == 0 && body.startsWith('/')) {
            i = 1;
            while (i < body.size() && !body[i].isSpace()) ++i;
        }
        tag.name = body.left(i).toLower();
        static const QRegularExpression attr(R"re(([^\s=/]+)(?:\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))?)re");
        for (auto it = attr.globalMatch(body, i); it.hasNext();) {
            const auto m = it.next();
            QString value = m.captured(2);
            if (m.capturedStart(3) >= 0) value = m.captured(3);
            if (m.capturedStart(4) >= 0) value = m.captured(4);
            tag.attrs.insert(m.captured(1).toLower(), DecodeEntities(value));
        }
        return tag;
    }

    static ClipTable Place(const std::vector<std::pair<int, ClipCell>>& cells, const std::vector<double>& widths,
                           const std::vector<double>& heights) {
        ClipTable t;
        if (cells.empty()) return t;
        // Occupied positions, row by row, so that spans from above push cells right.
        std::vector<std::vector<bool>> taken;
        std::vector<std::tuple<int, int, const ClipCell*>> placed;
        auto isTaken = [&](int r, int c) { return size_t(r) < taken.size() && size_t(c) < taken[r].size() && taken[r][c]; };
        auto take = [&](int r, int c) {
            if (taken.size() <= size_t(r)) taken.resize(size_t(r) + 1);
            if (taken[r].size() <= size_t(c)) taken[r].resize(size_t(c) + 1);
            taken[r][c] = true;
        };
        int col = 0, lastRow = -1;
        for (const auto& [r, cell] : cells) {
            if (r != lastRow) {
                col = 0;
                lastRow = r;
            }
            while (isTaken(r, col)) ++col;
            placed.emplace_back(r, col, &cell);
            for (int dr = 0; dr < cell.rowSpan; ++dr)
                for (int dc = 0; dc < cell.colSpan; ++dc) take(r + dr, col + dc);
            col += cell.colSpan;
        }
        t.rows = int(taken.size());
        for (const auto& row : taken) t.cols = std::max(t.cols, int(row.size()));
        t.cells.assign(size_t(t.rows), std::vector<ClipCell>(size_t(t.cols)));
        for (const auto& [r, c, cell] : placed) {
            ClipCell& at = t.At(r, c);
            at = *cell;
            at.rowSpan = std::min(at.rowSpan, t.rows - r);
            at.colSpan = std::min(at.colSpan, t.cols - c);
            for (int dr = 0; dr < at.rowSpan; ++dr)
                for (int dc = 0; dc < at.colSpan; ++dc)
                    if (dr || dc) t.At(r + dr, c + dc).covered = true;
        }
        t.columnWidths.assign(size_t(t.cols), 0);
        for (size_t i = 0; i < widths.size() && i < size_t(t.cols); ++i) t.columnWidths[i] = widths[i];
        t.rowHeights.assign(size_t(t.rows), 0);
        for (size_t i = 0; i < heights.size() && i < size_t(t.rows); ++i) t.rowHeights[i] = heights[i];
        return t;
    }

    const QString& s_;
    host::CellFormat base_;
    qsizetype pos_ = 0;
    QHash<QString, QHash<QString, QString>> rules_;
};

// ----- writing HTML -----

QString Escape(const QString& s) {
    QString out = s.toHtmlEscaped();
    out.replace('\n', "<br>");
    // A tab as a character reference survives the reader's folding of whitespace.
    out.replace('\t', "&#9;");
    return out;
}

QString Hex(uint32_t rgb) { return QString("#%1").arg(rgb & 0xFFFFFF, 6, 16, QChar('0')).toUpper(); }

QString BorderCss(const host::BorderLine& b) {
    if (b.IsNone()) return {};
    const std::string& s = b.style;
    const QString width = s == "thick" ? "2.0pt" : (s == "medium" || s == "mediumDashed") ? "1.0pt" : "0.5pt";
    const QString kind = s == "double" ? "double" : s == "dotted" || s == "hair" ? "dotted"
                       : s.find("ash") != std::string::npos ? "dashed" : "solid";
    const QString color = b.color.kind == host::Color::Kind::None || b.color.kind == host::Color::Kind::Auto
                              ? QString("windowtext") : Hex(b.color.ToRgb());
    return QString("%1 %2 %3").arg(width, kind, color);
}

QString CellCss(const host::CellFormat& f, const host::CellFormat& base) {
    QStringList css;
    if (f.font.name != base.font.name) css << "font-family:" + QString::fromStdString(f.font.name);
    if (f.font.size != base.font.size) css << QString("font-size:%1pt").arg(f.font.size);
    if (f.font.bold) css << "font-weight:700";
    if (f.font.italic) css << "font-style:italic";
    if (!f.font.underline.empty()) css << "text-decoration:underline";
    if (f.font.color.kind == host::Color::Kind::Rgb || f.font.color.kind == host::Color::Kind::Indexed ||
        f.font.color.kind == host::Color::Kind::Theme)
        css << "color:" + Hex(f.font.color.ToRgb());
    if (f.fill.pattern != "none" && f.fill.fg.kind != host::Color::Kind::None)
        css << "background:" + Hex(f.fill.fg.ToRgb());
    const std::string& h = f.alignment.horizontal;
    if (h == "center" || h == "centerContinuous") css << "text-align:center";
    else if (h == "right") css << "text-align:right";
    else if (h == "left") css << "text-align:left";
    if (f.alignment.vertical == "center") css << "vertical-align:middle";
    else if (f.alignment.vertical == "top") css << "vertical-align:top";
    else css << "vertical-align:bottom";
    if (f.alignment.wrapText) css << "white-space:normal";
    if (f.numberFormat == "@") css << "mso-number-format:\"\\@\"";
    const std::pair<const char*, const host::BorderLine*> edges[] = {
        {"border-top", &f.border.top}, {"border-right", &f.border.right},
        {"border-bottom", &f.border.bottom}, {"border-left", &f.border.left}};
    for (const auto& [name, line] : edges)
        if (!line->IsNone()) css << QString(name) + ":" + BorderCss(*line);
    return css.join(';');
}

QString Shown(const host::Worksheet& ws, int32_t r, int32_t c) {
    const host::Variant& v = ws.ValueAt(r, c);
    if (v.IsEmpty()) return {};
    // Text as stored (the grid's shown text leaves out tabs and other control characters).
    if (v.IsText()) return QString::fromStdString(v.Text());
    const host::CellFormat& f = ws.Parent().Styles().Get(ws.StyleAt(r, c));
    return render::ShownText(v, f.numberFormat, ws.Parent().Date1904());
}

}  // namespace

ClipTable ParseClipboardHtml(const QString& html, const host::CellFormat& base) {
    const qsizetype table = html.indexOf(QLatin1String("<table"), 0, Qt::CaseInsensitive);
    if (table < 0) return {};
    // Style blocks come before the table; what lies between (the CF_HTML
    // header, <head>) is read for them alone.
    return HtmlTableReader(html, base).Read();
}

ClipTable ParseClipboardText(const QString& text) {
    ClipTable t;
    std::vector<std::vector<QString>> rows(1);
    QString field;
    bool quoted = false, fieldStarted = false;
    auto endField = [&] {
        rows.back().push_back(field);
        field.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (ch == '"') {
                quoted = false;
            } else {
                if (ch != '\r') field += ch;
            }
            continue;
        }
        if (ch == '"' && !fieldStarted && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else if (ch == '\t') {
            endField();
        } else if (ch == '\n' || ch == '\r') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endField();
            rows.emplace_back();
        } else {
            field += ch;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !rows.back().empty()) endField();
    if (rows.back().empty()) rows.pop_back();  // the final line break
    t.rows = int(rows.size());
    for (const auto& r : rows) t.cols = std::max(t.cols, int(r.size()));
    t.cells.assign(size_t(t.rows), std::vector<ClipCell>(size_t(t.cols)));
    for (int r = 0; r < t.rows; ++r)
        for (size_t c = 0; c < rows[size_t(r)].size(); ++c) t.At(r, int(c)).text = rows[size_t(r)][c];
    t.columnWidths.assign(size_t(t.cols), 0);
    t.rowHeights.assign(size_t(t.rows), 0);
    return t;
}

host::Rect ClipBlock(const ClipTable& table, host::CellRef at) {
    return {at.row, at.col, at.row + std::max(table.rows, 1) - 1, at.col + std::max(table.cols, 1) - 1};
}

void WriteClipTable(host::Worksheet& ws, const ClipTable& t, host::CellRef at, ClipPaste what) {
    if (t.Empty()) return;
    const host::Rect block = ClipBlock(t, at);
    if (block.bottom > host::kMaxRows || block.right > host::kMaxColumns) throw host::HostError("粘贴区域超出工作表");
    host::StyleTable& styles = ws.Parent().Styles();
    if (what == ClipPaste::ColumnWidths) {
        for (int c = 0; c < t.cols; ++c)
            if (t.columnWidths[size_t(c)] > 0)
                ws.SetColumnWidthChars(at.col + c,
                                       std::clamp(ws.CharsForPixels(int(std::lround(t.columnWidths[size_t(c)] / 0.75))), 0.0, 255.0));
        return;
    }
    if (what == ClipPaste::All || what == ClipPaste::Formats) ws.MergedAreas().RemoveIntersecting(block);
    for (int r = 0; r < t.rows; ++r) {
        for (int c = 0; c < t.cols; ++c) {
            const ClipCell& cell = t.At(r, c);
            const int32_t row = at.row + r, col = at.col + c;
            if (what == ClipPaste::All || what == ClipPaste::Formats) {
                const uint32_t style = cell.styled ? styles.Intern(cell.format) : 0;
                if (style || ws.FindCell(row, col)) ws.GetCell(row, col).style = style;
            }
            if (what == ClipPaste::Formats) continue;
            const bool textFormat = styles.Get(ws.StyleAt(row, col)).numberFormat == "@";
            if (cell.covered || cell.text.isEmpty()) {
                ws.SetValueAt(row, col, host::Variant());
            } else if (cell.number && !cell.forceText && !textFormat) {
                ws.SetValueAt(row, col, host::Variant(*cell.number));
            } else if (cell.forceText || textFormat) {
                ws.SetValueAt(row, col, host::Variant(cell.text.toStdString()));
            } else {
                // Typed as a user would type it, but a pasted "=…" is text
                // unless it came from a formula-aware source (it never does here).
                host::TypedEntry e = host::ParseTypedEntry(cell.text.toStdString(), false);
                ws.SetValueAt(row, col, e.isFormula ? host::Variant(cell.text.toStdString()) : std::move(e.value));
            }
            if (host::Cell* stored = ws.GetRow(row).Find(col); stored && stored->IsBlank()) ws.EraseCell(row, col);
        }
    }
    if (what == ClipPaste::All || what == ClipPaste::Formats)
        for (int r = 0; r < t.rows; ++r)
            for (int c = 0; c < t.cols; ++c) {
                const ClipCell& cell = t.At(r, c);
                if (!cell.covered && (cell.rowSpan > 1 || cell.colSpan > 1))
                    ws.MergedAreas().push_back({at.row + r, at.col + c, at.row + r + cell.rowSpan - 1,
                                                at.col + c + cell.colSpan - 1});
            }
    ws.MarkChanged();
}

QString ClipboardText(const host::Worksheet& ws, const host::Rect& b) {
    QString out;
    for (int32_t r = b.top; r <= b.bottom; ++r) {
        for (int32_t c = b.left; c <= b.right; ++c) {
            if (c > b.left) out += '\t';
            QString v = Shown(ws, r, c);
            if (v.contains('\t') || v.contains('\n') || v.contains('"')) v = '"' + v.replace("\"", "\"\"") + '"';
            out += v;
        }
        out += "\r\n";
    }
    return out;
}

QString ClipboardHtml(const host::Worksheet& ws, const host::Rect& b) {
    const host::StyleTable& styles = ws.Parent().Styles();
    QString out =
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
        "<head><meta charset=\"utf-8\"></head><body><table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" "
        "style=\"border-collapse:collapse\">";
    for (int32_t c = b.left; c <= b.right; ++c) {
        const double pt = ws.ColumnWidthPoints(c);
        out += QString("<col width=\"%1\" style=\"width:%2pt\">").arg(std::lround(pt / 0.75)).arg(pt);
    }
    for (int32_t r = b.top; r <= b.bottom; ++r) {
        const double pt = ws.RowHeightPoints(r);
        out += QString("<tr height=\"%1\" style=\"height:%2pt\">").arg(std::lround(pt / 0.75)).arg(pt);
        for (int32_t c = b.left; c <= b.right; ++c) {
            const host::Rect* m = ws.MergeAreaAt(r, c);
            if (m && (m->top != r || m->left != c)) continue;
            out += "<td";
            if (m) {
                const int rows = std::min(m->bottom, b.bottom) - r + 1, cols = std::min(m->right, b.right) - c + 1;
                if (rows > 1) out += QString(" rowspan=\"%1\"").arg(rows);
                if (cols > 1) out += QString(" colspan=\"%1\"").arg(cols);
            }
            const host::CellFormat& f = styles.Get(ws.StyleAt(r, c));
            const host::Variant& v = ws.ValueAt(r, c);
            if (v.IsNumber()) out += QString(" x:num=\"%1\"").arg(v.Number(), 0, 'g', 17);
            const QString css = CellCss(f, styles.Default());
            if (!css.isEmpty()) out += " style=\"" + css.toHtmlEscaped() + "\"";
            out += ">" + Escape(Shown(ws, r, c)) + "</td>";
        }
        out += "</tr>";
    }
    out += "</table></body></html>";
    return out;
}

}  // namespace gui
