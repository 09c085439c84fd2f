// What a file carries beyond the model survives a save: files from openpyxl
// and libxlsxwriter with comments, links, validation, conditional formats,
// panes, filters, tables, charts, chart sheets and tab colours are read,
// saved (after edits of the host), and read back by openpyxl
// (kept_features.py) and by our reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

#include "host/Range.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "xlsx/ReaderPackageBuilder.h"
#include "xlsx/WriterZipInspect.h"

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

std::unique_ptr<host::Workbook> Open(const std::string& name) {
    return host::xlsx::LoadWorkbook(nullptr, std::string(TOLM_TEST_DATA) + "/xlsx/" + name);
}

bool HaveOpenpyxl() { return testing_support::Run("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") == 0; }

// Runs kept_features.py on the file; "" when every check passed, else its report.
std::string OpenpyxlCheck(const std::string& file, const std::string& scenario) {
    std::string script = (fs::path(TOLM_TEST_DATA).parent_path() / "xlsx" / "kept_features.py").string();
    if (!fs::exists(script)) script = (fs::current_path() / "tests/xlsx/kept_features.py").string();
    std::string out;
    int rc = testing_support::Run("/usr/bin/python3 '" + script + "' '" + file + "' " + scenario + " 2>&1", &out);
    return rc == 0 ? "" : out.empty() ? "exit code " + std::to_string(rc) : out;
}

std::string Part(const std::string& file, const std::string& name) {
    return writer_inspect::ReadEntry(file, name).value_or("");
}

