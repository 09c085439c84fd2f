#include "render/PagePainter.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "host/Address.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellPainter.h"
#include "render/PictureCache.h"
#include "render/StyleCache.h"

namespace render {

namespace {

constexpr double kPointsPerInch = 72;

// Cumulative printed sizes of a sheet's rows or columns in points, from the
// first; beyond the table every row (column) has the last size given.
class Edges {
public:
    template <class SizeOf>
    Edges(int32_t count, double beyond, SizeOf size) : beyond_(beyond) {
        cum_.reserve(size_t(count) + 2);
        cum_.push_back(0);  // cum_[i - 1] = edge before index i
        for (int32_t i = 1; i <= count + 1; ++i) cum_.push_back(cum_.back() + size(i));
    }
    // Points from the sheet's origin to the edge before index i.
    double Before(int32_t i) const {
        const int32_t known = int32_t(cum_.size()) - 1;
        if (i <= known) return cum_[size_t(std::max(1, i)) - 1];
        return cum_.back() + (i - known - 1) * beyond_;
    }
    double Size(const host::Span& s) const { return s.Empty() ? 0 : Before(s.last + 1) - Before(s.first); }

private:
    std::vector<double> cum_;
    double beyond_;
};

// One part of a page: rows and columns placed from (x0, y0) in device pixels
// at 100 %, sizes rounded at their edges so that neighbours never overlap.
class PartGeometry : public CellGeometry {
public:
    PartGeometry(const Edges& rows, const Edges& cols, host::Span r, host::Span c, int x0, int y0, double dotsPerPoint)
        : rows_(rows), cols_(cols), r_(r), c_(c), x0_(x0), y0_(y0), k_(dotsPerPoint) {}
    int RowTop(int32_t row) const override { return y0_ + int(std::lround((rows_.Before(row) - rows_.Before(r_.first)) * k_)); }
    int ColumnLeft(int32_t col) const override {
        return x0_ + int(std::lround((cols_.Before(col) - cols_.Before(c_.first)) * k_));
    }
    int RowHeight(int32_t row) const override { return RowTop(row + 1) - RowTop(row); }
    int ColumnWidth(int32_t col) const override { return ColumnLeft(col + 1) - ColumnLeft(col); }
    host::Rect Extent() const override { return {r_.first, c_.first, r_.last, c_.last}; }
    QRect Box() const { return QRect(QPoint(x0_, y0_), QPoint(ColumnLeft(c_.last + 1) - 1, RowTop(r_.last + 1) - 1)); }

private:
    const Edges& rows_;
    const Edges& cols_;
    host::Span r_, c_;
    int x0_, y0_;
    double k_;
};

// The print areas hold every cell printed; pictures may reach further.
int32_t LastRowNeeded(const host::Worksheet& ws, const host::Pagination& pg) {
    int32_t last = 1;
    for (const host::Rect& a : pg.areas) last = std::max(last, a.bottom);
    for (const host::Picture& p : ws.Pictures()) last = std::max(last, p.to.row);
    if (!pg.titleRows.Empty()) last = std::max(last, pg.titleRows.last);
    return std::min(last + 1, host::kMaxRows);
}

int32_t LastColumnNeeded(const host::Worksheet& ws, const host::Pagination& pg) {
    int32_t last = 1;
    for (const host::Rect& a : pg.areas) last = std::max(last, a.right);
    for (const host::Picture& p : ws.Pictures()) last = std::max(last, p.to.col);
    if (!pg.titleColumns.Empty()) last = std::max(last, pg.titleColumns.last);
    return std::min(last + 1, host::kMaxColumns);
}

QFont RunFont(QFont base, const host::HeaderFooterRun& run, double scale) {
    if (!run.fontName.empty()) base.setFamily(QString::fromStdString(run.fontName));
    base.setPointSizeF((run.size > 0 ? run.size : base.pointSizeF()) * scale);
    base.setBold(run.bold);
    base.setItalic(run.italic);
    base.setUnderline(run.underline);
    base.setStrikeOut(run.strike);
    return base;
}

}  // namespace

struct PagePainter::SheetEdges {
    Edges rows, cols;
};

PagePainter::PagePainter(const host::Worksheet& ws, const host::Pagination& pagination, StyleCache& styles,
                         PictureCache& pictures)
    : sheet_(ws), pagination_(pagination), styles_(styles), pictures_(pictures) {
    edges_.reset(new SheetEdges{
        Edges(LastRowNeeded(ws, pagination), ws.StandardHeight(), [&](int32_t r) { return host::PrintedRowHeight(ws, r); }),
        Edges(LastColumnNeeded(ws, pagination), ws.ColumnWidthPoints(host::kMaxColumns),
              [&](int32_t c) { return host::PrintedColumnWidth(ws, c); })});
}

PagePainter::~PagePainter() = default;

QSize PaperPixels(const host::Pagination& pg, double dotsPerInch) {
    return QSize(int(std::lround(pg.paper.width / kPointsPerInch * dotsPerInch)),
                 int(std::lround(pg.paper.height / kPointsPerInch * dotsPerInch)));
}

void PagePainter::Paint(QPainter& p, int index, double dpi, host::HeaderFooterFields fields) {
    const host::PrintedPage& page = pagination_.pages.at(size_t(index));
    const double k = dpi / kPointsPerInch;  // device pixels per point
    const double scale = pagination_.scale;
    const host::Worksheet& ws = sheet_;
    const Edges& rows = edges_->rows;
    const Edges& cols = edges_->cols;

    const host::Span bodyRows{page.cells.top, page.cells.bottom}, bodyCols{page.cells.left, page.cells.right};
    const host::Span titleRows = page.titleRows ? pagination_.titleRows : host::Span{};
    const host::Span titleCols = page.titleColumns ? pagination_.titleColumns : host::Span{};
    const double titleHeight = rows.Size(titleRows), titleWidth = cols.Size(titleCols);
    const double headingWidth = pagination_.headingWidth, headingHeight = pagination_.headingHeight;
    const double blockWidth = (headingWidth + titleWidth + cols.Size(bodyCols)) * scale;
    const double blockHeight = (headingHeight + titleHeight + rows.Size(bodyRows)) * scale;
    double x = pagination_.left, y = pagination_.top;
    const host::PageSetup& ps = ws.PageSetup();
    if (ps.CenterHorizontally) x += std::max(0.0, (pagination_.width - blockWidth) / 2);
    if (ps.CenterVertically) y += std::max(0.0, (pagination_.height - blockHeight) / 2);

    PaintOptions options;
    options.gridLines = ps.PrintGridlines;
    options.gridColor = Qt::black;
    options.background = Qt::white;
    options.text = Qt::black;
    options.maxImagePixelsPerDot = PagePainter::kImageDotsPerInch / dpi * scale;
    CellPainter cells(ws, styles_, pictures_);

    // Parts are laid out at 100 % in device pixels; the painter scales them.
    const int headDotsW = int(std::lround(headingWidth * k)), headDotsH = int(std::lround(headingHeight * k));
    const int titleDotsW = headDotsW + int(std::lround(titleWidth * k));
    const int titleDotsH = headDotsH + int(std::lround(titleHeight * k));
    struct Part {
        host::Span rows, cols;
        int x0, y0;
    };
    const Part parts[] = {
        {titleRows, titleCols, headDotsW, headDotsH},
        {titleRows, bodyCols, titleDotsW, headDotsH},
        {bodyRows, titleCols, headDotsW, titleDotsH},
        {bodyRows, bodyCols, titleDotsW, titleDotsH},
    };
    // The printable area bounds every part, so a row taller than the page is cut at the margin.
    const QRectF printable(0, 0, (pagination_.left + pagination_.width - x) * k / scale,
                           (pagination_.top + pagination_.height - y) * k / scale);
    p.save();
    p.translate(x * k, y * k);
    p.scale(scale, scale);
    for (const Part& part : parts) {
        if (part.rows.Empty() || part.cols.Empty()) continue;
        PartGeometry g(rows, cols, part.rows, part.cols, part.x0, part.y0, k);
        p.save();
        p.setClipRect(QRectF(g.Box()).intersected(printable), Qt::ReplaceClip);
        cells.Paint(p, g.Extent(), g, options);
        p.restore();
        if (headDotsW > 0 || headDotsH > 0) PaintHeadings(p, g, part.rows, part.cols, headDotsW, headDotsH, printable);
    }
    if (headDotsW > 0 && headDotsH > 0) {
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(0, 0, headDotsW, headDotsH));
    }
    p.restore();

