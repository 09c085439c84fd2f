// tolm arrange through the command line on the sample roster: the main job
// end to end, repeatable runs under one seed, and refused options.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "CliTestSupport.h"
#include <sys/stat.h>
#include <unistd.h>

#include "host/Application.h"
#include "host/LockFile.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "workbook/RosterWorkbook.h"

using cli_test::Contains;
using cli_test::Outcome;
using host::Variant;

namespace {

const std::string kRoster = "data/花名册.xlsx";

// Sample roster chosen, 2 groups × 3 rooms with all grades allowed at one
// desk group, and every grade's candidates typed into its settings sheet.
struct Prepared {
    testing_support::TempDir dir;
    cli_test::InProcess tolm;
    std::map<std::string, int32_t> candidates;  // per roster sheet

    Prepared() {
        tolm.env["TOLM_SYSTEM"] = dir.File("系统.xlsx");
        tolm.currentFolder = dir.Path().string();
        Check(Run({"sample", "data"}));
        Check(Run({"open-roster", kRoster}));
        Check(Run({"settings", "--desk-groups", "2", "--rooms", "3", "--grades-per-group", "3"}));
        host::Application app;
        auto roster = host::xlsx::LoadWorkbook(&app, dir.File(kRoster));
        for (host::Worksheet* ws : workbook::RosterSheets(*roster)) candidates[ws->Name()] = ws->UsedRect().bottom - 1;
        for (const auto& [sheet, n] : candidates) {
            std::vector<std::string> args{"edit", kRoster, "--sheet", sheet + "\\t设置"};
            const char* cells[] = {"I2", "J2", "I3", "J3", "I4", "J4"};
            for (int i = 0; i < 6; ++i) args.push_back(std::string(cells[i]) + "=" + std::to_string(n / 6 + (i < n % 6)));
            Check(Run(args));
        }
    }
    Outcome Run(const std::vector<std::string>& args) const { return tolm.Run(args); }
    static void Check(const Outcome& o) { ASSERT_EQ(o.code, 0) << o.out << o.err; }
    std::string RosterBytes() const { return testing_support::ReadFile(dir.File(kRoster)); }
};

// Every roster sheet's cells as text, sheet by sheet.
std::map<std::string, std::vector<std::vector<std::string>>> RosterCells(const std::string& file) {
    host::Application app;
    auto roster = host::xlsx::LoadWorkbook(&app, file);
    std::map<std::string, std::vector<std::vector<std::string>>> all;
    for (host::Worksheet* ws : workbook::RosterSheets(*roster)) {
        const host::Rect used = ws->UsedRect();
        auto& rows = all[ws->Name()];
        for (int32_t r = 1; r <= used.bottom; ++r) {
            rows.emplace_back();
            for (int32_t c = 1; c <= used.right; ++c) rows.back().push_back(host::ToText(ws->ValueAt(r, c)));
        }
    }
    return all;
}

int32_t ColumnTitled(const std::vector<std::string>& titles, const std::string& title) {
    for (size_t c = 0; c < titles.size(); ++c)
        if (titles[c] == title) return int32_t(c);
    return -1;
}

TEST(ArrangeCommand, RandomSShapedMethodOneSeatsEveryCandidateOnce) {
    Prepared p;
    Outcome o = p.Run({"arrange", "--order", "random", "--desks", "s", "--number", "1", "--first", "1", "--seed", "5",
                       "--out", "报告"});
    ASSERT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_TRUE(Contains(o.out, "编排方式：随机")) << o.out;
    EXPECT_TRUE(Contains(o.out, "桌顺序：S形排列")) << o.out;
    EXPECT_TRUE(Contains(o.out, "已保存：" + p.dir.File(kRoster))) << o.out;
    const bool reported = Contains(o.out, "[操作提示…] 操作结束！请查看需人工调整的前后左右同班！");
    EXPECT_TRUE(reported || Contains(o.out, "[操作提示…] 操作结束！\n")) << o.out;
    if (reported) EXPECT_TRUE(Contains(o.out, "已保存：" + p.dir.File("报告/工作簿1.xlsx"))) << o.out;

    const std::vector<std::string> system{"\t场号", "\t座号", "\tAB座号", "\t考号", "\t首考号", "\t尾考号",
                                          "\t场人", "\t场数", "\t班数", "\t级人", "\t班人"};
    int32_t total = 0;
    for (const auto& [n, count] : p.candidates) total += count;
    std::set<std::string> examNumbers;
    for (const auto& [sheet, rows] : RosterCells(p.dir.File(kRoster))) {
        SCOPED_TRACE(sheet);
        const std::vector<std::string>& titles = rows[0];
        ASSERT_GE(titles.size(), system.size());
        const size_t L = titles.size() - system.size();
        EXPECT_EQ(std::vector<std::string>(titles.begin() + long(L), titles.end()), system);
        EXPECT_EQ(ColumnTitled(titles, "\tA"), -1) << "row-number column left behind";
        ASSERT_EQ(int32_t(rows.size()) - 1, p.candidates[sheet]);

        std::set<std::pair<std::string, int>> seats;
        std::map<std::string, int32_t> perRoom;
        for (size_t r = 1; r < rows.size(); ++r) {
            const std::string& room = rows[r][L];
            const int seat = std::stoi(rows[r][L + 1]);
            EXPECT_TRUE(seats.insert({room, seat}).second) << "room " << room << " seat " << seat << " twice";
            EXPECT_EQ(rows[r][L + 2], rows[r][L + 1] + (seat % 2 ? "A" : "B"));
            EXPECT_EQ(rows[r][L + 3].size(), 4u) << "1378 candidates from 1: four digits";
            examNumbers.insert(rows[r][L + 3]);
            ++perRoom[room];
        }
        // Room totals as typed: the first two cells of each room row.
        const int32_t n = p.candidates[sheet];
        EXPECT_EQ(perRoom["1"], n / 6 * 2 + (0 < n % 6) + (1 < n % 6));
        EXPECT_EQ(perRoom["2"], n / 6 * 2 + (2 < n % 6) + (3 < n % 6));
        EXPECT_EQ(perRoom["3"], n / 6 * 2 + (4 < n % 6));
        for (const auto& [room, count] : perRoom)
            for (int s = 1; s <= count; ++s) EXPECT_TRUE(seats.count({room, s})) << room << "/" << s;
    }
    EXPECT_EQ(int32_t(examNumbers.size()), total);
    EXPECT_EQ(*examNumbers.begin(), "0001");
    EXPECT_EQ(*examNumbers.rbegin(), std::to_string(total));
}

TEST(ArrangeCommand, TheSameSeedGivesTheSameSheetsAndAnotherSeedOthers) {
    Prepared p;
    const std::string saved = p.RosterBytes();
    auto arrange = [&](const char* seed) {
        testing_support::WriteFile(p.dir.File(kRoster), saved);
        Outcome o = p.Run({"arrange", "--order", "random", "--desks", "sequential", "--seed", seed});
        EXPECT_EQ(o.code, 0) << o.out << o.err;
        return RosterCells(p.dir.File(kRoster));
    };
    const auto first = arrange("9");
    EXPECT_EQ(arrange("9"), first);
    EXPECT_NE(arrange("10"), first);
}

TEST(ArrangeCommand, RefusedOptionsChangeNoFile) {
    Prepared p;
    const std::string before = p.RosterBytes();
    // options → what the message names
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--order", "sideways"}, "--order 只接受 asc|desc|random"},
        {{"--desks", "z"}, "--desks 只接受 sequential|s"},
        {{"--number", "3"}, "--number 只接受 1|2"},
        {{"--key", "学籍号"}, "花名册各工作表没有共同的列“学籍号”。可选：序号、学号、姓名"},
        {{"--column", "\t场号"}, "没有共同的列"},
    };
    for (const auto& [options, message] : cases) {
        SCOPED_TRACE(message);
        std::vector<std::string> args{"arrange"};
        args.insert(args.end(), options.begin(), options.end());
        Outcome o = p.Run(args);
        EXPECT_EQ(o.code, 2);
        EXPECT_TRUE(Contains(o.err, message)) << o.err;
    }
    EXPECT_TRUE(p.RosterBytes() == before) << "roster file rewritten";
}

