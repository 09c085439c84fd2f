// Cell formats of a Range: the format walk shared by every setter, number
// formats, protection, alignment, and the Font and Interior proxies.
#include <functional>
#include <unordered_map>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/RangeFormatDetail.h"
#include "host/RowSpan.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {
// Maps an old format index to its changed, interned index. One changer is
// used for one ChangeFormat call, so each distinct old format is changed once.
class StyleMapper {
public:
    StyleMapper(StyleTable& table, const std::function<void(CellFormat&)>& change) : table_(table), change_(change) {}
    uint32_t operator()(uint32_t old) {
        auto it = cache_.find(old);
        if (it != cache_.end()) return it->second;
        CellFormat f = table_.Get(old);  // a copy: Intern may grow the table
        change_(f);
        uint32_t changed = table_.Intern(f);
        cache_.emplace(old, changed);
        return changed;
    }

private:
    StyleTable& table_;
    const std::function<void(CellFormat&)>& change_;
    std::unordered_map<uint32_t, uint32_t> cache_;
};

// Whole columns: the column formats change, and every stored cell of the
// columns. A row with a format of its own wins over the column, so its cells
// in these columns are stored explicitly with the changed row format.
void ChangeColumns(Worksheet& ws, const Rect& a, StyleMapper& map) {
    const bool wholeSheet = a.IsWholeRows();
    for (int32_t row = 1; row <= int32_t(ws.RowsData().size()); ++row) {
        Row& r = ws.RowsData()[row - 1];
        if (r.info.style && !wholeSheet) {
            rowspan::RewriteSpan(ws, row, a.left, a.right, [&](Cell& c) { c.style = map(c.style); });
            continue;
        }
        for (auto it = rowspan::FirstAtOrAfter(r.cells, a.left); it != r.cells.end() && it->col <= a.right; ++it)
            it->style = map(it->style);
        if (wholeSheet && r.info.style) r.info.style = map(r.info.style);
    }
    for (int32_t col = a.left; col <= a.right; ++col) {
        ColumnInfo& ci = ws.GetColumn(col);
        ci.style = map(ci.style);
    }
}

// Whole rows: the row formats change and every stored cell of the rows. In a
// row without a format of its own, a column format showed through; such cells
// are stored explicitly with the changed column format.
void ChangeRows(Worksheet& ws, const Rect& a, StyleMapper& map) {
    std::vector<int32_t> styledColumns;
    for (size_t i = 0; i < ws.ColumnsData().size(); ++i)
        if (ws.ColumnsData()[i].style) styledColumns.push_back(int32_t(i) + 1);
    for (int32_t row = a.top; row <= a.bottom; ++row) {
        Row& r = ws.GetRow(row);
        for (Cell& c : r.cells) c.style = map(c.style);
        if (!r.info.style) {
            for (int32_t col : styledColumns) {
                if (r.Find(col)) continue;
                uint32_t changed = map(ws.FindColumn(col)->style);
                r.Get(col).style = changed;
            }
        }
        r.info.style = map(r.info.style);
    }
}
}  // namespace

const CellFormat& TopLeftCellFormat(const Range& r) {
    const Worksheet& ws = r.Sheet();
    return ws.Parent().Styles().Get(ws.StyleAt(r.Row(), r.Column()));
}

const CellFormat& Range::TopLeftFormat() const { return TopLeftCellFormat(*this); }

void Range::ForEachFormat(const FormatChangerBase& change) const {
    Worksheet& ws = Sheet();
    std::function<void(CellFormat&)> fn = [&](CellFormat& f) { change(f); };
    StyleMapper map(ws.Parent().Styles(), fn);
    for (const Rect& a : areas_) {
        if (a.IsWholeColumns()) {
            ChangeColumns(ws, a, map);
        } else if (a.IsWholeRows()) {
            ChangeRows(ws, a, map);
        } else {
            for (int32_t row = a.top; row <= a.bottom; ++row)
                rowspan::RewriteSpan(ws, row, a.left, a.right, [&](Cell& c) { c.style = map(c.style); });
        }
    }
    ws.MarkChanged();
}

void Range::ClearFormats() {
    const CellFormat plain = Sheet().Parent().Styles().Default();
    ChangeFormat([&](CellFormat& f) { f = plain; });
}

std::string Range::NumberFormat() const { return TopLeftFormat().numberFormat; }
void Range::SetNumberFormat(const std::string& f) {
    std::string nf = f.empty() ? "General" : f;
    ChangeFormat([&](CellFormat& c) { c.numberFormat = nf; });
}

