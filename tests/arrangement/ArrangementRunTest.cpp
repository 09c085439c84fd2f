// RunArrangement on roster workbooks built in memory: the revision sheet and
// the widths, removal of earlier system columns, sorted and random runs, the
// report copy and the final messages.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "RosterCheckFixtures.h"
#include "arrangement/RunArrangement.h"
#include "host/Application.h"
#include "host/Range.h"
#include "platform/RandomSource.h"
#include "workbook/RosterWorkbook.h"

using arrangement::ArrangementOptions;
using arrangement::Ordering;
using coretest::RosterFixture;
using host::Variant;

namespace {

using Cells = std::vector<std::vector<std::string>>;

// Every cell of the used range as text, row by row.
Cells SheetCells(const host::Worksheet& ws) {
    const host::Rect used = ws.UsedRect();
    Cells cells;
    for (int32_t r = 1; r <= used.bottom; ++r) {
        cells.emplace_back();
        for (int32_t c = 1; c <= used.right; ++c) cells.back().push_back(host::ToText(ws.ValueAt(r, c)));
    }
    return cells;
}

std::vector<std::string> Column(const host::Worksheet& ws, int32_t col) {
    std::vector<std::string> v;
    for (int32_t r = 1; r <= ws.UsedRect().bottom; ++r) v.push_back(host::ToText(ws.ValueAt(r, col)));
    return v;
}

struct RunWorld : RosterFixture {
    explicit RunWorld(int groups = 2, int rooms = 2) : RosterFixture(groups, 1, rooms, 0) {
        host::Application::SetRunning(&app);
    }
    ~RunWorld() { host::Application::SetRunning(nullptr); }

    std::vector<std::string> Run(ArrangementOptions o) {
        toolkit.messages.clear();
        arrangement::RunArrangement(component.Context(), o);
        std::vector<std::string> prompts;
        for (const auto& m : toolkit.messages) prompts.push_back(m.prompt);
        return prompts;
    }
};

ArrangementOptions Sorted(Ordering ordering, const std::string& key, const std::string& first = "1") {
    ArrangementOptions o;
    o.ordering = ordering;
    o.sortKey = key;
    o.firstNumberText = first;
    o.columnTitle = "\t无";
    o.numberingByCounter = true;
    o.sequentialDesks = true;
    return o;
}

// 高一: six candidates with scores in a scrambled order, two classes.
struct SixCandidates : RunWorld {
    host::Worksheet& grade;
    SixCandidates()
        : RunWorld(2, 2),
          grade(AddRoster("高一", {{"姓名", "班级", "分数"},
                                  {"甲", "1班", 50},
                                  {"乙", "2班", 90},
                                  {"丙", "1班", 70},
                                  {"丁", "2班", 60},
                                  {"戊", "1班", 80},
                                  {"己", "2班", 40}})) {
        AddSettings("高一", 2, 2, 0, {{2, 2}, {1, 1}});
    }
};

TEST(PrepareRevisionSheet, WidthsComeFromTheTotalsRowWithTheFirstNumberAdded) {
    // {A, B, C as validation leaves them (text), first number} → widths 1, 2, 3
    const std::tuple<const char*, const char*, const char*, double, int32_t, int16_t, int16_t> cases[] = {
        {"999", "12", "30", 1, 4, 2, 2},
        {"480", "3", "40", 1, 3, 1, 2},
        {"480", "3", "40", 0, 3, 1, 2},
        {"6", "120", "8", 20260000, 8, 3, 1},
        {"", "", "", 0, 1, 0, 0},
    };
    for (const auto& [a, b, c, first, w1, w2, w3] : cases) {
        SCOPED_TRACE(testing::Message() << a << " + " << first);
        RosterFixture f;
        host::Worksheet& revision = f.Revision();
        revision.SetValueAt(5, 2, Variant("旧意见"));
        revision.Cells(host::kMaxRows, 1).SetNumberFormat("@");
        revision.SetValueAt(host::kMaxRows, 1, Variant(a));
        revision.SetValueAt(host::kMaxRows, 2, Variant(b));
        revision.SetValueAt(host::kMaxRows, 3, Variant(c));
        const arrangement::ExamNumbering n = arrangement::PrepareRevisionSheet(revision, first, 1.7e9);
        EXPECT_EQ(n.counterWidth, w1);
        EXPECT_EQ(n.roomWidth, w2);
        EXPECT_EQ(n.seatWidth, w3);
        EXPECT_EQ(revision.UsedRect(), (host::Rect{1, 1, 1, 1}));
        EXPECT_EQ(f.ReportText("A1"), "编排时间：2023/11/14 22:13:20");
    }
}

TEST(RemoveSystemColumns, SixtyOldColumnsGoInDeletionsOf29And29And2) {
    host::Application app;
    host::Worksheet& ws = app.Workbooks().Add().Sheet(1);
    // User columns at 1, 20, 45 and 64 (64 titled with a leading TAB, as pasted
    // text can be); the other 60 of columns 1–64 carry the arrangement's titles.
    const char* system[] = {"场号", "座号", "AB座号", "考号", "首考号", "尾考号", "场人", "场数", "班数", "级人", "班人", "楼层"};
    arrangement::SheetSettings settings;
    settings.extraFields = 1;
    settings.roomTable = host::Array2D(1, 4);
    settings.roomTable(1, 2) = Variant("楼层");
    const std::vector<int32_t> user{1, 20, 45, 64};
    for (int32_t c = 1; c <= 64; ++c) {
        const bool mine = std::find(user.begin(), user.end(), c) != user.end();
        ws.SetValueAt(1, c, Variant(mine ? (c == 64 ? "\t列" : "列") + std::to_string(c) : "\t" + std::string(system[c % 12])));
        ws.SetValueAt(2, c, Variant(c));
    }
    EXPECT_EQ(arrangement::RemoveSystemColumns(ws, settings), (std::vector<int32_t>{29, 29, 2}));
    EXPECT_EQ(ws.UsedRect().right, 4);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ws.ValueAt(1, i + 1), Variant((i == 3 ? "\t列" : "列") + std::to_string(user[size_t(i)])));
        EXPECT_EQ(ws.ValueAt(2, i + 1), Variant(user[size_t(i)]));
    }
    EXPECT_TRUE(arrangement::RemoveSystemColumns(ws, settings).empty());
}

