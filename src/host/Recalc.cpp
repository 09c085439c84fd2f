#include "host/Recalc.h"

#include <ixion/address.hpp>
#include <ixion/exceptions.hpp>
#include <ixion/formula.hpp>
#include <ixion/formula_function_opcode.hpp>
#include <ixion/formula_name_resolver.hpp>
#include <ixion/formula_result.hpp>
#include <ixion/formula_tokens.hpp>
#include <ixion/model_context.hpp>

#include <algorithm>
#include <bit>
#include <optional>
#include <string_view>

#include "host/Address.h"
#include "host/Formula.h"
#include "host/RowSpan.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

using ixion::abs_address_t;
using ixion::abs_range_t;
using ixion::formula_function_t;

// The functions whose results the engine gets right, with the arguments it
// accepts (an argument count it refuses throws out of the calculation, so it
// is checked before). LEN and LEFT are left out on purpose: the engine counts
// UTF-8 bytes, and a Chinese character is three of them. NOW, SUBTOTAL, MMULT
// and everything else keep their cached result.
struct ComputableFunction {
    formula_function_t f;
    int minArgs, maxArgs;
};
constexpr ComputableFunction kComputable[] = {
    {formula_function_t::func_sum, 1, 255},     {formula_function_t::func_average, 1, 255},
    {formula_function_t::func_counta, 1, 255},  {formula_function_t::func_max, 1, 255},
    {formula_function_t::func_min, 1, 255},     {formula_function_t::func_int, 1, 1},
    {formula_function_t::func_if, 3, 3},        {formula_function_t::func_pi, 0, 0},
    {formula_function_t::func_concatenate, 0, 255},
};

const ComputableFunction* FindComputable(formula_function_t f) {
    for (const auto& c : kComputable)
        if (c.f == f) return &c;
    return nullptr;
}

// The engine reads "1E+3" as a name and "1e3" wrongly: a number with an
// exponent outside a string makes the formula one it cannot compute.
bool HasExponentNumber(std::string_view f) {
    bool inString = false;
    for (size_t i = 0; i + 1 < f.size(); ++i) {
        char c = f[i];
        if (c == '"') inString = !inString;
        if (inString || (c != 'e' && c != 'E') || i == 0) continue;
        const char prev = f[i - 1], next = f[i + 1];
        if (!(prev >= '0' && prev <= '9') && prev != '.') continue;
        // A digit before, and a digit or sign after: unless the digits are the
        // end of a name or a cell reference ("E1E2" is no number).
        size_t s = i;
        while (s > 0 && ((f[s - 1] >= '0' && f[s - 1] <= '9') || f[s - 1] == '.')) --s;
        const bool nameBefore = s > 0 && (std::isalpha(static_cast<unsigned char>(f[s - 1])) || f[s - 1] == '_' ||
                                          f[s - 1] == '$' || static_cast<unsigned char>(f[s - 1]) >= 0x80);
        if (!nameBefore && ((next >= '0' && next <= '9') || next == '+' || next == '-')) return true;
    }
    return false;
}

bool IsOperator(ixion::fopcode_t op) {
    return op >= ixion::fop_plus && op <= ixion::fop_greater_equal;
}
bool IsComparison(ixion::fopcode_t op) {
    return op >= ixion::fop_equal && op <= ixion::fop_greater_equal;
}

// What the host makes of a formula before the engine sees it.
struct Verdict {
    bool computable = true;
    std::string kept;                   // what to name when not computable
    std::optional<CellError> literal;   // an error literal ("#REF!") decides the result
    bool boolean = false;               // a comparison at the top: TRUE / FALSE, not 1 / 0
};

