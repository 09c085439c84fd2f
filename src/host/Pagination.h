#pragma once
// How a worksheet's print areas are cut into pages, as the host cuts them:
//
//   printable size = paper (turned for landscape) − margins; the header and
//   footer sit inside the top and bottom margins and take nothing from it;
//   sizes × scale (Zoom %, or the largest whole percent ≤ 100 that keeps the
//   pages within FitToPagesWide × FitToPagesTall, manual breaks ignored);
//   rows are taken while their heights fit, the first row that does not fit
//   starts the next page, a manual break after a row ends its page, a row
//   taller than a page stands alone on its page (the painter clips it);
//   columns likewise across; hidden rows and columns take no room;
//   title rows are repeated, and their height charged, on every page that
//   starts below them (a page that holds them prints them once in place);
//   title columns likewise; each print area is paginated on its own, its
//   pages following the pages of the area before;
//   pages of one area go down then over (all pages of the first column band,
//   then the next band) or over then down;
//   print areas that touch (the same columns, one right below the other, or
//   the same rows side by side) are one area, as the host joins them;
//   printed headings (row numbers and column letters) take their room on
//   every page, scaled with the cells.
//
// Row heights are taken down to whole pixels (0.75 pt) as the host and
// LibreOffice lay them out on a page: a 20 pt row prints 19.5 pt high, 37
// such rows to an A4 portrait page with the normal margins.
#include <cstdint>
#include <vector>

#include "host/Address.h"
#include "host/PageSetup.h"

namespace host {

class Worksheet;

// Rows or columns first…last; empty when last < first.
struct Span {
    int32_t first = 1, last = 0;
    bool Empty() const { return last < first; }
    bool Contains(int32_t i) const { return i >= first && i <= last; }
    friend bool operator==(const Span&, const Span&) = default;
};

struct PrintedPage {
    int area = 0;               // index in Pagination::areas
    Rect cells;                 // the part of the print area on this page
    bool titleRows = false;     // the title rows print above `cells`
    bool titleColumns = false;  // the title columns print left of `cells`
    int number = 1;             // the page number &P shows
};

struct Pagination {
    PaperPoints paper;          // as printed: width and height swapped for landscape
    double scale = 1;           // printed size ÷ sheet size
    // The printable rectangle, points from the paper's top-left corner.
    double left = 0, top = 0, width = 0, height = 0;
    Span titleRows, titleColumns;  // empty when none
    // The row-number column and the column-letter row when headings print
    // (sheet points, scaled like the cells); 0 otherwise.
    double headingWidth = 0, headingHeight = 0;
    std::vector<Rect> areas;       // the print areas as cut (whole rows or columns narrowed to the used range)
    std::vector<PrintedPage> pages;
};

// Sizes in points as they print: hidden rows and columns are 0.
double PrintedRowHeight(const Worksheet& ws, int32_t row);
double PrintedColumnWidth(const Worksheet& ws, int32_t col);

// The room printed headings take: a row of the standard height for the
// letters, and a column for the row numbers as wide as the most digits of
// `lastRow` need (`digitWidth` pixels a digit, the Normal font's, and 8 of padding).
double HeadingHeight(const Worksheet& ws);
double HeadingWidth(int32_t lastRow, int digitWidth);

// Areas joined where they touch: same columns and one starting on the row
// after the other ends, or same rows and side by side; the order of the
// first of each joined pair is kept.
std::vector<Rect> JoinAdjacentAreas(std::vector<Rect> areas);

// The cells printed when no print area is set: the used range, widened to
// the pictures' anchors (a column of photos left of the text prints too).
Rect DefaultPrintRect(const Worksheet& ws);

// The print areas of the sheet's PageSetup (or the default rectangle) cut
// into pages; no pages for a sheet without cells or pictures.
Pagination Paginate(const Worksheet& ws);

}  // namespace host
