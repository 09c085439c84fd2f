#include "render/CellPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <QTextLayout>
#include <algorithm>

#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellText.h"
#include "render/PictureCache.h"
#include "render/StyleCache.h"

namespace render {

namespace {

constexpr int64_t kEmuPerInch = 914400;

// Lays out lines `width` wide from the top. With `maxHeight` > 0 it stops at
// the last line that fits (assuming the next line is as high as the one
// before) and reports that line's index in `lastFitting`, or -1 when all
// lines fit.
void LayOutLines(QTextLayout& layout, int width, int maxHeight = -1, int* lastFitting = nullptr) {
    if (lastFitting) *lastFitting = -1;
    qreal height = 0;
    layout.beginLayout();
    for (int i = 0;; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
        if (maxHeight > 0 && lastFitting && height + line.height() > maxHeight) {
            const QTextLine next = layout.createLine();
            *lastFitting = next.isValid() ? i : -1;
            break;
        }
    }
    layout.endLayout();
}

// The lines of `text` that show in `textRect`, and where the first of them
// starts. Lines wholly above the rectangle are dropped; the last line shown
// gets an ellipsis when less than half of the next one would fit. Vertically
// centred text that does not fit shows its first lines rather than a slice
// of its middle.
QString VisibleLines(const QString& text, const QTextOption& option, const QFont& font, QPaintDevice* device,
                     const QRect& textRect, Qt::Alignment alignment, QPointF* start) {
    QTextLayout layout(text, font, device);
    layout.setTextOption(option);
    const bool centred = alignment.testFlag(Qt::AlignVCenter);
    int lastFitting = -1;
    LayOutLines(layout, textRect.width(), centred ? textRect.height() : -1, &lastFitting);
    const QSize size = layout.boundingRect().size().toSize();
    int top = textRect.y();
    if ((alignment & Qt::AlignVCenter) == Qt::AlignVCenter) top += textRect.height() / 2 - size.height() / 2;
    else if ((alignment & Qt::AlignBottom) == Qt::AlignBottom) top += textRect.height() - size.height();
    *start = QPointF(textRect.x(), top);

    QString shown;
    qreal height = 0;
    const int lines = layout.lineCount();
    for (int i = 0; i < lines; ++i) {
        const QTextLine line = layout.lineAt(i);
        height += line.height();
        if (height + top <= textRect.top()) {
            start->ry() += line.height();
            continue;
        }
        QString part = layout.text().mid(line.textStart(), line.textLength());
        const bool tooWide = line.naturalTextWidth() > textRect.width();
        bool ellipsis = lastFitting == i;
        if (!tooWide && i + 1 < lines) {
            const int nextHalf = int(height + layout.lineAt(i + 1).height() / 2);
            if (nextHalf + top > textRect.height() + textRect.top()) ellipsis = true;
        }
        if (tooWide || ellipsis) {
            if (ellipsis) {
                if (part.endsWith(QChar::LineSeparator)) part.chop(1);
                part += QChar(0x2026);
            }
            shown += part;
            // Keeps the line break where the layout made it.
            if (i < lines - 1 && !shown.endsWith(QChar::LineSeparator)) shown += QChar::LineSeparator;
        } else {
            shown += part;
        }
        if (height + top >= textRect.bottom() || (lastFitting >= 0 && lastFitting == i)) break;
    }
    return shown;
}

// Most cells hold one short line: laid out once, it is drawn as it is when
// it fits the width and the height (the lines VisibleLines would keep are
// then the whole text). `start` is where VisibleLines would place it.
bool FitsOnOneLine(QTextLayout& layout, const QRect& textRect, Qt::Alignment alignment, QPointF* start) {
    if (layout.text().contains(QChar::LineSeparator)) return false;
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return false;
    }
    line.setLineWidth(textRect.width());
    line.setPosition(QPointF(0, 0));
    const bool single = line.textLength() == layout.text().size() && !layout.createLine().isValid();
    layout.endLayout();
    if (!single || line.naturalTextWidth() > textRect.width()) return false;
    const int height = int(layout.boundingRect().size().toSize().height());
    if (height > textRect.height()) return false;
    int top = textRect.y();
    if ((alignment & Qt::AlignVCenter) == Qt::AlignVCenter) top += textRect.height() / 2 - height / 2;
    else if ((alignment & Qt::AlignBottom) == Qt::AlignBottom) top += textRect.height() - height;
    *start = QPointF(textRect.x(), top);
    return true;
}

QRect Span(const host::Rect& m, const CellGeometry& g) {
    int w = 0, h = 0;
    for (int32_t c = m.left; c <= m.right; ++c) w += g.ColumnWidth(c);
    for (int32_t r = m.top; r <= m.bottom; ++r) h += g.RowHeight(r);
    return QRect(g.ColumnLeft(m.left), g.RowTop(m.top), w, h);
}

int EmuToDevice(int64_t emu, int dotsPerInch) { return int(emu * dotsPerInch / kEmuPerInch); }

// Border lines gathered by pen and drawn together once the cells are
// painted: a change of pen is a change of state that a PDF or a printer
// stores again with the clip, and a table alternates text and border pens
// in every cell.
class BorderLines {
public:
    void Add(const BorderPen& side, QPoint a, QPoint b) {
        if (!side.present) return;
        if (last_ >= groups_.size() || !(groups_[last_].pen == side.pen)) {
            last_ = 0;
            while (last_ < groups_.size() && !(groups_[last_].pen == side.pen)) ++last_;
            if (last_ == groups_.size()) groups_.push_back({side.pen, {}});
        }
        groups_[last_].lines.push_back(QLine(a, b));
    }
    void Draw(QPainter& p) {
        for (const Group& g : groups_) {
            p.setPen(g.pen);
            p.drawLines(g.lines.data(), int(g.lines.size()));
        }
        groups_.clear();
        last_ = 0;
    }

private:
    struct Group {
        QPen pen;
        std::vector<QLine> lines;
    };
    std::vector<Group> groups_;
    size_t last_ = 0;
};

// The merged areas near the painted rectangle, so that a cell's area is
// found without searching the sheet's whole list.
class NearbyMerges {
public:
    NearbyMerges(const host::Worksheet& sheet, const host::Rect& near) : sheet_(sheet), near_(near) {
        for (const host::Rect& m : sheet.MergedAreas())
            if (m.Intersects(near)) areas_.push_back(m);
    }
    const host::Rect* At(int32_t row, int32_t col) const {
        if (!near_.Contains(row, col)) return sheet_.MergeAreaAt(row, col);
        for (const host::Rect& m : areas_)
            if (m.Contains(row, col)) return &m;
        return nullptr;
    }
    const std::vector<host::Rect>& Areas() const { return areas_; }

private:
    const host::Worksheet& sheet_;
    host::Rect near_;
    std::vector<host::Rect> areas_;
};

}  // namespace

