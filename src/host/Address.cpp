#include "host/Address.h"

#include <cctype>

namespace host {

int32_t ColumnFromLetters(std::string_view letters) {
    if (letters.empty() || letters.size() > 3) return 0;
    int32_t n = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return 0;
        n = n * 26 + (c - 'A' + 1);
    }
    return n <= kMaxColumns ? n : 0;
}

std::string ColumnLetters(int32_t col) {
    std::string s;
    while (col > 0) {
        int r = (col - 1) % 26;
        s.insert(s.begin(), char('A' + r));
        col = (col - 1) / 26;
    }
    return s;
}

namespace {
struct Part {
    int32_t row = 0, col = 0;  // 0 = absent
};

// "$B$3", "B", "3" (with optional $ before each piece).
bool ParsePart(std::string_view s, Part& p) {
    size_t i = 0;
    if (i < s.size() && s[i] == '$') ++i;
    size_t ls = i;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) ++i;
    if (i > ls) {
        p.col = ColumnFromLetters(s.substr(ls, i - ls));
        if (!p.col) return false;
        if (i < s.size() && s[i] == '$') ++i;
    } else if (i > 0 && i < s.size() && !std::isdigit(static_cast<unsigned char>(s[i]))) {
        return false;
    }
    size_t ds = i;
    int64_t r = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        r = r * 10 + (s[i] - '0');
        if (r > kMaxRows) return false;
        ++i;
    }
    if (i != s.size()) return false;
    if (i > ds) {
        if (r < 1) return false;
        p.row = static_cast<int32_t>(r);
    }
    return p.row || p.col;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}
}  // namespace

std::optional<CellRef> ParseCellRef(std::string_view a1) {
    Part p;
    if (!ParsePart(Trim(a1), p) || !p.row || !p.col) return std::nullopt;
    return CellRef{p.row, p.col};
}

std::optional<Rect> ParseArea(std::string_view a1) {
    a1 = Trim(a1);
    auto colon = a1.find(':');
    Part a, b;
    if (colon == std::string_view::npos) {
        if (!ParsePart(a1, a) || !a.row || !a.col) return std::nullopt;
        return Rect{a.row, a.col, a.row, a.col};
    }
    if (!ParsePart(a1.substr(0, colon), a) || !ParsePart(a1.substr(colon + 1), b)) return std::nullopt;
    Rect r;
    if (a.row && a.col && b.row && b.col) {
        r = {a.row, a.col, b.row, b.col};
    } else if (!a.row && !b.row && a.col && b.col) {  // "A:G"
        r = {1, a.col, kMaxRows, b.col};
    } else if (!a.col && !b.col && a.row && b.row) {  // "2:5"
        r = {a.row, 1, b.row, kMaxColumns};
    } else {
        return std::nullopt;
    }
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    if (r.left > r.right) std::swap(r.left, r.right);
    return r;
}

std::vector<Rect> ParseAreas(std::string_view a1) {
    std::vector<Rect> out;
    while (true) {
        auto comma = a1.find(',');
        auto r = ParseArea(a1.substr(0, comma));
        if (!r) return {};
        out.push_back(*r);
        if (comma == std::string_view::npos) break;
        a1.remove_prefix(comma + 1);
    }
    return out;
}

std::string CellAddress(int32_t row, int32_t col, bool rowAbsolute, bool columnAbsolute) {
    std::string s;
    if (columnAbsolute) s += '$';
    s += ColumnLetters(col);
    if (rowAbsolute) s += '$';
    s += std::to_string(row);
    return s;
}

std::string AreaAddress(const Rect& r, bool rowAbsolute, bool columnAbsolute) {
    const char* rd = rowAbsolute ? "$" : "";
    const char* cd = columnAbsolute ? "$" : "";
    if (r.IsWholeRows())  // the whole sheet too, as the host writes it
        return rd + std::to_string(r.top) + ":" + rd + std::to_string(r.bottom);
    if (r.IsWholeColumns())
        return cd + ColumnLetters(r.left) + ":" + cd + ColumnLetters(r.right);
    std::string a = CellAddress(r.top, r.left, rowAbsolute, columnAbsolute);
    if (r.Rows() == 1 && r.Columns() == 1) return a;
    return a + ":" + CellAddress(r.bottom, r.right, rowAbsolute, columnAbsolute);
}

}  // namespace host