Verdict Judge(const ixion::formula_tokens_t& tokens, std::string_view formula) {
    Verdict v;
    auto keep = [&](std::string what) {
        if (v.computable) v.kept = std::move(what);
        v.computable = false;
    };
    if (HasExponentNumber(formula)) keep("=" + std::string(formula));
    int depth = 0;
    ixion::fopcode_t prev = ixion::fop_open;  // as if the formula were in parentheses
    for (size_t i = 0; i < tokens.size(); ++i) {
        const ixion::formula_token& t = *tokens[i];
        const ixion::fopcode_t op = t.get_opcode();
        switch (op) {
            case ixion::fop_open: ++depth; break;
            case ixion::fop_close: --depth; break;
            case ixion::fop_function: {
                const auto f = static_cast<formula_function_t>(t.get_uint32());
                const ComputableFunction* c = FindComputable(f);
                if (!c) {
                    keep(std::string(ixion::get_formula_function_name(f)));
                    break;
                }
                // The arguments: separators at the level of the function's own parentheses.
                int level = 0, seps = 0;
                bool empty = false;
                for (size_t j = i + 1; j < tokens.size(); ++j) {
                    const auto o = tokens[j]->get_opcode();
                    if (o == ixion::fop_open) {
                        if (++level == 1) empty = j + 1 < tokens.size() && tokens[j + 1]->get_opcode() == ixion::fop_close;
                    } else if (o == ixion::fop_close) {
                        if (--level == 0) break;
                    } else if (o == ixion::fop_sep && level == 1) {
                        ++seps;
                    }
                }
                const int args = empty ? 0 : seps + 1;
                if (args < c->minArgs || args > c->maxArgs) keep(std::string(ixion::get_formula_function_name(f)));
                break;
            }
            case ixion::fop_named_expression: {
                const std::string name = t.get_name();
                CellError e;
                if (ErrorFromText(name, e)) {
                    if (!v.literal) v.literal = e;
                } else if (i + 1 < tokens.size() && tokens[i + 1]->get_opcode() == ixion::fop_open) {
                    keep(name);  // a function the engine does not know
                } else {
                    keep("=" + std::string(formula));
                }
                break;
            }
            case ixion::fop_table_ref:
            case ixion::fop_error:
            case ixion::fop_unknown: keep("=" + std::string(formula)); break;
            default: break;
        }
        // Two operators in a row ("--A1", "=-+1"): the engine gets them wrong.
        if (IsOperator(op) && (IsOperator(prev) || prev == ixion::fop_open || prev == ixion::fop_sep) &&
            (IsOperator(prev) || (op != ixion::fop_minus && op != ixion::fop_plus)))
            keep("=" + std::string(formula));
        if (depth == 0 && IsComparison(op)) v.boolean = true;
        prev = op;
    }
    if (v.literal) v.computable = true;  // decided by the literal, nothing to name
    return v;
}

std::optional<CellError> FromEngineError(ixion::formula_error_t e) {
    switch (e) {
        case ixion::formula_error_t::ref_result_not_available: return CellError::Ref;
        case ixion::formula_error_t::division_by_zero: return CellError::Div0;
        case ixion::formula_error_t::invalid_expression: return CellError::Num;
        case ixion::formula_error_t::name_not_found: return CellError::Name;
        case ixion::formula_error_t::no_range_intersection: return CellError::Null;
        case ixion::formula_error_t::invalid_value_type: return CellError::Value;
        default: return std::nullopt;  // the engine's own failures: no answer
    }
}

// A 64-bit mix of a row's values and formulas (formats left out): two rows
// with the same hash hold, for the engine, the same cells.
uint64_t Mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h * 0xff51afd7ed558ccdULL;
}
uint64_t HashText(std::string_view s) {
    uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ULL;
    return h;
}
uint64_t HashCell(const Cell& c) {
    uint64_t h = Mix(0, uint64_t(c.col));
    // A formula cell is what its formula says; its cached value is the engine's to set.
    if (c.formula) return Mix(h, HashText(*c.formula) ^ 0xf0f0);
    const Variant& v = c.value;
    h = Mix(h, uint64_t(v.Type()));
    switch (v.Type()) {
        case VarType::Number: return Mix(h, std::bit_cast<uint64_t>(v.Number() == 0 ? 0.0 : v.Number()));
        case VarType::Text: return Mix(h, HashText(v.Text()));
        case VarType::Boolean: return Mix(h, v.BooleanValue());
        case VarType::Error: return Mix(h, uint64_t(v.ErrorValue()));
        case VarType::Empty: return h;
    }
    return h;
}
bool Holds(const Cell& c) { return c.formula || !c.value.IsEmpty(); }

// What the engine holds of one row: its hash and the columns it may have
// cells in (1-based, inclusive; empty when first > last).
struct RowShadow {
    uint64_t hash = 0;
    int32_t first = 1, last = 0;
};

RowShadow ShadowOf(const Row& row) {
    RowShadow s;
    for (const Cell& c : row.cells) {
        if (!Holds(c)) continue;
        s.hash = Mix(s.hash, HashCell(c));
        if (s.last < s.first) s.first = c.col;
        s.last = c.col;
    }
    return s;
}

// A model rebuilt from scratch past this many changed rows is cheaper than
// pushing them one by one.
constexpr int64_t kRebuildRows = 20000;