TEST(ArrangeCommand, KeyAndColumnAcceptTitlesAndNone) {
    Prepared p;
    Outcome o = p.Run({"arrange", "--order", "asc", "--key", "学号", "--number", "2", "--column", "none"});
    ASSERT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_TRUE(Contains(o.out, "编排方式：升序  排序关键字：学号  考号：方式2（列 （无））")) << o.out;
    EXPECT_TRUE(Contains(o.out, "[操作提示…] 操作结束！\n")) << o.out;
    // Method 2 without a column: room (3 rooms, width 1) then seat (largest room, 3 digits).
    const auto cells = RosterCells(p.dir.File(kRoster));
    const auto& rows = cells.at("高一");
    const int32_t exam = ColumnTitled(rows[0], "\t考号"), room = ColumnTitled(rows[0], "\t场号");
    ASSERT_GE(exam, 0);
    for (size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r][size_t(exam)].size(), 4u) << rows[r][size_t(exam)];
        EXPECT_EQ(rows[r][size_t(exam)].substr(0, 1), rows[r][size_t(room)]);
    }
}

TEST(ArrangeCommand, StopsWithExitOneOnDataErrorsOrWithoutARoster) {
    testing_support::TempDir dir;
    cli_test::InProcess tolm;
    tolm.env["TOLM_SYSTEM"] = dir.File("系统.xlsx");
    tolm.currentFolder = dir.Path().string();
    Outcome none = tolm.Run({"arrange"});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(Contains(none.out, "[提示信息…] 目标路径“”不存在！操作中断！")) << none.out;

    ASSERT_EQ(tolm.Run({"sample", "data"}).code, 0);
    ASSERT_EQ(tolm.Run({"open-roster", kRoster}).code, 0);
    ASSERT_EQ(tolm.Run({"settings", "--desk-groups", "2", "--rooms", "3", "--grades-per-group", "3"}).code, 0);
    const auto before = RosterCells(dir.File(kRoster));
    Outcome errors = tolm.Run({"arrange"});
    EXPECT_EQ(errors.code, 1);
    EXPECT_TRUE(Contains(errors.out, "[提示信息…] 数据错误，请查看修改意见！")) << errors.out;
    EXPECT_TRUE(Contains(errors.out, "花名册与设置表考生人数不符")) << errors.out;
    EXPECT_TRUE(RosterCells(dir.File(kRoster)) == before) << "roster sheets changed";
}

