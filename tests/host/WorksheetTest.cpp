#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Protection.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using namespace host;

namespace {
class WorksheetTest : public ::testing::Test {
protected:
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);
};
}  // namespace

TEST_F(WorksheetTest, UsedRangeCoversValuesFormulasAndCellFormats) {
    EXPECT_EQ(ws.UsedRange().Address(), "$A$1");  // blank sheet
    ws.GetRange("D4").SetValue("x");
    EXPECT_EQ(ws.UsedRange().Address(), "$D$4");  // not necessarily at A1
    ws.GetRange("C6").SetFormula("=D4");
    EXPECT_EQ(ws.UsedRange().Address(), "$C$4:$D$6");
    ws.GetRange("F2").Interior().SetColorIndex(6);  // a format without a value counts
    EXPECT_EQ(ws.UsedRange().Address(), "$C$2:$F$6");
    ws.GetRange("F2").ClearFormats();
    ws.GetRange("C6").ClearContents();
    EXPECT_EQ(ws.UsedRange().Address(), "$D$4");
}

TEST_F(WorksheetTest, RowAndColumnFormatsExtendOnlyTheirBounds) {
    ws.GetRange("C3:D4").SetValue(1);
    ws.GetRange("9:9").Font().SetBold(true);  // rows grow to 9, columns stay C:D
    EXPECT_EQ(ws.UsedRange().Address(), "$C$3:$D$9");
    ws.GetRange("G:G").SetNumberFormat("@");  // columns grow to G, rows stay 3:9
    EXPECT_EQ(ws.UsedRange().Address(), "$C$3:$G$9");
    EXPECT_EQ(ws.UsedRange().Row(), 3);
    EXPECT_EQ(ws.UsedRange().Column(), 3);
}

TEST_F(WorksheetTest, NameRules) {
    const std::string thirtyOne = "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一";
    struct { std::string name; bool ok; } cases[] = {
        {"花名册", true}, {thirtyOne, true}, {thirtyOne + "二", false}, {"", false},
        {"a:b", false}, {"a\\b", false}, {"a/b", false}, {"a?b", false}, {"a*b", false},
        {"[a", false}, {"a]", false}, {"高一\t设置", true}, {"'quoted'", false},
    };
    for (const auto& c : cases) {
        Worksheet& fresh = wb.Worksheets().Add();
        if (c.ok) {
            EXPECT_NO_THROW(fresh.SetName(c.name)) << c.name;
            EXPECT_EQ(fresh.Name(), c.name);
        } else {
            std::string before = fresh.Name();
            EXPECT_THROW(fresh.SetName(c.name), HostError) << c.name;
            EXPECT_EQ(fresh.Name(), before);
        }
    }
}

TEST_F(WorksheetTest, NamesAreUniqueWithoutRegardToCase) {
    Worksheet& second = wb.Worksheets().Add();
    second.SetName("Data");
    EXPECT_THROW(ws.SetName("DATA"), HostError);
    EXPECT_THROW(ws.SetName("data"), HostError);
    EXPECT_NO_THROW(second.SetName("DATA"));  // its own name in another case
    EXPECT_EQ(wb.Worksheets().Find("data"), &second);
}

TEST_F(WorksheetTest, CodeNameStaysAcrossRenames) {
    ws.SetName("前台");
    EXPECT_EQ(ws.CodeName(), "Sheet1");
    Worksheet& added = wb.Worksheets().Add();
    EXPECT_EQ(added.Name(), "Sheet2");
    EXPECT_EQ(added.CodeName(), "Sheet2");
    added.SetCodeName("Sheet3");
    EXPECT_EQ(wb.Worksheets().Add().CodeName(), "Sheet2");  // the next free code name
    EXPECT_EQ(wb.Worksheets().Add().CodeName(), "Sheet4");
}

TEST_F(WorksheetTest, VisibilityKeepsOneSheetVisible) {
    EXPECT_THROW(ws.SetVisible(xlSheetHidden), HostError);  // the only sheet
    Worksheet& other = wb.Worksheets().Add();
    ws.SetVisible(xlSheetVeryHidden);
    EXPECT_EQ(ws.Visible(), xlSheetVeryHidden);
    EXPECT_THROW(other.SetVisible(xlSheetHidden), HostError);
    EXPECT_EQ(other.Visible(), xlSheetVisible);
    EXPECT_THROW(ws.Activate(), HostError);
    ws.SetVisible(1);  // True
    EXPECT_EQ(ws.Visible(), xlSheetVisible);
    EXPECT_THROW(ws.SetVisible(5), HostError);
    other.SetVisible(xlSheetHidden);
    EXPECT_EQ(other.Visible(), xlSheetHidden);
}

