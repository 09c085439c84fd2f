// The template language on value blocks: regions, end markers, placeholders,
// field lists in scan order, blanking for the template image.
#include <gtest/gtest.h>

#include "tables/TemplateLanguage.h"

using host::Array2D;
using host::Variant;
using tables::FindRegion;
using tables::RegionSearch;

namespace {

// A block from rows of texts; "" is an empty cell.
Array2D Block(const std::vector<std::vector<std::string>>& rows) {
    size_t cols = 0;
    for (const auto& r : rows) cols = std::max(cols, r.size());
    Array2D a(int32_t(rows.size()), int32_t(cols));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].empty()) a(int32_t(r) + 1, int32_t(c) + 1) = Variant(rows[r][c]);
    return a;
}

TEST(TemplateRegions, StartEndAndMarkerColumn) {
    Array2D b = Block({{"<模板>"},
                       {"@", "第", "[场号]", "", "@"},
                       {"@"},
                       {"#", "[座号]", "#"},
                       {"", "[姓名]"},
                       {"#", "", "", "#"},
                       {"#"}});
    RegionSearch title = FindRegion(b, tables::kTitleMarker);
    ASSERT_EQ(title.result, RegionSearch::Result::Found);
    EXPECT_EQ(title.region.start, 2);
    EXPECT_EQ(title.region.end, 3);
    EXPECT_EQ(title.region.marker, 5);
    EXPECT_EQ(title.region.Width(), 3);

    // Three "#" rows: the region runs from the first to the second; the end
    // marker is the first "#" from column C in the start row.
    RegionSearch body = FindRegion(b, tables::kBodyMarker);
    ASSERT_EQ(body.result, RegionSearch::Result::Found);
    EXPECT_EQ(body.region.start, 4);
    EXPECT_EQ(body.region.end, 6);
    EXPECT_EQ(body.region.marker, 3);
    EXPECT_EQ(body.region.Rows(), 3);
}

TEST(TemplateRegions, MissingOrWithoutEndMarker) {
    // Row 1 is never a marker row.
    EXPECT_EQ(FindRegion(Block({{"#", "", "#"}, {"x"}}), "#").result, RegionSearch::Result::Missing);
    EXPECT_EQ(FindRegion(Array2D(), "#").result, RegionSearch::Result::Missing);
    // The end marker must stand in column C or further right.
    RegionSearch s = FindRegion(Block({{""}, {""}, {"#", "#"}, {"#", "", "#"}}), "#");
    EXPECT_EQ(s.result, RegionSearch::Result::NoEndMarker);
    EXPECT_EQ(s.row, 3);
    // A single marker row is a one-row region.
    RegionSearch one = FindRegion(Block({{""}, {"#", "[姓名]", "", "#"}}), "#");
    ASSERT_EQ(one.result, RegionSearch::Result::Found);
    EXPECT_EQ(one.region.Rows(), 1);
    // Whole cell, no trimming: " #" is no marker.
    EXPECT_EQ(FindRegion(Block({{""}, {" #", "", "#"}}), "#").result, RegionSearch::Result::Missing);
}

TEST(TemplateFields, ScanOrderPhotoSlotAndNames) {
    Array2D b = Block({{""},
                       {"#", "[考号]", "{照片}", "  [姓名]  ", "#"},
                       {"", "[班级]", "{相片}", "[ 姓名 ]"},
                       {"#", "[]", "{}", "第[场号]考场"}});
    RegionSearch s = FindRegion(b, "#");
    ASSERT_EQ(s.result, RegionSearch::Result::Found);
    tables::FieldList f = tables::ScanFields(b, s.region);
    // Column by column from the left, each column top down; slot 0 the last photo.
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0].name, "相片");
    EXPECT_EQ(f[0].row, 2);
    EXPECT_EQ(f[0].column, 2);
    EXPECT_EQ(f[1].name, "考号");
    EXPECT_EQ(f[2].name, "班级");
    EXPECT_EQ(f[2].row, 2);
    EXPECT_EQ(f[2].column, 1);
    EXPECT_EQ(f[3].name, "姓名");   // outer spaces trimmed
    EXPECT_EQ(f[4].name, " 姓名 ");  // inner spaces kept
    EXPECT_EQ(f[4].column, 3);

    // No photo: slot 0 holds nothing.
    tables::FieldList plain = tables::ScanFields(Block({{""}, {"#", "[姓名]", "#"}}), tables::Region{2, 2, 3});
    EXPECT_FALSE(plain[0].Named());
    EXPECT_EQ(plain[0].row, 0);
}

TEST(TemplateFields, UnknownFieldsAcceptTheSystemColumnsTab) {
    tables::FieldList f(1);
    f[0] = {1, 1, "照片", 0};
    f.push_back({1, 2, "场号", 0});
    f.push_back({1, 3, "姓名", 0});
    f.push_back({1, 4, "电话", 0});
    f.push_back({1, 5, "无", 0});
    const std::vector<std::string> items = {"\t无", "姓名", "照片", "\t场号"};
    // Item 0, the none entry, names no field.
    EXPECT_EQ(tables::UnknownFields(f, items), (std::vector<std::string>{"电话", "无"}));
}

TEST(TemplateImage, PlaceholdersOfAnyLengthAreBlanked) {
    Array2D b = Block({{"[]", "{}", " [x] ", "第[场号]考场", "[", "{a]", "考号"}});
    tables::BlankPlaceholders(b);
    for (int c = 1; c <= 3; ++c) EXPECT_TRUE(b(1, c).IsEmpty()) << c;
    EXPECT_EQ(b(1, 4), Variant("第[场号]考场"));
    EXPECT_EQ(b(1, 5), Variant("["));
    EXPECT_EQ(b(1, 6), Variant("{a]"));
    EXPECT_EQ(b(1, 7), Variant("考号"));

    Array2D m = Block({{""}, {"#", "x", "#", "y"}, {"#", "", "#"}});
    tables::BlankMarkers(m, tables::Region{2, 3, 3});
    EXPECT_TRUE(m(2, 1).IsEmpty());
    EXPECT_TRUE(m(2, 3).IsEmpty());
    EXPECT_TRUE(m(3, 3).IsEmpty());
    EXPECT_EQ(m(2, 4), Variant("y"));
}

}  // namespace