TEST(RunArrangement, AscendingFillsTheRoomsInKeyOrderAndASecondRunGivesTheSameSheet) {
    SixCandidates f;
    const Cells before = SheetCells(f.grade);
    EXPECT_EQ(f.Run(Sorted(Ordering::Ascending, "分数")), std::vector<std::string>{"操作结束！"});
    // User columns and row order as before.
    const Cells after = SheetCells(f.grade);
    for (size_t r = 0; r < before.size(); ++r)
        EXPECT_EQ(std::vector<std::string>(after[r].begin(), after[r].begin() + 3), before[r]);
    EXPECT_EQ(Column(f.grade, 4), (std::vector<std::string>{"\t场号", "1", "2", "1", "1", "2", "1"}));
    EXPECT_EQ(Column(f.grade, 5), (std::vector<std::string>{"\t座号", "2", "2", "4", "3", "1", "1"}));
    // Six candidates from 1: width 1 (the text of 7).
    EXPECT_EQ(Column(f.grade, 7), (std::vector<std::string>{"\t考号", "2", "6", "4", "3", "5", "1"}));
    EXPECT_EQ(f.grade.UsedRect().right, 14);
    EXPECT_TRUE(f.app.ScreenUpdating());
    EXPECT_TRUE(f.app.DisplayAlerts());
    EXPECT_FALSE(f.app.StatusBar().has_value());
    EXPECT_EQ(f.app.Workbooks().Count(), 2) << "no report copy after a sorted run";

    EXPECT_EQ(f.Run(Sorted(Ordering::Ascending, "分数")), std::vector<std::string>{"操作结束！"});
    EXPECT_EQ(SheetCells(f.grade), after);
}

