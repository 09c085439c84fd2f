// Text the XML cannot carry, saves that are killed, folders where a workbook
// is expected, whole-sheet column formats and text beyond the typed limit.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/TypedInput.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "host/xlsx/WriterPackage.h"
#include "host/xlsx/WriterXml.h"
#include "support/TestSupport.h"
#include "xlsx/ReaderPackageBuilder.h"
#include "xlsx/WriterZipInspect.h"

namespace fs = std::filesystem;
using host::Variant;
using testing_support::TempDir;

namespace {

std::unique_ptr<host::Workbook> SaveAndLoad(const host::Workbook& wb, const TempDir& dir, const std::string& name) {
    std::string file = dir.File(name);
    host::xlsx::SaveWorkbook(wb, file);
    return host::xlsx::LoadWorkbook(nullptr, file);
}

// ----- control characters -----

TEST(ControlCharacters, CellTextEscapesWhatXmlCannotCarry) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string("1班\x02", 5), "1班_x0002_"},
        {std::string("a\x01" "b\x1f" "c\x0b", 6), "a_x0001_b_x001F_c_x000B_"},
        {std::string("nul\0end", 7), "nul_x0000_end"},
        {"tab\tlf\ncr\r", "tab\tlf\ncr&#13;"},  // legal in content: written as they are
        {"a\xEF\xBF\xBE" "b\xEF\xBF\xBF", "a_xFFFE_b_xFFFF_"},
        {std::string("_x0041_\x05", 8), "_x005F_x0041__x0005_"},
        {"bad\x80utf8", "badutf8"},  // not UTF-8 at all: nothing to escape
    };
    for (const auto& [in, want] : cases) {
        host::xlsx::XmlBuffer b;
        b.CellText(in);
        EXPECT_EQ(b.Str(), want);
    }
    host::xlsx::XmlBuffer attr;
    attr.Raw("<sheet").AttrEscaped("name", std::string("a\tb\x01_x0020_", 11)).Raw("/>");
    EXPECT_EQ(attr.Str(), "<sheet name=\"a&#9;b_x0001__x005F_x0020_\"/>");
}

TEST(ControlCharacters, SurviveASaveAsDistinctValues) {
    TempDir dir;
    host::Workbook wb(nullptr, "ctl.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, std::string("班\x01级", 7), "Sheet1");
    const std::string texts[] = {std::string("1班\x02", 5), "1班", std::string("\x1b[0m", 4), "_x0002_",
                                 std::string("\x7f\x08", 2), "\xEF\xBF\xBF"};
    int32_t row = 0;
    for (const std::string& t : texts) ws.SetValueAt(++row, 1, Variant(t));
    ws.SetValueAt(1, 2, Variant(std::string("行内\x03", 7)));
    ws.GetCell(2, 2).formula = std::make_unique<std::string>("A1");
    ws.GetCell(2, 2).value = Variant(std::string("结果\x04", 7));  // a formula's cached text

    auto back = SaveAndLoad(wb, dir, "ctl.xlsx");
    host::Worksheet& b = back->Sheet(1);
    EXPECT_EQ(b.Name(), std::string("班\x01级", 7));
    row = 0;
    for (const std::string& t : texts) EXPECT_EQ(b.ValueAt(++row, 1), Variant(t)) << row;
    EXPECT_NE(b.ValueAt(1, 1), b.ValueAt(2, 1));
    EXPECT_EQ(b.ValueAt(1, 2), Variant(std::string("行内\x03", 7)));
    EXPECT_EQ(b.ValueAt(2, 2), Variant(std::string("结果\x04", 7)));

    // In the file as the format writes them (openpyxl 3.0.9 does not decode
    // these escapes on reading, so the parts are looked at directly).
    std::string sst = writer_inspect::ReadEntry(dir.File("ctl.xlsx"), "xl/sharedStrings.xml").value_or("");
    EXPECT_NE(sst.find("<t>1班_x0002_</t>"), std::string::npos) << sst;
    EXPECT_NE(sst.find("<t>1班</t>"), std::string::npos) << sst;
    EXPECT_NE(sst.find("<t>_x005F_x0002_</t>"), std::string::npos) << sst;
    std::string book = writer_inspect::ReadEntry(dir.File("ctl.xlsx"), "xl/workbook.xml").value_or("");
    EXPECT_NE(book.find("name=\"班_x0001_级\""), std::string::npos) << book;
}

TEST(ControlCharacters, EscapedUtf16PairsAndLoneHalvesRead) {
    using reader_test::PackageBuilder;
    auto wb = reader_test::Load(PackageBuilder()
                                    .SharedStrings("<si><t>_xD83D__xDE00_</t></si><si><t>_xD800_x</t></si>")
                                    .SheetData("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>")
                                    .Bytes());
    EXPECT_EQ(wb->Sheet(1).ValueAt(1, 1), Variant("\xF0\x9F\x98\x80"));
    EXPECT_EQ(wb->Sheet(1).ValueAt(1, 2), Variant("\xEF\xBF\xBDx"));
}

// ----- temporary files of a save -----

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

void DieAtWrite(const std::string& stage) {
    if (stage == "write") ::_exit(0);  // as a kill would: no destructor runs
}

// Saves in a child process that dies just before the written file is committed.
void KilledSave(const std::string& target) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        host::Workbook wb(nullptr, "book.xlsx");
        wb.InsertSheet(-1, "Sheet1", "Sheet1").SetValueAt(1, 1, Variant("新"));
        host::xlsx::SetSaveStageHook(DieAtWrite);
        try {
            host::xlsx::SaveWorkbook(wb, target);
        } catch (...) {
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the save did not reach its last stage";
}

class SaveTemporaries : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { host::xlsx::SetUnnamedTemporaryFiles(GetParam()); }
    void TearDown() override { host::xlsx::SetUnnamedTemporaryFiles(true); }
};

