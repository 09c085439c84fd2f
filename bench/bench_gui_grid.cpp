// The grid over a large roster sheet, offscreen: building the sheet view
// (widths, heights, merges), a refresh after the sheet changed, and painting
// the viewport while scrolling page by page from top to bottom.
//
//   bench_gui_grid [ROWS]     (default: 30000)
#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/StyleCache.h"

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

void FillRoster(host::Worksheet& ws, int32_t rows) {
    const char* titles[] = {"序号", "学号", "姓名", "性别", "班级", "照片", "照片夹"};
    for (int32_t c = 1; c <= 7; ++c) ws.SetValueAt(1, c, host::Variant(titles[c - 1]));
    for (int32_t r = 2; r <= rows + 1; ++r) {
        ws.SetValueAt(r, 1, host::Variant(r - 1));
        ws.SetValueAt(r, 2, host::Variant("2025" + std::to_string(100000 + r)));
        ws.SetValueAt(r, 3, host::Variant("考生" + std::to_string(r)));
        ws.SetValueAt(r, 4, host::Variant(r % 2 ? "男" : "女"));
        ws.SetValueAt(r, 5, host::Variant(std::to_string(r % 12 + 1) + "班"));
        if (r % 50 == 0) ws.GetRow(r).info.height = 24;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int32_t rows = argc > 1 ? std::atoi(argv[1]) : 30000;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    render::InstallFontSubstitutes();
    host::Application app;
    host::Worksheet& ws = app.Workbooks().Add().Sheet(1);
    FillRoster(ws, rows);

    auto t0 = Clock::now();
    gui::SheetView view(ws, [](const QString&) {}, nullptr);
    view.resize(1100, 700);
    view.show();
    QApplication::processEvents();
    auto t1 = Clock::now();
    ws.SetValueAt(rows + 2, 1, host::Variant("合计"));
    view.Refresh();
    auto t2 = Clock::now();

    QScrollBar* bar = view.Grid().verticalScrollBar();
    QPixmap target(view.Grid().viewport()->size());
    int pages = 0;
    auto t3 = Clock::now();
    for (int v = 0; v <= bar->maximum(); v += bar->pageStep(), ++pages) {
        bar->setValue(v);
        view.Grid().viewport()->render(&target);
    }
    auto t4 = Clock::now();
    std::printf("rows %d: view %.1f ms, refresh %.1f ms, %d pages painted in %.1f ms (%.2f ms per page)\n", rows,
                Millis(t0, t1), Millis(t1, t2), pages, Millis(t3, t4), Millis(t3, t4) / std::max(pages, 1));
    return 0;
}
