#include <gtest/gtest.h>

#include "host/Formula.h"

using namespace host;
using namespace host::formula;

TEST(Formula, FindsReferencesButNotStringsOrFunctions) {
    struct Case {
        const char* text;
        std::vector<std::string> refs;  // the referenced text spans
    } cases[] = {
        {"SUM(A1:B2)", {"A1:B2"}},
        {"$A$1+A$2*$B3", {"$A$1", "A$2", "$B3"}},
        {"COUNT(A:A)+SUM(1:1)", {"A:A", "1:1"}},
        {"\"A1\"&B2", {"B2"}},
        {"\"say \"\"C3\"\"\"&D4", {"D4"}},
        {"LOG10(100)+ATAN2(1,2)", {}},
        {"Sheet1!A1+'My sheet'!$B$2:C3", {"Sheet1!A1", "'My sheet'!$B$2:C3"}},
        {"'It''s'!A1", {"'It''s'!A1"}},
        {"花名册!C2:C100", {"花名册!C2:C100"}},
        {"#REF!+1.5E+3+A1", {"A1"}},
        {"IF(TRUE,XFD1048576,XFE1)", {"XFD1048576"}},
        {"Total+A1048577", {}},
    };
    for (const auto& c : cases) {
        auto refs = FindReferences(c.text);
        std::vector<std::string> got;
        for (const auto& r : refs) got.emplace_back(std::string_view(c.text).substr(r.begin, r.end - r.begin));
        EXPECT_EQ(got, c.refs) << c.text;
    }
    auto refs = FindReferences("'My sheet'!$B$2:C3");
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0].sheet, "My sheet");
    EXPECT_EQ(refs[0].kind, RefKind::Area);
    EXPECT_EQ(refs[0].Area(), (Rect{2, 2, 3, 3}));
}

