// Block reads and writes, formats and positions on sheets of N rows × 12 columns.
// Prints milliseconds per operation.
//
//   bench_range_values [ROWS …]     (default: 100000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double Millis(F&& f) {
    auto a = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - a).count();
}

// Column 1 numbers, column 2 text, columns 3–12 numbers.
host::Array2D Block(int rows) {
    host::Array2D a(rows, 12);
    for (int r = 1; r <= rows; ++r) {
        a(r, 1) = r;
        a(r, 2) = "学生" + std::to_string(r);
        for (int c = 3; c <= 12; ++c) a(r, c) = double((r * 31 + c * 7) % 1000);
    }
    return a;
}

void Run(int rows) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    host::Array2D data = Block(rows);
    host::Range block = ws.GetRange("A1").Resize(rows, 12);
    double checksum = 0;

    double write = Millis([&] { block.SetValues(data); });
    double read = Millis([&] {
        host::Array2D back = block.Values();
        checksum += host::ToNumber(back(rows, 12));
    });
    double column = Millis([&] {
        host::Array2D col = ws.GetRange("C:C").Values();
        checksum += host::ToNumber(col(rows, 1));
    });
    double format = Millis([&] { block.Font().SetBold(true); });
    double borders = Millis([&] { block.Borders().SetLineStyle(host::xlContinuous); });
    double wholeColumn = Millis([&] { ws.GetRange("D:F").SetNumberFormat("0.00"); });
    double end = Millis([&] { checksum += ws.GetRange("A1").End(host::xlDown).Row(); });
    ws.GetRange("B1").SetColumnWidth(20);
    double far = Millis([&] {
        for (int i = 0; i < 1000; ++i) checksum += ws.GetRange("XFD1048576").Left() + ws.GetRange("XFD1048576").Top();
    });

    std::printf("%d rows × 12: SetValues %.1f ms, Values %.1f ms, Values(C:C) %.1f ms, Font.Bold %.1f ms, "
                "Borders %.1f ms, NumberFormat(D:F) %.3f ms, End %.3f ms, 1000 × Left+Top of XFD1048576 %.1f ms"
                " (checksum %.0f)\n",
                rows, write, read, column, format, borders, wholeColumn, end, far, checksum);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000};
    for (int n : sizes) Run(n);
}
