// Rosters from other programs: the fixtures in tests/data/import were written
// by LibreOffice from one roster (make_imports.py); each format must give the
// same cells. CSV details and hostile inputs are checked on small files.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <zip.h>

#include "host/Application.h"
#include "host/Dump.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/import/ForeignWorkbook.h"
#include "host/import/ImportParts.h"
#include "host/import/XlsCellRecords.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

const std::string kData = std::string(TOLM_TEST_DATA) + "/import/";

std::unique_ptr<host::Workbook> Load(host::Application& app, const std::string& path) {
    return host::LoadForeignWorkbook(&app, path, host::XlsxBeside(path));
}

// The dump's cell lines of one sheet.
std::vector<std::string> CellLines(const host::Workbook& wb, const std::string& sheet) {
    std::vector<std::string> lines;
    std::istringstream in(host::Dump(wb));
    const std::string prefix = "cell " + sheet + "!", quoted = "cell \"" + sheet + "\"!";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
        if (line.rfind(quoted, 0) == 0) lines.push_back(line.substr(quoted.size()));
    }
    return lines;
}

// 高一 as every format carries it; `g2` is the formula cell's line (the .xls
// gives its cached result, the CSV the text LibreOffice wrote).
std::vector<std::string> FirstSheet(const std::string& g2) {
    std::vector<std::string> cells = {
        R"(A1 text "姓名")", R"(B1 text "班级")", R"(C1 text "考号")", R"(D1 text "出生日期")", R"(E1 text "成绩")",
        R"(F1 text "备注")", R"(G1 text "两倍")",
        R"(A2 text "张三")", R"(B2 number 1)", R"(C2 text "0012")", R"(D2 number 39508 fmt="yyyy/m/d")",
        R"(E2 number 95.5)"};
    cells.push_back(g2);
    for (const char* c : {R"(A3 text "李四")", R"(B3 text "2班")", R"(C3 number 13)", R"(D3 number 39813 fmt="yyyy/m/d")",
                          R"(E3 number 88)", R"(F3 text "说\"好\",再见")", R"(A4 text "王五")", R"(B4 number 1)",
                          R"(C4 text "110101200803011234")", R"(E4 number -3.25)", R"(F4 text "第一行\n第二行")",
                          R"(A6 text "赵六")", R"(B6 text "A班")", R"(C6 number 15)", R"(D6 number 39815 fmt="yyyy/m/d")",
                          R"(E6 number 0)", R"(F6 text "末行")"})
        cells.push_back(c);
    return cells;
}

std::vector<std::string> SheetNames(const host::Workbook& wb) {
    std::vector<std::string> names;
    for (const auto& ws : wb.SheetList()) names.push_back(ws->Name());
    return names;
}

TEST(ImportFormats, EachFileIsKnownByItsBytesAndCsvByItsName) {
    testing_support::TempDir dir;
    EXPECT_EQ(host::ForeignFormatOf(kData + "roster.xls"), host::ForeignFormat::Xls);
    EXPECT_EQ(host::ForeignFormatOf(kData + "roster.ods"), host::ForeignFormat::Ods);
    EXPECT_EQ(host::ForeignFormatOf(kData + "roster-gb18030.csv"), host::ForeignFormat::Csv);
    EXPECT_EQ(host::ForeignFormatOf(kData + "roster-source.xlsx"), host::ForeignFormat::None);
    // A school system's .xls saved under another name is still an .xls;
    // an .ods renamed .zip still an .ods.
    std::filesystem::copy_file(kData + "roster.xls", dir.File("名单.dat"));
    std::filesystem::copy_file(kData + "roster.ods", dir.File("名单.zip"));
    EXPECT_EQ(host::ForeignFormatOf(dir.File("名单.dat")), host::ForeignFormat::Xls);
    EXPECT_EQ(host::ForeignFormatOf(dir.File("名单.zip")), host::ForeignFormat::Ods);
    // An encrypted .xlsx is a compound file too: the .xlsx reader names it.
    std::filesystem::copy_file(kData + "roster.xls", dir.File("加密.xlsx"));
    EXPECT_EQ(host::ForeignFormatOf(dir.File("加密.xlsx")), host::ForeignFormat::None);
    EXPECT_EQ(host::ForeignFormatOf(dir.File("没有.csv")), host::ForeignFormat::Csv);
    EXPECT_EQ(host::ForeignFormatOf(dir.File("没有.xls")), host::ForeignFormat::None);
    EXPECT_EQ(host::XlsxBeside("/学校/名单.XLS"), "/学校/名单.xlsx");
    EXPECT_EQ(host::XlsxBeside("/学校/2026.届.csv"), "/学校/2026.届.xlsx");
}