bool Range::Locked() const { return TopLeftFormat().protection.locked; }
void Range::SetLocked(bool l) {
    ChangeFormat([&](CellFormat& c) { c.protection.locked = l; });
}

// ----- alignment -----

namespace {
struct AlignName {
    int constant;
    const char* name;
};
constexpr AlignName kHorizontal[] = {
    {xlHAlignGeneral, ""}, {xlHAlignLeft, "left"}, {xlHAlignCenter, "center"}, {xlHAlignRight, "right"},
    {xlHAlignFill, "fill"}, {xlHAlignJustify, "justify"}, {xlHAlignCenterAcrossSelection, "centerContinuous"},
    {xlHAlignDistributed, "distributed"}};
constexpr AlignName kVertical[] = {{xlVAlignBottom, ""}, {xlVAlignTop, "top"}, {xlVAlignCenter, "center"},
                                   {xlVAlignJustify, "justify"}, {xlVAlignDistributed, "distributed"}};

template <size_t N>
int ConstantOf(const AlignName (&table)[N], const std::string& name, const char* implicitDefault) {
    const std::string& n = name == implicitDefault ? std::string() : name;
    for (const AlignName& a : table)
        if (n == a.name) return a.constant;
    return table[0].constant;
}
template <size_t N>
const char* NameOf(const AlignName (&table)[N], int constant) {
    for (const AlignName& a : table)
        if (a.constant == constant) return a.name;
    throw HostError("无效的对齐方式");
}

constexpr int xlHorizontal = -4128, xlVertical = -4166, xlUpward = -4171, xlDownward = -4170;
constexpr int kVerticalText = 255;  // the file's textRotation for stacked text
}  // namespace

int Range::HorizontalAlignment() const { return ConstantOf(kHorizontal, TopLeftFormat().alignment.horizontal, "general"); }
void Range::SetHorizontalAlignment(int a) {
    std::string name = NameOf(kHorizontal, a);
    ChangeFormat([&](CellFormat& c) { c.alignment.horizontal = name; });
}

int Range::VerticalAlignment() const { return ConstantOf(kVertical, TopLeftFormat().alignment.vertical, "bottom"); }
void Range::SetVerticalAlignment(int a) {
    std::string name = NameOf(kVertical, a);
    ChangeFormat([&](CellFormat& c) { c.alignment.vertical = name; });
}

bool Range::WrapText() const { return TopLeftFormat().alignment.wrapText; }
void Range::SetWrapText(bool w) {
    ChangeFormat([&](CellFormat& c) { c.alignment.wrapText = w; });
}

bool Range::ShrinkToFit() const { return TopLeftFormat().alignment.shrinkToFit; }
void Range::SetShrinkToFit(bool s) {
    ChangeFormat([&](CellFormat& c) { c.alignment.shrinkToFit = s; });
}

// Degrees counter-clockwise (-90 … 90), or xlVertical for stacked text. The
// file keeps 0–90 as they are, -1 … -90 as 91–180 and stacked text as 255.
int Range::Orientation() const {
    int rot = TopLeftFormat().alignment.textRotation;
    if (rot == kVerticalText) return xlVertical;
    return rot > 90 ? 90 - rot : rot;
}
void Range::SetOrientation(int degrees) {
    int rot;
    if (degrees == xlHorizontal) rot = 0;
    else if (degrees == xlVertical) rot = kVerticalText;
    else if (degrees == xlUpward) rot = 90;
    else if (degrees == xlDownward) rot = 180;
    else if (degrees >= -90 && degrees <= 90) rot = degrees >= 0 ? degrees : 90 - degrees;
    else throw HostError("文字方向必须在 -90 到 90 度之间");
    ChangeFormat([&](CellFormat& c) { c.alignment.textRotation = rot; });
}

int Range::IndentLevel() const { return TopLeftFormat().alignment.indent; }
void Range::SetIndentLevel(int n) {
    if (n < 0 || n > 250) throw HostError("缩进量必须在 0 到 250 之间");
    ChangeFormat([&](CellFormat& c) { c.alignment.indent = n; });
}

// ----- Font -----

namespace {
struct StyleName {
    bool bold, italic;
    const char* chinese;
    const char* english;
};
constexpr StyleName kFontStyles[] = {{false, false, "常规", "Regular"},
                                     {true, false, "加粗", "Bold"},
                                     {false, true, "倾斜", "Italic"},
                                     {true, true, "加粗 倾斜", "Bold Italic"}};

void CheckColorIndex(int i) {
    if ((i < 1 || i > 56) && i != xlColorIndexAutomatic && i != xlColorIndexNone && i != 0)
        throw HostError("颜色索引必须在 1 到 56 之间");
}
}  // namespace

