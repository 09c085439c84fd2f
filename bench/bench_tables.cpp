// Exam tables for 10,000 candidates with a photo each: three grades, rooms of
// 30 in 5 desk groups of 6, arranged; then the seating charts with photos
// (the built-in 考场座位表 with the class line replaced by {照片}) and the
// desk labels (桌贴), each generated and saved by `tolm tables` in a fresh
// process, whose seconds and peak memory are printed.
//   bench_tables [CANDIDATES]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandRunner.h"
#include "cli/Portrait.h"
#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kGrades = 3, kGroups = 5, kDesks = 6;

int Run(const fs::path& dir, const std::vector<std::string>& args, bool quiet = true) {
    std::istringstream in;
    std::ostringstream out, err;
    cli::RunEnvironment env;
    const std::string system = (dir / "系统.xlsx").string();
    env.env = [system](const std::string& name) -> std::optional<std::string> {
        if (name == "TOLM_SYSTEM") return system;
        return std::nullopt;
    };
    env.currentFolder = dir.string();
    int code = cli::RunCommandLine(args, cli::Console{in, out, err, false}, env);
    if (code != 0 || !quiet) std::cerr << out.str() << err.str();
    return code;
}

// Grade k's candidates are k-th of the total; classes of 50; photos written
// from a few encoded portraits (the bytes differ only between those).
std::vector<int> WriteRoster(const fs::path& dir, int total) {
    std::vector<std::vector<uint8_t>> portraits;
    for (int i = 0; i < 8; ++i) portraits.push_back(cli::EncodeJpeg(cli::DrawPortrait(uint64_t(i), i % 2 == 1), 75));
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    std::vector<int> sizes;
    for (int g = 0; g < kGrades; ++g) {
        const int n = total / kGrades + (g < total % kGrades ? 1 : 0);
        sizes.push_back(n);
        const std::string grade = "高" + std::string(g == 0 ? "一" : g == 1 ? "二" : "三");
        host::Worksheet& ws = g == 0 ? wb.Sheet(1) : wb.Worksheets().Add(&wb.Sheet(wb.SheetCount()));
        ws.SetName(grade);
        host::Array2D cells(n + 1, 5);
        const char* titles[] = {"学号", "姓名", "班级", "照片", "照片夹"};
        for (int c = 0; c < 5; ++c) cells(1, c + 1) = host::Variant(titles[c]);
        fs::create_directories(dir / "照片" / grade);
        for (int i = 0; i < n; ++i) {
            const std::string number = std::to_string(g + 1) + std::to_string(100000 + i).substr(1);
            cells(i + 2, 1) = host::Variant(number);
            cells(i + 2, 2) = host::Variant("考生" + number);
            cells(i + 2, 3) = host::Variant(std::to_string(i / 50 + 1) + "班");
            cells(i + 2, 4) = host::Variant(number);
            cells(i + 2, 5) = host::Variant("照片/" + grade);
            cli::WriteBinaryFile((dir / "照片" / grade / (number + ".jpg")).string(), portraits[size_t(i) % portraits.size()]);
        }
        ws.Cells(1, 1).Resize(n + 1, 5).SetValues(cells);
    }
    wb.SaveAs((dir / "花名册.xlsx").string());
    return sizes;
}

// Each grade in rooms of its own, filled group by group, 6 desks a group.
bool Prepare(const fs::path& dir, int total) {
    const std::vector<int> sizes = WriteRoster(dir, total);
    const int perRoom = kGroups * kDesks;
    std::vector<int> rooms;
    int roomCount = 0;
    for (int n : sizes) rooms.push_back((n + perRoom - 1) / perRoom), roomCount += rooms.back();
    if (Run(dir, {"open-roster", "花名册.xlsx"})) return false;
    if (Run(dir, {"settings", "--desk-groups", std::to_string(kGroups), "--rooms", std::to_string(roomCount),
                  "--grades-per-group", "1"}))
        return false;
    int firstRoom = 0;
    const char* columns[] = {"I", "J", "K", "L", "M"};
    for (int g = 0; g < kGrades; ++g) {
        const std::string grade = "高" + std::string(g == 0 ? "一" : g == 1 ? "二" : "三");
        std::vector<std::string> args = {"edit", "花名册.xlsx", "--sheet", grade + "\\t设置"};
        int left = sizes[size_t(g)];
        for (int r = 0; r < rooms[size_t(g)]; ++r)
            for (int k = 0; k < kGroups; ++k) {
                const int desks = std::min(kDesks, left);
                left -= desks;
                args.push_back(std::string(columns[k]) + std::to_string(firstRoom + r + 2) + "=" + std::to_string(desks));
            }
        firstRoom += rooms[size_t(g)];
        if (Run(dir, args)) return false;
    }
    if (Run(dir, {"arrange", "--order", "asc", "--key", "学号", "--desks", "s", "--number", "1", "--first", "1"}))
        return false;
    // The seating chart's class line becomes the photo.
    return Run(dir, {"edit", "系统.xlsx", "--sheet", "考场座位表", "C10={照片}"}) == 0;
}

int Child(const char* dir, const char* templ, int fd) {
    const auto t0 = Clock::now();
    const int code = Run(dir, {"tables", "--template", templ});
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    return write(fd, &seconds, sizeof seconds) == sizeof seconds ? code : 1;
}

void Measure(const fs::path& dir, const std::string& templ) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return;
    pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        const std::string fd = std::to_string(pipefd[1]);
        execl("/proc/self/exe", "bench_tables", "--child", dir.c_str(), templ.c_str(), fd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipefd[1]);
    double seconds = 0;
    const ssize_t n = read(pipefd[0], &seconds, sizeof seconds);
    close(pipefd[0]);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    if (n != sizeof seconds || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("%-8s failed\n", templ.c_str());
        return;
    }
    // What was saved, read back outside the measurement.
    size_t pictures = 0;
    host::Application app;
    auto wb = host::xlsx::LoadWorkbook(&app, (dir / "花名册.xlsx考试用表" / (templ + ".xlsx")).string());
    for (int i = 1; i <= wb->SheetCount(); ++i) pictures += wb->Sheet(i).Pictures().size();
    std::printf("%-8s generated and saved in %6.2f s, peak %6.1f MB, %zu photos\n", templ.c_str(), seconds,
                ru.ru_maxrss / 1024.0, pictures);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3], std::atoi(argv[4]));
    const int total = argc > 1 ? std::atoi(argv[1]) : 10000;
    const fs::path dir = fs::temp_directory_path() / ("tolm-bench-tables-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::printf("%d candidates, %d grades, rooms of %d in %d groups, a photo each\n", total, kGrades,
                kGroups * kDesks, kGroups);
    const auto t0 = Clock::now();
    if (!Prepare(dir, total)) {
        std::printf("preparing the roster failed\n");
        fs::remove_all(dir);
        return 1;
    }
    std::printf("roster, settings and arrangement prepared in %.1f s\n",
                std::chrono::duration<double>(Clock::now() - t0).count());
    Measure(dir, "考场座位表");
    Measure(dir, "桌贴");
    fs::remove_all(dir);
    return 0;
}
