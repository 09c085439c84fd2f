// The template options table on the parameter sheet, the numbering rule of
// exam-table files, and the photo scale.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "support/TestSupport.h"
#include "tables/ExamTableWorkbook.h"
#include "tables/TemplateLibrary.h"
#include "tables/TemplateOptions.h"
#include "workbook/DefaultSystemWorkbook.h"
#include "workbook/SystemWorkbook.h"

using host::Variant;

namespace {

struct SystemBook : testing::Test {
    testing_support::TempDir dir;
    host::Application app;
    host::Workbook* system = nullptr;
    host::Worksheet* params = nullptr;
    void SetUp() override {
        system = &workbook::CreateDefaultSystemWorkbook(app, dir.File("系统.xlsx"));
        params = &workbook::RequireSheetByCodeName(*system, workbook::kParameterSheet);
    }
    int32_t LastRow() { return params->Cells(host::kMaxRows, 1).End(host::xlUp).Row(); }
};

TEST_F(SystemBook, NewSystemWorkbookCarriesTheFiveBuiltInTemplates) {
    EXPECT_EQ(tables::TemplateNames(*system),
              (std::vector<std::string>{"考场座位表", "考场门贴", "桌贴", "考场签到表", "班级考场对照表"}));
    for (const std::string& name : tables::TemplateNames(*system)) {
        host::Worksheet* ws = tables::FindTemplate(*system, name);
        ASSERT_NE(ws, nullptr);
        EXPECT_EQ(ws->Visible(), host::xlSheetVeryHidden) << name;
        EXPECT_FALSE(workbook::IsServiceSheet(*ws)) << name;
        EXPECT_TRUE(ws->PageSetup().hasSetup) << name;
        ASSERT_TRUE(tables::ReadTemplateOptions(*system, name).has_value()) << name;
    }
    const auto seating = *tables::ReadTemplateOptions(*system, "考场座位表");
    EXPECT_EQ(seating.partition, "\t场号");
    EXPECT_EQ(seating.sort, "\t座号");
    EXPECT_EQ(seating.titleRow, 1);
    EXPECT_TRUE(seating.groupsLeftToRight);
    EXPECT_EQ(tables::ReadTemplateOptions(*system, "班级考场对照表")->partition, "班级");
    EXPECT_EQ(tables::ReadTemplateOptions(*system, "桌贴")->photoScale, "90");
}

TEST_F(SystemBook, OptionsRowWrittenReadAndAppendedWhenMissing) {
    const int32_t before = LastRow();
    tables::TemplateOptions o;
    o.partition = "班级";
    o.sort = "\t考号";
    o.groupsLeftToRight = false;
    o.desksBottomUp = true;
    o.titleRow = 1;
    o.photoScale = "  80 ";
    tables::WriteTemplateOptions(*system, "新表", o);
    EXPECT_EQ(LastRow(), before + 1);
    EXPECT_EQ(params->ValueAt(before + 1, 4), Variant::Boolean(false));
    EXPECT_EQ(params->ValueAt(before + 1, 5), Variant::Boolean(true));
    EXPECT_EQ(params->ValueAt(before + 1, 7), Variant("80"));
    auto back = tables::ReadTemplateOptions(*system, "新表");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->partition, "班级");
    EXPECT_FALSE(back->groupsLeftToRight);
    EXPECT_TRUE(back->desksBottomUp);
    EXPECT_EQ(back->photoScale, "80");

    // Written again: the same row.
    o.photoScale = "0";
    tables::WriteTemplateOptions(*system, "新表", o);
    EXPECT_EQ(LastRow(), before + 1);
    EXPECT_EQ(tables::ReadTemplateOptions(*system, "新表")->photoScale, "99");  // below 1 shows 99
}

TEST_F(SystemBook, DeletingAMiddleRowKeepsTheOthersOnTheirRows) {
    auto before = tables::ReadTemplateOptions(*system, "考场签到表");
    auto last = tables::ReadTemplateOptions(*system, "班级考场对照表");
    ASSERT_TRUE(tables::DeleteTemplateRow(*system, "桌贴"));
    EXPECT_FALSE(tables::ReadTemplateOptions(*system, "桌贴"));
    EXPECT_EQ(tables::ReadTemplateOptions(*system, "考场签到表")->sort, before->sort);
    EXPECT_EQ(tables::ReadTemplateOptions(*system, "班级考场对照表")->partition, last->partition);
    EXPECT_FALSE(tables::DeleteTemplateRow(*system, "桌贴"));

    // Renaming a template without a row appends one, columns A–C as text.
    const int32_t rows = LastRow();
    tables::RenameTemplateRow(*system, "没有行", "改名后");
    EXPECT_EQ(LastRow(), rows + 1);
    EXPECT_EQ(params->ValueAt(rows + 1, 1), Variant("改名后"));
    EXPECT_EQ(params->Cells(rows + 1, 3).NumberFormat(), "@");
    tables::RenameTemplateRow(*system, "改名后", "再改名");
    EXPECT_EQ(params->ValueAt(rows + 1, 1), Variant("再改名"));
}

