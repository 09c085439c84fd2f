// Page setups as other programs write them — openpyxl, XlsxWriter, and
// LibreOffice saving the openpyxl file again — survive our save as openpyxl
// reads them back (every setting, header and footer of odd, even and first
// pages included), and paginate as the page setup asks; where LibreOffice is
// installed, its PDF export of our saved file has as many pages per sheet as
// we cut. The workbooks are written by tests/xlsx/page_setup_producers.py.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "host/Pagination.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Run;

std::string Script() { return (fs::path(TOLM_TEST_DATA).parent_path() / "xlsx" / "page_setup_producers.py").string(); }

bool HaveOpenpyxl() { return Run("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") == 0; }
bool HaveLibreOffice() { return fs::exists("/usr/bin/soffice") && fs::exists("/usr/bin/pdftotext"); }

// The script's exit code; its output into `out`.
int Python(const std::string& args, std::string* out = nullptr) {
    return Run("/usr/bin/python3 '" + Script() + "' " + args + " 2>&1", out);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// LibreOffice in a profile of its own (several may run at once on the machine).
bool Soffice(const testing_support::TempDir& dir, const std::string& file, const std::string& to, const std::string& outDir) {
    const std::string cmd = "cd '" + dir.Path().string() + "' && HOME='" + dir.Path().string() +
                            "' timeout 300 soffice -env:UserInstallation=file://" + dir.File("lo-profile") +
                            " --headless --convert-to " + to + " --outdir '" + outDir + "' '" + file + "' >/dev/null 2>&1";
    return Run(cmd) == 0;
}

// The rows of each page, "top-bottom", as we cut the sheet.
std::vector<std::string> Bands(const host::Worksheet& ws) {
    std::vector<std::string> out;
    for (const host::PrintedPage& p : host::Paginate(ws).pages)
        out.push_back(std::to_string(p.cells.top) + "-" + std::to_string(p.cells.bottom));
    return out;
}

using Expected = std::map<std::string, std::vector<std::string>>;

// Rows 19.5 pt; A4 portrait, normal margins: 37 rows a page.
const Expected kOpenpyxlPages = {
    // Top and bottom margins 1.0 and 0.9 in: 36 rows, 34 under the two title rows; each area on pages of its own.
    {"区域标题", {"1-36", "37-50", "60-93", "94-108"}},
    {"缩放50", {"1-75", "76-108"}},
    {"一页宽", {"1-60"}},
    {"分页符", {"1-10", "11-40", "41-77", "78-108"}},
    {"奇偶页", {"1-37", "38-74", "75-108"}},
    // The column letters take a row of the standard height.
    {"行列号", {"1-36", "37-72", "73-108"}},
    // Two areas that touch print as one.
    {"相邻区域", {"1-37", "38-60"}},
};

struct Produced {
    std::string label, file;
    Expected pages;
};

class PageSetupProducers : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
    }
    testing_support::TempDir dir;

    // Our save of `source` reads back in openpyxl with every setting it had.
    void ExpectKeptThroughOurSave(const Produced& p) {
        SCOPED_TRACE(p.label);
        std::string before, after;
        ASSERT_EQ(Python("dump '" + p.file + "'", &before), 0) << before;
        auto wb = host::xlsx::LoadWorkbook(nullptr, p.file);
        const std::string again = dir.File(p.label + "-again.xlsx");
        host::xlsx::SaveWorkbook(*wb, again);
        ASSERT_EQ(Python("dump '" + again + "'", &after), 0) << after;
        const auto a = Lines(before), b = Lines(after);
        ASSERT_EQ(a.size(), b.size()) << after;
        for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(b[i], a[i]);
        // And as we read it ourselves: the pages each sheet's setup asks for.
        auto back = host::xlsx::LoadWorkbook(nullptr, again);
        for (const auto& [name, pages] : p.pages) {
            const host::Worksheet* ws = nullptr;
            for (int i = 1; i <= back->SheetCount(); ++i)
                if (back->Sheet(i).Name() == name) ws = &back->Sheet(i);
            ASSERT_NE(ws, nullptr) << name;
            EXPECT_EQ(Bands(*ws), pages) << name;
        }
    }
};

