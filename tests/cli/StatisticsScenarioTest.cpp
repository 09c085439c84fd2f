// statistics and maintain through the command line, on the sample roster and
// on small rosters written for the test; the files on disk are checked after.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

using cli_test::Contains;
using cli_test::Outcome;
using host::Variant;

namespace {

const char* kDone = "[提示信息…] 数据统计完毕，请查看修改意见！";

struct Cli {
    testing_support::TempDir dir;
    cli_test::InProcess tolm;
    Cli() {
        tolm.env["TOLM_SYSTEM"] = dir.File("系统.xlsx");
        tolm.currentFolder = dir.Path().string();
    }
    Outcome Run(std::vector<std::string> args) const { return tolm.Run(args); }
    std::unique_ptr<host::Workbook> Load(const std::string& name, host::Application& app) const {
        return host::xlsx::LoadWorkbook(&app, dir.File(name));
    }
};

// Candidates of each roster sheet, spread over rooms 1–3 and groups 1–2 of its
// settings sheet: I2, J2, I3, J3, I4, J4 (G = 2, F = 0), the remainder in I2.
std::vector<std::string> GroupCounts(int32_t candidates) {
    const char* cells[] = {"I2", "J2", "I3", "J3", "I4", "J4"};
    std::vector<std::string> args;
    for (int i = 0; i < 6; ++i) {
        int32_t n = candidates / 6 + (i == 0 ? candidates % 6 : 0);
        args.push_back(std::string(cells[i]) + "=" + std::to_string(n));
    }
    return args;
}

// Sample, open-roster, settings for 2 groups × 3 rooms with all three grades
// allowed at one desk group, then the group counts typed in.
struct SampleScenario : Cli {
    std::map<std::string, int32_t> candidates;  // per roster sheet
    Outcome prepared;

    SampleScenario() {
        Run({"sample", "data"});
        Run({"open-roster", "data/花名册.xlsx"});
        prepared = Run({"settings", "--desk-groups", "2", "--rooms", "3", "--grades-per-group", "3"});
        host::Application app;
        auto roster = Load("data/花名册.xlsx", app);
        for (host::Worksheet* ws : workbook::RosterSheets(*roster)) candidates[ws->Name()] = ws->UsedRect().bottom - 1;
    }
    void FillGroupCounts() {
        for (const auto& [sheet, n] : candidates) {
            std::vector<std::string> args{"edit", "data/花名册.xlsx", "--sheet", sheet + "\\t设置"};
            for (std::string& a : GroupCounts(n)) args.push_back(a);
            Outcome o = Run(args);
            ASSERT_EQ(o.code, 0) << o.out << o.err;
        }
    }
};

TEST(StatisticsCommand, SampleRosterHasNoErrorsOnceTheGroupCountsAreFilled) {
    SampleScenario s;
    ASSERT_EQ(s.prepared.code, 0) << s.prepared.out << s.prepared.err;
    ASSERT_EQ(s.candidates.size(), 3u);

    // Before the counts are typed every settings sheet promises no candidate.
    Outcome empty = s.Run({"statistics"});
    ASSERT_EQ(empty.code, 0) << empty.out << empty.err;
    EXPECT_TRUE(Contains(empty.out, "4  考生人数 | 0 | 0 | 0 | 花名册与设置表考生人数不符")) << empty.out;

    s.FillGroupCounts();
    Outcome done = s.Run({"statistics"});
    ASSERT_EQ(done.code, 0) << done.out << done.err;
    EXPECT_TRUE(Contains(done.out, kDone)) << done.out;
    EXPECT_TRUE(Contains(done.out, "已保存：" + s.dir.File("系统.xlsx"))) << done.out;

    host::Application app;
    auto system = s.Load("系统.xlsx", app);
    host::Worksheet& report = workbook::RequireSheetByCodeName(*system, workbook::kRevisionSheet);
    EXPECT_EQ(report.Visible(), host::xlSheetVisible);
    // Columns E and F are the conclusion and the suggestion of three roster sheets.
    for (int32_t row = 2; row <= 11; ++row)
        for (int32_t col : {5, 6})
            if (row != 2 && row != 6) EXPECT_TRUE(report.ValueAt(row, col).IsEmpty()) << row << "," << col;
    // The roster was never arranged: the room checks miss the room column, and nothing else.
    EXPECT_EQ(report.ValueAt(15, 5), Variant("缺少“场号”字段"));
    int32_t total = 0;
    int32_t col = 2;
    for (const auto& [sheet, n] : s.candidates) total += n;
    for (const char* sheet : {"高一", "高二", "高三"}) {
        EXPECT_EQ(report.ValueAt(6, col), Variant(sheet));
        EXPECT_EQ(report.ValueAt(8, col), Variant(s.candidates[sheet])) << sheet;
        EXPECT_EQ(report.ValueAt(4, col), Variant(s.candidates[sheet])) << sheet;
        ++col;
    }
    // Desk-sharing table from row 20 (column A ends with room 3 in row 18): no conclusion.
    EXPECT_EQ(report.ValueAt(20, 1), Variant("同桌年级数检查"));
    for (int32_t row = 22; row <= 24; ++row) {
        EXPECT_EQ(report.ValueAt(row, 2), Variant(3));
        EXPECT_TRUE(report.ValueAt(row, 4).IsEmpty()) << row;
    }
    EXPECT_EQ(report.ValueAt(host::kMaxRows, 1), Variant(std::to_string(total)));
    EXPECT_EQ(report.ValueAt(host::kMaxRows, 2), Variant("9"));

    auto roster = s.Load("data/花名册.xlsx", app);
    host::Worksheet* settings = roster->SheetByName("高一\t设置");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->ValueAt(1, 1), Variant("班级"));
    EXPECT_EQ(settings->ValueAt(2, 4), Variant(s.candidates["高一"]));
    EXPECT_TRUE(settings->ProtectContents());
    EXPECT_TRUE(settings->CheckPassword(std::string(workbook::kSheetPassword)));
}

