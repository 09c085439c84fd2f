// Row heights that follow the content, and AutoFit on rows and columns,
// with a measurer whose fonts are simple arithmetic.
#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.h"
#include "host/Application.h"
#include "host/AutoFit.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/SheetSnapshot.h"
#include "host/Workbook.h"

using namespace host;

namespace {

// A line is 1.5 × the font size; wrapped text takes a line per 6 points
// of width for each byte; a text is 6 points wide per byte.
class ArithmeticMeasurer : public ContentMeasurer {
    class SheetMeasure : public Sheet {
    public:
        explicit SheetMeasure(const Worksheet& ws) : ws_(ws) {}
        double Height(int32_t row, int32_t col, double width) override {
            const CellFormat& f = ws_.Parent().Styles().Get(ws_.StyleAt(row, col));
            const Variant& v = ws_.ValueAt(row, col);
            double lines = 1;
            if (f.alignment.wrapText && v.IsText()) lines = std::max(1.0, std::ceil(v.Text().size() * 6 / width));
            return lines * f.font.size * 1.5;
        }
        double Width(int32_t row, int32_t col) override {
            const Variant& v = ws_.ValueAt(row, col);
            return v.IsEmpty() ? 0 : ToText(v).size() * 6.0;
        }

    private:
        const Worksheet& ws_;
    };

public:
    std::unique_ptr<Sheet> Measure(const Worksheet& ws) override {
        ++measured;
        return std::make_unique<SheetMeasure>(ws);
    }
    int measured = 0;
};

struct AutoFit : ::testing::Test {
    ArithmeticMeasurer measurer;
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    AutoFit() { app.SetContentMeasurer(&measurer); }
    ~AutoFit() override { app.SetContentMeasurer(nullptr); }
    const RowInfo& Info(int32_t row) { return ws.RowsData()[size_t(row - 1)].info; }
    // 40 bytes in a column 64 px (48 pt) wide: 5 lines of 11 pt, 82.5 pt.
    void PutWrapped(int32_t row) {
        ws.SetValueAt(row, 1, Variant(std::string(40, 'x')));
        ws.GetRange(Rect{row, 1, row, 1}).SetWrapText(true);
    }
};

TEST_F(AutoFit, RowsWithoutACustomHeightTakeTheirContentsHeight) {
    PutWrapped(1);
    ws.SetValueAt(2, 1, Variant(1.0));
    ws.GetRange("A2").Font().SetSize(20);  // one line of 30 pt
    ws.SetValueAt(3, 1, Variant(std::string("短")));  // the Normal font: the standard height
    PutWrapped(4);
    ws.SetRowHeightPoints(4, 20);  // the user's height stays
    EXPECT_TRUE(FitRowHeights(ws, 1, 4, RowFit::Edited));
    EXPECT_DOUBLE_EQ(Info(1).height, 82.5);
    EXPECT_TRUE(Info(1).fitted);
    EXPECT_FALSE(Info(1).customHeight);
    EXPECT_DOUBLE_EQ(Info(2).height, 30);
    EXPECT_DOUBLE_EQ(Info(3).height, 0);
    EXPECT_DOUBLE_EQ(Info(4).height, 20);
    EXPECT_TRUE(Info(4).customHeight);
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(1), 82.5) << "the geometry follows";

    // The text gone, the row goes back to the standard height.
    ws.SetValueAt(1, 1, Variant());
    FitRowHeights(ws, 1, 1, RowFit::Edited);
    EXPECT_DOUBLE_EQ(Info(1).height, 0);
    EXPECT_FALSE(Info(1).fitted);
    // A wider column takes fewer lines: 40 bytes in 120 pt, two lines of 16.5 pt.
    PutWrapped(1);
    ws.SetColumnWidthChars(1, ws.CharsForPixels(160));
    ASSERT_GE(ws.ColumnWidthPoints(1), 120);
    FitRowHeights(ws, 1, 1, RowFit::Automatic);
    EXPECT_DOUBLE_EQ(Info(1).height, 33);
}

TEST_F(AutoFit, OtherProgramsHeightsStayUntilTheirCellsAreEdited) {
    PutWrapped(1);
    ws.GetRow(1).info.height = 27;  // as a file gave it, without customHeight
    PutWrapped(2);                   // no height at all: fitted
    ws.SetValueAt(3, 1, Variant(std::string("合并")));
    ws.GetRange("A3").SetWrapText(true);
    ws.GetRange("A3:C3").Merge();    // merged cells do not count
    ws.GetRange("A3").Font().SetSize(40);
    FitRowHeights(wb);
    EXPECT_DOUBLE_EQ(Info(1).height, 27);
    EXPECT_DOUBLE_EQ(Info(2).height, 82.5);
    EXPECT_DOUBLE_EQ(Info(3).height, 0);
    FitRowHeights(ws, 1, 1, RowFit::Edited);
    EXPECT_DOUBLE_EQ(Info(1).height, 82.5);

    // A sheet of Normal text is never measured; no measurer, nothing fitted.
    Worksheet& plain = wb.Worksheets().Add();
    for (int32_t r = 1; r <= 100; ++r) plain.SetValueAt(r, 1, Variant(double(r)));
    const int before = measurer.measured;
    EXPECT_FALSE(FitRowHeights(plain, 1, 100, RowFit::Edited));
    EXPECT_EQ(measurer.measured, before);
    app.SetContentMeasurer(nullptr);
    ws.GetRange("A2").Font().SetSize(60);
    EXPECT_FALSE(FitRowHeights(ws, 1, 2, RowFit::Edited));
    EXPECT_DOUBLE_EQ(Info(2).height, 82.5);
}