TEST(RunArrangement, NoneEntryWithDescendingKeepsTheRosterOrder) {
    SixCandidates f;
    f.Run(Sorted(Ordering::Descending, "\t无", ""));
    EXPECT_EQ(Column(f.grade, 4), (std::vector<std::string>{"\t场号", "1", "1", "1", "1", "2", "2"}));
    EXPECT_EQ(Column(f.grade, 5), (std::vector<std::string>{"\t座号", "1", "2", "3", "4", "1", "2"}));
    // First number empty: the counter starts at −1, so the first exam number is 0.
    EXPECT_EQ(Column(f.grade, 7), (std::vector<std::string>{"\t考号", "0", "1", "2", "3", "4", "5"}));
}

TEST(RunArrangement, FirstNumbersBeyond32BitsCountOn) {
    SixCandidates f;
    f.Run(Sorted(Ordering::Ascending, "分数", "20260100001"));
    EXPECT_EQ(Column(f.grade, 7), (std::vector<std::string>{"\t考号", "20260100002", "20260100006", "20260100004",
                                                             "20260100003", "20260100005", "20260100001"}));
}

TEST(RunArrangement, ASheetThatCannotBeArrangedIsLeftAsItWasAndNamed) {
    // One room of 32,768: more than a room's 16-bit count holds.
    RunWorld f(1, 1);
    host::Worksheet& grade = f.AddRoster("高一", {{"姓名", "班级"}});
    for (int32_t r = 2; r <= 32769; ++r) {
        grade.SetValueAt(r, 1, Variant(r));
        grade.SetValueAt(r, 2, Variant("1班"));
    }
    grade.SetValueAt(1, 3, Variant("\t场号"));  // left by an earlier run
    f.AddSettings("高一", 1, 1, 0, {{32768}});
    const std::vector<std::string> prompts = f.Run(Sorted(Ordering::Ascending, "\t无"));
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_TRUE(prompts[0].starts_with("工作表“高一”未能编排：")) << prompts[0];
    EXPECT_TRUE(prompts[0].ends_with("该工作表的考生数据保持原样。")) << prompts[0];
    EXPECT_EQ(prompts[1], arrangement::kNotAllArranged) << "never a plain success";
    EXPECT_EQ(grade.UsedRect().right, 2);
    EXPECT_EQ(grade.ValueAt(2, 1), Variant(2));
    EXPECT_EQ(grade.ValueAt(32769, 1), Variant(32769));
}

TEST(RunArrangement, ValidationErrorsShowTheRevisionSheetAndLeaveTheRoster) {
    SixCandidates f;
    f.grade.SetValueAt(8, 1, Variant("庚"));
    f.grade.SetValueAt(8, 2, Variant("3班"));  // one more than the settings seat
    const Cells before = SheetCells(f.grade);
    EXPECT_EQ(f.Run(Sorted(Ordering::Ascending, "分数")), std::vector<std::string>{"数据错误，请查看修改意见！"});
    EXPECT_EQ(SheetCells(f.grade), before);
    EXPECT_EQ(f.Revision().Visible(), host::xlSheetVisible);
    EXPECT_EQ(f.system.ActiveSheet(), &f.Revision());
    EXPECT_FALSE(f.app.StatusBar().has_value());
}

TEST(RunArrangement, SheetWithoutCandidatesIsSkippedAndTheOthersArranged) {
    RunWorld f(2, 2);
    host::Worksheet& empty = f.AddRoster("高一", {{"姓名", "班级"}});
    host::Worksheet& grade = f.AddRoster("高二", {{"姓名", "班级"}, {"丁", "3班"}, {"戊", "3班"}});
    f.AddSettings("高一", 2, 2, 0, {});
    f.AddSettings("高二", 2, 2, 0, {{0, 0}, {1, 1}});
    EXPECT_EQ(f.Run(Sorted(Ordering::Ascending, "\t无")), std::vector<std::string>{"操作结束！"});
    EXPECT_EQ(empty.UsedRect().right, 2);
    EXPECT_EQ(Column(grade, 3), (std::vector<std::string>{"\t场号", "2", "2"}));
}