TEST_F(PageSetupProducers, OpenpyxlPageSetupsSurviveOurSaveAndPaginate) {
    const Produced p{"openpyxl", dir.File("openpyxl.xlsx"), kOpenpyxlPages};
    std::string out;
    ASSERT_EQ(Python("openpyxl '" + p.file + "'", &out), 0) << out;
    ExpectKeptThroughOurSave(p);

    // What we read beyond the dump: the even and first pages' sections and the switches.
    auto wb = host::xlsx::LoadWorkbook(nullptr, p.file);
    const host::PageSetup& ps = wb->Sheet(5).PageSetup();
    EXPECT_TRUE(ps.OddAndEvenPagesHeaderFooter);
    EXPECT_TRUE(ps.DifferentFirstPageHeaderFooter);
    EXPECT_FALSE(ps.ScaleWithDocHeaderFooter);
    EXPECT_EQ(ps.CenterHeader, "&A 奇");
    EXPECT_EQ(ps.EvenPage.CenterHeader, "&A 偶");
    EXPECT_EQ(ps.EvenPage.RightFooter, "偶数页 &P");
    EXPECT_EQ(ps.FirstPage.CenterHeader, "&A 首");
    EXPECT_EQ(ps.FirstPage.LeftFooter, "首页");
    EXPECT_TRUE(wb->Sheet(6).PageSetup().PrintHeadings);
    EXPECT_EQ(host::Paginate(wb->Sheet(2)).pages.front().number, 3) << "first page number";
}

TEST_F(PageSetupProducers, XlsxWriterPageSetupsSurviveOurSaveAndPaginate) {
    Produced p{"xlsxwriter", dir.File("xlsxwriter.xlsx"), kOpenpyxlPages};
    std::string out;
    const int rc = Python("xlsxwriter '" + p.file + "'", &out);
    if (rc == 3) GTEST_SKIP() << "XlsxWriter is not installed";
    ASSERT_EQ(rc, 0) << out;
    // One print area only (XlsxWriter writes no more), and no even or first pages.
    p.pages["区域标题"] = {"1-36", "37-50"};
    p.pages.erase("奇偶页");
    p.pages.erase("相邻区域");
    ExpectKeptThroughOurSave(p);
    auto wb = host::xlsx::LoadWorkbook(nullptr, p.file);
    EXPECT_FALSE(wb->Sheet(1).PageSetup().AlignMarginsHeaderFooter);
}

TEST_F(PageSetupProducers, LibreOfficePageSetupsSurviveOurSaveAndPageCountsMatchItsPdf) {
    if (!HaveLibreOffice()) GTEST_SKIP() << "LibreOffice or poppler-utils is not installed";
    std::string out;
    const std::string source = dir.File("source.xlsx");
    ASSERT_EQ(Python("openpyxl '" + source + "'", &out), 0) << out;
    ASSERT_TRUE(Soffice(dir, source, "xlsx", dir.File("lo")));
    const Produced p{"libreoffice", dir.File("lo/source.xlsx"), kOpenpyxlPages};
    ASSERT_TRUE(fs::exists(p.file)) << "LibreOffice wrote no workbook";
    ExpectKeptThroughOurSave(p);

    // LibreOffice's PDF of our saved file: its pages per sheet (each header names the sheet).
    const std::string ours = dir.File("libreoffice-again.xlsx");
    ASSERT_TRUE(Soffice(dir, ours, "pdf", dir.File("pdf")));
    std::string text;
    ASSERT_EQ(testing_support::Run("pdftotext '" + dir.File("pdf/libreoffice-again.pdf") + "' - 2>/dev/null", &text), 0);
    std::map<std::string, int> theirs;
    size_t start = 0;
    for (size_t end = text.find('\f'); end != std::string::npos; start = end + 1, end = text.find('\f', start)) {
        const std::string page = text.substr(start, end - start);
        for (const auto& [name, pages] : kOpenpyxlPages)
            if (page.find(name) != std::string::npos) ++theirs[name];
    }
    auto wb = host::xlsx::LoadWorkbook(nullptr, ours);
    for (int i = 1; i <= wb->SheetCount(); ++i) {
        const std::string name = wb->Sheet(i).Name();
        const int n = int(host::Paginate(wb->Sheet(i)).pages.size());
        // LibreOffice prints touching print areas apart (two pages of 30
        // rows here, where we print 37 and 23): equal counts say nothing.
        if (name == "相邻区域") {
            std::cout << name << ": tolm " << n << " pages, LibreOffice " << theirs[name] << "\n";
            continue;
        }
        EXPECT_EQ(theirs[name], n) << name;
    }
}

}  // namespace