struct SheetState {
    const Worksheet* ws = nullptr;
    std::string name;
    std::vector<RowShadow> rows;  // rows[r - 1]
    bool scan = false;
    std::vector<std::pair<int32_t, int32_t>> hintRows;  // row spans to compare
};

}  // namespace

struct Recalc::Impl {
    explicit Impl(Workbook& wb) : wb(wb) {}

    Workbook& wb;
    std::unique_ptr<ixion::model_context> cxt;
    std::unique_ptr<ixion::formula_name_resolver> resolver;
    std::vector<SheetState> sheets;  // in the engine's sheet order
    bool rebuild = true;
    bool anyChange = true;
    ixion::abs_range_set_t modified, dirty;
    std::vector<std::string> kept;
    Run run;
    // Formula cells whose number is TRUE / FALSE; engine formulas that stand
    // for a host error value (not host formulas, nothing to write back).
    ixion::abs_address_set_t booleans, standIns;

    SheetState* StateOf(const Worksheet& ws) {
        for (SheetState& s : sheets)
            if (s.ws == &ws) return &s;
        return nullptr;
    }

    bool SheetListChanged() const {
        if (sheets.size() != wb.SheetList().size()) return true;
        for (size_t i = 0; i < sheets.size(); ++i)
            if (sheets[i].ws != wb.SheetList()[i].get() || sheets[i].name != sheets[i].ws->Name()) return true;
        return false;
    }

    void NoteKept(const std::string& what) {
        if (std::find(kept.begin(), kept.end(), what) == kept.end()) kept.push_back(what);
    }

    void SetValue(const abs_address_t& a, const Variant& v) {
        switch (v.Type()) {
            case VarType::Number: cxt->set_numeric_cell(a, v.Number()); break;
            case VarType::Text: cxt->set_string_cell(a, v.Text()); break;
            // The engine's own booleans do not take part in arithmetic; the host's do, as 1 and 0.
            case VarType::Boolean: cxt->set_numeric_cell(a, v.BooleanValue() ? 1.0 : 0.0); break;
            case VarType::Error: {
                // An error value: a formula cell that computes to an error. Which
                // error is the host's to say; see ErrorInReferences.
                auto tokens = ixion::create_formula_error_tokens(*cxt, ErrorText(v.ErrorValue()), "error value");
                ixion::formula_cell* fc = cxt->set_formula_cell(a, std::move(tokens));
                ixion::register_formula_cell(*cxt, a, fc);
                dirty.insert(abs_range_t(a));
                standIns.insert(a);
                break;
            }
            case VarType::Empty: cxt->empty_cell(a); break;
        }
    }

    // Sends one host cell (null: none) to the engine.
    void Push(ixion::sheet_t sheet, int32_t row, int32_t col, Cell* cell) {
        const abs_address_t a(sheet, row - 1, col - 1);
        ++run.pushedCells;
        if (cxt->get_celltype(a) == ixion::celltype_t::formula) ixion::unregister_formula_cell(*cxt, a);
        modified.insert(abs_range_t(a));
        booleans.erase(a);
        standIns.erase(a);
        if (!cell || !Holds(*cell)) {
            cxt->empty_cell(a);
            return;
        }
        if (cell->formula) {
            const std::string& f = *cell->formula;
            std::optional<Verdict> verdict;
            ixion::formula_tokens_t tokens;
            try {
                tokens = ixion::parse_formula_string(*cxt, a, *resolver, f);
                verdict = Judge(tokens, f);
            } catch (const std::exception&) {
                verdict.reset();
            }
            if (!verdict) {
                NoteKept("=" + f);
            } else if (verdict->literal) {
                cell->value = Variant::Error(*verdict->literal);
            } else if (!verdict->computable) {
                NoteKept(verdict->kept);
            } else {
                ixion::formula_cell* fc = cxt->set_formula_cell(a, std::move(tokens));
                ixion::register_formula_cell(*cxt, a, fc);
                dirty.insert(abs_range_t(a));
                if (verdict->boolean) booleans.insert(a);
                return;
            }
        }
        SetValue(a, cell->value);
    }

