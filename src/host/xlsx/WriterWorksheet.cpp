#include <algorithm>
#include <cmath>
#include <iterator>

#include "host/Workbook.h"
#include "host/xlsx/KeptPlaces.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

namespace {

constexpr double kPointsPerInch = 72;

// Column letters of every column up to the widest used one, built once per
// sheet so that writing a cell reference costs no allocation.
class ColumnNames {
public:
    explicit ColumnNames(int32_t maxCol) : names_(size_t(maxCol) + 1) {
        for (int32_t c = 1; c <= maxCol; ++c) names_[c] = ColumnLetters(c);
    }
    const std::string& operator[](int32_t c) const { return names_[c]; }

private:
    std::vector<std::string> names_;
};

bool HasKept(const std::vector<KeptElement>& elements, int place) {
    return std::any_of(elements.begin(), elements.end(), [&](const KeptElement& e) { return e.place == place; });
}

void WriteSheetPr(const Worksheet& ws, XmlBuffer& out) {
    const auto& kept = ws.Kept().elements;
    bool fit = ws.PageSetup().Zoom == 0;
    bool keptSetUp = HasKept(kept, place::kPageSetUpPrAttributes);
    bool keptChildren = HasKept(kept, place::kSheetPrChildren);
    if (ws.CodeName().empty() && !fit && !keptSetUp && !keptChildren && !HasKept(kept, place::kSheetPrAttributes)) return;
    out.Raw("<sheetPr");
    if (!ws.CodeName().empty()) out.Attr("codeName", ws.CodeName());
    WriteKept(kept, place::kSheetPrAttributes, out);
    if (!fit && !keptSetUp && !keptChildren) {
        out.Raw("/>");
        return;
    }
    out.Raw(">");
    WriteKept(kept, place::kSheetPrChildren, out);  // tabColor, outlinePr come before pageSetUpPr
    if (fit || keptSetUp) {
        out.Raw("<pageSetUpPr");
        WriteKept(kept, place::kPageSetUpPrAttributes, out);
        if (fit) out.Raw(" fitToPage=\"1\"");
        out.Raw("/>");
    }
    out.Raw("</sheetPr>");
}

// "$A$1,C3:D4" → "A1 C3:D4", the space-separated list a selection's sqref takes.
std::string SelectionRefs(const std::string& selection) {
    std::string out;
    for (char c : selection) {
        if (c == '$') continue;
        out += c == ',' ? ' ' : c;
    }
    return out;
}

void WriteSheetView(const Worksheet& ws, bool active, XmlBuffer& out) {
    const KeptSheet& kept = ws.Kept();
    out.Raw("<sheetViews><sheetView");
    WriteKept(kept.elements, place::kSheetViewAttributes, out);
    if (!ws.ShowGridLines()) out.Raw(" showGridLines=\"0\"");
    if (ws.TabSelected() || active) out.Raw(" tabSelected=\"1\"");
    out.Raw(" workbookViewId=\"0\">");
    // Children: pane, selections of other panes, the model's selection, the rest.
    if (ws.FrozenRows() || ws.FrozenColumns()) {
        out.Raw("<pane");
        if (ws.FrozenColumns()) out.Attr("xSplit", int64_t(ws.FrozenColumns()));
        if (ws.FrozenRows()) out.Attr("ySplit", int64_t(ws.FrozenRows()));
        out.Attr("topLeftCell", CellAddress(ws.FrozenRows() + 1, ws.FrozenColumns() + 1))
            .Attr("activePane", ws.FrozenRows() && ws.FrozenColumns() ? "bottomRight"
                                : ws.FrozenRows()                      ? "bottomLeft"
                                                                       : "topRight")
            .Attr("state", "frozen")
            .Raw("/>");
    }
    WriteKept(kept.elements, place::kSheetViewChildren, out);
    CellRef a = ws.ActiveCell();
    std::string sel = SelectionRefs(ws.Selection());
    std::string cell = CellAddress(a.row, a.col);
    if (cell != "A1" || !(sel.empty() || sel == "A1") || !kept.selectionPane.empty()) {
        out.Raw("<selection");
        if (!kept.selectionPane.empty() && kept.selectionPane != "topLeft") out.Attr("pane", kept.selectionPane);
        out.Attr("activeCell", cell).Attr("sqref", sel.empty() ? cell : sel).Raw("/>");
    }
    WriteKept(kept.elements, place::kSheetViewTail, out);
    out.Raw("</sheetView>");
    WriteKept(kept.elements, place::kSheetViewsMore, out);
    out.Raw("</sheetViews>");
}

void WriteSheetFormat(const Worksheet& ws, XmlBuffer& out) {
    out.Raw("<sheetFormatPr");
    WriteKept(ws.Kept().elements, place::kSheetFormatPrAttributes, out);
    if (ws.DefaultColumnWidth() != 8.43) out.AttrNumber("defaultColWidth", ws.DefaultColumnWidth());
    out.AttrNumber("defaultRowHeight", ws.StandardHeight());
    if (ws.StandardHeight() != 13.5) out.Raw(" customHeight=\"1\"");
    out.Raw("/>");
}

bool SameColumn(const ColumnInfo& a, const ColumnInfo& b) {
    return a.width == b.width && a.customWidth == b.customWidth && a.hidden == b.hidden && a.style == b.style;
}

// Runs of equal column settings become one <col min max>.
void WriteColumns(const Worksheet& ws, XmlBuffer& out) {
    const auto& cols = ws.ColumnsData();
    bool any = false;
    for (size_t i = 0; i < cols.size();) {
        size_t j = i + 1;
        while (j < cols.size() && SameColumn(cols[j], cols[i])) ++j;
        const ColumnInfo& c = cols[i];
        if (!c.IsDefault()) {
            if (!any) out.Raw("<cols>");
            any = true;
            // A column without a width of its own carries the sheet's default,
            // since readers take a missing width as zero.
            out.Raw("<col").Attr("min", int64_t(i + 1)).Attr("max", int64_t(j))
                .AttrNumber("width", c.width > 0 ? c.width : ws.DefaultColumnWidth());
            if (c.style) out.Attr("style", c.style);
            if (c.hidden) out.Raw(" hidden=\"1\"");
            if (c.customWidth) out.Raw(" customWidth=\"1\"");
            out.Raw("/>");
        }
        i = j;
    }
    if (any) out.Raw("</cols>");
}

void WriteCellValue(const Cell& cell, SharedStrings& sst, XmlBuffer& out) {
    const Variant& v = cell.value;
    if (cell.HasFormula()) {
        switch (v.Type()) {
            case VarType::Text: out.Raw(" t=\"str\""); break;
            case VarType::Boolean: out.Raw(" t=\"b\""); break;
            case VarType::Error: out.Raw(" t=\"e\""); break;
            case VarType::Number: if (!std::isfinite(v.Number())) out.Raw(" t=\"e\""); break;
            case VarType::Empty: break;
        }
        out.Raw("><f>").Text(*cell.formula).Raw("</f>");
    } else {
        switch (v.Type()) {
            case VarType::Text: out.Raw(" t=\"s\"><v>").Int(sst.Index(v.Text())).Raw("</v></c>"); return;
            case VarType::Boolean: out.Raw(" t=\"b\""); break;
            case VarType::Error: out.Raw(" t=\"e\""); break;
            case VarType::Number: if (!std::isfinite(v.Number())) out.Raw(" t=\"e\""); break;
            case VarType::Empty: out.Raw("/>"); return;
        }
        out.Raw(">");
    }
    switch (v.Type()) {
        case VarType::Text: out.Raw("<v>").CellText(v.Text()).Raw("</v>"); break;
        case VarType::Boolean: out.Raw(v.BooleanValue() ? "<v>1</v>" : "<v>0</v>"); break;
        case VarType::Error: out.Raw("<v>").Raw(ErrorText(v.ErrorValue())).Raw("</v>"); break;
        case VarType::Number:
            // The file format has no infinities or NaN; they are the host's #NUM!.
            if (std::isfinite(v.Number())) out.Raw("<v>").Number(v.Number()).Raw("</v>");
            else out.Raw("<v>#NUM!</v>");
            break;
        case VarType::Empty: break;
    }
    out.Raw("</c>");
}

void WriteSheetData(const Worksheet& ws, uint32_t styleCount, SharedStrings& sst, XmlBuffer& out) {
    const auto& rows = ws.RowsData();
    int32_t maxCol = 1;
    for (const Row& row : rows)
        if (!row.cells.empty()) maxCol = std::max(maxCol, row.cells.back().col);
    ColumnNames names(maxCol);
    auto style = [&](uint32_t s) { return s < styleCount ? s : 0; };
    out.Raw("<sheetData>");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        if (row.cells.empty() && row.info.IsDefault()) continue;
        out.Raw("<row r=\"").Int(int64_t(i + 1)).Char('"');
        const RowInfo& info = row.info;
        if (info.style && style(info.style)) out.Raw(" s=\"").Int(style(info.style)).Raw("\" customFormat=\"1\"");
        if (info.height > 0 && !info.autoFitted) out.AttrNumber("ht", info.height);
        if (info.customHeight) out.Raw(" customHeight=\"1\"");
        if (info.hidden) out.Raw(" hidden=\"1\"");
        if (row.cells.empty()) {
            out.Raw("/>");
            out.MaybeFlush();
            continue;
        }
        out.Char('>');
        for (const Cell& cell : row.cells) {
            if (cell.IsBlank()) continue;
            out.Raw("<c r=\"").Raw(names[cell.col]).Int(int64_t(i + 1)).Char('"');
            if (uint32_t s = style(cell.style)) out.Raw(" s=\"").Int(s).Char('"');
            WriteCellValue(cell, sst, out);
        }
        out.Raw("</row>");
        out.MaybeFlush();
    }
    out.Raw("</sheetData>");
}

