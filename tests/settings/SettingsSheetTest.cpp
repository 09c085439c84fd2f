#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "settings/SettingsSheet.h"

using host::Variant;
using settings::SettingsSheetShape;

namespace {

constexpr const char* kPassword = "quietlantern7204";

class SettingsSheetTest : public ::testing::Test {
protected:
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);

    Variant At(const char* a1) { return ws.GetRange(a1).Value(); }
    bool Locked(int32_t row, int32_t col) { return ws.Cells(row, col).Locked(); }
    int32_t LastTitleColumn() { return ws.Cells(1, host::kMaxColumns).End(host::xlToLeft).Column(); }
    int32_t LastRoomRow() { return ws.Cells(host::kMaxRows, 8).End(host::xlUp).Row(); }
};

TEST_F(SettingsSheetTest, TwoGroupsThreeRoomsNoFieldsFillH1ToK5) {
    settings::BuildSettingsSheet(&ws, {2, 3, 0});

    EXPECT_EQ(At("H1"), Variant("场号"));
    EXPECT_EQ(At("I1"), Variant("1组人数"));
    EXPECT_EQ(At("J1"), Variant("2组人数"));
    EXPECT_EQ(At("K1"), Variant("场人"));
    EXPECT_EQ(At("H2"), Variant(1));
    EXPECT_EQ(At("H3"), Variant(2));
    EXPECT_EQ(At("H4"), Variant(3));
    EXPECT_TRUE(At("H5").IsEmpty());
    EXPECT_TRUE(At("I5").IsEmpty());
    EXPECT_EQ(At("J5"), Variant("合计"));
    for (const char* cell : {"K2", "K3", "K4"})
        EXPECT_EQ(ws.GetRange(cell).FormulaR1C1(), "=SUM(RC[-2]:RC[-1])") << cell;
    EXPECT_EQ(ws.GetRange("K3").Formula(), "=SUM(I3:J3)");
    EXPECT_EQ(ws.GetRange("K5").FormulaR1C1(), "=SUM(R2C:R[-1]C)");
    EXPECT_EQ(ws.GetRange("K5").Formula(), "=SUM(K$2:K4)");
    // Nothing outside the table.
    EXPECT_TRUE(At("L1").IsEmpty());
    EXPECT_TRUE(At("H6").IsEmpty());
    EXPECT_TRUE(At("G1").IsEmpty());
}

TEST_F(SettingsSheetTest, OnlyTheFieldAndGroupBlockIsUnlockedAndTheSheetIsProtected) {
    settings::BuildSettingsSheet(&ws, {2, 3, 0});

    EXPECT_TRUE(ws.ProtectContents());
    EXPECT_TRUE(ws.CheckPassword(kPassword));
    EXPECT_FALSE(ws.CheckPassword("other"));
    // I1:J4 unlocked; H, K, row 5 and everything around locked.
    for (int32_t r = 1; r <= 6; ++r)
        for (int32_t c = 7; c <= 12; ++c)
            EXPECT_EQ(Locked(r, c), !(r <= 4 && c >= 9 && c <= 10)) << host::CellAddress(r, c);
    EXPECT_THROW(ws.UserEdit(2, 8, "9"), host::HostError);
    EXPECT_THROW(ws.UserEdit(2, 11, "9"), host::HostError);
    EXPECT_NO_THROW(ws.UserEdit(4, 10, "9"));
}

TEST_F(SettingsSheetTest, ColumnsAToGAreHiddenAndTheTableHasThinBlackBorders) {
    settings::BuildSettingsSheet(&ws, {2, 3, 0});

    EXPECT_TRUE(ws.GetRange("A:G").Hidden());
    EXPECT_FALSE(ws.GetRange("H:H").Hidden());
    for (const char* cell : {"H1", "K1", "H5", "K5", "I3"}) {
        for (auto edge : {host::xlEdgeLeft, host::xlEdgeTop, host::xlEdgeRight, host::xlEdgeBottom}) {
            EXPECT_EQ(ws.GetRange(cell).Borders(edge).LineStyle(), host::xlContinuous) << cell;
            EXPECT_EQ(ws.GetRange(cell).Borders(edge).ColorIndex(), 1) << cell;
        }
    }
    EXPECT_NE(ws.GetRange("L2").Borders(host::xlEdgeRight).LineStyle(), host::xlContinuous);
    EXPECT_NE(ws.GetRange("H6").Borders(host::xlEdgeBottom).LineStyle(), host::xlContinuous);
}

