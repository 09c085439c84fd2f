// The preview window paints a page only when it comes into view: a block of
// some thirty pages opens with the first page or two painted, scrolling to the end
// paints the last, and the pages shown are the sheet's.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include "GuiTestSupport.h"
#include "gui/PrintPreview.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace {

TEST(PrintPreview, PagesArePaintedOnlyWhenTheyComeIntoView) {
    guitest::App();
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    for (int32_t r = 1; r <= 40 * 37; ++r) ws.SetValueAt(r, 1, host::Variant("第" + std::to_string(r) + "行"));
    gui::PrintPreviewDialog dialog(ws, {});
    dialog.resize(700, 800);
    dialog.show();
    guitest::Settle();
    ASSERT_GE(dialog.PageCount(), 20);
    const QImage first = dialog.grab().toImage();
    EXPECT_GE(dialog.PagesRendered(), 1);
    EXPECT_LE(dialog.PagesRendered(), 3) << "only what the window shows";

    dialog.ShowPage(dialog.PageCount() - 1);
    guitest::Settle();
    dialog.grab();
    EXPECT_LE(dialog.PagesRendered(), 6) << "the pages in between were never painted";
    auto* scroll = dialog.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    bool labelled = false;
    const QString last = QStringLiteral("第 %1 页，共 %1 页").arg(dialog.PageCount());
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labelled = labelled || label->text() == last;
    EXPECT_TRUE(labelled) << last.toStdString();

    // The page painted is a page: white paper with ink on it inside the grey.
    const QImage shown = dialog.grab().toImage();
    const QPoint centre = scroll->mapTo(&dialog, QPoint(scroll->width() / 2, 20));
    EXPECT_EQ(QColor(shown.pixel(centre)), QColor(Qt::white));
    int ink = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) ink += qGray(shown.pixel(x, y)) < 60;
    EXPECT_GT(ink, 50);
}

// A landscape page (a seating chart) is wider than the preview window at
// 100 %: the window opens at the size that shows the whole width.
TEST(PrintPreview, AWidePageOpensAtTheWidthOfTheWindow) {
    guitest::App();
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    for (int32_t c = 1; c <= 14; ++c) ws.SetValueAt(1, c, host::Variant("第" + std::to_string(c) + "列"));
    ws.PageSetup().hasSetup = true;
    ws.PageSetup().Orientation = 2;
    gui::PrintPreviewDialog dialog(ws, {});
    dialog.resize(700, 800);
    dialog.show();
    guitest::Settle();
    auto* scroll = dialog.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(scroll->widget()->width(), scroll->viewport()->width() * 3 / 4) << "not smaller than needed";
}

}  // namespace
