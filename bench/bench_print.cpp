// Printing to PDF through the Print window's procedure, each in a fresh
// process: an exam-table workbook of 300 rooms (seating charts with three
// title rows per room and the print-information sheet), and a desk-label
// sheet with 1,400 photos. Prints seconds, the peak memory of the printing
// process, the PDF's size and pages; where LibreOffice is installed, its
// PDF export of the same workbook for comparison.
//
//   bench_print [ROOMS [PHOTOS]]     (default: 300 1400)
//   BENCH_PRINT_KEEP=DIR bench_print …   keeps the workbooks and PDFs in DIR
//
// Targets on the 2-core build machine: 300 rooms under 1 s and at least
// 3 × faster than LibreOffice; 1,400 photos under 3 s, the PDF at most
// 2 × the photos' bytes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "platform/RandomSource.h"
#include "platform/Toolkit.h"
#include "printing/PrintWorkbook.h"
#include "render/PagedOutput.h"
#include "render/PdfPrintService.h"
#include "workbook/Context.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

const char* kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭"};
const char* kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "洋", "艳", "勇", "军", "杰", "娟", "涛", "明"};

// Answers nothing: the benchmark prints, it never previews.
class QuietToolkit : public platform::Toolkit {
public:
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& r) override {
        std::printf("  [%s] %s\n", r.title.c_str(), r.prompt.c_str());
        return platform::MsgResult::No;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string OpenFileDialog(const platform::OpenFileRequest&) override { return {}; }
    void PlaceWindow(ui::Window&, int32_t, int32_t) override {}
    void ShowWindow(ui::Window&, bool) override {}
    void UnloadWindow(ui::Window&) override {}
    bool OpenDocument(const std::string&) override { return false; }
    bool StartProgram(const std::string&) override { return false; }
    double ScreenWidthTwips() override { return 1920 * 15; }
    double ScreenHeightTwips() override { return 1080 * 15; }
    double TwipsPerPixelX() override { return 15; }
    double TwipsPerPixelY() override { return 15; }
    double Now() override { return 1.7e9; }
    float Rnd() override { return 0.5f; }
    void Randomize() override {}
};

uint32_t Format(host::Workbook& wb, double size, bool bold, bool border, const char* horizontal = "center") {
    host::CellFormat f = wb.Styles().Default();
    f.font.name = "宋体";
    f.font.size = size;
    f.font.bold = bold;
    f.alignment.horizontal = horizontal;
    f.alignment.vertical = "center";
    f.alignment.wrapText = true;
    if (border) {
        f.border.left = f.border.right = f.border.top = f.border.bottom = {"thin", host::Color::FromRgb(0)};
    }
    return wb.Styles().Intern(f);
}

