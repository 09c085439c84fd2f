#include "host/Dump.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "host/Workbook.h"

// Shape of the dump (one fact per line, in this order):
//
//   workbook name="Book.xlsx" sheets=2 active=1 date1904=0 vba=0
//   default font=宋体/11                    the default format against the built-in one
//   name "Total" scope=workbook hidden=0 "Sheet1!$A$1:$A$9"
//   sheet 1 name="Sheet1" code=Sheet1 visible=-1 protected=1 scroll="" …
//   protection Sheet1 legacy= algorithm=SHA-512 spin=100000 hash="…" salt="…" objects=1
//   pagesetup Sheet1 area="$A$1:$H$40" titlerows="$1:$2" … margins=50.4,50.4,54,54,21.6,21.6
//   printsetup Sheet1 order=down first=auto gridlines=0 headings=0 rowbreaks=10,20 colbreaks=   (when not all default)
//   col Sheet1!A width=10.5 custom=1 hidden=0 fill=solid/fg:FFFF00
//   row Sheet1!3 height=20 custom=1 hidden=1
//   cell Sheet1!A3 text "学号" fmt="@" font=黑体/12/b
//   merge Sheet1!A1:B2
//   picture Sheet1 "图片 1" jpeg from=B2+0,0 to=D6+0,0 size=952500x952500 bytes=1234 descr=""
//
// Text is quoted with \" \\ \t \n \r and \xHH escapes, so every fact stays on
// one line. Cells, rows and columns list only the format facts that differ
// from the workbook's default format.

namespace host {

namespace {

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    out += buf;
                } else {
                    out += char(c);
                }
        }
    }
    return out + "\"";
}

// A sheet name as the start of a reference: plain when it cannot be misread.
std::string SheetRef(const std::string& name) {
    bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char ch) {
        unsigned char c = static_cast<unsigned char>(ch);
        return c >= 0x80 || std::isalnum(c) || c == '_' || c == '.';
    });
    return plain ? name : Quote(name);
}

// The shortest form that reads back as the same double.
std::string Num(double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v == 0 ? 0.0 : v);
    return std::string(buf, r.ptr);
}

