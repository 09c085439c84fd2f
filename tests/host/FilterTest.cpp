#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"

using namespace host;

namespace {

struct FilterFixture : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    void Fill(const std::vector<std::vector<Variant>>& rows) {
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c) ws.SetValueAt(int32_t(r) + 1, int32_t(c) + 1, rows[r][c]);
    }
    std::vector<std::vector<Variant>> Read(Worksheet& sheet, int32_t top, int32_t left, int32_t rows, int32_t cols) {
        std::vector<std::vector<Variant>> out(static_cast<size_t>(rows), std::vector<Variant>{});
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c < cols; ++c) out[size_t(r)].push_back(sheet.ValueAt(top + r, left + c));
        return out;
    }
};

using AdvancedFilter = FilterFixture;

TEST_F(AdvancedFilter, UniqueRecordsByTheHostComparison) {
    Fill({{Variant("班级"), Variant("姓名")},
          {Variant("一班"), Variant("Li")},
          {Variant("二班"), Variant("Wang")},
          {Variant("一班"), Variant("LI")},      // equal to row 2 without regard to case
          {Variant(1), Variant("x")},
          {Variant("1"), Variant("X")},          // same text form as the number 1: one record
          {Variant("二班"), Variant("Wang")},
          {Variant(), Variant("y")}});
    Worksheet& out = wb.Worksheets().Add();
    ws.GetRange("A:B").AdvancedFilter(out.GetRange("C3"), true);
    auto got = Read(out, 3, 3, 7, 2);
    std::vector<std::vector<Variant>> expected = {
        {Variant("班级"), Variant("姓名")}, {Variant("一班"), Variant("Li")}, {Variant("二班"), Variant("Wang")},
        {Variant(1), Variant("x")},        {Variant(), Variant("y")},        {Variant(), Variant()},
        {Variant(), Variant()}};
    EXPECT_EQ(got, expected);
}

TEST_F(AdvancedFilter, AllRecordsWithFormatsWhenNotUnique) {
    Fill({{Variant("号")}, {Variant(3)}, {Variant(3)}});
    CellFormat bold;
    bold.font.bold = true;
    ws.SetStyleAt(1, 1, wb.Styles().Intern(bold));
    Workbook& other = app.Workbooks().Add();
    ws.GetRange("A1:A3").AdvancedFilter(other.Sheet(1).GetRange("A1"), false);
    EXPECT_EQ(Read(other.Sheet(1), 1, 1, 3, 1),
              (std::vector<std::vector<Variant>>{{Variant("号")}, {Variant(3)}, {Variant(3)}}));
    EXPECT_TRUE(other.Styles().Get(other.Sheet(1).StyleAt(1, 1)).font.bold);
    EXPECT_THROW(ws.GetRange("A1:A3").AdvancedFilter(Range(), true), HostError);
}

}  // namespace
