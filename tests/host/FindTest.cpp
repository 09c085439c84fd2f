#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"

using namespace host;

namespace {

struct FindFixture : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    // A1 王五   B1 5     C1 =B1*2 (10)
    // A2 王     B2 a5    C2 Apple
    // A3 .      B3 五    C3 apple
    void SetUp() override {
        ws.SetValueAt(1, 1, Variant("王五"));
        ws.SetValueAt(1, 2, Variant(5));
        Cell& c = ws.GetCell(1, 3);
        c.formula = std::make_unique<std::string>("B1*2");
        c.value = 10;
        ws.SetValueAt(2, 1, Variant("王"));
        ws.SetValueAt(2, 2, Variant("a5"));
        ws.SetValueAt(2, 3, Variant("Apple"));
        ws.SetValueAt(3, 2, Variant("五"));
        ws.SetValueAt(3, 3, Variant("apple"));
    }
    std::string Addr(const std::optional<Range>& r) { return r ? CellAddress(r->Row(), r->Column()) : "nothing"; }
};

using Find = FindFixture;

TEST_F(Find, MatchesByTheOptions) {
    struct Case {
        Variant what;
        FindOptions o;
        const char* first;
    } cases[] = {
        {Variant("五"), {xlValues, xlPart, false}, "B3"},     // A1 is searched last
        {Variant("五"), {xlValues, xlWhole, false}, "B3"},
        {Variant("王"), {xlValues, xlWhole, false}, "A2"},
        {Variant("王"), {xlValues, xlPart, false}, "A2"},
        {Variant(5), {xlValues, xlWhole, false}, "B1"},
        {Variant(10), {xlValues, xlWhole, false}, "C1"},
        {Variant(10), {xlFormulas, xlWhole, false}, "nothing"},  // the formula reads =B1*2
        {Variant("b1"), {xlFormulas, xlPart, false}, "C1"},
        {Variant("APPLE"), {xlValues, xlWhole, false}, "C2"},
        {Variant("apple"), {xlValues, xlWhole, true}, "C3"},
        {Variant("梨"), {xlValues, xlPart, false}, "nothing"},
    };
    Range all(&ws, Rect{1, 1, 3, 3});
    for (const auto& c : cases) EXPECT_EQ(Addr(all.Find(c.what, c.o)), c.first) << ToText(c.what);
}

TEST_F(Find, SearchesByRowsAfterTheGivenCellAndWraps) {
    Range all(&ws, Rect{1, 1, kMaxRows, kMaxColumns});
    FindOptions part{xlValues, xlPart, false};
    auto first = all.Find(Variant("五"), part, CellRef{1, 1});
    EXPECT_EQ(Addr(first), "B3");
    auto second = all.FindNext(*first);
    EXPECT_EQ(Addr(second), "A1");  // wrapped to the top
    EXPECT_EQ(Addr(all.FindNext(*second)), "B3");
    EXPECT_EQ(Addr(all.Find(Variant("a"), part, CellRef{2, 2})), "C2");
    EXPECT_EQ(Addr(all.Find(Variant("a"), part, CellRef{3, 3})), "B2");
    // A search confined to column C.
    Range colC(&ws, Rect{1, 3, kMaxRows, 3});
    EXPECT_EQ(Addr(colC.Find(Variant("a"), part)), "C2");
    EXPECT_EQ(Addr(colC.Find(Variant("王"), part)), "nothing");
}

TEST_F(Find, MergedAreasWithTheSearchFormat) {
    ws.MergedAreas() = {Rect{5, 2, 6, 3}, Rect{2, 5, 2, 6}};
    ws.SetValueAt(5, 2, Variant("考场"));
    FindOptions merged{xlValues, xlPart, false, true, true};
    Range all(&ws, Rect{1, 1, kMaxRows, kMaxColumns});
    auto hit = all.Find(Variant(""), merged);
    EXPECT_EQ(Addr(hit), "E2");
    EXPECT_EQ(Addr(all.FindNext(*hit)), "B5");
    EXPECT_EQ(Addr(all.Find(Variant("考场"), merged)), "B5");
    EXPECT_EQ(Addr(all.Find(Variant("王"), merged)), "nothing");
}

}  // namespace