TEST(Formula, R1C1BothWays) {
    struct Case {
        const char* a1;
        int32_t row, col;
        const char* r1c1;
    } cases[] = {
        {"SUM(A6:C6)", 6, 4, "SUM(RC[-3]:RC[-1])"},
        {"SUM(E1:E5)", 6, 5, "SUM(R[-5]C:R[-1]C)"},
        {"$A$1", 3, 3, "R1C1"},
        {"B3", 2, 4, "R[1]C[-2]"},
        {"$B3", 3, 5, "RC2"},
        {"B$2", 7, 2, "R2C"},
        {"2:4", 3, 1, "R[-1]:R[1]"},
        {"$A:$C", 1, 1, "C1:C3"},
        {"C:C", 1, 1, "C[2]"},
        {"$5:$5", 1, 1, "R5"},
        {"Sheet2!A1+\"RC\"", 2, 2, "Sheet2!R[-1]C[-1]+\"RC\""},
        {"ROUND(A1,0)", 1, 1, "ROUND(RC,0)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToR1C1(c.a1, c.row, c.col), c.r1c1) << c.a1;
        EXPECT_EQ(FromR1C1(c.r1c1, c.row, c.col), c.a1) << c.r1c1;
    }
    // Relative references that leave the sheet cannot be written in A1.
    EXPECT_EQ(FromR1C1("R[-2]C", 1, 1), "#REF!");
    EXPECT_EQ(FromR1C1("SUM(RC[-3]:RC[-1])", 5, 2), "SUM(#REF!)");
}

TEST(Formula, TranslateMovesRelativePartsOnly) {
    struct Case {
        const char* a1;
        int32_t dr, dc;
        const char* out;
    } cases[] = {
        {"A1+$A$1+A$1+$A1", 2, 1, "B3+$A$1+B$1+$A3"},
        {"SUM(A1:B2)", 3, 0, "SUM(A4:B5)"},
        {"SUM(C:C)", 5, 1, "SUM(D:D)"},
        {"SUM(2:3)", 1, 7, "SUM(3:4)"},
        {"A2", -1, 0, "A1"},
        {"A2", -2, 0, "#REF!"},
        {"Sheet1!B1", 0, -2, "Sheet1!#REF!"},
        {"\"A1\"", 4, 4, "\"A1\""},
    };
    for (const auto& c : cases) EXPECT_EQ(Translate(c.a1, c.dr, c.dc), c.out) << c.a1;
}

TEST(Formula, AdjustForDeletedRowsAndColumns) {
    struct Case {
        const char* a1;
        Rect deleted;
        bool shiftUp;
        const char* out;
    } cases[] = {
        // Whole rows 3–4.
        {"SUM(A1:A10)", {3, 1, 4, kMaxColumns}, true, "SUM(A1:A8)"},
        {"A2+A3+A5+$B$12", {3, 1, 4, kMaxColumns}, true, "A2+#REF!+A3+$B$10"},
        {"SUM(A3:B4)", {3, 1, 4, kMaxColumns}, true, "SUM(#REF!)"},
        {"SUM(A4:A6)", {3, 1, 4, kMaxColumns}, true, "SUM(A3:A4)"},
        {"SUM(5:7)+SUM(C:C)", {3, 1, 4, kMaxColumns}, true, "SUM(3:5)+SUM(C:C)"},
        // Cells B3:B4 with shift up: column B only; areas leaving the band stay.
        {"B5+C5+SUM(B1:B9)+SUM(A1:C9)", {3, 2, 4, 2}, true, "B3+C5+SUM(B1:B7)+SUM(A1:C9)"},
        // Whole columns B:C.
        {"D1+A1+SUM(A1:E1)+B7", {1, 2, kMaxRows, 3}, false, "B1+A1+SUM(A1:C1)+#REF!"},
        {"SUM(D:F)+SUM(2:2)", {1, 2, kMaxRows, 3}, false, "SUM(B:D)+SUM(2:2)"},
    };
    for (const auto& c : cases) EXPECT_EQ(AdjustForDelete(c.a1, "S", "S", c.deleted, c.shiftUp), c.out) << c.a1;
}

TEST(Formula, AdjustOnlyTouchesReferencesToTheAffectedSheet) {
    Rect rows{1, 1, 1, kMaxColumns};
    // The formula lives on "Other": unqualified references are to "Other".
    EXPECT_EQ(AdjustForDelete("A5+Data!A5+'data'!A7", "Other", "Data", rows, true), "A5+Data!A4+'data'!A6");
    EXPECT_EQ(AdjustForDelete("A5+Other!A5", "Data", "Data", rows, true), "A4+Other!A5");
    EXPECT_EQ(AdjustForDelete("Data!A1", "Other", "Data", rows, true), "Data!#REF!");
}

TEST(Formula, DeletionOfManySpansMapsPositions) {
    Deletion d(true, 1, kMaxColumns, {{10, 12}, {3, 4}, {4, 5}, {20, 20}});
    ASSERT_EQ(d.Spans().size(), 3u);  // 3–5, 10–12, 20
    struct { int32_t p; bool deleted; int32_t mapped; } cases[] = {
        {2, false, 2}, {3, true, 0}, {5, true, 0}, {6, false, 3}, {9, false, 6},
        {13, false, 7}, {19, false, 13}, {21, false, 14},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(d.IsDeleted(c.p), c.deleted) << c.p;
        if (!c.deleted) EXPECT_EQ(d.Map(c.p), c.mapped) << c.p;
    }
    EXPECT_EQ(d.MapRect(Rect{1, 1, 30, 2}), (Rect{1, 1, 23, 2}));
    EXPECT_EQ(d.MapRect(Rect{10, 1, 12, 2}), std::nullopt);
    EXPECT_EQ(d.MapRect(Rect{4, 1, 11, 2}), (Rect{3, 1, 6, 2}));  // rows 6–9 survive
    EXPECT_EQ(AdjustForDelete("SUM(A1:A30)+A11+A21", "S", "S", d), "SUM(A1:A23)+#REF!+A14");
}
