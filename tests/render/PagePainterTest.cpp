// Printed pages read back from their pixels (72 dpi: one pixel per point):
// cells start at the margins, title rows repeat at the top of later pages,
// the scale shrinks what prints, pictures split over a page break and stop at
// the print area, the header and footer sit in the margins. And the PDF:
// pages in order, each picture stored once.
#include <QBuffer>
#include <QFile>
#include <fstream>
#include <iterator>

#include "RenderTestSupport.h"
#include "host/Pagination.h"
#include "render/PagePainter.h"
#include "render/PagedOutput.h"
#include "support/TestSupport.h"

using host::Variant;
using rendertest::InkIn;
using rendertest::PaintedSheet;

namespace {

constexpr double kDpi = 72;

std::shared_ptr<const std::vector<uint8_t>> Jpeg(int w, int h, QColor color) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPEG", 90);
    return std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
}

struct PrintedSheet : PaintedSheet {
    // rows of 20 pt (19.5 printed) and four columns of 56.25 pt (Calibri's 7-pixel digits)
    explicit PrintedSheet(int32_t rows) {
        testing_support::UseCalibriNormal(wb);
        for (int32_t r = 1; r <= rows; ++r) {
            ws.GetRow(r).info.height = 20;
            ws.SetValueAt(r, 1, Variant(double(r)));
        }
        for (int32_t c = 1; c <= 4; ++c) ws.SetColumnWidthChars(c, 10);
    }
    uint32_t Fill(QRgb rgb) {
        return Style([rgb](host::CellFormat& f) {
            f.fill.pattern = "solid";
            f.fill.fg = host::Color::FromRgb(rgb & 0xFFFFFF);
        });
    }
    QImage Page(int index) {
        pagination = host::Paginate(ws);
        return render::PageImage(ws, pagination, index, kDpi);
    }
    host::Pagination pagination;
};

QColor At(const QImage& img, double x, double y) { return QColor(img.pixel(int(x), int(y))); }

TEST(PagePainter, ThePageIsThePaperAndCellsStartAtTheMargins) {
    PrintedSheet s(10);
    s.ws.SetStyleAt(1, 2, s.Fill(0xFF0000));
    const QImage page = s.Page(0);
    EXPECT_EQ(page.size(), QSize(595, 842));
    const double left = s.ws.PageSetup().LeftMargin, top = s.ws.PageSetup().TopMargin;
    EXPECT_EQ(At(page, left + 56.25 + 5, top + 5), QColor(Qt::red)) << "B1";
    EXPECT_EQ(At(page, left + 56.25 - 3, top + 5), QColor(Qt::white)) << "A1 holds only its number";
    EXPECT_EQ(At(page, left + 56.25 * 2 + 3, top + 5), QColor(Qt::white)) << "C1";
    EXPECT_EQ(At(page, left + 56.25 + 5, top - 3), QColor(Qt::white)) << "nothing above the margin";
    EXPECT_GT(InkIn(page, QRect(int(left), int(top), 56, 19)), 0) << "the number in A1";
}

TEST(PagePainter, TitleRowsRepeatAtTheTopOfLaterPages) {
    PrintedSheet s(80);
    s.ws.PageSetup().PrintTitleRows = "$1:$1";
    s.ws.SetStyleAt(1, 2, s.Fill(0x0000FF));
    s.ws.SetStyleAt(38, 2, s.Fill(0x00FF00));
    const double left = s.ws.PageSetup().LeftMargin, top = s.ws.PageSetup().TopMargin;
    const QImage first = s.Page(0);
    ASSERT_EQ(s.pagination.pages.size(), 3u);
    ASSERT_EQ(s.pagination.pages[1].cells.top, 38);
    EXPECT_EQ(At(first, left + 60, top + 5), QColor(Qt::blue));
    const QImage second = s.Page(1);
    EXPECT_EQ(At(second, left + 60, top + 5), QColor(Qt::blue)) << "the title row";
    EXPECT_EQ(At(second, left + 60, top + 19.5 + 5), QColor(Qt::green)) << "row 38 under it";
}

TEST(PagePainter, TheScaleShrinksCellsAndKeepsThemAtTheMargin) {
    PrintedSheet s(10);
    s.ws.PageSetup().Zoom = 50;
    s.ws.SetStyleAt(2, 2, s.Fill(0xFF0000));
    const QImage page = s.Page(0);
    const double left = s.ws.PageSetup().LeftMargin, top = s.ws.PageSetup().TopMargin;
    const double x = left + 56.25 / 2, y = top + 19.5 / 2;  // B2 at half size
    EXPECT_EQ(At(page, x + 3, y + 3), QColor(Qt::red));
    EXPECT_EQ(At(page, x + 56.25 / 2 + 3, y + 3), QColor(Qt::white)) << "C2";
    EXPECT_EQ(At(page, x + 3, y + 19.5 / 2 + 3), QColor(Qt::white)) << "B3";
}