TEST(StatisticsCommand, WithoutRosterWorkbookStopsWithThePathMessage) {
    Cli c;
    Outcome o = c.Run({"statistics"});
    EXPECT_EQ(o.code, 1) << o.out << o.err;
    EXPECT_TRUE(Contains(o.out, "[提示信息…] 目标路径“”不存在！操作中断！")) << o.out;
    EXPECT_FALSE(Contains(o.out, kDone));
}

// A roster file with rows 5 and 9 repeating row 3 and an empty column B.
void WriteRepeatingRoster(const std::string& file) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    ws.SetName("高一");
    const char* names[] = {"姓名", "甲", "乙", "丙", "乙", "丁", "戊", "己", "乙"};
    for (int32_t r = 1; r <= 9; ++r) {
        ws.SetValueAt(r, 1, Variant(names[r - 1]));
        ws.SetValueAt(r, 3, Variant(r == 1 ? "班级" : "1班"));
    }
    wb.SaveAs(file);
}

struct MaintainScenario : Cli {
    std::string roster = dir.File("花名册.xlsx");
    MaintainScenario() {
        WriteRepeatingRoster(roster);
        Run({"open-roster", "花名册.xlsx"});
    }
};

TEST(MaintainCommand, YesCleansTheRosterFileNoMarksItCancelLeavesIt) {
    {
        MaintainScenario m;
        Outcome o = m.Run({"maintain", "--answer", "yes"});
        ASSERT_EQ(o.code, 0) << o.out << o.err;
        EXPECT_TRUE(Contains(o.out, "[提示信息…] 数据维护完毕！")) << o.out;
        EXPECT_TRUE(Contains(o.out, "已保存：" + m.roster)) << o.out;
        host::Application app;
        auto wb = m.Load("花名册.xlsx", app);
        host::Worksheet& ws = wb->Sheet(1);
        EXPECT_EQ(ws.UsedRect(), (host::Rect{1, 1, 7, 2})) << "rows 5 and 9 and column B deleted";
        EXPECT_EQ(ws.ValueAt(3, 1), Variant("乙"));
        EXPECT_EQ(ws.ValueAt(1, 2), Variant("班级"));
    }
    {
        MaintainScenario m;
        Outcome o = m.Run({"maintain", "--answer", "no"});
        ASSERT_EQ(o.code, 0) << o.out << o.err;
        host::Application app;
        auto wb = m.Load("花名册.xlsx", app);
        host::Worksheet& ws = wb->Sheet(1);
        EXPECT_EQ(ws.ValueAt(1, 2), Variant(-1));
        EXPECT_EQ(ws.ValueAt(5, 4), Variant(-1));
        EXPECT_EQ(ws.ValueAt(9, 4), Variant(-1));
        EXPECT_TRUE(ws.ValueAt(3, 4).IsEmpty());
        EXPECT_TRUE(Contains(o.out, "“-1”列的空单元格有：B2,B3,B4,B5,B6,B7,B8,B9,")) << o.out;
    }
    {
        MaintainScenario m;
        const std::string before = testing_support::ReadFile(m.roster);
        Outcome o = m.Run({"maintain", "--answer", "cancel"});
        EXPECT_EQ(o.code, 1) << o.out << o.err;
        EXPECT_FALSE(Contains(o.out, "数据维护完毕")) << o.out;
        EXPECT_EQ(testing_support::ReadFile(m.roster), before);
    }
}

TEST(MaintainCommand, QuestionWithoutAnswerSavesNothing) {
    MaintainScenario m;
    const std::string before = testing_support::ReadFile(m.roster);
    Outcome o = m.Run({"maintain"});
    EXPECT_EQ(o.code, 3) << o.out << o.err;
    EXPECT_EQ(testing_support::ReadFile(m.roster), before);
}

}  // namespace
