#pragma once
// Cell coordinates and A1 addresses. Rows and columns are 1-based.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

constexpr int32_t kMaxRows = 1048576;
constexpr int32_t kMaxColumns = 16384;

struct CellRef {
    int32_t row = 1;
    int32_t col = 1;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

// An inclusive rectangle of cells.
struct Rect {
    int32_t top = 1, left = 1, bottom = 1, right = 1;

    int32_t Rows() const { return bottom - top + 1; }
    int32_t Columns() const { return right - left + 1; }
    int64_t Count() const { return int64_t(Rows()) * Columns(); }
    bool Contains(int32_t r, int32_t c) const { return r >= top && r <= bottom && c >= left && c <= right; }
    bool Contains(const Rect& o) const {
        return o.top >= top && o.bottom <= bottom && o.left >= left && o.right <= right;
    }
    bool Intersects(const Rect& o) const {
        return !(o.bottom < top || o.top > bottom || o.right < left || o.left > right);
    }
    bool IsWholeRows() const { return left == 1 && right == kMaxColumns; }
    bool IsWholeColumns() const { return top == 1 && bottom == kMaxRows; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// "A" → 1, "XFD" → 16384; 0 when not a column name.
int32_t ColumnFromLetters(std::string_view letters);
std::string ColumnLetters(int32_t col);

// "B3" (with or without $) → CellRef.
std::optional<CellRef> ParseCellRef(std::string_view a1);
// One area: "A1", "A1:B2", "A:G", "2:5", "$A$1:$B$2".
std::optional<Rect> ParseArea(std::string_view a1);
// Areas separated by commas: "A1,C3:D4". Empty result on any bad part.
std::vector<Rect> ParseAreas(std::string_view a1);

// "$A$1", "A1", "$A$1:$B$2"; whole rows and columns are written as "$2:$5" and "$A:$G".
std::string AreaAddress(const Rect& r, bool rowAbsolute = true, bool columnAbsolute = true);
std::string CellAddress(int32_t row, int32_t col, bool rowAbsolute = false, bool columnAbsolute = false);

}  // namespace host