TEST(RunArrangement, UnseparableClassmatesAreReportedAndCopiedIntoANewWorkbook) {
    // One room of 2 groups × 6: eleven of 1班 and one of 2班 cannot all sit apart.
    RunWorld f(2, 1);
    host::Worksheet& grade = f.AddRoster("高一", {{"姓名", "班级"}});
    for (int32_t r = 2; r <= 13; ++r) {
        grade.SetValueAt(r, 1, Variant("考生" + std::to_string(r)));
        grade.SetValueAt(r, 2, Variant(r == 7 ? "2班" : "1班"));
    }
    f.AddSettings("高一", 2, 1, 0, {{6, 6}});
    ArrangementOptions o = Sorted(Ordering::Random, "\t无");
    o.sequentialDesks = false;
    EXPECT_EQ(f.Run(o), std::vector<std::string>{"操作结束！请查看需人工调整的前后左右同班！"});

    ASSERT_EQ(f.app.Workbooks().Count(), 3);
    host::Workbook& copy = f.app.Workbooks().Item(3);
    ASSERT_EQ(copy.SheetCount(), 1);
    EXPECT_EQ(copy.Sheet(1).ValueAt(1, 1), f.Revision().ValueAt(1, 1));
    EXPECT_TRUE(host::ToText(copy.Sheet(1).ValueAt(2, 1)).starts_with("第1考场《高一》"));
    EXPECT_EQ(f.Revision().Visible(), host::xlSheetVeryHidden);

    // Every candidate seated once: seats 1–12 of room 1.
    std::vector<std::string> seats = Column(grade, 4);
    seats.erase(seats.begin());
    std::sort(seats.begin(), seats.end(), [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); });
    for (int i = 0; i < 12; ++i) EXPECT_EQ(seats[size_t(i)], std::to_string(i + 1));
}

}  // namespace

namespace {

// 高一 with a column titled by the number 2024 (as a pasted year row gives).
struct NumericTitle : RunWorld {
    host::Worksheet& grade;
    NumericTitle()
        : RunWorld(2, 2),
          grade(AddRoster("高一", {{"姓名", "班级"}, {"甲", "1班"}, {"乙", "2班"}, {"丙", "1班"}, {"丁", "2班"}})) {
        grade.SetValueAt(1, 3, Variant(2024));
        const double scores[] = {30, 10, 40, 20};
        for (int32_t r = 2; r <= 5; ++r) grade.SetValueAt(r, 3, Variant(scores[r - 2]));
        AddSettings("高一", 2, 2, 0, {{1, 1}, {1, 1}});
    }
};

}  // namespace

TEST(RunArrangement, ATitleStoredAsANumberIsTheFieldOfItsText) {
    {
        NumericTitle f;  // as sort key: rooms follow the scores 10, 20, 30, 40
        EXPECT_EQ(f.Run(Sorted(Ordering::Ascending, "2024")), std::vector<std::string>{"操作结束！"});
        EXPECT_EQ(Column(f.grade, 7), (std::vector<std::string>{"\t考号", "3", "1", "4", "2"}));
    }
    {
        NumericTitle f;  // as the exam-number prefix of method 2
        ArrangementOptions o = Sorted(Ordering::Ascending, "\t无");
        o.numberingByCounter = false;
        o.columnTitle = "2024";
        f.Run(o);
        const std::string first = host::ToText(f.grade.ValueAt(2, 7));
        EXPECT_TRUE(first.starts_with("30")) << first;
    }
}

TEST(RunArrangement, AFirstNumberThatIsNoWholeNumberStopsTheRunUnchanged) {
    for (const char* typed : {"-5", "1.5", "abc"}) {
        SCOPED_TRACE(typed);
        SixCandidates f;
        const Cells before = SheetCells(f.grade);
        const std::string k7 = host::ToText(f.system.Sheet(2).GetRange("K7").Value());
        f.toolkit.messages.clear();
        const workbook::Outcome outcome = arrangement::RunArrangement(f.component.Context(), Sorted(Ordering::Ascending, "分数", typed));
        EXPECT_EQ(outcome.kind, workbook::Outcome::Kind::Stopped);
        ASSERT_EQ(f.toolkit.messages.size(), 1u);
        EXPECT_EQ(f.toolkit.messages[0].prompt, "请输入正整数！");
        EXPECT_EQ(SheetCells(f.grade), before);
        EXPECT_EQ(host::ToText(f.system.Sheet(2).GetRange("K7").Value()), k7) << "nothing stored";
    }
}

