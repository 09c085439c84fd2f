#pragma once
// Formula text in A1 form (without the leading "=") and the reference
// rewriting the host does: R1C1 conversion, shared-formula translation, and
// the adjustment of references when cells are deleted or moved.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/Address.h"

namespace host::formula {

// One end of a reference; 0 marks a missing row (whole columns) or column (whole rows).
struct RefPart {
    int32_t row = 0, col = 0;
    bool rowAbs = false, colAbs = false;
};

enum class RefKind { Cell, Area, Columns, Rows };

// A cell or area reference found in A1 formula text.
struct Reference {
    size_t begin = 0, end = 0;  // byte span in the text, sheet prefix included
    std::string prefix;         // as written: "Sheet1!", "'My sheet'!"; empty when none
    std::string sheet;          // the sheet name without quotes; empty when none
    RefKind kind = RefKind::Cell;
    RefPart first, last;        // last equals first for a single cell
    Rect Area() const;          // the cells referred to
};

// The references of an A1 formula in text order. Strings ("…"), error
// literals and function names (a name followed by "(") are not references.
std::vector<Reference> FindReferences(std::string_view a1);

// R1C1 ⇄ A1, relative to the cell that holds the formula (row, col).
std::string ToR1C1(std::string_view a1, int32_t row, int32_t col);
std::string FromR1C1(std::string_view r1c1, int32_t row, int32_t col);

// The formula as it reads when copied by (dRows, dCols): relative references
// move, absolute ones stay. References pushed off the sheet become #REF!.
std::string Translate(std::string_view a1, int32_t dRows, int32_t dCols);

// Cells removed from a sheet: spans of rows (shiftUp) or columns along the
// shift direction, inside a band of columns (shiftUp) or rows across it.
// Whole rows are the band of every column. Spans are merged on construction.
class Deletion {
public:
    Deletion(bool shiftUp, int32_t bandFirst, int32_t bandLast, std::vector<std::pair<int32_t, int32_t>> spans);
    static Deletion Of(const Rect& deleted, bool shiftUp);

    bool ShiftUp() const { return shiftUp_; }
    int32_t BandFirst() const { return bandFirst_; }
    int32_t BandLast() const { return bandLast_; }
    bool WholeLines() const;  // the band covers the whole sheet
    const std::vector<std::pair<int32_t, int32_t>>& Spans() const { return spans_; }
    bool IsDeleted(int32_t p) const;
    int32_t DeletedUpTo(int32_t p) const;  // deleted positions ≤ p
    // The new position of a surviving position p.
    int32_t Map(int32_t p) const { return p - DeletedUpTo(p); }
    // The lines [a, b] after the deletion, nullopt when all of them are deleted.
    std::optional<std::pair<int32_t, int32_t>> MapSpan(int32_t a, int32_t b) const;
    // A rectangle after the deletion: unchanged when it is not wholly inside the
    // band, nullopt when every cell of it is deleted, else moved or shrunk.
    std::optional<Rect> MapRect(const Rect& r) const;

private:
    bool shiftUp_;
    int32_t bandFirst_, bandLast_;
    std::vector<std::pair<int32_t, int32_t>> spans_;
    std::vector<int32_t> before_;  // before_[i]: positions deleted by spans_[0 .. i-1]
};

// The formula after cells of `sheetName` were deleted: `deleted` with shift up
// (whole rows included) or shift left (whole columns included). References
// into the deleted cells become #REF!; references beyond them move.
// `formulaSheet` is the sheet that holds the formula (unqualified references
// refer to it).
std::string AdjustForDelete(std::string_view a1, const std::string& formulaSheet,
                            const std::string& sheetName, const Rect& deleted, bool shiftUp);
std::string AdjustForDelete(std::string_view a1, const std::string& formulaSheet,
                            const std::string& sheetName, const Deletion& deletion);

// The formula after `count` rows (rows) or columns were inserted on
// `sheetName` before line `at`, inside the band of columns (rows) or rows
// [bandFirst, bandLast] across; whole rows or columns are the band of the
// whole sheet. References wholly inside the band at or after `at` move on,
// areas reaching over it grow, references reaching out of the band stay, as
// the host adjusts them. A reference pushed off the sheet becomes #REF!.
std::string AdjustForInsert(std::string_view a1, const std::string& formulaSheet, const std::string& sheetName,
                            bool rows, int32_t at, int32_t count, int32_t bandFirst = 1,
                            int32_t bandLast = kMaxRows);

// The formula after the cells `from` of `fromSheet` moved by (dRows, dCols)
// onto `toSheet` (a cut and paste). References wholly inside `from` follow
// the cells; references wholly inside the covered cells (the destination
// apart from `from`) become #REF!; every other reference stays. The formula
// itself was on `formulaSheet` and is now on `formulaSheetNow` (a moved
// formula changes sheet with its cell): references to its old sheet get
// that sheet's name when it changed.
struct Move {
    std::string fromSheet, toSheet;
    Rect from;
    int32_t dRows = 0, dCols = 0;
    Rect To() const { return {from.top + dRows, from.left + dCols, from.bottom + dRows, from.right + dCols}; }
};
std::string AdjustForMove(std::string_view a1, const std::string& formulaSheet, const std::string& formulaSheetNow,
                          const Move& move);

// 'My sheet'! or Sheet1! as a formula writes the sheet before a reference.
std::string SheetPrefix(const std::string& sheetName);

// Sheet names compare without regard to (ASCII) case, as the host's do.
bool SameSheetName(std::string_view a, std::string_view b);

}  // namespace host::formula
