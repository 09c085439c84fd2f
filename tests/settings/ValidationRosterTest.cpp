// ValidateRoster on roster workbooks built in memory: the report block, the
// desk-sharing table, the totals row and the class statistics it writes.
#include <gtest/gtest.h>

#include "RosterCheckFixtures.h"
#include "host/HostError.h"
#include "settings/RosterValidation.h"

using coretest::RosterFixture;
using host::Variant;

namespace {

const std::string kPassword(workbook::kSheetPassword);

// Two grades that fit their settings (G = 2, R = 2, F = 0, K3 = 1):
//   高一: 甲 1班, 乙 2班, 丙 1班   room 1 groups 2 + 1
//   高二: 丁 3班, 戊 3班           room 2 groups 1 + 1
// Values down one column from row 1.
void SetColumn(host::Worksheet& ws, int32_t col, std::initializer_list<Variant> values) {
    int32_t r = 1;
    for (const Variant& v : values) ws.SetValueAt(r++, col, v);
}

struct TwoGrades : RosterFixture {
    TwoGrades() {
        AddRoster("高一", {{"姓名", "班级"}, {"甲", "1班"}, {"乙", "2班"}, {"丙", "1班"}});
        AddRoster("高二", {{"姓名", "班级"}, {"丁", "3班"}, {"戊", "3班"}});
        AddSettings("高一", 2, 2, 0, {{2, 1}, {0, 0}});
        AddSettings("高二", 2, 2, 0, {{0, 0}, {1, 1}});
    }
    host::Worksheet& Settings(const std::string& rosterName) {
        return *roster.SheetByName(workbook::SettingsSheetNameFor(rosterName));
    }
    bool Validate(bool classChecks = true, bool roomChecks = false) {
        return settings::ValidateRoster(system, roster, classChecks, roomChecks);
    }
};

TEST(ValidateRoster, FittingRosterWritesTheFullReportAndNoError) {
    TwoGrades f;
    EXPECT_FALSE(f.Validate());

    EXPECT_EQ(f.Report("A1"), Variant("花名册路径" + f.roster.FullName()));
    const std::pair<const char*, Variant> cells[] = {
        {"B2", Variant("高一\t设置")}, {"C2", Variant("高二\t设置")}, {"D2", Variant("结论")},
        {"E2", Variant("修改意见")},   {"B3", Variant(1)},             {"C3", Variant(1)},
        {"B4", Variant(3)},            {"C4", Variant(2)},             {"B6", Variant("高一")},
        {"D6", Variant("结论")},       {"B8", Variant(3)},             {"C8", Variant(2)},
        {"B9", Variant(4)},            {"C9", Variant(3)},             {"B10", Variant(2)},
    };
    for (const auto& [a1, v] : cells) EXPECT_EQ(f.Report(a1), v) << a1;
    for (const char* a1 : {"B5", "B11", "D4", "D5", "D11", "E11", "A12"}) EXPECT_TRUE(f.Report(a1).IsEmpty()) << a1;

    // Without room checks column A ends in row 11, so the table starts in row 13.
    const std::pair<const char*, Variant> desk[] = {
        {"A13", Variant("同桌年级数检查")}, {"A14", Variant("场号")}, {"B14", Variant("1组")},
        {"C14", Variant("2组")},           {"D14", Variant("结论")}, {"E14", Variant("修复意见")},
        {"A15", Variant(1)},               {"B15", Variant(1)},      {"C15", Variant(1)},
        {"A16", Variant(2)},               {"B16", Variant(1)},      {"C16", Variant(1)},
    };
    for (const auto& [a1, v] : desk) EXPECT_EQ(f.Report(a1), v) << a1;
    EXPECT_TRUE(f.Report("D15").IsEmpty());

    // Totals row: capacity 5, rooms 2, largest room 3, all as text.
    host::Range totals = f.Revision().GetRange("A1048576:C1048576");
    EXPECT_EQ(totals.NumberFormat(), "@");
    EXPECT_EQ(f.Report("A1048576"), Variant("5"));
    EXPECT_EQ(f.Report("B1048576"), Variant("2"));
    EXPECT_EQ(f.Report("C1048576"), Variant("3"));
}

TEST(ValidateRoster, BlockAndDeskTableCarryThinBlackBorders) {
    TwoGrades f;
    f.Validate();
    // Block A1:E17 (R + 15 rows, n + 3 columns), table A13:E16.
    for (const char* a1 : {"A1", "E17", "C9"}) {
        host::Range cell = f.Revision().GetRange(a1);
        for (auto edge : {host::xlEdgeLeft, host::xlEdgeTop, host::xlEdgeRight, host::xlEdgeBottom}) {
            EXPECT_EQ(cell.Borders(edge).LineStyle(), host::xlContinuous) << a1 << " " << edge;
            EXPECT_EQ(cell.Borders(edge).Weight(), host::xlThin) << a1;
            EXPECT_EQ(cell.Borders(edge).ColorIndex(), 1) << a1;
        }
    }
    EXPECT_NE(f.Revision().GetRange("F1").Borders(host::xlEdgeRight).LineStyle(), host::xlContinuous);
    EXPECT_NE(f.Revision().GetRange("A18").Borders(host::xlEdgeBottom).LineStyle(), host::xlContinuous);
}

TEST(ValidateRoster, ClassStatisticsGoIntoTheSettingsSheetWhichStaysProtected) {
    TwoGrades f;
    host::Worksheet& s = f.Settings("高一");
    s.Unprotect(kPassword);
    s.SetValueAt(9, 7, Variant("旧统计"));  // G9: columns A–G are rebuilt
    s.Protect(kPassword);
    f.roster.SheetByName("高一")->GetRange("B2:B4").SetNumberFormat("@");
    f.Validate();

    const std::pair<const char*, Variant> cells[] = {
        {"A1", Variant("班级")}, {"B1", Variant("班人")}, {"A2", Variant("1班")}, {"B2", Variant(2)},
        {"A3", Variant("2班")},  {"B3", Variant(1)},      {"D1", Variant("级人")}, {"D2", Variant(3)},
        {"D3", Variant(3)},      {"E1", Variant("班数")}, {"E2", Variant(2)},      {"E3", Variant(3)},
        {"F1", Variant("场数")}, {"F2", Variant(1)},
    };
    for (const auto& [a1, v] : cells) EXPECT_EQ(s.GetRange(a1).Value(), v) << a1;
    EXPECT_TRUE(s.GetRange("A4").Value().IsEmpty());
    EXPECT_TRUE(s.GetRange("G9").Value().IsEmpty());
    EXPECT_EQ(s.GetRange("A2").NumberFormat(), "@") << "class cells take the roster's format";
    EXPECT_TRUE(s.ProtectContents());
    EXPECT_TRUE(s.CheckPassword(kPassword));
    EXPECT_TRUE(f.Settings("高二").ProtectContents());
}

TEST(ValidateRoster, RosterSheetsAreLeftUnchanged) {
    TwoGrades f;
    host::Worksheet& r = *f.roster.SheetByName("高一");
    host::Array2D before = r.UsedRange().Values();
    f.Validate(true, true);
    host::Array2D after = r.UsedRange().Values();
    ASSERT_EQ(after.Rows(), before.Rows());
    ASSERT_EQ(after.Columns(), before.Columns());
    for (int32_t i = 1; i <= before.Rows(); ++i)
        for (int32_t j = 1; j <= before.Columns(); ++j) EXPECT_EQ(after(i, j), before(i, j));
}

TEST(ValidateRoster, WorkbookWithOnlySettingsSheetsLeavesOnlyTheMessage) {
    RosterFixture f;
    f.Revision().SetValueAt(5, 3, Variant("旧报告"));
    f.AddSettings("高一", 2, 2, 0, {});
    f.roster.Sheet(1).SetName(workbook::SettingsSheetNameFor("高一"));
    EXPECT_TRUE(settings::ValidateRoster(f.system, f.roster, true, true));
    EXPECT_EQ(f.Report("A1"), Variant("《花名册.xlsx》没有花名册数据工作表！"));
    EXPECT_TRUE(f.Report("C5").IsEmpty());
    EXPECT_EQ(f.Revision().UsedRect(), (host::Rect{1, 1, 1, 1}));
}

TEST(ValidateRoster, BlankRowBetweenCandidatesIsAnEmptyClassCell) {
    TwoGrades f;
    f.roster.SheetByName("高一")->GetRange("A3:B3").ClearContents();  // title, 甲, (blank), 丙
    EXPECT_TRUE(f.Validate());
    EXPECT_EQ(f.Report("B11"), Variant("班级字段有空单元格"));
    EXPECT_EQ(f.Report("D11"), Variant("班级字段有空单元格"));
    EXPECT_EQ(f.Report("E11"), Variant("删除空行并为考生添加班级"));
    EXPECT_EQ(f.Report("B8"), Variant(2));
    EXPECT_EQ(f.Report("B9"), Variant(4));
    EXPECT_TRUE(f.Report("C11").IsEmpty());
    // The report is read in the host window: its columns are wide enough for
    // the conclusion (9 Chinese characters, 18 character widths) and the
    // suggestion (11, 22); the path in A1 runs on and leaves A as it is.
    const host::Worksheet& revision = f.Revision();
    EXPECT_GE(revision.ColumnWidthChars(2), 18);
    EXPECT_GE(revision.ColumnWidthChars(4), 18);
    EXPECT_GE(revision.ColumnWidthChars(5), 22);
    EXPECT_LT(revision.ColumnWidthChars(1), 20);
}

TEST(ValidateRoster, ClassColumnCountsOtherThanOne) {
    struct Case {
        std::vector<Variant> titles;
        const char* remark;
        const char* conclusion;
        const char* suggestion;
    };
    const Case cases[] = {
        {{"姓名", "班级", "班级"}, "2个“班级”字段", "“班级”字段过多", "删减“班级”字段"},
        {{"姓名", "班别", "学号"}, "缺少“班级”字段", "缺少“班级”字段", "增加“班级”字段"},
        {{"姓名", "班级 ", "学号"}, "缺少“班级”字段", "缺少“班级”字段", "增加“班级”字段"},
    };
    for (const Case& c : cases) {
        TwoGrades f;
        host::Worksheet& r = *f.roster.SheetByName("高一");
        for (size_t i = 0; i < c.titles.size(); ++i) r.SetValueAt(1, int32_t(i) + 1, c.titles[i]);
        EXPECT_TRUE(f.Validate()) << c.remark;
        EXPECT_EQ(f.Report("B11"), Variant(c.remark));
        EXPECT_EQ(f.Report("D11"), Variant(c.conclusion));
        EXPECT_EQ(f.Report("E11"), Variant(c.suggestion));
        EXPECT_TRUE(f.Report("B8").IsEmpty()) << "no candidate count without one class column";
        EXPECT_TRUE(f.Report("C11").IsEmpty()) << "the other sheet is fine";
        EXPECT_EQ(f.Report("C8"), Variant(2));
    }
}

TEST(ValidateRoster, AppendedConclusionsCollectOverSheetsAndAfterMergedCells) {
    TwoGrades f;
    for (const char* name : {"高一", "高二"}) f.roster.SheetByName(name)->SetValueAt(1, 2, Variant("班"));
    f.roster.SheetByName("高一")->GetRange("A2:A3").Merge();
    EXPECT_TRUE(f.Validate());
    EXPECT_EQ(f.Report("B11"), Variant("存在合并单元格缺少“班级”字段"));
    EXPECT_EQ(f.Report("C11"), Variant("缺少“班级”字段"));
    EXPECT_EQ(f.Report("D11"), Variant("存在合并单元格缺少“班级”字段缺少“班级”字段"));
    EXPECT_EQ(f.Report("E11"), Variant("取消单元格合并增加“班级”字段增加“班级”字段"));
}

TEST(ValidateRoster, ThreeGradesInOneGroupAboveTheAllowedTwo) {
    RosterFixture f(2, 2, 2, 0);
    for (const char* name : {"高一", "高二", "高三"}) {
        f.AddRoster(name, {{"姓名", "班级"}, {"甲", "1班"}});
        f.AddSettings(name, 2, 2, 0, {{1, 0}});
    }
    EXPECT_TRUE(settings::ValidateRoster(f.system, f.roster, true, false));
    // Block of 17 rows × 6 columns; column A ends in row 11; table from row 13.
    EXPECT_EQ(f.Report("B15"), Variant(3));
    EXPECT_TRUE(f.Report("C15").IsEmpty());
    EXPECT_EQ(f.Report("D15"), Variant("同桌年级数不符"));
    EXPECT_EQ(f.Report("E15"), Variant("请修改设置表或窗口参数“同桌年级总数”"));
    EXPECT_TRUE(f.Report("D16").IsEmpty());
    for (const char* a1 : {"B11", "C11", "D11", "E4", "F4"}) EXPECT_TRUE(f.Report(a1).IsEmpty()) << a1;

    f.SetParameters(2, 3, 2, 0);
    EXPECT_FALSE(settings::ValidateRoster(f.system, f.roster, true, false)) << "three grades allowed";
}

TEST(ValidateRoster, MissingSettingsSheetStillValidatesTheOthers) {
    TwoGrades f;
    f.Settings("高一").SetName("高一旧\t设置");
    EXPECT_TRUE(f.Validate());
    EXPECT_EQ(f.Report("B5"), Variant("不存在"));
    EXPECT_EQ(f.Report("D5"), Variant("花名册工作表重命名、设置表重命名或被删除"));
    EXPECT_EQ(f.Report("E5"), Variant("返回设置窗口重新保存参数"));
    for (const char* a1 : {"B3", "B4", "B8", "B9"}) EXPECT_TRUE(f.Report(a1).IsEmpty()) << a1;
    EXPECT_EQ(f.Report("C8"), Variant(2));
    EXPECT_EQ(f.Report("A1048576"), Variant("2")) << "only the present settings sheet counts";
}

TEST(ValidateRoster, SettingsSheetOfOtherParametersIsReportedAndCleared) {
    TwoGrades f;
    f.SetParameters(3, 1, 2, 0);  // the sheets were built for two groups
    host::Worksheet& s = f.Settings("高一");
    s.Unprotect(kPassword);
    s.SetValueAt(1, 1, Variant("旧班级"));
    s.Protect(kPassword);
    EXPECT_TRUE(f.Validate());
    EXPECT_EQ(f.Report("B5"), Variant("与设置窗口的参数不符"));
    EXPECT_EQ(f.Report("D5"), Variant("与设置窗口的参数不符"));
    EXPECT_EQ(f.Report("E5"), Variant("返回设置窗口重新设置参数"));
    EXPECT_TRUE(s.GetRange("A1").Value().IsEmpty());
    EXPECT_TRUE(s.ProtectContents());
    EXPECT_TRUE(f.Report("B8").IsEmpty()) << "no roster checks against a sheet that does not fit";
}

TEST(ValidateRoster, TitleOnlyRosterFailsOnlyWhenEverySheetHasNoCandidates) {
    RosterFixture f;
    f.AddRoster("高一", {{"姓名", "班级"}});
    f.AddRoster("高二", {{"姓名", "班级"}, {"丁", "3班"}});
    f.AddSettings("高一", 2, 2, 0, {});
    f.AddSettings("高二", 2, 2, 0, {{0, 1}});
    EXPECT_FALSE(settings::ValidateRoster(f.system, f.roster, true, false));
    EXPECT_EQ(f.Report("B11"), Variant("缺少考生"));
    EXPECT_TRUE(f.Report("D11").IsEmpty()) << "a remark only while another sheet has candidates";

    f.roster.SheetByName("高二")->GetRange("A2:B2").ClearContents();
    f.roster.SheetByName(workbook::SettingsSheetNameFor("高二"))->Unprotect(kPassword);
    f.roster.SheetByName(workbook::SettingsSheetNameFor("高二"))->SetValueAt(2, 10, Variant(0));
    EXPECT_TRUE(settings::ValidateRoster(f.system, f.roster, true, false));
    EXPECT_EQ(f.Report("C11"), Variant("缺少考生"));
    EXPECT_EQ(f.Report("D11"), Variant("缺少考生"));
    EXPECT_EQ(f.Report("E11"), Variant("添加花名册数据"));
}

TEST(ValidateRoster, CandidateCountOtherThanTheCapacity) {
    TwoGrades f;
    f.roster.SheetByName("高二")->SetValueAt(4, 2, Variant("4班"));
    f.roster.SheetByName("高二")->SetValueAt(4, 1, Variant("己"));
    EXPECT_TRUE(f.Validate());
    EXPECT_EQ(f.Report("C8"), Variant(3));
    EXPECT_EQ(f.Report("D4"), Variant("花名册与设置表考生人数不符"));
    EXPECT_EQ(f.Report("E4"), Variant("检查花名册数据无误后人工修改设置表"));
}

// ----- room checks -----

TEST(ValidateRoster, RoomChecksWithoutAnArrangement) {
    TwoGrades f;
    EXPECT_TRUE(f.Validate(false, true));
    EXPECT_EQ(f.Report("A12"), Variant("按考场号统计"));
    EXPECT_EQ(f.Report("A16"), Variant(1));
    EXPECT_EQ(f.Report("A17"), Variant(2));
    EXPECT_EQ(f.Report("B15"), Variant("缺少“场号”字段"));
    EXPECT_EQ(f.Report("D15"), Variant("缺少“场号”字段"));
    EXPECT_EQ(f.Report("E15"), Variant("重新编排考场"));
    EXPECT_TRUE(f.Report("B8").IsEmpty()) << "class checks were off";
    EXPECT_EQ(f.Report("A19"), Variant("同桌年级数检查")) << "two rows below the room labels";
}

TEST(ValidateRoster, RoomChecksOfAnArrangedRoster) {
    TwoGrades f;
    const std::string room = "\t场号";
    host::Worksheet& one = *f.roster.SheetByName("高一");
    host::Worksheet& two = *f.roster.SheetByName("高二");
    SetColumn(one, 3, {room, 1, 1, 1});
    SetColumn(two, 3, {room, 2, 2});
    EXPECT_FALSE(f.Validate(true, true));
    EXPECT_EQ(f.Report("B13"), Variant(1));
    EXPECT_EQ(f.Report("B14"), Variant(3));
    EXPECT_EQ(f.Report("B16"), Variant(3));
    EXPECT_TRUE(f.Report("B17").IsEmpty());
    EXPECT_EQ(f.Report("C17"), Variant(2));
    EXPECT_TRUE(f.Report("D15").IsEmpty());

    two.SetValueAt(3, 3, Variant(1));  // 戊 moved to room 1
    EXPECT_TRUE(f.Validate(true, true));
    EXPECT_EQ(f.Report("C13"), Variant(2));
    EXPECT_EQ(f.Report("D13"), Variant("考场总数与设置表不符"));
    EXPECT_EQ(f.Report("C15"), Variant("考场名称或人数与设置表不符"));
    EXPECT_EQ(f.Report("E15"), Variant("重新编排考场"));
    EXPECT_EQ(f.Report("C16"), Variant(1));
    EXPECT_EQ(f.Report("C17"), Variant(1));
}

TEST(ValidateRoster, RoomOutsideTheRoomRowsDoesNotOverwriteTheBlock) {
    TwoGrades f;
    SetColumn(*f.roster.SheetByName("高一"), 3, {"\t场号", 0, 0, 9});
    f.Validate(true, true);
    EXPECT_EQ(f.Report("B15"), Variant("考场名称或人数与设置表不符"));
    EXPECT_EQ(f.Report("A15"), Variant("备注"));
    EXPECT_TRUE(f.Report("B16").IsEmpty());
}

TEST(ValidateRoster, TwoRoomColumnsAndClassColumnProblemsInRoomChecks) {
    TwoGrades f;
    f.roster.SheetByName("高一")->SetValueAt(1, 3, Variant("\t场号"));
    f.roster.SheetByName("高一")->SetValueAt(1, 4, Variant("\t场号"));
    f.roster.SheetByName("高二")->SetValueAt(1, 2, Variant("年级"));
    EXPECT_TRUE(f.Validate(false, true));
    EXPECT_EQ(f.Report("B15"), Variant("2个“场号”字段"));
    EXPECT_EQ(f.Report("C15"), Variant("“班级”字段不合要求"));
    EXPECT_EQ(f.Report("D15"), Variant("“班级”字段不合要求"));
    EXPECT_EQ(f.Report("E15"), Variant("删减或添加“班级”字段"));
}

// ----- data statistics -----

TEST(ComputeDataStatistics, ShowsTheRevisionSheetAndTheClosingMessage) {
    TwoGrades f;
    f.Revision().SetVisible(host::xlSheetVeryHidden);
    settings::ComputeDataStatistics(f.component.Context());
    ASSERT_EQ(f.toolkit.messages.size(), 1u);
    EXPECT_EQ(f.toolkit.messages[0].prompt, "数据统计完毕，请查看修改意见！");
    EXPECT_EQ(f.toolkit.messages[0].title, "提示信息…");
    EXPECT_EQ(f.toolkit.messages[0].icon, platform::MsgIcon::Information);
    EXPECT_EQ(f.Revision().Visible(), host::xlSheetVisible);
    EXPECT_EQ(f.system.ActiveSheet(), &f.Revision());
    EXPECT_EQ(f.Report("B15"), Variant("缺少“场号”字段")) << "both checks ran";
    EXPECT_EQ(f.Report("B8"), Variant(3));
    EXPECT_TRUE(f.app.ScreenUpdating());
    EXPECT_TRUE(f.app.DisplayAlerts());
}

TEST(ComputeDataStatistics, WithoutRosterWorkbookShowsThePathMessage) {
    RosterFixture f;
    workbook::ParameterCells cells(f.system);
    cells.SetRosterFileName("不存在.xlsx");
    settings::ComputeDataStatistics(f.component.Context());
    ASSERT_EQ(f.toolkit.messages.size(), 2u);
    EXPECT_EQ(f.toolkit.messages[0].prompt, "目标路径“" + f.dir.Path().string() + "不存在.xlsx”不存在！操作中断！");
    EXPECT_EQ(f.toolkit.messages[1].prompt, "文件夹“" + f.dir.Path().string() + "”中没有“不存在.xlsx”（被移动、改名或删除）：请在“设置”窗口中单击“打开 (&O)”重新选择花名册。");
    EXPECT_TRUE(f.Report("A1").IsEmpty());
    EXPECT_TRUE(f.app.ScreenUpdating());
}

TEST(ComputeDataStatistics, UnreadableRosterFileIsAFileErrorNotAMissingPath) {
    RosterFixture f;
    testing_support::WriteFile(f.dir.File("坏.xlsx"), "not a zip archive");
    workbook::ParameterCells(f.system).SetRosterFileName("坏.xlsx");
    f.app.SetScreenUpdating(false);
    EXPECT_THROW(settings::ComputeDataStatistics(f.component.Context()), host::FileError);
    EXPECT_TRUE(f.toolkit.messages.empty());
    EXPECT_TRUE(f.app.ScreenUpdating()) << "the switches are restored on the way out";
}

}  // namespace

