// Every built-in template generated on the sample roster (arranged as
// `make demo` arranges it: 12 rooms of four desk groups, every grade in every
// room, so that lists of a grade in a room run over two pages) and printed through the Print window's procedure
// into one PDF: each room or class on pages of its own, one column band wide,
// the title rows repeated on every further page of a block, a desk label never
// split by a page break; and in the PDF every word of a page inside the
// printable width, each page showing its block's title and the texts of its
// cells.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <cstring>
#include <iostream>
#include <sstream>

#include "CliTestSupport.h"
#include "CoreFixtures.h"
#include "RosterCheckFixtures.h"
#include "host/Application.h"
#include "host/Pagination.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "printing/PrintWorkbook.h"
#include "render/CellPainter.h"
#include "render/CellText.h"
#include "render/PagedOutput.h"
#include "render/PdfPrintService.h"
#include "render/StyleCache.h"
#include "support/TestSupport.h"
#include "workbook/Context.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGroups = 4;
constexpr int kRooms = 12;
const char* const kTemplates[] = {"考场座位表", "考场门贴", "桌贴", "考场签到表", "班级考场对照表"};

// The sample roster arranged and every built-in table generated once for the suite.
class BuiltInTablesPrinted : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testing_support::TempDir;
        cli_test::InProcess tolm;
        tolm.env["TOLM_SYSTEM"] = dir_->File("系统.xlsx");
        tolm.currentFolder = dir_->Path().string();
        auto run = [&](const std::vector<std::string>& args) {
            const cli_test::Outcome o = tolm.Run(args);
            if (o.code != 0) setupError_ += args[0] + " → " + std::to_string(o.code) + "\n" + o.out + o.err;
            return o.code == 0;
        };
        if (!run({"sample", dir_->Path().string()}) || !run({"open-roster", "花名册.xlsx"}) ||
            !run({"settings", "--desk-groups", std::to_string(kGroups), "--rooms", std::to_string(kRooms),
                  "--grades-per-group", "3"}))
            return;
        // Each grade spread evenly over every desk group of every room (room
        // table from H1: the groups in I…, the rooms in rows 2…).
        std::vector<std::pair<std::string, int>> grades;
        {
            host::Application app;
            auto roster = host::xlsx::LoadWorkbook(&app, dir_->File("花名册.xlsx"));
            for (int i = 1; i <= roster->SheetCount(); ++i) {
                const std::string name = roster->Sheet(i).Name();
                if (name.find('\t') != std::string::npos) continue;
                const host::Worksheet& ws = roster->Sheet(i);
                grades.push_back({name, ws.UsedRect().bottom - 1});
                std::set<std::string> classes;
                for (int32_t r = 2; r <= ws.UsedRect().bottom; ++r) classes.insert(host::ToText(ws.ValueAt(r, 5)));
                classes_ += int(classes.size());
            }
        }
        for (const auto& [grade, count] : grades) {
            std::vector<std::string> args = {"edit", "花名册.xlsx", "--sheet", grade + "\\t设置"};
            const int cells = kGroups * kRooms;
            for (int k = 0; k < cells; ++k) {
                const int n = count / cells + (k < count % cells ? 1 : 0);
                args.push_back(std::string(1, char('I' + k % kGroups)) + std::to_string(k / kGroups + 2) + "=" +
                               std::to_string(n));
            }
            if (!run(args)) return;
        }
        grades_ = int(grades.size());
        if (!run({"arrange", "--order", "random", "--desks", "s", "--number", "1", "--first", "2026100001"})) return;
        for (const char* name : kTemplates)
            if (!run({"tables", "--template", name})) return;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string TableFile(const std::string& name) { return dir_->File("花名册.xlsx考试用表/" + name + ".xlsx"); }

    static testing_support::TempDir* dir_;
    static std::string setupError_;
    static int grades_, classes_;  // the roster's grades, and the classes of all grades
};
testing_support::TempDir* BuiltInTablesPrinted::dir_ = nullptr;
std::string BuiltInTablesPrinted::setupError_;
int BuiltInTablesPrinted::grades_ = 0;
int BuiltInTablesPrinted::classes_ = 0;