// Margins pass through inches in the file; six significant digits hide the rounding.
std::string Short(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

std::string ColorText(const Color& c) {
    char buf[32];
    switch (c.kind) {
        case Color::Kind::None: return "none";
        case Color::Kind::Auto: return "auto";
        case Color::Kind::Indexed: std::snprintf(buf, sizeof buf, "idx:%u", c.value); break;
        case Color::Kind::Rgb:
            if ((c.value >> 24) == 0xFF) std::snprintf(buf, sizeof buf, "%06X", c.value & 0xFFFFFF);
            else std::snprintf(buf, sizeof buf, "%08X", c.value);
            break;
        case Color::Kind::Theme: std::snprintf(buf, sizeof buf, "theme:%u", c.value); break;
    }
    std::string s = buf;
    if (c.tint != 0) s += "~" + Num(c.tint);
    return s;
}

std::string FontText(const Font& f) {
    std::string s = f.name + "/" + Num(f.size);
    if (f.bold) s += "/b";
    if (f.italic) s += "/i";
    if (f.strike) s += "/strike";
    if (!f.underline.empty()) s += "/u:" + f.underline;
    if (f.color.kind != Color::Kind::None) s += "/color:" + ColorText(f.color);
    if (f.charset != 134) s += "/charset:" + std::to_string(f.charset);
    if (!f.scheme.empty()) s += "/scheme:" + f.scheme;
    return s;
}

std::string FillText(const Fill& f) {
    std::string s = f.pattern;
    if (f.fg.kind != Color::Kind::None) s += "/fg:" + ColorText(f.fg);
    if (f.bg.kind != Color::Kind::None) s += "/bg:" + ColorText(f.bg);
    return s;
}

std::string BorderText(const Border& b) {
    std::string s;
    auto line = [&](const char* side, const BorderLine& l) {
        if (l.IsNone()) return;
        if (!s.empty()) s += ';';
        s += std::string(side) + ":" + l.style;
        if (l.color.kind != Color::Kind::None) s += "@" + ColorText(l.color);
    };
    line("left", b.left);
    line("right", b.right);
    line("top", b.top);
    line("bottom", b.bottom);
    line("diagonal", b.diagonal);
    if (b.diagonalUp) s += s.empty() ? "up" : ";up";
    if (b.diagonalDown) s += s.empty() ? "down" : ";down";
    return s.empty() ? "none" : s;
}

std::string AlignText(const Alignment& a) {
    std::string s;
    auto add = [&](const std::string& part) { s += (s.empty() ? "" : ";") + part; };
    if (!a.horizontal.empty()) add("h:" + a.horizontal);
    if (!a.vertical.empty()) add("v:" + a.vertical);
    if (a.wrapText) add("wrap");
    if (a.shrinkToFit) add("shrink");
    if (a.indent) add("indent:" + std::to_string(a.indent));
    if (a.textRotation) add("rot:" + std::to_string(a.textRotation));
    return s.empty() ? "general" : s;
}

// The facts of `f` that differ from `base`, each as " key=value".
std::string StyleFacts(const CellFormat& f, const CellFormat& base) {
    std::string s;
    if (f.numberFormat != base.numberFormat) s += " fmt=" + Quote(f.numberFormat);
    if (!(f.font == base.font)) s += " font=" + FontText(f.font);
    if (!(f.fill == base.fill)) s += " fill=" + FillText(f.fill);
    if (!(f.border == base.border)) s += " border=" + BorderText(f.border);
    if (!(f.alignment == base.alignment)) s += " align=" + AlignText(f.alignment);
    if (f.protection.locked != base.protection.locked) s += std::string(" locked=") + (f.protection.locked ? "1" : "0");
    if (f.protection.hidden != base.protection.hidden) s += std::string(" hidden=") + (f.protection.hidden ? "1" : "0");
    return s;
}

std::string ValueText(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty: return "empty";
        case VarType::Number: return "number " + Num(v.Number());
        case VarType::Text: return "text " + Quote(v.Text());
        case VarType::Boolean: return v.BooleanValue() ? "bool TRUE" : "bool FALSE";
        case VarType::Error: return std::string("error ") + ErrorText(v.ErrorValue());
    }
    return {};
}

class Dumper {
public:
    explicit Dumper(const Workbook& wb) : wb_(wb), base_(wb.Styles().Default()) {}

    std::string Run() {
        WorkbookFacts();
        for (int i = 1; i <= wb_.SheetCount(); ++i) SheetFacts(i, wb_.Sheet(i));
        return out_;
    }

private:
    void Line(const std::string& s) { out_ += s + "\n"; }
    std::string Facts(uint32_t style) const { return style ? StyleFacts(wb_.Styles().Get(style), base_) : ""; }

    void WorkbookFacts() {
        const Worksheet* active = wb_.ActiveSheet();
        Line("workbook name=" + Quote(wb_.Name()) + " sheets=" + std::to_string(wb_.SheetCount()) +
             " active=" + std::to_string(active ? active->Index() : 0) + " date1904=" + (wb_.Date1904() ? "1" : "0") +
             " vba=" + std::to_string(wb_.VbaProject() ? wb_.VbaProject()->size() : 0));
        Line("default" + StyleFacts(base_, CellFormat{}));
        std::vector<const DefinedName*> names;
        for (const DefinedName& d : wb_.DefinedNames()) names.push_back(&d);
        std::sort(names.begin(), names.end(), [](const DefinedName* a, const DefinedName* b) {
            return std::tie(a->localSheet, a->name) < std::tie(b->localSheet, b->name);
        });
        for (const DefinedName* d : names) {
            std::string scope = d->localSheet < 0 || d->localSheet >= wb_.SheetCount()
                                    ? std::string("workbook") : SheetRef(wb_.Sheet(d->localSheet + 1).Name());
            Line("name " + Quote(d->name) + " scope=" + scope + " hidden=" + (d->hidden ? "1" : "0") + " " +
                 Quote(d->formula));
        }
    }

