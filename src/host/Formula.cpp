#include "host/Formula.h"

#include "host/TextCompare.h"

#include <algorithm>
#include <cctype>

namespace host::formula {

namespace {

constexpr const char* kRefError = "#REF!";

bool IsWordChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '.' || u >= 0x80;
}

// Index just past the closing quote of a "…" string ("" is an escaped quote).
size_t SkipString(std::string_view s, size_t i) {
    for (++i; i < s.size(); ++i) {
        if (s[i] != '"') continue;
        if (i + 1 < s.size() && s[i + 1] == '"') { ++i; continue; }
        return i + 1;
    }
    return s.size();
}

// Index just past an error literal such as #REF!, #N/A, #DIV/0!, #NAME?.
size_t SkipErrorLiteral(std::string_view s, size_t i) {
    for (++i; i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '/'); ++i) {}
    if (i < s.size() && (s[i] == '!' || s[i] == '?')) ++i;
    return i;
}

// A reference may not run on into a name, a function call or a sheet prefix.
bool AtBoundary(std::string_view s, size_t i) {
    return i >= s.size() || (!IsWordChar(s[i]) && s[i] != '(' && s[i] != '!' && s[i] != '$' && s[i] != '[');
}

enum class Shape { None, Cell, ColumnOnly, RowOnly };

Shape ShapeOf(const RefPart& p) {
    if (p.row && p.col) return Shape::Cell;
    if (p.col) return Shape::ColumnOnly;
    if (p.row) return Shape::RowOnly;
    return Shape::None;
}

// "$B$3", "B", "3" at s[i]; returns the end, or npos.
size_t ParseA1Part(std::string_view s, size_t i, RefPart& p, int32_t, int32_t) {
    p = {};
    size_t j = i;
    bool colAbs = j < s.size() && s[j] == '$';
    if (colAbs) ++j;
    size_t ls = j;
    while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j])) && j - ls < 4) ++j;
    if (j > ls) {
        p.col = ColumnFromLetters(s.substr(ls, j - ls));
        if (!p.col) return std::string_view::npos;
        p.colAbs = colAbs;
        bool rowAbs = j < s.size() && s[j] == '$';
        size_t ds = rowAbs ? j + 1 : j;
        size_t k = ds;
        int64_t r = 0;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])) && r <= kMaxRows) r = r * 10 + (s[k++] - '0');
        if (k > ds) {
            if (r < 1 || r > kMaxRows) return std::string_view::npos;
            p.row = int32_t(r);
            p.rowAbs = rowAbs;
            j = k;
        } else if (rowAbs) {
            return std::string_view::npos;
        }
    } else {
        size_t ds = j;
        int64_t r = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])) && r <= kMaxRows) r = r * 10 + (s[j++] - '0');
        if (j == ds || r < 1 || r > kMaxRows) return std::string_view::npos;
        p.row = int32_t(r);
        p.rowAbs = colAbs;
    }
    return AtBoundary(s, j) ? j : std::string_view::npos;
}

// "R", "R2", "R[-1]" (and the same for C) at s[j]; coordinate in A1 terms
// relative to `base`. Returns the end, npos when the letter is absent.
size_t ParseR1C1Axis(std::string_view s, size_t j, char letter, int32_t base, int32_t& value, bool& abs, bool& bad) {
    if (j >= s.size() || std::toupper(static_cast<unsigned char>(s[j])) != letter) return std::string_view::npos;
    ++j;
    auto number = [&](size_t& k, int64_t& n) {
        size_t st = k;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])) && n <= kMaxRows) n = n * 10 + (s[k++] - '0');
        return k > st;
    };
    int64_t n = 0;
    if (j < s.size() && s[j] == '[') {
        size_t k = j + 1;
        bool neg = k < s.size() && s[k] == '-';
        if (neg || (k < s.size() && s[k] == '+')) ++k;
        if (!number(k, n) || k >= s.size() || s[k] != ']') { bad = true; return j; }
        int64_t v = base + (neg ? -n : n);
        value = int32_t(std::clamp<int64_t>(v, -1, int64_t(kMaxRows) + 1));
        abs = false;
        return k + 1;
    }
    size_t k = j;
    if (number(k, n)) {
        value = int32_t(std::min<int64_t>(n, int64_t(kMaxRows) + 1));
        abs = true;
        return k;
    }
    value = base;
    abs = false;
    return j;
}