// One print job as the procedure handed it over: the sheet's pages as its
// page setup cut them at that moment, and where they start in the PDF.
struct PrintedJob {
    std::string sheet;
    host::PageSetup setup;
    host::Pagination pages;
    int firstPdfPage = 1;
};

// Paginates every job, then passes it on to the PDF service.
class PaginatingService : public host::PrintService {
public:
    explicit PaginatingService(const std::string& pdf) : pdf_(pdf) { pdf_.SetFields({}); }
    void PrintOut(host::Worksheet& ws, const host::PrintJob& job) override {
        jobs.push_back({ws.Name(), ws.PageSetup(), host::Paginate(ws), pages_ + 1});
        pages_ += int(jobs.back().pages.pages.size());
        pdf_.PrintOut(ws, job);
    }
    void BeginRun() override { pdf_.BeginRun(); }
    void EndRun() override { pdf_.EndRun(); }
    const render::PdfPrintService& Pdf() const { return pdf_; }

    std::vector<PrintedJob> jobs;

private:
    render::PdfPrintService pdf_;
    int pages_ = 0;
};

// A word of the PDF's text and its box, points from the page's top left.
struct Word {
    std::string text;
    double xMin = 0, xMax = 0;
};
struct PdfPage {
    double width = 0;
    std::vector<Word> words;
    std::string text;  // the words run together (NFKC: the fonts' radicals read as the ideographs)
};

std::string Attribute(const std::string& tag, const std::string& name) {
    const size_t at = tag.find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const size_t start = at + name.size() + 3;
    return tag.substr(start, tag.find('"', start) - start);
}

std::string Unescaped(std::string s) {
    const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1)) s.replace(at, strlen(from), to);
    return s;
}

std::string Compact(const std::string& s) {
    QString q = QString::fromStdString(s).normalized(QString::NormalizationForm_KC);
    q.remove(QChar(' ')).remove(QChar('\n')).remove(QChar('\t')).remove(QChar(0x3000));
    return q.toStdString();
}

std::vector<PdfPage> ReadPdf(const std::string& file) {
    std::string html;
    std::vector<PdfPage> pages;
    if (testing_support::Run("pdftotext -bbox '" + file + "' - 2>/dev/null", &html) != 0) return pages;
    for (size_t at = html.find("<page "); at != std::string::npos; at = html.find("<page ", at + 1)) {
        PdfPage page;
        const size_t tagEnd = html.find('>', at);
        page.width = std::stod(Attribute(html.substr(at, tagEnd - at), "width"));
        const size_t end = html.find("</page>", at);
        for (size_t w = html.find("<word ", at); w < end; w = html.find("<word ", w + 1)) {
            const size_t close = html.find('>', w);
            const std::string tag = html.substr(w, close - w);
            Word word;
            word.xMin = std::stod(Attribute(tag, "xMin"));
            word.xMax = std::stod(Attribute(tag, "xMax"));
            word.text = Unescaped(html.substr(close + 1, html.find("</word>", close) - close - 1));
            page.text += word.text;
            page.words.push_back(std::move(word));
        }
        page.text = Compact(page.text);
        pages.push_back(std::move(page));
    }
    return pages;
}

double Width(const host::Worksheet& ws, int32_t first, int32_t last) {
    double w = 0;
    for (int32_t c = first; c <= last; ++c) w += host::PrintedColumnWidth(ws, c);
    return w;
}

// The texts of the non-empty cells of rows first…last, columns of `cols`,
// that print on one line. A wrapped text taller than its cell is cut at the
// cell by design (the host clips it too): only the page may not cut a cell.
std::vector<std::string> CellTexts(const host::Worksheet& ws, int32_t first, int32_t last, const host::Rect& cols) {
    std::vector<std::string> texts;
    for (int32_t r = first; r <= last; ++r)
        for (int32_t c = cols.left; c <= cols.right; ++c) {
            const std::string value = host::ToText(ws.ValueAt(r, c));
            if (value.find('\n') != std::string::npos || ws.Parent().Styles().Get(ws.StyleAt(r, c)).alignment.wrapText)
                continue;
            // Words set apart by spaces ("讲        台") may be read in
            // different text columns of the page: each must be there.
            for (const QString& word : QString::fromStdString(value).split(QChar(' '), Qt::SkipEmptyParts)) {
                const std::string t = Compact(word.toStdString());
                if (!t.empty()) texts.push_back(t);
            }
        }
    return texts;
}