TEST(ImportFormats, AnXlsWorkbookGivesItsSheetsValuesMergesAndHiddenSheets) {
    host::Application app;
    auto wb = Load(app, kData + "roster.xls");
    EXPECT_EQ(wb->FullName(), kData + "roster.xlsx");
    EXPECT_FALSE(wb->Saved());
    EXPECT_EQ(SheetNames(*wb), (std::vector<std::string>{"高一", "高二", "隐藏"}));
    EXPECT_EQ(CellLines(*wb, "高一"), FirstSheet("G2 number 191"));
    EXPECT_EQ(CellLines(*wb, "高二"),
              (std::vector<std::string>{R"(A1 text "姓名")", R"(B1 text "班级")", R"(C1 text "到校")", R"(D1 text "出勤")",
                                        R"(F1 text "合并")", R"(H1 text "孙七同学")", R"(A2 text "孙七")", R"(B2 text "3班")",
                                        R"(C2 number 46266.3125 fmt="yyyy/m/d h:mm")", R"(D2 number 0.125)",
                                        R"(H2 error #DIV/0!)", R"(A3 text "周八")", R"(B3 text "3班")",
                                        R"(C3 number 46266.333333333336 fmt="yyyy/m/d h:mm")", R"(D3 number 1)",
                                        R"(H3 bool TRUE)", R"(A5 bool TRUE)"}))
        << "formula results of every type, and booleans, which FreeXL leaves out, come from the records";
    ASSERT_NE(wb->Sheet(2).MergeAreaAt(2, 7), nullptr);
    EXPECT_EQ(*wb->Sheet(2).MergeAreaAt(2, 7), (host::Rect{1, 6, 2, 7}));
    EXPECT_EQ(wb->Sheet(3).Visible(), host::xlSheetHidden);
    EXPECT_EQ(wb->Sheet(1).Visible(), host::xlSheetVisible);
}

TEST(ImportFormats, AnOdsSpreadsheetGivesItsSheetsValuesFormulasMergesAndHiddenSheets) {
    host::Application app;
    auto wb = Load(app, kData + "roster.ods");
    EXPECT_EQ(SheetNames(*wb), (std::vector<std::string>{"高一", "高二", "隐藏"}));
    EXPECT_EQ(CellLines(*wb, "高一"), FirstSheet(R"(G2 number 191 formula "E2*2")"));
    const host::Worksheet& second = wb->Sheet(2);
    EXPECT_EQ(second.ValueAt(1, 8).Text(), "孙七同学");
    ASSERT_NE(second.FindCell(1, 8), nullptr);
    ASSERT_TRUE(second.FindCell(1, 8)->formula);
    EXPECT_EQ(*second.FindCell(1, 8)->formula, "A2&\"同学\"");
    EXPECT_EQ(second.ValueAt(2, 8), host::Variant::Error(host::CellError::Div0));
    EXPECT_EQ(second.ValueAt(2, 4).Number(), 0.125);
    EXPECT_EQ(wb->Styles().Get(second.StyleAt(2, 4)).numberFormat, "0.00%");
    ASSERT_NE(second.MergeAreaAt(2, 7), nullptr);
    EXPECT_EQ(*second.MergeAreaAt(2, 7), (host::Rect{1, 6, 2, 7}));
    EXPECT_EQ(wb->Sheet(3).Visible(), host::xlSheetHidden);
    EXPECT_EQ(wb->Sheet(1).Visible(), host::xlSheetVisible);
    // A million repeated empty rows below the data leave the used block alone.
    EXPECT_EQ(wb->Sheet(1).UsedRect(), (host::Rect{1, 1, 6, 7}));
}