TEST_F(WorksheetTest, ProtectAndUnprotectWithPasswords) {
    ws.Protect("quietlantern7204");
    EXPECT_TRUE(ws.ProtectContents());
    EXPECT_EQ(ws.Protection().legacyHash, protection::LegacyHash("quietlantern7204"));
    EXPECT_EQ(ws.Protection().algorithmName, "SHA-512");
    EXPECT_THROW(ws.Unprotect("wrong"), HostError);
    EXPECT_THROW(ws.Unprotect(""), HostError);
    EXPECT_TRUE(ws.ProtectContents());
    ws.Unprotect("quietlantern7204");
    EXPECT_FALSE(ws.ProtectContents());
    EXPECT_TRUE(ws.Protection().hashValue.empty());
    EXPECT_NO_THROW(ws.Unprotect("anything"));  // not protected: nothing to check

    ws.Protect("");  // without a password any password unprotects
    EXPECT_TRUE(ws.ProtectContents());
    EXPECT_TRUE(ws.Protection().legacyHash.empty());
    ws.Unprotect("whatever");
    EXPECT_FALSE(ws.ProtectContents());
}

TEST_F(WorksheetTest, LegacyHashesAndProtectionReadFromFiles) {
    EXPECT_EQ(protection::LegacyHash("password"), "83AF");
    EXPECT_EQ(protection::LegacyHash("abc"), "CC1A");
    SheetProtection p;
    p.enabled = true;
    p.legacyHash = "83af";
    ws.SetProtection(p);
    EXPECT_THROW(ws.Unprotect("Password"), HostError);
    ws.Unprotect("password");
    EXPECT_FALSE(ws.ProtectContents());
}

TEST_F(WorksheetTest, UserEditRespectsProtection) {
    ws.GetRange("B2").SetLocked(false);
    ws.GetRange("A1").SetValue("old");
    ws.Protect("pw");
    try {
        ws.UserEdit(1, 1, "new");
        FAIL() << "a locked cell of a protected sheet was changed";
    } catch (const HostError& e) {
        EXPECT_STREQ(e.what(), "单元格或图表受保护，不能修改。");
    }
    EXPECT_EQ(ws.ValueAt(1, 1), Variant("old"));
    ws.UserEdit(2, 2, "12.5");
    EXPECT_EQ(ws.ValueAt(2, 2), Variant(12.5));
    ws.Unprotect("pw");
    ws.UserEdit(1, 1, "new");
    EXPECT_EQ(ws.ValueAt(1, 1), Variant("new"));
}

TEST_F(WorksheetTest, UserEditTypesAsAUserWould) {
    ws.GetRange("C1").SetNumberFormat("@");
    ws.GetRange("D1").Font().SetBold(true);
    struct { int col; const char* typed; Variant value; } cases[] = {
        {1, "42", Variant(42)}, {1, "张三", Variant("张三")}, {1, "1e3", Variant(1000)},
        {3, "007", Variant("007")},  // text format keeps the digits
        {3, "=A1", Variant("=A1")},
        {4, "x", Variant("x")},
    };
    for (const auto& c : cases) {
        ws.UserEdit(1, c.col, c.typed);
        EXPECT_EQ(ws.ValueAt(1, c.col), c.value) << c.typed;
    }
    ws.UserEdit(2, 1, "=A1*2");
    EXPECT_EQ(ws.GetRange("A2").Formula(), "=A1*2");
    ws.UserEdit(1, 4, "");
    EXPECT_TRUE(ws.ValueAt(1, 4).IsEmpty());
    EXPECT_TRUE(ws.GetRange("D1").Font().Bold());
    EXPECT_THROW(ws.UserEdit(0, 1, "x"), HostError);
    EXPECT_THROW(ws.UserEdit(1, 1, "="), HostError);
}

TEST_F(WorksheetTest, ClearingTheLastRowForgetsTheEmptyRowsAboveIt) {
    ws.GetRange("A3").SetValue(Variant("kept"));
    ws.GetRange("B4").SetRowHeight(30);
    ws.GetRange("A1048576").SetValue(Variant(1));
    ws.GetRange("A1048576").ClearContents();
    EXPECT_EQ(ws.RowsData().size(), 4u);  // row 4 keeps its height
    ws.GetRange("C1000").SetValue(Variant(2));
    ws.SetValueAt(1000, 3, Variant());
    EXPECT_EQ(ws.RowsData().size(), 4u);
    EXPECT_EQ(ws.ValueAt(3, 1), Variant("kept"));
    EXPECT_DOUBLE_EQ(ws.GetRange("B4").RowHeight(), 30);
}
