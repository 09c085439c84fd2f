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
#include <chrono>
#include <optional>
#include <string_view>
#include <unordered_map>

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
    // A formula cell is what its formula says; its cached value is the
    // engine's to set, but a formula without one (written again over itself)
    // must be computed.
    if (c.formula) return Mix(h, HashText(*c.formula) ^ (c.value.IsEmpty() ? 0x0f0f : 0xf0f0));
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

struct SheetRecord {
    const Worksheet* ws = nullptr;
    std::string name;
    std::vector<RowShadow> rows;  // rows[r - 1]
    bool scan = false;
    std::vector<std::pair<int32_t, int32_t>> hintRows;  // row spans to compare
};

using Clock = std::chrono::steady_clock;
double MillisSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// A cell of the engine's model as one number: sheet, 0-based row and column.
using Key = uint64_t;
Key KeyOf(const abs_address_t& a) { return (uint64_t(a.sheet) << 40) | (uint64_t(a.row) << 14) | uint64_t(a.column); }
abs_address_t AddressOf(Key k) {
    return abs_address_t(ixion::sheet_t(k >> 40), ixion::row_t((k >> 14) & 0x3FFFFFF), ixion::col_t(k & 0x3FFF));
}

// Which formulas read which cells. The engine has a tracker of its own, but
// registering 100,000 formulas with it takes seconds (an R-tree insertion
// each), and taking one out trips an assertion after a few thousand changes.
// Formulas read mostly a few cells of a few rows: those are indexed by row;
// the few that read tall areas (a column's total) are checked one by one.
class DependencyIndex {
public:
    struct Area {
        ixion::sheet_t sheet;
        int32_t r1, c1, r2, c2;  // 0-based, inclusive
    };

    void Listen(Key formula, std::vector<Area> areas) {
        for (const Area& a : areas) {
            if (a.r2 - a.r1 < kRowsByRow) {
                for (int32_t r = a.r1; r <= a.r2; ++r) byRow_[RowKey(a.sheet, r)].push_back({a.c1, a.c2, formula});
            } else {
                tall_.push_back({a, formula});
            }
        }
        areas_[formula] = std::move(areas);
    }

    void Forget(Key formula) {
        auto it = areas_.find(formula);
        if (it == areas_.end()) return;
        for (const Area& a : it->second) {
            if (a.r2 - a.r1 < kRowsByRow) {
                for (int32_t r = a.r1; r <= a.r2; ++r) {
                    auto row = byRow_.find(RowKey(a.sheet, r));
                    if (row == byRow_.end()) continue;
                    std::erase_if(row->second, [&](const RowEntry& e) { return e.formula == formula; });
                    if (row->second.empty()) byRow_.erase(row);
                }
            } else {
                std::erase_if(tall_, [&](const TallEntry& e) { return e.formula == formula; });
            }
        }
        areas_.erase(it);
    }

    bool IsFormula(Key k) const { return areas_.count(k) != 0; }
    bool IsRead(const abs_address_t& cell) const {
        bool read = false;
        ForReaders(cell, [&](Key) { read = true; });
        return read;
    }

    // Calls f(formula) for every formula that reads the cell.
    template <class F>
    void ForReaders(const abs_address_t& cell, F&& f) const {
        auto row = byRow_.find(RowKey(cell.sheet, cell.row));
        if (row != byRow_.end())
            for (const RowEntry& e : row->second)
                if (cell.column >= e.c1 && cell.column <= e.c2) f(e.formula);
        for (const TallEntry& e : tall_)
            if (e.area.sheet == cell.sheet && cell.row >= e.area.r1 && cell.row <= e.area.r2 &&
                cell.column >= e.area.c1 && cell.column <= e.area.c2)
                f(e.formula);
    }

private:
    static constexpr int32_t kRowsByRow = 8;
    static uint64_t RowKey(ixion::sheet_t sheet, int32_t row) { return (uint64_t(sheet) << 32) | uint32_t(row); }
    struct RowEntry {
        int32_t c1, c2;
        Key formula;
    };
    struct TallEntry {
        Area area;
        Key formula;
    };
    std::unordered_map<uint64_t, std::vector<RowEntry>> byRow_;
    std::vector<TallEntry> tall_;
    std::unordered_map<Key, std::vector<Area>> areas_;
};

