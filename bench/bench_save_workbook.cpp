// Save and round-trip time of a large roster workbook: 3 sheets × 100,000
// rows × 12 columns, text and numbers mixed as in a real roster.
//   bench_save_workbook [rows] [folder] [--save-only]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "host/xlsx/WriterPackage.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// User plus system time of the process: on a shared machine a steadier
// figure than the wall clock.
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long PeakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

void FillRoster(host::Worksheet& ws, int rows) {
    const char* titles[12] = {"学号", "姓名", "班级", "性别", "语文", "数学", "英语", "总分", "考场", "座号", "备注", "身份证"};
    for (int c = 0; c < 12; ++c) ws.SetValueAt(1, c + 1, host::Variant(titles[c]));
    for (int r = 2; r <= rows + 1; ++r) {
        ws.SetValueAt(r, 1, host::Variant(20260000 + r));
        ws.SetValueAt(r, 2, host::Variant("学生" + std::to_string(r % 5000)));
        ws.SetValueAt(r, 3, host::Variant("高一（" + std::to_string(r % 20 + 1) + "）班"));
        ws.SetValueAt(r, 4, host::Variant(r % 2 ? "男" : "女"));
        for (int c = 5; c <= 8; ++c) ws.SetValueAt(r, c, host::Variant((r * 7 + c * 13) % 1500 / 10.0));
        ws.SetValueAt(r, 9, host::Variant(r / 30 + 1));
        ws.SetValueAt(r, 10, host::Variant(r % 30 + 1));
        ws.SetValueAt(r, 11, host::Variant(r % 7 ? "" : "缓考"));
        ws.SetValueAt(r, 12, host::Variant("3301" + std::to_string(100000000000LL + r)));
    }
}

std::chrono::steady_clock::time_point g_start;
void PrintStage(const std::string& stage) { std::printf("  %7.3f s  %s\n", Seconds(g_start), stage.c_str()); }

}  // namespace

int main(int argc, char** argv) {
    int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::filesystem::path folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
    std::string file = (folder / "tolm-save-bench.xlsx").string();

    host::Workbook wb(nullptr, "bench.xlsx");
    for (int s = 1; s <= 3; ++s) FillRoster(wb.InsertSheet(-1, "高" + std::to_string(s), "Sheet" + std::to_string(s)), rows);
    long modelMb = PeakRssMb();

    double cpu0 = CpuSeconds();
    auto t0 = std::chrono::steady_clock::now();
    g_start = t0;
    if (std::getenv("TOLM_BENCH_STAGES")) host::xlsx::SetSaveStageHook(PrintStage);
    host::xlsx::SaveWorkbook(wb, file);
    double save = Seconds(t0);
    double saveCpu = CpuSeconds() - cpu0;
    host::xlsx::SetSaveStageHook(nullptr);
    long saveMb = PeakRssMb();
    if (argc > 3 && std::string(argv[3]) == "--save-only") {
        std::printf("save %.3f s (cpu %.3f s), peak RSS: model %ld MB, after save %ld MB\n", save, saveCpu, modelMb,
                    saveMb);
        return 0;
    }

    auto t1 = std::chrono::steady_clock::now();
    auto loaded = host::xlsx::LoadWorkbook(nullptr, file);
    double load = Seconds(t1);
    auto t2 = std::chrono::steady_clock::now();
    host::xlsx::SaveWorkbook(*loaded, file);
    double resave = Seconds(t2);

    std::printf("rows per sheet %d, file %.1f MB\n", rows, std::filesystem::file_size(file) / 1e6);
    std::printf("save %.3f s (cpu %.3f s), load %.3f s, round trip (load + save) %.3f s\n", save, saveCpu, load, load + resave);
    std::printf("peak RSS: model %ld MB, after save %ld MB, after round trip %ld MB\n", modelMb, saveMb, PeakRssMb());
    std::filesystem::remove(file);
    return 0;
}