TEST(PhotoScale, ReadingAndRefusal) {
    EXPECT_FLOAT_EQ(tables::PhotoScalePercent(" 50 "), 50);
    EXPECT_FLOAT_EQ(tables::PhotoScalePercent(""), 99);
    EXPECT_FLOAT_EQ(tables::PhotoScalePercent("0.5"), 99);
    EXPECT_FLOAT_EQ(tables::PhotoScalePercent("150"), 150);  // warned about, used unchanged
    EXPECT_FALSE(tables::IsRefusedPhotoScale(""));
    EXPECT_FALSE(tables::IsRefusedPhotoScale(" 100 "));
    EXPECT_FALSE(tables::IsRefusedPhotoScale("1"));
    EXPECT_TRUE(tables::IsRefusedPhotoScale("0"));
    EXPECT_TRUE(tables::IsRefusedPhotoScale("101"));
    EXPECT_TRUE(tables::IsRefusedPhotoScale("5a"));
}

TEST(ExamTableFiles, NumberingNeverOverwritesAnEarlierWorkbook) {
    testing_support::TempDir dir;
    const std::string folder = dir.Path().string();
    EXPECT_EQ(tables::NumberedFileName(folder, "桌贴"), folder + "/桌贴.xlsx");
    testing_support::WriteFile(folder + "/桌贴.xlsx", "x");
    EXPECT_EQ(tables::NumberedFileName(folder, "桌贴"), folder + "/桌贴(1).xlsx");
    testing_support::WriteFile(folder + "/桌贴(1).xlsx", "x");
    // Files that merely begin with the name count too.
    testing_support::WriteFile(folder + "/桌贴备份.xlsx", "x");
    testing_support::WriteFile(folder + "/桌贴.txt", "x");
    EXPECT_EQ(tables::NumberedFileName(folder, "桌贴"), folder + "/桌贴(3).xlsx");
    // name(1) and name(2) kept, the first deleted: the count says (2), which
    // exists; the next free number is taken instead of overwriting it.
    std::filesystem::remove(folder + "/桌贴备份.xlsx");
    std::filesystem::remove(folder + "/桌贴.xlsx");
    testing_support::WriteFile(folder + "/桌贴(2).xlsx", "x");
    EXPECT_EQ(tables::NumberedFileName(folder, "桌贴"), folder + "/桌贴(3).xlsx");
}

TEST(ExamTableFiles, PrintSheetAndBlockTables) {
    host::Application app;
    tables::ExamTableWorkbook out(app);
    EXPECT_EQ(out.PrintSheet().Name(), "\t打印");
    host::Worksheet& templ = out.Book().Sheet(1);
    templ.PageSetup().Orientation = 2;
    templ.PageSetup().PrintTitleRows = "$1:$2";
    host::Worksheet& a = out.AddOutputSheet(templ);
    EXPECT_EQ(a.PageSetup().Orientation, 2);
    EXPECT_TRUE(a.PageSetup().PrintTitleRows.empty());
    a.Cells(1, 2).SetValue(Variant("B"));
    tables::ExamTableWorkbook::DeleteSpareColumn(a);
    EXPECT_EQ(a.ValueAt(1, 1), Variant("B"));
    tables::BlockTable t(3);
    t.SetStart(0, 1);
    t.SetStart(1, 12);
    t.SetWidth(0, 8);
    t.SetWidth(1, 3);
    EXPECT_THROW(t.SetStart(3, 1), host::HostError);
    out.RecordSheet(a, "高一", t);
    host::Worksheet& info = out.PrintSheet();
    EXPECT_EQ(info.ValueAt(1, 2), Variant("高一"));
    EXPECT_EQ(info.ValueAt(2, 1), Variant(1));
    EXPECT_EQ(info.ValueAt(3, 1), Variant(12));
    EXPECT_EQ(info.ValueAt(2, 2), Variant(8));
    EXPECT_EQ(info.ValueAt(4, 1), Variant(0));
    out.WriteRepeatRows(3);
    EXPECT_EQ(info.ValueAt(1, 1), Variant(3));
    EXPECT_EQ(info.Visible(), host::xlSheetVeryHidden);

    // Only the print sheet: it stays visible and empty.
    tables::ExamTableWorkbook empty(app);
    empty.WriteRepeatRows(2);
    EXPECT_EQ(empty.PrintSheet().Visible(), host::xlSheetVisible);
    EXPECT_TRUE(empty.PrintSheet().ValueAt(1, 1).IsEmpty());
}

}  // namespace
