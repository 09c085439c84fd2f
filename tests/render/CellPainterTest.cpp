// Cells painted into an image and read back from its pixels: fills and
// borders, merged areas painted once, text running on over empty
// neighbours only, pictures at their anchors, hidden rows and columns.
#include <QBuffer>

#include "RenderTestSupport.h"

using host::Variant;
using rendertest::InkBox;
using rendertest::InkIn;
using rendertest::PaintedSheet;

namespace {

std::shared_ptr<const std::vector<uint8_t>> Png(int w, int h, QColor color) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
}

const std::string kLongText = "这是一段很长的说明文字，放不进一个单元格";

}  // namespace

TEST(CellPainter, FillsAndBordersSitOnTheirCellsAndSides) {
    PaintedSheet s;
    s.ws.SetStyleAt(2, 2, s.Style([](host::CellFormat& f) {
        f.fill.pattern = "solid";
        f.fill.fg = host::Color::FromRgb(0xFFFF00);
        f.border.bottom = {"thick", host::Color::FromRgb(0x0000FF)};
        f.border.left = {"thin", host::Color::FromRgb(0xFF0000)};
    }));
    const QImage img = s.Paint();
    const QRect b2 = s.Cell(2, 2);
    EXPECT_EQ(QColor(img.pixel(b2.center())), QColor(0xFF, 0xFF, 0));
    EXPECT_EQ(QColor(img.pixel(b2.center().x(), b2.bottom())), QColor(0, 0, 0xFF)) << "thick bottom";
    EXPECT_EQ(QColor(img.pixel(b2.center().x(), b2.bottom() - 1)), QColor(0, 0, 0xFF)) << "3 px wide at 96 dpi";
    EXPECT_EQ(QColor(img.pixel(b2.left(), b2.center().y())), QColor(0xFF, 0, 0)) << "thin left";
    EXPECT_EQ(QColor(img.pixel(b2.left() + 1, b2.center().y())), QColor(0xFF, 0xFF, 0)) << "1 px wide";
    EXPECT_EQ(QColor(img.pixel(b2.right(), b2.center().y())), QColor(0xFF, 0xFF, 0)) << "no right border";
    EXPECT_EQ(QColor(img.pixel(b2.center().x(), b2.top())), QColor(0xFF, 0xFF, 0)) << "no top border";
    EXPECT_EQ(QColor(img.pixel(s.Cell(2, 3).center())), QColor(Qt::white)) << "the fill stays in its cell";
}

TEST(CellPainter, GridLinesTakeTheLastPixelOfEachCellAndCellsKeepClearOfThem) {
    PaintedSheet s;
    s.options.gridLines = true;
    s.options.gridColor = QColor(0x80, 0x80, 0x80);
    s.ws.SetStyleAt(2, 2, s.Style([](host::CellFormat& f) {
        f.fill.pattern = "solid";
        f.fill.fg = host::Color::FromRgb(0x00FF00);
    }));
    const QImage img = s.Paint();
    const QRect b2 = s.Cell(2, 2);
    EXPECT_EQ(QColor(img.pixel(b2.right(), b2.center().y())), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(QColor(img.pixel(b2.center().x(), b2.bottom())), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(QColor(img.pixel(b2.right() - 1, b2.bottom() - 1)), QColor(0, 0xFF, 0));
    EXPECT_EQ(QColor(img.pixel(s.Cell(5, 5).center())), QColor(Qt::white));
}

TEST(CellPainter, AMergedAreaIsPaintedOnceWithItsTextCentredAndNoGridInside) {
    PaintedSheet s;
    s.options.gridLines = true;
    s.options.gridColor = QColor(0x80, 0x80, 0x80);
    // A translucent highlight shows how often a cell was filled.
    s.options.highlighted = [](int32_t, int32_t) { return true; };
    s.options.highlight = QColor(0xFF, 0, 0, 0x80);
    s.ws.MergedAreas().push_back({2, 2, 3, 4});  // B2:D3
    s.ws.SetValueAt(2, 2, Variant("标题"));
    const uint32_t centred = s.Style([](host::CellFormat& f) {
        f.alignment.horizontal = "center";
        f.alignment.vertical = "center";
        f.border.top = {"medium", host::Color::FromRgb(0x000000)};
    });
    s.ws.SetStyleAt(2, 2, centred);
    // Painting C2:E3, which holds only part of the area, paints it whole.
    const QImage img = s.Paint({2, 3, 3, 5});
    const QRect area = s.Cell(2, 2).united(s.Cell(3, 4));
    const QRgb once = img.pixel(area.left() + 4, area.bottom() - 3);
    EXPECT_EQ(qRed(once), 0xFF);
    EXPECT_NEAR(qGreen(once), 0x7F, 2) << "one translucent layer, not two";
    EXPECT_EQ(img.pixel(s.Cell(3, 4).right() - 3, area.bottom() - 3), once) << "D3 too, inside the rectangle";
    // No grid line inside: where C's and row 2's lines would be, the fill stays.
    EXPECT_EQ(img.pixel(s.Cell(3, 3).right(), area.bottom() - 3), once);
    EXPECT_EQ(img.pixel(area.left() + 4, s.Cell(2, 2).bottom()), once);
    // The grid line on the area's own right edge is drawn.
    EXPECT_EQ(QColor(img.pixel(area.right(), s.Cell(3, 4).center().y())), QColor(0x80, 0x80, 0x80));
    // The text's ink is centred in the area, both ways.
    const QRect ink = InkBox(img, area.adjusted(2, 3, -2, -2));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), area.center().x(), 3);
    EXPECT_NEAR(ink.center().y(), area.center().y(), 4);
    // The top border runs along the whole area, taken from its top-left cell.
    EXPECT_EQ(QColor(img.pixel(s.Cell(2, 4).center().x(), area.top())), QColor(Qt::black));
    // Cells outside the merged area and outside the rectangle are left alone.
    EXPECT_EQ(QColor(img.pixel(s.Cell(5, 5).center())), QColor(Qt::white));
}

