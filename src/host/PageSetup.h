#pragma once
// A worksheet's page setup: everything a printed page depends on, under the
// host's member names. Sizes are points; areas are A1 text as the host's
// PageSetup takes them ("$A$1:$H$40", several areas comma-separated).
#include <cstdint>
#include <string>
#include <vector>

namespace host {

enum XlPageOrientation : int { xlPortrait = 1, xlLandscape = 2 };
enum XlOrder : int { xlDownThenOver = 1, xlOverThenDown = 2 };
// FirstPageNumber when pages are numbered from 1 (the file's useFirstPageNumber off).
inline constexpr int xlAutomatic = -4105;

// Paper sizes the file format numbers (paperSize): 1 Letter, 5 Legal, 8 A3,
// 9 A4, 11 A5, 13 B5 (JIS) …
enum XlPaperSize : int { xlPaperLetter = 1, xlPaperLegal = 5, xlPaperA3 = 8, xlPaperA4 = 9, xlPaperA5 = 11, xlPaperB5 = 13 };

// The six sections of a header and footer in the host's codes.
struct HeaderFooterSections {
    std::string LeftHeader, CenterHeader, RightHeader;
    std::string LeftFooter, CenterFooter, RightFooter;
    bool Empty() const {
        return LeftHeader.empty() && CenterHeader.empty() && RightHeader.empty() && LeftFooter.empty() &&
               CenterFooter.empty() && RightFooter.empty();
    }
    friend bool operator==(const HeaderFooterSections&, const HeaderFooterSections&) = default;
};

struct PageSetup {
    std::string PrintArea;          // A1 areas, e.g. "$A$1:$H$40,$A$50:$H$90"; empty = the used range
    std::string PrintTitleRows;     // e.g. "$1:$2"; empty = none
    std::string PrintTitleColumns;  // e.g. "$A:$B"; empty = none
    int PaperSize = xlPaperA4;
    int Orientation = xlPortrait;
    // The host's "Normal" margins: 0.7 in left and right, 0.75 in top and
    // bottom, header and footer 0.3 in from the paper's edge.
    double LeftMargin = 50.4, RightMargin = 50.4;
    double TopMargin = 54, BottomMargin = 54;
    double HeaderMargin = 21.6, FooterMargin = 21.6;
    int Zoom = 100;                 // percent, 10–400; 0 = fit to FitToPagesWide × FitToPagesTall
    int FitToPagesWide = 1, FitToPagesTall = 1;  // 0 = no limit in that direction
    bool CenterHorizontally = false, CenterVertically = false;
    // Header and footer sections in the host's codes (&P, &N, &A, &F, &D, &T,
    // &"Font,Style", &nn, &B …); a section starting with no code is plain text.
    std::string LeftHeader, CenterHeader, RightHeader;
    std::string LeftFooter, CenterFooter, RightFooter;
    // The host's OddAndEvenPagesHeaderFooter and DifferentFirstPageHeaderFooter:
    // even-numbered pages take EvenPage's sections, the first page of a
    // printout FirstPage's; the sections above serve the other pages.
    bool OddAndEvenPagesHeaderFooter = false, DifferentFirstPageHeaderFooter = false;
    HeaderFooterSections EvenPage, FirstPage;
    // ScaleWithDocHeaderFooter: header and footer text shrinks with the
    // page's scale; AlignMarginsHeaderFooter: they keep to the left and right
    // margins (otherwise to the paper's edges less the header margin).
    bool ScaleWithDocHeaderFooter = true, AlignMarginsHeaderFooter = true;
    int FirstPageNumber = xlAutomatic;
    int Order = xlDownThenOver;
    bool PrintGridlines = false, PrintHeadings = false;
    // Manual page breaks: a row r here breaks between rows r and r + 1, a
    // column c between columns c and c + 1. Sorted, without repeats.
    std::vector<int32_t> RowBreaks, ColumnBreaks;
    bool hasSetup = false;          // whether the file carried a <pageSetup> (the paper is written always)

    // The sections a page prints: `first` for the printout's first page,
    // `number` the page number &P shows (its parity picks the even sections).
    HeaderFooterSections SectionsForPage(bool first, int number) const;

    // The host's HPageBreaks.Add / VPageBreaks.Add: a break before `row`
    // (`col`); a break before row 1 or one already there changes nothing.
    void AddRowBreakBefore(int32_t row);
    void AddColumnBreakBefore(int32_t col);
};

// "1:2" → "$1:$2", "a1:b2,C3" → "$A$1:$B$2,$C$3"; a sheet prefix ('S'!) is
// kept as it is. Other programs ignore print titles that are not absolute.
std::string AbsoluteAreas(const std::string& areas);
// "'S'!$A$1:$B$2,$D$1" → "$A$1:$B$2,$D$1": the areas without their sheet prefixes.
std::string AreasWithoutSheet(const std::string& areas);

// A4 is 595.28 × 841.89 points; an unknown paper number gives A4. Portrait
// sizes: the caller swaps them for landscape.
struct PaperPoints {
    double width = 0, height = 0;
};
PaperPoints PaperSizePoints(int paperSize);

// One run of header or footer text with the formatting its codes ask for.
struct HeaderFooterRun {
    std::string text;           // may hold "\n"
    std::string fontName;       // empty: the workbook's default font
    double size = 0;            // points; 0: the default size
    bool bold = false, italic = false, underline = false, strike = false;
};

// What the field codes stand for on one page.
struct HeaderFooterFields {
    int page = 1, pages = 1;
    std::string sheetName, fileName, path;
    std::string date, time;     // as the host shows them: "2026/12/8", "10:36"
};

// A section's codes expanded for one page: &P (&P+n, &P-n), &N, &A, &F, &Z,
// &D, &T, && and the font codes (&"Font,Style", &nn, &B, &I, &U, &E, &S);
// codes it does not know are dropped with their argument.
std::vector<HeaderFooterRun> ExpandHeaderFooter(const std::string& section, const HeaderFooterFields& fields);

}  // namespace host
