// Recalculation through the formula engine.
//   settings sheet, 500 rooms x 10 groups: one typed group count, with the
//     recalculation it causes (target: under 16 ms);
//   roster of 100,000 rows with a formula column: the first calculation,
//     which builds the engine's model (target: under 3 s), then one typed
//     score with its recalculation (target: under 0.1 s), and a change that
//     makes the whole sheet be compared (a write straight into the storage).
// Exits with 1 when a target is missed.
//
//   bench_recalc [ROWS] [EDITS]     (defaults: 100000, 50)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Recalc.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "settings/SettingsSheet.h"

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

struct Timing {
    double mean = 0, worst = 0;
};

template <class Edit>
Timing Repeat(int edits, Edit&& edit) {
    Timing t;
    for (int i = 0; i < edits; ++i) {
        auto start = Clock::now();
        edit(i);
        double ms = Millis(start, Clock::now());
        t.mean += ms / edits;
        t.worst = std::max(t.worst, ms);
    }
    return t;
}

bool Check(const char* what, double ms, double limit) {
    const bool ok = ms < limit;
    std::printf("%-58s %10.2f ms  (target < %.0f ms)%s\n", what, ms, limit, ok ? "" : "  MISSED");
    return ok;
}

bool BenchSettingsSheet(int edits) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    auto start = Clock::now();
    settings::BuildSettingsSheet(&ws, {10, 500, 0});  // groups in I:R, room sums in S, total in S502
    std::printf("%-58s %10.2f ms\n", "settings 500x10: build with first calculation", Millis(start, Clock::now()));
    const Timing t = Repeat(edits, [&](int i) { ws.UserEdit(2 + (i * 37) % 500, 9 + i % 10, std::to_string(20 + i % 30)); });
    // The total is right after the edits.
    double expected = 0;
    for (int r = 2; r <= 501; ++r)
        for (int c = 9; c <= 18; ++c) {
            const host::Variant& v = ws.ValueAt(r, c);
            if (v.IsNumber()) expected += v.Number();
        }
    if (ws.ValueAt(502, 19) != host::Variant(expected)) {
        std::printf("settings total wrong\n");
        return false;
    }
    bool ok = Check("settings 500x10: one typed count + recalculation (mean)", t.mean, 16);
    ok &= Check("settings 500x10: one typed count + recalculation (worst)", t.worst, 16);
    return ok;
}

bool BenchRoster(int rows, int edits) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    const char* header[] = {"学号", "姓名", "班级", "语文", "数学", "英语", "总分"};
    for (int c = 0; c < 7; ++c) ws.GetCell(1, c + 1).value = host::Variant(header[c]);
    for (int r = 2; r <= rows + 1; ++r) {
        ws.GetCell(r, 1).value = host::Variant("2025" + std::to_string(100000 + r));
        ws.GetCell(r, 2).value = host::Variant("学生" + std::to_string(r));
        ws.GetCell(r, 3).value = host::Variant(std::to_string(1 + r % 20) + "班");
        for (int c = 4; c <= 6; ++c) ws.GetCell(r, c).value = host::Variant((r * c) % 100);
        ws.GetCell(r, 7).formula = std::make_unique<std::string>("SUM(D" + std::to_string(r) + ":F" + std::to_string(r) + ")");
    }
    ws.MarkChanged();

    auto start = Clock::now();
    wb.Calculate();
    const double first = Millis(start, Clock::now());
    const host::Recalc::Run& run = wb.Recalculation().LastRun();
    std::printf("roster %d rows: %lld formulas computed; model %.0f ms, order %.0f ms, engine %.0f ms, results %.0f ms\n",
                rows, (long long)run.computed, run.syncMs, run.orderMs, run.engineMs, run.writeBackMs);
    bool ok = Check("roster: first calculation, model built", first, 3000);

    const Timing t = Repeat(edits, [&](int i) { ws.UserEdit(2 + (i * 7919) % rows, 4, std::to_string(i % 100)); });
    ok &= Check("roster: one typed score + recalculation (mean)", t.mean, 100);
    ok &= Check("roster: one typed score + recalculation (worst)", t.worst, 100);

    const int r = 2 + rows / 2;
    const double want = ws.ValueAt(r, 4).Number() + ws.ValueAt(r, 5).Number() + 1000;
    start = Clock::now();
    ws.GetCell(r, 6).value = host::Variant(1000.0);
    ws.MarkChanged();
    wb.Calculate();
    std::printf("%-58s %10.2f ms\n", "roster: a change found by comparing the whole sheet", Millis(start, Clock::now()));
    if (ws.ValueAt(r, 7) != host::Variant(want)) {
        std::printf("roster sum wrong\n");
        return false;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int edits = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    bool ok = BenchSettingsSheet(edits);
    ok &= BenchRoster(rows, edits);
    return ok ? 0 : 1;
}
