#pragma once
// Paints the pages that host pagination cut from a worksheet, one page at a
// time, onto any device that shows a whole sheet of paper (a PDF page, a
// printer page, a preview image). The cells go through the one CellPainter
// the grid uses; a page is up to four parts, each clipped to its place:
//
//   ┌──────────────┬───────────────────────┐
//   │ title corner │ title rows            │   (the title parts only on pages
//   ├──────────────┼───────────────────────┤    that repeat the titles)
//   │ title columns│ the page's cells      │
//   └──────────────┴───────────────────────┘
//
// Pictures are drawn where their anchors fall, so a picture crossing a page
// break is split over both pages and nothing outside a part shows. The
// header and footer are drawn inside the top and bottom margins.
#include <QImage>
#include <QRectF>
#include <QSize>
#include <memory>

#include "host/PageSetup.h"
#include "host/Pagination.h"

class QPainter;

namespace host {
class Worksheet;
}

namespace render {

class CellGeometry;
class PictureCache;
class StyleCache;

class PagePainter {
public:
    // Pictures drawn at no more than this resolution at their printed size.
    static constexpr double kImageDotsPerInch = 300;

    // `styles` must have been made for the device's resolution.
    PagePainter(const host::Worksheet& sheet, const host::Pagination& pagination, StyleCache& styles,
                PictureCache& pictures);
    ~PagePainter();

    // Paints page `index` (into pagination.pages) onto the painter's device,
    // whose origin is the paper's top-left corner, at `dotsPerInch`.
    // `fields` gives the date, time and file for the header and footer; the
    // page numbers and the sheet name are filled in here.
    void Paint(QPainter& p, int index, double dotsPerInch, host::HeaderFooterFields fields);

private:
    void PaintHeaderFooter(QPainter& p, int index, double dotsPerInch, const host::HeaderFooterFields& fields);
    void PaintHeadings(QPainter& p, const CellGeometry& g, host::Span rows, host::Span cols, int width, int height,
                       const QRectF& printable);

    struct SheetEdges;  // the rows' and columns' cumulative sizes, built once per sheet

    const host::Worksheet& sheet_;
    const host::Pagination& pagination_;
    std::unique_ptr<SheetEdges> edges_;
    StyleCache& styles_;
    PictureCache& pictures_;
};

// The paper of a page setup in device pixels at `dotsPerInch`.
QSize PaperPixels(const host::Pagination& pagination, double dotsPerInch);

// Page `index` of the sheet painted onto a white image of the whole paper at
// `dotsPerInch` (previews and tests).
QImage PageImage(const host::Worksheet& sheet, const host::Pagination& pagination, int index, double dotsPerInch,
                 const host::HeaderFooterFields& fields = {});

}  // namespace render