TEST(PagePainter, APictureCrossingABreakIsSplitAndStopsAtThePrintArea) {
    PrintedSheet s(74);
    s.ws.PageSetup().PrintArea = "$A$1:$C$74";
    host::Picture pic;
    pic.data = Jpeg(40, 40, Qt::blue);
    pic.extension = "jpeg";
    pic.from = {3, 34};                          // C34 …
    pic.widthEmu = int64_t(100 * 12700);         // 100 pt wide: reaches past column C
    pic.heightEmu = int64_t(6 * 19.5 * 12700);   // … down to row 39, over the break after row 37
    pic.to = {5, 40};
    s.ws.Pictures().push_back(pic);
    const double left = s.ws.PageSetup().LeftMargin, top = s.ws.PageSetup().TopMargin;
    const QImage first = s.Page(0);
    ASSERT_EQ(s.pagination.pages[0].cells.bottom, 37);
    const double picTop = top + 33 * 19.5, picLeft = left + 2 * 56.25;
    auto blueish = [](QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; };
    EXPECT_TRUE(blueish(At(first, picLeft + 10, picTop + 10)));
    EXPECT_TRUE(blueish(At(first, picLeft + 10, top + 37 * 19.5 - 2))) << "down to the page's last row";
    EXPECT_FALSE(blueish(At(first, picLeft + 56.25 + 10, picTop + 10))) << "column D is outside the print area";
    EXPECT_FALSE(blueish(At(first, picLeft + 10, top + 37 * 19.5 + 4))) << "not below the page's rows";
    const QImage second = s.Page(1);
    EXPECT_TRUE(blueish(At(second, picLeft + 10, top + 5))) << "the rest on the next page";
    EXPECT_FALSE(blueish(At(second, picLeft + 10, top + 2 * 19.5 + 5))) << "it ends in row 39";
}

TEST(PagePainter, HeaderAndFooterSitInTheMarginsWithTheirPageNumbers) {
    PrintedSheet s(80);
    s.ws.PageSetup().CenterFooter = "第 &P 页 共 &N 页";
    s.ws.PageSetup().LeftHeader = "&\"黑体,加粗\"&14考场座位表";
    const QImage page = s.Page(0);
    const host::PageSetup& ps = s.ws.PageSetup();
    const QRect footerBand(200, int(842 - ps.BottomMargin), 195, int(ps.BottomMargin - ps.FooterMargin));
    const QRect headerBand(int(ps.LeftMargin), int(ps.HeaderMargin), 150, int(ps.TopMargin - ps.HeaderMargin));
    EXPECT_GT(InkIn(page, footerBand), 20);
    EXPECT_GT(InkIn(page, headerBand), 20);
    EXPECT_EQ(InkIn(page, QRect(400, int(ps.HeaderMargin), 150, 20)), 0) << "the header is on the left";

    PrintedSheet plain(80);
    EXPECT_EQ(InkIn(plain.Page(0), footerBand), 0);
}