TEST(CellPainter, LongTextRunsOnOverEmptyNeighboursOnly) {
    PaintedSheet s;
    s.ws.SetValueAt(2, 1, Variant(kLongText));
    s.ws.SetValueAt(4, 1, Variant(kLongText));
    s.ws.SetValueAt(4, 2, Variant("占"));
    s.ws.SetValueAt(6, 1, Variant(12345678901234.0));
    s.ws.SetValueAt(8, 1, Variant(kLongText));
    s.ws.SetStyleAt(8, 1, s.Style([](host::CellFormat& f) { f.alignment.wrapText = true; }));
    s.ws.SetValueAt(10, 1, Variant(kLongText));
    s.ws.MergedAreas().push_back({10, 2, 10, 3});
    const QImage img = s.Paint();
    EXPECT_GT(InkIn(img, s.Cell(2, 2).adjusted(2, 2, -2, -2)), 20) << "runs on into B2";
    EXPECT_GT(InkIn(img, s.Cell(2, 3).adjusted(2, 2, -2, -2)), 20) << "and C2";
    // B4 is filled: its own text is there, but nothing runs past it into C4.
    EXPECT_EQ(InkIn(img, s.Cell(4, 3).adjusted(2, 2, -2, -2)), 0);
    EXPECT_EQ(InkIn(img, s.Cell(6, 2).adjusted(2, 2, -2, -2)), 0) << "numbers never run on";
    EXPECT_EQ(InkIn(img, s.Cell(8, 2).adjusted(2, 2, -2, -2)), 0) << "nor wrapped text";
    EXPECT_EQ(InkIn(img, s.Cell(10, 2).adjusted(2, 2, -2, -2)), 0) << "nor into a merged area";
}

TEST(CellPainter, TextRunsInFromACellLeftOfThePaintedRectangle) {
    PaintedSheet s;
    s.ws.SetValueAt(2, 1, Variant(kLongText));
    const QImage img = s.Paint({1, 3, 5, 6});
    EXPECT_GT(InkIn(img, s.Cell(2, 3).adjusted(2, 2, -2, -2)), 20) << "from A2 into C2";
}

TEST(CellPainter, RunningOnTextCoversNeighboursInTheirOwnFill) {
    PaintedSheet s;
    s.ws.SetValueAt(2, 1, Variant(kLongText));
    s.ws.SetStyleAt(2, 2, s.Style([](host::CellFormat& f) {
        f.fill.pattern = "solid";
        f.fill.fg = host::Color::FromRgb(0xFFCC99);
    }));
    const QImage img = s.Paint();
    const QRect b2 = s.Cell(2, 2);
    EXPECT_EQ(QColor(img.pixel(b2.left() + 1, b2.top() + 1)), QColor(0xFF, 0xCC, 0x99));
    EXPECT_GT(InkIn(img, b2.adjusted(2, 2, -2, -2)), 20);
}

