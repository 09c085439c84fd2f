#pragma once
// Row heights and column widths that follow the content, as in the host: a
// row whose height the user never set (no custom height) is as high as its
// tallest line of text — the largest font in it, or a wrapped text's lines
// at its column's width; AutoFit on rows or columns fits them on request.
//
// Measuring needs fonts, which the host does not have: the front end
// installs a ContentMeasurer (Application::SetContentMeasurer). Without one
// nothing is fitted and heights stay as they are.
#include <cstdint>
#include <memory>

namespace host {

class Workbook;
class Worksheet;

class ContentMeasurer {
public:
    // The measures of one sheet's cells; what it resolves (fonts, formats)
    // is kept while it lives, and the sheet must not change meanwhile.
    class Sheet {
    public:
        virtual ~Sheet() = default;
        // Points the cell needs in height: a line of its font, or the lines
        // its wrapped text takes at `widthPoints` (the column's width).
        virtual double Height(int32_t row, int32_t col, double widthPoints) = 0;
        // Points the cell's shown text needs in width, margins included; 0 when empty.
        virtual double Width(int32_t row, int32_t col) = 0;
    };
    virtual ~ContentMeasurer() = default;
    virtual std::unique_ptr<Sheet> Measure(const Worksheet& ws) = 0;
};

enum class RowFit {
    // Rows without a height of their own, or with one fitted here before:
    // what is fitted when a workbook is opened, shown, printed or saved. A
    // height a file gave without marking it custom (another program's fit)
    // is kept.
    Automatic,
    // Every row without a custom height: the user changed cells in them.
    Edited,
};

// Fits the rows first..last (of those stored) as `which` says; hidden rows
// and rows with a custom height keep theirs. True when a height changed.
// The workbook's saved state is left alone: a fitted height is layout, not
// an edit.
bool FitRowHeights(Worksheet& ws, int32_t first, int32_t last, RowFit which);
// RowFit::Automatic on every row of every sheet.
bool FitRowHeights(Workbook& wb);

}  // namespace host