TEST(ImportFormats, CsvInUtf8WithAndWithoutMarkAndInGb18030GivesOneSheetNamedAfterTheFile) {
    host::Application app;
    for (const char* name : {"roster-utf8", "roster-utf8-bom", "roster-gb18030"}) {
        SCOPED_TRACE(name);
        auto wb = Load(app, kData + name + ".csv");
        EXPECT_EQ(SheetNames(*wb), std::vector<std::string>{name});
        EXPECT_EQ(CellLines(*wb, name), FirstSheet("G2 number 191"));
    }
}

TEST(ImportFormats, ASavedImportReadsBackAsTheSameWorkbook) {
    testing_support::TempDir dir;
    host::Application app;
    std::filesystem::copy_file(kData + "roster.ods", dir.File("名单.ods"));
    host::SaveForeignAsXlsx(&app, dir.File("名单.ods"), dir.File("名单.xlsx"));
    auto imported = Load(app, dir.File("名单.ods"));
    auto saved = host::xlsx::LoadWorkbook(&app, dir.File("名单.xlsx"));
    for (const char* sheet : {"高一", "高二", "隐藏"}) EXPECT_EQ(CellLines(*saved, sheet), CellLines(*imported, sheet)) << sheet;
    EXPECT_EQ(saved->Sheet(3).Visible(), host::xlSheetHidden);
}

// A CSV file in the temporary folder, read.
struct CsvCase {
    testing_support::TempDir dir;
    host::Application app;
    std::unique_ptr<host::Workbook> Read(const std::string& bytes, const std::string& name = "名单.csv") {
        testing_support::WriteFile(dir.File(name), bytes);
        return Load(app, dir.File(name));
    }
};

TEST(ImportCsv, FieldsQuotesLineEndsAndValueKinds) {
    CsvCase f;
    auto wb = f.Read("a,\"b,1\",\"say \"\"hi\"\"\"\r\n"
                     "007,12345678901234567,1234567890.5,-0.5,1e3\r"
                     "2026/9/1,2026-02-30,=\"0012\",\"1\", x \n"
                     "\n"
                     "\"two\nlines\",,last");
    const host::Worksheet& ws = wb->Sheet(1);
    EXPECT_EQ(ws.Name(), "名单");
    EXPECT_EQ(ws.ValueAt(1, 1).Text(), "a");
    EXPECT_EQ(ws.ValueAt(1, 2).Text(), "b,1");
    EXPECT_EQ(ws.ValueAt(1, 3).Text(), "say \"hi\"");
    EXPECT_EQ(ws.ValueAt(2, 1).Text(), "007") << "leading zeros are an identifier";
    EXPECT_EQ(ws.ValueAt(2, 2).Text(), "12345678901234567") << "more digits than a number holds";
    EXPECT_EQ(ws.ValueAt(2, 3).Number(), 1234567890.5);
    EXPECT_EQ(ws.ValueAt(2, 4).Number(), -0.5);
    EXPECT_EQ(ws.ValueAt(2, 5).Number(), 1000);
    EXPECT_EQ(ws.ValueAt(3, 1).Number(), 46266);
    EXPECT_EQ(wb->Styles().Get(ws.StyleAt(3, 1)).numberFormat, "yyyy/m/d");
    EXPECT_EQ(ws.ValueAt(3, 2).Text(), "2026-02-30") << "no such day";
    EXPECT_EQ(ws.ValueAt(3, 3).Text(), "0012");
    EXPECT_EQ(ws.ValueAt(3, 4).Number(), 1);
    EXPECT_EQ(ws.ValueAt(3, 5).Text(), " x ") << "spaces are the user's";
    EXPECT_TRUE(ws.FindRow(4) == nullptr || ws.FindRow(4)->cells.empty());
    EXPECT_EQ(ws.ValueAt(5, 1).Text(), "two\nlines");
    EXPECT_TRUE(ws.ValueAt(5, 2).IsEmpty());
    EXPECT_EQ(ws.ValueAt(5, 3).Text(), "last");
}