// 300 rooms of 30 seats: per room a title, the room line, a column header,
// 6 desk rows × 5 columns (name over exam number), a blank row between rooms.
//
//   s      第N考场座位表           (merged A:J, 18 pt bold)      ┐ title rows
//   s+1    考场：N  地点：…  监考：  (merged A:J)                  │ repeated
//   s+2    第1列 … 第5列          (merged pairs)                 ┘
//   s+3 …  name | number  × 5 columns, 12 rows
//   s+15   (blank)
std::string BuildExamTables(const fs::path& folder, int rooms) {
    host::Workbook wb(nullptr, "考场座位表1.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "高一座位表", "Sheet1");
    host::Worksheet& info = wb.InsertSheet(-1, "\t打印", "Sheet2");
    const uint32_t title = Format(wb, 18, true, false), line = Format(wb, 11, false, false, "left");
    const uint32_t head = Format(wb, 11, true, true), seat = Format(wb, 11, false, true);
    // 610 px in the 8-pixel digits of 宋体 11: one room fits the A4 width.
    for (int32_t c = 1; c <= 10; ++c) ws.SetColumnWidthChars(c, c % 2 ? 8 : 6);
    constexpr int32_t kBlock = 16;
    uint32_t x = 17;
    auto rnd = [&] { x = x * 1103515245u + 12345u; return (x >> 8) & 0xFFFF; };
    info.SetValueAt(1, 1, host::Variant(3));
    info.SetValueAt(1, 2, host::Variant("高一座位表"));
    for (int room = 0; room < rooms; ++room) {
        const int32_t s = 1 + room * kBlock;
        ws.SetValueAt(s, 1, host::Variant("第" + std::to_string(room + 1) + "考场座位表"));
        ws.SetStyleAt(s, 1, title);
        ws.MergedAreas().push_back({s, 1, s, 10});
        ws.GetRow(s).info.height = 30;
        ws.SetValueAt(s + 1, 1, host::Variant("考场：" + std::to_string(room + 1) + "  地点：教学楼" +
                                              std::to_string(room / 30 + 1) + "楼  监考：______"));
        ws.SetStyleAt(s + 1, 1, line);
        ws.MergedAreas().push_back({s + 1, 1, s + 1, 10});
        for (int32_t k = 0; k < 5; ++k) {
            ws.SetValueAt(s + 2, 1 + 2 * k, host::Variant("第" + std::to_string(k + 1) + "列"));
            for (int32_t c = 1 + 2 * k; c <= 2 + 2 * k; ++c) ws.SetStyleAt(s + 2, c, head);
            ws.MergedAreas().push_back({s + 2, 1 + 2 * k, s + 2, 2 + 2 * k});
        }
        for (int32_t d = 0; d < 12; ++d) {
            const int32_t r = s + 3 + d;
            ws.GetRow(r).info.height = 27;
            for (int32_t k = 0; k < 5; ++k) {
                const std::string name = std::string(kSurnames[rnd() % 16]) + kGiven[rnd() % 16] + kGiven[rnd() % 16];
                ws.SetValueAt(r, 1 + 2 * k, host::Variant(name));
                ws.SetValueAt(r, 2 + 2 * k, host::Variant("2026" + std::to_string(100000 + room * 30 + d * 5 + k)));
                ws.SetStyleAt(r, 1 + 2 * k, seat);
                ws.SetStyleAt(r, 2 + 2 * k, seat);
            }
        }
        info.SetValueAt(room + 2, 1, host::Variant(s));
        info.SetValueAt(room + 2, 2, host::Variant(10));
    }
    info.SetValueAt(rooms + 2, 1, host::Variant(1 + rooms * kBlock));
    info.SetValueAt(rooms + 2, 2, host::Variant(10));
    info.SetVisible(host::xlSheetHidden);
    const std::string file = (folder / wb.Name()).string();
    host::xlsx::SaveWorkbook(wb, file);
    return file;
}

// Desk labels: two labels per row, each a photo and the candidate's lines.
std::string BuildDeskLabels(const fs::path& folder, int photos, uint64_t& photoBytes) {
    render::EnsureGuiApplication();
    host::Workbook wb(nullptr, "桌贴1.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "桌贴", "Sheet1");
    const uint32_t text = Format(wb, 12, false, true, "left");
    ws.SetColumnWidthChars(1, 11);
    ws.SetColumnWidthChars(2, 24);
    ws.SetColumnWidthChars(3, 3);
    ws.SetColumnWidthChars(4, 11);
    ws.SetColumnWidthChars(5, 24);
    photoBytes = 0;
    for (int i = 0; i < photos; ++i) {
        // A portrait-sized photo of its own (300 × 400 px), some texture so the JPEG is photo-like.
        QImage img(300, 400, QImage::Format_RGB32);
        img.fill(QColor::fromHsv((i * 37) % 360, 60, 220));
        QPainter p(&img);
        for (int k = 0; k < 40; ++k) {
            p.setPen(QColor::fromHsv((i * 13 + k * 29) % 360, 180, 120 + k * 3));
            p.drawEllipse(QPoint((i * 7 + k * 31) % 300, (i * 11 + k * 17) % 400), 20 + k, 30 + k);
        }
        p.drawText(QRect(0, 340, 300, 60), Qt::AlignCenter, QString::number(100000 + i));
        p.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "JPEG", 85);
        photoBytes += uint64_t(bytes.size());
        const int32_t row = 1 + i / 2;
        const int32_t col = i % 2 ? 4 : 1;
        ws.GetRow(row).info.height = 90;
        ws.SetValueAt(row, col + 1, host::Variant("姓名：" + std::string(kSurnames[i % 16]) + kGiven[(i / 16) % 16] +
                                                  "\n考号：2026" + std::to_string(100000 + i) + "\n考场：" +
                                                  std::to_string(i / 30 + 1) + "  座号：" + std::to_string(i % 30 + 1)));
        ws.SetStyleAt(row, col + 1, text);
        host::Picture pic;
        pic.name = "照片 " + std::to_string(i + 1);
        pic.data = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
        pic.extension = "jpeg";
        pic.from = {col, row, 3 * 12700, 3 * 12700};
        pic.to = {col + 1, row + 1, 0, 0};
        pic.widthEmu = int64_t(60 * 12700);
        pic.heightEmu = int64_t(80 * 12700);
        ws.Pictures().push_back(std::move(pic));
    }
    const std::string file = (folder / wb.Name()).string();
    host::xlsx::SaveWorkbook(wb, file);
    return file;
}

// Opens and prints `file` into `pdf` in a fresh process as the Print
// window's print button does; prints the figures.
void PrintInChild(const std::string& label, const std::string& file, const std::string& pdf, uint64_t photoBytes) {
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        const auto t0 = Clock::now();
        render::EnsureGuiApplication();
        host::Application app;
        host::Workbook& system = app.Workbooks().Add();
        QuietToolkit toolkit;
        render::PdfPrintService service(pdf);
        app.SetPrintService(&service);
        workbook::Context ctx{app, system, toolkit};
        const auto t1 = Clock::now();
        const size_t slash = file.rfind('/');
        const printing::PrintReport report =
            printing::PrintChosenWorkbook(ctx, {file.substr(0, slash), file.substr(slash + 1)}, {});
        const auto t2 = Clock::now();
        const int pages = service.Written().empty() ? 0 : service.Written().front().pages;
        const double mb = double(fs::file_size(pdf)) / 1e6;
        std::printf("%-28s print %.2f s (start-up %.2f s)  %d jobs, %d pages  PDF %.1f MB", label.c_str(),
                    Seconds(t1, t2), Seconds(t0, t1), report.jobs, pages, mb);
        if (photoBytes) std::printf("  = %.2f × the photos' %.1f MB", mb * 1e6 / double(photoBytes), double(photoBytes) / 1e6);
        std::printf("\n");
        std::fflush(stdout);
        _exit(report.outcome.IsDone() ? 0 : 1);
    }
    int status = 0;
    struct rusage ru {};
    wait4(pid, &status, 0, &ru);
    // The processor time tells the work apart from waiting on a shared machine.
    const double cpu = double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    std::printf("%-28s peak memory %.0f MB, processor time %.2f s (whole process)%s\n", "", ru.ru_maxrss / 1024.0, cpu,
                WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "  (the run did not complete)");
}

