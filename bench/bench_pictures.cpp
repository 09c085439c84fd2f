// Pictures placed down one sheet, as a photo table places them: each photo at
// the top-left of its cell (Range.Left/Top), rows of varying heights, then the
// workbook saved to .xlsx. Prints seconds for placing and for saving, and the
// peak memory of the process that does both.
//
//   bench_pictures [PICTURES [BYTES]]     (default: 10000 pictures of 8000 bytes)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// A valid 1 × 1 grey baseline JPEG; a comment segment after SOI pads each
// file to the wanted size and makes every photo's bytes distinct.
const uint8_t kTinyJpeg[] = {
    0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x08, 0x06, 0x06, 0x07, 0x06, 0x05, 0x08, 0x07, 0x07, 0x07, 0x09,
    0x09, 0x08, 0x0A, 0x0C, 0x14, 0x0D, 0x0C, 0x0B, 0x0B, 0x0C, 0x19, 0x12, 0x13, 0x0F, 0x14, 0x1D, 0x1A, 0x1F,
    0x1E, 0x1D, 0x1A, 0x1C, 0x1C, 0x20, 0x24, 0x2E, 0x27, 0x20, 0x22, 0x2C, 0x23, 0x1C, 0x1C, 0x28, 0x37, 0x29,
    0x2C, 0x30, 0x31, 0x34, 0x34, 0x34, 0x1F, 0x27, 0x39, 0x3D, 0x38, 0x32, 0x3C, 0x2E, 0x33, 0x34, 0x32, 0xFF,
    0xC0, 0x00, 0x0B, 0x08, 0x00, 0x01, 0x00, 0x01, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xC4, 0x00, 0x14, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0xFF, 0xC4,
    0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x2A, 0x9F, 0xFF, 0xD9};

std::vector<std::string> WritePhotos(const std::filesystem::path& dir, int count, size_t bytes) {
    std::vector<std::string> files;
    files.reserve(size_t(count));
    size_t pad = bytes > sizeof kTinyJpeg + 4 ? std::min<size_t>(bytes - sizeof kTinyJpeg - 4, 65533) : 0;
    for (int i = 0; i < count; ++i) {
        std::string file = (dir / ("photo" + std::to_string(i) + ".jpg")).string();
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(kTinyJpeg), 2);
        if (pad) {
            std::string comment(pad, ' ');
            std::string tag = std::to_string(i);
            comment.replace(0, tag.size(), tag);
            size_t len = pad + 2;
            const char head[] = {char(0xFF), char(0xFE), char(len >> 8), char(len & 0xFF)};
            out.write(head, 4);
            out.write(comment.data(), std::streamsize(comment.size()));
        }
        out.write(reinterpret_cast<const char*>(kTinyJpeg) + 2, sizeof kTinyJpeg - 2);
        files.push_back(file);
    }
    return files;
}

// One photo per record of three rows: a title row, the photo row, a gap row;
// heights vary from record to record so that no two stretches are alike.
int PlaceAndSave(const std::vector<std::string>& photos, const std::string& out, int fd) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    ws.GetRange("A:A").SetColumnWidth(4);
    ws.GetRange("B:B").SetColumnWidth(12);
    auto t0 = Clock::now();
    for (size_t i = 0; i < photos.size(); ++i) {
        int32_t top = int32_t(i) * 3 + 1;
        ws.Cells(top, 1).SetRowHeight(15 + double(i % 4) * 0.75);
        ws.Cells(top + 1, 1).SetRowHeight(72 + double(i % 7) * 1.5);
        if (i % 5 == 0) ws.Cells(top + 2, 1).SetRowHeight(6);
        ws.SetValueAt(top, 2, host::Variant("考生 " + std::to_string(i + 1)));
        host::Range cell = ws.Cells(top + 1, 2);
        ws.Shapes().AddPicture(photos[i], cell.Left() + 3, cell.Top() + 3, 54, 66);
    }
    auto t1 = Clock::now();
    host::xlsx::SaveWorkbook(wb, out);
    auto t2 = Clock::now();
    double times[2] = {Seconds(t0, t1), Seconds(t1, t2)};
    return write(fd, times, sizeof times) == sizeof times ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--child") {
        // --child FD OUT PHOTO…: read the photo list from the file named OUT.list
        std::string out = argv[3];
        std::vector<std::string> photos;
        std::ifstream list(out + ".list");
        for (std::string line; std::getline(list, line);) photos.push_back(line);
        return PlaceAndSave(photos, out, std::atoi(argv[2]));
    }
    int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    size_t bytes = argc > 2 ? size_t(std::atol(argv[2])) : 8000;
    auto dir = std::filesystem::temp_directory_path() / ("tolm-bench-pictures-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<std::string> photos = WritePhotos(dir, count, bytes);
    std::string out = (dir / "pictures.xlsx").string();
    {
        std::ofstream list(out + ".list");
        for (const std::string& p : photos) list << p << '\n';
    }

    // Placing and saving run in a new process image, so that its peak memory
    // is theirs alone.
    int pipefd[2];
    if (pipe(pipefd) != 0) return 1;
    pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        std::string fd = std::to_string(pipefd[1]);
        execl("/proc/self/exe", "bench_pictures", "--child", fd.c_str(), out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipefd[1]);
    double times[2] = {0, 0};
    ssize_t n = read(pipefd[0], times, sizeof times);
    close(pipefd[0]);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    if (n != sizeof times || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("%d pictures: failed\n", count);
        std::filesystem::remove_all(dir);
        return 1;
    }
    std::printf("%d pictures of %zu bytes, one sheet, rows of varying heights\n", count, bytes);
    std::printf("place %7.3f s  save %7.3f s  peak %7.1f MB  file %7.1f MB\n", times[0], times[1], ru.ru_maxrss / 1024.0,
                std::filesystem::file_size(out) / 1048576.0);
    std::filesystem::remove_all(dir);
    return 0;
}