// Positions that fall off the sheet are kept out of range here and turn into
// #REF! when the reference is written.
size_t ParseR1C1Part(std::string_view s, size_t i, RefPart& p, int32_t row, int32_t col) {
    p = {};
    bool bad = false;
    size_t j = i;
    size_t e = ParseR1C1Axis(s, j, 'R', row, p.row, p.rowAbs, bad);
    bool hasRow = e != std::string_view::npos;
    if (hasRow) j = e;
    e = ParseR1C1Axis(s, j, 'C', col, p.col, p.colAbs, bad);
    bool hasCol = e != std::string_view::npos;
    if (hasCol) j = e;
    if (bad || (!hasRow && !hasCol) || !AtBoundary(s, j)) return std::string_view::npos;
    if (!hasRow) p.row = 0;
    if (!hasCol) p.col = 0;
    // Keep the "present" marker for coordinates pushed off the sheet.
    if (hasRow && p.row == 0) p.row = -1;
    if (hasCol && p.col == 0) p.col = -1;
    return j;
}

bool OnSheet(const RefPart& p) {
    return p.row >= 0 && p.row <= kMaxRows && p.col >= 0 && p.col <= kMaxColumns && (p.row || p.col) &&
           p.row != -1 && p.col != -1;
}

using PartParser = size_t (*)(std::string_view, size_t, RefPart&, int32_t, int32_t);

struct Scanner {
    std::string_view s;
    PartParser parse;
    bool singleLines;  // R1C1: "R2" alone is a whole row, "C3" a whole column
    int32_t row, col;
    std::vector<Reference> out;

    bool TryReference(size_t begin, size_t body, std::string prefix, std::string sheet) {
        Reference r;
        size_t e1 = parse(s, body, r.first, row, col);
        if (e1 == std::string_view::npos) return false;
        Shape sh1 = ShapeOf(r.first);
        size_t end = std::string_view::npos;
        if (e1 < s.size() && s[e1] == ':') {
            size_t e2 = parse(s, e1 + 1, r.last, row, col);
            if (e2 != std::string_view::npos && ShapeOf(r.last) == sh1) {
                r.kind = sh1 == Shape::Cell ? RefKind::Area : sh1 == Shape::ColumnOnly ? RefKind::Columns : RefKind::Rows;
                end = e2;
            }
        }
        if (end == std::string_view::npos) {
            if (sh1 == Shape::Cell) r.kind = RefKind::Cell;
            else if (singleLines) r.kind = sh1 == Shape::ColumnOnly ? RefKind::Columns : RefKind::Rows;
            else return false;
            r.last = r.first;
            end = e1;
        }
        r.begin = begin;
        r.end = end;
        r.prefix = std::move(prefix);
        r.sheet = std::move(sheet);
        out.push_back(std::move(r));
        return true;
    }

    // 'My sheet'!… : returns the index past the closing quote, or npos.
    size_t QuotedNameEnd(size_t i, std::string& name) const {
        for (size_t j = i + 1; j < s.size(); ++j) {
            if (s[j] != '\'') { name += s[j]; continue; }
            if (j + 1 < s.size() && s[j + 1] == '\'') { name += '\''; ++j; continue; }
            return j + 1;
        }
        return std::string_view::npos;
    }

    void Run() {
        size_t i = 0;
        while (i < s.size()) {
            char c = s[i];
            if (c == '"') { i = SkipString(s, i); continue; }
            if (c == '#') { i = SkipErrorLiteral(s, i); continue; }
            if (c == '\'') {
                std::string name;
                size_t q = QuotedNameEnd(i, name);
                if (q != std::string_view::npos && q < s.size() && s[q] == '!' &&
                    TryReference(i, q + 1, std::string(s.substr(i, q + 1 - i)), name)) {
                    i = out.back().end;
                } else {
                    i = q == std::string_view::npos ? s.size() : q;
                }
                continue;
            }
            bool wordStart = (IsWordChar(c) || c == '$') && (i == 0 || (!IsWordChar(s[i - 1]) && s[i - 1] != '$'));
            if (!wordStart) { ++i; continue; }
            if (TryReference(i, i, {}, {})) { i = out.back().end; continue; }
            size_t w = i;
            while (w < s.size() && (IsWordChar(s[w]) || s[w] == '$')) ++w;
            if (w < s.size() && s[w] == '!' && TryReference(i, w + 1, std::string(s.substr(i, w + 1 - i)),
                                                            std::string(s.substr(i, w - i)))) {
                i = out.back().end;
                continue;
            }
            i = std::max(w, i + 1);
        }
    }
};