void WriteSheetProtection(const Worksheet& ws, XmlBuffer& out) {
    const SheetProtection& p = ws.Protection();
    if (!p.enabled) return;
    out.Raw("<sheetProtection");
    if (!p.legacyHash.empty()) out.Attr("password", p.legacyHash);
    if (!p.hashValue.empty()) {
        out.Attr("algorithmName", p.algorithmName.empty() ? std::string("SHA-512") : p.algorithmName)
            .Attr("hashValue", p.hashValue).Attr("saltValue", p.saltValue).Attr("spinCount", int64_t(p.spinCount));
    }
    out.Raw(" sheet=\"1\"");
    static const char* kWritten[] = {"sheet", "password", "algorithmName", "hashValue", "saltValue", "spinCount"};
    for (const auto& [name, value] : p.options) {
        bool dup = false;
        for (const char* w : kWritten) dup = dup || name == w;
        if (!dup) out.Attr(name, value);
    }
    out.Raw("/>");
}

void WriteMerges(const Worksheet& ws, XmlBuffer& out) {
    const auto& merges = ws.MergedAreas();
    if (merges.empty()) return;
    out.Raw("<mergeCells").Attr("count", int64_t(merges.size())).Raw(">");
    for (const Rect& r : merges) out.Raw("<mergeCell").Attr("ref", AreaAddress(r, false, false)).Raw("/>");
    out.Raw("</mergeCells>");
}

