#include "gui/FormatActions.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>
#include <set>

#include "gui/FormatCellsDialog.h"
#include "gui/HostWindow.h"
#include "gui/PageSetupDialog.h"
#include "gui/QtToolkit.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "workbook/SystemNames.h"

namespace gui {

namespace {

const std::string kTitle(workbook::kProductName);

host::Rect Bounds(const std::vector<host::Rect>& areas) {
    host::Rect b = areas.front();
    for (const host::Rect& a : areas) {
        b.top = std::min(b.top, a.top);
        b.left = std::min(b.left, a.left);
        b.bottom = std::max(b.bottom, a.bottom);
        b.right = std::max(b.right, a.right);
    }
    return b;
}

CellBlock BlockOf(const host::Rect& r) { return {r.top, r.left, r.bottom, r.right}; }

// A selected area reaching into a merged area takes all of it, as the host selects.
host::Rect WithMerges(const host::Worksheet& ws, host::Rect r) {
    for (bool grown = true; grown;) {
        grown = false;
        for (const host::Rect& m : ws.MergedAreas()) {
            if (!m.Intersects(r) || r.Contains(m)) continue;
            r = {std::min(r.top, m.top), std::min(r.left, m.left), std::max(r.bottom, m.bottom),
                 std::max(r.right, m.right)};
            grown = true;
        }
    }
    return r;
}

}  // namespace

bool FormatEdit::Empty() const {
    return !numberFormat && !horizontal && !vertical && !wrap && !shrink && !merge && !fontName && !fontSize && !bold &&
           !italic && !underline && !fontColor && !fill && borders.empty();
}

const std::vector<NumberFormatChoice>& NumberFormatChoices() {
    static const std::vector<NumberFormatChoice> choices = {
        {"常规", "General"}, {"数值", "0.00"}, {"整数", "0"}, {"文本", "@"}, {"日期", "yyyy/m/d"}, {"长日期", "yyyy\"年\"m\"月\"d\"日\""},
        {"时间", "h:mm"}, {"百分比", "0.00%"}};
    return choices;
}

QStringList OfferedFontNames() {
    return {"宋体", "黑体", "楷体", "仿宋", "微软雅黑", "等线", "新宋体", "Arial", "Times New Roman", "Calibri"};
}

void ApplyFormatEdit(host::Range& r, const FormatEdit& e) {
    if (e.merge) {
        if (*e.merge) r.Merge();
        else r.UnMerge();
    }
    if (e.numberFormat) r.SetNumberFormat(*e.numberFormat);
    if (e.horizontal) r.SetHorizontalAlignment(*e.horizontal);
    if (e.vertical) r.SetVerticalAlignment(*e.vertical);
    if (e.wrap) r.SetWrapText(*e.wrap);
    if (e.shrink) r.SetShrinkToFit(*e.shrink);
    host::FontProxy font = r.Font();
    if (e.fontName) font.SetName(*e.fontName);
    if (e.fontSize) font.SetSize(*e.fontSize);
    if (e.bold) font.SetBold(*e.bold);
    if (e.italic) font.SetItalic(*e.italic);
    if (e.underline) font.SetUnderline(*e.underline);
    if (e.fontColor) font.SetColorIndex(*e.fontColor);
    if (e.fill) r.Interior().SetColorIndex(*e.fill);
    for (const auto& [edge, pen] : e.borders) {
        host::BordersProxy b = r.Borders(host::XlBordersIndex(edge));
        if (pen.lineStyle == host::xlLineStyleNone) {
            b.SetLineStyle(host::xlLineStyleNone);
            continue;
        }
        b.SetLineStyle(pen.lineStyle);
        b.SetWeight(pen.weight);
        b.SetColorIndex(pen.colorIndex);
    }
}

void ApplyBorderPreset(host::Range& r, BorderPreset preset, const BorderPen& pen) {
    auto draw = [&](host::BordersProxy b, const BorderPen& p) {
        if (p.lineStyle == host::xlLineStyleNone) return b.SetLineStyle(host::xlLineStyleNone);
        b.SetLineStyle(p.lineStyle);
        b.SetWeight(p.weight);
        b.SetColorIndex(p.colorIndex);
    };
    switch (preset) {
        case BorderPreset::All: draw(r.Borders(), pen); break;
        case BorderPreset::Outside:
            for (host::XlBordersIndex e : {host::xlEdgeLeft, host::xlEdgeTop, host::xlEdgeBottom, host::xlEdgeRight})
                draw(r.Borders(e), pen);
            break;
        case BorderPreset::ThickOutside: {
            BorderPen thick = pen;
            thick.lineStyle = host::xlContinuous;
            thick.weight = host::xlMedium;
            for (host::XlBordersIndex e : {host::xlEdgeLeft, host::xlEdgeTop, host::xlEdgeBottom, host::xlEdgeRight})
                draw(r.Borders(e), thick);
            break;
        }
        case BorderPreset::None: {
            r.Borders().SetLineStyle(host::xlLineStyleNone);
            host::Worksheet& ws = r.Sheet();
            for (const host::Rect& a : r.Areas()) {
                // The neighbours' facing lines show on the range's edges: they go too.
                if (a.top > 1)
                    host::Range(&ws, host::Rect{a.top - 1, a.left, a.top - 1, a.right}).Borders(host::xlEdgeBottom).SetLineStyle(host::xlLineStyleNone);
                if (a.bottom < host::kMaxRows)
                    host::Range(&ws, host::Rect{a.bottom + 1, a.left, a.bottom + 1, a.right}).Borders(host::xlEdgeTop).SetLineStyle(host::xlLineStyleNone);
                if (a.left > 1)
                    host::Range(&ws, host::Rect{a.top, a.left - 1, a.bottom, a.left - 1}).Borders(host::xlEdgeRight).SetLineStyle(host::xlLineStyleNone);
                if (a.right < host::kMaxColumns)
                    host::Range(&ws, host::Rect{a.top, a.right + 1, a.bottom, a.right + 1}).Borders(host::xlEdgeLeft).SetLineStyle(host::xlLineStyleNone);
            }
            break;
        }
        case BorderPreset::Top: draw(r.Borders(host::xlEdgeTop), pen); break;
        case BorderPreset::Bottom: draw(r.Borders(host::xlEdgeBottom), pen); break;
        case BorderPreset::Left: draw(r.Borders(host::xlEdgeLeft), pen); break;
        case BorderPreset::Right: draw(r.Borders(host::xlEdgeRight), pen); break;
        case BorderPreset::InsideHorizontal: draw(r.Borders(host::xlInsideHorizontal), pen); break;
        case BorderPreset::InsideVertical: draw(r.Borders(host::xlInsideVertical), pen); break;
    }
}

std::string AreasText(const std::vector<host::Rect>& areas) {
    std::string s;
    for (const host::Rect& a : areas) {
        if (!s.empty()) s += ',';
        s += host::AreaAddress(a);
    }
    return s;
}

FormatActions::FormatActions(HostWindow& window, QtToolkit& toolkit, QObject* parent)
    : QObject(parent), window_(window), toolkit_(toolkit) {}

host::Worksheet* FormatActions::CurrentSheet() const {
    SheetView* v = window_.CurrentSheetView();
    return v ? &v->Sheet() : nullptr;
}

std::vector<host::Rect> FormatActions::SelectedAreas() const {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return {};
    std::vector<host::Rect> out;
    const QItemSelection selection = v->Grid().selectionModel()->selection();
    for (const QItemSelectionRange& s : selection)
        out.push_back(WithMerges(v->Sheet(), {s.top() + 1, s.left() + 1, s.bottom() + 1, s.right() + 1}));
    if (out.empty()) {
        const host::CellRef c = v->Sheet().ActiveCell();
        out.push_back(WithMerges(v->Sheet(), {c.row, c.col, c.row, c.col}));
    }
    // Overlapping pieces of one drag come as separate ranges: keep each area once.
    std::vector<host::Rect> unique;
    for (const host::Rect& r : out)
        if (std::none_of(unique.begin(), unique.end(), [&](const host::Rect& u) { return u.Contains(r); })) {
            std::erase_if(unique, [&](const host::Rect& u) { return r.Contains(u); });
            unique.push_back(r);
        }
    return unique;
}

void FormatActions::Message(const QString& text) {
    toolkit_.MessageBox({text.toStdString(), platform::MsgButtons::OK, platform::MsgIcon::Exclamation, 1, kTitle});
}

bool FormatActions::Run(const QString& undoText, host::Worksheet& ws, std::optional<CellBlock> block,
                        const std::function<void()>& change) {
    bool ok = true;
    auto guarded = [&] {
        try {
            change();
        } catch (const host::HostError& e) {
            ok = false;
            Message(QString::fromUtf8(e.what()));
        }
    };
    if (block) window_.History().ApplyToCells(undoText, ws, *block, guarded);
    else window_.History().ApplyToSheet(undoText, ws, guarded);
    return ok;
}

void FormatActions::Redraw(SheetView& view, const std::vector<host::Rect>& selection) {
    // The window redraws the current sheet (and the title's "*"); a sheet
    // not current, or a window not updating the screen, is left as it is.
    window_.RefreshViews();
    QItemSelection s;
    const SheetModel& m = view.Model();
    for (const host::Rect& r : selection) {
        const int bottom = std::min(r.bottom, m.rowCount()) - 1, right = std::min(r.right, m.columnCount()) - 1;
        if (r.top - 1 > bottom || r.left - 1 > right) continue;
        s.select(m.index(r.top - 1, r.left - 1), m.index(bottom, right));
    }
    view.Grid().selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
    emit Changed();
}

void FormatActions::Apply(const QString& undoText, const FormatEdit& edit) {
    SheetView* v = window_.CurrentSheetView();
    if (!v || edit.Empty()) return;
    host::Worksheet& ws = v->Sheet();
    const std::vector<host::Rect> areas = SelectedAreas();
    host::Rect block = Bounds(areas);
    if (!edit.borders.empty()) {
        // Lines are drawn on the cells of the range only, but a removed edge
        // may have been the neighbour's: the block reaches one cell further.
        block = {std::max(1, block.top - 1), std::max(1, block.left - 1), std::min(host::kMaxRows, block.bottom + 1),
                 std::min(host::kMaxColumns, block.right + 1)};
    }
    Run(undoText, ws, BlockOf(block), [&] {
        host::Range r(&ws, areas);
        ApplyFormatEdit(r, edit);
    });
    Redraw(*v, areas);
}

void FormatActions::SetFontName(const QString& name) {
    if (name.trimmed().isEmpty()) return;
    FormatEdit e;
    e.fontName = name.trimmed().toStdString();
    Apply("设置字体", e);
}

void FormatActions::SetFontSize(double points) {
    FormatEdit e;
    e.fontSize = points;
    Apply("设置字号", e);
}

void FormatActions::SetBold(bool on) {
    FormatEdit e;
    e.bold = on;
    Apply("加粗", e);
}

void FormatActions::SetItalic(bool on) {
    FormatEdit e;
    e.italic = on;
    Apply("倾斜", e);
}

void FormatActions::SetUnderline(bool on) {
    FormatEdit e;
    e.underline = on;
    Apply("下划线", e);
}

void FormatActions::SetFontColor(int colorIndex) {
    FormatEdit e;
    e.fontColor = colorIndex;
    Apply("字体颜色", e);
}

void FormatActions::SetFillColor(int colorIndex) {
    FormatEdit e;
    e.fill = colorIndex;
    Apply("填充颜色", e);
}

void FormatActions::SetHorizontalAlignment(int a) {
    FormatEdit e;
    e.horizontal = a;
    Apply("水平对齐", e);
}

void FormatActions::SetVerticalAlignment(int a) {
    FormatEdit e;
    e.vertical = a;
    Apply("垂直对齐", e);
}

void FormatActions::SetWrap(bool on) {
    FormatEdit e;
    e.wrap = on;
    Apply("自动换行", e);
}

void FormatActions::SetShrinkToFit(bool on) {
    FormatEdit e;
    e.shrink = on;
    Apply("缩小字体填充", e);
}

void FormatActions::SetNumberFormat(const std::string& format) {
    FormatEdit e;
    e.numberFormat = format;
    Apply("数字格式", e);
}

void FormatActions::Borders(BorderPreset preset) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const std::vector<host::Rect> areas = SelectedAreas();
    const host::Rect b = Bounds(areas);
    const host::Rect block{std::max(1, b.top - 1), std::max(1, b.left - 1), std::min(host::kMaxRows, b.bottom + 1),
                           std::min(host::kMaxColumns, b.right + 1)};
    static const char* const kNames[] = {"所有框线", "外侧框线", "粗外侧框线", "无框线", "上框线",
                                         "下框线",   "左框线",   "右框线",     "内部横框线", "内部竖框线"};
    Run(kNames[int(preset)], ws, BlockOf(block), [&] {
        host::Range r(&ws, areas);
        ApplyBorderPreset(r, preset, pen_);
    });
    Redraw(*v, areas);
}

