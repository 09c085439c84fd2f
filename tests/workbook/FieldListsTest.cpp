#include <gtest/gtest.h>

#include "CoreFixtures.h"
#include "ui/Controls.h"
#include "workbook/FieldLists.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

using coretest::FillRows;
using host::Variant;

namespace {

class FieldListsTest : public ::testing::Test {
protected:
    host::Application app;
    host::Workbook& roster = app.Workbooks().Add();
    host::Workbook& other = app.Workbooks().Add();  // active, so activation shows
    ui::ComboBox combo1{nullptr, "Combo1"};
    ui::ComboBox combo2{nullptr, "Combo2"};

    FieldListsTest() {
        combo1.AddItem(std::string(workbook::kNoneEntry));
        combo2.AddItem(std::string(workbook::kNoneEntry));
        combo1.SetListIndex(0);
    }
    host::Worksheet& Sheet(int i, const std::string& name) {
        if (i > roster.SheetCount()) roster.InsertSheet(-1, name, roster.NextCodeName());
        roster.Sheet(i).SetName(name);
        return roster.Sheet(i);
    }
    void Fill() {
        for (const std::string& title : workbook::OfferedFieldTitles(roster)) {
            combo1.AddItem(title);
            combo2.AddItem(title);
        }
    }
    std::vector<std::string> Added(const ui::ComboBox& c) const {
        return std::vector<std::string>(c.Items().begin() + 1, c.Items().end());
    }
};

TEST_F(FieldListsTest, ReferenceIsTheNarrowestSheetAndOrderIsItsColumns) {
    FillRows(Sheet(1, "高一"), {{"班级", "姓名", "性别"}, {"1班", "张三", "男"}});
    FillRows(Sheet(2, "高二"), {{"姓名", "班级", "考号", "性别"}, {"李四", "2班", "", "女"}});
    Fill();
    const std::vector<std::string> expected = {"班级", "姓名", "性别"};
    EXPECT_EQ(Added(combo1), expected);
    EXPECT_EQ(Added(combo2), expected);
    EXPECT_EQ(combo1.ListIndex(), 0);  // the selection is left alone
    EXPECT_EQ(combo2.ListIndex(), -1);
    EXPECT_EQ(app.ActiveWorkbook(), &roster);
}

TEST_F(FieldListsTest, SheetsWithoutClassValuesTakeNoPart) {
    FillRows(Sheet(1, "空班级"), {{"班级", "甲"}, {"", "1"}});        // class column empty below row 1
    FillRows(Sheet(2, "无班级"), {{"姓名", "乙"}, {"x", "1"}});        // no class title at all
    FillRows(Sheet(3, "高三"), {{"班级", "姓名", "丙"}, {"1班", "x", "1"}});
    Fill();
    EXPECT_EQ(Added(combo1), (std::vector<std::string>{"班级", "姓名", "丙"}));
}

TEST_F(FieldListsTest, ClassColumnMustHoldAValueWithinTheUsedRows) {
    host::Worksheet& ws = Sheet(1, "高一");
    FillRows(ws, {{"班级", "姓名"}, {"", "x"}, {"", "y"}});
    Fill();
    EXPECT_TRUE(Added(combo1).empty());
    ws.SetValueAt(3, 1, Variant(0));  // a zero is a value
    Fill();
    EXPECT_EQ(Added(combo1), (std::vector<std::string>{"班级", "姓名"}));
}

TEST_F(FieldListsTest, TitlesCompareExactlyAsText) {
    FillRows(Sheet(1, "A"), {{"班级", "Name", Variant(2024), "考号"}, {"1", "", "", ""}});
    FillRows(Sheet(2, "B"), {{"班级", "name", "2024", "考号 ", "其他"}, {"1", "", "", "", ""}});
    Fill();
    // Case and trailing spaces matter; a number title matches its text form.
    EXPECT_EQ(Added(combo1), (std::vector<std::string>{"班级", "2024"}));
}

TEST_F(FieldListsTest, EmptyTitlesOfTheReferenceAreSkipped) {
    FillRows(Sheet(1, "A"), {{"班级", "", "姓名"}, {"1", "", "x"}});
    FillRows(Sheet(2, "B"), {{"姓名", "", "班级", "x"}, {"a", "", "1", ""}});
    Fill();
    EXPECT_EQ(Added(combo1), (std::vector<std::string>{"班级", "姓名"}));
}

TEST_F(FieldListsTest, NoQualifyingSheetLeavesListsUnchanged) {
    FillRows(Sheet(1, "A"), {{"姓名"}, {"x"}});
    FillRows(Sheet(2, "B"), {{"班级"}});
    Fill();
    EXPECT_EQ(combo1.ListCount(), 1);
    EXPECT_EQ(combo2.ListCount(), 1);
}

TEST_F(FieldListsTest, OnlySettingsSheetsAddNothingAndDoNotActivate) {
    FillRows(Sheet(1, workbook::SettingsSheetNameFor("高一")), {{"班级"}, {"1班"}});
    Fill();
    EXPECT_EQ(combo1.ListCount(), 1);
    EXPECT_EQ(app.ActiveWorkbook(), &other);
}

TEST_F(FieldListsTest, SheetOf2000ColumnsNeverBecomesTheReference) {
    host::Worksheet& wide = Sheet(1, "宽表");
    FillRows(wide, {{"班级"}, {"1班"}});
    wide.SetValueAt(1, 2000, Variant("末列"));
    Fill();
    EXPECT_EQ(combo1.ListCount(), 1);

    // With a narrower sheet beside it, the wide one still has to hold each title.
    host::Worksheet& narrow = Sheet(2, "窄表");
    FillRows(narrow, {{"末列", "班级", "姓名"}, {"", "2班", ""}});
    Fill();
    EXPECT_EQ(Added(combo1), (std::vector<std::string>{"末列", "班级"}));
}

TEST_F(FieldListsTest, SheetOf1999ColumnsCanBeTheReference) {
    host::Worksheet& wide = Sheet(1, "宽表");
    FillRows(wide, {{"班级"}, {"1班"}});
    wide.SetValueAt(1, 1999, Variant("末列"));
    Fill();
    EXPECT_EQ(combo1.ListCount(), 1 + 2);
}

TEST_F(FieldListsTest, UsedRangeStartingRightOfColumnACountsFromColumnA) {
    host::Worksheet& ws = Sheet(1, "高一");
    ws.SetValueAt(1, 3, Variant("班级"));
    ws.SetValueAt(2, 3, Variant("1班"));
    ws.SetValueAt(1, 4, Variant("姓名"));
    Fill();
    EXPECT_EQ(Added(combo1), (std::vector<std::string>{"班级", "姓名"}));
}

}  // namespace
