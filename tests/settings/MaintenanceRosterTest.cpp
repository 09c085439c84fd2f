// MaintainRosterData on roster workbooks built in memory, in cleaning (Yes)
// and marking (No) mode.
#include <gtest/gtest.h>

#include "RosterCheckFixtures.h"
#include "host/HostError.h"
#include "settings/MaintenanceParts.h"
#include "settings/RosterMaintenance.h"

using coretest::RosterFixture;
using host::Variant;

namespace {

const platform::MsgResult kClean = platform::MsgResult::Yes;
const platform::MsgResult kMark = platform::MsgResult::No;

struct Maintenance : RosterFixture {
    void Run(platform::MsgResult answer) {
        toolkit.answers.push_back(answer);
        settings::MaintainRosterData(component.Context());
    }
    host::Worksheet& Sheet(const char* name) { return *roster.SheetByName(name); }
    // Column A of the revision sheet from row 1 down to its last value.
    std::vector<std::string> RevisionLines() {
        std::vector<std::string> lines;
        host::Rect used = Revision().UsedRect();
        for (int32_t r = 1; r <= used.bottom; ++r) lines.push_back(host::ToText(Revision().ValueAt(r, 1)));
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines;
    }
    std::vector<std::string> Prompts() const {
        std::vector<std::string> p;
        for (const auto& m : toolkit.messages) p.push_back(m.prompt);
        return p;
    }
};

// 姓名 | 班级 with rows 5 and 9 repeating row 3.
void FillWithRepeats(host::Worksheet& ws) {
    coretest::FillRows(ws, {{"姓名", "班级"}, {"甲", "1班"}, {"乙", "1班"}, {"丙", "2班"}, {"乙", "1班"},
                            {"丁", "2班"}, {"戊", "1班"}, {"己", "2班"}, {"乙", "1班"}, {"庚", "2班"}});
}

TEST(MaintainRosterData, TheQuestionAndItsCancel) {
    Maintenance f;
    FillWithRepeats(f.AddSheet("高一"));
    f.Revision().SetValueAt(3, 1, Variant("上次的报告"));
    f.Run(platform::MsgResult::Cancel);
    ASSERT_EQ(f.toolkit.messages.size(), 1u);
    const platform::MessageBoxRequest& q = f.toolkit.messages[0];
    EXPECT_EQ(q.prompt,
              "本操作可能会修改花名册数据，单击按钮“是”将直接删除存在的空行、空列及多余的重复行并取消单元格合并；"
              "单击按钮“否”将不会删除数据但保留查询标志；就此打住并退出本操作请点击按钮“取消”！");
    EXPECT_EQ(q.buttons, platform::MsgButtons::YesNoCancel);
    EXPECT_EQ(q.icon, platform::MsgIcon::Information);
    EXPECT_EQ(q.title, "提示信息…");
    EXPECT_EQ(f.Revision().ValueAt(3, 1), Variant("上次的报告"));
    EXPECT_EQ(f.Sheet("高一").UsedRect(), (host::Rect{1, 1, 10, 2}));
}

TEST(MaintainRosterData, RepeatedRowsDeletedWhenCleaningMarkedOtherwise) {
    Maintenance clean;
    FillWithRepeats(clean.AddSheet("高一"));
    clean.Run(kClean);
    host::Array2D left = clean.Sheet("高一").UsedRange().Values();
    ASSERT_EQ(left.Rows(), 8);
    const char* names[] = {"姓名", "甲", "乙", "丙", "丁", "戊", "己", "庚"};
    for (int32_t r = 1; r <= 8; ++r) EXPECT_EQ(left(r, 1), Variant(names[r - 1])) << r;
    EXPECT_EQ(left.Columns(), 2) << "no mark column when cleaning";

    Maintenance mark;
    FillWithRepeats(mark.AddSheet("高一"));
    mark.Run(kMark);
    host::Worksheet& ws = mark.Sheet("高一");
    EXPECT_EQ(ws.UsedRect(), (host::Rect{1, 1, 10, 3}));
    for (int32_t r = 1; r <= 10; ++r)
        EXPECT_EQ(ws.ValueAt(r, 3), r == 5 || r == 9 ? Variant(-1) : Variant()) << r;
    EXPECT_EQ(ws.ValueAt(9, 1), Variant("乙"));
}

TEST(MaintainRosterData, EmptyColumnOf150RowsInBothModes) {
    auto fill = [](host::Worksheet& ws) {
        ws.SetValueAt(1, 1, Variant("姓名"));
        ws.SetValueAt(1, 3, Variant("班级"));
        for (int32_t r = 2; r <= 150; ++r) {
            ws.SetValueAt(r, 1, Variant("考生" + std::to_string(r)));
            ws.SetValueAt(r, 3, Variant("1班"));
        }
    };
    Maintenance clean;
    fill(clean.AddSheet("高一"));
    clean.Run(kClean);
    EXPECT_EQ(clean.Sheet("高一").UsedRect(), (host::Rect{1, 1, 150, 2}));
    EXPECT_EQ(clean.Sheet("高一").ValueAt(1, 2), Variant("班级"));
    EXPECT_EQ(clean.RevisionLines().at(3), "《高一》");
    EXPECT_EQ(clean.RevisionLines().size(), 4u) << "nothing else to report";

    Maintenance mark;
    fill(mark.AddSheet("高一"));
    mark.Run(kMark);
    host::Worksheet& ws = mark.Sheet("高一");
    EXPECT_EQ(ws.ValueAt(1, 2), Variant(-1));
    EXPECT_EQ(ws.ValueAt(1, 3), Variant("班级"));
    std::vector<std::string> lines = mark.RevisionLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3], "《高一》");
    EXPECT_EQ(lines[4], "“-1”列的空单元格>100个");
}