void FormatActions::MergeAndCenter() {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const std::vector<host::Rect> areas = SelectedAreas();
    // One merged area selected: the button takes the merge back.
    if (areas.size() == 1) {
        const host::Rect* m = ws.MergeAreaAt(areas[0].top, areas[0].left);
        if (m && *m == areas[0]) return UnMerge();
    }
    if (std::all_of(areas.begin(), areas.end(), [](const host::Rect& a) { return a.Count() < 2; })) return;
    bool losesValues = false;
    for (const host::Rect& a : areas)
        for (int32_t r = a.top; r <= a.bottom && !losesValues; ++r)
            for (int32_t c = a.left; c <= a.right && !losesValues; ++c)
                if ((r != a.top || c != a.left) && !ws.ValueAt(r, c).IsEmpty()) losesValues = true;
    if (losesValues &&
        toolkit_.MessageBox({"合并单元格时，仅保留左上角的值，而放弃其他值。是否继续？", platform::MsgButtons::YesNo,
                             platform::MsgIcon::Exclamation, 1, kTitle}) != platform::MsgResult::Yes)
        return;
    FormatEdit e;
    e.merge = true;
    e.horizontal = host::xlHAlignCenter;
    Apply("合并后居中", e);
}

void FormatActions::UnMerge() {
    FormatEdit e;
    e.merge = false;
    Apply("取消单元格合并", e);
}