std::vector<Reference> Scan(std::string_view s, PartParser parse, bool singleLines, int32_t row, int32_t col) {
    Scanner sc{s, parse, singleLines, row, col, {}};
    sc.Run();
    return std::move(sc.out);
}

// Replaces every reference by what `write` makes of it.
template <class F>
std::string Rewrite(std::string_view s, const std::vector<Reference>& refs, F write) {
    std::string out;
    out.reserve(s.size() + 8);
    size_t pos = 0;
    for (const Reference& r : refs) {
        out.append(s.substr(pos, r.begin - pos));
        out += write(r);
        pos = r.end;
    }
    out.append(s.substr(pos));
    return out;
}

std::string A1Part(const RefPart& p) {
    std::string t;
    if (p.col) {
        if (p.colAbs) t += '$';
        t += ColumnLetters(p.col);
    }
    if (p.row) {
        if (p.rowAbs) t += '$';
        t += std::to_string(p.row);
    }
    return t;
}

std::string A1Text(const Reference& r) {
    if (!OnSheet(r.first) || !OnSheet(r.last)) return r.prefix + kRefError;
    std::string t = r.prefix + A1Part(r.first);
    if (r.kind != RefKind::Cell) t += ":" + A1Part(r.last);
    return t;
}

std::string R1C1Axis(char letter, int32_t v, bool abs, int32_t base) {
    std::string t(1, letter);
    if (abs) t += std::to_string(v);
    else if (v != base) t += "[" + std::to_string(v - base) + "]";
    return t;
}

std::string R1C1Part(const RefPart& p, int32_t row, int32_t col) {
    std::string t;
    if (p.row) t += R1C1Axis('R', p.row, p.rowAbs, row);
    if (p.col) t += R1C1Axis('C', p.col, p.colAbs, col);
    return t;
}

}  // namespace

Rect Reference::Area() const {
    switch (kind) {
        case RefKind::Columns:
            return Rect{1, std::min(first.col, last.col), kMaxRows, std::max(first.col, last.col)};
        case RefKind::Rows:
            return Rect{std::min(first.row, last.row), 1, std::max(first.row, last.row), kMaxColumns};
        default:
            return Rect{std::min(first.row, last.row), std::min(first.col, last.col),
                        std::max(first.row, last.row), std::max(first.col, last.col)};
    }
}

std::vector<Reference> FindReferences(std::string_view a1) { return Scan(a1, ParseA1Part, false, 1, 1); }

std::string ToR1C1(std::string_view a1, int32_t row, int32_t col) {
    return Rewrite(a1, FindReferences(a1), [&](const Reference& r) {
        std::string t = r.prefix + R1C1Part(r.first, row, col);
        // A single whole row or column reads "R2" / "C[1]" in R1C1 form.
        bool single = r.kind == RefKind::Cell ||
                      ((r.kind == RefKind::Rows || r.kind == RefKind::Columns) && r.first.row == r.last.row &&
                       r.first.col == r.last.col && r.first.rowAbs == r.last.rowAbs && r.first.colAbs == r.last.colAbs);
        if (!single) t += ":" + R1C1Part(r.last, row, col);
        return t;
    });
}

std::string FromR1C1(std::string_view r1c1, int32_t row, int32_t col) {
    return Rewrite(r1c1, Scan(r1c1, ParseR1C1Part, true, row, col), A1Text);
}

