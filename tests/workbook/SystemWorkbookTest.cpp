#include <gtest/gtest.h>

#include "CoreFixtures.h"
#include "host/HostError.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

using namespace workbook;

namespace {

TEST(SheetByCodeName, FindsByCodeNameNotTabName) {
    host::Application app;
    host::Workbook& wb = coretest::AddSystemWorkbook(app);
    wb.Sheet(2).SetName("Sheet1");  // a tab that pretends to be the front sheet
    EXPECT_EQ(SheetByCodeName(wb, 1), &wb.Sheet(1));
    EXPECT_EQ(SheetByCodeName(wb, 2), &wb.Sheet(2));
    EXPECT_EQ(SheetByCodeName(wb, 5)->Name(), "座位表");
    EXPECT_EQ(SheetByCodeName(wb, 9), nullptr);
    EXPECT_EQ(SheetByCodeName(wb, -1), nullptr);
    EXPECT_THROW(RequireSheetByCodeName(wb, 9), host::HostError);
}

TEST(SheetByCodeName, FirstMatchInWorkbookOrder) {
    host::Application app;
    host::Workbook& wb = coretest::AddSystemWorkbook(app);
    wb.Sheet(4).SetCodeName("Sheet2");  // a duplicate after the real one
    EXPECT_EQ(SheetByCodeName(wb, 2), &wb.Sheet(2));
    wb.InsertSheet(0, "前面", "Sheet2");
    EXPECT_EQ(SheetByCodeName(wb, 2)->Name(), "前面");
}

TEST(HideServiceSheets, EverySheetButTheFrontBecomesVeryHidden) {
    host::Application app;
    host::Workbook& wb = coretest::AddSystemWorkbook(app);
    wb.Sheet(3).SetVisible(host::xlSheetHidden);
    HideServiceSheets(wb);
    EXPECT_EQ(wb.Sheet(1).Visible(), host::xlSheetVisible);
    for (int i = 2; i <= wb.SheetCount(); ++i) EXPECT_EQ(wb.Sheet(i).Visible(), host::xlSheetVeryHidden) << i;
}

TEST(SettingsSheetNames, TabAndSuffixTellThemApart) {
    struct Case {
        std::string name;
        bool settings;
        std::string roster;
    };
    const Case cases[] = {
        {"高一\t设置", true, "高一"},
        {"\t设置", true, ""},
        {"高一设置", false, ""},
        {"高一 设置", false, ""},
        {"高一\t设置 ", false, ""},
        {"设置\t高一", false, ""},
        {"高一", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSettingsSheetName(c.name), c.settings) << c.name;
        EXPECT_EQ(RosterSheetNameOf(c.name), c.roster) << c.name;
    }
    EXPECT_EQ(SettingsSheetNameFor("高二"), "高二\t设置");
    EXPECT_TRUE(IsSettingsSheetName(SettingsSheetNameFor("x")));
}

class ParameterCellsTest : public ::testing::Test {
protected:
    host::Application app;
    host::Workbook& wb = coretest::AddSystemWorkbook(app);
    host::Worksheet& params = wb.Sheet(2);
    ParameterCells cells{wb};
};

TEST_F(ParameterCellsTest, IntegersReadThroughTextRoundHalfToEven) {
    struct Case {
        host::Variant stored;
        int16_t expected;
    };
    const Case cases[] = {
        {host::Variant(), 0},       {host::Variant("abc"), 0}, {host::Variant("12abc"), 12},
        {host::Variant(" 7 "), 7},  {host::Variant(2.5), 2},   {host::Variant(3.5), 4},
        {host::Variant("-0.5"), 0}, {host::Variant(-1.5), -2}, {host::Variant(32767.4), 32767},
        {host::Variant::Boolean(true), 0},  // "TRUE" has no numeric prefix
    };
    for (const Case& c : cases) {
        params.SetValueAt(2, 11, c.stored);
        EXPECT_EQ(cells.DeskGroups(), c.expected) << host::ToText(c.stored);
    }
}

TEST_F(ParameterCellsTest, IntegerOutOfRangeIsAHostError) {
    params.SetValueAt(4, 11, host::Variant(40000));
    EXPECT_THROW(cells.RoomCount(), host::HostError);
}

TEST_F(ParameterCellsTest, EachAccessorUsesItsOwnCell) {
    cells.SetRosterFolder("/data/学校");
    cells.SetRosterFileName("花名册.xlsx");
    cells.SetDeskGroups(4);
    cells.SetGradesPerGroup(2);
    cells.SetRoomCount(30);
    cells.SetExtraFieldCount(1);
    cells.SetFirstExamNumber(20260001.5);
    cells.SetSortKeyField("姓名");
    cells.SetColumnTitle(std::string(kNoneEntry));
    cells.SetOrdering(3);
    cells.SetNumberingMethod(0);
    cells.SetDeskOrder(1);
    const std::pair<const char*, host::Variant> expected[] = {
        {"K1", host::Variant("/data/学校")}, {"L1", host::Variant("花名册.xlsx")},
        {"K2", host::Variant(4)},           {"K3", host::Variant(2)},
        {"K4", host::Variant(30)},          {"K5", host::Variant(1)},
        {"K7", host::Variant(20260001.5)},  {"K8", host::Variant("姓名")},
        {"K9", host::Variant("\t无")},      {"K10", host::Variant(3)},
        {"K11", host::Variant(0)},          {"K12", host::Variant(1)},
    };
    for (const auto& [cell, value] : expected) {
        auto ref = host::ParseCellRef(cell);
        EXPECT_EQ(params.ValueAt(ref->row, ref->col), value) << cell;
    }
    EXPECT_EQ(cells.FirstExamNumber(), 20260001.5);
    EXPECT_EQ(cells.ColumnTitle(), "\t无");
    EXPECT_EQ(cells.NumberingMethod(), 0);
}

TEST_F(ParameterCellsTest, WindowCodeWrittenAsEmptyTextOrInteger) {
    cells.SetWindowCode(WindowCode::Print);
    EXPECT_EQ(params.ValueAt(6, 11), host::Variant(4));
    cells.SetWindowCode(WindowCode::Settings);
    EXPECT_EQ(host::ToText(params.ValueAt(6, 11)), "");
    EXPECT_EQ(cells.WindowCodeNumber(), 0);
}

TEST(WindowForCode, OnlyTwoThreeFourNameTheirWindows) {
    const std::pair<double, WindowCode> cases[] = {
        {0, WindowCode::Settings},   {1, WindowCode::Settings},    {2, WindowCode::ExamTables},
        {3, WindowCode::Arrangement}, {4, WindowCode::Print},       {5, WindowCode::Settings},
        {2.4, WindowCode::Settings}, {-2, WindowCode::Settings},
    };
    for (const auto& [code, window] : cases) EXPECT_EQ(WindowForCode(code), window) << code;
}

}  // namespace