    fields.page = page.number;
    fields.pages = int(pagination_.pages.size());
    fields.sheetName = ws.Name();
    if (fields.fileName.empty()) fields.fileName = ws.Parent().Name();
    if (fields.path.empty()) fields.path = ws.Parent().Path();
    PaintHeaderFooter(p, index, dpi, fields);
}

// The column letters above a part and the row numbers left of it, each in
// a thin box, in the workbook's default font.
void PagePainter::PaintHeadings(QPainter& p, const CellGeometry& g, host::Span rows, host::Span cols, int width,
                                int height, const QRectF& printable) {
    p.save();
    p.setClipRect(printable, Qt::ReplaceClip);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.setFont(styles_.Get(0).font);
    if (height > 0) {
        for (int32_t c = cols.first; c <= cols.last && !cols.Empty(); ++c) {
            const int w = g.ColumnWidth(c);
            if (w <= 0) continue;
            const QRect box(g.ColumnLeft(c), 0, w, height);
            p.drawRect(box);
            p.drawText(box, Qt::AlignCenter, QString::fromStdString(host::ColumnLetters(c)));
        }
    }
    if (width > 0) {
        for (int32_t r = rows.first; r <= rows.last && !rows.Empty(); ++r) {
            const int h = g.RowHeight(r);
            if (h <= 0) continue;
            const QRect box(0, g.RowTop(r), width, h);
            p.drawRect(box);
            p.drawText(box, Qt::AlignCenter, QString::number(r));
        }
    }
    p.restore();
}