TEST(CellPainter, HiddenRowsAndColumnsTakeNoRoomAndShowNothing) {
    PaintedSheet s;
    s.geometry.hiddenColumns = {2};
    s.geometry.hiddenRows = {3};
    s.ws.SetValueAt(1, 2, Variant("隐藏列"));
    s.ws.SetValueAt(3, 1, Variant("隐藏行"));
    const uint32_t red = s.Style([](host::CellFormat& f) {
        f.fill.pattern = "solid";
        f.fill.fg = host::Color::FromRgb(0xFF0000);
    });
    s.ws.SetStyleAt(1, 2, red);
    s.ws.SetStyleAt(3, 1, red);
    s.ws.SetValueAt(4, 3, Variant("丙"));
    const QImage img = s.Paint();
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_NE(QColor(img.pixel(x, y)), QColor(Qt::red)) << x << "," << y;
    // C4 sits right of A4 and right below row 2.
    const QRect c4 = s.Cell(4, 3);
    EXPECT_EQ(c4.topLeft(), QPoint(60, 40));
    EXPECT_GT(InkIn(img, c4), 10);
}

TEST(CellPainter, WrappedTextBreaksIntoLinesInsideItsCell) {
    PaintedSheet s;
    s.ws.SetValueAt(2, 2, Variant(kLongText));
    s.ws.SetStyleAt(2, 2, s.Style([](host::CellFormat& f) {
        f.alignment.wrapText = true;
        f.alignment.vertical = "top";
    }));
    s.geometry.rowHeight = 80;
    const QImage img = s.Paint();
    const QRect b2 = s.Cell(2, 2);
    const QRect ink = InkBox(img, b2);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.height(), 30) << "more than one line";
    EXPECT_GE(ink.left(), b2.left() + render::CellPainter::kTextMargin);
    EXPECT_EQ(InkIn(img, s.Cell(2, 3)), 0);
}

TEST(CellPainter, AlignmentFollowsTheFormatAndGeneralFollowsTheValue) {
    PaintedSheet s;
    s.ws.SetValueAt(2, 2, Variant(7));
    s.ws.SetValueAt(3, 2, Variant("文"));
    s.ws.SetValueAt(4, 2, Variant("文"));
    s.ws.SetStyleAt(4, 2, s.Style([](host::CellFormat& f) { f.alignment.horizontal = "right"; }));
    const QImage img = s.Paint();
    const QRect number = InkBox(img, s.Cell(2, 2)), text = InkBox(img, s.Cell(3, 2)), right = InkBox(img, s.Cell(4, 2));
    ASSERT_FALSE(number.isEmpty() || text.isEmpty() || right.isEmpty());
    EXPECT_GT(number.left(), s.Cell(2, 2).center().x()) << "numbers to the right";
    EXPECT_LT(text.right(), s.Cell(3, 2).center().x()) << "text to the left";
    EXPECT_GT(right.left(), s.Cell(4, 2).center().x());
}

TEST(CellPainter, PicturesSitAtTheirAnchorsWithTheirSize) {
    PaintedSheet s;
    host::Picture pic;
    pic.data = Png(30, 20, Qt::red);
    pic.from = {2, 3, 9525 * 4, 9525 * 2};  // B3, 4 px right and 2 px down
    pic.widthEmu = 30 * 9525;
    pic.heightEmu = 20 * 9525;
    s.ws.Pictures().push_back(pic);
    host::Picture stretched;
    stretched.data = Png(5, 5, Qt::blue);
    stretched.from = {5, 2, 0, 0};  // E2 to G4: sized by its two anchors
    stretched.to = {7, 4, 0, 0};
    s.ws.Pictures().push_back(stretched);
    const QImage img = s.Paint();
    const QPoint corner = s.Cell(3, 2).topLeft() + QPoint(4, 2);
    EXPECT_EQ(QColor(img.pixel(corner)), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(corner + QPoint(29, 19))), QColor(Qt::red));
    EXPECT_NE(QColor(img.pixel(corner + QPoint(30, 10))), QColor(Qt::red)) << "30 px wide";
    EXPECT_NE(QColor(img.pixel(corner + QPoint(15, 20))), QColor(Qt::red)) << "20 px high";
    EXPECT_NE(QColor(img.pixel(corner - QPoint(1, 0))), QColor(Qt::red));
    const QRect blue = s.Cell(2, 5).united(s.Cell(3, 6));
    EXPECT_EQ(QColor(img.pixel(blue.topLeft())), QColor(Qt::blue));
    EXPECT_EQ(QColor(img.pixel(blue.bottomRight())), QColor(Qt::blue));
    EXPECT_NE(QColor(img.pixel(blue.bottomRight() + QPoint(1, 1))), QColor(Qt::blue));
    // Decoded once: both pictures are in the cache and stay there.
    EXPECT_EQ(s.pictures.Size(), 2u);
    s.Paint();
    EXPECT_EQ(s.pictures.Size(), 2u);
}