TEST(MaintainRosterData, TitledColumnWithoutValuesStaysAndIsListed) {
    Maintenance f;
    coretest::FillRows(f.AddSheet("高一"), {{"姓名", "班级", "备注"}, {"甲", "1班"}, {"乙", "1班"}, {"丙", "2班"}});
    f.Run(kClean);
    EXPECT_EQ(f.Sheet("高一").ValueAt(1, 3), Variant("备注"));
    std::vector<std::string> lines = f.RevisionLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], "“备注”列的空单元格有：C2,C3,C4,");
}

TEST(MaintainRosterData, EmptyCellsBeyondOneHundredAreNotListed) {
    struct Case {
        int emptyCells;
        bool listed;
    };
    for (Case c : {Case{100, true}, Case{101, false}}) {
        Maintenance f;
        host::Worksheet& ws = f.AddSheet("高一");
        coretest::FillRows(ws, {{"姓名", "班级", "电话"}});
        for (int32_t r = 2; r <= c.emptyCells + 1; ++r) {
            ws.SetValueAt(r, 1, Variant("考生" + std::to_string(r)));
            ws.SetValueAt(r, 2, Variant("1班"));
        }
        f.Run(kMark);
        std::string line = f.RevisionLines().at(4);
        if (c.listed) {
            EXPECT_TRUE(line.starts_with("“电话”列的空单元格有：C2,C3,")) << line;
            EXPECT_TRUE(line.ends_with(",C101,")) << line;
        } else {
            EXPECT_EQ(line, "“电话”列的空单元格>100个");
        }
    }
}

TEST(MaintainRosterData, ManyEmptyRowsGoInBatchesAndTheRestKeepsItsOrder) {
    Maintenance f;
    host::Worksheet& ws = f.AddSheet("高一");
    ws.SetValueAt(1, 1, Variant("姓名"));
    ws.SetValueAt(1, 2, Variant("班级"));
    // Candidates on every third row, two empty rows between each: 2 × 40 empty rows.
    for (int32_t i = 0; i < 40; ++i) {
        ws.SetValueAt(2 + 3 * i, 1, Variant("考生" + std::to_string(i)));
        ws.SetValueAt(2 + 3 * i, 2, Variant("1班"));
    }
    ws.SetValueAt(2 + 3 * 39 + 2, 2, Variant("尾"));  // keeps the last empty rows inside the used range
    f.Run(kClean);
    host::Array2D left = ws.UsedRange().Values();
    ASSERT_EQ(left.Rows(), 42);
    for (int32_t i = 0; i < 40; ++i) EXPECT_EQ(left(i + 2, 1), Variant("考生" + std::to_string(i))) << i;
    EXPECT_EQ(left(42, 2), Variant("尾"));
}

TEST(MaintainRosterData, MergedCellsRedWhenMarkingUnmergedWhenCleaning) {
    for (platform::MsgResult answer : {kMark, kClean}) {
        Maintenance f;
        host::Worksheet& ws = f.AddSheet("高一");
        coretest::FillRows(ws, {{"姓名", "班级"}, {"甲", "1班"}, {"乙", "1班"}, {"丙", "2班"}});
        ws.GetRange("B2:B3").Merge();
        ws.GetRange("A4:B4").Merge();
        f.Run(answer);
        if (answer == kMark) {
            EXPECT_EQ(ws.MergedAreas().size(), 2u);
            EXPECT_EQ(ws.GetRange("B2").Interior().ColorIndex(), 3);
            EXPECT_EQ(ws.GetRange("A4").Interior().ColorIndex(), 3);
            EXPECT_NE(ws.GetRange("A2").Interior().ColorIndex(), 3);
        } else {
            EXPECT_TRUE(ws.MergedAreas().empty());
            EXPECT_NE(ws.GetRange("B2").Interior().ColorIndex(), 3);
        }
    }
}