struct PrintedWorkbook {
    std::vector<PrintedJob> jobs;
    std::vector<PdfPage> pdf;
    int pdfPages = 0;
    int titleRows = 0;  // V(1, 1) of the print-information sheet
    std::unique_ptr<host::Application> app;
    host::Workbook* book = nullptr;
};

// Prints `file` as the Print window's print button does, into one PDF.
PrintedWorkbook Print(const std::string& file, const std::string& pdf) {
    PrintedWorkbook out;
    out.app = std::make_unique<host::Application>();
    coretest::AnsweringToolkit toolkit;
    host::Workbook& system = coretest::AddSystemWorkbook(*out.app);
    PaginatingService service(pdf);
    out.app->SetPrintService(&service);
    workbook::Context ctx{*out.app, system, toolkit};
    const fs::path path(file);
    const printing::PrintReport report =
        printing::PrintChosenWorkbook(ctx, {path.parent_path().string(), path.filename().string()}, {});
    out.app->SetPrintService(nullptr);
    EXPECT_TRUE(report.outcome.IsDone()) << file;
    EXPECT_TRUE(report.partitionMode) << file;
    EXPECT_TRUE(report.failures.empty()) << file;
    out.jobs = service.jobs;
    out.pdfPages = service.Pdf().Written().empty() ? 0 : service.Pdf().Written().front().pages;
    out.pdf = ReadPdf(pdf);
    for (const auto& wb : out.app->WorkbookList())
        if (wb->FullName() == file) out.book = wb.get();
    if (out.book)
        for (int i = 1; i <= out.book->SheetCount(); ++i)
            if (out.book->Sheet(i).Name() == "\t打印")
                out.titleRows = int(host::ToNumber(out.book->Sheet(i).ValueAt(1, 1)));
    return out;
}


const host::Worksheet* SheetNamed(const host::Workbook& wb, const std::string& name) {
    for (int i = 1; i <= wb.SheetCount(); ++i)
        if (wb.Sheet(i).Name() == name) return &wb.Sheet(i);
    return nullptr;
}

// Failures counted, the first few kept: a fault shows once, not a thousand times.
struct Faults {
    int count = 0;
    std::string examples;
    void Add(const std::string& what) {
        if (++count <= 5) examples += what + "\n";
    }
};