void DrawCellText(QPainter& p, const QRect& rect, const QString& text, const QFont& font, Qt::Alignment alignment,
                  bool wrap) {
    const QRect textRect = rect.adjusted(CellPainter::kTextMargin, 0, -CellPainter::kTextMargin, 0);
    QTextOption option;
    // The host breaks a word too long for the cell inside it rather than letting it stick out.
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(alignment);
    QPointF start;
    QTextLayout layout(text, font, p.device());
    layout.setTextOption(option);
    if (!FitsOnOneLine(layout, textRect, alignment, &start)) {
        const QString shown = VisibleLines(text, option, font, p.device(), textRect, alignment, &start);
        layout.setText(shown);
        layout.setTextOption(option);
        LayOutLines(layout, textRect.width());
    }
    // Text that stays inside its cell needs no clip.
    bool inside = start.y() >= rect.top() && start.y() + layout.boundingRect().height() <= rect.bottom() + 1;
    for (int i = 0; inside && i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qreal left = start.x() + line.cursorToX(line.textStart());
        inside = line.naturalTextWidth() <= textRect.width() && left >= rect.left() &&
                 left + line.naturalTextWidth() <= rect.right() + 1;
    }
    if (inside) {
        layout.draw(&p, start);
        return;
    }
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    layout.draw(&p, start);
    p.restore();
}

