#pragma once
// Formula text in A1 form (without the leading "=") and the reference
// rewriting the host does: R1C1 conversion, shared-formula translation, and
// the adjustment of references when cells are deleted or moved.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/Address.h"

namespace host::formula {

// R1C1 ⇄ A1, relative to the cell that holds the formula (row, col).
std::string ToR1C1(std::string_view a1, int32_t row, int32_t col);
std::string FromR1C1(std::string_view r1c1, int32_t row, int32_t col);

// The formula as it reads when copied by (dRows, dCols): relative references
// move, absolute ones stay. References pushed off the sheet become #REF!.
std::string Translate(std::string_view a1, int32_t dRows, int32_t dCols);

// The formula after cells of `sheetName` were deleted: `deleted` with shift up
// (whole rows included) or shift left (whole columns included). References
// into the deleted cells become #REF!; references beyond them move.
// `formulaSheet` is the sheet that holds the formula (unqualified references
// refer to it).
std::string AdjustForDelete(std::string_view a1, const std::string& formulaSheet,
                            const std::string& sheetName, const Rect& deleted, bool shiftUp);

}  // namespace host::formula