TEST_F(BuiltInTablesPrinted, EachBlockPrintsOnPagesOfItsOwnWithTitlesAndNothingCut) {
    ASSERT_TRUE(setupError_.empty()) << setupError_;
    ASSERT_EQ(grades_, 3);
    // The blocks each table prints: the seating chart one per room (the
    // grades sit together), the room lists one per grade in each room, the
    // class list one per class; whether a block may run over several pages.
    struct Expected {
        const char* name;
        int blocks;
        bool onePage;
    };
    const Expected expected[] = {{"考场座位表", kRooms, true},
                                 {"考场门贴", kRooms * grades_, true},
                                 {"桌贴", kRooms * grades_, false},
                                 {"考场签到表", kRooms * grades_, false},
                                 {"班级考场对照表", classes_, true}};
    for (const auto& [name, blocks, onePage] : expected) {
        SCOPED_TRACE(name);
        const PrintedWorkbook printed = Print(TableFile(name), dir_->File(std::string(name) + ".pdf"));
        ASSERT_NE(printed.book, nullptr);
        ASSERT_FALSE(printed.jobs.empty());
        int total = 0;
        std::map<size_t, int> blocksByPages;
        Faults layout, outside, missing;
        for (const PrintedJob& job : printed.jobs) {
            const host::Worksheet* ws = SheetNamed(*printed.book, job.sheet);
            ASSERT_NE(ws, nullptr) << job.sheet;
            const host::Pagination& pg = job.pages;
            ASSERT_EQ(pg.areas.size(), 1u) << job.setup.PrintArea;
            const host::Rect area = pg.areas[0];
            ASSERT_FALSE(pg.pages.empty()) << job.setup.PrintArea;
            const std::string where = job.sheet + " " + job.setup.PrintArea;
            ++blocksByPages[pg.pages.size()];
            if (job.setup.Zoom == 0 && job.setup.FitToPagesTall == 1 && pg.pages.size() != 1)
                layout.Add(where + ": fit to one page tall, printed on " + std::to_string(pg.pages.size()));
            // One column band: the whole width of the block fits the paper.
            if (Width(*ws, area.left, area.right) * pg.scale > pg.width + 1e-6)
                layout.Add(where + ": wider than the page at " + std::to_string(pg.scale));
            if (printed.titleRows > 0 && !(pg.titleRows == host::Span{area.top, area.top + printed.titleRows - 1}))
                layout.Add(where + ": title rows " + std::to_string(pg.titleRows.first) + ":" +
                           std::to_string(pg.titleRows.last));
            int32_t next = area.top;
            for (size_t i = 0; i < pg.pages.size(); ++i) {
                const host::PrintedPage& page = pg.pages[i];
                const std::string at = where + " page " + std::to_string(i + 1);
                if (page.cells.left != area.left || page.cells.right != area.right) layout.Add(at + ": a column band");
                if (page.cells.top != next) layout.Add(at + ": starts at row " + std::to_string(page.cells.top));
                next = page.cells.bottom + 1;
                if (printed.titleRows > 0 && page.titleRows != (i > 0)) layout.Add(at + ": title rows not repeated");
                // A page starts on a record's first row: no merged area (a
                // label's photo cell, a name over two rows) is cut.
                for (const host::Rect& m : ws->MergedAreas())
                    if (m.top < page.cells.top && m.bottom >= page.cells.top && m.left >= area.left && m.right <= area.right)
                        layout.Add(at + ": cuts a merged area at row " + std::to_string(page.cells.top));

                const size_t pdfIndex = size_t(job.firstPdfPage - 1) + i;
                if (pdfIndex >= printed.pdf.size()) continue;
                const PdfPage& p = printed.pdf[pdfIndex];
                for (const Word& w : p.words)
                    if (w.xMax > pg.left + pg.width + 0.5 || w.xMin < pg.left - 0.5)
                        outside.Add(at + ": \"" + w.text + "\" at x " + std::to_string(w.xMin) + "–" +
                                    std::to_string(w.xMax) + ", printable " + std::to_string(pg.left) + "–" +
                                    std::to_string(pg.left + pg.width));
                std::vector<std::string> texts = CellTexts(*ws, page.cells.top, page.cells.bottom, area);
                if (page.titleRows) {
                    const auto titles = CellTexts(*ws, pg.titleRows.first, pg.titleRows.last, area);
                    texts.insert(texts.end(), titles.begin(), titles.end());
                }
                for (const std::string& t : texts)
                    if (p.text.find(t) == std::string::npos) missing.Add(at + ": \"" + t + "\" not on the PDF page");
            }
            if (next != area.bottom + 1) layout.Add(where + ": rows after " + std::to_string(next - 1) + " not printed");
            total += int(pg.pages.size());
        }
        EXPECT_EQ(layout.count, 0) << layout.examples;
        EXPECT_EQ(outside.count, 0) << outside.examples;
        EXPECT_EQ(missing.count, 0) << missing.examples;
        EXPECT_EQ(int(printed.jobs.size()), blocks);
        if (onePage) EXPECT_EQ(total, blocks) << "one page per block";
        // Lists running over pages: the title rows and the labels' breaks are tried.
        else EXPECT_GT(blocksByPages.rbegin()->first, 1u);
        EXPECT_EQ(printed.pdfPages, total);
        ASSERT_EQ(int(printed.pdf.size()), total) << "pdftotext read a different number of pages";
        std::string histogram;
        for (const auto& [pages, blocks] : blocksByPages)
            histogram += std::to_string(blocks) + " blocks of " + std::to_string(pages) + " pages; ";
        std::cout << name << ": " << printed.jobs.size() << " jobs, " << total << " pages: " << histogram << "\n";
    }
}