void PagePainter::PaintHeaderFooter(QPainter& p, int index, double dpi, const host::HeaderFooterFields& fields) {
    const host::PageSetup& ps = sheet_.PageSetup();
    const host::PrintedPage& page = pagination_.pages.at(size_t(index));
    const host::HeaderFooterSections sections = ps.SectionsForPage(index == 0, page.number);
    const double k = dpi / kPointsPerInch;
    const double textScale = ps.ScaleWithDocHeaderFooter ? pagination_.scale : 1.0;
    const QFont base = QtFont(sheet_.Parent().Styles().Default().font);
    // Not aligned with the margins: the paper's edges less the header margin.
    const double inset = ps.AlignMarginsHeaderFooter ? 0 : ps.HeaderMargin;
    const double leftPt = ps.AlignMarginsHeaderFooter ? ps.LeftMargin : inset;
    const double rightPt = ps.AlignMarginsHeaderFooter ? ps.RightMargin : inset;
    const double left = leftPt * k, width = (pagination_.paper.width - leftPt - rightPt) * k;
    auto draw = [&](const std::string& section, Qt::Alignment align, bool footer) {
        if (section.empty()) return;
        const std::vector<host::HeaderFooterRun> runs = host::ExpandHeaderFooter(section, fields);
        if (runs.empty()) return;
        QString text;
        QList<QTextLayout::FormatRange> formats;
        for (const host::HeaderFooterRun& run : runs) {
            QString part = QString::fromStdString(run.text);
            part.replace(QLatin1Char('\n'), QChar::LineSeparator);
            QTextLayout::FormatRange range;
            range.start = int(text.size());
            range.length = int(part.size());
            range.format.setFont(RunFont(base, run, textScale));
            formats.append(range);
            text += part;
        }
        QTextLayout layout(text, base, p.device());
        QTextOption option(align);
        option.setWrapMode(QTextOption::ManualWrap);
        layout.setTextOption(option);
        layout.setFormats(formats);
        layout.beginLayout();
        qreal height = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout.endLayout();
        const double top = footer ? pagination_.paper.height * k - ps.FooterMargin * k - height : ps.HeaderMargin * k;
        p.save();
        p.setPen(Qt::black);
        layout.draw(&p, QPointF(left, top));
        p.restore();
    };
    draw(sections.LeftHeader, Qt::AlignLeft, false);
    draw(sections.CenterHeader, Qt::AlignHCenter, false);
    draw(sections.RightHeader, Qt::AlignRight, false);
    draw(sections.LeftFooter, Qt::AlignLeft, true);
    draw(sections.CenterFooter, Qt::AlignHCenter, true);
    draw(sections.RightFooter, Qt::AlignRight, true);
}

QImage PageImage(const host::Worksheet& sheet, const host::Pagination& pagination, int index, double dpi,
                 const host::HeaderFooterFields& fields) {
    QImage img(PaperPixels(pagination, dpi), QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dotsPerMeter);
    img.setDotsPerMeterY(dotsPerMeter);
    img.fill(Qt::white);
    StyleCache styles(sheet.Parent().Styles(), int(std::lround(dpi)));
    PictureCache pictures;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    PagePainter(sheet, pagination, styles, pictures).Paint(p, index, dpi, fields);
    return img;
}

}  // namespace render
