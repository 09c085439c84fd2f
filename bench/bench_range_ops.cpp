// Sort and delete on generated sheets of N rows × 12 columns.
// Prints seconds per operation.
//
//   bench_range_ops [ROWS …]     (default: 10000 100000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Collation.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

const char* kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭"};
const char* kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "洋", "艳", "勇", "军", "杰", "娟", "涛", "明"};

// Row 1 titles; columns: number, name, class, then nine numeric columns.
void Fill(host::Worksheet& ws, int rows) {
    uint32_t x = 2463534242u;
    auto next = [&] { x ^= x << 13; x ^= x >> 17; x ^= x << 5; return x; };
    for (int c = 1; c <= 12; ++c) ws.SetValueAt(1, c, host::Variant("列" + std::to_string(c)));
    for (int r = 2; r <= rows + 1; ++r) {
        ws.SetValueAt(r, 1, host::Variant(r - 1));
        ws.SetValueAt(r, 2, host::Variant(std::string(kSurnames[next() % 16]) + kGiven[next() % 16] + kGiven[next() % 16]));
        ws.SetValueAt(r, 3, host::Variant("高一(" + std::to_string(next() % 20 + 1) + ")班"));
        for (int c = 4; c <= 12; ++c) ws.SetValueAt(r, c, host::Variant(int(next() % 1000)));
    }
}

template <class F>
double Time(F&& f) {
    auto t0 = Clock::now();
    f();
    return Seconds(t0, Clock::now());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 100000};
    // The collator is built once per process; keep that out of the figures.
    host::TextCollation::Get(false);
    for (int n : sizes) {
        host::Application app;
        host::Workbook& wb = app.Workbooks().Add();
        host::Worksheet& ws = wb.Sheet(1);
        Fill(ws, n);
        host::Range all(&ws, host::Rect{1, 1, n + 1, 12});
        double byName = Time([&] { all.Sort({{host::Range(&ws, host::Rect{1, 2, 1, 2}), host::xlAscending}}, host::xlYes); });
        double byNumber = Time([&] { all.Sort({{host::Range(&ws, host::Rect{1, 4, 1, 4}), host::xlDescending}}, host::xlYes); });
        double threeKeys = Time([&] {
            all.Sort({{host::Range(&ws, host::Rect{1, 3, 1, 3}), host::xlAscending},
                      {host::Range(&ws, host::Rect{1, 2, 1, 2}), host::xlAscending},
                      {host::Range(&ws, host::Rect{1, 1, 1, 1}), host::xlDescending}},
                     host::xlYes);
        });
        std::printf("sort %d rows x 12: by name %.3f s, by number %.3f s, three keys %.3f s\n", n, byName, byNumber, threeKeys);

        // Every tenth row as one union of single-row areas.
        std::vector<host::Rect> areas;
        for (int r = 2; r <= n + 1; r += 10) areas.push_back(host::Rect{r, 1, r, host::kMaxColumns});
        size_t count = areas.size();
        double del = Time([&] { host::Range(&ws, std::move(areas)).Delete(host::xlShiftUp); });
        std::printf("delete %zu scattered rows of %d: %.3f s\n", count, n, del);
    }
    return 0;
}
