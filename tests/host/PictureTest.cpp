#include <gtest/gtest.h>

#include <cmath>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "support/TestSupport.h"

using namespace host;

namespace {
// The first bytes of a JPEG file are all that AddPicture looks at.
const std::string kJpegHead = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
}

TEST(Shapes, AddPictureAnchorsPointsToCells) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir.File("p.jpg"), kJpegHead);
    Application app;
    Worksheet& ws = app.Workbooks().Add().Sheet(1);
    testing_support::UseCalibriNormal(ws.Parent());  // 7-pixel digits: the figures below
    ws.SetColumnWidthChars(2, 20);  // 145 px = 108.75 pt
    ASSERT_DOUBLE_EQ(ws.ColumnWidthPoints(1), 48);
    ASSERT_DOUBLE_EQ(ws.ColumnWidthPoints(2), 108.75);

    // Left 50 pt lies 2 pt into column B; top 30 pt lies 3 pt into row 3 (rows of 13.5 pt).
    const Picture& p = ws.Shapes().AddPicture(dir.File("p.jpg"), 50, 30, 110, 27).Data();
    EXPECT_EQ(p.extension, "jpeg");
    EXPECT_EQ(p.from, (CellAnchor{2, 3, 2 * 12700, 3 * 12700}));
    // Right edge 160 pt: past B (48 + 108.75 = 156.75) by 3.25 pt in column C; bottom 57 pt: row 5 + 3 pt.
    EXPECT_EQ(p.to.col, 3);
    EXPECT_EQ(p.to.colOffset, 41275);
    EXPECT_EQ(p.to.row, 5);
    EXPECT_EQ(p.to.rowOffset, 3 * 12700);
    EXPECT_EQ(p.widthEmu, 110 * 12700);
    EXPECT_EQ(ws.Shapes().Count(), 1);
    EXPECT_FALSE(ws.Parent().Saved());
}

TEST(Shapes, AddPictureRefusesWhatIsNoPicture) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir.File("notes.txt"), "not a picture");
    Application app;
    Worksheet& ws = app.Workbooks().Add().Sheet(1);
    EXPECT_THROW(ws.Shapes().AddPicture(dir.File("notes.txt"), 0, 0, 10, 10), FileError);
    EXPECT_THROW(ws.Shapes().AddPicture(dir.File("missing.jpg"), 0, 0, 10, 10), FileError);
    EXPECT_EQ(ws.Shapes().Count(), 0);
}

// A handle stays on its picture however many are added after it, and reads
// and writes that picture alone.
TEST(Shapes, HandleStaysValidWhileMorePicturesAreAdded) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir.File("p.jpg"), kJpegHead);
    Application app;
    Worksheet& ws = app.Workbooks().Add().Sheet(1);
    Shape first = ws.Shapes().AddPicture(dir.File("p.jpg"), 10, 20, 30, 40);
    const Picture* address = &first.Data();
    for (int i = 0; i < 1000; ++i) ws.Shapes().AddPicture(dir.File("p.jpg"), 100, 13.5 * i, 30, 40);
    ASSERT_EQ(ws.Shapes().Count(), 1001);
    EXPECT_EQ(&first.Data(), address);
    EXPECT_EQ(first.Name(), "图片 1");
    EXPECT_DOUBLE_EQ(first.Left(), 10);
    EXPECT_DOUBLE_EQ(first.Top(), 20);
    EXPECT_DOUBLE_EQ(first.Width(), 30);

    first.SetName("照片");
    first.SetTop(100);  // 100 pt = 7 rows of 13.5 pt + 5.5 pt: row 8
    EXPECT_EQ(ws.Pictures()[0].name, "照片");
    EXPECT_EQ(ws.Pictures()[0].from.row, 8);
    EXPECT_EQ(ws.Pictures()[0].from.rowOffset, std::llround(5.5 * 12700));
    EXPECT_DOUBLE_EQ(first.Top(), 100);
    EXPECT_DOUBLE_EQ(first.Height(), 40);  // moving keeps the size
    EXPECT_EQ(ws.Pictures()[1].name, "图片 2");
    EXPECT_EQ(ws.Shapes().Item(1), first);
    EXPECT_THROW(ws.Shapes().Item(1002), HostError);

    // Removing other pictures leaves the handle on its own.
    ws.Pictures().EraseIf([&](const Picture& p) { return &p != address; });
    EXPECT_EQ(ws.Shapes().Count(), 1);
    EXPECT_EQ(first.Name(), "照片");
}

// Positions are taken with the sheet's sizes at the time, hidden rows and
// columns included, and a picture's corners land in the cells a reader of
// the file will place them in.
TEST(Shapes, AddPictureOverHiddenAndResizedRows) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir.File("p.jpg"), kJpegHead);
    Application app;
    Worksheet& ws = app.Workbooks().Add().Sheet(1);
    testing_support::UseCalibriNormal(ws.Parent());  // 7-pixel digits: the figures below
    ws.GetRange("2:3").SetHidden(true);
    ws.GetRange("4:4").SetRowHeight(60);
    ws.GetRange("A:A").SetHidden(true);
    Range cell = ws.GetRange("B4");
    EXPECT_EQ(cell.Top(), 13.5);
    EXPECT_EQ(cell.Left(), 0);
    Shape s = ws.Shapes().AddPicture(dir.File("p.jpg"), cell.Left(), cell.Top(), 48, 60);
    EXPECT_EQ(s.Data().from, (CellAnchor{2, 4, 0, 0}));
    EXPECT_EQ(s.Data().to, (CellAnchor{3, 5, 0, 0}));  // exactly to the far corner of B4: C5 at offset 0
}
