#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
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
