// Loading of roster workbooks, 3 sheets × N rows × 12 columns, written by
// hand as Excel lays them out (shared strings, a text format on the id
// column). Prints the load time and the peak memory of the loading process.
//
//   bench_reader_load [ROWS …]          (default: 10000 100000)
//   bench_reader_load --keep FILE ROWS  (writes the file and leaves it)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/Workbook.h"
#include "host/xlsx/Package.h"

namespace {

const char* kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭"};
const char* kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "洋", "艳", "勇", "军", "杰", "娟", "涛", "明", "超", "秀英"};

class Strings {
public:
    int Index(const std::string& s) {
        auto [it, added] = index_.emplace(s, int(list_.size()));
        if (added) list_.push_back(s);
        return it->second;
    }
    std::string Part() const {
        std::string out = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
        for (const std::string& s : list_) out += "<si><t>" + s + "</t></si>";
        return out + "</sst>";
    }

private:
    std::unordered_map<std::string, int> index_;
    std::vector<std::string> list_;
};

std::string Sheet(int rows, int grade, Strings& sst) {
    const char* titles[] = {"序号", "学号", "姓名", "性别", "班级", "出生日期", "语文", "数学", "英语", "照片", "照片夹", "备注"};
    std::string x = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><dimension ref=\"A1:L" +
                    std::to_string(rows + 1) + "\"/><sheetData><row r=\"1\">";
    auto str = [&](int r, int c, const std::string& s, int style = 0) {
        x += "<c r=\"" + std::string(1, char('A' + c - 1)) + std::to_string(r) + "\"" +
             (style ? " s=\"" + std::to_string(style) + "\"" : "") + " t=\"s\"><v>" + std::to_string(sst.Index(s)) + "</v></c>";
    };
    auto num = [&](int r, int c, double v, int style = 0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g", v);
        x += "<c r=\"" + std::string(1, char('A' + c - 1)) + std::to_string(r) + "\"" +
             (style ? " s=\"" + std::to_string(style) + "\"" : "") + "><v>" + buf + "</v></c>";
    };
    for (int c = 0; c < 12; ++c) str(1, c + 1, titles[c]);
    x += "</row>";
    uint32_t seed = 12345u + grade;
    auto rnd = [&] { seed = seed * 1103515245u + 12345u; return (seed >> 8) & 0xFFFF; };
    for (int r = 2; r <= rows + 1; ++r) {
        int i = r - 1;
        char id[16];
        std::snprintf(id, sizeof id, "%04d%02d%04d", 2024 + grade, 1 + i % 12, i % 10000);
        x += "<row r=\"" + std::to_string(r) + "\" spans=\"1:12\">";
        num(r, 1, i);
        str(r, 2, id, 1);
        str(r, 3, std::string(kSurnames[rnd() % 16]) + kGiven[rnd() % 18] + (rnd() % 2 ? kGiven[rnd() % 18] : ""));
        str(r, 4, rnd() % 2 ? "男" : "女");
        str(r, 5, std::to_string(1 + i % 36) + "班");
        num(r, 6, 38000 + rnd() % 1500, 2);
        for (int c = 7; c <= 9; ++c) num(r, c, double(rnd() % 1500) / 10);
        str(r, 10, id);
        str(r, 11, "照片/高" + std::to_string(grade));
        if (i % 7 == 0) str(r, 12, "转学生");
        x += "</row>";
    }
    return x + "</sheetData></worksheet>";
}

void Write(const std::string& file, int rows) {
    Strings sst;
    std::vector<std::pair<std::string, std::string>> parts;
    const char* names[] = {"高一", "高二", "高三"};
    std::string sheets, rels;
    for (int g = 1; g <= 3; ++g) {
        std::string n = std::to_string(g);
        parts.emplace_back("xl/worksheets/sheet" + n + ".xml", Sheet(rows, g, sst));
        sheets += "<sheet name=\"" + std::string(names[g - 1]) + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                "Target=\"worksheets/sheet" + n + ".xml\"/>";
    }
    rels += "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
            "<Relationship Id=\"rId8\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>";
    parts.emplace_back("xl/sharedStrings.xml", sst.Part());
    parts.emplace_back("xl/styles.xml",
                       "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><fonts><font><sz val=\"11\"/>"
                       "<name val=\"宋体\"/></font></fonts><cellXfs><xf/><xf numFmtId=\"49\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>");
    parts.emplace_back("xl/workbook.xml",
                       "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                       "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>" + sheets +
                           "</sheets></workbook>");
    parts.emplace_back("xl/_rels/workbook.xml.rels",
                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + rels + "</Relationships>");
    parts.emplace_back("_rels/.rels",
                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                       "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    parts.emplace_back("[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    int err = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    for (auto& [name, content] : parts) {
        zip_source_t* s = zip_source_buffer(z, content.data(), content.size(), 0);
        zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE);
    }
    zip_close(z);
}

// In a child process, so that its peak memory is the load's alone.
void Measure(const std::string& file, int rows) {
    int fd[2];
    if (pipe(fd) != 0) return;
    pid_t pid = fork();
    if (pid == 0) {
        close(fd[0]);
        auto t0 = std::chrono::steady_clock::now();
        auto wb = host::xlsx::LoadWorkbook(nullptr, file);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        _exit(write(fd[1], &s, sizeof s) == sizeof s ? 0 : 1);
    }
    close(fd[1]);
    double s = 0;
    ssize_t n = read(fd[0], &s, sizeof s);
    close(fd[0]);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    if (n != sizeof s || !WIFEXITED(status) || WEXITSTATUS(status)) {
        std::printf("3 × %-7d  load failed\n", rows);
        return;
    }
    std::printf("3 × %-7d  load %6.3f s  peak %6.1f MB  file %5.1f MB\n", rows, s, ru.ru_maxrss / 1024.0,
                std::filesystem::file_size(file) / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--keep") == 0) {
        Write(argv[2], std::atoi(argv[3]));
        return 0;
    }
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 100000};
    std::string file = (std::filesystem::temp_directory_path() / ("tolm-load-" + std::to_string(getpid()) + ".xlsx")).string();
    for (int rows : sizes) {
        Write(file, rows);
        Measure(file, rows);
    }
    std::filesystem::remove(file);
    return 0;
}
