// Load and save of generated roster workbooks: 3 sheets × N rows × 12 columns.
// Prints seconds and the peak memory of the process that does the round trip.
//
//   bench_roundtrip [ROWS …]     (default: 1000 10000 100000)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "MeasuredChild.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

const char* kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭"};
const char* kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "洋", "艳", "勇", "军", "杰", "娟", "涛", "明", "超", "秀英"};

// 序号 学号 姓名 性别 班级 出生日期 语文 数学 英语 照片 照片夹 备注
void FillRoster(host::Worksheet& ws, int rows, int grade) {
    const char* titles[] = {"序号", "学号", "姓名", "性别", "班级", "出生日期", "语文", "数学", "英语", "照片", "照片夹", "备注"};
    for (int c = 0; c < 12; ++c) ws.SetValueAt(1, c + 1, host::Variant(titles[c]));
    host::CellFormat textFormat;
    textFormat.numberFormat = "@";
    uint32_t text = ws.Parent().Styles().Intern(textFormat);
    host::CellFormat dateFormat;
    dateFormat.numberFormat = "yyyy/m/d";
    uint32_t date = ws.Parent().Styles().Intern(dateFormat);
    uint32_t x = 12345u + grade;
    auto rnd = [&] { x = x * 1103515245u + 12345u; return (x >> 8) & 0xFFFF; };
    for (int r = 2; r <= rows + 1; ++r) {
        int i = r - 1;
        char id[16];
        std::snprintf(id, sizeof id, "%04d%02d%04d", 2024 + grade, 1 + i % 12, i);
        std::string name = std::string(kSurnames[rnd() % 16]) + kGiven[rnd() % 18] + (rnd() % 2 ? kGiven[rnd() % 18] : "");
        ws.SetValueAt(r, 1, host::Variant(i));
        ws.SetValueAt(r, 2, host::Variant(std::string(id)));
        ws.SetStyleAt(r, 2, text);
        ws.SetValueAt(r, 3, host::Variant(name));
        ws.SetValueAt(r, 4, host::Variant(rnd() % 2 ? "男" : "女"));
        ws.SetValueAt(r, 5, host::Variant(std::to_string(1 + i % 36) + "班"));
        ws.SetValueAt(r, 6, host::Variant(double(38000 + rnd() % 1500)));
        ws.SetStyleAt(r, 6, date);
        for (int c = 7; c <= 9; ++c) ws.SetValueAt(r, c, host::Variant(double(rnd() % 1500) / 10));
        ws.SetValueAt(r, 10, host::Variant(std::string(id)));
        ws.SetValueAt(r, 11, host::Variant("照片/高" + std::to_string(grade)));
        if (i % 7 == 0) ws.SetValueAt(r, 12, host::Variant("转学生"));
    }
}

std::string Generate(const std::filesystem::path& dir, int rows) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    const char* names[] = {"高一", "高二", "高三"};
    wb.Sheet(1).SetName(names[0]);
    for (int g = 0; g < 3; ++g) {
        host::Worksheet& ws = g == 0 ? wb.Sheet(1) : wb.Worksheets().Add(&wb.Sheet(wb.SheetCount()));
        if (g) ws.SetName(names[g]);
        FillRoster(ws, rows, g + 1);
    }
    std::string file = (dir / ("roster-" + std::to_string(rows) + ".xlsx")).string();
    host::xlsx::SaveWorkbook(wb, file);
    return file;
}

// The round trip itself, run in a fresh process (see MeasureRoundTrip);
// writes the two times to `fd`.
int RoundTripChild(const std::string& file, int fd) {
    host::Application app;
    auto t0 = Clock::now();
    auto wb = host::xlsx::LoadWorkbook(&app, file);
    auto t1 = Clock::now();
    host::xlsx::SaveWorkbook(*wb, file + ".out.xlsx");
    auto t2 = Clock::now();
    return bench::ReportTimes(fd, Seconds(t0, t1), Seconds(t1, t2));
}

void MeasureRoundTrip(const std::string& file, int rows) {
    const auto f = bench::RunMeasuredChild("bench_roundtrip", {file});
    if (!f) {
        std::printf("3 × %-7d  round trip failed\n", rows);
        return;
    }
    std::printf("3 × %-7d  load %6.3f s  save %6.3f s  round trip %6.3f s  peak %6.1f MB  file %6.1f MB\n", rows,
                f->times[0], f->times[1], f->times[0] + f->times[1], f->peakMB,
                std::filesystem::file_size(file) / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child") return RoundTripChild(argv[3], std::atoi(argv[2]));
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 10000, 100000};
    auto dir = std::filesystem::temp_directory_path() / ("tolm-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::printf("roster workbooks: 3 sheets × rows × 12 columns (text with leading zeros, names, numbers, dates)\n");
    for (int rows : sizes) {
        try {
            MeasureRoundTrip(Generate(dir, rows), rows);
        } catch (const std::exception& e) {
            std::printf("3 × %-7d  failed: %s\n", rows, e.what());
        }
    }
    std::filesystem::remove_all(dir);
    return 0;
}