TEST(RunArrangement, OutcomesTellDoneFromStoppedAndFlagTheRevisionReport) {
    SixCandidates f;
    workbook::Outcome done = arrangement::RunArrangement(f.component.Context(), Sorted(Ordering::Ascending, "分数"));
    EXPECT_EQ(done.kind, workbook::Outcome::Kind::Done);
    EXPECT_FALSE(done.revisionReport);

    f.grade.SetValueAt(8, 1, Variant("庚"));
    f.grade.SetValueAt(8, 2, Variant("3班"));
    workbook::Outcome errors = arrangement::RunArrangement(f.component.Context(), Sorted(Ordering::Ascending, "分数"));
    EXPECT_EQ(errors.kind, workbook::Outcome::Kind::Stopped);
    EXPECT_TRUE(errors.revisionReport);

    workbook::ParameterCells(f.system).SetRosterFileName("别的.xlsx");
    workbook::Outcome missing = arrangement::RunArrangement(f.component.Context(), Sorted(Ordering::Ascending, "分数"));
    EXPECT_EQ(missing.kind, workbook::Outcome::Kind::Stopped);
    EXPECT_FALSE(missing.revisionReport);
}

TEST(RunArrangement, TheWorkIsWrittenBeforeTheEndNoticeAndAFailedWriteReplacesIt) {
    SixCandidates f;
    f.toolkit.saveSucceeds = false;
    f.toolkit.messages.clear();
    workbook::Outcome failed = arrangement::RunArrangement(f.component.Context(), Sorted(Ordering::Ascending, "分数"));
    EXPECT_EQ(failed.kind, workbook::Outcome::Kind::FileError);
    for (const auto& m : f.toolkit.messages) EXPECT_EQ(m.prompt.find("操作结束"), std::string::npos) << m.prompt;
    EXPECT_EQ(f.toolkit.savedAfterMessages, std::vector<size_t>{0});

    f.toolkit.saveSucceeds = true;
    f.toolkit.savedAfterMessages.clear();
    EXPECT_EQ(f.Run(Sorted(Ordering::Ascending, "分数")), std::vector<std::string>{"操作结束！"});
    EXPECT_EQ(f.toolkit.savedAfterMessages, std::vector<size_t>{0}) << "written before the notice";
}

TEST(RunArrangement, EveryUserCellStaysAsItWasValueFormulaAndFormat) {
    for (Ordering ordering : {Ordering::Random, Ordering::Ascending, Ordering::Descending}) {
        SCOPED_TRACE(int(ordering));
        RunWorld f(2, 2);
        host::Worksheet& grade = f.AddRoster("高一", {{"姓名", "班级", "分数", "生日"}});
        const char* classes[] = {"1班", "2班", "3班"};
        for (int32_t r = 2; r <= 13; ++r) {
            grade.SetValueAt(r, 1, Variant("考生" + std::to_string(r)));
            grade.SetValueAt(r, 2, Variant(classes[r % 3]));
            grade.Cells(r, 3).SetFormula("=" + std::to_string(r) + "*10");
            grade.SetValueAt(r, 4, Variant(45000.0 + r));
        }
        grade.Cells(3, 1).Interior().SetColorIndex(6);  // one candidate highlighted
        grade.Cells(5, 1).Font().SetBold(true);
        grade.Cells(2, 4).Resize(12, 1).SetNumberFormat("yyyy-mm-dd");
        f.AddSettings("高一", 2, 2, 0, {{3, 3}, {3, 3}});
        struct Was {
            std::string formula;
            Variant value;
            uint32_t style;
        };
        std::vector<Was> before;
        for (int32_t r = 1; r <= 13; ++r)
            for (int32_t c = 1; c <= 4; ++c)
                before.push_back({grade.Cells(r, c).Formula(), grade.ValueAt(r, c), grade.StyleAt(r, c)});

        ArrangementOptions o = Sorted(ordering, ordering == Ordering::Random ? "\t无" : "班级");
        const std::vector<std::string> prompts = f.Run(o);
        ASSERT_FALSE(prompts.empty());
        EXPECT_TRUE(prompts.back().starts_with("操作结束！")) << prompts.back();
        size_t i = 0;
        for (int32_t r = 1; r <= 13; ++r)
            for (int32_t c = 1; c <= 4; ++c, ++i) {
                SCOPED_TRACE("R" + std::to_string(r) + "C" + std::to_string(c));
                EXPECT_EQ(grade.Cells(r, c).Formula(), before[i].formula);
                EXPECT_EQ(grade.ValueAt(r, c), before[i].value);
                EXPECT_EQ(grade.StyleAt(r, c), before[i].style);
            }
        EXPECT_EQ(host::ToText(grade.ValueAt(1, 5)), "\t场号");
        for (int32_t r = 2; r <= 13; ++r) EXPECT_FALSE(host::ToText(grade.ValueAt(r, 5)).empty()) << "row " << r << " seated";
    }
}