std::string HeaderFooterText(const std::string& left, const std::string& center, const std::string& right) {
    std::string s;
    if (!left.empty()) s += "&L" + left;
    if (!center.empty()) s += "&C" + center;
    if (!right.empty()) s += "&R" + right;
    return s;
}

// <rowBreaks>/<colBreaks>: each break is manual and spans the whole other direction.
void WriteBreaks(const char* element, const std::vector<int32_t>& breaks, int32_t max, XmlBuffer& out) {
    if (breaks.empty()) return;
    out.Raw("<").Raw(element).Attr("count", int64_t(breaks.size())).Attr("manualBreakCount", int64_t(breaks.size()))
        .Raw(">");
    for (int32_t id : breaks) out.Raw("<brk").Attr("id", int64_t(id)).Attr("max", int64_t(max)).Raw(" man=\"1\"/>");
    out.Raw("</").Raw(element).Raw(">");
}

void WritePrintSettings(const Worksheet& ws, XmlBuffer& out) {
    const PageSetup& ps = ws.PageSetup();
    if (ps.CenterHorizontally || ps.CenterVertically || ps.PrintGridlines || ps.PrintHeadings) {
        out.Raw("<printOptions");
        if (ps.CenterHorizontally) out.Raw(" horizontalCentered=\"1\"");
        if (ps.CenterVertically) out.Raw(" verticalCentered=\"1\"");
        if (ps.PrintHeadings) out.Raw(" headings=\"1\"");
        if (ps.PrintGridlines) out.Raw(" gridLines=\"1\"");
        out.Raw("/>");
    }
    out.Raw("<pageMargins").AttrNumber("left", ps.LeftMargin / kPointsPerInch)
        .AttrNumber("right", ps.RightMargin / kPointsPerInch).AttrNumber("top", ps.TopMargin / kPointsPerInch)
        .AttrNumber("bottom", ps.BottomMargin / kPointsPerInch).AttrNumber("header", ps.HeaderMargin / kPointsPerInch)
        .AttrNumber("footer", ps.FooterMargin / kPointsPerInch).Raw("/>");
    const auto& kept = ws.Kept().elements;
    // The paper is always named: without it the host takes the printer's default.
    out.Raw("<pageSetup").Attr("paperSize", ps.PaperSize);
    WriteKept(kept, place::kPageSetupAttributes, out);  // printer settings, resolutions …
    if (ps.Zoom > 0) out.Attr("scale", ps.Zoom);
    if (ps.FirstPageNumber != xlAutomatic) out.Attr("firstPageNumber", ps.FirstPageNumber);
    if (ps.Zoom <= 0) out.Attr("fitToWidth", ps.FitToPagesWide).Attr("fitToHeight", ps.FitToPagesTall);
    if (ps.Order == xlOverThenDown) out.Raw(" pageOrder=\"overThenDown\"");
    out.Attr("orientation", ps.Orientation == xlLandscape ? "landscape" : "portrait");
    if (ps.FirstPageNumber != xlAutomatic) out.Raw(" useFirstPageNumber=\"1\"");
    out.Raw("/>");
    const std::string header = HeaderFooterText(ps.LeftHeader, ps.CenterHeader, ps.RightHeader);
    const std::string footer = HeaderFooterText(ps.LeftFooter, ps.CenterFooter, ps.RightFooter);
    const HeaderFooterSections* even = ps.OddAndEvenPagesHeaderFooter ? &ps.EvenPage : nullptr;
    const HeaderFooterSections* first = ps.DifferentFirstPageHeaderFooter ? &ps.FirstPage : nullptr;
    const bool flags = even || first || !ps.ScaleWithDocHeaderFooter || !ps.AlignMarginsHeaderFooter;
    if (!header.empty() || !footer.empty() || flags) {
        out.Raw("<headerFooter");
        if (even) out.Raw(" differentOddEven=\"1\"");
        if (first) out.Raw(" differentFirst=\"1\"");
        if (!ps.ScaleWithDocHeaderFooter) out.Raw(" scaleWithDoc=\"0\"");
        if (!ps.AlignMarginsHeaderFooter) out.Raw(" alignWithMargins=\"0\"");
        out.Raw(">");
        auto section = [&](const char* element, const std::string& text) {
            if (!text.empty()) out.Raw("<").Raw(element).Raw(">").Text(text).Raw("</").Raw(element).Raw(">");
        };
        section("oddHeader", header);
        section("oddFooter", footer);
        // Schema order: odd, even, first.
        for (const auto& [h, prefix] : {std::pair{even, "even"}, std::pair{first, "first"}}) {
            if (!h) continue;
            section((std::string(prefix) + "Header").c_str(), HeaderFooterText(h->LeftHeader, h->CenterHeader, h->RightHeader));
            section((std::string(prefix) + "Footer").c_str(), HeaderFooterText(h->LeftFooter, h->CenterFooter, h->RightFooter));
        }
        out.Raw("</headerFooter>");
    }
    WriteBreaks("rowBreaks", ps.RowBreaks, kMaxColumns - 1, out);
    WriteBreaks("colBreaks", ps.ColumnBreaks, kMaxRows - 1, out);
}

}  // namespace