QString FittedNumberText(const QString& text, const QFont& font, const QPaintDevice* device, int cellWidth,
                         int* stretch) {
    if (stretch) *stretch = 100;
    const QFontMetricsF metrics(font, device);
    const qreal room = cellWidth - 2 * CellPainter::kTextMargin;
    const qreal advance = metrics.horizontalAdvance(text);
    if (advance <= room) return text;
    if (advance * (100 - kMaxNumberSqueeze) / 100 <= room) {
        // Rounded down, so that the narrower text surely fits.
        if (stretch) *stretch = std::max(1, int(100 * room / advance));
        return text;
    }
    const qreal hash = metrics.horizontalAdvance(QLatin1Char('#'));
    const int count = hash > 0 && room > 0 ? int(room / hash) : 0;
    return QString(count, QLatin1Char('#'));
}

QFont ShrunkFont(const QFont& font, const QString& text, const QPaintDevice* device, int cellWidth) {
    const qreal room = cellWidth - 2 * CellPainter::kTextMargin;
    if (room <= 0 || font.pointSizeF() <= 0) return font;
    auto widest = [&](const QFont& f) {
        const QFontMetricsF metrics(f, device);
        qreal w = 0;
        for (const QString& line : text.split(QChar::LineSeparator)) w = std::max(w, metrics.horizontalAdvance(line));
        return w;
    };
    qreal advance = widest(font);
    QFont shrunk = font;
    // Glyph advances do not scale exactly with the size (hinting), so the
    // size is taken down again until the text fits, or is 1 pt.
    for (int i = 0; i < 4 && advance > room && shrunk.pointSizeF() > 1; ++i) {
        shrunk.setPointSizeF(std::max<qreal>(1, shrunk.pointSizeF() * room / advance * 0.98));
        advance = widest(shrunk);
    }
    return shrunk;
}

CellPainter::CellPainter(const host::Worksheet& sheet, StyleCache& styles, PictureCache& pictures)
    : sheet_(sheet), styles_(styles), pictures_(pictures) {}