std::vector<int32_t> FormatActions::SelectedLines(bool rows) const {
    std::set<int32_t> lines;
    for (const host::Rect& a : SelectedAreas())
        for (int32_t i = rows ? a.top : a.left; i <= (rows ? a.bottom : a.right); ++i) lines.insert(i);
    return {lines.begin(), lines.end()};
}

namespace {
// Consecutive lines as whole-row (or whole-column) areas.
std::vector<host::Rect> LineAreas(const std::vector<int32_t>& lines, bool rows) {
    std::vector<host::Rect> out;
    for (size_t i = 0; i < lines.size();) {
        size_t j = i;
        while (j + 1 < lines.size() && lines[j + 1] == lines[j] + 1) ++j;
        out.push_back(rows ? host::Rect{lines[i], 1, lines[j], host::kMaxColumns}
                           : host::Rect{1, lines[i], host::kMaxRows, lines[j]});
        i = j + 1;
    }
    return out;
}
// A line with the ones beside it: a hidden line cannot be selected, so one
// selects its neighbour to show it again.
std::vector<int32_t> NeighbourLines(int32_t line, int32_t last) {
    std::vector<int32_t> out;
    for (int32_t l = std::max(1, line - 1); l <= std::min(last, line + 1); ++l) out.push_back(l);
    return out;
}
}  // namespace