TEST_F(AutoFit, RangeAutoFitOnRowsAndColumns) {
    PutWrapped(1);
    ws.SetRowHeightPoints(1, 15);
    ws.GetRange("1:1").AutoFit();
    EXPECT_DOUBLE_EQ(Info(1).height, 82.5);
    EXPECT_FALSE(Info(1).customHeight) << "fitted on request, the row follows its content again";

    ws.SetValueAt(2, 2, Variant(std::string("一二三四五六")));  // 18 bytes: 108 pt + nothing
    ws.SetValueAt(3, 2, Variant(std::string("ab")));
    ws.SetValueAt(2, 3, Variant(std::string("很长的合并标题")));
    ws.GetRange("C2:D2").Merge();
    const double widthC = ws.ColumnWidthChars(3);
    ws.GetRange("B:C").AutoFit();
    EXPECT_DOUBLE_EQ(ws.ColumnWidthPoints(2), 108) << "144 px";
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(3), widthC) << "only a merged cell: the width stays";
    EXPECT_THROW(ws.GetRange("A1:B2").AutoFit(), HostError);
    app.SetContentMeasurer(nullptr);
    EXPECT_THROW(ws.GetRange("1:1").AutoFit(), HostError);
}

TEST_F(AutoFit, UndoingACellEditPutsTheRowsHeightBack) {
    ws.GetRow(1).info.height = 27;  // another program's height
    const CellBlockState before = TakeCells(ws, Rect{1, 1, 1, 1});
    PutWrapped(1);
    FitRowHeights(ws, 1, 1, RowFit::Edited);
    ASSERT_DOUBLE_EQ(Info(1).height, 82.5);
    const CellBlockState after = TakeCells(ws, Rect{1, 1, 1, 1});
    RestoreCells(ws, before);
    EXPECT_DOUBLE_EQ(Info(1).height, 27);
    EXPECT_FALSE(Info(1).fitted);
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(1), 27);
    RestoreCells(ws, after);
    EXPECT_DOUBLE_EQ(Info(1).height, 82.5);
    EXPECT_TRUE(Info(1).fitted);
}

// A height fitted because cells were edited is saved (as the host saves the
// height it fits after an edit), without customHeight; one fitted only to
// show or print a row is layout and leaves the file's row as it was, so a
// roster saved by a command keeps the heights its own program gives it.
TEST_F(AutoFit, EditedRowsSaveTheirHeightAndOthersLeaveTheFilesRowsAlone) {
    testing_support::TempDir dir;
    PutWrapped(1);
    PutWrapped(2);
    PutWrapped(3);
    ws.SetRowHeightPoints(2, 20);
    FitRowHeights(ws, 1, 1, RowFit::Edited);
    FitRowHeights(ws, 1, 3, RowFit::Automatic);  // as printing does
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(3), 82.5);
    wb.SaveAs(dir.File("fit.xlsx"));
    Application other;
    Workbook& back = *other.Workbooks().Open(dir.File("fit.xlsx"));
    const RowInfo& saved = back.Sheet(1).RowsData()[0].info;
    EXPECT_DOUBLE_EQ(saved.height, 82.5) << "fitted after the edit";
    EXPECT_FALSE(saved.customHeight);
    EXPECT_TRUE(back.Sheet(1).RowsData()[1].info.customHeight);
    EXPECT_DOUBLE_EQ(back.Sheet(1).RowsData()[2].info.height, 0) << "fitted to print only";
    back.Close(false);

    // A file that leaves the row to its content gets the height on opening.
    ArithmeticMeasurer m;
    Application third;
    third.SetContentMeasurer(&m);
    app.SetContentMeasurer(nullptr);
    ws.GetRow(1).info = RowInfo{};
    wb.SaveAs(dir.File("unfitted.xlsx"));
    Workbook& opened = *third.Workbooks().Open(dir.File("unfitted.xlsx"));
    EXPECT_DOUBLE_EQ(opened.Sheet(1).RowHeightPoints(1), 82.5);
    EXPECT_TRUE(opened.Saved()) << "a fitted height is no change of the user's";
    opened.Close(false);
    third.SetContentMeasurer(nullptr);
}

}  // namespace
