// tolm print: an exam-table workbook into one PDF block by block, previews
// into numbered files with the questions answered from --answer, the checks
// of the Print window, and a printed file left as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "CliTestSupport.h"
#include "host/LockFile.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "render/PrinterPrintService.h"
#include "support/TestSupport.h"

using cli_test::Contains;
using cli_test::Outcome;
using host::Variant;

namespace {

int PdfPages(const std::string& file) {
    std::string out;
    if (testing_support::Run("pdfinfo '" + file + "' 2>/dev/null", &out) == 0) {
        const size_t at = out.find("Pages:");
        if (at != std::string::npos) return std::stoi(out.substr(at + 6));
    }
    // Without poppler: count the page objects.
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    int n = 0;
    for (size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
        if (bytes.compare(at, 12, "/Type /Pages") != 0) ++n;
    return n;
}

struct PrintWorld {
    testing_support::TempDir dir;
    cli_test::InProcess tolm;
    std::string file;

    // Three rooms of a seating chart, each 8 rows with 2 title rows, and a
    // list sheet that the print-information sheet does not name.
    PrintWorld() {
        tolm.env["TOLM_SYSTEM"] = dir.File("系统.xlsx");
        tolm.currentFolder = dir.Path().string();
        host::Workbook wb(nullptr, "考场座位表1.xlsx");
        host::Worksheet& chart = wb.InsertSheet(-1, "座位表", "Sheet1");
        for (int32_t room = 0; room < 3; ++room) {
            const int32_t s = 1 + room * 9;
            chart.SetValueAt(s, 1, Variant("第" + std::to_string(room + 1) + "考场"));
            for (int32_t r = s + 1; r < s + 8; ++r)
                for (int32_t c = 1; c <= 5; ++c) chart.SetValueAt(r, c, Variant("座" + std::to_string(r * 10 + c)));
        }
        wb.InsertSheet(-1, "名单", "Sheet2").SetValueAt(1, 1, Variant("名单"));
        host::Worksheet& info = wb.InsertSheet(-1, "\t打印", "Sheet3");
        const double table[][4] = {{2, 0, 0, 0}, {1, 5, 0, 0}, {10, 5, 0, 0}, {19, 5, 0, 0}, {28, 5, 0, 0}};
        for (int32_t r = 0; r < 5; ++r)
            for (int32_t c = 0; c < 2; ++c) info.SetValueAt(r + 1, c + 1, Variant(table[r][c]));
        info.SetValueAt(1, 2, Variant("座位表"));
        file = dir.File("考场座位表1.xlsx");
        host::xlsx::SaveWorkbook(wb, file);
    }
    Outcome Run(const std::vector<std::string>& args) const { return tolm.Run(args); }
};

TEST(PrintCommand, AnExamTableWorkbookBecomesOnePdfBlockByBlock) {
    PrintWorld w;
    const std::string before = testing_support::ReadFile(w.file);
    const Outcome o = w.Run({"print", w.file, "--pdf", "座位表.pdf"});
    ASSERT_EQ(o.code, 0) << o.out << o.err;
    const std::string pdf = w.dir.File("座位表.pdf");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(PdfPages(pdf), 4) << "three rooms and the list";
    EXPECT_TRUE(Contains(o.out, pdf)) << o.out;
    EXPECT_EQ(testing_support::ReadFile(w.file), before) << "printing saves nothing";
}

TEST(PrintCommand, AWorkbookOpenInAnotherProgramPrintsAndKeepsItsLock) {
    PrintWorld w;
    const std::string lock = host::LockFileName(w.file);
    const std::string line = "李四,lisi,jiaowu-pc,08.12.2026 10:05,file:///home/lisi/.config/libreoffice/4;";
    {
        std::ofstream(lock, std::ios::binary) << line;
    }
    const Outcome o = w.Run({"print", w.file, "--pdf", "座位表.pdf"});
    ASSERT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_EQ(PdfPages(w.dir.File("座位表.pdf")), 4);
    EXPECT_EQ(testing_support::ReadFile(lock), line) << "the other program's lock stays";
}

TEST(PrintCommand, PreviewsGoIntoNumberedFilesAndYesEndsThem) {
    PrintWorld w;
    const std::string out = w.dir.File("预览");
    Outcome o = w.Run({"--out", out, "--answer", "no", "--answer", "yes", "print", w.file, "--preview"});
    ASSERT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_TRUE(Contains(o.out, "[提示] 单击按钮“是”退出打印预览，单击按钮“否”预览下一分区！")) << o.out;
    EXPECT_TRUE(std::filesystem::exists(out + "/预览1.pdf"));
    EXPECT_TRUE(std::filesystem::exists(out + "/预览2.pdf"));
    EXPECT_FALSE(std::filesystem::exists(out + "/预览3.pdf"));
    EXPECT_TRUE(Contains(o.out, out + "/预览2.pdf"));
    EXPECT_EQ(PdfPages(out + "/预览1.pdf"), 1);
}

TEST(PrintCommand, APreviewQuestionWithoutAnAnswerStopsWithThree) {
    PrintWorld w;
    const Outcome o = w.Run({"--out", w.dir.File("p"), "print", w.file, "--preview"});
    EXPECT_EQ(o.code, 3) << o.out << o.err;
}

TEST(PrintCommand, PreviewIntoOnePdfTakesThePreviewedBlocks) {
    PrintWorld w;
    const Outcome o = w.Run({"--answer", "no", "--answer", "yes", "print", w.file, "--preview", "--pdf", "看.pdf"});
    ASSERT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_EQ(PdfPages(w.dir.File("看.pdf")), 2);
}

TEST(PrintCommand, AMissingFileIsTheWindowsMessage) {
    PrintWorld w;
    const Outcome o = w.Run({"print", w.dir.File("没有.xlsx"), "--pdf", "x.pdf"});
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Contains(o.out, "》已被删除！")) << o.out;
    EXPECT_FALSE(std::filesystem::exists(w.dir.File("x.pdf")));
}

TEST(PrintCommand, WithoutAPrinterNothingIsPrintedAndPdfIsNamed) {
    if (!render::PrinterPrintService::Printers().empty()) GTEST_SKIP() << "a printer is installed here";
    PrintWorld w;
    const Outcome o = w.Run({"print", w.file});
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Contains(o.err, "--pdf")) << o.err;
}

}  // namespace
