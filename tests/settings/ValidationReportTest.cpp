// The report block and desk-sharing table in memory, before any sheet is involved.
#include <gtest/gtest.h>

#include "settings/ValidationParts.h"

using namespace settings::validation;

namespace {

TEST(ValidationReportBlock, ShapeAndLabelsFollowRoomsSheetsAndRoomChecks) {
    ReportBlock on(3, 2, true, "/data/花名册.xlsx");
    EXPECT_EQ(on.Rows(), 18);
    EXPECT_EQ(on.Columns(), 5);
    EXPECT_EQ(on.At(1, 1), "花名册路径/data/花名册.xlsx");
    const std::pair<int32_t, const char*> labels[] = {
        {2, "设置表"},   {3, "考场总数"}, {4, "考生人数"},     {5, "备注"},     {6, "花名册"},
        {7, "按班级统计"}, {8, "考生人数"}, {9, "已用行数"},    {10, "已用列数"}, {11, "备注"},
        {12, "按考场号统计"}, {13, "考场总数"}, {14, "考场人数"}, {15, "备注"},   {16, "1"},
        {17, "2"},       {18, "3"},
    };
    for (auto [row, text] : labels) EXPECT_EQ(on.At(row, 1), text) << row;
    for (int32_t row : {2, 6}) {
        EXPECT_EQ(on.At(row, 4), "结论");
        EXPECT_EQ(on.At(row, 5), "修改意见");
    }

    ReportBlock off(3, 2, false, "x");
    EXPECT_EQ(off.Rows(), 18) << "the block keeps R + 15 rows without room checks";
    EXPECT_EQ(off.At(11, 1), "备注");
    for (int32_t row = 12; row <= 18; ++row) EXPECT_EQ(off.At(row, 1), "") << row;
}

TEST(ValidationReportBlock, ConclusionCellsAreSharedAndAppendAccumulates) {
    ReportBlock b(1, 2, false, "");
    b.Conclude(kRowRosterRemark, "第一", "甲");
    b.Conclude(kRowRosterRemark, "第二", "乙");
    EXPECT_EQ(b.At(kRowRosterRemark, 4), "第二");
    EXPECT_EQ(b.At(kRowRosterRemark, 5), "乙");
    b.Set(kRowRosterRemark, ReportBlock::SheetColumn(1), "存在合并单元格");
    b.Append(kRowRosterRemark, ReportBlock::SheetColumn(1), "缺少“班级”字段");
    EXPECT_EQ(b.At(kRowRosterRemark, 2), "存在合并单元格缺少“班级”字段");
    b.AppendConclusion(kRowRosterRemark, "X", "Y");
    EXPECT_EQ(b.At(kRowRosterRemark, 4), "第二X");
    // A cell past the block (a room 5 of 1) is ignored rather than written elsewhere.
    b.Set(20, 2, "越界");
    b.Set(2, 9, "越界");
    for (int32_t r = 1; r <= b.Rows(); ++r)
        for (int32_t c = 1; c <= b.Columns(); ++c) EXPECT_NE(b.At(r, c), "越界");
}

TEST(ValidationReportBlock, ReenteredTextBecomesNumbersWhereNumeric) {
    struct Case {
        std::string text;
        host::Variant value;
    };
    const Case cases[] = {
        {"", host::Variant()},
        {"3", host::Variant(3)},
        {"2.5", host::Variant(2.5)},
        {"高一\t设置", host::Variant("高一\t设置")},
        {"2024", host::Variant(2024)},
        {"=SUM(A1)", host::Variant("=SUM(A1)")},  // never made into a formula
        {"1班", host::Variant("1班")},
    };
    for (const Case& c : cases) EXPECT_EQ(Reentered(c.text), c.value) << c.text;

    ReportBlock b(0, 1, false, "");
    b.SetNumber(kRowUsedRows, 2, 41);
    host::Array2D a = b.Entered();
    EXPECT_EQ(a(kRowUsedRows, 2), host::Variant(41));
    EXPECT_EQ(a(kRowUsedRows, 1), host::Variant("已用行数"));
    EXPECT_TRUE(a(kRowUsedRows, 3).IsEmpty());
}

TEST(ValidationDeskSharing, CountsGradesAndFailsAboveTheAllowedNumber) {
    DeskSharingTable t(2, 3);
    EXPECT_EQ(t.Rows(), 4);
    EXPECT_EQ(t.Columns(), 6);
    EXPECT_TRUE(t.AddGrade(1, 1, 2));
    EXPECT_TRUE(t.AddGrade(1, 1, 2));
    EXPECT_FALSE(t.AddGrade(1, 1, 2)) << "a third grade in a group allowing two";
    EXPECT_TRUE(t.AddGrade(2, 3, 2));
    EXPECT_EQ(t.Count(1, 1), 3);

    host::Array2D a = t.Entered();
    EXPECT_EQ(a(1, 1), host::Variant("同桌年级数检查"));
    const char* titles[] = {"场号", "1组", "2组", "3组", "结论", "修复意见"};
    for (int32_t c = 1; c <= 6; ++c) EXPECT_EQ(a(2, c), host::Variant(titles[c - 1])) << c;
    EXPECT_EQ(a(3, 1), host::Variant(1));
    EXPECT_EQ(a(3, 2), host::Variant(3));
    EXPECT_TRUE(a(3, 3).IsEmpty()) << "a group no grade uses stays empty";
    EXPECT_EQ(a(3, 5), host::Variant("同桌年级数不符"));
    EXPECT_EQ(a(3, 6), host::Variant("请修改设置表或窗口参数“同桌年级总数”"));
    EXPECT_EQ(a(4, 1), host::Variant(2));
    EXPECT_EQ(a(4, 4), host::Variant(1));
    EXPECT_TRUE(a(4, 5).IsEmpty());
}

TEST(ValidationKeys, RoomsAndClassesMatchByTextForm) {
    EXPECT_TRUE(SameKey(host::Variant(1), host::Variant("1")));
    EXPECT_TRUE(SameKey(host::Variant("1班"), host::Variant("1班")));
    EXPECT_FALSE(SameKey(host::Variant(1), host::Variant("1.0")));
    EXPECT_FALSE(SameKey(host::Variant("1班"), host::Variant("2班")));

    host::Array2D data(5, 2);
    data(1, 1) = host::Variant("班级");
    data(1, 2) = host::Variant("\t场号");
    const std::pair<const char*, int> rows[] = {{"1班", 1}, {"1班", 2}, {"", 2}, {"2班", 1}};
    for (int r = 0; r < 4; ++r) {
        if (*rows[r].first) data(r + 2, 1) = host::Variant(rows[r].first);
        data(r + 2, 2) = host::Variant(rows[r].second);
    }
    Tally rooms = CountRows(data, 5, 1, 2, {host::Variant(1), host::Variant(2)});
    EXPECT_EQ(rooms.counts, (std::vector<int32_t>{2, 1})) << "the row without a class is not counted";
    EXPECT_EQ(rooms.matched, 3);
    EXPECT_EQ(ColumnsTitled(data, "班级"), std::vector<int32_t>{1});
    EXPECT_EQ(ColumnsTitled(data, "场号"), std::vector<int32_t>{}) << "the TAB belongs to the title";
}

}  // namespace
