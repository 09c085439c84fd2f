#include "render/FontMeasurer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <unordered_map>

#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellPainter.h"
#include "render/CellText.h"
#include "render/PagedOutput.h"
#include "render/StyleCache.h"

namespace render {

namespace {

constexpr double kPointsPerPixel = 0.75;
constexpr int kDotsPerMeter96 = 3780;  // 96 dpi

class SheetMeasure : public host::ContentMeasurer::Sheet {
public:
    explicit SheetMeasure(const host::Worksheet& ws)
        : ws_(ws), styles_(ws.Parent().Styles()), device_(1, 1, QImage::Format_RGB32) {
        device_.setDotsPerMeterX(kDotsPerMeter96);
        device_.setDotsPerMeterY(kDotsPerMeter96);
        normalSpacing_ = Spacing(styles_.Get(0).font);
    }

    double Height(int32_t row, int32_t col, double widthPoints) override {
        const uint32_t index = ws_.StyleAt(row, col);
        const ResolvedStyle& style = styles_.Get(index);
        const double line = LineHeight(index, style.font);
        const host::Variant& value = ws_.ValueAt(row, col);
        // Numbers, booleans and errors never wrap.
        if (!style.wrap || !value.IsText() || value.Text().empty()) return line;
        QString text = ShownText(value, style.numberFormat, ws_.Parent().Date1904());
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
        const qreal width = widthPoints / kPointsPerPixel - 2 * CellPainter::kTextMargin;
        if (width <= 0) return line;
        QTextLayout layout(text, style.font, &device_);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        int lines = 0;
        qreal height = 0;
        layout.beginLayout();
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(width);
            height += l.height();
            ++lines;
        }
        layout.endLayout();
        if (lines <= 1) return line;
        return std::max(lines * line, height * kPointsPerPixel);
    }

    double Width(int32_t row, int32_t col) override {
        const host::Variant& value = ws_.ValueAt(row, col);
        if (value.IsEmpty()) return 0;
        const ResolvedStyle& style = styles_.Get(ws_.StyleAt(row, col));
        const QString text = ShownText(value, style.numberFormat, ws_.Parent().Date1904());
        const QFontMetricsF metrics(style.font, &device_);
        qreal widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= 0) return 0;
        // One pixel more than the text, so that a number is not shown as ####.
        return (widest + 2 * CellPainter::kTextMargin + 1) * kPointsPerPixel;
    }

private:
    qreal Spacing(const QFont& font) const { return QFontMetricsF(font, &device_).lineSpacing(); }

    double LineHeight(uint32_t index, const QFont& font) {
        auto it = lines_.find(index);
        if (it != lines_.end()) return it->second;
        const double h = normalSpacing_ > 0 ? ws_.StandardHeight() * Spacing(font) / normalSpacing_ : ws_.StandardHeight();
        lines_.emplace(index, h);
        return h;
    }

    const host::Worksheet& ws_;
    StyleCache styles_;
    QImage device_;
    qreal normalSpacing_ = 0;
    std::unordered_map<uint32_t, double> lines_;  // one line's height by format
};

}  // namespace

std::unique_ptr<host::ContentMeasurer::Sheet> FontMeasurer::Measure(const host::Worksheet& ws) {
    // The command line has no application for fonts until something is measured.
    EnsureGuiApplication();
    InstallFontSubstitutes();
    return std::make_unique<SheetMeasure>(ws);
}

}  // namespace render