std::string Translate(std::string_view a1, int32_t dRows, int32_t dCols) {
    // Out-of-range positions become -1 and are written as #REF!.
    auto move = [&](RefPart& p) {
        if (p.row && !p.rowAbs) p.row = p.row + dRows < 1 || p.row + dRows > kMaxRows ? -1 : p.row + dRows;
        if (p.col && !p.colAbs) p.col = p.col + dCols < 1 || p.col + dCols > kMaxColumns ? -1 : p.col + dCols;
    };
    return Rewrite(a1, FindReferences(a1), [&](const Reference& r) {
        Reference t = r;
        move(t.first);
        move(t.last);
        return A1Text(t);
    });
}

Deletion::Deletion(bool shiftUp, int32_t bandFirst, int32_t bandLast, std::vector<std::pair<int32_t, int32_t>> spans)
    : shiftUp_(shiftUp), bandFirst_(bandFirst), bandLast_(bandLast) {
    std::sort(spans.begin(), spans.end());
    for (const auto& sp : spans) {
        if (!spans_.empty() && sp.first <= spans_.back().second + 1)
            spans_.back().second = std::max(spans_.back().second, sp.second);
        else
            spans_.push_back(sp);
    }
    before_.reserve(spans_.size());
    int32_t n = 0;
    for (const auto& sp : spans_) {
        before_.push_back(n);
        n += sp.second - sp.first + 1;
    }
}

Deletion Deletion::Of(const Rect& d, bool shiftUp) {
    return shiftUp ? Deletion(true, d.left, d.right, {{d.top, d.bottom}})
                   : Deletion(false, d.top, d.bottom, {{d.left, d.right}});
}

bool Deletion::WholeLines() const {
    return bandFirst_ <= 1 && bandLast_ >= (shiftUp_ ? kMaxColumns : kMaxRows);
}

int32_t Deletion::DeletedUpTo(int32_t p) const {
    auto it = std::upper_bound(spans_.begin(), spans_.end(), p,
                               [](int32_t v, const std::pair<int32_t, int32_t>& s) { return v < s.first; });
    if (it == spans_.begin()) return 0;
    size_t k = size_t(it - spans_.begin()) - 1;
    return before_[k] + std::min(p, spans_[k].second) - spans_[k].first + 1;
}

bool Deletion::IsDeleted(int32_t p) const { return DeletedUpTo(p) != DeletedUpTo(p - 1); }

std::optional<std::pair<int32_t, int32_t>> Deletion::MapSpan(int32_t a, int32_t b) const {
    int32_t da = DeletedUpTo(a - 1), db = DeletedUpTo(b);
    if ((b - a + 1) - (db - da) <= 0) return std::nullopt;
    return std::make_pair(a - da, b - db);
}

std::optional<Rect> Deletion::MapRect(const Rect& r) const {
    if (shiftUp_) {
        if (r.left < bandFirst_ || r.right > bandLast_) return r;
        auto m = MapSpan(r.top, r.bottom);
        if (!m) return std::nullopt;
        return Rect{m->first, r.left, m->second, r.right};
    }
    if (r.top < bandFirst_ || r.bottom > bandLast_) return r;
    auto m = MapSpan(r.left, r.right);
    if (!m) return std::nullopt;
    return Rect{r.top, m->first, r.bottom, m->second};
}

bool SameSheetName(std::string_view a, std::string_view b) { return EqualsIgnoreCase(a, b); }

std::string AdjustForDelete(std::string_view a1, const std::string& formulaSheet, const std::string& sheetName,
                            const Rect& deleted, bool shiftUp) {
    return AdjustForDelete(a1, formulaSheet, sheetName, Deletion::Of(deleted, shiftUp));
}

std::string AdjustForDelete(std::string_view a1, const std::string& formulaSheet, const std::string& sheetName,
                            const Deletion& d) {
    auto refs = FindReferences(a1);
    bool onSheet = SameSheetName(formulaSheet, sheetName);
    std::erase_if(refs, [&](const Reference& r) {
        if (r.sheet.empty() ? !onSheet : !SameSheetName(r.sheet, sheetName)) return true;
        // Whole columns stay whole columns when rows go, and whole rows when columns go.
        return (r.kind == RefKind::Columns && d.ShiftUp()) || (r.kind == RefKind::Rows && !d.ShiftUp());
    });
    if (refs.empty()) return std::string(a1);
    return Rewrite(a1, refs, [&](const Reference& r) {
        auto area = d.MapRect(r.Area());
        if (!area) return r.prefix + kRefError;
        // Keep which end was written first; only the coordinates change.
        Reference t = r;
        RefPart& top = r.first.row <= r.last.row ? t.first : t.last;
        RefPart& bottom = &top == &t.first ? t.last : t.first;
        RefPart& left = r.first.col <= r.last.col ? t.first : t.last;
        RefPart& right = &left == &t.first ? t.last : t.first;
        if (t.first.row) top.row = area->top, bottom.row = area->bottom;
        if (t.first.col) left.col = area->left, right.col = area->right;
        return A1Text(t);
    });
}