// Well-formed with every prefix bound: python's parser is namespace-aware.
std::string NamespaceCheck(const std::string& file, const std::string& part) {
    TempDir dir;
    std::string xml = dir.File("part.xml");
    testing_support::WriteFile(xml, Part(file, part));
    std::string out;
    int rc = testing_support::Run("/usr/bin/python3 -c \"import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])\" '" +
                                      xml + "' 2>&1",
                                  &out);
    return rc == 0 ? "" : part + ": " + out;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Positions of the worksheet's children in the written part, by local name.
std::vector<std::string> TopLevelElements(const std::string& sheetXml) {
    std::vector<std::string> names;
    int depth = 0;
    for (size_t i = sheetXml.find("<worksheet"); i < sheetXml.size(); ++i) {
        if (sheetXml[i] != '<' || sheetXml[i + 1] == '?') continue;
        bool closing = sheetXml[i + 1] == '/';
        size_t end = sheetXml.find('>', i);
        bool empty = sheetXml[end - 1] == '/';
        if (closing) {
            --depth;
        } else {
            if (depth == 1) {
                size_t stop = sheetXml.find_first_of(" />", i + 1);
                names.push_back(sheetXml.substr(i + 1, stop - i - 1));
            }
            if (!empty) ++depth;
        }
        i = end;
    }
    return names;
}

// A 2 × 1 pixel PNG.
const unsigned char kPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7B, 0x40, 0xE8, 0xDD, 0x00, 0x00, 0x00,
    0x0F, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF,
    0x56, 0xC7, 0x2F, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

TEST(KeptFeatures, OpenpyxlFileKeepsEverythingThroughSaves) {
    TempDir dir;
    auto wb = Open("openpyxl-kept.xlsx");
    ASSERT_EQ(wb->SheetCount(), 2);  // the chart sheet is kept, not modelled
    EXPECT_FALSE(wb->Sheet(1).Kept().Empty());
    ASSERT_EQ(wb->Kept().sheetTabs.size(), 1u);
    EXPECT_EQ(wb->Kept().sheetTabs[0].name, "图表");
    EXPECT_EQ(wb->Kept().sheetTabs[0].after, 1);

    std::string once = dir.File("once.xlsx");
    host::xlsx::SaveWorkbook(*wb, once);
    // Saved again after reading our own file: nothing is lost on the way.
    auto back = host::xlsx::LoadWorkbook(nullptr, once);
    std::string twice = dir.File("twice.xlsx");
    host::xlsx::SaveWorkbook(*back, twice);
    EXPECT_EQ(Part(once, "xl/worksheets/sheet1.xml"), Part(twice, "xl/worksheets/sheet1.xml"));
    EXPECT_EQ(Part(once, "[Content_Types].xml"), Part(twice, "[Content_Types].xml"));

    if (!HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
    EXPECT_EQ(OpenpyxlCheck(once, "openpyxl"), "");
    EXPECT_EQ(OpenpyxlCheck(twice, "openpyxl"), "");
    for (const char* part : {"xl/worksheets/sheet1.xml", "xl/workbook.xml", "xl/drawings/drawing1.xml", "xl/styles.xml"})
        EXPECT_EQ(NamespaceCheck(once, part), "");
}

TEST(KeptFeatures, RowDeletionMovesOrDropsWhatRefersToCells) {
    TempDir dir;
    auto wb = Open("openpyxl-kept.xlsx");
    wb->Sheet(1).GetRange("5:8").Delete();
    std::string file = dir.File("deleted.xlsx");
    host::xlsx::SaveWorkbook(*wb, file);
    std::string sheet = Part(file, "xl/worksheets/sheet1.xml");
    // Both validations were in one container: the one whose cells are gone leaves it.
    EXPECT_NE(sheet.find("<dataValidations count=\"1\">"), std::string::npos) << sheet;
    EXPECT_EQ(sheet.find("C5:C8"), std::string::npos);
    EXPECT_NE(sheet.find("<autoFilter ref=\"A1:D16\"/>"), std::string::npos);
    // The link of D5 went with its row: its relationship stays unused, which readers allow.
    EXPECT_EQ(Count(sheet, "<hyperlink "), 1u);
    if (!HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
    EXPECT_EQ(OpenpyxlCheck(file, "openpyxl-rows-5-8-deleted"), "");

    // libxlsxwriter's file: the first row below the frozen one goes.
    auto other = Open("xlsxwriter-kept.xlsx");
    other->Sheet(1).GetRange("2:2").Delete();
    std::string second = dir.File("deleted-2.xlsx");
    host::xlsx::SaveWorkbook(*other, second);
    EXPECT_EQ(OpenpyxlCheck(second, "xlsxwriter-row-2-deleted"), "");
}

TEST(KeptFeatures, CellDeletionsMoveOnlyTheirBand) {
    // Cells B5:B8 shifted up: validation of column B shrinks, column D keeps its own.
    auto wb = Open("openpyxl-kept.xlsx");
    host::Worksheet& ws = wb->Sheet(1);
    ws.GetRange("B5:B8").Delete(host::xlShiftUp);
    TempDir dir;
    std::string file = dir.File("band.xlsx");
    host::xlsx::SaveWorkbook(*wb, file);
    std::string sheet = Part(file, "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("sqref=\"B2:B16\""), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("sqref=\"C5:C8\""), std::string::npos);
    EXPECT_NE(sheet.find("ref=\"D5\" r:id="), std::string::npos) << sheet;  // the link is in column D
    // A filter over the band and more is not wholly inside it: unchanged, as merged areas are.
    EXPECT_NE(sheet.find("<autoFilter ref=\"A1:D20\"/>"), std::string::npos);
}

TEST(KeptFeatures, ChartAndPicturesShareOneDrawing) {
    TempDir dir;
    auto wb = Open("xlsxwriter-kept.xlsx");
    host::Worksheet& ws = wb->Sheet(1);
    ASSERT_EQ(ws.Pictures().size(), 1u);                 // the file's picture is the model's
    ASSERT_EQ(ws.Kept().drawing.anchors.size(), 1u);     // its chart is kept
    std::string plain = dir.File("plain.xlsx");
    host::xlsx::SaveWorkbook(*wb, plain);

    std::string png = dir.File("pixel.png");
    testing_support::WriteFile(png, std::string(reinterpret_cast<const char*>(kPng), sizeof kPng));
    ws.AddPicture(png, 10, 400, 30, 15);
    std::string added = dir.File("added.xlsx");
    host::xlsx::SaveWorkbook(*wb, added);
    std::string drawing = Part(added, "xl/drawings/drawing1.xml");
    EXPECT_EQ(Count(drawing, "<xdr:pic>"), 2u);
    EXPECT_EQ(Count(drawing, "<xdr:graphicFrame"), 1u);
    // Shape ids and relationship ids are unique within the drawing.
    std::set<std::string> ids;
    std::regex id("cNvPr id=\"(\\d+)\"");
    size_t shapes = 0;
    for (auto it = std::sregex_iterator(drawing.begin(), drawing.end(), id); it != std::sregex_iterator(); ++it, ++shapes)
        ids.insert((*it)[1]);
    EXPECT_EQ(ids.size(), shapes);
    std::string rels = Part(added, "xl/drawings/_rels/drawing1.xml.rels");
    std::set<std::string> relIds;
    std::regex relId("Id=\"([^\"]+)\"");
    size_t relCount = 0;
    for (auto it = std::sregex_iterator(rels.begin(), rels.end(), relId); it != std::sregex_iterator(); ++it, ++relCount)
        relIds.insert((*it)[1]);
    EXPECT_EQ(relCount, 3u) << rels;  // two pictures, one chart
    EXPECT_EQ(relIds.size(), relCount) << rels;

    if (!HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
    EXPECT_EQ(OpenpyxlCheck(plain, "xlsxwriter"), "");
    EXPECT_EQ(OpenpyxlCheck(added, "xlsxwriter-picture-added"), "");
    EXPECT_EQ(NamespaceCheck(added, "xl/drawings/drawing1.xml"), "");
}

TEST(KeptFeatures, CopiedSheetGetsItsOwnCommentsAndNoTable) {
    auto wb = Open("openpyxl-kept.xlsx");
    host::Worksheet& copy = wb->Sheet(1).CopyTo(*wb, &wb->Sheet(2));
    wb->Sheet(2).CopyTo(*wb, nullptr);  // the table's sheet: its copy leaves the table out
    ASSERT_EQ(wb->SheetCount(), 4);
    copy.GetRange("3:3").Delete();  // the copy's comment goes; the original's stays
    TempDir dir;
    std::string file = dir.File("copies.xlsx");
    host::xlsx::SaveWorkbook(*wb, file);
    std::vector<std::string> names = writer_inspect::EntryNames(file);
    auto has = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) != names.end(); };
    EXPECT_TRUE(has("xl/comments/comment1.xml"));
    EXPECT_TRUE(has("xl/comments/comment1_2.xml"));
    EXPECT_EQ(Count(Part(file, "xl/comments/comment1.xml"), "<comment "), 2u);
    EXPECT_EQ(Count(Part(file, "xl/comments/comment1_2.xml"), "<comment "), 1u);
    EXPECT_EQ(Count(Part(file, "[Content_Types].xml"), "table+xml"), 1u);
    EXPECT_EQ(Part(file, "xl/worksheets/sheet4.xml").find("tableParts"), std::string::npos);

    if (!HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
    std::string out;
    testing_support::Run("/usr/bin/python3 -c \"import openpyxl, warnings; warnings.simplefilter('ignore'); "
                         "wb = openpyxl.load_workbook('" + file + "'); "
                         "print(wb.sheetnames, [len(ws.tables) for ws in wb.worksheets], "
                         "[(ws.title, c.coordinate) for ws in wb.worksheets for r in ws.iter_rows() for c in r if c.comment])\" 2>&1",
                         &out);
    EXPECT_EQ(out,
              "['名单', '图表', '表格', '名单 (2)', '表格 (2)'] [0, 1, 0, 0] "
              "[('名单', 'B3'), ('名单', 'D12'), ('名单 (2)', 'D11')]\n");
}

TEST(KeptFeatures, ChartSheetKeepsItsPlaceAndScopesCountIt) {
    auto wb = Open("openpyxl-kept.xlsx");
    wb->Sheet(2).PageSetup().PrintArea = "$A$1:$B$3";  // 表格, the third tab
    TempDir dir;
    std::string file = dir.File("scopes.xlsx");
    host::xlsx::SaveWorkbook(*wb, file);
    std::string book = Part(file, "xl/workbook.xml");
    EXPECT_NE(book.find("<definedName name=\"_xlnm.Print_Area\" localSheetId=\"2\">'表格'!$A$1:$B$3</definedName>"),
              std::string::npos)
        << book;
    std::regex tabs("<sheet name=\"([^\"]+)\"");
    std::vector<std::string> order;
    for (auto it = std::sregex_iterator(book.begin(), book.end(), tabs); it != std::sregex_iterator(); ++it)
        order.push_back((*it)[1]);
    EXPECT_EQ(order, (std::vector<std::string>{"名单", "图表", "表格"}));

    // Deleting the worksheet before it makes the chart sheet the first tab.
    wb->Sheet(1).Delete();
    host::xlsx::SaveWorkbook(*wb, file);
    book = Part(file, "xl/workbook.xml");
    order.clear();
    for (auto it = std::sregex_iterator(book.begin(), book.end(), tabs); it != std::sregex_iterator(); ++it)
        order.push_back((*it)[1]);
    EXPECT_EQ(order, (std::vector<std::string>{"图表", "表格"}));
    EXPECT_NE(book.find("activeTab=\"1\""), std::string::npos) << "the active tab is a worksheet";
    auto back = host::xlsx::LoadWorkbook(nullptr, file);
    EXPECT_EQ(back->Sheet(1).PageSetup().PrintArea, "$A$1:$B$3");
}

TEST(KeptFeatures, UnknownElementsGoBackInSchemaOrder) {
    using reader_test::PackageBuilder;
    // A prefixed main namespace, extra declarations on the root, elements
    // the model does not know before and after the ones it writes.
    std::string sheet =
        "<?xml version=\"1.0\"?><x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
        "xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\" mc:Ignorable=\"x14ac\">"
        "<x:sheetPr filterMode=\"1\"><x:tabColor rgb=\"FF00FF00\"/><x:pageSetUpPr autoPageBreaks=\"0\"/></x:sheetPr>"
        "<x:sheetViews><x:sheetView zoomScale=\"85\" workbookViewId=\"0\"><x:pane ySplit=\"2\" topLeftCell=\"A9\" "
        "activePane=\"bottomLeft\" state=\"split\"/><x:selection pane=\"bottomLeft\" activeCell=\"B10\" sqref=\"B10\"/>"
        "</x:sheetView></x:sheetViews>"
        "<x:sheetFormatPr defaultRowHeight=\"15\" x14ac:dyDescent=\"0.25\"/>"
        "<x:sheetData><x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:c></x:row></x:sheetData>"
        "<x:sheetCalcPr fullCalcOnLoad=\"1\"/>"
        "<x:ignoredErrors><x:ignoredError sqref=\"A1:A9\" numberStoredAsText=\"1\"/></x:ignoredErrors>"
        "<x:mergeCells count=\"1\"><x:mergeCell ref=\"C1:D1\"/></x:mergeCells>"
        "<x:conditionalFormatting sqref=\"A1:A20\"><x:cfRule type=\"expression\" priority=\"1\"><x:formula>A1&gt;0"
        "</x:formula></x:cfRule></x:conditionalFormatting>"
        "<x:pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
        "<x:pageSetup paperSize=\"9\" firstPageNumber=\"3\" useFirstPageNumber=\"1\"/>"
        "<x:rowBreaks count=\"1\" manualBreakCount=\"1\"><x:brk id=\"10\" max=\"16383\" man=\"1\"/></x:rowBreaks>"
        "<x:extLst><x:ext uri=\"{0}\"><x14ac:thing/></x:ext></x:extLst></x:worksheet>";
    auto wb = reader_test::Load(PackageBuilder().Sheet("S", "").Override("xl/worksheets/sheet1.xml", sheet).Bytes());
    wb->Sheet(1).GetRange("3:4").Delete();
    TempDir dir;
    std::string file = dir.File("order.xlsx");
    host::xlsx::SaveWorkbook(*wb, file);
    std::string out = Part(file, "xl/worksheets/sheet1.xml");
    const std::vector<std::string> schemaOrder = {
        "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "sheetData", "x:sheetCalcPr", "mergeCells",
        "x:conditionalFormatting", "pageMargins", "pageSetup", "rowBreaks", "x:ignoredErrors", "x:extLst"};
    EXPECT_EQ(TopLevelElements(out), schemaOrder) << out;
    // The ignored errors of A1:A9 follow the deletion of rows 3 and 4.
    EXPECT_NE(out.find("x:ignoredErrors><x:ignoredError sqref=\"A1:A7\""), std::string::npos) << out;
    EXPECT_NE(out.find("<x:tabColor rgb=\"FF00FF00\"/><pageSetUpPr autoPageBreaks=\"0\"/>"), std::string::npos) << out;
    EXPECT_NE(out.find("<sheetView zoomScale=\"85\" tabSelected=\"1\" workbookViewId=\"0\"><x:pane ySplit=\"2\" topLeftCell=\"A7\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("<selection pane=\"bottomLeft\" activeCell=\"B10\""), std::string::npos) << out;
    EXPECT_NE(out.find("x14ac:dyDescent=\"0.25\""), std::string::npos);
    // The page setup's first page number is the model's now; it is written once.
    EXPECT_NE(out.find("firstPageNumber=\"3\""), std::string::npos);
    EXPECT_NE(out.find("useFirstPageNumber=\"1\""), std::string::npos);
    EXPECT_EQ(out.find("firstPageNumber=\"3\""), out.rfind("firstPageNumber=\"3\""));
    EXPECT_NE(out.find("<x:conditionalFormatting sqref=\"A1:A18\">"), std::string::npos);
    if (HaveOpenpyxl()) EXPECT_EQ(NamespaceCheck(file, "xl/worksheets/sheet1.xml"), "");
}

}  // namespace

namespace {

TEST(KeptFeatures, PartsOfAnyKindComeBackWithTheirTypes) {
    using reader_test::PackageBuilder;
    const std::string threaded =
        "<ThreadedComments xmlns=\"http://schemas.microsoft.com/office/spreadsheetml/2018/threadedcomments\">"
        "<threadedComment ref=\"A2\" id=\"{1}\" personId=\"{9}\"><text>第一</text></threadedComment>"
        "<threadedComment ref=\"A5\" id=\"{2}\" personId=\"{9}\"><text>第二</text></threadedComment></ThreadedComments>";
    const std::string types =
        "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Override PartName=\"/xl/threadedComments/threadedComment1.xml\" "
        "ContentType=\"application/vnd.ms-excel.threadedcomments+xml\"/>"
        "<Override PartName=\"/docProps/custom.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.custom-properties+xml\"/></Types>";
    const std::string rootRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"xl/workbook.xml\"/><Relationship Id=\"rId7\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties\" "
        "Target=\"docProps/custom.xml\"/></Relationships>";
    auto wb = reader_test::Load(
        PackageBuilder()
            .Sheet("S", "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>")
            .WorkbookBefore("<workbookProtection lockStructure=\"1\"/>")
            .Part("xl/worksheets/_rels/sheet1.xml.rels",
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"http://schemas.microsoft.com/office/2017/10/relationships/threadedComment\" "
                  "Target=\"../threadedComments/threadedComment1.xml\"/></Relationships>")
            .Part("xl/threadedComments/threadedComment1.xml", threaded)
            .Part("docProps/custom.xml", "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\"/>")
            .Override("[Content_Types].xml", types)
            .Override("_rels/.rels", rootRels)
            .Bytes());
    wb->Sheet(1).GetRange("2:2").Delete();
    TempDir dir;
    std::string file = dir.File("parts.xlsx");
    host::xlsx::SaveWorkbook(*wb, file);

    std::string comments = Part(file, "xl/threadedComments/threadedComment1.xml");
    EXPECT_EQ(comments.find("第一"), std::string::npos) << comments;  // its row is gone
    EXPECT_NE(comments.find("<threadedComment ref=\"A4\" id=\"{2}\""), std::string::npos) << comments;
    std::string types2 = Part(file, "[Content_Types].xml");
    EXPECT_NE(types2.find("<Override PartName=\"/xl/threadedComments/threadedComment1.xml\" "
                          "ContentType=\"application/vnd.ms-excel.threadedcomments+xml\"/>"),
              std::string::npos)
        << types2;
    EXPECT_NE(types2.find("/docProps/custom.xml"), std::string::npos);
    std::string rels = Part(file, "_rels/.rels");
    EXPECT_NE(rels.find("Id=\"rId7\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                        "custom-properties\" Target=\"/docProps/custom.xml\""),
              std::string::npos)
        << rels;
    EXPECT_EQ(Count(rels, "Id=\"rId7\""), 1u);  // the written relationships took other ids
    std::string book = Part(file, "xl/workbook.xml");
    EXPECT_LT(book.find("<workbookProtection lockStructure=\"1\"/>"), book.find("<bookViews>")) << book;
    EXPECT_GT(book.find("<workbookProtection"), book.find("<workbookPr"));
}

}  // namespace

namespace {

TEST(KeptFeatures, SheetCopiedToAnotherWorkbookTakesItsDifferentialFormats) {
    auto wb = Open("openpyxl-kept.xlsx");
    host::Workbook target(nullptr, "新.xlsx");
    wb->Sheet(1).CopyTo(target, nullptr);
    TempDir dir;
    std::string file = dir.File("copy.xlsx");
    host::xlsx::SaveWorkbook(target, file);
    std::string styles = Part(file, "xl/styles.xml");
    EXPECT_NE(styles.find("<dxfs count=\"2\">"), std::string::npos) << styles;
    std::string sheet = Part(file, "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<conditionalFormatting sqref=\"C2:C20\"><cfRule type=\"cellIs\" priority=\"1\" operator=\"greaterThan\" dxfId=\"0\""),
              std::string::npos)
        << sheet;
    if (HaveOpenpyxl()) EXPECT_EQ(NamespaceCheck(file, "xl/styles.xml"), "");
}

}  // namespace