// A roster nobody may write: mode 0444 for ordinary users, the immutable
// attribute for root (who ignores the mode). False when neither can be had.
bool MakeReadOnly(const std::string& file) {
    if (geteuid() != 0) return ::chmod(file.c_str(), 0444) == 0;
    return testing_support::Run("chattr +i '" + file + "' 2>/dev/null") == 0;
}
void MakeWritable(const std::string& file) {
    if (geteuid() == 0) testing_support::Run("chattr -i '" + file + "' 2>/dev/null");
    ::chmod(file.c_str(), 0644);
}

TEST(ArrangeCommand, AReadOnlyRosterIsReportedInsteadOfTheCompletionAndNothingIsSaved) {
    Prepared p;
    const std::string roster = p.dir.File(kRoster);
    const std::string systemBefore = testing_support::ReadFile(p.dir.File("系统.xlsx"));
    const std::string rosterBefore = p.RosterBytes();
    if (!MakeReadOnly(roster)) GTEST_SKIP() << "cannot make a file read-only here";
    Outcome o = p.Run({"arrange", "--order", "asc", "--seed", "3", "--out", "报告"});
    MakeWritable(roster);
    EXPECT_EQ(o.code, 4) << o.out << o.err;
    EXPECT_FALSE(Contains(o.out, "操作结束")) << o.out;
    EXPECT_FALSE(Contains(o.out, "已保存")) << o.out;
    EXPECT_TRUE(Contains(o.out, "未能保存“花名册.xlsx”")) << o.out;
    EXPECT_TRUE(Contains(o.err, "只读")) << o.err;
    EXPECT_EQ(p.RosterBytes(), rosterBefore);
    EXPECT_EQ(testing_support::ReadFile(p.dir.File("系统.xlsx")), systemBefore)
        << "the system workbook must not record a run whose roster is not on disk";
}

TEST(ArrangeCommand, ASecondRunOnARosterInUseIsRefusedAndForceGoesOn) {
    Prepared p;
    const std::string roster = p.dir.File(kRoster);
    const std::string systemBefore = testing_support::ReadFile(p.dir.File("系统.xlsx"));
    const std::string rosterBefore = p.RosterBytes();
    {
        host::Application first;  // the first arrange run holds the roster
        first.SetLockingFiles(true);
        ASSERT_TRUE(first.Workbooks().Open(roster));
        Outcome second = p.Run({"arrange", "--order", "asc", "--seed", "3"});
        EXPECT_EQ(second.code, 4) << second.out << second.err;
        EXPECT_TRUE(Contains(second.err, "花名册.xlsx：正被 ")) << second.err;
        EXPECT_FALSE(Contains(second.out, "操作结束")) << second.out;
        EXPECT_EQ(p.RosterBytes(), rosterBefore);
        EXPECT_EQ(testing_support::ReadFile(p.dir.File("系统.xlsx")), systemBefore);

        Outcome forced = p.Run({"arrange", "--order", "asc", "--seed", "3", "--force"});
        EXPECT_EQ(forced.code, 0) << forced.out << forced.err;
        EXPECT_TRUE(Contains(forced.out, "操作结束")) << forced.out;
        EXPECT_NE(p.RosterBytes(), rosterBefore);
    }
    EXPECT_FALSE(std::filesystem::exists(host::LockFileName(roster)));
    EXPECT_FALSE(std::filesystem::exists(host::LockFileName(p.dir.File("系统.xlsx"))));
}

}  // namespace