std::string AdjustForInsert(std::string_view a1, const std::string& formulaSheet, const std::string& sheetName,
                            bool rows, int32_t at, int32_t count, int32_t bandFirst, int32_t bandLast) {
    auto refs = FindReferences(a1);
    bool onSheet = SameSheetName(formulaSheet, sheetName);
    const bool wholeLines = bandFirst <= 1 && bandLast >= (rows ? kMaxColumns : kMaxRows);
    std::erase_if(refs, [&](const Reference& r) {
        if (r.sheet.empty() ? !onSheet : !SameSheetName(r.sheet, sheetName)) return true;
        // Whole columns stay whole when rows come in, and whole rows when columns do.
        if ((r.kind == RefKind::Columns && rows) || (r.kind == RefKind::Rows && !rows)) return true;
        if (wholeLines) return false;
        const Rect a = r.Area();
        return rows ? a.left < bandFirst || a.right > bandLast : a.top < bandFirst || a.bottom > bandLast;
    });
    if (refs.empty()) return std::string(a1);
    return Rewrite(a1, refs, [&](const Reference& r) {
        Reference t = r;
        // The far end of an area moves when it is at or past the insertion;
        // the near end only when the whole area is.
        auto move = [&](int32_t& near, int32_t& far) {
            int32_t& lo = near <= far ? near : far;
            int32_t& hi = &lo == &near ? far : near;
            if (lo >= at) lo += count;
            if (hi >= at) hi += count;
        };
        if (rows) move(t.first.row, t.last.row);
        else move(t.first.col, t.last.col);
        return A1Text(t);
    });
}

std::string SheetPrefix(const std::string& name) {
    bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]));
    for (char c : name) plain = plain && IsWordChar(c) && c != '.';
    // A name that reads as a cell (“A1”, “R1C1”) must be quoted too.
    if (plain && ParseCellRef(name)) plain = false;
    if (plain) return name + "!";
    std::string out = "'";
    for (char c : name) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'!";
}

std::string AdjustForMove(std::string_view a1, const std::string& formulaSheet, const std::string& formulaSheetNow,
                          const Move& m) {
    auto refs = FindReferences(a1);
    const bool sheetChanged = !SameSheetName(formulaSheet, formulaSheetNow);
    const Rect to = m.To();
    if (refs.empty()) return std::string(a1);
    return Rewrite(a1, refs, [&](const Reference& r) {
        const std::string& sheet = r.sheet.empty() ? formulaSheet : r.sheet;
        const Rect area = r.Area();
        Reference t = r;
        // The reference's sheet as written from where the formula is now.
        auto prefixFor = [&](const std::string& target) {
            if (!r.prefix.empty() && SameSheetName(r.sheet, target)) return r.prefix;
            return SameSheetName(target, formulaSheetNow) ? std::string() : SheetPrefix(target);
        };
        if (SameSheetName(sheet, m.fromSheet) && m.from.Contains(area)) {
            for (RefPart* p : {&t.first, &t.last}) {
                if (p->row) p->row += m.dRows;
                if (p->col) p->col += m.dCols;
            }
            t.prefix = prefixFor(m.toSheet);
            return A1Text(t);
        }
        if (SameSheetName(sheet, m.toSheet) && to.Contains(area) &&
            !(SameSheetName(m.fromSheet, m.toSheet) && m.from.Intersects(area)))
            return prefixFor(m.toSheet) + kRefError;
        if (sheetChanged && r.prefix.empty()) t.prefix = prefixFor(formulaSheet);
        return A1Text(t);
    });
}

}  // namespace host::formula