void FormatActions::SetRowHeight(double points) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const auto lines = LineAreas(SelectedLines(true), true);
    Run("行高", ws, std::nullopt, [&] { host::Range(&ws, lines).SetRowHeight(points); });
    Redraw(*v, areas);
}

void FormatActions::SetColumnWidth(double characters) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const auto lines = LineAreas(SelectedLines(false), false);
    Run("列宽", ws, std::nullopt, [&] { host::Range(&ws, lines).SetColumnWidth(characters); });
    Redraw(*v, areas);
}

void FormatActions::RowResized(host::Worksheet& ws, int row, int pixels) {
    const double points = std::clamp(pixels * 0.75, 0.0, 409.0);
    Run("行高", ws, std::nullopt, [&] { ws.Rows(row).SetRowHeight(points); });
    window_.RefreshViews();
    emit Changed();
}

void FormatActions::ColumnResized(host::Worksheet& ws, int col, int pixels) {
    const double chars = std::clamp(ws.CharsForPixels(pixels), 0.0, 255.0);
    Run("列宽", ws, std::nullopt, [&] { ws.Columns(col).SetColumnWidth(chars); });
    window_.RefreshViews();
    emit Changed();
}

void FormatActions::AutoFitSelection(bool rows) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const auto lines = LineAreas(SelectedLines(rows), rows);
    Run(rows ? "自动调整行高" : "自动调整列宽", ws, std::nullopt, [&] { host::Range(&ws, lines).AutoFit(); });
    Redraw(*v, areas);
    emit Changed();
}