    void SheetFacts(int index, const Worksheet& ws) {
        std::string ref = SheetRef(ws.Name());
        CellRef a = ws.ActiveCell();
        Line("sheet " + std::to_string(index) + " name=" + Quote(ws.Name()) + " code=" + SheetRef(ws.CodeName()) +
             " visible=" + std::to_string(ws.Visible()) + " protected=" + (ws.ProtectContents() ? "1" : "0") +
             " scroll=" + Quote(ws.ScrollArea()) + " grid=" + (ws.ShowGridLines() ? "1" : "0") +
             " activecell=" + CellAddress(a.row, a.col) + " selection=" + Quote(ws.Selection()) +
             " colwidth=" + Num(ws.DefaultColumnWidth()) + " rowheight=" + Num(ws.StandardHeight()));
        ProtectionFacts(ref, ws.Protection());
        PageSetupFacts(ref, ws.PageSetup());
        for (size_t c = 0; c < ws.ColumnsData().size(); ++c) {
            const ColumnInfo& ci = ws.ColumnsData()[c];
            if (ci.IsDefault()) continue;
            // The width in effect: a column without its own width has the sheet's.
            double width = ci.width > 0 ? ci.width : ws.DefaultColumnWidth();
            Line("col " + ref + "!" + ColumnLetters(int32_t(c + 1)) + " width=" + Num(width) +
                 " custom=" + (ci.customWidth ? "1" : "0") + " hidden=" + (ci.hidden ? "1" : "0") + Facts(ci.style));
        }
        for (size_t r = 0; r < ws.RowsData().size(); ++r) RowFacts(ref, int32_t(r + 1), ws.RowsData()[r]);
        std::vector<Rect> merges = ws.MergedAreas().Areas();
        std::sort(merges.begin(), merges.end(), [](const Rect& x, const Rect& y) {
            return std::tie(x.top, x.left, x.bottom, x.right) < std::tie(y.top, y.left, y.bottom, y.right);
        });
        for (const Rect& m : merges) Line("merge " + ref + "!" + AreaAddress(m, false, false));
        for (const Picture& p : ws.Pictures()) PictureFacts(ref, p);
    }

    void RowFacts(const std::string& ref, int32_t r, const Row& row) {
        const RowInfo& info = row.info;
        if (!info.IsDefault())
            Line("row " + ref + "!" + std::to_string(r) + " height=" + Num(info.height) + " custom=" +
                 (info.customHeight ? "1" : "0") + " hidden=" + (info.hidden ? "1" : "0") + Facts(info.style));
        for (const Cell& c : row.cells) {
            std::string facts = Facts(c.style);
            if (c.value.IsEmpty() && !c.formula && facts.empty()) continue;
            std::string line = "cell " + ref + "!" + CellAddress(r, c.col) + " " + ValueText(c.value);
            if (c.formula) line += " formula " + Quote(*c.formula);
            Line(line + facts);
        }
    }

    void ProtectionFacts(const std::string& ref, const SheetProtection& p) {
        if (!p.enabled) return;
        std::string line = "protection " + ref + " legacy=" + p.legacyHash + " algorithm=" + p.algorithmName +
                           " spin=" + std::to_string(p.spinCount) + " hash=" + Quote(p.hashValue) +
                           " salt=" + Quote(p.saltValue);
        auto options = p.options;
        std::sort(options.begin(), options.end());
        for (const auto& [k, v] : options) line += " " + k + "=" + v;
        Line(line);
    }

