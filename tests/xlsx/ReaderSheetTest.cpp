// Sheet and workbook structure: sizes, merges, states, names, protection,
// page setup, views, pictures and the macro project.
#include <gtest/gtest.h>

#include "host/Worksheet.h"
#include "xlsx/ReaderPackageBuilder.h"

using namespace reader_test;

namespace {

const char* kData = "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>";

TEST(ReaderSheet, SizesRowsAndColumns) {
    auto wb = Load(PackageBuilder()
                       .Sheet("Sheet1",
                              "<sheetFormatPr defaultColWidth=\"10.5\" defaultRowHeight=\"14.25\"/>"
                              "<cols><col min=\"1\" max=\"2\" width=\"20.7109375\" customWidth=\"1\"/>"
                              "<col min=\"4\" max=\"4\" width=\"9\" hidden=\"1\"/>"
                              "<col min=\"16380\" max=\"20000\" width=\"3\"/></cols>"
                              "<sheetData><row r=\"1\" ht=\"30\" customHeight=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                              "<row r=\"3\" hidden=\"1\"/></sheetData>")
                       .Bytes());
    auto& ws = wb->Sheet(1);
    EXPECT_EQ(ws.DefaultColumnWidth(), 10.5);
    EXPECT_EQ(ws.StandardHeight(), 14.25);
    for (int c : {1, 2}) {
        ASSERT_NE(ws.FindColumn(c), nullptr);
        EXPECT_EQ(ws.FindColumn(c)->width, 20.7109375);
        EXPECT_TRUE(ws.FindColumn(c)->customWidth);
    }
    EXPECT_TRUE(ws.FindColumn(4)->hidden);
    EXPECT_TRUE(ws.FindColumn(3) == nullptr || ws.FindColumn(3)->IsDefault());
    EXPECT_EQ(ws.FindColumn(host::kMaxColumns)->width, 3);  // a range past XFD is cut at XFD
    EXPECT_EQ(ws.FindRow(1)->info.height, 30);
    EXPECT_TRUE(ws.FindRow(1)->info.customHeight);
    EXPECT_TRUE(ws.FindRow(3)->info.hidden);
    EXPECT_FALSE(ws.FindRow(1)->info.hidden);
}

TEST(ReaderSheet, MergedAreas) {
    auto wb = Load(PackageBuilder()
                       .Sheet("Sheet1", std::string(kData) +
                                            "<mergeCells count=\"3\"><mergeCell ref=\"A1:C2\"/><mergeCell ref=\"E5:E9\"/>"
                                            "<mergeCell ref=\"G1:G1\"/></mergeCells>")
                       .Bytes());
    const auto& m = wb->Sheet(1).MergedAreas();
    ASSERT_EQ(m.size(), 2u);  // a one-cell merge means nothing
    EXPECT_EQ(m[0], (host::Rect{1, 1, 2, 3}));
    EXPECT_EQ(m[1], (host::Rect{5, 5, 9, 5}));
}

TEST(ReaderSheet, StatesCodeNamesAndTabNames) {
    auto wb = Load(PackageBuilder()
                       .Sheet("前台", "<sheetPr codeName=\"Sheet1\"/>" + std::string(kData))
                       .Sheet("参数", "<sheetPr codeName=\"Sheet2\"><pageSetUpPr fitToPage=\"1\"/></sheetPr>", "state=\"hidden\"")
                       .Sheet("修订", "<sheetPr codeName=\"Sheet3\"/>", "state=\"veryHidden\"")
                       .Sheet("高一&#9;设置", "")
                       .Sheet("高一\t二", "")
                       .Bytes());
    ASSERT_EQ(wb->SheetCount(), 5);
    EXPECT_EQ(wb->Sheet(1).CodeName(), "Sheet1");
    EXPECT_EQ(wb->Sheet(2).Visible(), host::xlSheetHidden);
    EXPECT_EQ(wb->Sheet(3).Visible(), host::xlSheetVeryHidden);
    EXPECT_EQ(wb->Sheet(1).Visible(), host::xlSheetVisible);
    EXPECT_EQ(wb->Sheet(4).Name(), "高一\t设置");   // a character reference keeps the TAB
    EXPECT_EQ(wb->Sheet(5).Name(), "高一 二");      // a raw TAB is normalised, as every reader does
    // Sheets without a code name get free ones that do not collide with the file's.
    EXPECT_EQ(wb->Sheet(4).CodeName(), "Sheet4");
    EXPECT_EQ(wb->Sheet(5).CodeName(), "Sheet5");
}

TEST(ReaderSheet, AllHiddenKeepsTheFirstVisible) {
    auto wb = Load(PackageBuilder().Sheet("A", "", "state=\"hidden\"").Sheet("B", "", "state=\"hidden\"").Bytes());
    EXPECT_EQ(wb->Sheet(1).Visible(), host::xlSheetVisible);
    EXPECT_EQ(wb->Sheet(2).Visible(), host::xlSheetHidden);
}

TEST(ReaderSheet, SheetProtectionKeepsHashesAndOptions) {
    auto wb = Load(PackageBuilder()
                       .Sheet("A", std::string(kData) +
                                       "<sheetProtection algorithmName=\"SHA-512\" hashValue=\"aGFzaA==\" saltValue=\"c2FsdA==\""
                                       " spinCount=\"100000\" sheet=\"1\" objects=\"1\" scenarios=\"1\" formatCells=\"0\"/>")
                       .Sheet("B", std::string(kData) + "<sheetProtection password=\"83AF\" sheet=\"1\"/>")
                       .Sheet("C", kData)
                       .Bytes());
    const host::SheetProtection& a = wb->Sheet(1).Protection();
    EXPECT_TRUE(a.enabled);
    EXPECT_EQ(a.algorithmName, "SHA-512");
    EXPECT_EQ(a.hashValue, "aGFzaA==");
    EXPECT_EQ(a.saltValue, "c2FsdA==");
    EXPECT_EQ(a.spinCount, 100000u);
    std::vector<std::pair<std::string, std::string>> options = {{"objects", "1"}, {"scenarios", "1"}, {"formatCells", "0"}};
    EXPECT_EQ(a.options, options);
    EXPECT_TRUE(wb->Sheet(2).ProtectContents());
    EXPECT_EQ(wb->Sheet(2).Protection().legacyHash, "83AF");
    EXPECT_TRUE(wb->Sheet(2).CheckPassword("password"));
    EXPECT_FALSE(wb->Sheet(2).CheckPassword("passwort"));
    EXPECT_FALSE(wb->Sheet(3).ProtectContents());
}

TEST(ReaderSheet, PageSetup) {
    auto wb = Load(PackageBuilder()
                       .Sheet("名单", std::string(kData) +
                                          "<printOptions horizontalCentered=\"1\"/>"
                                          "<pageMargins left=\"0.5\" right=\"0.25\" top=\"1\" bottom=\"0.75\" header=\"0.3\" footer=\"0.2\"/>"
                                          "<pageSetup paperSize=\"8\" orientation=\"landscape\" scale=\"85\"/>"
                                          "<headerFooter><oddHeader>&amp;L左&amp;C第&amp;P页&amp;R右 &amp;&amp; 右</oddHeader>"
                                          "<oddFooter>只有中间</oddFooter></headerFooter>")
                       .Sheet("适应", "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>" + std::string(kData) +
                                          "<pageSetup fitToWidth=\"1\" fitToHeight=\"0\"/>")
                       .Sheet("无", kData)
                       .Bytes());
    const host::PageSetup& p = wb->Sheet(1).PageSetup();
    EXPECT_TRUE(p.hasSetup);
    EXPECT_EQ(p.PaperSize, 8);
    EXPECT_EQ(p.Orientation, 2);
    EXPECT_EQ(p.Zoom, 85);
    EXPECT_DOUBLE_EQ(p.LeftMargin, 36);
    EXPECT_DOUBLE_EQ(p.RightMargin, 18);
    EXPECT_DOUBLE_EQ(p.TopMargin, 72);
    EXPECT_DOUBLE_EQ(p.BottomMargin, 54);
    EXPECT_DOUBLE_EQ(p.HeaderMargin, 21.6);
    EXPECT_DOUBLE_EQ(p.FooterMargin, 14.4);
    EXPECT_TRUE(p.CenterHorizontally);
    EXPECT_FALSE(p.CenterVertically);
    EXPECT_EQ(p.LeftHeader, "左");
    EXPECT_EQ(p.CenterHeader, "第&P页");
    EXPECT_EQ(p.RightHeader, "右 && 右");
    EXPECT_EQ(p.CenterFooter, "只有中间");
    EXPECT_EQ(p.LeftFooter, "");

    const host::PageSetup& fit = wb->Sheet(2).PageSetup();
    EXPECT_EQ(fit.Zoom, 0);
    EXPECT_EQ(fit.FitToPagesWide, 1);
    EXPECT_EQ(fit.FitToPagesTall, 0);
    EXPECT_EQ(fit.Orientation, 1);

    EXPECT_FALSE(wb->Sheet(3).PageSetup().hasSetup);
    EXPECT_EQ(wb->Sheet(3).PageSetup().Zoom, 100);
}

TEST(ReaderSheet, DefinedNamesAndPrintAreas) {
    auto wb = Load(PackageBuilder()
                       .Sheet("名单", kData)
                       .Sheet("O'Brien 表", kData)
                       .Sheet("第三", kData)
                       .WorkbookAfter(
                           "<definedNames>"
                           "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">名单!$A$1:$H$40</definedName>"
                           "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">名单!$A:$B,名单!$1:$2</definedName>"
                           "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">'O''Brien 表'!$A$1:$B$2,'O''Brien 表'!$D$1:$E$2</definedName>"
                           "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"1\">'O''Brien 表'!$3:$3</definedName>"
                           "<definedName name=\"班级表\">名单!$E$2:$E$100</definedName>"
                           "<definedName name=\"局部\" localSheetId=\"2\" hidden=\"1\">第三!$A$1</definedName>"
                           "<definedName name=\"失效\" localSheetId=\"9\">#REF!</definedName>"
                           "</definedNames>")
                       .Bytes());
    const host::PageSetup& a = wb->Sheet(1).PageSetup();
    EXPECT_EQ(a.PrintArea, "$A$1:$H$40");
    EXPECT_EQ(a.PrintTitleRows, "$1:$2");
    EXPECT_EQ(a.PrintTitleColumns, "$A:$B");
    const host::PageSetup& b = wb->Sheet(2).PageSetup();
    EXPECT_EQ(b.PrintArea, "$A$1:$B$2,$D$1:$E$2");
    EXPECT_EQ(b.PrintTitleRows, "$3:$3");
    EXPECT_EQ(b.PrintTitleColumns, "");
    const auto& names = wb->DefinedNames();
    ASSERT_EQ(names.size(), 2u);  // print names went to page setup; the one of a missing sheet is dropped
    EXPECT_EQ(names[0].name, "班级表");
    EXPECT_EQ(names[0].formula, "名单!$E$2:$E$100");
    EXPECT_EQ(names[0].localSheet, -1);
    EXPECT_EQ(names[1].name, "局部");
    EXPECT_EQ(names[1].localSheet, 2);
    EXPECT_TRUE(names[1].hidden);
}

TEST(ReaderSheet, ViewsActiveTabAndDateSystem) {
    auto wb = Load(PackageBuilder()
                       .WorkbookBefore("<workbookPr date1904=\"1\"/><bookViews><workbookView activeTab=\"2\"/></bookViews>")
                       .Sheet("A", "<sheetViews><sheetView showGridLines=\"0\" workbookViewId=\"0\">"
                                   "<selection activeCell=\"C5\" sqref=\"C5:D6 F1\"/></sheetView></sheetViews>" + std::string(kData))
                       .Sheet("B", "<sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\""
                                   " state=\"frozen\"/><selection pane=\"topLeft\" activeCell=\"A1\"/>"
                                   "<selection pane=\"bottomLeft\" activeCell=\"B7\" sqref=\"B7\"/></sheetView></sheetViews>")
                       .Sheet("C", "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>" + std::string(kData))
                       .Bytes());
    EXPECT_TRUE(wb->Date1904());
    EXPECT_FALSE(wb->Sheet(1).ShowGridLines());
    EXPECT_EQ(wb->Sheet(1).ActiveCell(), (host::CellRef{5, 3}));
    EXPECT_EQ(wb->Sheet(1).Selection(), "C5:D6,F1");
    EXPECT_TRUE(wb->Sheet(2).ShowGridLines());
    EXPECT_EQ(wb->Sheet(2).ActiveCell(), (host::CellRef{7, 2}));
    EXPECT_TRUE(wb->Sheet(3).TabSelected());
    EXPECT_FALSE(wb->Sheet(1).TabSelected());
    EXPECT_EQ(wb->ActiveSheet(), &wb->Sheet(3));
}

TEST(ReaderSheet, ActiveTabOnAHiddenSheetFallsToTheFirstVisible) {
    auto wb = Load(PackageBuilder()
                       .WorkbookBefore("<bookViews><workbookView activeTab=\"0\"/></bookViews>")
                       .Sheet("A", "", "state=\"hidden\"")
                       .Sheet("B", "")
                       .Bytes());
    EXPECT_EQ(wb->ActiveSheet(), &wb->Sheet(2));
}

std::string Drawing(const std::string& anchors) {
    return "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\""
           " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\"" +
           std::string(kRelNs) + "\">" + anchors + "</xdr:wsDr>";
}

std::string Pic(const std::string& name, const std::string& rel, const std::string& ext) {
    return "<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"2\" name=\"" + name + "\" descr=\"照片\"/><xdr:cNvPicPr/></xdr:nvPicPr>"
           "<xdr:blipFill><a:blip r:embed=\"" + rel + "\"/></xdr:blipFill><xdr:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/>" + ext +
           "</a:xfrm></xdr:spPr></xdr:pic>";
}

TEST(ReaderSheet, PicturesAndTheirImageBytes) {
    std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + "pixels";
    std::string jpg = "\xFF\xD8\xFF\xE0jpeg";
    std::string anchors =
        "<xdr:twoCellAnchor editAs=\"oneCell\"><xdr:from><xdr:col>1</xdr:col><xdr:colOff>9525</xdr:colOff>"
        "<xdr:row>2</xdr:row><xdr:rowOff>19050</xdr:rowOff></xdr:from><xdr:to><xdr:col>3</xdr:col><xdr:colOff>0</xdr:colOff>"
        "<xdr:row>8</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>" + Pic("图片 1", "rId1", "<a:ext cx=\"1200000\" cy=\"1600000\"/>") +
        "<xdr:clientData/></xdr:twoCellAnchor>"
        "<xdr:oneCellAnchor><xdr:from><xdr:col>5</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>0</xdr:row><xdr:rowOff>0</xdr:rowOff>"
        "</xdr:from><xdr:ext cx=\"500\" cy=\"600\"/>" + Pic("图片 2", "rId2", "") + "<xdr:clientData/></xdr:oneCellAnchor>"
        "<xdr:twoCellAnchor><xdr:from><xdr:col>0</xdr:col><xdr:row>0</xdr:row></xdr:from><xdr:to><xdr:col>1</xdr:col><xdr:row>1</xdr:row></xdr:to>"
        "<xdr:sp><xdr:nvSpPr><xdr:cNvPr id=\"4\" name=\"形状\"/></xdr:nvSpPr></xdr:sp><xdr:clientData/></xdr:twoCellAnchor>"
        "<xdr:oneCellAnchor><xdr:from><xdr:col>7</xdr:col><xdr:row>0</xdr:row></xdr:from><xdr:ext cx=\"1\" cy=\"1\"/>" +
        Pic("图片 3", "rId1", "") + "<xdr:clientData/></xdr:oneCellAnchor>";
    std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                       PackageBuilder::Rel("rId1", "image", "../media/image1.png") +
                       PackageBuilder::Rel("rId2", "image", "/xl/media/image2.JPG") + "</Relationships>";
    auto wb = Load(PackageBuilder()
                       .Sheet("照片", std::string(kData) + "<drawing r:id=\"rId7\"/>")
                       .Part("xl/worksheets/_rels/sheet1.xml.rels",
                             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                                 PackageBuilder::Rel("rId7", "drawing", "../drawings/drawing1.xml") + "</Relationships>")
                       .Part("xl/drawings/drawing1.xml", Drawing(anchors))
                       .Part("xl/drawings/_rels/drawing1.xml.rels", rels)
                       .Part("xl/media/image1.png", png)
                       .Part("xl/media/image2.JPG", jpg)
                       .Bytes());
    const auto& pics = wb->Sheet(1).Pictures();
    ASSERT_EQ(pics.size(), 3u);  // the shape is no picture
    EXPECT_EQ(pics[0].name, "图片 1");
    EXPECT_EQ(pics[0].description, "照片");
    EXPECT_EQ(pics[0].extension, "png");
    EXPECT_EQ(std::string(pics[0].data->begin(), pics[0].data->end()), png);
    EXPECT_EQ(pics[0].from, (host::CellAnchor{2, 3, 9525, 19050}));
    EXPECT_EQ(pics[0].to, (host::CellAnchor{4, 9, 0, 0}));
    EXPECT_EQ(pics[0].widthEmu, 1200000);
    EXPECT_EQ(pics[0].heightEmu, 1600000);
    EXPECT_EQ(pics[1].extension, "jpeg");
    EXPECT_EQ(std::string(pics[1].data->begin(), pics[1].data->end()), jpg);
    EXPECT_EQ(pics[1].from, (host::CellAnchor{6, 1, 0, 0}));
    EXPECT_EQ(pics[1].widthEmu, 500);
    EXPECT_EQ(pics[1].heightEmu, 600);
    EXPECT_EQ(pics[2].data.get(), pics[0].data.get());  // one image part, one copy
    EXPECT_EQ(pics[1].to, (host::CellAnchor{6, 1, 500, 600}));  // a one-cell anchor ends where its extent reaches
}

// A one-cell anchor's end cell comes from its extent and this sheet's sizes,
// hidden rows and columns passed over, so that it is written back as a
// two-cell anchor of the same size.
TEST(ReaderSheet, OneCellAnchorsEndWhereTheirExtentReaches) {
    std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + "pixels";
    // Column A 20 characters (160 px, 120 pt, in the 8-pixel digits of the
    // default 宋体), B hidden, C and on 54 pt; rows 20 pt, row 3 hidden.
    std::string sheet = "<sheetFormatPr defaultRowHeight=\"20\" customHeight=\"1\"/>"
                        "<cols><col min=\"1\" max=\"1\" width=\"20\" customWidth=\"1\"/>"
                        "<col min=\"2\" max=\"2\" width=\"9\" hidden=\"1\"/></cols>"
                        "<sheetData><row r=\"3\" hidden=\"1\"/></sheetData><drawing r:id=\"rId7\"/>";
    // From A2 + 5 pt down; 120 + 54 + 10 pt wide, 3 × 20 + 5 pt high.
    std::string anchors =
        "<xdr:oneCellAnchor><xdr:from><xdr:col>0</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1</xdr:row>"
        "<xdr:rowOff>63500</xdr:rowOff></xdr:from><xdr:ext cx=\"2336800\" cy=\"825500\"/>" +
        Pic("图片 1", "rId1", "") + "<xdr:clientData/></xdr:oneCellAnchor>";
    auto wb = Load(PackageBuilder()
                       .Sheet("照片", sheet)
                       .Part("xl/worksheets/_rels/sheet1.xml.rels",
                             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                                 PackageBuilder::Rel("rId7", "drawing", "../drawings/drawing1.xml") + "</Relationships>")
                       .Part("xl/drawings/drawing1.xml", Drawing(anchors))
                       .Part("xl/drawings/_rels/drawing1.xml.rels",
                             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                                 PackageBuilder::Rel("rId1", "image", "../media/image1.png") + "</Relationships>")
                       .Part("xl/media/image1.png", png)
                       .Bytes());
    const auto& pics = wb->Sheet(1).Pictures();
    ASSERT_EQ(pics.size(), 1u);
    EXPECT_EQ(pics[0].from, (host::CellAnchor{1, 2, 0, 63500}));
    // x: A 120 pt, B hidden, C 54 pt, 10 pt into D; y: from 25 pt down to 90 pt,
    // row 3 hidden, so rows 4 and 5 end at 80 pt: 10 pt into row 6.
    EXPECT_EQ(pics[0].to, (host::CellAnchor{4, 6, 127000, 127000}));
}

TEST(ReaderSheet, MacroProjectIsKeptByteForByte) {
    std::string vba("\xD0\xCF\x11\xE0\0\0macro", 11);
    auto wb = Load(PackageBuilder().Sheet("A", kData).Part("xl/vbaProject.bin", vba, "vbaProject", "vbaProject.bin").Bytes());
    ASSERT_TRUE(wb->VbaProject());
    EXPECT_EQ(std::string(wb->VbaProject()->begin(), wb->VbaProject()->end()), vba);
    EXPECT_FALSE(Load(PackageBuilder().Sheet("A", kData).Bytes())->VbaProject());
}

TEST(ReaderSheet, AbsoluteTargetsAndMissingOptionalParts) {
    std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                       PackageBuilder::Rel("rId1", "worksheet", "/xl/worksheets/sheet1.xml") +
                       PackageBuilder::Rel("rId2", "sharedStrings", "/xl/sharedStrings.xml") +
                       PackageBuilder::Rel("rId3", "styles", "/xl/styles.xml") + "</Relationships>";
    auto wb = Load(PackageBuilder()
                       .SharedStrings("<si><t>绝对</t></si>")
                       .SheetData("<row r=\"1\"><c r=\"A1\" t=\"s\" s=\"0\"><v>0</v></c></row>")
                       .Override("xl/_rels/workbook.xml.rels", rels)
                       .Without("xl/styles.xml")
                       .Without("_rels/.rels")
                       .Bytes());
    EXPECT_EQ(wb->Sheet(1).ValueAt(1, 1), host::Variant("绝对"));
    EXPECT_EQ(wb->Styles().Size(), 1u);
    EXPECT_EQ(wb->Styles().Default(), host::CellFormat());
}

TEST(ReaderSheet, FileNameAndSavedState) {
    std::string bytes = PackageBuilder().Sheet("A", kData).Bytes();
    auto wb = host::xlsx::LoadWorkbookFromMemory(nullptr, bytes.data(), bytes.size(), "/考场/花名册.xlsx");
    EXPECT_EQ(wb->Name(), "花名册.xlsx");
    EXPECT_EQ(wb->Path(), "/考场");
    EXPECT_TRUE(wb->Saved());
}

}  // namespace