// The cells a formula reads, from its tokens, relative to the formula's cell.
std::vector<DependencyIndex::Area> AreasRead(const ixion::formula_tokens_t& tokens, const abs_address_t& pos) {
    std::vector<DependencyIndex::Area> areas;
    for (const auto& t : tokens) {
        if (t->get_opcode() == ixion::fop_single_ref) {
            const abs_address_t a = t->get_single_ref().to_abs(pos);
            areas.push_back({a.sheet, int32_t(a.row), int32_t(a.column), int32_t(a.row), int32_t(a.column)});
        } else if (t->get_opcode() == ixion::fop_range_ref) {
            const abs_range_t r = t->get_range_ref().to_abs(pos);
            DependencyIndex::Area a{r.first.sheet, int32_t(r.first.row), int32_t(r.first.column), int32_t(r.last.row),
                                    int32_t(r.last.column)};
            if (r.all_rows()) a.r1 = 0, a.r2 = kMaxRows - 1;
            if (r.all_columns()) a.c1 = 0, a.c2 = kMaxColumns - 1;
            for (ixion::sheet_t s = r.first.sheet; s <= std::max(r.first.sheet, r.last.sheet); ++s) {
                a.sheet = s;
                areas.push_back(a);
            }
        }
    }
    return areas;
}

}  // namespace

struct Recalc::Impl {
    explicit Impl(Workbook& wb) : wb(wb) {}

    Workbook& wb;
    std::unique_ptr<ixion::model_context> cxt;
    std::unique_ptr<ixion::formula_name_resolver> resolver;
    std::vector<SheetRecord> sheets;  // in the engine's sheet order
    bool rebuild = true;
    bool anyChange = true;
    DependencyIndex deps;
    bool building = false;  // a new model: nothing to forget, no reader to find
    std::vector<abs_address_t> modified;  // cells whose readers must be computed
    std::vector<Key> dirty;               // formulas set anew
    std::vector<std::string> kept;
    Run run;
    // Formula cells whose number is TRUE / FALSE; engine formulas that stand
    // for a host error value (not host formulas, nothing to write back).
    ixion::abs_address_set_t booleans, standIns;