FontProxy::FontProxy(const Range& r) : r_(r) {}

std::string FontProxy::Name() const { return TopLeftCellFormat(r_).font.name; }
void FontProxy::SetName(const std::string& n) {
    if (n.empty()) throw HostError("字体名称不能为空");
    r_.ChangeFormat([&](CellFormat& c) { c.font.name = n; });
}

std::string FontProxy::FontStyle() const {
    const Font& f = TopLeftCellFormat(r_).font;
    for (const StyleName& s : kFontStyles)
        if (s.bold == f.bold && s.italic == f.italic) return s.chinese;
    return kFontStyles[0].chinese;
}
void FontProxy::SetFontStyle(const std::string& style) {
    for (const StyleName& s : kFontStyles) {
        if (style == s.chinese || style == s.english) {
            r_.ChangeFormat([&](CellFormat& c) {
                c.font.bold = s.bold;
                c.font.italic = s.italic;
            });
            return;
        }
    }
    throw HostError("无效的字形：" + style);
}

double FontProxy::Size() const { return TopLeftCellFormat(r_).font.size; }
void FontProxy::SetSize(double pt) {
    if (!(pt >= 1 && pt <= 409)) throw HostError("字号必须在 1 到 409 磅之间");
    r_.ChangeFormat([&](CellFormat& c) { c.font.size = pt; });
}

bool FontProxy::Bold() const { return TopLeftCellFormat(r_).font.bold; }
void FontProxy::SetBold(bool b) {
    r_.ChangeFormat([&](CellFormat& c) { c.font.bold = b; });
}

bool FontProxy::Italic() const { return TopLeftCellFormat(r_).font.italic; }
void FontProxy::SetItalic(bool b) {
    r_.ChangeFormat([&](CellFormat& c) { c.font.italic = b; });
}

// A font without a colour of its own is drawn in the automatic colour.
int FontProxy::ColorIndex() const {
    const Color& c = TopLeftCellFormat(r_).font.color;
    return c.kind == Color::Kind::None ? xlColorIndexAutomatic : c.ColorIndex();
}
void FontProxy::SetColorIndex(int i) {
    CheckColorIndex(i);
    Color color = i == xlColorIndexNone ? Color{} : Color::FromColorIndex(i);
    r_.ChangeFormat([&](CellFormat& c) { c.font.color = color; });
}

bool FontProxy::Underline() const { return !TopLeftCellFormat(r_).font.underline.empty(); }
void FontProxy::SetUnderline(bool u) {
    r_.ChangeFormat([&](CellFormat& c) { c.font.underline = u ? "single" : ""; });
}

// ----- Interior -----

namespace {
constexpr uint32_t kSystemBackground = 64;  // the indexed colour files give a solid fill's background
uint32_t SwapRedBlue(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

void SetSolidFill(const Range& r, const Color& fg) {
    r.ChangeFormat([&](CellFormat& c) {
        c.fill.pattern = "solid";
        c.fill.fg = fg;
        c.fill.bg = Color{Color::Kind::Indexed, kSystemBackground, 0};
    });
}
}  // namespace

InteriorProxy::InteriorProxy(const Range& r) : r_(r) {}

int InteriorProxy::ColorIndex() const {
    const Fill& f = TopLeftCellFormat(r_).fill;
    if (f.pattern == "none" || f.pattern.empty()) return xlColorIndexNone;
    return f.fg.kind == Color::Kind::None ? xlColorIndexAutomatic : f.fg.ColorIndex();
}
void InteriorProxy::SetColorIndex(int i) {
    CheckColorIndex(i);
    if (i == xlColorIndexNone) {
        r_.ChangeFormat([](CellFormat& c) { c.fill = Fill{}; });
        return;
    }
    SetSolidFill(r_, Color::FromColorIndex(i));
}

// The host reports an unfilled cell as white.
uint32_t InteriorProxy::Color() const {
    const Fill& f = TopLeftCellFormat(r_).fill;
    if (f.pattern == "none" || f.pattern.empty()) return 0xFFFFFF;
    return SwapRedBlue(f.fg.ToRgb());
}
void InteriorProxy::SetColor(uint32_t bgr) {
    if (bgr > 0xFFFFFF) throw HostError("颜色值必须在 0 到 16777215 之间");
    SetSolidFill(r_, host::Color::FromRgb(SwapRedBlue(bgr)));
}

}  // namespace host
