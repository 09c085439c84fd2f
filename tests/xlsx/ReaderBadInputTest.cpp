// Files the reader must refuse with a clear reason, without returning half a workbook.
#include <gtest/gtest.h>

#include <random>

#include "support/TestSupport.h"
#include "xlsx/ReaderPackageBuilder.h"

using namespace reader_test;

namespace {

std::string Good() {
    return PackageBuilder()
        .SharedStrings("<si><t>姓名</t></si>")
        .SheetData("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><v>1</v></c></row>")
        .Bytes();
}

struct BadCase {
    const char* what;
    std::string bytes;
    const char* reasonPrefix;
};

TEST(ReaderBadInput, EachFaultGetsItsReason) {
    std::string good = Good();
    std::string sheetWith = "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>";
    std::vector<BadCase> cases = {
        {"empty file", "", "不是有效的 .xlsx 文件（无法作为 zip 打开）"},
        {"text file", "姓名,班级\n张三,1\n", "不是有效的 .xlsx 文件（无法作为 zip 打开）"},
        {"xls workbook", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
         "是 Excel 97-2003 格式（.xls）的工作簿或加密的工作簿，不是 .xlsx 文件；请用 Excel、WPS 或 LibreOffice "
         "打开它并另存为 .xlsx 工作簿，再选择另存的文件"},
        {"web page saved as .xls", "<html><body><table><tr><td>姓名</td></tr></table></body></html>",
         "是网页或 XML 格式的表格，不是 .xlsx 文件；请用 Excel、WPS 或 LibreOffice 打开它并另存为 .xlsx 工作簿"},
        {"truncated zip", good.substr(0, good.size() / 2), "不是有效的 .xlsx 文件（无法作为 zip 打开）"},
        {"no content types", PackageBuilder().SheetData("").Without("[Content_Types].xml").Bytes(),
         "不是有效的 .xlsx 文件（缺少 [Content_Types].xml）"},
        {"no workbook part", PackageBuilder().SheetData("").Without("xl/workbook.xml").Bytes(),
         "缺少工作簿部件 xl/workbook.xml"},
        {"no sheet part", PackageBuilder().SheetData("").Without("xl/worksheets/sheet1.xml").Bytes(),
         "缺少工作表部件 xl/worksheets/sheet1.xml"},
        {"malformed sheet XML",
         PackageBuilder().SheetData("").Override("xl/worksheets/sheet1.xml", "<worksheet>\n<sheetData>\n<row></sheetData>").Bytes(),
         "XML 格式错误：xl/worksheets/sheet1.xml"},
        {"malformed workbook XML", PackageBuilder().SheetData("").Override("xl/workbook.xml", "<workbook><sheets>").Bytes(),
         "XML 格式错误：xl/workbook.xml"},
        {"empty styles part", PackageBuilder().SheetData("").Styles("").Override("xl/styles.xml", "").Bytes(),
         "XML 格式错误：xl/styles.xml"},
        {"entity declarations",
         PackageBuilder().SheetData("").Override("xl/worksheets/sheet1.xml",
                                                 "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaa\">]><worksheet/>").Bytes(),
         "XML 格式错误：xl/worksheets/sheet1.xml（不允许文档类型声明）"},
        {"row 0 cell", PackageBuilder().SheetData("<row r=\"1\"><c r=\"A0\"><v>1</v></c></row>").Bytes(), "单元格引用无效：A0"},
        {"column past XFD", PackageBuilder().SheetData("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>").Bytes(),
         "单元格引用无效：XFE1"},
        {"row past the sheet", PackageBuilder().SheetData("<row r=\"1048577\"><c><v>1</v></c></row>").Bytes(),
         "单元格引用无效：第 1048577 行"},
        {"cell past the last row", PackageBuilder().SheetData("<row><c r=\"A1048577\"><v>1</v></c></row>").Bytes(),
         "单元格引用无效：A1048577"},
        {"lower-case reference", PackageBuilder().SheetData("<row><c r=\"a1\"><v>1</v></c></row>").Bytes(),
         "单元格引用无效：a1"},
        {"rows without r past the sheet",
         PackageBuilder().SheetData("<row r=\"1048576\"><c><v>1</v></c></row><row><c><v>1</v></c></row>").Bytes(),
         "单元格引用无效：第 1048577 行"},
        {"columns without r past the sheet",
         PackageBuilder().SheetData("<row r=\"1\"><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>").Bytes(),
         "单元格引用无效：XFD之后的列"},
        {"bad merge", PackageBuilder().Sheet("Sheet1", sheetWith + "<mergeCells><mergeCell ref=\"A1:ZZZZ3\"/></mergeCells>").Bytes(),
         "单元格引用无效：A1:ZZZZ3"},
        {"shared string out of range",
         PackageBuilder().SharedStrings("<si><t>x</t></si>").SheetData("<row><c r=\"A1\" t=\"s\"><v>1</v></c></row>").Bytes(),
         "共享字符串索引无效：1"},
        {"number that is none", PackageBuilder().SheetData("<row><c r=\"A1\"><v>1,5</v></c></row>").Bytes(), "数值无效：1,5"},
        {"duplicate sheet names", PackageBuilder().Sheet("名单", "").Sheet("名单", "").Bytes(), "工作表名称“名单”已被占用"},
        {"no worksheet", PackageBuilder().Bytes(), "工作簿中没有工作表"},
        {"sheet relationship missing",
         PackageBuilder().SheetData("").Override("xl/_rels/workbook.xml.rels",
                                                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>").Bytes(),
         "缺少工作表“Sheet1”的部件"},
    };
    for (const BadCase& c : cases) {
        std::string reason = LoadError(c.bytes);
        EXPECT_EQ(reason.rfind(c.reasonPrefix, 0), 0u) << c.what << ": got \"" << reason << "\"";
    }
}

// Sheets are read side by side; the failure reported is the first in tab order.
TEST(ReaderBadInput, FirstBrokenSheetInTabOrderIsReported) {
    std::string rows;
    for (int r = 1; r <= 3000; ++r) rows += "<row r=\"" + std::to_string(r) + "\"><c><v>1</v></c></row>";
    std::string bytes = PackageBuilder()
                            .Sheet("甲", "<sheetData>" + rows + "</sheetData>")
                            .Sheet("乙", "<sheetData>" + rows + "<row><c r=\"A0\"/></row></sheetData>")
                            .Sheet("丙", "<sheetData><row><c r=\"B0\"/></row></sheetData>")
                            .Bytes();
    EXPECT_EQ(LoadError(bytes), "单元格引用无效：A0（xl/worksheets/sheet2.xml）");
}

TEST(ReaderBadInput, XmlErrorsNameTheLine) {
    std::string bytes = PackageBuilder()
                            .SheetData("")
                            .Override("xl/worksheets/sheet1.xml", "<worksheet>\n<sheetData>\n<row>\n</sheetData>\n")
                            .Bytes();
    std::string reason = LoadError(bytes);
    EXPECT_NE(reason.find("第 4 行"), std::string::npos) << reason;
}

TEST(ReaderBadInput, MessageNamesTheFile) {
    std::string bytes = "not a zip";
    try {
        host::xlsx::LoadWorkbookFromMemory(nullptr, bytes.data(), bytes.size(), "/数据/花名册.xlsx");
        FAIL() << "loaded";
    } catch (const host::FileError& e) {
        EXPECT_EQ(std::string(e.what()), "/数据/花名册.xlsx：不是有效的 .xlsx 文件（无法作为 zip 打开）");
        EXPECT_EQ(e.File(), "/数据/花名册.xlsx");
    }
}

TEST(ReaderBadInput, MissingAndUnreadableFiles) {
    testing_support::TempDir dir;
    EXPECT_THROW(host::xlsx::LoadWorkbook(nullptr, dir.File("无.xlsx")), host::FileError);
    testing_support::WriteFile(dir.File("坏.xlsx"), "PK\x03\x04garbage");
    try {
        host::xlsx::LoadWorkbook(nullptr, dir.File("坏.xlsx"));
        FAIL() << "loaded";
    } catch (const host::FileError& e) {
        EXPECT_EQ(e.File(), dir.File("坏.xlsx"));
        EXPECT_EQ(e.Reason(), "不是有效的 .xlsx 文件（无法作为 zip 打开）");
    }
}

// A sheet that inflates to 16 MiB from about 16 KiB.
std::string Bomb() {
    std::string rows = std::string(16 << 20, ' ');
    return PackageBuilder().SheetData("").Override("xl/worksheets/sheet1.xml", "<worksheet><sheetData>" + rows + "</sheetData></worksheet>").Bytes();
}

TEST(ReaderBadInput, DecompressionBombsAreStopped) {
    std::string bomb = Bomb();
    ASSERT_LT(bomb.size(), 1u << 17);
    host::xlsx::ReadLimits ratio;
    ratio.maxCompressionRatio = 100;
    EXPECT_EQ(LoadError(bomb, ratio), "文件解压后过大，可能已损坏");

    host::xlsx::ReadLimits small;
    small.maxPartBytes = 1 << 20;
    small.maxCompressionRatio = 1u << 30;
    EXPECT_EQ(LoadError(bomb, small), "文件解压后过大，可能已损坏");  // by the part size

    host::xlsx::ReadLimits total;
    total.maxTotalBytes = 500;  // each part is smaller, all together are not
    EXPECT_EQ(LoadError(Good(), total), "文件解压后过大，可能已损坏");
    EXPECT_EQ(LoadError(Good()), "");
}

// Rewrites the declared uncompressed size of every entry in the central
// directory and the local headers, as a forged file would.
std::string ForgeSizes(std::string z, uint32_t size) {
    auto put = [&](size_t at) {
        for (int i = 0; i < 4; ++i) z[at + i] = char((size >> (8 * i)) & 0xFF);
    };
    for (size_t i = 0; i + 4 <= z.size(); ++i) {
        if (z.compare(i, 4, "PK\x01\x02") == 0) put(i + 24);
        else if (z.compare(i, 4, "PK\x03\x04") == 0) put(i + 22);
    }
    return z;
}

TEST(ReaderBadInput, UnderstatedSizesDoNotInflateMore) {
    std::string forged = ForgeSizes(Good(), 10);
    std::string reason = LoadError(forged);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find("XML"), std::string::npos) << reason;  // stopped in the zip layer, not later
}

// Damaged copies of a good file: every one either loads or raises FileError,
// in bounded time; nothing else escapes (a crash fails the whole test binary).
TEST(ReaderBadInput, DamagedCopiesOnlyRaiseFileErrors) {
    std::string good = PackageBuilder()
                           .SharedStrings("<si><t>张三</t></si><si><r><t>李</t></r><r><t>四</t></r></si>")
                           .Styles("<fonts><font><sz val=\"11\"/></font></fonts><cellXfs><xf fontId=\"0\"/><xf numFmtId=\"14\"/></cellXfs>")
                           .Sheet("名单", "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>3</v></c>"
                                          "<c r=\"C1\"><f t=\"shared\" ref=\"C1:C2\" si=\"0\">B1+1</f><v>4</v></c></row>"
                                          "<row r=\"2\"><c r=\"C2\"><f t=\"shared\" si=\"0\"/></c></row></sheetData>"
                                          "<mergeCells><mergeCell ref=\"D1:E2\"/></mergeCells>")
                           .Bytes();
    std::mt19937 rng(20260);
    int loaded = 0, refused = 0;
    for (int round = 0; round < 400; ++round) {
        std::string bytes = good;
        int flips = 1 + int(rng() % 8);
        for (int i = 0; i < flips; ++i) bytes[rng() % bytes.size()] = char(rng());
        if (round % 5 == 0) bytes.resize(rng() % bytes.size());
        try {
            Load(bytes);
            ++loaded;
        } catch (const host::FileError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