// The survey of saved parameters decides from exactly these two cells
// whether a sheet still fits; the unlocked block must match the table.
TEST_F(SettingsSheetTest, LastTitleColumnLastRoomRowAndUnlockedBlockFollowTheShape) {
    const SettingsSheetShape shapes[] = {{1, 1, 0}, {2, 3, 0}, {4, 10, 3}, {3, 2, 65}, {12, 40, 1}};
    for (const SettingsSheetShape& s : shapes) {
        SCOPED_TRACE(testing::Message() << "G=" << s.deskGroups << " R=" << s.rooms << " F=" << s.extraFields);
        settings::BuildSettingsSheet(&ws, s);
        EXPECT_EQ(LastTitleColumn(), settings::LastTitleColumn(s));
        EXPECT_EQ(LastTitleColumn(), s.deskGroups + s.extraFields + 9);
        EXPECT_EQ(LastRoomRow(), settings::LastRoomRow(s));
        EXPECT_EQ(LastRoomRow(), s.rooms + 1);
        const int32_t lastRow = s.rooms + 1, lastCol = 8 + s.extraFields + s.deskGroups;
        EXPECT_FALSE(Locked(1, 9));
        EXPECT_FALSE(Locked(lastRow, lastCol));
        EXPECT_TRUE(Locked(lastRow + 1, lastCol));
        EXPECT_TRUE(Locked(lastRow, lastCol + 1));
        EXPECT_TRUE(Locked(1, 8));
        EXPECT_EQ(At(host::CellAddress(s.rooms + 2, lastCol + 1).c_str()).Type(), host::VarType::Number);
    }
}

TEST(SettingsTextFormatBatches, AtMostThirtyColumnsPerUnion) {
    struct Case {
        int16_t fields;
        std::vector<size_t> sizes;
    };
    const Case cases[] = {{0, {}}, {1, {1}}, {30, {30}}, {31, {30, 1}}, {65, {30, 30, 5}}};
    for (const Case& c : cases) {
        auto batches = settings::TextFormatBatches(c.fields);
        std::vector<size_t> sizes;
        for (const auto& b : batches) sizes.push_back(b.size());
        EXPECT_EQ(sizes, c.sizes) << "F=" << c.fields;
        // Together the batches cover table columns 2 … F + 1 once, in order.
        int32_t expected = 2;
        for (const auto& b : batches)
            for (int32_t col : b) EXPECT_EQ(col, expected++);
        EXPECT_EQ(expected, c.fields + 2);
    }
}

TEST_F(SettingsSheetTest, SixtyFiveFieldsAreAllTextFormattedOverTheWholeTableHeight) {
    settings::BuildSettingsSheet(&ws, {2, 3, 65});
    // Extra fields are I … BU (table columns 2 … 66); the group columns follow.
    for (int32_t col = 9; col <= 73; ++col)
        for (int32_t row = 1; row <= 5; ++row)
            ASSERT_EQ(ws.Cells(row, col).NumberFormat(), "@") << host::CellAddress(row, col);
    EXPECT_NE(ws.Cells(2, 74).NumberFormat(), "@");
    EXPECT_NE(ws.Cells(2, 8).NumberFormat(), "@");
    EXPECT_NE(ws.Cells(6, 9).NumberFormat(), "@");
    EXPECT_EQ(At("BV1"), Variant("1组人数"));
    // Typed into a field cell, a number stays text.
    ws.UserEdit(2, 9, "0012");
    EXPECT_EQ(At("I2"), Variant("0012"));
}

