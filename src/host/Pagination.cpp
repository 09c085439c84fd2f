#include "host/Pagination.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

constexpr double kPointsPerPixel = 0.75;
constexpr double kSlack = 1e-6;  // points: sizes equal to the room left still fit

// One band of rows (or columns) on a page.
struct Band {
    Span span;
    bool titles = false;
};

using SizeOf = std::function<double(int32_t)>;

double SizeOfSpan(const Span& s, const SizeOf& size) {
    double total = 0;
    for (int32_t i = s.first; i <= s.last; ++i) total += size(i);
    return total;
}

// Cuts `range` into bands no larger than `room` (sheet points, i.e. already
// divided by the scale). `titles` are charged on every band that starts below
// them; a band ends after an index listed in `breaks`.
std::vector<Band> Cut(const Span& range, const SizeOf& size, double room, const Span& titles,
                      const std::vector<int32_t>* breaks, double heading) {
    const double titleSize = titles.Empty() ? 0 : SizeOfSpan(titles, size);
    room = std::max(0.0, room - heading);
    std::vector<Band> bands;
    int32_t start = range.first;
    while (start <= range.last) {
        Band band;
        band.titles = !titles.Empty() && start > titles.last;
        const double capacity = room - (band.titles ? titleSize : 0);
        double used = 0;
        int32_t end = start - 1;
        bool anyRoom = false;  // the band holds a row with a height: the next may not go over
        for (int32_t i = start; i <= range.last; ++i) {
            const double s = size(i);
            if (anyRoom && s > 0 && used + s > capacity + kSlack) break;
            used += s;
            anyRoom = anyRoom || s > 0;
            end = i;
            if (breaks && i < range.last && std::binary_search(breaks->begin(), breaks->end(), i)) break;
        }
        band.span = {start, end};
        if (used > 0) bands.push_back(band);  // a band of hidden rows alone prints nothing
        start = end + 1;
    }
    return bands;
}

Span TitleSpan(const std::string& text, bool rows) {
    for (const Rect& r : ParseAreas(AreasWithoutSheet(text)))
        return rows ? Span{r.top, r.bottom} : Span{r.left, r.right};
    return {};
}

}  // namespace

double HeadingHeight(const Worksheet& ws) { return ws.StandardHeight(); }

double HeadingWidth(int32_t lastRow, int digitWidth) {
    int digits = 1;
    for (int32_t n = lastRow; n >= 10; n /= 10) ++digits;
    return (digits * digitWidth + 8) * kPointsPerPixel;
}

std::vector<Rect> JoinAdjacentAreas(std::vector<Rect> areas) {
    auto join = [](const Rect& x, const Rect& y, Rect& out) {
        if (x.left == y.left && x.right == y.right && (x.bottom + 1 == y.top || y.bottom + 1 == x.top)) {
            out = {std::min(x.top, y.top), x.left, std::max(x.bottom, y.bottom), x.right};
            return true;
        }
        if (x.top == y.top && x.bottom == y.bottom && (x.right + 1 == y.left || y.right + 1 == x.left)) {
            out = {x.top, std::min(x.left, y.left), x.bottom, std::max(x.right, y.right)};
            return true;
        }
        return false;
    };
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t i = 0; i < areas.size() && !joined; ++i)
            for (size_t j = i + 1; j < areas.size() && !joined; ++j)
                if (join(areas[i], areas[j], areas[i])) {
                    areas.erase(areas.begin() + std::ptrdiff_t(j));
                    joined = true;
                }
    }
    return areas;
}

double PrintedRowHeight(const Worksheet& ws, int32_t row) {
    const double h = ws.RowHeightPoints(row);
    return std::floor(h / kPointsPerPixel + kSlack) * kPointsPerPixel;
}

double PrintedColumnWidth(const Worksheet& ws, int32_t col) { return ws.ColumnWidthPoints(col); }

Rect DefaultPrintRect(const Worksheet& ws) {
    Rect r = ws.UsedRect();
    for (const Picture& p : ws.Pictures()) {
        r.top = std::min(r.top, p.from.row);
        r.left = std::min(r.left, p.from.col);
        // An anchor at offset 0 of a cell ends in the cell before it.
        r.bottom = std::max(r.bottom, p.to.rowOffset > 0 ? p.to.row : std::max(1, p.to.row - 1));
        r.right = std::max(r.right, p.to.colOffset > 0 ? p.to.col : std::max(1, p.to.col - 1));
    }
    return r;
}

