// Photos: placed centred on the merge area at the scale, found as a teacher's
// files are named, and skipped with a count when missing or refused.
#include <gtest/gtest.h>

#include "cli/Portrait.h"
#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "support/TestSupport.h"
#include "tables/PlacePhoto.h"

namespace {

void WritePhoto(const std::string& path) { cli::WriteBinaryFile(path, cli::EncodeJpeg(cli::DrawPortrait(3, false), 80)); }

TEST(PlacePhoto, HalfScaleOnAMergedAreaIsCentredAndHalfTheSize) {
    testing_support::TempDir dir;
    WritePhoto(dir.File("a.jpg"));
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    ws.SetColumnWidthChars(2, 10);
    ws.SetColumnWidthChars(3, 20);
    ws.Rows(2).SetRowHeight(30);
    ws.GetRange("B2:C5").Merge();
    const host::Range area = ws.GetRange("B2:C5");
    tables::PlacePhoto(dir.File("a.jpg"), ws, 3, 3, 50);  // any cell of the area
    ASSERT_EQ(ws.Pictures().size(), 1u);
    host::Shape shape = ws.Shapes().Item(1);
    EXPECT_NEAR(shape.Width(), area.Width() / 2, 0.05);
    EXPECT_NEAR(shape.Height(), area.Height() / 2, 0.05);
    EXPECT_NEAR(shape.Left(), area.Left() + area.Width() / 4, 0.05);
    EXPECT_NEAR(shape.Top(), area.Top() + area.Height() / 4, 0.05);
    // The picture's own aspect ratio (96 × 128) is not kept.
    EXPECT_NEAR(shape.Width() / shape.Height(), area.Width() / area.Height(), 1e-3);
}

TEST(PhotoFinder, BackslashFoldersAndExtensionsInAnyCase) {
    testing_support::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "照片" / "高一");
    WritePhoto(dir.File("照片/高一/001.JPG"));
    WritePhoto(dir.File("照片/高一/002.jpeg"));
    WritePhoto(dir.File("003.jpg"));
    host::Application app;
    host::Workbook& roster = app.Workbooks().Add();
    roster.SetFileName(dir.File("花名册.xlsx"));

    tables::PhotoFinder finder;
    const std::string built1 = tables::PhotoFinder::FileName(roster, "照片\\高一", "001");
    EXPECT_EQ(built1, dir.File("照片/高一/001.jpg"));
    EXPECT_EQ(finder.Find(built1), dir.File("照片/高一/001.JPG"));
    EXPECT_EQ(finder.Find(tables::PhotoFinder::FileName(roster, "照片/高一", "002")), dir.File("照片/高一/002.jpeg"));
    EXPECT_EQ(finder.Find(tables::PhotoFinder::FileName(roster, "", "003")), dir.File("003.jpg"));
    EXPECT_EQ(finder.Find(tables::PhotoFinder::FileName(roster, "照片/高一", "004")), "");
    EXPECT_EQ(finder.Find(tables::PhotoFinder::FileName(roster, "", "")), "");  // empty value: "/.jpg"
}

TEST(PhotoFinder, MissingAndRefusedPhotosAreCountedAndSkipped) {
    testing_support::TempDir dir;
    WritePhoto(dir.File("good.jpg"));
    testing_support::WriteFile(dir.File("bad.jpg"), "no picture here");
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    tables::PhotoFinder finder;
    tables::PhotoTally tally;
    tables::PlaceCandidatePhoto(dir.File("good.jpg"), ws, 1, 1, 99, finder, tally);
    tables::PlaceCandidatePhoto(dir.File("bad.jpg"), ws, 2, 1, 99, finder, tally);
    tables::PlaceCandidatePhoto(dir.File("gone.jpg"), ws, 3, 1, 99, finder, tally);
    // The same file again: its picture shares the bytes, stored once when saved.
    tables::PlaceCandidatePhoto(dir.File("good.jpg"), ws, 4, 1, 99, finder, tally);
    ASSERT_EQ(ws.Pictures().size(), 2u);
    EXPECT_EQ(ws.Pictures()[0].data.get(), ws.Pictures()[1].data.get());
    EXPECT_EQ(tally.placed, 2);
    EXPECT_EQ(tally.missing, 1);
    EXPECT_EQ(tally.refused, (std::vector<std::string>{dir.File("bad.jpg")}));
}

}  // namespace