// Photos are stretched to their box, so the desk label's box has a photo's
// proportions (3 : 4, a 1-inch photo 5 : 7), and every candidate has one.
TEST_F(BuiltInTablesPrinted, DeskLabelPhotosKeepAPhotosProportions) {
    ASSERT_TRUE(setupError_.empty()) << setupError_;
    host::Application app;
    auto labels = host::xlsx::LoadWorkbook(&app, TableFile("桌贴"));
    size_t pictures = 0;
    for (int i = 1; i <= labels->SheetCount(); ++i)
        for (const host::Picture& pic : labels->Sheet(i).Pictures()) {
            ++pictures;
            ASSERT_GT(pic.heightEmu, 0);
            const double ratio = double(pic.widthEmu) / double(pic.heightEmu);
            EXPECT_GT(ratio, 0.66) << pic.name;
            EXPECT_LT(ratio, 0.80) << pic.name;
        }
    EXPECT_GT(pictures, 300u);
}

// Exam numbers of ten digits, three grades sharing every room: each value of
// every table is drawn whole in its cell (or merged area) at the size it is
// drawn with (smaller where the cell shrinks to fit; a wrapped title with
// one line a grade holds its lines), so nothing is cut or shown as "####".
TEST_F(BuiltInTablesPrinted, EveryValueFitsItsCell) {
    ASSERT_TRUE(setupError_.empty()) << setupError_;
    render::EnsureGuiApplication();  // fonts as the PDF draws them
    render::InstallFontSubstitutes();
    QImage points(1, 1, QImage::Format_RGB32);  // 72 dpi: a pixel is a point
    points.setDotsPerMeterX(int(std::lround(72 / 0.0254)));
    points.setDotsPerMeterY(int(std::lround(72 / 0.0254)));
    const double margin = 2 * render::CellPainter::kTextMargin * 72.0 / 96;
    for (const char* name : kTemplates) {
        SCOPED_TRACE(name);
        host::Application app;
        auto wb = host::xlsx::LoadWorkbook(&app, TableFile(name));
        render::StyleCache styles(wb->Styles());
        Faults cut;
        for (int i = 1; i <= wb->SheetCount(); ++i) {
            const host::Worksheet& ws = wb->Sheet(i);
            if (ws.Name() == "\t打印") continue;
            const host::Rect used = ws.UsedRect();
            for (int32_t r = used.top; r <= used.bottom; ++r)
                for (int32_t c = used.left; c <= used.right; ++c) {
                    const host::Variant& value = ws.ValueAt(r, c);
                    if (value.IsEmpty()) continue;
                    host::Rect span{r, c, r, c};
                    if (const host::Rect* m = ws.MergeAreaAt(r, c)) span = *m;
                    const render::ResolvedStyle& style = styles.Get(ws.StyleAt(r, c));
                    // Text in a cell of its own may run on over empty neighbours.
                    if (!value.IsNumber() && style.runsOn && span.left == span.right) continue;
                    double width = 0, height = 0;
                    for (int32_t k = span.left; k <= span.right; ++k) width += host::PrintedColumnWidth(ws, k);
                    for (int32_t k = span.top; k <= span.bottom; ++k) height += host::PrintedRowHeight(ws, k);
                    const QStringList lines = render::ShownText(value, style.numberFormat).split(QChar('\n'));
                    QFont font = style.font;
                    if (style.shrink) font = render::ShrunkFont(font, lines.join(QChar::LineSeparator), &points, int(width));
                    const QFontMetricsF metrics(font, &points);
                    double widest = 0;
                    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
                    // A number up to 15 % too wide is drawn narrower.
                    if (value.IsNumber() && !style.shrink) widest *= (100 - render::kMaxNumberSqueeze) / 100.0;
                    const std::string where = ws.Name() + "!" + host::CellAddress(r, c) + " \"" + host::ToText(value) + "\"";
                    if (widest > width - margin + 0.5) cut.Add(where + ": " + std::to_string(widest) + " pt wide in " + std::to_string(width));
                    if (lines.size() > 1 && lines.size() * metrics.height() > height + 1)
                        cut.Add(where + ": " + std::to_string(lines.size()) + " lines in " + std::to_string(height) + " pt");
                }
        }
        EXPECT_EQ(cut.count, 0) << cut.examples;
    }
}

}  // namespace
