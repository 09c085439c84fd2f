// Range.Borders and Range.BorderAround. An edge is stored on the cells of the
// range only (a left edge on the first column's left sides, not on the right
// sides of the column before), which is how files store it; when reading, a
// side without a line shows the neighbour's facing line, as the host draws it.
#include <vector>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {
enum class Side { Left, Right, Top, Bottom, DiagonalDown, DiagonalUp };

struct EdgeTarget {
    Rect cells;
    Side side;
};

// The file's line style names against the host's (LineStyle, Weight) pairs.
struct LineName {
    const char* name;
    int lineStyle;
    int weight;
};
constexpr LineName kLines[] = {
    {"thin", xlContinuous, xlThin},         {"medium", xlContinuous, xlMedium},
    {"thick", xlContinuous, xlThick},       {"hair", xlContinuous, xlHairline},
    {"double", xlDouble, xlThick},          {"dashed", xlDash, xlThin},
    {"mediumDashed", xlDash, xlMedium},     {"dotted", xlDot, xlThin},
    {"dashDot", xlDashDot, xlThin},         {"mediumDashDot", xlDashDot, xlMedium},
    {"dashDotDot", xlDashDotDot, xlThin},   {"mediumDashDotDot", xlDashDotDot, xlMedium},
    {"slantDashDot", xlSlantDashDot, xlMedium},
};

const LineName* Lookup(const std::string& name) {
    for (const LineName& l : kLines)
        if (name == l.name) return &l;
    return nullptr;
}

void CheckWeight(int w) {
    if (w != xlHairline && w != xlThin && w != xlMedium && w != xlThick) throw HostError("无效的边框粗细");
}

// The file's name for a line style drawn at a weight; "" for none.
std::string NameFor(int lineStyle, int weight) {
    CheckWeight(weight);
    bool heavy = weight == xlMedium || weight == xlThick;
    switch (lineStyle) {
        case xlLineStyleNone: return "";
        case xlContinuous:
            return weight == xlHairline ? "hair" : weight == xlMedium ? "medium" : weight == xlThick ? "thick" : "thin";
        case xlDash: return heavy ? "mediumDashed" : "dashed";
        case xlDot: return "dotted";
        case xlDouble: return "double";
        case xlDashDot: return heavy ? "mediumDashDot" : "dashDot";
        case xlDashDotDot: return heavy ? "mediumDashDotDot" : "dashDotDot";
        case xlSlantDashDot: return "slantDashDot";
        default: throw HostError("无效的边框线型");
    }
}

int LineStyleOf(const BorderLine& l) {
    const LineName* n = Lookup(l.style);
    return l.IsNone() ? xlLineStyleNone : n ? n->lineStyle : xlContinuous;
}
int WeightOf(const BorderLine& l) {
    const LineName* n = Lookup(l.style);
    return n ? n->weight : xlThin;
}

BorderLine& LineOf(Border& b, Side s) {
    switch (s) {
        case Side::Left: return b.left;
        case Side::Right: return b.right;
        case Side::Top: return b.top;
        case Side::Bottom: return b.bottom;
        default: return b.diagonal;
    }
}

// Where each border index of an area lives. Inside lines are the facing
// sides of neighbouring cells of the range. For whole rows or columns the
// inside lines along their full length go on every cell, so that the walk
// stays on the row or column formats instead of a million single cells.
void AddTargets(const Rect& a, XlBordersIndex which, std::vector<EdgeTarget>& out) {
    switch (which) {
        case xlEdgeLeft: out.push_back({{a.top, a.left, a.bottom, a.left}, Side::Left}); break;
        case xlEdgeRight: out.push_back({{a.top, a.right, a.bottom, a.right}, Side::Right}); break;
        case xlEdgeTop: out.push_back({{a.top, a.left, a.top, a.right}, Side::Top}); break;
        case xlEdgeBottom: out.push_back({{a.bottom, a.left, a.bottom, a.right}, Side::Bottom}); break;
        case xlInsideVertical:
            if (a.Columns() < 2) break;
            if (a.IsWholeRows() && !a.IsWholeColumns()) {
                out.push_back({a, Side::Right});
                out.push_back({a, Side::Left});
            } else {
                out.push_back({{a.top, a.left, a.bottom, a.right - 1}, Side::Right});
                out.push_back({{a.top, a.left + 1, a.bottom, a.right}, Side::Left});
            }
            break;
        case xlInsideHorizontal:
            if (a.Rows() < 2) break;
            if (a.IsWholeColumns()) {
                out.push_back({a, Side::Bottom});
                out.push_back({a, Side::Top});
            } else {
                out.push_back({{a.top, a.left, a.bottom - 1, a.right}, Side::Bottom});
                out.push_back({{a.top + 1, a.left, a.bottom, a.right}, Side::Top});
            }
            break;
        case xlDiagonalDown: out.push_back({a, Side::DiagonalDown}); break;
        case xlDiagonalUp: out.push_back({a, Side::DiagonalUp}); break;
        default: throw HostError("无效的边框索引");
    }
}

constexpr XlBordersIndex kAllBorders[] = {xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight,
                                          xlInsideVertical, xlInsideHorizontal};