TEST_P(SaveTemporaries, KilledSaveKeepsTheOldFile) {
    TempDir dir;
    std::string target = dir.File("book.xlsx");
    testing_support::WriteFile(target, "old");
    KilledSave(target);
    EXPECT_EQ(testing_support::ReadFile(target), "old");
    if (GetParam()) {
        // An unnamed file vanishes with the process that wrote it.
        EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"book.xlsx"});
    } else {
        EXPECT_EQ(Entries(dir.Path()).size(), 2u);  // the named one stays until the next save
    }
}

TEST_P(SaveTemporaries, NextSaveRemovesStaleTemporariesOfThatFileOnly) {
    TempDir dir;
    std::string target = dir.File("book.xlsx");
    auto old = [&](const std::string& name) {
        testing_support::WriteFile(dir.File(name), "left over");
        struct timespec times[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
        ::utimensat(AT_FDCWD, dir.File(name).c_str(), times, 0);
    };
    old(".~book.xlsx.tmpAb12Cd");                                   // a killed save of this file
    old(".~other.xlsx.tmpAb12Cd");                                  // another file's
    old(".~book.xlsx.tmpnotmine");                                  // not a temporary's name
    testing_support::WriteFile(dir.File(".~book.xlsx.tmpXy34Zw"), "busy");  // fresh: a save may be running
    host::Workbook wb(nullptr, "book.xlsx");
    wb.InsertSheet(-1, "Sheet1", "Sheet1").SetValueAt(1, 1, Variant(1.0));
    host::xlsx::SaveWorkbook(wb, target);
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{".~book.xlsx.tmpXy34Zw", ".~book.xlsx.tmpnotmine",
                                                             ".~other.xlsx.tmpAb12Cd", "book.xlsx"}));
    EXPECT_EQ(host::xlsx::LoadWorkbook(nullptr, target)->Sheet(1).ValueAt(1, 1), Variant(1.0));
}

TEST_P(SaveTemporaries, SavedFileHasTheUsualMode) {
    TempDir dir;
    std::string target = dir.File("book.xlsx");
    testing_support::WriteFile(target, "old");
    ::chmod(target.c_str(), 0640);
    host::Workbook wb(nullptr, "book.xlsx");
    wb.InsertSheet(-1, "Sheet1", "Sheet1");
    host::xlsx::SaveWorkbook(wb, target);
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"book.xlsx"});
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndNamed, SaveTemporaries, ::testing::Bool());

// ----- a folder where a workbook is expected -----

TEST(FolderInsteadOfWorkbook, IsAFileErrorNamingThePath) {
    TempDir dir;
    std::string folder = dir.File("花名册.xlsx");
    fs::create_directory(folder);
    try {
        host::xlsx::LoadWorkbook(nullptr, folder);
        FAIL() << "a folder loaded";
    } catch (const host::FileError& e) {
        EXPECT_EQ(e.File(), folder);
        EXPECT_EQ(e.Reason(), "“" + folder + "” 是文件夹，不是工作簿");
    }
}

// ----- used range and column formats -----