void LibreOfficeExport(const std::string& file, const fs::path& folder) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
        std::printf("%-28s soffice not installed: no comparison\n", "LibreOffice");
        return;
    }
    const std::string out = (folder / "lo").string();
    const std::string cmd = "soffice --headless --convert-to pdf --outdir '" + out + "' '" + file + "' >/dev/null 2>&1";
    const auto t0 = Clock::now();
    const int rc = std::system(cmd.c_str());
    std::printf("%-28s PDF export %.2f s%s\n", "LibreOffice", Seconds(t0, Clock::now()), rc ? " (failed)" : "");
}

}  // namespace

int main(int argc, char** argv) {
    const int rooms = argc > 1 ? std::atoi(argv[1]) : 300;
    const int photos = argc > 2 ? std::atoi(argv[2]) : 1400;
    // BENCH_PRINT_KEEP=DIR keeps the workbooks and PDFs there (for looking at the pages).
    const char* keep = std::getenv("BENCH_PRINT_KEEP");
    const fs::path folder = keep && *keep ? fs::path(keep) : fs::temp_directory_path() / ("bench_print_" + std::to_string(getpid()));
    fs::create_directories(folder);

    const std::string tables = BuildExamTables(folder, rooms);
    PrintInChild(std::to_string(rooms) + " rooms → PDF", tables, (folder / "rooms.pdf").string(), 0);
    LibreOfficeExport(tables, folder);

    // The photos are made with Qt in a process of their own, so that the
    // printing process starts as fresh as the first one.
    const fs::path sizeFile = folder / "photo-bytes.txt";
    std::fflush(stdout);
    if (pid_t pid = fork(); pid == 0) {
        uint64_t bytes = 0;
        BuildDeskLabels(folder, photos, bytes);
        if (FILE* f = std::fopen(sizeFile.c_str(), "w")) {
            std::fprintf(f, "%llu\n", static_cast<unsigned long long>(bytes));
            std::fclose(f);
        }
        _exit(0);
    } else {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    uint64_t photoBytes = 0;
    if (FILE* f = std::fopen(sizeFile.c_str(), "r")) {
        unsigned long long v = 0;
        if (std::fscanf(f, "%llu", &v) == 1) photoBytes = v;
        std::fclose(f);
    }
    const std::string labels = (folder / "桌贴1.xlsx").string();
    PrintInChild(std::to_string(photos) + " photos → PDF", labels, (folder / "labels.pdf").string(), photoBytes);

    std::error_code ec;
    if (keep && *keep) std::printf("files kept in %s\n", folder.c_str());
    else fs::remove_all(folder, ec);
    return 0;
}