void CellPainter::Paint(QPainter& p, const host::Rect& cells, const CellGeometry& g, const PaintOptions& o) {
    const host::Rect extent = g.Extent();
    const host::Rect area{std::max(cells.top, extent.top), std::max(cells.left, extent.left),
                          std::min(cells.bottom, extent.bottom), std::min(cells.right, extent.right)};
    if (area.top > area.bottom || area.left > area.right) return;
    // The caller's pen and font come back at the end; inside, cells set their own.
    struct Keep {
        QPainter& p;
        explicit Keep(QPainter& painter) : p(painter) { p.save(); }
        ~Keep() { p.restore(); }
    } keep(p);
    const int32_t firstRunOn = std::max(extent.left, area.left - kOverflowLookBack);
    const NearbyMerges merges(sheet_, {area.top, firstRunOn, area.bottom, area.right});
    const bool date1904 = sheet_.Parent().Date1904();
    const int gap = o.gridLines ? 1 : 0;
    const QRect areaRect(QPoint(g.ColumnLeft(area.left), g.RowTop(area.top)),
                         QPoint(g.ColumnLeft(area.right) + g.ColumnWidth(area.right) - 1,
                                g.RowTop(area.bottom) + g.RowHeight(area.bottom) - 1));
    auto highlighted = [&](int32_t row, int32_t col) { return o.highlighted && o.highlighted(row, col); };

    BorderLines borders;
    // One cell or merged area: `rect` leaves out the grid line.
    auto paintCell = [&](int32_t row, int32_t col, int32_t bottom, int32_t right, const QRect& rect) {
        const ResolvedStyle& style = styles_.Get(sheet_.StyleAt(row, col));
        const bool lit = highlighted(row, col);
        // Every save, clip and restore is a change of state that a PDF or a
        // printer stores: fills need none, text clips itself, only the
        // decoration needs the cell's clip.
        if (style.fill.isValid()) p.fillRect(rect, style.fill);
        if (lit) p.fillRect(rect, o.highlight);
        const host::Variant& value = sheet_.ValueAt(row, col);
        if (!value.IsEmpty()) {
            QString text = ShownText(value, style.numberFormat, date1904);
            int stretch = 100;
            if (value.IsNumber() && !style.shrink)
                text = FittedNumberText(text, style.font, p.device(), rect.width(), &stretch);
            if (!text.isEmpty()) {
                text.replace(QLatin1Char('\n'), QChar::LineSeparator);
                p.setPen(style.textColor.isValid() ? style.textColor : o.text);
                QFont font = style.shrink ? ShrunkFont(style.font, text, p.device(), rect.width()) : style.font;
                if (stretch != 100) font.setStretch(stretch);
                DrawCellText(p, rect, text, font, style.AlignmentFor(value), style.wrap);
            }
        }
        if (o.decorate) {
            p.save();
            p.setClipRect(rect, Qt::IntersectClip);
            o.decorate(p, row, col, rect);
            p.restore();
        }
        // A merged area takes its outer borders from its edge cells.
        const ResolvedStyle& topRight = right == col ? style : styles_.Get(sheet_.StyleAt(row, right));
        const ResolvedStyle& bottomLeft = bottom == row ? style : styles_.Get(sheet_.StyleAt(bottom, col));
        borders.Add(style.top, rect.topLeft(), rect.topRight());
        borders.Add(style.left, rect.topLeft(), rect.bottomLeft());
        borders.Add(topRight.right, rect.topRight(), rect.bottomRight());
        borders.Add(bottomLeft.bottom, rect.bottomLeft(), rect.bottomRight());
    };

    // 1. Merged areas reaching into the rectangle, whole.
    QRegion outsideMerges(areaRect.adjusted(-kTextMargin, -kTextMargin, kTextMargin, kTextMargin));
    for (const host::Rect& m : merges.Areas()) {
        if (!m.Intersects(area)) continue;
        const QRect span = Span(m, g).adjusted(0, 0, -gap, -gap);
        if (span.width() <= 0 || span.height() <= 0) continue;
        paintCell(m.top, m.left, m.bottom, m.right, span);
        outsideMerges -= span;
    }

    // 2. The other cells (none lies in a merged area, so they need no clip:
    // a clip is stored again with every later change of pen in a PDF),
    // and 3. the grid, kept out of the merged areas.
    for (int32_t r = area.top; r <= area.bottom; ++r) {
        const int h = g.RowHeight(r);
        if (h <= 0) continue;
        const int y = g.RowTop(r);
        for (int32_t c = area.left; c <= area.right; ++c) {
            const int w = g.ColumnWidth(c);
            if (w <= 0 || merges.At(r, c)) continue;
            paintCell(r, c, r, c, QRect(g.ColumnLeft(c), y, w - gap, h - gap));
        }
    }
    borders.Draw(p);
    if (o.gridLines) {
        p.save();
        if (!merges.Areas().empty()) p.setClipRegion(outsideMerges, Qt::IntersectClip);
        p.setPen(QPen(o.gridColor, 1, Qt::SolidLine));
        for (int32_t r = area.top; r <= area.bottom; ++r) {
            const int h = g.RowHeight(r);
            if (h <= 0) continue;
            const int y = g.RowTop(r) + h - 1;
            p.drawLine(areaRect.left(), y, areaRect.right(), y);
        }
        for (int32_t c = area.left; c <= area.right; ++c) {
            const int w = g.ColumnWidth(c);
            if (w <= 0) continue;
            const int x = g.ColumnLeft(c) + w - 1;
            p.drawLine(x, areaRect.top(), x, areaRect.bottom());
        }
        p.restore();
    }

    // 4. Text too long for its cell runs on over the empty cells to its
    // right, as in the host; numbers, wrapped text and merged cells never do.
    auto takesRunOn = [&](int32_t row, int32_t col) {
        return sheet_.ValueAt(row, col).IsEmpty() && !merges.At(row, col);
    };
    for (int32_t r = area.top; r <= area.bottom; ++r) {
        const int h = g.RowHeight(r);
        if (h <= 0) continue;
        const int y = g.RowTop(r);
        for (int32_t c = firstRunOn; c <= area.right; ++c) {
            const int w = g.ColumnWidth(c);
            if (w <= 0) continue;
            const host::Variant& value = sheet_.ValueAt(r, c);
            if (value.IsEmpty() || value.IsNumber() || merges.At(r, c)) continue;
            const ResolvedStyle& style = styles_.Get(sheet_.StyleAt(r, c));
            if (!style.runsOn) continue;
            const QString text = ShownText(value, style.numberFormat, date1904);
            const int needed = QFontMetrics(style.font, p.device()).horizontalAdvance(text) + 2 * kTextMargin;
            int width = w;
            int32_t k = c + 1;
            for (; width < needed && k <= extent.right && takesRunOn(r, k); ++k) width += g.ColumnWidth(k);
            if (k == c + 1) continue;
            const QRect run(g.ColumnLeft(c), y, width, h);
            for (int32_t n = c; n < k; ++n) {
                const int nw = g.ColumnWidth(n);
                if (nw <= 0) continue;
                const QColor& fill = styles_.Get(sheet_.StyleAt(r, n)).fill;
                const QRect under = QRect(g.ColumnLeft(n), y, nw, h).adjusted(1, 1, -1, -1);
                p.fillRect(under, fill.isValid() ? fill : o.background);
                if (highlighted(r, n)) p.fillRect(under, o.highlight);
            }
            p.setPen(style.textColor.isValid() ? style.textColor : o.text);
            p.setFont(style.font);
            p.drawText(run.adjusted(kTextMargin, 0, -kTextMargin, 0), int(style.vertical | Qt::AlignLeft), text);
            c = k - 1;
        }
    }

    // 5. Pictures, at their anchors' cells plus the offsets.
    const int dpi = styles_.DotsPerInch();
    const host::PictureList& pictures = sheet_.Pictures();
    if (pictures_.Size() > pictures.size()) pictures_.Retain(pictures);
    for (const host::Picture& pic : pictures) {
        if (!pic.data || pic.from.col > extent.right || pic.from.row > extent.bottom) continue;
        const int x = g.ColumnLeft(pic.from.col) + EmuToDevice(pic.from.colOffset, dpi);
        const int y = g.RowTop(pic.from.row) + EmuToDevice(pic.from.rowOffset, dpi);
        int w = EmuToDevice(pic.widthEmu, dpi), h = EmuToDevice(pic.heightEmu, dpi);
        if (w <= 0 || h <= 0) {
            w = g.ColumnLeft(pic.to.col) + EmuToDevice(pic.to.colOffset, dpi) - x;
            h = g.RowTop(pic.to.row) + EmuToDevice(pic.to.rowOffset, dpi) - y;
        }
        const QRect target(x, y, w, h);
        if (w <= 0 || h <= 0 || !target.intersects(areaRect)) continue;
        bool standIn = false;
        const QImage& image = o.maxImagePixelsPerDot > 0
                                  ? pictures_.Get(pic,
                                                  QSize(std::max(1, int(w * o.maxImagePixelsPerDot)),
                                                        std::max(1, int(h * o.maxImagePixelsPerDot))),
                                                  &standIn)
                                  : pictures_.Get(pic);
        if (image.isNull()) continue;
        if (!standIn) {
            p.drawImage(target, image);
            continue;
        }
        // A stand-in's pixels name its photo: stored exactly, never as a JPEG.
        p.save();
        p.setRenderHint(QPainter::LosslessImageRendering);
        p.drawImage(target, image);
        p.restore();
    }
}

}  // namespace render
