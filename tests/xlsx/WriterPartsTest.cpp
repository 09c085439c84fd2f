// What the parts of a written package contain, looked at in the XML itself.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>

#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "xlsx/WriterSampleWorkbook.h"
#include "xlsx/WriterZipInspect.h"

using testing_support::TempDir;
using writer_inspect::ReadEntry;

namespace {

std::string Part(const std::string& file, const std::string& name) {
    auto data = ReadEntry(file, name);
    EXPECT_TRUE(data.has_value()) << name;
    return data.value_or("");
}

bool Has(const std::string& xml, const std::string& piece) { return xml.find(piece) != std::string::npos; }

size_t Count(const std::string& xml, const std::string& piece) {
    size_t n = 0;
    for (size_t p = xml.find(piece); p != std::string::npos; p = xml.find(piece, p + 1)) ++n;
    return n;
}

class WriterParts : public ::testing::Test {
protected:
    std::string Save(const host::Workbook& wb, const std::string& name = "book.xlsx") {
        std::string file = dir.File(name);
        host::xlsx::SaveWorkbook(wb, file);
        return file;
    }
    TempDir dir;
};

TEST_F(WriterParts, WorkbookNamesStatesAndPrintNames) {
    auto wb = writer_sample::MakeSampleWorkbook("");
    std::string xml = Part(Save(*wb), "xl/workbook.xml");
    EXPECT_TRUE(Has(xml, "<sheet name=\"花名册&#9;设置\" sheetId=\"2\" state=\"hidden\" r:id=\"rId2\"/>")) << xml;
    EXPECT_TRUE(Has(xml, "name=\"Scratch\" sheetId=\"3\" state=\"veryHidden\"")) << xml;
    EXPECT_TRUE(Has(xml, "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">'Sheet 1'!$A$1:$H$40</definedName>"));
    EXPECT_TRUE(Has(xml, "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">'Sheet 1'!$1:$2</definedName>"));
    EXPECT_TRUE(Has(xml, "date1904=\"1\""));
    EXPECT_TRUE(Has(xml, "activeTab=\"0\""));
}

TEST_F(WriterParts, PrintTitlesJoinColumnsAndRowsAndQuoteTheName) {
    host::Workbook wb(nullptr, "t.xlsx");
    wb.InsertSheet(-1, "A", "Sheet1");
    host::Worksheet& ws = wb.InsertSheet(-1, "It's", "Sheet2");
    ws.PageSetup().PrintTitleColumns = "$A:$B";
    ws.PageSetup().PrintTitleRows = "$1:$1";
    ws.PageSetup().PrintArea = "$A$1:$C$3,$E$1:$F$2";
    // A name the page setup gives already is written once.
    wb.DefinedNames().push_back({"_xlnm.Print_Area", 1, "'It''s'!$Z$1", false});
    wb.DefinedNames().push_back({"Hidden", 1, "1", true});
    std::string xml = Part(Save(wb), "xl/workbook.xml");
    EXPECT_TRUE(Has(xml, "localSheetId=\"1\">'It''s'!$A:$B,'It''s'!$1:$1</definedName>")) << xml;
    EXPECT_TRUE(Has(xml, ">'It''s'!$A$1:$C$3,'It''s'!$E$1:$F$2</definedName>")) << xml;
    EXPECT_EQ(Count(xml, "_xlnm.Print_Area"), 1u);
    EXPECT_TRUE(Has(xml, "<definedName name=\"Hidden\" localSheetId=\"1\" hidden=\"1\">1</definedName>"));
}

TEST_F(WriterParts, StylesStartWithTheMandatoryFillsAndNumberCustomFormatsFrom164) {
    auto wb = writer_sample::MakeSampleWorkbook("");
    std::string xml = Part(Save(*wb), "xl/styles.xml");
    EXPECT_TRUE(Has(xml, "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill>"
                         "<fill><patternFill patternType=\"gray125\"/></fill>")) << xml;
    EXPECT_TRUE(Has(xml, "<numFmt numFmtId=\"164\" formatCode=\"0.000_ &quot;分&quot;\"/>")) << xml;
    EXPECT_TRUE(Has(xml, "<numFmt numFmtId=\"165\" formatCode=\"yyyy/m/d\"/>")) << xml;
    EXPECT_TRUE(Has(xml, "<xf numFmtId=\"49\"")) << "text format by its built-in id";
    EXPECT_TRUE(Has(xml, "applyProtection=\"1\"><protection locked=\"0\"/></xf>")) << xml;
    EXPECT_TRUE(Has(xml, "<cellXfs count=\"" + std::to_string(wb->Styles().Size()) + "\">"));
    EXPECT_TRUE(Has(xml, "<cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"));
    EXPECT_TRUE(Has(xml, "<font><sz val=\"11\"/><name val=\"宋体\"/><charset val=\"134\"/></font>")) << xml;
}

TEST_F(WriterParts, EqualFontsFillsAndBordersAreWrittenOnce) {
    host::Workbook wb(nullptr, "t.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "S", "Sheet1");
    host::CellFormat a;
    a.font.bold = true;
    host::CellFormat b = a;
    b.numberFormat = "0.0";  // a second format sharing the font
    ws.SetStyleAt(1, 1, wb.Styles().Intern(a));
    ws.SetStyleAt(1, 2, wb.Styles().Intern(b));
    std::string xml = Part(Save(wb), "xl/styles.xml");
    EXPECT_TRUE(Has(xml, "<fonts count=\"2\">")) << xml;
    EXPECT_TRUE(Has(xml, "<borders count=\"1\">")) << xml;
    EXPECT_EQ(Count(xml, "fontId=\"1\""), 2u) << xml;
}

TEST_F(WriterParts, CellsCarryTheirTypesAndFormulasTheirCachedResults) {
    auto wb = writer_sample::MakeSampleWorkbook("");
    std::string xml = Part(Save(*wb), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(Has(xml, "<c r=\"A2\"><v>0.1</v></c>")) << xml;
    EXPECT_TRUE(Has(xml, "<c r=\"A5\" t=\"b\"><v>1</v></c>"));
    EXPECT_TRUE(Has(xml, "<c r=\"B5\" t=\"e\"><v>#N/A</v></c>"));
    EXPECT_TRUE(Has(xml, "<c r=\"A6\"><f>SUM(A2:A3)</f><v>123456789.22345679</v></c>"));
    EXPECT_TRUE(Has(xml, "<c r=\"B6\" t=\"str\"><f>B1&amp;\"x\"</f><v>姓名x</v></c>"));
    EXPECT_TRUE(Has(xml, "<c r=\"C6\" t=\"b\"><f>A5</f><v>1</v></c>"));
    EXPECT_TRUE(Has(xml, "<c r=\"D6\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"));
    EXPECT_TRUE(Has(xml, "<sheetPr codeName=\"名单\"/>"));
    EXPECT_TRUE(Has(xml, "<mergeCells count=\"1\"><mergeCell ref=\"A8:C9\"/></mergeCells>"));
    EXPECT_TRUE(Has(xml, "<row r=\"3\" ht=\"30\" customHeight=\"1\">"));
    EXPECT_TRUE(Has(xml, "<row r=\"10\" hidden=\"1\"/>"));
    EXPECT_TRUE(Has(xml, "<col min=\"2\" max=\"2\" width=\"20.5\" customWidth=\"1\"/>"));
    EXPECT_TRUE(Has(xml, "<col min=\"4\" max=\"4\" width=\"8.43\" hidden=\"1\"/>"));
    EXPECT_TRUE(Has(xml, "<pageMargins left=\"0.5\""));
    EXPECT_TRUE(Has(xml, "<oddHeader>&amp;C考场安排</oddHeader><oddFooter>&amp;R第&amp;P页</oddFooter>"));
    EXPECT_TRUE(Has(xml, "<selection activeCell=\"C2\" sqref=\"C2\"/>"));
    // Element order the schema prescribes.
    std::regex order("<sheetPr.*<dimension.*<sheetViews.*<sheetFormatPr.*<cols>.*<sheetData>.*"
                     "<sheetProtection.*<mergeCells.*<printOptions.*<pageMargins.*<pageSetup.*<headerFooter");
    EXPECT_TRUE(std::regex_search(xml, order));
}

TEST_F(WriterParts, NonFiniteNumbersBecomeNumError) {
    host::Workbook wb(nullptr, "t.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "S", "Sheet1");
    ws.SetValueAt(1, 1, host::Variant(std::numeric_limits<double>::infinity()));
    ws.SetValueAt(1, 2, host::Variant(std::nan("")));
    std::string xml = Part(Save(wb), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(Has(xml, "<c r=\"A1\" t=\"e\"><v>#NUM!</v></c><c r=\"B1\" t=\"e\"><v>#NUM!</v></c>")) << xml;
}

TEST_F(WriterParts, SharedStringsAreCountedAndKeepWhiteSpace) {
    host::Workbook wb(nullptr, "t.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "S", "Sheet1");
    ws.SetValueAt(1, 1, host::Variant("同"));
    ws.SetValueAt(2, 1, host::Variant("同"));
    ws.SetValueAt(3, 1, host::Variant(" 空格"));
    ws.SetValueAt(4, 1, host::Variant("a\x01" "b"));
    std::string file = Save(wb);
    std::string sst = Part(file, "xl/sharedStrings.xml");
    EXPECT_TRUE(Has(sst, "count=\"4\" uniqueCount=\"3\"")) << sst;
    EXPECT_TRUE(Has(sst, "<si><t>同</t></si><si><t xml:space=\"preserve\"> 空格</t></si><si><t>a_x0001_b</t></si>")) << sst;  // the control character escaped, not lost
    std::string sheet = Part(file, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(Has(sheet, "<c r=\"A2\" t=\"s\"><v>0</v></c>"));
}

TEST_F(WriterParts, MacroProjectOnlyInMacroEnabledFiles) {
    auto wb = writer_sample::MakeSampleWorkbook("");
    std::vector<uint8_t> project = {0xD0, 0xCF, 0x11, 0xE0, 1, 2, 3, 0, 255};
    wb->SetVbaProject(std::make_shared<std::vector<uint8_t>>(project));

    std::string xlsm = Save(*wb, "book.xlsm");
    std::string bin = Part(xlsm, "xl/vbaProject.bin");
    EXPECT_EQ(std::vector<uint8_t>(bin.begin(), bin.end()), project);
    std::string types = Part(xlsm, "[Content_Types].xml");
    EXPECT_TRUE(Has(types, "application/vnd.ms-excel.sheet.macroEnabled.main+xml"));
    EXPECT_TRUE(Has(types, "<Default Extension=\"bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/>"));
    EXPECT_TRUE(Has(Part(xlsm, "xl/_rels/workbook.xml.rels"), "Target=\"vbaProject.bin\""));

    std::string xlsx = Save(*wb, "book.xlsx");
    EXPECT_FALSE(ReadEntry(xlsx, "xl/vbaProject.bin").has_value());
    EXPECT_FALSE(Has(Part(xlsx, "[Content_Types].xml"), "macroEnabled"));
    EXPECT_FALSE(Has(Part(xlsx, "xl/_rels/workbook.xml.rels"), "vbaProject"));
}

// The picture's own transform is its anchor's position with this sheet's
// sizes: custom widths and heights counted, hidden rows not.
TEST_F(WriterParts, PictureOffsetFollowsTheSheetSizes) {
    host::Workbook wb(nullptr, "t.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "S", "Sheet1");
    ws.SetColumnWidthChars(1, 20);  // 8-pixel digits of 宋体 11: 165 px = 123.75 pt
    ws.SetRowHidden(1, true);
    ws.SetRowHeightPoints(2, 30);
    host::Picture pic;
    pic.data = std::make_shared<std::vector<uint8_t>>(std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE0});
    pic.extension = "jpeg";
    pic.from = {2, 3, 100, 200};
    pic.to = {3, 4, 0, 0};
    ws.Pictures().push_back(pic);
    std::string drawing = Part(Save(wb), "xl/drawings/drawing1.xml");
    EXPECT_TRUE(Has(drawing, "<a:off x=\"1571725\" y=\"381200\"/>")) << drawing;  // 123.75 × 12700 + 100, 30 × 12700 + 200
}

TEST_F(WriterParts, PicturesGetDrawingImageAndRelationships) {
    host::Workbook wb(nullptr, "t.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "S", "Sheet1");
    wb.InsertSheet(-1, "Empty", "Sheet2");
    auto bytes = std::make_shared<std::vector<uint8_t>>(std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 1, 2});
    host::Picture pic;
    pic.name = "照片";
    pic.data = bytes;
    pic.extension = "jpeg";
    pic.from = {2, 3, 100, 200};
    pic.to = {4, 6, 0, 0};
    pic.widthEmu = 952500;
    pic.heightEmu = 1270000;
    ws.Pictures().push_back(pic);
    ws.Pictures().push_back(pic);  // the same bytes twice: one media part
    std::string file = Save(wb);

    std::string drawing = Part(file, "xl/drawings/drawing1.xml");
    EXPECT_EQ(Count(drawing, "<xdr:twoCellAnchor editAs=\"oneCell\">"), 2u);
    EXPECT_TRUE(Has(drawing, "<xdr:from><xdr:col>1</xdr:col><xdr:colOff>100</xdr:colOff>"
                             "<xdr:row>2</xdr:row><xdr:rowOff>200</xdr:rowOff></xdr:from>")) << drawing;
    EXPECT_TRUE(Has(drawing, "name=\"照片\""));
    EXPECT_TRUE(Has(drawing, "<a:ext cx=\"952500\" cy=\"1270000\"/>"));
    EXPECT_TRUE(Has(drawing, "r:embed=\"rId2\""));
    std::string rels = Part(file, "xl/drawings/_rels/drawing1.xml.rels");
    EXPECT_EQ(Count(rels, "Target=\"../media/image1.jpeg\""), 2u) << rels;
    EXPECT_TRUE(Has(Part(file, "xl/worksheets/_rels/sheet1.xml.rels"), "Target=\"../drawings/drawing1.xml\""));
    EXPECT_TRUE(Has(Part(file, "xl/worksheets/sheet1.xml"), "<drawing r:id=\"rId1\"/></worksheet>"));
    EXPECT_FALSE(Has(Part(file, "xl/worksheets/sheet2.xml"), "<drawing"));
    std::string types = Part(file, "[Content_Types].xml");
    EXPECT_TRUE(Has(types, "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>"));
    EXPECT_TRUE(Has(types, "/xl/drawings/drawing1.xml"));
    std::string image = Part(file, "xl/media/image1.jpeg");
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.end()), *bytes);
}

TEST_F(WriterParts, ProtectionKeepsImportedHashesAndOptionsVerbatim) {
    host::Workbook wb(nullptr, "t.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "S", "Sheet1");
    host::SheetProtection p;
    p.enabled = true;
    p.legacyHash = "83AF";
    p.algorithmName = "SHA-512";
    p.hashValue = "aGFzaA==";
    p.saltValue = "c2FsdA==";
    p.spinCount = 100000;
    p.options = {{"objects", "1"}, {"selectLockedCells", "1"}, {"sheet", "1"}};
    ws.SetProtection(p);
    std::string xml = Part(Save(wb), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(Has(xml, "<sheetProtection password=\"83AF\" algorithmName=\"SHA-512\" hashValue=\"aGFzaA==\" "
                         "saltValue=\"c2FsdA==\" spinCount=\"100000\" sheet=\"1\" objects=\"1\" "
                         "selectLockedCells=\"1\"/>")) << xml;
}

}  // namespace
