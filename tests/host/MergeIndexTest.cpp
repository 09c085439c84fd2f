// The merged-area index against a scan of the list, after merges, unmerges,
// deletions with shifts and copies made at random.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/MergeIndex.h"
#include "host/Range.h"
#include "host/Workbook.h"

using namespace host;

namespace {

Rect RandomBlock(std::mt19937& rng, int32_t rows, int32_t cols, int32_t maxSide) {
    int32_t top = int32_t(rng() % rows) + 1, left = int32_t(rng() % cols) + 1;
    int32_t h = int32_t(rng() % maxSide), w = int32_t(rng() % maxSide);
    return Rect{top, left, std::min(top + h, rows), std::min(left + w, cols)};
}

// Every cell of the region and a number of blocks, answered by the index and by a scan.
void ExpectIndexMatchesScan(const Worksheet& ws, int32_t rows, int32_t cols, std::mt19937& rng) {
    const MergeIndex& index = ws.MergedAreas();
    const std::vector<Rect>& all = index.Areas();
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j) ASSERT_FALSE(all[i].Intersects(all[j])) << "areas overlap";
    for (int32_t r = 1; r <= rows + 2; ++r)
        for (int32_t c = 1; c <= cols + 2; ++c) {
            auto it = std::find_if(all.begin(), all.end(), [&](const Rect& m) { return m.Contains(r, c); });
            const Rect* found = ws.MergeAreaAt(r, c);
            if (it == all.end()) {
                ASSERT_EQ(found, nullptr) << r << "," << c;
            } else {
                ASSERT_NE(found, nullptr) << r << "," << c;
                ASSERT_EQ(*found, *it) << r << "," << c;
            }
        }
    for (int q = 0; q < 200; ++q) {
        Rect block = RandomBlock(rng, rows + 2, cols + 2, q % 2 ? 4 : 30);
        std::vector<Rect> scanned;
        for (const Rect& m : all)
            if (m.Intersects(block)) scanned.push_back(m);
        ASSERT_EQ(index.Intersecting(block), scanned) << AreaAddress(block, false, false);
    }
}

TEST(MergeIndex, LookupsMatchAScanAfterRandomMergesUnmergesDeletesAndCopies) {
    Application app;
    Worksheet& ws = app.Workbooks().Add().Sheet(1);
    std::mt19937 rng(3);
    const int32_t rows = 120, cols = 40;
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 25; ++i) {
            // Tall, wide and square areas, so that both halves of the index are used.
            Rect a = RandomBlock(rng, rows, cols, i % 3 == 0 ? 12 : 3);
            ws.GetRange(a).Merge();
        }
        for (int i = 0; i < 5; ++i) ws.GetRange(RandomBlock(rng, rows, cols, 6)).UnMerge();
        try {
            switch (round % 4) {
                case 0: ws.Rows(int32_t(rng() % rows) + 1).Delete(); break;
                case 1: ws.Columns(int32_t(rng() % cols) + 1).Delete(); break;
                case 2: ws.GetRange(RandomBlock(rng, rows, cols, 3)).Delete(xlShiftUp); break;
                default: ws.GetRange(RandomBlock(rng, rows, cols, 8)).Copy(ws.Cells(int32_t(rng() % rows) + 1, int32_t(rng() % cols) + 1)); break;
            }
        } catch (const HostError&) {
            // A deletion that would cut a merged area is refused and changes nothing.
        }
        ExpectIndexMatchesScan(ws, rows, cols, rng);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(ws.MergedAreas().size(), 20u);
}

TEST(MergeIndex, KeepsTheOrderMadeAndRefusesOverlaps) {
    MergeIndex index{Rect{5, 2, 6, 3}, Rect{1, 4, 2, 5}, Rect{1, 1, 1, 16384}};
    EXPECT_EQ(index, (std::vector<Rect>{Rect{5, 2, 6, 3}, Rect{1, 4, 2, 5}}))
        << "the whole of row 1 overlaps D1:E2 and is not added";
    EXPECT_FALSE(index.push_back(Rect{6, 3, 8, 3}));
    EXPECT_TRUE(index.push_back(Rect{10, 1, 1048576, 1}));  // a whole column below row 10 costs one entry
    EXPECT_EQ(*index.At(500000, 1), (Rect{10, 1, 1048576, 1}));
    EXPECT_EQ(index.At(9, 1), nullptr);
    EXPECT_EQ(index.RemoveIntersecting(Rect{2, 2, 5, 5}), 2u);
    EXPECT_EQ(index, (std::vector<Rect>{Rect{10, 1, 1048576, 1}}));
    EXPECT_EQ(index.At(5, 2), nullptr);
    index.clear();
    EXPECT_TRUE(index.empty());
    EXPECT_EQ(index.At(500000, 1), nullptr);
}

}  // namespace