// An edge already covered by an inside target of the same side is dropped:
// on whole columns the top and bottom edges would otherwise store cells in
// the sheet's first and last rows.
std::vector<EdgeTarget> Targets(const Range& r, std::optional<XlBordersIndex> which) {
    std::vector<EdgeTarget> out;
    for (const Rect& a : r.Areas()) {
        if (which) {
            AddTargets(a, *which, out);
            continue;
        }
        std::vector<EdgeTarget> all;
        for (XlBordersIndex i : kAllBorders) AddTargets(a, i, all);
        for (size_t i = 0; i < all.size(); ++i) {
            bool covered = false;
            for (size_t j = 0; j < all.size() && !covered; ++j)
                covered = j != i && all[j].side == all[i].side && all[j].cells.Contains(all[i].cells) &&
                          !(all[i].cells.Contains(all[j].cells) && j > i);
            if (!covered) out.push_back(all[i]);
        }
    }
    return out;
}

// Applies `change` to the line of every target side.
template <class Change>
void ChangeLines(const Range& r, std::optional<XlBordersIndex> which, Change&& change) {
    for (const EdgeTarget& t : Targets(r, which)) {
        Range(&r.Sheet(), t.cells).ChangeFormat([&](CellFormat& f) {
            BorderLine& line = LineOf(f.border, t.side);
            change(line);
            if (t.side == Side::DiagonalDown) f.border.diagonalDown = !line.IsNone();
            if (t.side == Side::DiagonalUp) f.border.diagonalUp = !line.IsNone();
        });
    }
}

// The line shown on one side of a cell: its own, else the facing side of its neighbour.
BorderLine ShownLine(const Worksheet& ws, int32_t row, int32_t col, Side side) {
    const StyleTable& styles = ws.Parent().Styles();
    Border own = styles.Get(ws.StyleAt(row, col)).border;
    if (side == Side::DiagonalDown) return own.diagonalDown ? own.diagonal : BorderLine{};
    if (side == Side::DiagonalUp) return own.diagonalUp ? own.diagonal : BorderLine{};
    const BorderLine& mine = LineOf(own, side);
    if (!mine.IsNone()) return mine;
    int32_t r = row, c = col;
    Side facing;
    switch (side) {
        case Side::Left: c--; facing = Side::Right; break;
        case Side::Right: c++; facing = Side::Left; break;
        case Side::Top: r--; facing = Side::Bottom; break;
        default: r++; facing = Side::Top; break;
    }
    if (r < 1 || c < 1 || r > kMaxRows || c > kMaxColumns) return {};
    Border other = styles.Get(ws.StyleAt(r, c)).border;
    return LineOf(other, facing);
}

// The line that Borders(which) reports: on the first target cell of the
// first area. Borders() without an index reports the top-left cell's top edge.
BorderLine ReportedLine(const Range& r, std::optional<XlBordersIndex> which) {
    std::vector<EdgeTarget> t;
    AddTargets(r.Area(), which.value_or(xlEdgeTop), t);
    if (t.empty()) return {};
    return ShownLine(r.Sheet(), t.front().cells.top, t.front().cells.left, t.front().side);
}
}  // namespace

BordersProxy::BordersProxy(const Range& r, std::optional<XlBordersIndex> which) : r_(r), which_(which) {}

int BordersProxy::LineStyle() const { return LineStyleOf(ReportedLine(r_, which_)); }
void BordersProxy::SetLineStyle(int s) {
    NameFor(s, xlThin);  // rejects an unknown style before anything changes
    ChangeLines(r_, which_, [&](BorderLine& l) {
        if (s == xlLineStyleNone) l = BorderLine{};
        else l.style = NameFor(s, WeightOf(l));
    });
}

int BordersProxy::Weight() const { return WeightOf(ReportedLine(r_, which_)); }
void BordersProxy::SetWeight(int w) {
    CheckWeight(w);
    ChangeLines(r_, which_, [&](BorderLine& l) {
        int style = LineStyleOf(l);
        l.style = NameFor(style == xlLineStyleNone ? xlContinuous : style, w);
    });
}

int BordersProxy::ColorIndex() const {
    BorderLine l = ReportedLine(r_, which_);
    if (l.IsNone()) return xlColorIndexNone;
    return l.color.kind == Color::Kind::None ? xlColorIndexAutomatic : l.color.ColorIndex();
}
// Colouring a side without a line draws a thin continuous one, as the host does.
void BordersProxy::SetColorIndex(int i) {
    if ((i < 1 || i > 56) && i != xlColorIndexAutomatic && i != 0) throw HostError("颜色索引必须在 1 到 56 之间");
    Color color = Color::FromColorIndex(i);
    ChangeLines(r_, which_, [&](BorderLine& l) {
        if (l.IsNone()) l.style = "thin";
        l.color = color;
    });
}

void Range::BorderAround(int weight, int colorIndex, int lineStyle) {
    std::string name = NameFor(lineStyle, weight);
    if ((colorIndex < 1 || colorIndex > 56) && colorIndex != xlColorIndexAutomatic && colorIndex != 0)
        throw HostError("颜色索引必须在 1 到 56 之间");
    BorderLine line{name, name.empty() ? Color{} : Color::FromColorIndex(colorIndex)};
    for (XlBordersIndex edge : {xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight})
        ChangeLines(*this, edge, [&](BorderLine& l) { l = line; });
}

}  // namespace host