void FormatActions::AutoFitLine(host::Worksheet& ws, bool rows, int line) {
    std::vector<host::Rect> lines;
    if (window_.CurrentSheetView() && &window_.CurrentSheetView()->Sheet() == &ws) {
        const auto selected = SelectedAreas();
        const bool among = std::any_of(selected.begin(), selected.end(), [&](const host::Rect& a) {
            return (rows ? a.IsWholeRows() && line >= a.top && line <= a.bottom
                         : a.IsWholeColumns() && line >= a.left && line <= a.right);
        });
        if (among)
            for (const host::Rect& a : selected)
                if (rows ? a.IsWholeRows() : a.IsWholeColumns()) lines.push_back(a);
    }
    if (lines.empty())
        lines.push_back(rows ? host::Rect{line, 1, line, host::kMaxColumns} : host::Rect{1, line, host::kMaxRows, line});
    Run(rows ? "自动调整行高" : "自动调整列宽", ws, std::nullopt, [&] { host::Range(&ws, lines).AutoFit(); });
    window_.RefreshViews();
    emit Changed();
}

void FormatActions::InsertRows() {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const auto lines = LineAreas(SelectedLines(true), true);
    // The lowest block first, so that the others stay where they were selected.
    Run("插入行", ws, std::nullopt, [&] {
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) host::Range(&ws, *it).Insert();
    });
    Redraw(*v, areas);
}

void FormatActions::InsertColumns() {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const auto lines = LineAreas(SelectedLines(false), false);
    Run("插入列", ws, std::nullopt, [&] {
        for (auto it = lines.rbegin(); it != lines.rend(); ++it) host::Range(&ws, *it).Insert();
    });
    Redraw(*v, areas);
}

void FormatActions::DeleteRows() {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const auto lines = LineAreas(SelectedLines(true), true);
    Run("删除行", ws, std::nullopt, [&] { host::Range(&ws, lines).Delete(host::xlShiftUp); });
    Redraw(*v, {areas.front()});
}