TEST(ImportCsv, EncodingsAndNamesThatNeedCare) {
    // "班级" in GB18030 is not valid UTF-8; a four-byte GB18030 sequence
    // (U+20000) comes out as one character.
    EXPECT_EQ(host::import::CsvTextAsUtf8("\xB0\xE0\xBC\xB6"), "班级");
    EXPECT_EQ(host::import::CsvTextAsUtf8("\x95\x32\x82\x36"), "\xF0\xA0\x80\x80");
    EXPECT_EQ(host::import::CsvTextAsUtf8("\xEF\xBB\xBF班级"), "班级");
    EXPECT_THROW(host::import::CsvTextAsUtf8("\x81\x20"), host::HostError);

    EXPECT_EQ(host::import::SheetNameFrom("2026[秋]/高一:名单"), "2026_秋__高一_名单");
    EXPECT_EQ(host::import::SheetNameFrom("'引号'"), "引号");
    EXPECT_EQ(host::import::SheetNameFrom(std::string(40, 'x')), std::string(31, 'x'));
    EXPECT_EQ(host::import::SheetNameFrom("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三"),
              "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一");
    EXPECT_EQ(host::import::SheetNameFrom(""), "Sheet1");

    CsvCase f;
    auto wb = f.Read("x\n", "[2026]秋季名单（高一年级全体学生，含借读生和复读生）.csv");
    EXPECT_EQ(wb->Sheet(1).Name(), "_2026_秋季名单（高一年级全体学生，含借读生和复读生）");
}

TEST(ImportCsv, FilesThatCannotBeReadAreFileErrorsNamingTheFile) {
    CsvCase f;
    auto reason = [&](const std::string& bytes) {
        try {
            f.Read(bytes, "坏.csv");
        } catch (const host::FileError& e) {
            EXPECT_EQ(e.File(), f.dir.File("坏.csv"));
            return e.Reason();
        }
        return std::string("read without error");
    };
    EXPECT_NE(reason("a,\"open\n").find("引号没有结束"), std::string::npos);
    EXPECT_NE(reason("\x81\x20,\xFF").find("GB18030"), std::string::npos);
    std::string wide;
    for (int i = 0; i <= host::import::kMaxColumns; ++i) wide += "x,";
    EXPECT_NE(reason(wide).find("16384"), std::string::npos);
}

// A package with the stored mimetype entry first and content.xml, as producers write it.
void WriteOds(const std::string& file, const std::string& content) {
    int error = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    static const char kMime[] = "application/vnd.oasis.opendocument.spreadsheet";
    zip_int64_t mime = zip_file_add(z, "mimetype", zip_source_buffer(z, kMime, sizeof kMime - 1, 0), 0);
    zip_set_file_compression(z, zip_uint64_t(mime), ZIP_CM_STORE, 0);
    zip_file_add(z, "content.xml", zip_source_buffer(z, content.data(), content.size(), 0), 0);
    ASSERT_EQ(zip_close(z), 0);
}

