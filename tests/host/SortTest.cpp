#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Collation.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"

using namespace host;

namespace {

Variant T(const char* s) { return Variant(s); }
const Variant kTrue = Variant::Boolean(true), kFalse = Variant::Boolean(false);
const Variant kNA = Variant::Error(CellError::NA), kDiv0 = Variant::Error(CellError::Div0);

struct SheetFixture : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    void FillColumn(int32_t col, int32_t top, const std::vector<Variant>& v) {
        for (size_t i = 0; i < v.size(); ++i) ws.SetValueAt(top + int32_t(i), col, v[i]);
    }
    std::vector<Variant> Column(int32_t col, int32_t top, int32_t bottom) {
        std::vector<Variant> out;
        for (int32_t r = top; r <= bottom; ++r) out.push_back(ws.ValueAt(r, col));
        return out;
    }
    void SortColumn(int32_t n, XlSortOrder order, bool matchCase = false) {
        Range area(&ws, Rect{1, 1, n, 2});
        area.Sort({{Range(&ws, Rect{1, 1, 1, 1}), order}}, xlNo, xlTopToBottom, matchCase);
    }
};

struct OrderCase {
    const char* name;
    std::vector<Variant> input;
    XlSortOrder order;
    bool matchCase;
    std::vector<Variant> expected;
};

using SortOrder = SheetFixture;

TEST_F(SortOrder, FollowsTheHostOrderTable) {
    const OrderCase cases[] = {
        {"types ascending", {T("b"), 3, kTrue, Variant(), kNA, kFalse, 1, T("A"), kDiv0}, xlAscending, false,
         {1, 3, T("A"), T("b"), kFalse, kTrue, kNA, kDiv0, Variant()}},
        {"types descending, empty still last", {T("b"), 3, Variant(), kTrue, kFalse, 1, T("A")}, xlDescending, false,
         {kTrue, kFalse, T("b"), T("A"), 3, 1, Variant()}},
        {"pinyin", {T("赵"), T("王"), T("张"), T("李")}, xlAscending, false, {T("李"), T("王"), T("张"), T("赵")}},
        {"长 reads zhang", {T("赵"), T("长"), T("张"), T("阿")}, xlAscending, false,
         {T("阿"), T("张"), T("长"), T("赵")}},
        {"digits and Latin before Han", {T("王五"), T("Zed"), T("9号"), T("abc")}, xlAscending, false,
         {T("9号"), T("abc"), T("Zed"), T("王五")}},
        {"character by character", {T("A11"), T("A1"), T("A100")}, xlAscending, false, {T("A1"), T("A100"), T("A11")}},
        {"numbers as text are text", {T("2"), T("123"), 5, T("10")}, xlAscending, false, {5, T("10"), T("123"), T("2")}},
        {"case ignored keeps the first order", {T("apple"), T("APPLE"), T("Apple"), T("a")}, xlAscending, false,
         {T("a"), T("apple"), T("APPLE"), T("Apple")}},
        {"case matched: lower first", {T("APPLE"), T("Apple"), T("apple")}, xlAscending, true,
         {T("apple"), T("Apple"), T("APPLE")}},
        {"apostrophes and hyphens ignored", {T("donut"), T("dont"), T("don't"), T("co-op"), T("cop")}, xlAscending, false,
         {T("co-op"), T("cop"), T("don't"), T("dont"), T("donut")}},
        {"digits before space and punctuation", {T("#a"), T(" a"), T("1a"), T("ba")}, xlAscending, false,
         {T("1a"), T(" a"), T("#a"), T("ba")}},
        {"descending numbers", {2.5, -1, 10, 0}, xlDescending, false, {10, 2.5, 0, -1}},
    };
    for (const auto& c : cases) {
        ws.RowsData().clear();
        FillColumn(1, 1, c.input);
        // Column B tags each row so that moved rows show whole.
        for (size_t i = 0; i < c.input.size(); ++i) ws.SetValueAt(int32_t(i) + 1, 2, Variant(int(i)));
        SortColumn(int32_t(c.input.size()), c.order, c.matchCase);
        EXPECT_EQ(Column(1, 1, int32_t(c.input.size())), c.expected) << c.name;
        for (size_t i = 0; i < c.input.size(); ++i) {
            const Variant& tag = ws.ValueAt(int32_t(i) + 1, 2);
            ASSERT_TRUE(tag.IsNumber()) << c.name;
            EXPECT_EQ(ws.ValueAt(int32_t(i) + 1, 1), c.input[size_t(tag.Number())]) << c.name << " row " << i + 1;
        }
    }
}

TEST(Collation, EqualKeysMeanEqualText) {
    const TextCollation& caseless = TextCollation::Get(false);
    EXPECT_EQ(caseless.Compare("Apple", "apple"), 0);
    EXPECT_LT(caseless.Compare("apple", "applf"), 0);
    EXPECT_LT(caseless.Compare("co-op", "coop"), 0);  // the tie-break keeps them apart
    EXPECT_EQ(caseless.Compare("１２", "12"), 0);       // full-width digits differ only in width
    EXPECT_NE(TextCollation::Get(true).Compare("Apple", "apple"), 0);
}

using SortRange = SheetFixture;