TEST(WholeSheetColumnFormat, DoesNotWidenTheUsedRange) {
    using reader_test::PackageBuilder;
    const std::string styles =
        "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"宋体\"/></font><font><b/><sz val=\"11\"/><name "
        "val=\"黑体\"/></font></fonts><fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill></fills>"
        "<borders count=\"1\"><border/></borders><cellXfs count=\"2\"><xf fontId=\"0\"/><xf fontId=\"1\" "
        "applyFont=\"1\"/></cellXfs>";
    const std::string rows = "<sheetData><row r=\"2\"><c r=\"B2\" s=\"1\"><v>1</v></c><c r=\"D3\" s=\"1\"/></row>"
                             "<row r=\"4\"><c r=\"C4\" s=\"1\" t=\"inlineStr\"><is><t>x</t></is></c></row></sheetData>";
    for (const char* cols : {"<cols><col min=\"1\" max=\"16384\" width=\"9\" style=\"1\"/></cols>",
                             "<cols><col min=\"1\" max=\"2\" width=\"9\"/><col min=\"3\" max=\"16384\" style=\"1\"/></cols>"}) {
        auto wb = reader_test::Load(PackageBuilder().Styles(styles).Sheet("Sheet1", cols + rows).Bytes());
        host::Worksheet& ws = wb->Sheet(1);
        EXPECT_EQ(ws.UsedRange().Address(), "$B$2:$D$4") << cols;
        EXPECT_TRUE(wb->Styles().Get(ws.StyleAt(100, 500)).font.bold) << "the format itself stays";
        TempDir dir;
        auto back = SaveAndLoad(*wb, dir, "cols.xlsx");
        EXPECT_EQ(back->Sheet(1).UsedRange().Address(), "$B$2:$D$4");
        std::string sheet = writer_inspect::ReadEntry(dir.File("cols.xlsx"), "xl/worksheets/sheet1.xml").value_or("");
        EXPECT_NE(sheet.find("<dimension ref=\"B2:D4\"/>"), std::string::npos) << sheet.substr(0, 400);
    }
}

TEST(WholeSheetColumnFormat, HostFormattingOfEverythingOrToTheEnd) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    ws.Cells().Font().SetBold(true);
    EXPECT_EQ(ws.UsedRange().Address(), "$A$1");
    ws.GetRange("C3").SetValue(Variant(1.0));
    EXPECT_EQ(ws.UsedRange().Address(), "$C$3");
    ws.GetRange("E:E").Font().SetSize(20);  // a column formatted otherwise still counts
    EXPECT_EQ(ws.UsedRange().Address(), "$C$3:$E$3");

    host::Worksheet& rest = wb.Worksheets().Add();
    rest.GetRange("D:XFD").Font().SetItalic(true);
    rest.GetRange("B2").SetValue(Variant(1.0));
    EXPECT_EQ(rest.UsedRange().Address(), "$B$2");
    rest.GetRange("G5").Font().SetBold(true);  // a cell's own format counts
    EXPECT_EQ(rest.UsedRange().Address(), "$B$2:$G$5");
}

// ----- text beyond the typed limit -----

TEST(LongText, ReaderKeepsItWholeAndTypingRefusesIt) {
    std::string longText;
    for (int i = 0; i < 12000; ++i) longText += "考";  // 36,000 characters after the loop below
    longText += std::string(24000, 'a');
    using reader_test::PackageBuilder;
    auto wb = reader_test::Load(PackageBuilder()
                                    .SharedStrings("<si><t>" + longText + "</t></si>")
                                    .SheetData("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"inlineStr\"><is><t>" +
                                               longText + "</t></is></c></row>")
                                    .Bytes());
    EXPECT_EQ(wb->Sheet(1).ValueAt(1, 1), Variant(longText));
    EXPECT_EQ(wb->Sheet(1).ValueAt(1, 2), Variant(longText));
    TempDir dir;
    EXPECT_EQ(SaveAndLoad(*wb, dir, "long.xlsx")->Sheet(1).ValueAt(1, 1), Variant(longText));

    host::Worksheet& ws = wb->Sheet(1);
    try {
        ws.UserEdit(2, 1, longText);
        FAIL() << "typed text beyond the limit was taken";
    } catch (const host::HostError& e) {
        EXPECT_NE(std::string(e.what()).find("32767"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(ws.ValueAt(2, 1).IsEmpty());
    EXPECT_THROW(ws.GetRange("A3").SetFormula("'" + longText), host::HostError);
    std::string atLimit(32767, 'x');
    ws.UserEdit(2, 1, atLimit);
    EXPECT_EQ(ws.ValueAt(2, 1), Variant(atLimit));
    ws.UserEdit(2, 2, "'" + atLimit);  // the apostrophe is not part of the text
    EXPECT_EQ(ws.ValueAt(2, 2), Variant(atLimit));
    // Characters beyond the BMP count twice, as the host counts UTF-16 units.
    std::string emoji;
    for (int i = 0; i < 16384; ++i) emoji += "\xF0\x9F\x98\x80";
    EXPECT_THROW(ws.UserEdit(2, 3, emoji), host::HostError);
    EXPECT_EQ(host::Utf16Length("a考\xF0\x9F\x98\x80"), 4u);
}

}  // namespace
