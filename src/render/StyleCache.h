#pragma once
// Cell formats turned into what a QPainter needs: a font, a text colour, a
// fill, alignment flags and one pen per border side. A workbook refers to a
// format by its index in the StyleTable, so each index is resolved once, on
// first use, and every cell of that format shares the result.
#include <QColor>
#include <QFont>
#include <QPen>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Style.h"
#include "host/Variant.h"

namespace render {

// A border side; `present` is false for "no line".
struct BorderPen {
    bool present = false;
    QPen pen;
};

struct ResolvedStyle {
    std::string numberFormat;
    QFont font;
    QColor textColor;  // invalid: automatic (the painter's default text colour)
    QColor fill;       // invalid: no fill
    // The horizontal flag is meaningless when `generalAlignment`: then the
    // value decides (numbers right, booleans and errors centred, text left).
    Qt::Alignment horizontal = Qt::AlignLeft;
    bool generalAlignment = true;
    Qt::Alignment vertical = Qt::AlignBottom;
    bool wrap = false;
    // Shrink to fit: text too wide for its cell is drawn in a smaller size
    // (the host ignores it in a wrapped cell).
    bool shrink = false;
    // Text too long for the cell may run on over empty neighbours to the
    // right: left or general alignment, not wrapped.
    bool runsOn = true;
    BorderPen left, right, top, bottom;

    // Horizontal and vertical flags for a value in a cell of this style.
    Qt::Alignment AlignmentFor(const host::Variant& value) const;
};

// A workbook font as drawn: "宋体"/"SimSun" and the other Windows CJK faces
// come out in installed CJK fonts (see InstallFontSubstitutes); size in points.
QFont QtFont(const host::Font& font);
// Maps the Windows CJK face names to installed fonts (Noto Serif CJK SC for
// 宋体, Noto Sans CJK SC for 黑体 …). Needs a QGuiApplication; repeated calls
// do nothing.
void InstallFontSubstitutes();

// Border line widths in points as the host draws them: thin and the dashed
// and dotted styles 0.75, the medium ones 1.5, thick and double 2.25.
double BorderWidthPoints(const std::string& lineStyle);

class StyleCache {
public:
    // `dotsPerInch` of the device that border pens are made for: 96 on
    // screen (a thin line is 1 px, medium 2 px, thick 3 px).
    explicit StyleCache(const host::StyleTable& styles, int dotsPerInch = 96);

    // The resolved format at a style index (an unknown index gives the
    // default format, as StyleTable::Get does). The reference stays valid
    // until Clear().
    const ResolvedStyle& Get(uint32_t styleIndex);
    // Forgets every resolved format, e.g. after the default format changed.
    void Clear() { resolved_.clear(); }

    const host::StyleTable& Styles() const { return styles_; }
    int DotsPerInch() const { return dotsPerInch_; }

private:
    const host::StyleTable& styles_;
    int dotsPerInch_;
    std::vector<std::unique_ptr<ResolvedStyle>> resolved_;
};

}  // namespace render