TEST(CellPainter, HighlightedCellsAreTintedOverTheirFillAndKeepTheirText) {
    PaintedSheet s;
    s.ws.SetValueAt(2, 1, Variant(kLongText));
    s.ws.SetValueAt(4, 1, Variant(20250000002.0));
    const uint32_t yellow = s.Style([](host::CellFormat& f) {
        f.fill.pattern = "solid";
        f.fill.fg = host::Color::FromRgb(0xFFFF00);
    });
    s.ws.SetStyleAt(4, 1, yellow);
    s.ws.SetStyleAt(6, 1, yellow);
    s.options.highlighted = [](int32_t row, int32_t col) { return (row == 2 && col <= 2) || row == 4; };
    s.options.highlight = QColor(0, 0, 0xFF, 0x40);
    const QImage img = s.Paint();
    // A quarter of blue over white and over the yellow fill: the fill still shows through.
    const QRgb tintedWhite = img.pixel(s.Cell(2, 1).left() + 1, s.Cell(2, 1).top() + 1);
    EXPECT_NEAR(qRed(tintedWhite), 0xBF, 2);
    EXPECT_EQ(qBlue(tintedWhite), 0xFF);
    const QRgb tintedYellow = img.pixel(s.Cell(6, 1).left() + 1, s.Cell(6, 1).top() + 1);
    EXPECT_EQ(QColor(tintedYellow), QColor(0xFF, 0xFF, 0)) << "row 6 is not selected";
    const QRgb tintedFill = img.pixel(s.Cell(4, 1).left() + 1, s.Cell(4, 1).top() + 1);
    EXPECT_NEAR(qRed(tintedFill), 0xBF, 2);
    EXPECT_NEAR(qGreen(tintedFill), 0xBF, 2);
    EXPECT_NEAR(qBlue(tintedFill), 0x40, 2);
    // The text keeps its dark colour: ink, not light text on a dark fill.
    EXPECT_GT(InkIn(img, s.Cell(2, 1).adjusted(2, 2, -2, -2)), 20);
    EXPECT_GT(InkIn(img, s.Cell(4, 1).adjusted(2, 2, -2, -2)), 20);
    // Selected text runs on as it does unselected, into the tinted B2 and the untinted C2.
    EXPECT_GT(InkIn(img, s.Cell(2, 2).adjusted(2, 2, -2, -2)), 20);
    EXPECT_GT(InkIn(img, s.Cell(2, 3).adjusted(2, 2, -2, -2)), 20);
    EXPECT_EQ(qBlue(img.pixel(s.Cell(2, 2).left() + 1, s.Cell(2, 2).top() + 1)), 0xFF);
    EXPECT_EQ(img.pixel(s.Cell(2, 2).left() + 1, s.Cell(2, 2).top() + 1), tintedWhite) << "tinted once under the run-on";
    EXPECT_EQ(QColor(img.pixel(s.Cell(2, 3).left() + 1, s.Cell(2, 3).top() + 1)), QColor(Qt::white));
}

