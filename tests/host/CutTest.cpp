// Cut and paste: cells move, references follow them.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"

using namespace host;

namespace {

struct Cut : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    void SetFormula(Worksheet& sheet, int32_t r, int32_t c, const std::string& f) {
        sheet.GetCell(r, c).formula = std::make_unique<std::string>(f);
    }
    std::string FormulaAt(Worksheet& sheet, int32_t r, int32_t c) {
        const Cell* cell = sheet.FindCell(r, c);
        return cell && cell->formula ? *cell->formula : "";
    }
};

TEST_F(Cut, CellsMoveAndEveryReferenceToThemFollows) {
    ws.SetName("名单");
    Worksheet& other = wb.Worksheets().Add();
    ws.SetValueAt(1, 2, Variant(7.0));
    ws.SetValueAt(1, 3, Variant(1.0));
    SetFormula(ws, 1, 1, "B1+C1+$B$1");            // moves: B1 moves with it, C1 stays
    SetFormula(ws, 9, 3, "SUM(A1:B2)+SUM(A1:C2)");  // A1:B2 moves whole, A1:C2 only in part
    SetFormula(other, 1, 1, "名单!B1*2");
    wb.DefinedNames().push_back({"块", -1, "名单!$A$1:$B$2", false});
    ws.GetRange("A1:B1").Font().SetBold(true);
    ws.GetRange("A1:B2").Cut(ws.GetRange("D5"));

    EXPECT_EQ(FormulaAt(ws, 5, 4), "E5+C1+$E$5");
    EXPECT_EQ(ws.ValueAt(5, 5).Number(), 7.0);
    EXPECT_TRUE(ws.GetRange("D5").Font().Bold());
    EXPECT_EQ(FormulaAt(ws, 9, 3), "SUM(D5:E6)+SUM(A1:C2)");
    EXPECT_EQ(FormulaAt(other, 1, 1), "名单!E5*2");
    EXPECT_EQ(wb.DefinedNames().back().formula, "名单!$D$5:$E$6");
    // The source is empty and unformatted.
    EXPECT_EQ(ws.FindCell(1, 1), nullptr);
    EXPECT_EQ(ws.FindCell(1, 2), nullptr);
    EXPECT_EQ(ws.ValueAt(1, 3).Number(), 1.0);
}

TEST_F(Cut, ReferencesToCoveredCellsBreakAndOverlappingMovesWork) {
    for (int32_t r = 1; r <= 4; ++r) ws.SetValueAt(r, 1, Variant(double(r)));
    SetFormula(ws, 1, 3, "A3+A4+A2");
    // A1:A2 onto A2:A3: A2 is itself moved, A3 is covered, A4 stays.
    ws.GetRange("A1:A2").Cut(ws.GetRange("A2"));
    EXPECT_EQ(FormulaAt(ws, 1, 3), "#REF!+A4+A3");
    EXPECT_TRUE(ws.ValueAt(1, 1).IsEmpty());
    EXPECT_EQ(ws.ValueAt(2, 1).Number(), 1.0);
    EXPECT_EQ(ws.ValueAt(3, 1).Number(), 2.0);
    EXPECT_EQ(ws.ValueAt(4, 1).Number(), 4.0);
}

TEST_F(Cut, AMoveToAnotherSheetNamesTheSheetsItLeaves) {
    ws.SetName("源");
    Worksheet& to = wb.Worksheets().Add();
    to.SetName("My sheet");
    ws.SetValueAt(1, 2, Variant(3.0));
    SetFormula(ws, 1, 1, "B1+C1");
    SetFormula(ws, 3, 1, "A1");
    ws.GetRange("A1:B1").Cut(to.GetRange("B2"));
    EXPECT_EQ(FormulaAt(to, 2, 2), "C2+源!C1");
    EXPECT_EQ(FormulaAt(ws, 3, 1), "'My sheet'!B2");
    EXPECT_EQ(to.ValueAt(2, 3).Number(), 3.0);
    EXPECT_EQ(ws.FindCell(1, 1), nullptr);
}

TEST_F(Cut, MergesAndPicturesMoveAndPartialMergesAreRefused) {
    ws.SetValueAt(1, 1, Variant(std::string("标题")));
    ws.GetRange("A1:B1").Merge();
    Picture p;
    p.from = {1, 1, 0, 0};  // A1 to the edge of C2: A1:B1
    p.to = {3, 2, 0, 0};
    ws.Pictures() = {p};
    ws.GetRange("A1:B1").Cut(ws.GetRange("C3"));
    ASSERT_EQ(ws.MergedAreas().size(), 1u);
    EXPECT_EQ(ws.MergedAreas()[0], (Rect{3, 3, 3, 4}));
    EXPECT_EQ(ws.Pictures()[0].from.row, 3);
    EXPECT_EQ(ws.Pictures()[0].from.col, 3);
    EXPECT_EQ(ws.Pictures()[0].to.col, 5);
    // Half of the merged area as the source, or under the destination: nothing moves.
    ws.SetValueAt(9, 9, Variant(1.0));
    EXPECT_THROW(ws.GetRange("C3").Cut(ws.GetRange("A1")), HostError);
    EXPECT_THROW(ws.GetRange("I9").Cut(ws.GetRange("D3")), HostError);
    EXPECT_EQ(ws.ValueAt(9, 9).Number(), 1.0);
    EXPECT_EQ(ws.ValueAt(3, 3).Text(), "标题");
    // Another workbook: refused.
    Workbook& wb2 = app.Workbooks().Add();
    EXPECT_THROW(ws.GetRange("I9").Cut(wb2.Sheet(1).GetRange("A1")), HostError);
    EXPECT_EQ(ws.ValueAt(9, 9).Number(), 1.0);
}

TEST(SheetPrefix, QuotesWhatAFormulaWouldMisread) {
    EXPECT_EQ(formula::SheetPrefix("名单"), "名单!");
    EXPECT_EQ(formula::SheetPrefix("My sheet"), "'My sheet'!");
    EXPECT_EQ(formula::SheetPrefix("A1"), "'A1'!");
    EXPECT_EQ(formula::SheetPrefix("2024"), "'2024'!");
    EXPECT_EQ(formula::SheetPrefix("O'Neil"), "'O''Neil'!");
}

}  // namespace
