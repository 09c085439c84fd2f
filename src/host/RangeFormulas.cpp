// Range.Formula and Range.FormulaR1C1: formula text in and out of cells, and
// typed input for everything that is not a formula.
#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/RowSpan.h"
#include "host/Style.h"
#include "host/TypedInput.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {
constexpr int64_t kMaxFormulaCells = 16'000'000;

bool IsTextFormat(const Worksheet& ws, uint32_t style) { return ws.Parent().Styles().Get(style).numberFormat == "@"; }

void Store(Cell& c, const TypedEntry& e) {
    c.value = e.value;
    if (e.isFormula) c.formula = std::make_unique<std::string>(e.formula);
    else c.formula.reset();
}

// Writes into every cell of the range what `entryFor(row, col, textFormat)` gives.
template <class EntryFor>
void WriteEntries(Worksheet& ws, const std::vector<Rect>& areas, EntryFor&& entryFor) {
    for (const Rect& a : areas) {
        for (int32_t row = a.top; row <= a.bottom; ++row) {
            int32_t col = a.left;
            rowspan::RewriteSpan(ws, row, a.left, a.right, [&](Cell& c) {
                Store(c, entryFor(row, col++, IsTextFormat(ws, c.style)));
            });
        }
    }
    for (const Rect& a : areas) ws.MarkCellsChanged(a);
}

}  // namespace

std::string Range::Formula() const {
    const Cell* c = Sheet().FindCell(Row(), Column());
    if (!c) return {};
    if (c->HasFormula()) return "=" + *c->formula;
    return ToText(c->value);
}

std::string Range::FormulaR1C1() const {
    const Cell* c = Sheet().FindCell(Row(), Column());
    if (!c) return {};
    if (c->HasFormula()) return "=" + formula::ToR1C1(*c->formula, Row(), Column());
    return ToText(c->value);
}

// A formula given for the whole range reads as written in the top-left cell
// of the first area; the other cells get it moved by their distance, as when
// the host fills a formula over a selection.
void Range::SetFormula(const std::string& f) {
    if (f.empty()) {
        ClearContents();
        return;
    }
    if (Count() > kMaxFormulaCells) throw HostError("区域过大");
    const int32_t top = Row(), left = Column();
    TypedEntry typed = ParseTypedEntry(f, false);
    TypedEntry asText = ParseTypedEntry(f, true);
    WriteEntries(Sheet(), areas_, [&](int32_t row, int32_t col, bool textFormat) {
        if (textFormat) return asText;
        if (!typed.isFormula || (row == top && col == left)) return typed;
        TypedEntry moved = typed;
        moved.formula = formula::Translate(typed.formula, row - top, col - left);
        return moved;
    });
}

void Range::SetFormulaR1C1(const std::string& f) {
    if (f.empty()) {
        ClearContents();
        return;
    }
    if (Count() > kMaxFormulaCells) throw HostError("区域过大");
    TypedEntry typed = ParseTypedEntry(f, false);
    TypedEntry asText = ParseTypedEntry(f, true);
    WriteEntries(Sheet(), areas_, [&](int32_t row, int32_t col, bool textFormat) {
        if (textFormat || !typed.isFormula) return textFormat ? asText : typed;
        TypedEntry a1 = typed;
        a1.formula = formula::FromR1C1(typed.formula, row, col);
        return a1;
    });
}

// True only when every cell of every area holds a formula.
bool Range::HasFormula() const {
    int64_t formulas = 0;
    for (const Rect& a : areas_)
        rowspan::ForStoredCells(Sheet(), a, [&](int32_t, const Cell& c) { formulas += c.HasFormula(); });
    return formulas == Count();
}

}  // namespace host