    // Compares row `row` of a sheet with what the engine holds; pushes it when it differs.
    bool SyncRow(ixion::sheet_t sheet, SheetState& st, Worksheet& ws, int32_t row) {
        Row* hostRow = size_t(row) <= ws.RowsData().size() ? &ws.RowsData()[row - 1] : nullptr;
        const RowShadow now = hostRow ? ShadowOf(*hostRow) : RowShadow{};
        RowShadow* was = size_t(row) <= st.rows.size() ? &st.rows[row - 1] : nullptr;
        const RowShadow before = was ? *was : RowShadow{};
        if (now.hash == before.hash && now.first == before.first && now.last == before.last) return false;
        // Cells the engine holds that the host no longer does are emptied.
        if (before.first <= before.last) {
            for (int32_t col = before.first; col <= before.last; ++col) {
                const Cell* c = hostRow ? hostRow->Find(col) : nullptr;
                if ((!c || !Holds(*c)) && !cxt->is_empty(abs_address_t(sheet, row - 1, col - 1)))
                    Push(sheet, row, col, nullptr);
            }
        }
        if (hostRow)
            for (Cell& c : hostRow->cells)
                if (Holds(c)) Push(sheet, row, c.col, &c);
        if (!was) {
            st.rows.resize(row);
            was = &st.rows[row - 1];
        }
        *was = now;
        return true;
    }

    void Build() {
        cxt = std::make_unique<ixion::model_context>(ixion::rc_size_t(kMaxRows, kMaxColumns));
        resolver = ixion::formula_name_resolver::get(ixion::formula_name_resolver_t::excel_a1, cxt.get());
        sheets.clear();
        kept.clear();
        booleans.clear();
        standIns.clear();
        modified.clear();
        dirty.clear();
        for (const auto& ws : wb.SheetList()) {
            SheetState st;
            st.ws = ws.get();
            st.name = ws->Name();
            cxt->append_sheet(ws->Name());
            sheets.push_back(std::move(st));
        }
        for (size_t s = 0; s < sheets.size(); ++s) {
            Worksheet& ws = *wb.SheetList()[s];
            SheetState& st = sheets[s];
            st.rows.resize(ws.RowsData().size());
            for (size_t r = 0; r < ws.RowsData().size(); ++r) {
                Row& row = ws.RowsData()[r];
                for (Cell& c : row.cells)
                    if (Holds(c)) Push(ixion::sheet_t(s), int32_t(r) + 1, c.col, &c);
                st.rows[r] = ShadowOf(row);
            }
        }
        // Nothing depends on a value cell of a new model but the formulas, which are all dirty.
        modified.clear();
        run.rebuilt = true;
        rebuild = false;
    }

    // Pushes what changed; false when so much changed that building anew is cheaper.
    bool SyncChanges() {
        int64_t changed = 0;
        for (size_t s = 0; s < sheets.size(); ++s) {
            SheetState& st = sheets[s];
            Worksheet& ws = *wb.SheetList()[s];
            if (st.scan) {
                const int32_t last = int32_t(std::max(ws.RowsData().size(), st.rows.size()));
                for (int32_t r = 1; r <= last; ++r)
                    if (SyncRow(ixion::sheet_t(s), st, ws, r) && ++changed > kRebuildRows) return false;
            } else {
                for (auto [top, bottom] : st.hintRows) {
                    const int32_t last = std::min<int32_t>(bottom, int32_t(std::max(ws.RowsData().size(), st.rows.size())));
                    for (int32_t r = top; r <= last; ++r)
                        if (SyncRow(ixion::sheet_t(s), st, ws, r) && ++changed > kRebuildRows) return false;
                }
            }
            st.scan = false;
            st.hintRows.clear();
        }
        return true;
    }

    // The first error value in the cells a formula refers to, in reference
    // order and row by row: what the host gives for a formula whose inputs hold
    // an error (the engine knows fewer errors than the host).
    std::optional<CellError> ErrorInReferences(const Worksheet& ws, const std::string& formula) {
        for (const formula::Reference& ref : formula::FindReferences(formula)) {
            const Worksheet* target = ref.sheet.empty() ? &ws : wb.SheetByName(ref.sheet);
            if (!target) continue;
            std::optional<CellError> found;
            rowspan::ForStoredCells(*target, ref.Area(), [&](int32_t, const Cell& c) {
                if (!found && c.value.IsError()) found = c.value.ErrorValue();
            });
            if (found) return found;
        }
        return std::nullopt;
    }