void WriteKept(const std::vector<KeptElement>& elements, int place, XmlBuffer& out) {
    for (const KeptElement& e : elements) {
        if (e.place != place) continue;
        out.Raw(e.open);
        if (e.counted) out.Attr("count", int64_t(e.items.size()));
        if (!e.open.empty()) out.Raw(">");
        for (const KeptFragment& f : e.items) out.Raw(f.Render());
        out.Raw(e.close);
    }
}

void WriteWorksheet(const SheetPart& part, SharedStrings& sst, XmlBuffer& out) {
    const Worksheet& ws = *part.sheet;
    const Workbook& wb = ws.Parent();
    const KeptSheet& kept = ws.Kept();
    out.Declaration().Raw("<worksheet").Attr("xmlns", kMainNs).Attr("xmlns:r", kRelNs).Raw(kept.rootAttributes).Raw(">");
    // Each element the model writes, then the kept elements that followed it
    // in the file, in the schema's order.
    constexpr int kPlaces = int(std::size(place::kWorksheetOrder));
    for (int p = 0; p < kPlaces; ++p) {
        switch (p) {
            case 0: WriteSheetPr(ws, out); break;
            case 1: out.Raw("<dimension").Attr("ref", AreaAddress(ws.UsedRect(), false, false)).Raw("/>"); break;
            case 2: WriteSheetView(ws, part.active, out); break;
            case 3: WriteSheetFormat(ws, out); break;
            case 4: WriteColumns(ws, out); break;
            case 5: WriteSheetData(ws, uint32_t(wb.Styles().Size()), sst, out); break;
            case 7: WriteSheetProtection(ws, out); break;
            case 14: WriteMerges(ws, out); break;
            case 19: WritePrintSettings(ws, out); break;  // printOptions, pageMargins, pageSetup, headerFooter
            case 29: if (part.drawing) out.Raw("<drawing").Attr("r:id", part.drawingRelId).Raw("/>"); break;
            default: break;
        }
        WriteKept(kept.elements, p, out);
        out.MaybeFlush();
    }
    out.Raw("</worksheet>");
}

}  // namespace host::xlsx