TEST(ImportOds, RepeatsReachTheSheetEdgeAndNoFurther) {
    testing_support::TempDir dir;
    const std::string content =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<o:document-content xmlns:o="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
        R"(xmlns:t="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:x="urn:oasis:names:tc:opendocument:xmlns:text:1.0">)"
        R"(<o:body><o:spreadsheet><t:table t:name="表">)"
        R"(<t:table-row><t:table-cell o:value-type="string"><x:p>a<x:s x:c="2"/>b</x:p><x:p>c</x:p></t:table-cell>)"
        R"(<t:covered-table-cell t:number-columns-repeated="2"/><t:table-cell o:value-type="float" o:value="7"/>)"
        R"(<t:table-cell o:value-type="boolean" o:boolean-value="true"/><t:table-cell o:value-type="time" o:time-value="PT07H30M00S"/>)"
        R"(<t:table-cell o:value-type="date" o:date-value="2026-09-01T12:00:00"/></t:table-row>)"
        R"(<t:table-row t:number-rows-repeated="1048569"><t:table-cell/></t:table-row>)"
        R"(<t:table-row t:number-rows-repeated="10"><t:table-cell t:number-columns-repeated="16380"/>)"
        R"(<t:table-cell o:value-type="float" o:value="1" t:number-columns-repeated="10"/></t:table-row>)"
        R"(</t:table></o:spreadsheet></o:body></o:document-content>)";
    WriteOds(dir.File("前缀不同.ods"), content);
    host::Application app;
    auto wb = Load(app, dir.File("前缀不同.ods"));
    const host::Worksheet& ws = wb->Sheet(1);
    EXPECT_EQ(ws.Name(), "表");
    EXPECT_EQ(ws.ValueAt(1, 1).Text(), "a  b\nc");
    EXPECT_EQ(ws.ValueAt(1, 4).Number(), 7) << "covered cells take their places";
    EXPECT_TRUE(ws.ValueAt(1, 5).IsBoolean());
    EXPECT_EQ(host::ToText(ws.ValueAt(1, 5)), "TRUE");
    EXPECT_EQ(ws.ValueAt(1, 6).Number(), 0.3125);
    EXPECT_EQ(wb->Styles().Get(ws.StyleAt(1, 6)).numberFormat, "h:mm:ss");
    EXPECT_EQ(ws.ValueAt(1, 7).Number(), 46266.5);
    EXPECT_EQ(wb->Styles().Get(ws.StyleAt(1, 7)).numberFormat, "yyyy/m/d h:mm");
    // Rows 1,048,571 … 1,048,576 hold the repeated values; the four rows
    // beyond the sheet and the six columns beyond XFD are dropped.
    EXPECT_EQ(ws.ValueAt(1048571, 16381).Number(), 1);
    EXPECT_EQ(ws.ValueAt(1048576, 16384).Number(), 1);
    EXPECT_EQ(ws.UsedRect(), (host::Rect{1, 1, 1048576, 16384}));
}

TEST(ImportXls, DamagedAndMisnamedFilesAreFileErrors) {
    testing_support::TempDir dir;
    host::Application app;
    std::string bytes = testing_support::ReadFile(kData + "roster.xls");
    testing_support::WriteFile(dir.File("截断.xls"), bytes.substr(0, 1200));
    testing_support::WriteFile(dir.File("头.xls"), bytes.substr(0, 8) + std::string(600, '\0'));
    for (const char* name : {"截断.xls", "头.xls"}) {
        SCOPED_TRACE(name);
        try {
            Load(app, dir.File(name));
            ADD_FAILURE() << "read without error";
        } catch (const host::FileError& e) {
            EXPECT_EQ(e.File(), dir.File(name));
            EXPECT_FALSE(e.Reason().empty());
        }
    }
    EXPECT_THROW(Load(app, dir.File("没有.csv")), host::FileError);
    EXPECT_THROW(Load(app, dir.Path().string()), host::FileError);
}

TEST(ImportXls, TheRecordReaderTakesDamagedBytesWithoutReadingOutsideThem) {
    const std::string bytes = testing_support::ReadFile(kData + "roster.xls");
    const auto whole = host::import::ReadXlsCellRecords(bytes);
    ASSERT_EQ(whole.size(), 3u);
    EXPECT_EQ(whole[0].cells.at({2, 7}), host::Variant(191.0));
    // Cut anywhere, or with sector numbers and lengths overwritten: no
    // crash, and a result that is either nothing or sheets of the file.
    for (size_t cut = 0; cut < bytes.size(); cut += 61) EXPECT_LE(host::import::ReadXlsCellRecords(bytes.substr(0, cut)).size(), 3u);
    for (size_t at = 0; at < bytes.size(); at += 7) {
        std::string damaged = bytes;
        damaged[at] = char(0xFF);
        if (at + 1 < damaged.size()) damaged[at + 1] = char(0xFF);
        EXPECT_LE(host::import::ReadXlsCellRecords(damaged).size(), 3u) << at;
    }
}

}  // namespace