// "####" as the host shows a number too wide for its column: never cut on
// the left, never run on; it fills the cell exactly as "#" text would.
TEST(CellPainter, ANumberTooWideForItsCellShowsHashesFillingTheCell) {
    PaintedSheet s;
    s.ws.SetValueAt(2, 1, Variant(20250000002.0));
    s.ws.SetValueAt(4, 1, Variant(12345.0));
    s.ws.SetValueAt(6, 1, Variant(46000.0));
    s.ws.SetStyleAt(6, 1, s.Style([](host::CellFormat& f) { f.numberFormat = "yyyy\"年\"m\"月\"d\"日\""; }));
    s.ws.SetValueAt(8, 1, Variant("20250000002"));
    s.ws.MergedAreas().push_back({10, 1, 10, 3});
    s.ws.SetValueAt(10, 1, Variant(20250000002.0));
    const QImage img = s.Paint();
    const QFont font = s.styles.Get(s.ws.StyleAt(2, 1)).font;
    const QString hashes = render::FittedNumberText("20250000002", font, &img, s.geometry.columnWidth);
    ASSERT_FALSE(hashes.isEmpty());
    EXPECT_EQ(hashes, QString(hashes.size(), '#'));
    EXPECT_EQ(render::FittedNumberText("12345", font, &img, s.geometry.columnWidth), "12345");
    EXPECT_EQ(render::FittedNumberText("12345", font, &img, 2 * render::CellPainter::kTextMargin), "");

    // The same hashes typed as right-aligned text paint the same pixels.
    PaintedSheet reference;
    reference.ws.SetValueAt(2, 1, Variant(hashes.toStdString()));
    reference.ws.SetStyleAt(2, 1, reference.Style([](host::CellFormat& f) { f.alignment.horizontal = "right"; }));
    const QImage expected = reference.Paint();
    const QRect a2 = s.Cell(2, 1);
    EXPECT_EQ(img.copy(a2), expected.copy(a2));
    EXPECT_EQ(InkIn(img, s.Cell(2, 2)), 0) << "no run-on";

    // A number that fits is shown whole; a date too long is hashed too.
    EXPECT_GT(InkIn(img, s.Cell(4, 1)), 10);
    EXPECT_NE(img.copy(s.Cell(4, 1)), expected.copy(a2)) << "12345 fits";
    EXPECT_EQ(img.copy(s.Cell(6, 1)), expected.copy(a2)) << "a long date";
    // A number a little too wide for the installed face is drawn narrower, whole.
    int stretch = 0;
    const QString eight = "20250001";
    const int tight = int(QFontMetricsF(font, &img).horizontalAdvance(eight) * 0.92) + 2 * render::CellPainter::kTextMargin;
    EXPECT_EQ(render::FittedNumberText(eight, font, &img, tight, &stretch), eight);
    EXPECT_LT(stretch, 100);
    EXPECT_GE(stretch, 100 - render::kMaxNumberSqueeze);
    PaintedSheet narrow;
    narrow.geometry.columnWidth = tight;
    narrow.ws.SetValueAt(2, 1, Variant(20250001.0));
    const QImage squeezed = narrow.Paint();
    const QRect cell = narrow.Cell(2, 1);
    const QRect drawn = InkBox(squeezed, cell);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_GE(drawn.left(), cell.left() + render::CellPainter::kTextMargin - 1) << "not cut on the left";
    EXPECT_LE(drawn.right(), cell.right() - render::CellPainter::kTextMargin + 1) << "inside the cell";
    // Short by more than that: hashes.
    const QString hashed = render::FittedNumberText(eight, font, &img, int(tight * 0.8), &stretch);
    EXPECT_FALSE(hashed.isEmpty());
    EXPECT_EQ(hashed, QString(hashed.size(), '#'));
    EXPECT_EQ(stretch, 100);
    // Digits as text run on instead, and a merged area wide enough shows the number.
    EXPECT_GT(InkIn(img, s.Cell(8, 2).adjusted(2, 2, -2, -2)), 10);
    const QRect merged = s.Cell(10, 1).united(s.Cell(10, 3));
    const QRect ink = InkBox(img, merged);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.width(), a2.width()) << "the number, wider than one column, is drawn whole";
}