    SheetRecord* StateOf(const Worksheet& ws) {
        for (SheetRecord& s : sheets)
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
                cxt->set_formula_cell(a, std::move(tokens));
                deps.Listen(KeyOf(a), {});
                dirty.push_back(KeyOf(a));
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
        if (!building) {
            deps.Forget(KeyOf(a));
            modified.push_back(a);
            booleans.erase(a);
            standIns.erase(a);
        }
        if (!cell || !Holds(*cell)) {
            cxt->empty_cell(a);
            return;
        }
        // The engine holds only the values that formulas read (and the
        // formulas): a roster's names and numbers stay out of it.
        if (!cell->formula && !deps.IsRead(a) && cxt->is_empty(a)) return;
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
                std::vector<DependencyIndex::Area> areas = AreasRead(tokens, a);
                if (!building) PullInputs(areas);
                deps.Listen(KeyOf(a), std::move(areas));
                cxt->set_formula_cell(a, std::move(tokens));
                dirty.push_back(KeyOf(a));
                if (verdict->boolean) booleans.insert(a);
                return;
            }
        }
        SetValue(a, cell->value);
    }

    // The values in the areas a new formula reads that the engine does not hold yet.
    void PullInputs(const std::vector<DependencyIndex::Area>& areas) {
        for (const DependencyIndex::Area& area : areas) {
            if (size_t(area.sheet) >= wb.SheetList().size()) continue;
            Worksheet& ws = *wb.SheetList()[area.sheet];
            const Rect r{area.r1 + 1, area.c1 + 1, area.r2 + 1, area.c2 + 1};
            rowspan::ForStoredCells(ws, r, [&](int32_t row, Cell& c) {
                const abs_address_t a(area.sheet, row - 1, c.col - 1);
                if (!c.formula && !c.value.IsEmpty() && cxt->is_empty(a)) SetValue(a, c.value);
            });
        }
    }

    // Compares row `row` of a sheet with what the engine holds; pushes it when it differs.
    // `force`: push even when the hash is the same (a formula written again
    // over itself has lost its cached result).
    bool SyncRow(ixion::sheet_t sheet, SheetRecord& st, Worksheet& ws, int32_t row, bool force = false) {
        Row* hostRow = size_t(row) <= ws.RowsData().size() ? &ws.RowsData()[row - 1] : nullptr;
        const RowShadow now = hostRow ? ShadowOf(*hostRow) : RowShadow{};
        RowShadow* was = size_t(row) <= st.rows.size() ? &st.rows[row - 1] : nullptr;
        const RowShadow before = was ? *was : RowShadow{};
        if (!force && now.hash == before.hash && now.first == before.first && now.last == before.last) return false;
        if (!cxt && hostRow && std::any_of(hostRow->cells.begin(), hostRow->cells.end(), [](const Cell& c) { return bool(c.formula); })) {
            rebuild = true;  // the first formula of a workbook without any: the model is built
            return true;
        }
        // Cells the engine holds that the host no longer does are emptied.
        if (cxt && before.first <= before.last) {
            for (int32_t col = before.first; col <= before.last; ++col) {
                const Cell* c = hostRow ? hostRow->Find(col) : nullptr;
                if ((!c || !Holds(*c)) && !cxt->is_empty(abs_address_t(sheet, row - 1, col - 1)))
                    Push(sheet, row, col, nullptr);
            }
        }
        if (hostRow && cxt)
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
        cxt.reset();
        resolver.reset();
        sheets.clear();
        kept.clear();
        booleans.clear();
        standIns.clear();
        deps = DependencyIndex{};
        modified.clear();
        dirty.clear();
        bool anyFormula = false;
        for (const auto& ws : wb.SheetList()) {
            SheetRecord st;
            st.ws = ws.get();
            st.name = ws->Name();
            st.rows.resize(ws->RowsData().size());
            for (size_t r = 0; r < ws->RowsData().size(); ++r) {
                const Row& row = ws->RowsData()[r];
                st.rows[r] = ShadowOf(row);
                if (!anyFormula)
                    anyFormula = std::any_of(row.cells.begin(), row.cells.end(), [](const Cell& c) { return bool(c.formula); });
            }
            sheets.push_back(std::move(st));
        }
        run.rebuilt = true;
        rebuild = false;
        // A workbook without formulas needs no model until its first formula.
        if (!anyFormula) return;
        cxt = std::make_unique<ixion::model_context>(ixion::rc_size_t(kMaxRows, kMaxColumns));
        resolver = ixion::formula_name_resolver::get(ixion::formula_name_resolver_t::excel_a1, cxt.get());
        for (const SheetRecord& st : sheets) cxt->append_sheet(st.name);
        building = true;
        // Formulas first, so that the values they read are known.
        for (int pass = 0; pass < 2; ++pass) {
            for (size_t s = 0; s < sheets.size(); ++s) {
                Worksheet& ws = *wb.SheetList()[s];
                for (size_t r = 0; r < ws.RowsData().size(); ++r)
                    for (Cell& c : ws.RowsData()[r].cells)
                        if (Holds(c) && bool(c.formula) == (pass == 0)) Push(ixion::sheet_t(s), int32_t(r) + 1, c.col, &c);
            }
        }
        building = false;
    }

    // Pushes what changed; false when so much changed that building anew is cheaper.
    bool SyncChanges() {
        int64_t changed = 0;
        for (size_t s = 0; s < sheets.size(); ++s) {
            SheetRecord& st = sheets[s];
            Worksheet& ws = *wb.SheetList()[s];
            if (st.scan) {
                const int32_t last = int32_t(std::max(ws.RowsData().size(), st.rows.size()));
                for (int32_t r = 1; r <= last; ++r)
                    if (SyncRow(ixion::sheet_t(s), st, ws, r) && ++changed > kRebuildRows) return false;
            } else {
                for (auto [top, bottom] : st.hintRows) {
                    const int32_t last = std::min<int32_t>(bottom, int32_t(std::max(ws.RowsData().size(), st.rows.size())));
                    for (int32_t r = top; r <= last; ++r)
                        if (SyncRow(ixion::sheet_t(s), st, ws, r, true) && ++changed > kRebuildRows) return false;
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
        struct Reshadow {
            Impl& m;
            const abs_address_t& a;
            bool wasEmpty;
            ~Reshadow() { if (wasEmpty) m.Reshadow(a); }
        } reshadow{*this, a, cell->value.IsEmpty()};
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
        if (cell && cell->formula) NoteKept("=" + *cell->formula);
        deps.Forget(KeyOf(a));
        if (cell) SetValue(a, cell->value);
        else cxt->empty_cell(a);
    }

    // The formulas to compute, each after the formulas it reads: every
    // formula set anew and every formula that reads a changed cell, directly
    // or through other formulas. Formulas in a cycle (and what reads them)
    // are left out and get #REF!.
    std::vector<abs_range_t> Order() {
        std::unordered_map<Key, int32_t> index;
        std::vector<Key> nodes;
        std::vector<std::vector<int32_t>> readers;
        auto add = [&](Key k) {
            auto [it, fresh] = index.emplace(k, int32_t(nodes.size()));
            if (fresh) {
                nodes.push_back(k);
                readers.emplace_back();
            }
            return it->second;
        };
        for (Key k : dirty)
            if (deps.IsFormula(k)) add(k);
        for (const abs_address_t& m : modified) deps.ForReaders(m, [&](Key f) { add(f); });
        // Breadth first: the readers of each formula are formulas to compute too.
        for (size_t i = 0; i < nodes.size(); ++i)
            deps.ForReaders(AddressOf(nodes[i]), [&](Key f) {
                const int32_t j = add(f);
                readers[i].push_back(j);
            });
        std::vector<int32_t> waiting(nodes.size(), 0);
        for (const auto& rs : readers)
            for (int32_t j : rs) ++waiting[j];
        std::vector<int32_t> ready;
        for (size_t i = 0; i < nodes.size(); ++i)
            if (waiting[i] == 0) ready.push_back(int32_t(i));
        std::vector<abs_range_t> sorted;
        sorted.reserve(nodes.size());
        while (!ready.empty()) {
            const int32_t i = ready.back();
            ready.pop_back();
            sorted.emplace_back(AddressOf(nodes[i]));
            for (int32_t j : readers[i])
                if (--waiting[j] == 0) ready.push_back(j);
        }
        for (size_t i = 0; i < nodes.size(); ++i)
            if (waiting[i] > 0) InCycle(AddressOf(nodes[i]));
        return sorted;
    }

    void InCycle(const abs_address_t& a) {
        Worksheet& ws = *wb.SheetList()[a.sheet];
        Cell* cell = size_t(a.row) < ws.RowsData().size() ? ws.RowsData()[a.row].Find(a.column + 1) : nullptr;
        if (cell && cell->formula && !standIns.count(a)) {
            const bool wasEmpty = cell->value.IsEmpty();
            cell->value = Variant::Error(CellError::Ref);
            if (wasEmpty) Reshadow(a);
        }
        ++run.computed;
    }

    // A formula cell got its first result: its row's hash follows.
    void Reshadow(const abs_address_t& a) {
        Worksheet& ws = *wb.SheetList()[a.sheet];
        SheetRecord& st = sheets[a.sheet];
        if (size_t(a.row) < ws.RowsData().size() && size_t(a.row) < st.rows.size())
            st.rows[a.row] = ShadowOf(ws.RowsData()[a.row]);
    }

    void Compute() {
        if (!cxt) return;
        auto start = Clock::now();
        std::vector<abs_range_t> sorted = Order();
        modified.clear();
        dirty.clear();
        run.orderMs = MillisSince(start);
        start = Clock::now();
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
        run.engineMs = MillisSince(start);
        start = Clock::now();
        for (const abs_range_t& r : sorted) {
            WriteBack(r.first);
            ++run.computed;
        }
        run.writeBackMs = MillisSince(start);
    }
};

Recalc::Recalc(Workbook& wb) : impl_(std::make_unique<Impl>(wb)) {}
Recalc::~Recalc() = default;

void Recalc::CellsChanged(const Worksheet& ws, const Rect& cells) {
    impl_->anyChange = true;
    if (impl_->rebuild) return;
    SheetRecord* st = impl_->StateOf(ws);
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
    if (SheetRecord* st = impl_->StateOf(ws)) st->scan = true;
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
    const auto start = Clock::now();
    try {
        if (!m.rebuild && !m.SyncChanges()) m.rebuild = true;
        if (m.rebuild) m.Build();
        m.anyChange = false;
        m.run.syncMs = MillisSince(start);
        m.Compute();
    } catch (const std::exception&) {
        // The engine failed outside any one formula (memory, a limit): the
        // cached results stand, and the next Calculate starts afresh.
        m.rebuild = true;
        m.anyChange = true;
        m.NoteKept("（重新计算失败）");
    }
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