// More merged areas than one batch of 30: every one is found although the
// first batches are treated before the last ones.
TEST(MaintainRosterData, MergedCellsBeyondOneBatch) {
    for (platform::MsgResult answer : {kClean, kMark}) {
        Maintenance f;
        host::Worksheet& ws = f.AddSheet("高一");
        ws.SetValueAt(1, 1, Variant("姓名"));
        ws.SetValueAt(1, 2, Variant("班级"));
        for (int32_t i = 0; i < 35; ++i) {
            int32_t r = 2 + 2 * i;
            ws.SetValueAt(r, 1, Variant("考生" + std::to_string(i)));
            ws.SetValueAt(r, 2, Variant("1班"));
            ws.GetRange(host::Rect{r, 1, r + 1, 1}).Merge();
        }
        f.Run(answer);
        if (answer == kClean) {
            EXPECT_TRUE(ws.MergedAreas().empty());
            continue;
        }
        EXPECT_EQ(ws.MergedAreas().size(), 35u);
        for (int32_t i = 0; i < 35; ++i) EXPECT_EQ(ws.Cells(2 + 2 * i, 1).Interior().ColorIndex(), 3) << i;
    }
}

TEST(MaintainRosterData, ClassTitleAndMissingDataMessages) {
    struct Case {
        std::vector<Variant> titles;
        std::vector<std::string> messages;  // after "《高一》"
    };
    const Case cases[] = {
        {{"姓名", "学号"}, {"没有考生数据", "第1行没有“班级”字段"}},
        {{"姓名", "班级"}, {"没有考生数据"}},
        {{"班级", "姓名", "班级"}, {"没有考生数据", "第1行有2个“班级”字段"}},
    };
    for (const Case& c : cases) {
        Maintenance f;
        host::Worksheet& ws = f.AddSheet("高一");
        for (size_t i = 0; i < c.titles.size(); ++i) ws.SetValueAt(1, int32_t(i) + 1, c.titles[i]);
        f.Run(kMark);
        std::vector<std::string> lines = f.RevisionLines();
        std::vector<std::string> got(lines.begin() + 4, lines.end());
        EXPECT_EQ(got, c.messages) << c.messages.back();
    }
}

TEST(MaintainRosterData, RevisionSheetListsEverySheetTwoRowsApart) {
    Maintenance f;
    coretest::FillRows(f.AddSheet("高一"), {{"姓名", "班级"}, {"甲", "1班"}, {"乙"}});
    coretest::FillRows(f.AddSheet("高二"), {{"姓名", "班"}, {"丙", "3班"}});
    f.AddSettings("高二", 2, 2, 0, {});
    f.Revision().SetVisible(host::xlSheetVeryHidden);
    f.Run(kMark);
    const std::vector<std::string> expected = {
        // The empty slots of a list (data columns + 3) do not count as filled.
        "查询时间：2023/11/14 22:13:20", f.roster.FullName(), "", "《高一》", "“班级”列的空单元格有：B3,", "",
        "《高二》", "第1行没有“班级”字段",
    };
    EXPECT_EQ(f.RevisionLines(), expected);
    EXPECT_EQ(f.Revision().Visible(), host::xlSheetVisible);
    EXPECT_EQ(f.system.ActiveSheet(), &f.Revision());
    EXPECT_EQ(f.Prompts().back(), "数据维护完毕！");
    EXPECT_EQ(f.toolkit.messages.back().title, "提示信息…");
}

TEST(MaintainRosterData, WorkbookWithoutRosterSheets) {
    Maintenance f;
    f.AddSettings("高一", 2, 2, 0, {});
    f.Run(kClean);
    std::vector<std::string> lines = f.RevisionLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "《花名册.xlsx》没有花名册数据工作表！");
    EXPECT_EQ(f.Prompts().back(), "数据维护完毕！");
}

TEST(MaintainRosterData, WithoutRosterWorkbookOnlyThePathMessage) {
    Maintenance f;
    workbook::ParameterCells cells(f.system);
    cells.SetRosterFolder("");
    cells.SetRosterFileName("");
    f.app.SetScreenUpdating(false);
    f.Run(kClean);
    ASSERT_GE(f.Prompts().size(), 2u);
    EXPECT_EQ(f.Prompts()[f.Prompts().size() - 2], "目标路径“”不存在！操作中断！");
    EXPECT_EQ(f.Prompts().back(), "还没有选择花名册：请在“设置”窗口中单击“打开 (&O)”，选择花名册工作簿。");
    EXPECT_TRUE(f.Revision().UsedRange().Value().IsEmpty());
    EXPECT_TRUE(f.app.ScreenUpdating());
}

TEST(MaintainRosterData, UnreadableRosterFileIsAFileErrorNotAMissingPath) {
    Maintenance f;
    testing_support::WriteFile(f.dir.File("坏.xlsx"), "not a zip archive");
    workbook::ParameterCells(f.system).SetRosterFileName("坏.xlsx");
    EXPECT_THROW(f.Run(kClean), host::FileError);
    EXPECT_EQ(f.Prompts().size(), 1u) << "only the question was shown";
}

TEST(MaintenanceChecks, HostDateTimeText) {
    const std::pair<double, const char*> cases[] = {
        {1.7e9, "2023/11/14 22:13:20"},
        {1798761600 + 3600 + 6 * 60 + 8, "2027/1/1 1:06:08"},
        {1798761600, "2027/1/1"},  // midnight: the date alone
        {951782400, "2000/2/29"},
    };
    for (auto [seconds, text] : cases) EXPECT_EQ(settings::maintenance::HostDateTimeText(seconds), text);
}

}  // namespace
