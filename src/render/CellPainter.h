#pragma once
// Paints a rectangle of a worksheet's cells onto any QPainter device: fills,
// values in their formats (aligned, wrapped, running on over empty
// neighbours), borders, merged areas, grid lines and pictures. Where rows
// and columns lie on the device is the caller's (CellGeometry), so the grid
// on screen and a printed page share one painter.
//
// Painting order, which decides the pixels where neighbours overlap:
//   1. merged areas (fill, text, borders), each once;
//   2. the other cells row by row, clipped away from the merged areas;
//   3. grid lines (optional), also kept out of merged areas;
//   4. text running on from cells whose text is too long;
//   5. pictures at their anchors.
//
// A number too wide for its cell shows as "####" filling the cell, as in
// the host: numbers are never cut and never run on. A cell formatted to
// shrink to fit draws its value (text or number) smaller instead.
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QRect>
#include <cstdint>
#include <functional>

#include "host/Address.h"

class QPainter;

namespace host {
class Worksheet;
}

namespace render {

class PictureCache;
class StyleCache;

// Where a sheet's rows and columns lie on the device, in device pixels.
class CellGeometry {
public:
    virtual ~CellGeometry() = default;
    // Top edge of a row and left edge of a column (1-based indexes).
    virtual int RowTop(int32_t row) const = 0;
    virtual int ColumnLeft(int32_t col) const = 0;
    // Sizes; 0 for a hidden row or column.
    virtual int RowHeight(int32_t row) const = 0;
    virtual int ColumnWidth(int32_t col) const = 0;
    // The cells placed at all: nothing outside is painted, text does not
    // run on past its right edge, pictures anchored outside are left out.
    virtual host::Rect Extent() const = 0;
};

struct PaintOptions {
    // A grid line takes the last pixel row and column of each cell, and the
    // cell's own painting keeps clear of them.
    bool gridLines = false;
    QColor gridColor = QColor(0xD0, 0xD7, 0xE5);
    // Under text that runs on over a cell without a fill of its own.
    QColor background = Qt::white;
    // Text in the automatic font colour.
    QColor text = Qt::black;
    // Cells drawn highlighted (a selection): `highlight`, normally a light
    // translucent tint, is laid over their fill (and over the part of a
    // neighbour's text running on into them) under their own text, which
    // keeps its colour, so the values stay readable.
    std::function<bool(int32_t row, int32_t col)> highlighted;
    QBrush highlight;
    // Drawn over a cell's fill and text and under its borders, clipped to
    // the cell (for a merged area, once, for its top-left cell).
    std::function<void(QPainter&, int32_t row, int32_t col, const QRect& cell)> decorate;
    // Image pixels per device pixel at most (0: any): a picture with more is
    // drawn from a copy scaled down to this, as print resolution asks.
    double maxImagePixelsPerDot = 0;
};

class CellPainter {
public:
    // Cells left of the painted rectangle whose text may still run into it.
    static constexpr int kOverflowLookBack = 8;
    // Space between a cell's edge and its text, in device pixels.
    static constexpr int kTextMargin = 3;

    CellPainter(const host::Worksheet& sheet, StyleCache& styles, PictureCache& pictures);

    // Paints the cells of `cells` (within the geometry's extent). Merged
    // areas that reach into the rectangle are painted whole; the painter's
    // clip decides what reaches the device.
    void Paint(QPainter& p, const host::Rect& cells, const CellGeometry& geometry, const PaintOptions& options);

private:
    const host::Worksheet& sheet_;
    StyleCache& styles_;
    PictureCache& pictures_;
};

// Draws text into a cell's rectangle as a cell shows it: a margin of
// kTextMargin on either side, lines broken at line separators (and at word
// boundaries when `wrap`), aligned by `alignment`, clipped to `rect`.
void DrawCellText(QPainter& p, const QRect& rect, const QString& text, const QFont& font, Qt::Alignment alignment,
                  bool wrap);

// A number's text as a cell `cellWidth` device pixels wide shows it: the
// text when it fits between the margins, else as many "#" as fit there
// (none in a cell too narrow for one).
//
// The installed faces drawn for the Chinese fonts have wider digits than the
// host's (宋体 digits are half an em): a number short of room by at most
// kMaxNumberSqueeze percent is drawn narrower rather than hidden; `stretch`
// (when given) receives the QFont stretch to draw it with, 100 for none.
inline constexpr int kMaxNumberSqueeze = 15;
QString FittedNumberText(const QString& text, const QFont& font, const QPaintDevice* device, int cellWidth,
                         int* stretch = nullptr);

// The font a shrink-to-fit cell `cellWidth` device pixels wide draws `text`
// with: `font` itself when the widest line fits between the margins, else
// the same face in a smaller size that fits.
QFont ShrunkFont(const QFont& font, const QString& text, const QPaintDevice* device, int cellWidth);

}  // namespace render
