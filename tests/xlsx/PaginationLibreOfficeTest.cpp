// Our pagination against LibreOffice's PDF export of the same file: the same
// number of pages for each page setup a school prints. Rows are 19.5 pt
// (26 whole pixels), since LibreOffice takes heights down to whole pixels;
// the cases stay one column band wide.
// Skipped where LibreOffice is not installed.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/Application.h"
#include "host/Pagination.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

int PdfPages(const std::string& file) {
    std::string out;
    if (testing_support::Run("pdfinfo '" + file + "' 2>/dev/null", &out) != 0) return -1;
    const size_t at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(out.substr(at + 6));
}

void Fill(host::Worksheet& ws, int32_t rows, int32_t cols) {
    for (int32_t r = 1; r <= rows; ++r) {
        ws.GetRow(r).info.height = 19.5;
        ws.GetRow(r).info.customHeight = true;
        for (int32_t c = 1; c <= cols; ++c) ws.SetValueAt(r, c, host::Variant(double(r * 100 + c)));
    }
    for (int32_t c = 1; c <= cols; ++c) ws.SetColumnWidthChars(c, 10);
}

TEST(PaginationAgainstLibreOffice, EveryCaseHasAsManyPages) {
    if (!std::filesystem::exists("/usr/bin/soffice") || !std::filesystem::exists("/usr/bin/pdfinfo"))
        GTEST_SKIP() << "LibreOffice or pdfinfo is not installed";
    testing_support::TempDir dir;
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    bool first = true;  // the new workbook's own sheet is the first case
    auto sheet = [&](const std::string& name, int32_t rows, int32_t cols) -> host::Worksheet& {
        host::Worksheet& ws = first ? wb.Sheet(1) : wb.Worksheets().Add(&wb.Sheet(wb.SheetCount()));
        first = false;
        ws.SetName(name);
        ws.PageSetup().CenterHeader = "&A";  // tells LibreOffice's pages apart
        Fill(ws, rows, cols);
        return ws;
    };
    sheet("无标题", 108, 4);
    sheet("标题行", 108, 4).PageSetup().PrintTitleRows = "$1:$2";
    sheet("缩放50", 108, 4).PageSetup().Zoom = 50;
    sheet("分页符", 108, 4).PageSetup().AddRowBreakBefore(11);
    sheet("两个区域", 108, 4).PageSetup().PrintArea = "$A$1:$D$10,$B$50:$C$100";
    // Column bands and fitting to the width are left out: LibreOffice reads a
    // file's column widths with its own default font (20 columns of width 10
    // make four bands there, three with the host's 75 pixels each), so its
    // bands differ from the host's for reasons that are not pagination.
    host::Worksheet& titled = sheet("分区标题", 120, 4);
    titled.PageSetup().PrintArea = "$A$20:$D$110";
    titled.PageSetup().PrintTitleRows = "$20:$22";

    int ours = 0;
    std::string perSheet;
    for (int i = 1; i <= wb.SheetCount(); ++i) {
        const int n = int(host::Paginate(wb.Sheet(i)).pages.size());
        ours += n;
        perSheet += wb.Sheet(i).Name() + "=" + std::to_string(n) + " ";
    }
    const std::string file = dir.File("pages.xlsx");
    host::xlsx::SaveWorkbook(wb, file);
    const std::string cmd = "cd '" + dir.Path().string() + "' && HOME='" + dir.Path().string() +
                            "' timeout 300 soffice -env:UserInstallation=file://" + dir.File("lo-profile") +
                            " --headless --convert-to pdf --outdir '" + dir.File("lo") + "' '" + file + "' >/dev/null 2>&1";
    testing_support::Run(cmd);
    const int theirs = PdfPages(dir.File("lo/pages.pdf"));
    ASSERT_GT(theirs, 0) << "LibreOffice wrote no PDF";
    // LibreOffice's pages per sheet, from the sheet names in their headers.
    std::string text, theirsPerSheet;
    testing_support::Run("pdftotext '" + dir.File("lo/pages.pdf") + "' - 2>/dev/null", &text);
    for (int i = 1; i <= wb.SheetCount(); ++i) {
        int n = 0;
        size_t start = 0;
        for (size_t end = text.find('\f'); end != std::string::npos; start = end + 1, end = text.find('\f', start))
            n += text.substr(start, end - start).find(wb.Sheet(i).Name()) != std::string::npos;
        theirsPerSheet += wb.Sheet(i).Name() + "=" + std::to_string(n) + " ";
    }
    EXPECT_EQ(ours, theirs) << "tolm: " << perSheet << "\nLibreOffice: " << theirsPerSheet;
}

}  // namespace
