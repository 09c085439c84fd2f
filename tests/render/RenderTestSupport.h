#pragma once
// Painting tests run without a screen: an offscreen QGuiApplication, and a
// sheet painted into a white image through a fixed grid of cells.
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <set>

#include "host/Application.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellPainter.h"
#include "render/PictureCache.h"
#include "render/StyleCache.h"

namespace rendertest {

inline QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "test_render";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

// Columns 60 px wide and rows 20 px high from the device origin; hidden ones take no room.
struct FixedGeometry : render::CellGeometry {
    int columnWidth = 60, rowHeight = 20;
    std::set<int32_t> hiddenRows, hiddenColumns;
    host::Rect extent{1, 1, 30, 12};

    int RowTop(int32_t row) const override {
        int y = 0;
        for (int32_t r = 1; r < row; ++r) y += RowHeight(r);
        return y;
    }
    int ColumnLeft(int32_t col) const override {
        int x = 0;
        for (int32_t c = 1; c < col; ++c) x += ColumnWidth(c);
        return x;
    }
    int RowHeight(int32_t row) const override { return hiddenRows.count(row) ? 0 : rowHeight; }
    int ColumnWidth(int32_t col) const override { return hiddenColumns.count(col) ? 0 : columnWidth; }
    host::Rect Extent() const override { return extent; }
};

struct PaintedSheet {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    FixedGeometry geometry;
    render::PaintOptions options;
    render::StyleCache styles{wb.Styles()};
    render::PictureCache pictures;

    PaintedSheet() { App(); }

    uint32_t Style(const std::function<void(host::CellFormat&)>& change) {
        host::CellFormat f = wb.Styles().Default();
        change(f);
        return wb.Styles().Intern(f);
    }
    // The cells A1:L30 painted onto a white 720 × 600 image.
    QImage Paint(host::Rect cells = {1, 1, 30, 12}) {
        QImage img(720, 600, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        render::CellPainter painter(ws, styles, pictures);
        painter.Paint(p, cells, geometry, options);
        return img;
    }
    QRect Cell(int32_t row, int32_t col) const {
        return QRect(geometry.ColumnLeft(col), geometry.RowTop(row), geometry.ColumnWidth(col), geometry.RowHeight(row));
    }
};

// Pixels clearly darker than white paper (text, lines).
inline int InkIn(const QImage& img, const QRect& r) {
    int ink = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160) ++ink;
    return ink;
}

// The smallest rectangle holding the ink in `r`; empty when there is none.
inline QRect InkBox(const QImage& img, const QRect& r) {
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace rendertest
