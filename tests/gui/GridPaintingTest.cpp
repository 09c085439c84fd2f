// What the grid puts on screen, read back from its pixels: pictures at
// their anchors, borders in their colours, and long text running on over
// empty neighbours but not over filled ones.
#include <QBuffer>
#include <QHeaderView>
#include <QImage>

#include "GuiTestSupport.h"
#include "gui/SheetView.h"
#include "host/Application.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using host::Variant;

namespace {

struct Painted {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    std::unique_ptr<gui::SheetView> view;

    QImage Grab() {
        if (!view) view = std::make_unique<gui::SheetView>(ws, [](const QString&) {}, nullptr);
        view->resize(700, 400);
        view->show();
        guitest::Settle();
        return view->Grid().viewport()->grab().toImage();
    }
    QRect CellRect(int32_t row, int32_t col) { return view->Grid().visualRect(view->Model().index(row - 1, col - 1)); }
};

// Pixels that are clearly not the white of an empty cell.
int InkIn(const QImage& img, const QRect& r) {
    int ink = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160) ++ink;
    return ink;
}

std::shared_ptr<const std::vector<uint8_t>> RedPng(int w, int h) {
    QImage red(w, h, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
}

}  // namespace

TEST(GridPainting, APictureIsDrawnAtItsAnchorWithItsSize) {
    guitest::App();
    Painted p;
    host::Picture pic;
    pic.name = "照片";
    pic.data = RedPng(30, 20);
    pic.extension = "png";
    pic.from = {2, 3, 9525 * 4, 9525 * 2};  // column B, row 3, 4 px right and 2 px down
    pic.widthEmu = 30 * 9525;
    pic.heightEmu = 20 * 9525;
    p.ws.Pictures().push_back(pic);
    const QImage img = p.Grab();
    const QPoint corner = p.CellRect(3, 2).topLeft() + QPoint(4, 2);
    EXPECT_EQ(QColor(img.pixel(corner + QPoint(15, 10))), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(corner + QPoint(29, 19))), QColor(Qt::red));
    EXPECT_NE(QColor(img.pixel(corner + QPoint(33, 10))), QColor(Qt::red)) << "30 px wide";
    EXPECT_NE(QColor(img.pixel(corner + QPoint(15, 23))), QColor(Qt::red)) << "20 px high";
}

TEST(GridPainting, BordersAreDrawnOnTheirSidesInTheirColours) {
    guitest::App();
    Painted p;
    p.ws.SetShowGridLines(false);
    host::CellFormat f = p.wb.Styles().Default();
    f.border.bottom = {"thick", host::Color::FromRgb(0x0000FF)};
    f.border.left = {"thin", host::Color::FromRgb(0xFF0000)};
    p.ws.SetStyleAt(2, 2, p.wb.Styles().Intern(f));
    const QImage img = p.Grab();
    const QRect cell = p.CellRect(2, 2);
    const QColor bottom(img.pixel(cell.center().x(), cell.bottom()));
    EXPECT_EQ(bottom, QColor(0, 0, 0xFF));
    EXPECT_EQ(QColor(img.pixel(cell.left(), cell.center().y())), QColor(0xFF, 0, 0));
    EXPECT_EQ(QColor(img.pixel(cell.right(), cell.center().y())), QColor(Qt::white)) << "no right border";
    EXPECT_EQ(QColor(img.pixel(cell.center().x(), cell.top())), QColor(Qt::white)) << "no top border";
}

TEST(GridPainting, LongTextRunsOnOverEmptyCellsOnly) {
    guitest::App();
    Painted p;
    p.ws.SetShowGridLines(false);
    const std::string text = "这是一段很长的说明文字，放不进一个单元格";
    p.ws.SetValueAt(2, 1, Variant(text));
    p.ws.SetValueAt(4, 1, Variant(text));
    p.ws.SetValueAt(4, 2, Variant("占"));
    p.ws.SetValueAt(6, 1, Variant(12345678901234.0));
    QImage img = p.Grab();
    const QRect b2 = p.CellRect(2, 2), c2 = p.CellRect(2, 3);
    EXPECT_GT(InkIn(img, b2.adjusted(2, 2, -2, -2)), 20) << "runs on into B2";
    EXPECT_GT(InkIn(img, c2.adjusted(2, 2, -2, -2)), 20) << "and C2";
    // Stopped by a filled neighbour: C4 stays blank.
    EXPECT_EQ(InkIn(img, p.CellRect(4, 3).adjusted(2, 2, -2, -2)), 0);
    // Numbers never run on.
    EXPECT_EQ(InkIn(img, p.CellRect(6, 2).adjusted(2, 2, -2, -2)), 0);
}

// The selection is a light tint: the values in it stay dark on a light
// ground, the current cell keeps its own look, cells outside stay white.
TEST(GridPainting, TheSelectionIsALightTintThatKeepsValuesReadable) {
    guitest::App();
    Painted p;
    p.ws.SetShowGridLines(false);
    for (int32_t c = 1; c <= 3; ++c) p.ws.SetValueAt(2, c, Variant(20250000 + c));
    p.Grab();
    auto& grid = p.view->Grid();
    grid.setCurrentIndex(p.view->Model().index(1, 0));
    grid.selectionModel()->select(QItemSelection(p.view->Model().index(1, 0), p.view->Model().index(1, 2)),
                                  QItemSelectionModel::Select);
    const QImage img = p.Grab();
    const QRect b2 = p.CellRect(2, 2), d2 = p.CellRect(2, 4), a2 = p.CellRect(2, 1);
    const QColor tinted(img.pixel(b2.left() + 2, b2.top() + 2));
    EXPECT_GT(qGray(tinted.rgb()), 200) << "light";
    EXPECT_NE(tinted, QColor(Qt::white)) << "but visible";
    // The palette's highlight laid over white at the tint's opacity (the
    // window may be active or not).
    bool blended = false;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor h = grid.palette().color(group, QPalette::Highlight);
        const double a = gui::kSelectionTintAlpha / 255.0;
        auto over = [a](int c) { return int(255 * (1 - a) + c * a + 0.5); };
        blended = blended || (std::abs(tinted.red() - over(h.red())) <= 2 && std::abs(tinted.green() - over(h.green())) <= 2 &&
                              std::abs(tinted.blue() - over(h.blue())) <= 2);
    }
    EXPECT_TRUE(blended) << tinted.name().toStdString();
    EXPECT_GT(InkIn(img, b2.adjusted(2, 2, -2, -2)), 20) << "the value stays dark";
    EXPECT_EQ(QColor(img.pixel(d2.left() + 2, d2.top() + 2)), QColor(Qt::white)) << "outside the selection";
    EXPECT_NE(QColor(img.pixel(a2.center().x(), a2.top() + 3)), tinted) << "the current cell keeps its own look";
}