Pagination Paginate(const Worksheet& ws) {
    const PageSetup& ps = ws.PageSetup();
    Pagination out;
    out.paper = PaperSizePoints(ps.PaperSize);
    if (ps.Orientation == xlLandscape) std::swap(out.paper.width, out.paper.height);
    out.left = ps.LeftMargin;
    out.top = ps.TopMargin;
    out.width = std::max(1.0, out.paper.width - ps.LeftMargin - ps.RightMargin);
    out.height = std::max(1.0, out.paper.height - ps.TopMargin - ps.BottomMargin);
    out.titleRows = TitleSpan(ps.PrintTitleRows, true);
    out.titleColumns = TitleSpan(ps.PrintTitleColumns, false);

    // The used range costs a pass over the sheet: only when an area needs it.
    std::optional<Rect> usedRect;
    auto used = [&]() -> const Rect& {
        if (!usedRect) usedRect = DefaultPrintRect(ws);
        return *usedRect;
    };
    if (!ps.PrintArea.empty()) {
        for (Rect r : ParseAreas(AreasWithoutSheet(ps.PrintArea))) {
            // Whole rows or columns print as far as the sheet is used.
            if (r.IsWholeRows()) r.right = used().right;
            if (r.IsWholeColumns()) r.bottom = used().bottom;
            out.areas.push_back(r);
        }
        out.areas = JoinAdjacentAreas(std::move(out.areas));
    }
    // A sheet with nothing on it prints nothing, as the host finds nothing to print.
    const bool blank = ws.Pictures().empty() && std::all_of(ws.RowsData().begin(), ws.RowsData().end(),
                                                            [](const Row& r) { return r.cells.empty(); });
    if (out.areas.empty() && ps.PrintArea.empty() && !blank) out.areas.push_back(used());

    if (ps.PrintHeadings && !out.areas.empty()) {
        int32_t lastRow = 1;
        for (const Rect& a : out.areas) lastRow = std::max(lastRow, a.bottom);
        out.headingWidth = HeadingWidth(lastRow, ws.Parent().Styles().MaxDigitWidth());
        out.headingHeight = HeadingHeight(ws);
    }

    const SizeOf rowSize = [&ws](int32_t r) { return PrintedRowHeight(ws, r); };
    const SizeOf colSize = [&ws](int32_t c) { return PrintedColumnWidth(ws, c); };
    const bool fit = ps.Zoom <= 0;

    struct Cuts {
        std::vector<Band> rows, cols;
    };
    auto cutAll = [&](int percent) {
        const double scale = percent / 100.0;
        std::vector<Cuts> cuts;
        for (const Rect& a : out.areas) {
            Cuts c;
            c.rows = Cut({a.top, a.bottom}, rowSize, out.height / scale, out.titleRows, fit ? nullptr : &ps.RowBreaks,
                         out.headingHeight);
            c.cols = Cut({a.left, a.right}, colSize, out.width / scale, out.titleColumns,
                         fit ? nullptr : &ps.ColumnBreaks, out.headingWidth);
            cuts.push_back(std::move(c));
        }
        return cuts;
    };

    int percent = std::clamp(ps.Zoom, 10, 400);
    std::vector<Cuts> cuts;
    if (fit) {
        // No scale can do better than the whole content over the pages
        // allowed; from that bound down, the first that fits.
        const int wide = std::max(0, ps.FitToPagesWide), tall = std::max(0, ps.FitToPagesTall);
        double bound = 100;
        for (const Rect& a : out.areas) {
            const double w = SizeOfSpan({a.left, a.right}, colSize), h = SizeOfSpan({a.top, a.bottom}, rowSize);
            if (wide > 0 && w > 0) bound = std::min(bound, 100.0 * out.width * wide / (w + wide * out.headingWidth));
            if (tall > 0 && h > 0) bound = std::min(bound, 100.0 * out.height * tall / (h + tall * out.headingHeight));
        }
        percent = std::clamp(int(std::floor(bound + kSlack)), 10, 100);
        for (;; --percent) {
            cuts = cutAll(percent);
            bool fits = true;
            for (const Cuts& c : cuts)
                fits = fits && (wide == 0 || int(c.cols.size()) <= wide) && (tall == 0 || int(c.rows.size()) <= tall);
            if (fits || percent == 10) break;
        }
    } else {
        cuts = cutAll(percent);
    }
    out.scale = percent / 100.0;

    int number = ps.FirstPageNumber == xlAutomatic ? 1 : ps.FirstPageNumber;
    for (size_t a = 0; a < cuts.size(); ++a) {
        const Cuts& c = cuts[a];
        auto add = [&](const Band& rows, const Band& cols) {
            PrintedPage p;
            p.area = int(a);
            p.cells = {rows.span.first, cols.span.first, rows.span.last, cols.span.last};
            p.titleRows = rows.titles;
            p.titleColumns = cols.titles;
            p.number = number++;
            out.pages.push_back(p);
        };
        if (ps.Order == xlOverThenDown) {
            for (const Band& rows : c.rows)
                for (const Band& cols : c.cols) add(rows, cols);
        } else {
            for (const Band& cols : c.cols)
                for (const Band& rows : c.rows) add(rows, cols);
        }
    }
    return out;
}

}  // namespace host