    void PageSetupFacts(const std::string& ref, const PageSetup& ps) {
        Line("pagesetup " + ref + " area=" + Quote(ps.PrintArea) + " titlerows=" + Quote(ps.PrintTitleRows) +
             " titlecols=" + Quote(ps.PrintTitleColumns) + " paper=" + std::to_string(ps.PaperSize) +
             " orientation=" + std::to_string(ps.Orientation) + " zoom=" + std::to_string(ps.Zoom) +
             " fit=" + std::to_string(ps.FitToPagesWide) + "x" + std::to_string(ps.FitToPagesTall) +
             " margins=" + Short(ps.LeftMargin) + "," + Short(ps.RightMargin) + "," + Short(ps.TopMargin) + "," +
             Short(ps.BottomMargin) + "," + Short(ps.HeaderMargin) + "," + Short(ps.FooterMargin) +
             " center=" + (ps.CenterHorizontally ? "1" : "0") + "," + (ps.CenterVertically ? "1" : "0") +
             " header=" + Quote(ps.LeftHeader) + "," + Quote(ps.CenterHeader) + "," + Quote(ps.RightHeader) +
             " footer=" + Quote(ps.LeftFooter) + "," + Quote(ps.CenterFooter) + "," + Quote(ps.RightFooter));
        if (ps.OddAndEvenPagesHeaderFooter || ps.DifferentFirstPageHeaderFooter || !ps.ScaleWithDocHeaderFooter ||
            !ps.AlignMarginsHeaderFooter) {
            auto sections = [&](const HeaderFooterSections& h) {
                return Quote(h.LeftHeader) + "," + Quote(h.CenterHeader) + "," + Quote(h.RightHeader) + "/" +
                       Quote(h.LeftFooter) + "," + Quote(h.CenterFooter) + "," + Quote(h.RightFooter);
            };
            Line("headerfooter " + ref + " scalewithdoc=" + (ps.ScaleWithDocHeaderFooter ? "1" : "0") +
                 " alignmargins=" + (ps.AlignMarginsHeaderFooter ? "1" : "0") +
                 (ps.OddAndEvenPagesHeaderFooter ? " even=" + sections(ps.EvenPage) : std::string()) +
                 (ps.DifferentFirstPageHeaderFooter ? " first=" + sections(ps.FirstPage) : std::string()));
        }
        // Settings most sheets leave at their defaults get a line only when set.
        if (ps.Order == xlDownThenOver && ps.FirstPageNumber == xlAutomatic && !ps.PrintGridlines &&
            !ps.PrintHeadings && ps.RowBreaks.empty() && ps.ColumnBreaks.empty())
            return;
        auto list = [](const std::vector<int32_t>& v) {
            std::string s;
            for (int32_t n : v) s += (s.empty() ? "" : ",") + std::to_string(n);
            return s;
        };
        Line("printsetup " + ref + " order=" + (ps.Order == xlOverThenDown ? "over" : "down") +
             " first=" + (ps.FirstPageNumber == xlAutomatic ? std::string("auto") : std::to_string(ps.FirstPageNumber)) +
             " gridlines=" + (ps.PrintGridlines ? "1" : "0") + " headings=" + (ps.PrintHeadings ? "1" : "0") +
             " rowbreaks=" + list(ps.RowBreaks) + " colbreaks=" + list(ps.ColumnBreaks));
    }

    void PictureFacts(const std::string& ref, const Picture& p) {
        auto anchor = [](const CellAnchor& a) {
            return CellAddress(a.row, a.col) + "+" + std::to_string(a.colOffset) + "," + std::to_string(a.rowOffset);
        };
        Line("picture " + ref + " " + Quote(p.name) + " " + p.extension + " from=" + anchor(p.from) +
             " to=" + anchor(p.to) + " size=" + std::to_string(p.widthEmu) + "x" + std::to_string(p.heightEmu) +
             " bytes=" + std::to_string(p.data ? p.data->size() : 0) + " descr=" + Quote(p.description));
    }

    const Workbook& wb_;
    const CellFormat& base_;
    std::string out_;
};

}  // namespace

std::string Dump(const Workbook& wb) { return Dumper(wb).Run(); }

}  // namespace host