TEST_F(SortRange, ThreeKeysWithTheirOwnOrder) {
    // class  score  name
    const std::vector<std::vector<Variant>> rows = {
        {2, 90, T("b")}, {1, 80, T("a")}, {2, 90, T("a")}, {1, 95, T("c")}, {2, 70, T("d")},
    };
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < 3; ++c) ws.SetValueAt(int32_t(r) + 2, int32_t(c) + 1, rows[r][c]);
    ws.SetValueAt(1, 1, T("班级"));
    ws.SetValueAt(1, 2, T("分数"));
    ws.SetValueAt(1, 3, T("姓名"));
    Range(&ws, Rect{1, 1, 6, 3})
        .Sort({{Range(&ws, Rect{1, 1, 1, 1}), xlAscending},
               {Range(&ws, Rect{1, 2, 1, 2}), xlDescending},
               {Range(&ws, Rect{1, 3, 1, 3}), xlAscending}},
              xlYes);
    EXPECT_EQ(ws.ValueAt(1, 1), T("班级"));
    std::vector<Variant> names = Column(3, 2, 6);
    EXPECT_EQ(names, (std::vector<Variant>{T("c"), T("a"), T("a"), T("b"), T("d")}));
    EXPECT_EQ(Column(2, 2, 6), (std::vector<Variant>{95, 80, 90, 90, 70}));
}

TEST_F(SortRange, GuessesTheHeaderRow) {
    struct { std::vector<Variant> col; bool header; } cases[] = {
        {{T("分数"), 3, 1, 2}, true},          // text over numbers: a header
        {{T("王"), T("李"), T("张")}, false},  // text over text: data
        {{5, 3, 1}, false},
    };
    for (const auto& c : cases) {
        ws.RowsData().clear();
        FillColumn(1, 1, c.col);
        Range(&ws, Rect{1, 1, int32_t(c.col.size()), 1}).Sort({{Range(&ws, Rect{1, 1, 1, 1}), xlAscending}}, xlGuess);
        EXPECT_EQ(ws.ValueAt(1, 1) == c.col[0], c.header) << ToText(c.col[0]);
    }
}

TEST_F(SortRange, MovesOnlyCellsOfTheAreaWithFormulasAndFormats) {
    FillColumn(2, 1, {3, 1, 2});
    FillColumn(1, 1, {T("x"), T("y"), T("z")});   // outside the area: stays
    FillColumn(4, 1, {T("p"), T("q"), T("r")});   // outside too
    ws.GetCell(2, 3).formula = std::make_unique<std::string>("B2*10");
    ws.GetCell(2, 3).value = 10;
    uint32_t bold = wb.Styles().Intern([] { CellFormat f; f.font.bold = true; return f; }());
    ws.SetStyleAt(2, 2, bold);
    ws.GetRow(2).info.height = 30;

    Range(&ws, Rect{1, 2, 3, 3}).Sort({{Range(&ws, Rect{1, 2, 1, 2}), xlAscending}});
    EXPECT_EQ(Column(2, 1, 3), (std::vector<Variant>{1, 2, 3}));
    EXPECT_EQ(Column(1, 1, 3), (std::vector<Variant>{T("x"), T("y"), T("z")}));
    EXPECT_EQ(Column(4, 1, 3), (std::vector<Variant>{T("p"), T("q"), T("r")}));
    ASSERT_NE(ws.FindCell(1, 3), nullptr);
    ASSERT_TRUE(ws.FindCell(1, 3)->HasFormula());
    EXPECT_EQ(*ws.FindCell(1, 3)->formula, "B1*10");  // moved up one row with its cell
    EXPECT_EQ(ws.StyleAt(1, 2), bold);
    EXPECT_EQ(ws.StyleAt(2, 2), 0u);
    EXPECT_EQ(ws.RowHeightPoints(2), 30);  // row properties stay outside the area's cells
}

TEST_F(SortRange, LeftToRightMovesColumns) {
    // Row 1 keys, row 2 tags.
    const std::vector<Variant> keys = {T("张"), 2, T("李"), 1};
    for (size_t i = 0; i < keys.size(); ++i) {
        ws.SetValueAt(1, int32_t(i) + 1, keys[i]);
        ws.SetValueAt(2, int32_t(i) + 1, Variant(int(i)));
    }
    Range(&ws, Rect{1, 1, 2, 4}).Sort({{Range(&ws, Rect{1, 1, 1, 1}), xlAscending}}, xlNo, xlLeftToRight);
    std::vector<Variant> row1, row2;
    for (int32_t c = 1; c <= 4; ++c) row1.push_back(ws.ValueAt(1, c)), row2.push_back(ws.ValueAt(2, c));
    EXPECT_EQ(row1, (std::vector<Variant>{1, 2, T("李"), T("张")}));
    EXPECT_EQ(row2, (std::vector<Variant>{3, 1, 2, 0}));
}

TEST_F(SortRange, WholeColumnsAndBadKeys) {
    FillColumn(1, 1, {3, 1, 2});
    Range(&ws, Rect{1, 1, kMaxRows, 1}).Sort({{Range(&ws, Rect{1, 1, 1, 1}), xlAscending}});
    EXPECT_EQ(Column(1, 1, 4), (std::vector<Variant>{1, 2, 3, Variant()}));
    EXPECT_THROW(Range(&ws, Rect{1, 1, 3, 1}).Sort({{Range(&ws, Rect{1, 5, 1, 5}), xlAscending}}), HostError);
    EXPECT_THROW(Range(&ws, Rect{1, 1, 3, 1}).Sort({}), HostError);
    ws.MergedAreas().push_back(Rect{1, 1, 2, 1});
    EXPECT_THROW(Range(&ws, Rect{1, 1, 3, 1}).Sort({{Range(&ws, Rect{1, 1, 1, 1}), xlAscending}}), HostError);
}

}  // namespace