TEST_F(SettingsSheetTest, RebuildingRemovesOldValuesFormatsHidingAndProtection) {
    settings::BuildSettingsSheet(&ws, {5, 20, 4});
    ws.UserEdit(3, 9, "甲");
    ws.Unprotect(kPassword);
    ws.GetRange("Z50").SetValue(Variant("旧"));
    ws.GetRange("B2").SetValue(Variant(7));
    ws.GetRange("Q:Q").SetHidden(true);
    ws.GetRange("H30").SetNumberFormat("0.00");
    ws.Protect(kPassword);

    settings::BuildSettingsSheet(&ws, {2, 3, 0});

    EXPECT_TRUE(At("Z50").IsEmpty());
    EXPECT_TRUE(At("B2").IsEmpty());
    EXPECT_TRUE(At("I3").IsEmpty());
    EXPECT_TRUE(At("L1").IsEmpty());  // the old, wider table is gone
    EXPECT_FALSE(ws.GetRange("Q:Q").Hidden());
    EXPECT_TRUE(ws.GetRange("A:G").Hidden());
    EXPECT_EQ(ws.GetRange("H30").NumberFormat(), "General");
    EXPECT_EQ(ws.GetRange("I3").NumberFormat(), "General");  // was a text field cell
    EXPECT_EQ(LastTitleColumn(), 11);
    EXPECT_EQ(LastRoomRow(), 4);
    EXPECT_TRUE(ws.CheckPassword(kPassword));
}

TEST_F(SettingsSheetTest, SumFormulasCarryTheirResultsAfterBuildAndAfterEdits) {
    settings::BuildSettingsSheet(&ws, {2, 3, 1});  // groups in J and K, sums in L
    for (const char* cell : {"L2", "L3", "L4", "L5"}) EXPECT_EQ(At(cell), Variant(0.0)) << cell;

    ws.UserEdit(2, 10, "30");
    ws.UserEdit(2, 11, "12.5");
    ws.UserEdit(3, 10, "8");
    ws.UserEdit(3, 11, "人");  // text is left out of a SUM
    ws.UserEdit(2, 9, "5");    // a text-formatted field cell is no group count
    wb.Calculate();

    EXPECT_EQ(At("L2"), Variant(42.5));
    EXPECT_EQ(At("L3"), Variant(8.0));
    EXPECT_EQ(At("L4"), Variant(0.0));
    EXPECT_EQ(At("L5"), Variant(50.5));

    ws.UserEdit(4, 10, "#N/A");
    wb.Calculate();
    EXPECT_EQ(At("L4"), Variant::Error(host::CellError::NA));
    EXPECT_EQ(At("L5"), Variant::Error(host::CellError::NA));
}

TEST_F(SettingsSheetTest, SumCachesSurviveSavingAndReading) {
    testing_support::TempDir dir;
    settings::BuildSettingsSheet(&ws, {2, 3, 0});
    ws.UserEdit(2, 9, "4");
    ws.UserEdit(3, 10, "6");
    wb.Calculate();
    host::xlsx::SaveWorkbook(wb, dir.File("s.xlsx"));

    auto back = host::xlsx::LoadWorkbook(&app, dir.File("s.xlsx"));
    host::Worksheet& read = back->Sheet(1);
    EXPECT_EQ(read.GetRange("K2").Value(), Variant(4.0));
    EXPECT_EQ(read.GetRange("K3").Value(), Variant(6.0));
    EXPECT_EQ(read.GetRange("K5").Value(), Variant(10.0));
    EXPECT_EQ(read.GetRange("K5").Formula(), "=SUM(K$2:K4)");
    EXPECT_TRUE(read.CheckPassword(kPassword));
    EXPECT_FALSE(read.Cells(4, 10).Locked());
    EXPECT_TRUE(read.Cells(5, 10).Locked());
}

TEST_F(SettingsSheetTest, EveryFormulaIsRecomputedAndASelfReferenceIsAnError) {
    ws.GetRange("A1").SetValue(Variant(2));
    ws.GetRange("A2").SetValue(Variant(3));
    ws.GetRange("B1").SetFormula("=SUM(A1:A2)");
    ws.GetRange("B2").SetFormula("=A1*10");
    ws.GetRange("B3").SetFormula("=SUM(B3:B4)");  // depends on itself
    ws.GetCell(2, 2).value = Variant(99);            // a stale cached result
    wb.Calculate();
    EXPECT_EQ(At("B1"), Variant(5.0));
    EXPECT_EQ(At("B2"), Variant(20.0));
    EXPECT_EQ(At("B3"), Variant::Error(host::CellError::Ref));
}

}  // namespace