TEST(PagePainter, CentredHorizontallyTheBlockSitsInTheMiddle) {
    PrintedSheet s(5);
    s.ws.PageSetup().CenterHorizontally = true;
    for (int32_t c = 1; c <= 4; ++c) s.ws.SetStyleAt(1, c, s.Fill(0xFF0000));
    const QImage page = s.Page(0);
    const double width = 4 * 56.25, x0 = (595.28 - width) / 2;
    const double top = s.ws.PageSetup().TopMargin;
    EXPECT_EQ(At(page, x0 - 3, top + 5), QColor(Qt::white));
    EXPECT_EQ(At(page, x0 + 3, top + 14), QColor(Qt::red));
    EXPECT_EQ(At(page, x0 + width - 3, top + 14), QColor(Qt::red));
    EXPECT_EQ(At(page, x0 + width + 3, top + 5), QColor(Qt::white));
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(PdfDocument, SheetsFollowEachOtherAndEachPictureIsStoredOnce) {
    rendertest::App();
    testing_support::TempDir dir;
    PrintedSheet s(80);
    const auto photo = Jpeg(600, 800, QColor(0x33, 0x66, 0x99));
    for (int32_t r = 1; r <= 70; r += 10) {
        host::Picture pic;
        pic.data = photo;  // one photo placed seven times
        pic.extension = "jpeg";
        pic.from = {2, r};
        pic.widthEmu = int64_t(40 * 12700);
        pic.heightEmu = int64_t(50 * 12700);
        pic.to = {3, r + 3};
        s.ws.Pictures().push_back(pic);
    }
    const std::string file = dir.File("输出.pdf");
    {
        render::PdfDocument pdf(file);
        EXPECT_EQ(pdf.AddSheet(s.ws, {}), 3);
        EXPECT_EQ(pdf.AddSheet(s.ws, {}), 3);
        EXPECT_EQ(pdf.Pages(), 6);
        EXPECT_FALSE(std::filesystem::exists(file)) << "written only when finished";
        EXPECT_TRUE(pdf.Finish());
    }
    const std::string bytes = ReadAll(file);
    ASSERT_EQ(bytes.rfind("%PDF", 0), 0u);
    EXPECT_EQ(Count(bytes, "/Type /Page\n") + Count(bytes, "/Type /Page\r") + Count(bytes, "/Type /Page "), 6);
    EXPECT_EQ(Count(bytes, "/Subtype /Image"), 1) << "seven placements, two copies of the sheet, one image";
    // A 600 × 800 photo printed 40 × 50 pt is stored at 300 dpi: 167 × 208 pixels at most.
    EXPECT_EQ(bytes.find("/Width 600"), std::string::npos);
}

TEST(PdfDocument, NothingToPrintWritesNoFile) {
    rendertest::App();
    testing_support::TempDir dir;
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    render::PdfDocument pdf(dir.File("空.pdf"));
    EXPECT_EQ(pdf.AddSheet(wb.Sheet(1), {}), 0);
    EXPECT_FALSE(pdf.Finish());
    EXPECT_FALSE(std::filesystem::exists(dir.File("空.pdf")));
}

}  // namespace

namespace {

TEST(PagePainter, EvenAndFirstPagesPrintTheirOwnFooters) {
    PrintedSheet s(120);  // four pages
    host::PageSetup& ps = s.ws.PageSetup();
    ps.LeftFooter = "奇数页页脚奇数页页脚";
    ps.OddAndEvenPagesHeaderFooter = true;
    ps.EvenPage.RightFooter = "偶数页页脚偶数页页脚";
    ps.DifferentFirstPageHeaderFooter = true;
    ps.FirstPage.CenterFooter = "首页页脚首页页脚";
    const QRect left(int(ps.LeftMargin), int(842 - ps.BottomMargin), 150, int(ps.BottomMargin - ps.FooterMargin));
    const QRect centre(230, left.y(), 135, left.height()), right(400, left.y(), 145, left.height());
    auto where = [&](int index) {
        const QImage page = s.Page(index);
        return std::string(InkIn(page, left) > 20 ? "L" : "") + (InkIn(page, centre) > 20 ? "C" : "") +
               (InkIn(page, right) > 20 ? "R" : "");
    };
    EXPECT_EQ(where(0), "C") << "the first page";
    EXPECT_EQ(where(1), "R") << "page 2 is even";
    EXPECT_EQ(where(2), "L");
    EXPECT_EQ(where(3), "R");
}

TEST(PagePainter, HeadingsPrintLettersAboveAndNumbersLeftOfTheCells) {
    PrintedSheet s(10);
    s.ws.PageSetup().PrintHeadings = true;
    const QImage page = s.Page(0);
    const host::PageSetup& ps = s.ws.PageSetup();
    const double hw = s.pagination.headingWidth, hh = s.pagination.headingHeight;
    ASSERT_GT(hw, 0);
    // The letters' row above column A and the numbers' column left of row 1 have ink; cells moved right and down.
    EXPECT_GT(InkIn(page, QRect(int(ps.LeftMargin + hw + 20), int(ps.TopMargin + 3), 16, int(hh) - 6)), 3);
    EXPECT_GT(InkIn(page, QRect(int(ps.LeftMargin + 3), int(ps.TopMargin + hh + 3), int(hw) - 6, 13)), 3);
    PrintedSheet plain(10);
    const QImage without = plain.Page(0);
    EXPECT_EQ(InkIn(without, QRect(int(ps.LeftMargin + 3), int(ps.TopMargin + hh + 3), int(hw) - 6, 13)), 0)
        << "without headings the left of column A (numbers sit right) is blank";
}

}  // namespace
