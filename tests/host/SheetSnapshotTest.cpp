// Copies of a block, a sheet and a workbook taken before an edit put back
// exactly what the edit changed, and nothing else.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Dump.h"
#include "host/Range.h"
#include "host/SheetSnapshot.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using host::Rect;
using host::Variant;

namespace {

struct Book {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
};

}  // namespace

TEST(CellBlockState, RestoresValuesFormulasFormatsAndMergesInsideTheBlockOnly) {
    Book b;
    b.ws.SetValueAt(2, 2, Variant(1.0));
    b.ws.GetRange("C2").SetFormula("=B2*2");
    b.ws.GetRange("B3").Font().SetBold(true);
    b.ws.GetRange("B5:C5").Merge();
    b.ws.SetValueAt(9, 9, Variant("外面"));
    const Rect block{2, 2, 6, 4};
    const host::CellBlockState before = host::TakeCells(b.ws, block);

    b.ws.SetValueAt(2, 2, Variant("改了"));
    b.ws.EraseCell(2, 3);
    b.ws.GetRange("B3").Font().SetBold(false);
    b.ws.GetRange("B5:C5").UnMerge();
    b.ws.GetRange("C6:D6").Merge();
    b.ws.SetValueAt(4, 4, Variant(7.0));
    b.ws.SetValueAt(9, 9, Variant("外面也改了"));
    EXPECT_FALSE(host::TakeCells(b.ws, block).SameAs(before));

    host::RestoreCells(b.ws, before);
    EXPECT_TRUE(host::TakeCells(b.ws, block).SameAs(before));
    EXPECT_EQ(b.ws.ValueAt(2, 2), Variant(1.0));
    EXPECT_EQ(b.ws.GetRange("C2").Formula(), "=B2*2");
    EXPECT_TRUE(b.ws.GetRange("B3").Font().Bold());
    EXPECT_EQ(b.ws.MergedAreas(), (std::vector<Rect>{{5, 2, 5, 3}}));
    EXPECT_TRUE(b.ws.ValueAt(4, 4).IsEmpty());
    EXPECT_EQ(b.ws.ValueAt(9, 9), Variant("外面也改了")) << "cells outside the block keep their change";
}

TEST(CellBlockState, AMergeReachingOutOfTheBlockComesBackWhole) {
    Book b;
    b.ws.GetRange("A1:C1").Merge();
    const host::CellBlockState before = host::TakeCells(b.ws, Rect{1, 2, 1, 2});
    b.ws.GetRange("A1:C1").UnMerge();
    b.ws.GetRange("B1:B2").Merge();
    host::RestoreCells(b.ws, before);
    EXPECT_EQ(b.ws.MergedAreas(), (std::vector<Rect>{{1, 1, 1, 3}}));
}

TEST(SheetState, RestoresRowsColumnsSizesMergesPageSetupAndProtection) {
    Book b;
    b.ws.SetValueAt(1, 1, Variant("表头"));
    b.ws.SetValueAt(3, 1, Variant(3.0));
    b.ws.SetColumnWidthChars(2, 20);
    b.ws.SetRowHeightPoints(2, 30);
    b.ws.GetRange("A5:B6").Merge();
    b.ws.PageSetup().PrintTitleRows = "$1:$1";
    const std::string before = host::Dump(b.wb);
    const host::SheetState state = host::SheetState::Take(b.ws);

    b.ws.GetRange("2:2").Delete();
    b.ws.SetColumnWidthChars(2, 5);
    b.ws.SetColumnHidden(3, true);
    b.ws.PageSetup().PrintTitleRows.clear();
    b.ws.Protect("");
    b.ws.SetName("改名");
    ASSERT_NE(host::Dump(b.wb), before);

    b.ws.SetFrozen(1, 2);
    state.RestoreInto(b.ws);
    EXPECT_EQ(host::Dump(b.wb), before);
    EXPECT_EQ(b.ws.FrozenRows() + b.ws.FrozenColumns(), 0) << "panes frozen later are undone too";
    EXPECT_DOUBLE_EQ(b.ws.RowHeightPoints(2), 30) << "the geometry is built again from the restored sizes";
    EXPECT_GT(b.ws.ColumnWidthPoints(3), 0);
    EXPECT_FALSE(b.wb.Saved());
}

TEST(WorkbookState, PutsBackDeletedSheetsRemovesAddedOnesAndKeepsSurvivorsInPlace) {
    Book b;
    host::Worksheet& first = b.ws;
    first.SetName("名单");
    first.SetValueAt(1, 1, Variant("甲"));
    host::Worksheet& second = b.wb.Worksheets().Add(&first);
    second.SetName("设置");
    second.SetValueAt(2, 2, Variant(2.0));
    b.wb.DefinedNames().push_back({"考场", -1, "设置!$B$2", false});
    b.wb.SetActiveSheet(&first);
    const std::string before = host::Dump(b.wb);
    const host::WorkbookState state = host::WorkbookState::Take(b.wb);
    const size_t formats = b.wb.Styles().Size();

    second.Delete();
    b.wb.Worksheets().Add(&first).SetName("新表");
    first.SetValueAt(1, 1, Variant("乙"));
    first.GetRange("A1").Interior().SetColorIndex(6);
    b.wb.DefinedNames().clear();
    ASSERT_NE(host::Dump(b.wb), before);

    state.RestoreInto(b.wb);
    EXPECT_EQ(host::Dump(b.wb), before);
    ASSERT_EQ(b.wb.SheetCount(), 2);
    EXPECT_EQ(&b.wb.Sheet(1), &first) << "a sheet that stayed keeps its address";
    EXPECT_EQ(b.wb.Sheet(2).Name(), "设置");
    EXPECT_EQ(b.wb.Sheet(2).ValueAt(2, 2), Variant(2.0));
    EXPECT_EQ(b.wb.ActiveSheet(), &first);
    EXPECT_EQ(b.wb.Styles().Size(), formats);
    ASSERT_EQ(b.wb.DefinedNames().size(), 1u);
    EXPECT_EQ(b.wb.DefinedNames()[0].name, "考场");
}

TEST(WorkbookState, ASnapshotIsNotChangedByLaterEditsOfTheSheet) {
    Book b;
    b.ws.SetValueAt(1, 1, Variant("原"));
    b.ws.GetRange("A3:B3").Merge();
    const host::WorkbookState state = host::WorkbookState::Take(b.wb);
    const std::string before = host::Dump(b.wb);
    b.ws.GetRange("1:1").Delete();
    b.ws.SetValueAt(5, 5, Variant("后来"));
    state.RestoreInto(b.wb);
    // Taken twice from one state: the first restore did not use it up.
    b.ws.SetValueAt(6, 6, Variant("又改"));
    state.RestoreInto(b.wb);
    EXPECT_EQ(host::Dump(b.wb), before);
}