// Shrink to fit: a long exam number or name in a narrow label cell is drawn
// whole in a smaller size, centred, instead of being cut on both sides or
// shown as "####"; text that fits keeps its size.
TEST(CellPainter, ShrinkToFitDrawsTooLongValuesWholeInsideTheCell) {
    PaintedSheet s;
    const uint32_t shrink = s.Style([](host::CellFormat& f) {
        f.alignment.shrinkToFit = true;
        f.alignment.horizontal = "center";
        f.font.size = 16;
    });
    s.ws.SetValueAt(2, 2, Variant("020261000010101"));
    s.ws.SetValueAt(4, 2, Variant(20261000010101.0));
    s.ws.SetValueAt(6, 2, Variant("王丽"));
    for (int32_t r : {2, 4, 6}) s.ws.SetStyleAt(r, 2, shrink);
    const QImage img = s.Paint();
    for (int32_t r : {2, 4}) {
        const QRect cell = s.Cell(r, 2);
        const QRect ink = InkBox(img, cell.adjusted(-40, 0, 40, 0));
        ASSERT_FALSE(ink.isEmpty()) << r;
        // Cut text would reach the cell's edges; shrunk text keeps its margins.
        EXPECT_GE(ink.left(), cell.left() + render::CellPainter::kTextMargin - 1) << r;
        EXPECT_LE(ink.right(), cell.right() - render::CellPainter::kTextMargin + 1) << r;
        EXPECT_GT(ink.width(), cell.width() / 2) << r;
        EXPECT_EQ(InkIn(img, s.Cell(r, 1)) + InkIn(img, s.Cell(r, 3)), 0) << "nothing outside: row " << r;
    }
    PaintedSheet plain;
    plain.ws.SetValueAt(4, 2, Variant(20261000010101.0));
    plain.ws.SetStyleAt(4, 2, plain.Style([](host::CellFormat& f) {
        f.alignment.horizontal = "center";
        f.font.size = 16;
    }));
    EXPECT_NE(img.copy(s.Cell(4, 2)), plain.Paint().copy(s.Cell(4, 2))) << "the digits, not the hashes";
    const QFont font = s.styles.Get(shrink).font;
    EXPECT_EQ(render::ShrunkFont(font, "王丽", &img, s.geometry.columnWidth), font);
    const QFont smaller = render::ShrunkFont(font, "020261000010101", &img, s.geometry.columnWidth);
    EXPECT_LT(smaller.pointSizeF(), font.pointSizeF());
    EXPECT_LE(QFontMetricsF(smaller, &img).horizontalAdvance("020261000010101"),
              s.geometry.columnWidth - 2 * render::CellPainter::kTextMargin);
}

TEST(CellPainter, TheDecorationIsDrawnOverTheContentOnceForEachCell) {
    PaintedSheet s;
    s.ws.MergedAreas().push_back({2, 2, 3, 3});
    std::vector<std::pair<int32_t, int32_t>> seen;
    s.options.decorate = [&](QPainter&, int32_t row, int32_t col, const QRect&) { seen.emplace_back(row, col); };
    s.Paint({1, 1, 3, 3});
    EXPECT_EQ(seen.size(), 9u - 4u + 1u) << "five single cells and the merged area once";
    EXPECT_EQ(std::count(seen.begin(), seen.end(), std::make_pair(2, 2)), 1);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), std::make_pair(3, 3)), 0);
}

TEST(CellPainter, OnADenserDevicePicturesAndLinesKeepTheirSizeInPoints) {
    PaintedSheet s;
    s.ws.SetStyleAt(2, 2, s.Style([](host::CellFormat& f) { f.border.left = {"thin", host::Color::FromRgb(0xFF0000)}; }));
    host::Picture pic;
    pic.data = Png(30, 20, Qt::blue);
    pic.from = {4, 2, 9525 * 4, 0};  // D2, 4 px at 96 dpi = 8 px at 192 dpi to the right
    pic.widthEmu = 30 * 9525;
    pic.heightEmu = 20 * 9525;
    s.ws.Pictures().push_back(pic);
    render::StyleCache styles(s.wb.Styles(), 192);
    QImage img(720, 600, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        render::CellPainter(s.ws, styles, s.pictures).Paint(p, {1, 1, 10, 8}, s.geometry, s.options);
    }
    const QRect b2 = s.Cell(2, 2);
    // A thin line is 2 px at 192 dpi, centred on the cell's edge.
    EXPECT_EQ(QColor(img.pixel(b2.left() - 1, b2.center().y())), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(b2.left(), b2.center().y())), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(b2.left() + 1, b2.center().y())), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(b2.left() - 2, b2.center().y())), QColor(Qt::white));
    const QPoint corner = s.Cell(2, 4).topLeft() + QPoint(8, 0);
    EXPECT_EQ(QColor(img.pixel(corner)), QColor(Qt::blue));
    EXPECT_EQ(QColor(img.pixel(corner + QPoint(59, 39))), QColor(Qt::blue)) << "60 × 40 px";
    EXPECT_NE(QColor(img.pixel(corner + QPoint(60, 10))), QColor(Qt::blue));
    EXPECT_NE(QColor(img.pixel(corner + QPoint(10, 40))), QColor(Qt::blue));
    EXPECT_NE(QColor(img.pixel(corner - QPoint(1, 0))), QColor(Qt::blue));
}