TEST(RunArrangement, SystemColumnsThatDoNotFitLeaveTheSheetAsItWasAndAreNamed) {
    SixCandidates f;
    f.grade.SetValueAt(2, host::kMaxColumns - 5, Variant("备注"));  // a stray value near XFD
    const Cells before = SheetCells(f.grade);
    const std::vector<std::string> prompts = f.Run(Sorted(Ordering::Ascending, "分数"));
    ASSERT_FALSE(prompts.empty());
    EXPECT_TRUE(prompts[0].starts_with("工作表“高一”未能编排：")) << prompts[0];
    EXPECT_NE(prompts.back(), "操作结束！");
    EXPECT_EQ(SheetCells(f.grade), before);
}

TEST(RunArrangement, ClassValuesThatDifferOnlyInTypeOrCaseAreOneClassAndEveryoneIsSeated) {
    // 30 candidates: class 1 typed as the number and as pasted text, 甲 in
    // "a班" and "A班", and 乙班; random runs, several seeds.
    for (uint32_t seed : {1u, 7u, 42u}) {
        SCOPED_TRACE(seed);
        RunWorld f(2, 3);
        f.toolkit.random = platform::RandomSource(seed);
        host::Worksheet& grade = f.AddRoster("高一", {{"姓名", "班级"}});
        for (int32_t r = 2; r <= 31; ++r) {
            grade.SetValueAt(r, 1, Variant("考生" + std::to_string(r)));
            const int k = r % 5;
            grade.SetValueAt(r, 2, k == 0 ? Variant(1) : k == 1 ? Variant("1") : k == 2 ? Variant("a班") : k == 3 ? Variant("A班") : Variant("乙班"));
        }
        f.AddSettings("高一", 2, 3, 0, {{5, 5}, {5, 5}, {5, 5}});
        ArrangementOptions o = Sorted(Ordering::Random, "\t无");
        const std::vector<std::string> prompts = f.Run(o);
        ASSERT_FALSE(prompts.empty());
        EXPECT_TRUE(prompts.back().starts_with("操作结束！")) << prompts.back();
        // The class table lists three classes.
        host::Worksheet& settings = *f.roster.SheetByName(workbook::SettingsSheetNameFor("高一"));
        EXPECT_EQ(settings.ValueAt(2, 5), Variant(3)) << "班数";
        // Every candidate has a whole seat and a room; no seat is given twice.
        std::set<std::pair<std::string, std::string>> seats;
        for (int32_t r = 2; r <= 31; ++r) {
            const Variant room = grade.ValueAt(r, 3), seat = grade.ValueAt(r, 4);
            ASSERT_TRUE(seat.IsNumber()) << "row " << r << " seat " << host::ToText(seat);
            EXPECT_EQ(seat.Number(), std::floor(seat.Number()));
            EXPECT_TRUE(seats.insert({host::ToText(room), host::ToText(seat)}).second) << "row " << r;
        }
        // The user's cells keep their own types.
        EXPECT_EQ(grade.ValueAt(5, 2), Variant(1));
        EXPECT_EQ(grade.ValueAt(6, 2), Variant("1"));
        EXPECT_EQ(grade.ValueAt(8, 2), Variant("A班"));
    }
}