void FormatActions::DeleteColumns() {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const auto lines = LineAreas(SelectedLines(false), false);
    Run("删除列", ws, std::nullopt, [&] { host::Range(&ws, lines).Delete(host::xlShiftToLeft); });
    Redraw(*v, {areas.front()});
}

void FormatActions::HideRows(bool hide) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    // Unhiding takes the hidden rows inside the selection, or next to a one-row selection.
    auto lines = SelectedLines(true);
    if (!hide && lines.size() == 1) lines = NeighbourLines(lines[0], host::kMaxRows);
    const auto rows = LineAreas(lines, true);
    Run(hide ? "隐藏行" : "取消隐藏行", ws, std::nullopt, [&] { host::Range(&ws, rows).SetHidden(hide); });
    Redraw(*v, areas);
}

void FormatActions::HideColumns(bool hide) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    auto lines = SelectedLines(false);
    if (!hide && lines.size() == 1) lines = NeighbourLines(lines[0], host::kMaxColumns);
    const auto cols = LineAreas(lines, false);
    Run(hide ? "隐藏列" : "取消隐藏列", ws, std::nullopt, [&] { host::Range(&ws, cols).SetHidden(hide); });
    Redraw(*v, areas);
}

void FormatActions::ToggleFreezePanes() {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const auto areas = SelectedAreas();
    const bool frozen = ws.FrozenRows() || ws.FrozenColumns();
    const host::CellRef at = ws.ActiveCell();
    if (!frozen && at.row == 1 && at.col == 1) {
        Message("请先选定冻结位置右下方的单元格：其上方的行和左侧的列将被冻结。");
        return;
    }
    Run(frozen ? "取消冻结窗格" : "冻结窗格", ws, std::nullopt,
        [&] { ws.FreezePanes(frozen ? 0 : at.row - 1, frozen ? 0 : at.col - 1); });
    Redraw(*v, areas);
}

void FormatActions::SetPageSetup(const host::PageSetup& setup) {
    host::Worksheet* ws = CurrentSheet();
    if (!ws) return;
    Run("页面设置", *ws, std::nullopt, [&] {
        ws->PageSetup() = setup;
        ws->MarkChanged();
    });
    window_.RefreshViews();
    emit Changed();
}

void FormatActions::InsertText(const QString& undoText, const QString& text) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const host::CellRef at = ws.ActiveCell();
    const auto areas = SelectedAreas();
    Run(undoText, ws, CellBlock{at.row, at.col, at.row, at.col}, [&] { ws.UserEdit(at.row, at.col, text.toStdString()); });
    Redraw(*v, areas);
}

void FormatActions::ShowFormatCellsDialog() {
    host::Worksheet* ws = CurrentSheet();
    if (!ws) return;
    const auto areas = SelectedAreas();
    host::Range r(ws, areas);
    FormatCellsDialog dialog(r, &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    Apply("设置单元格格式", dialog.Edit());
}

void FormatActions::ShowPageSetupDialog() {
    host::Worksheet* ws = CurrentSheet();
    if (!ws) return;
    PageSetupDialog dialog(ws->PageSetup(), AreasText(SelectedAreas()), &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    SetPageSetup(dialog.Result());
}

void FormatActions::AskRowHeight() {
    host::Worksheet* ws = CurrentSheet();
    if (!ws) return;
    const auto areas = SelectedAreas();
    if (auto pt = AskSize(&window_, "行高", "行高(&R)：", "磅", ws->RowHeightPoints(areas.front().top), 0, 409))
        SetRowHeight(*pt);
}

void FormatActions::AskColumnWidth() {
    host::Worksheet* ws = CurrentSheet();
    if (!ws) return;
    const auto areas = SelectedAreas();
    if (auto chars = AskSize(&window_, "列宽", "列宽(&C)：", "字符", ws->GetRange(areas.front()).ColumnWidth(), 0, 255))
        SetColumnWidth(*chars);
}

}  // namespace gui
