#pragma once
// What the four generation variants share: the parsed template, the window's
// options, the sheets they use and the exam-table workbook they fill.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Array2D.h"
#include "tables/ExamTableWorkbook.h"
#include "tables/PlacePhoto.h"
#include "tables/TemplateLanguage.h"
#include "tables/TemplateOptions.h"

namespace host {
class Workbook;
class Worksheet;
}  // namespace host
namespace workbook {
struct Context;
}

namespace tables {

struct Generation {
    const workbook::Context& ctx;
    host::Workbook& roster;
    host::Worksheet& templateSheet;  // page setup for the output sheets
    host::Worksheet& image;          // the cleaned template (Sheet4)
    host::Worksheet& revision;       // sorting scratch (Sheet3)
    std::string templateName;
    TemplateOptions options;
    bool sequentialDesks = false;
    TemplateBounds bounds;
    FieldList body, title;

    std::unique_ptr<ExamTableWorkbook> out;
    PhotoFinder photos;
    PhotoTally tally;
    // Where the generation is, for the message when a host step fails.
    std::string stage;

    // Derived sizes (column-title row as the variant has it).
    int32_t W() const { return bounds.body.Width(); }
    int32_t T() const { return bounds.title.Rows(); }
    int32_t TW() const { return bounds.title.Exists() ? bounds.title.Width() : 0; }
    int32_t TC() const { return bounds.title.marker; }
    float Scale() const { return PhotoScalePercent(options.photoScale); }
    bool TopDown() const { return !options.desksBottomUp; }
    bool LeftToRight() const { return options.groupsLeftToRight; }
};

// The saved workbook's full name, after the exam-table workbook was finished
// with `repeatRows` in the print sheet's "A1".
std::string SaveExamTables(Generation& g, int32_t repeatRows);

// The four variants; each creates g.out and ends with SaveExamTables.
// Host failures travel out as host::HostError.
std::string SeatingChartsWithTitleRow(Generation& g);
std::string SeatingChartsWithoutTitleRow(Generation& g);
std::string PartitionTables(Generation& g, bool titleRow);

// ----- steps shared by the variants -----

// A roster sheet copied to the revision sheet, sorted there and read back:
// row 1 the titles.
struct WorkTable {
    host::Array2D cells;
    int32_t lastRow = 0, lastColumn = 0;
    int32_t classColumn = 0, photoFolderColumn = 0;
    const host::Variant& operator()(int32_t r, int32_t c) const;
    std::string Text(int32_t r, int32_t c) const;
};

// Column of the first title equal to the text (0 when none).
int32_t FirstColumnTitled(const host::Array2D& cells, int32_t lastColumn, const std::string& title);
// Column of the last title equal to the text.
int32_t LastColumnTitled(const host::Array2D& cells, int32_t lastColumn, const std::string& title);
// Fills every field's roster column: the first title equal to the name or TAB + name.
void LocateFields(FieldList& fields, const host::Array2D& cells, int32_t lastColumn);

// Copies the roster sheet's used block to the revision sheet and returns it
// unsorted there; the caller sorts (SortScratch) and reads (ReadScratch).
WorkTable CopyToScratch(Generation& g, host::Worksheet& rosterSheet);
// Sorts the scratch block by up to two columns (0: no key), header row kept.
void SortScratch(Generation& g, const WorkTable& t, int32_t key1, int32_t key2);
// Reads the scratch block back into t.cells and clears it from the revision sheet.
void ReadScratch(Generation& g, WorkTable& t);

// The candidate's photo file name as built from the placeholder's field.
std::string PhotoNameOf(Generation& g, const WorkTable& t, int32_t row, const TemplateField& photo);

// Lays out template rows: rows [first, last] of the image copied as whole
// rows onto `count` rows from `dest` (repeating), cleared, then the image's
// cells from column B (rows first–last, W columns) pasted over `width` columns
// from column B, everything and then the column widths.
void LayOutRows(Generation& g, host::Worksheet& out, int32_t first, int32_t last, int32_t dest, int32_t count,
                int32_t width);

// The title block of a block starting at `row`: T rows by TC − 1 columns from column B.
host::Array2D ReadTitle(Generation& g, host::Worksheet& out, int32_t row);
void WriteTitle(Generation& g, host::Worksheet& out, int32_t row, const host::Array2D& values);
// The title rows copied as whole rows to `row`.
void CopyTitleRows(Generation& g, host::Worksheet& out, int32_t row);
// The title photo of the candidate row, at the block starting at `row`.
void PlaceTitlePhoto(Generation& g, host::Worksheet& out, int32_t row, const WorkTable& t, int32_t candidate);

// The photo pass over a data area held as a value table: each record's photo
// cell (record origin + offsets) holds a file name; it is emptied and the
// photo placed at that cell of the sheet (data area from `firstRow`, column B).
void PlacePhotosOfArea(Generation& g, host::Worksheet& out, host::Array2D& area, int32_t firstRow, int32_t recordRows,
                       int32_t recordColumns, int32_t photoRow, int32_t photoColumn);

// Rounded half to even to 16 bits, a HostError on overflow.
int16_t ToCount(const host::Variant& v);

}  // namespace tables