namespace {

// A settings-sheet cell typed over the protection, as a user who removed it can.
void Overwrite(host::Worksheet& settings, int32_t row, int32_t col, const Variant& v) {
    settings.Unprotect(kPassword);
    settings.SetValueAt(row, col, v);
    settings.Protect(kPassword);
}

}  // namespace

TEST(ValidateRoster, CountsThatAreNegativeFractionalOrTextAreReportedAndStopTheRun) {
    // H is the room column; groups 1 and 2 are columns I and J.
    const std::pair<Variant, const char*> cases[] = {
        {Variant(-1), "第1考场第2组"}, {Variant(1.5), "第1考场第2组"}, {Variant("1"), "第1考场第2组"}};
    for (const auto& [count, where] : cases) {
        SCOPED_TRACE(host::ToText(count));
        TwoGrades f;
        Overwrite(f.Settings("高一"), 2, 10, count);
        EXPECT_TRUE(f.Validate());
        const std::string remark = host::ToText(f.Report("B5"));
        EXPECT_NE(remark.find(std::string("人数不是非负整数：") + where), std::string::npos) << remark;
        EXPECT_NE(host::ToText(f.Report("D5")).find("设置表的人数有负数、小数或文本"), std::string::npos);
        EXPECT_FALSE(host::ToText(f.Report("E5")).empty()) << "a repair suggestion";
    }
}

TEST(ValidateRoster, ARoomNumberGivenTwiceIsReported) {
    TwoGrades f;
    Overwrite(f.Settings("高二"), 3, 8, Variant(1));  // room 2's row now says room 1
    EXPECT_TRUE(f.Validate());
    EXPECT_NE(host::ToText(f.Report("C5")).find("考场号重复：1"), std::string::npos) << host::ToText(f.Report("C5"));
    EXPECT_NE(host::ToText(f.Report("D5")).find("设置表的考场号重复"), std::string::npos);
}

TEST(ValidateRoster, ErrorValuesInTheClassColumnAreBadClassValues) {
    TwoGrades f;
    f.roster.SheetByName("高一")->SetValueAt(3, 2, Variant::Error(host::CellError::NA));
    EXPECT_TRUE(f.Validate());
    EXPECT_NE(host::ToText(f.Report("B11")).find("班级为错误值的行：3"), std::string::npos) << host::ToText(f.Report("B11"));
    EXPECT_NE(host::ToText(f.Report("D11")).find("班级字段有错误值"), std::string::npos);
}
