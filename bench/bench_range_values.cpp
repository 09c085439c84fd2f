// Block reads and writes, formats and positions on sheets of N rows × 12 columns.
// Prints milliseconds per operation: wall clock / CPU time of the process
// (the CPU figure is the fairer one on a shared machine).
//
//   bench_range_values [ROWS …]     (default: 100000)
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuMillis() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Timing {
    double wall, cpu;
};

template <class F>
Timing Millis(F&& f) {
    auto a = Clock::now();
    double c = CpuMillis();
    f();
    return {std::chrono::duration<double, std::milli>(Clock::now() - a).count(), CpuMillis() - c};
}

void Print(const char* what, Timing t) { std::printf("  %-36s %9.2f / %9.2f ms\n", what, t.wall, t.cpu); }

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

    Timing write = Millis([&] { block.SetValues(data); });
    Timing read = Millis([&] {
        host::Array2D back = block.Values();
        checksum += host::ToNumber(back(rows, 12));
    });
    Timing column = Millis([&] {
        host::Array2D col = ws.GetRange("C:C").Values();
        checksum += host::ToNumber(col(rows, 1));
    });
    Timing format = Millis([&] { block.Font().SetBold(true); });
    Timing borders = Millis([&] { block.Borders().SetLineStyle(host::xlContinuous); });
    Timing wholeColumn = Millis([&] { ws.GetRange("D:F").SetNumberFormat("0.00"); });
    Timing end = Millis([&] { checksum += ws.GetRange("A1").End(host::xlDown).Row(); });
    ws.GetRange("B1").SetColumnWidth(20);
    Timing far = Millis([&] {
        for (int i = 0; i < 1000; ++i) checksum += ws.GetRange("XFD1048576").Left() + ws.GetRange("XFD1048576").Top();
    });

    std::printf("%d rows × 12 (checksum %.0f), wall / CPU:\n", rows, checksum);
    Print("SetValues of the block", write);
    Print("Values of the block", read);
    Print("Values of column C:C", column);
    Print("Font.Bold over the block", format);
    Print("Borders().LineStyle over the block", borders);
    Print("NumberFormat of columns D:F", wholeColumn);
    Print("End(xlDown) from A1", end);
    Print("1000 × Left + Top of XFD1048576", far);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000};
    for (int n : sizes) Run(n);
}