    // Writes the engine's result of one formula cell into the host cell.
    void WriteBack(const abs_address_t& a) {
        Worksheet& ws = *wb.SheetList()[a.sheet];
        if (size_t(a.row) >= ws.RowsData().size()) return;
        Cell* cell = ws.RowsData()[a.row].Find(a.column + 1);
        if (!cell) return;
        // An error value the engine holds as a formula: the host's value stands.
        if (!cell->formula || standIns.count(a)) return;
        ixion::formula_result r;
        try {
            r = cxt->get_formula_result(a);
        } catch (const std::exception&) {
            NoteKept("=" + *cell->formula);
            return;
        }
        switch (r.get_type()) {
            case ixion::formula_result::result_type::value:
                cell->value = booleans.count(a) ? Variant::Boolean(r.get_value() != 0)
                                                             : Variant(r.get_value() == 0 ? 0.0 : r.get_value());
                break;
            case ixion::formula_result::result_type::string: cell->value = Variant(r.get_string()); break;
            case ixion::formula_result::result_type::error: {
                if (auto e = ErrorInReferences(ws, *cell->formula)) {
                    cell->value = Variant::Error(*e);
                } else if (auto e2 = FromEngineError(r.get_error())) {
                    cell->value = Variant::Error(*e2);
                } else {
                    NoteKept("=" + *cell->formula);
                }
                break;
            }
            case ixion::formula_result::result_type::matrix: NoteKept("=" + *cell->formula); break;
        }
    }

    // Replaces a formula the engine failed on by its cached value, so that the
    // formulas after it can go on.
    void GiveUp(const abs_address_t& a) {
        Worksheet& ws = *wb.SheetList()[a.sheet];
        Cell* cell = size_t(a.row) < ws.RowsData().size() ? ws.RowsData()[a.row].Find(a.column + 1) : nullptr;
        ixion::unregister_formula_cell(*cxt, a);
        if (cell && cell->formula) NoteKept("=" + *cell->formula);
        if (cell) SetValue(a, cell->value);
        else cxt->empty_cell(a);
    }

    void Compute() {
        std::vector<abs_range_t> sorted = ixion::query_and_sort_dirty_cells(*cxt, modified, &dirty);
        modified.clear();
        dirty.clear();
        try {
            ixion::calculate_sorted_cells(*cxt, sorted, 0);
        } catch (const std::exception&) {
            // One formula threw (an argument the engine refuses): go one by one.
            for (const abs_range_t& r : sorted) {
                try {
                    ixion::calculate_sorted_cells(*cxt, {r}, 0);
                } catch (const std::exception&) {
                    GiveUp(r.first);
                }
            }
        }
        for (const abs_range_t& r : sorted) {
            for (ixion::row_t row = r.first.row; row <= r.last.row; ++row)
                for (ixion::col_t col = r.first.column; col <= r.last.column; ++col) {
                    WriteBack(abs_address_t(r.first.sheet, row, col));
                    ++run.computed;
                }
        }
    }
};

Recalc::Recalc(Workbook& wb) : impl_(std::make_unique<Impl>(wb)) {}
Recalc::~Recalc() = default;

void Recalc::CellsChanged(const Worksheet& ws, const Rect& cells) {
    impl_->anyChange = true;
    if (impl_->rebuild) return;
    SheetState* st = impl_->StateOf(ws);
    if (!st) {
        impl_->rebuild = true;
        return;
    }
    if (st->scan) return;
    if (st->hintRows.size() > 256) {
        st->scan = true;
        st->hintRows.clear();
        return;
    }
    auto& spans = st->hintRows;
    if (!spans.empty() && cells.top >= spans.back().first && cells.top <= spans.back().second + 1)
        spans.back().second = std::max(spans.back().second, cells.bottom);
    else
        spans.emplace_back(cells.top, cells.bottom);
}

void Recalc::SheetChanged(const Worksheet& ws) {
    impl_->anyChange = true;
    if (impl_->rebuild) return;
    if (SheetState* st = impl_->StateOf(ws)) st->scan = true;
    else impl_->rebuild = true;
}

void Recalc::StructureChanged() {
    impl_->anyChange = true;
    impl_->rebuild = true;
}

bool Recalc::Pending() const { return impl_->anyChange || impl_->SheetListChanged(); }

void Recalc::Calculate() {
    Impl& m = *impl_;
    m.run = Run{};
    if (!m.rebuild && m.SheetListChanged()) m.rebuild = true;
    if (!m.anyChange && !m.rebuild) return;
    if (!m.rebuild && !m.SyncChanges()) m.rebuild = true;
    if (m.rebuild) m.Build();
    m.anyChange = false;
    m.Compute();
}

const std::vector<std::string>& Recalc::Kept() const { return impl_->kept; }
const Recalc::Run& Recalc::LastRun() const { return impl_->run; }

std::string KeptFormulasNotice(const std::vector<std::string>& kept) {
    if (kept.empty()) return {};
    std::string text = "以下公式无法重新计算，单元格保留原有结果：";
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i) text += "、";
        text += kept[i];
    }
    return text;
}

}  // namespace host
