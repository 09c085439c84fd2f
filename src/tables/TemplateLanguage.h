#pragma once
// The language of a template sheet. Column A marks the regions:
//
//   row  A   B … (content) …   marker column
//   T1   @   第 [场号] 考场          @          title region (optional), rows T1–T2
//   T2   @
//   B1   #   座号  考号             #          body region (required), rows B1–B2,
//   B2   #   [座号] [考号] {照片}               laid out once per candidate
//
// A region starts at the first row from row 2 whose column A is the marker;
// its end marker is the first cell from column C rightward in that row that
// holds the marker, and its content ends one column to the left of it; it
// ends at the next row below with the marker in column A (or is one row).
// Inside a region a cell whose text, without its outer spaces, is longer than
// two characters and reads "[name]" is a field placeholder, "{name}" the photo
// placeholder (the field whose value names the photo file).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/Array2D.h"

namespace tables {

// One placeholder. Offsets are 1-based from the region's start row and from
// column B; 0 when the slot holds no placeholder. The roster column is filled
// per roster sheet by the generation (0: no column of that title).
struct TemplateField {
    int32_t row = 0;
    int32_t column = 0;
    std::string name;
    int32_t rosterColumn = 0;
    bool Named() const { return !name.empty(); }
};

// Slot 0 is the photo placeholder (the last one in scan order when there are
// several); slots 1 … n the field placeholders in scan order: column by
// column from the left, each column from the top.
using FieldList = std::vector<TemplateField>;

struct Region {
    int32_t start = 0;   // 0 when the region does not exist
    int32_t end = 0;
    int32_t marker = 0;  // the end marker's column
    bool Exists() const { return start > 0; }
    int32_t Rows() const { return Exists() ? end - start + 1 : 0; }
    // Content columns B … marker − 1.
    int32_t Width() const { return marker - 2; }
};

struct TemplateBounds {
    Region body;
    Region title;
};

struct RegionSearch {
    enum class Result { Found, Missing, NoEndMarker };
    Result result = Result::Missing;
    Region region;
    int32_t row = 0;  // NoEndMarker: the start row without an end marker
};

inline constexpr std::string_view kBodyMarker = "#";
inline constexpr std::string_view kTitleMarker = "@";

// Finds the region of a marker in a template's value block (read from A1).
RegionSearch FindRegion(const host::Array2D& block, std::string_view marker);

// Empties the four marker cells of a region: column A and the end-marker
// column of its start row and of its end row.
void BlankMarkers(host::Array2D& block, const Region& region);

// The region's placeholders as a field list.
FieldList ScanFields(const host::Array2D& block, const Region& region);

// Text without leading and trailing spaces (only U+0020, as the host trims).
std::string TrimSpaces(std::string_view text);

// Whether a cell is blanked in the template image: its trimmed text begins
// with "[" and ends with "]", or "{" and "}", whatever its length.
bool IsPlaceholderLike(const host::Variant& value);

// Blanks every placeholder-like cell of the whole block.
void BlankPlaceholders(host::Array2D& block);

// The names of the named fields that no list item names, with or without
// the leading TAB of a system column; item 0 (the none entry) is not looked at.
std::vector<std::string> UnknownFields(const FieldList& fields, const std::vector<std::string>& items);

}  // namespace tables
