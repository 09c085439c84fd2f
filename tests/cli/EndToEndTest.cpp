// The real executable: sample, dump and resave as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/Application.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

using testing_support::Run;
using testing_support::TempDir;
namespace fs = std::filesystem;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Standard input is never a terminal here, so a question without answer must stop the command.
int Tolm(const std::string& args, std::string* out = nullptr) {
    return Run("env -u TOLM_SEED -u TOLM_SYSTEM " + Quote(TOLM_EXE) + " " + args + " </dev/null 2>&1", out);
}

// The sample, written once for the tests below.
class SampleOnDisk : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        code_ = Tolm("sample " + Quote(dir_->Path().string()), &out_);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string Roster() { return dir_->File("花名册.xlsx"); }

    static TempDir* dir_;
    static int code_;
    static std::string out_;
};
TempDir* SampleOnDisk::dir_ = nullptr;
int SampleOnDisk::code_ = -1;
std::string SampleOnDisk::out_;

TEST_F(SampleOnDisk, ReportsWhatItWrote) {
    ASSERT_EQ(code_, 0) << out_;
    EXPECT_NE(out_.find("已保存：" + Roster()), std::string::npos) << out_;
    EXPECT_NE(out_.find("照片："), std::string::npos) << out_;
}

TEST_F(SampleOnDisk, TheHostReadsItBackWithTextStudentNumbersAndAPhotoForEveryone) {
    ASSERT_EQ(code_, 0) << out_;
    host::Application app;
    auto wb = host::xlsx::LoadWorkbook(&app, Roster());
    ASSERT_EQ(wb->SheetCount(), 3);
    size_t photos = 0;
    for (int s = 1; s <= 3; ++s) {
        const host::Worksheet& ws = wb->Sheet(s);
        EXPECT_EQ(ws.ValueAt(1, 2), host::Variant("学号"));
        const host::Rect used = ws.UsedRect();
        EXPECT_GE(used.bottom - 1, 8 * 35);
        EXPECT_LE(used.bottom - 1, 12 * 50);
        for (int32_t row = 2; row <= used.bottom; ++row) {
            const host::Variant& number = ws.ValueAt(row, 2);
            ASSERT_TRUE(number.IsText()) << ws.Name() << " row " << row;
            EXPECT_EQ(wb->Styles().Get(ws.StyleAt(row, 2)).numberFormat, "@");
            fs::path photo = dir_->Path() / host::ToText(ws.ValueAt(row, 7)) / (host::ToText(ws.ValueAt(row, 6)) + ".jpg");
            photos += fs::is_regular_file(photo);
        }
        EXPECT_EQ(host::ToText(ws.ValueAt(2, 7)), "照片/" + ws.Name());
    }
    size_t rows = 0;
    for (int s = 1; s <= 3; ++s) rows += size_t(wb->Sheet(s).UsedRect().bottom - 1);
    EXPECT_EQ(photos, rows);
}

TEST_F(SampleOnDisk, OpenpyxlReadsTheSameRoster) {
    ASSERT_EQ(code_, 0) << out_;
    std::string script = dir_->File("check.py");
    testing_support::WriteFile(script, R"PY(
import glob, os, sys
import openpyxl
root = sys.argv[1]
wb = openpyxl.load_workbook(os.path.join(root, "花名册.xlsx"))
assert wb.sheetnames == ["高一", "高二", "高三"], wb.sheetnames
for ws in wb.worksheets:
    header = [c.value for c in ws[1]]
    assert header == ["序号", "学号", "姓名", "性别", "班级", "照片", "照片夹"], header
    assert ws["A1"].font.b, "bold header"
    for row in ws.iter_rows(min_row=2):
        number = row[1]
        assert number.data_type == "s" and isinstance(number.value, str), (ws.title, number.value)
        assert number.number_format == "@", number.number_format
        assert len(number.value) == 10 and number.value.isdigit(), number.value
        assert row[3].value in ("男", "女"), row[3].value
        assert isinstance(row[4].value, str) and row[4].value.endswith("班"), row[4].value
        photo = os.path.join(root, row[6].value, row[5].value + ".jpg")
        with open(photo, "rb") as f:
            head = f.read(3)
        assert head == b"\xff\xd8\xff", photo
    assert ws.column_dimensions["B"].width > 10, ws.column_dimensions["B"].width
print("OK", sum(ws.max_row - 1 for ws in wb.worksheets))
)PY");
    std::string out;
    // The system's interpreter, which has the Debian openpyxl package.
    const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    int code = testing_support::Run(python + " " + Quote(script) + " " + Quote(dir_->Path().string()) + " 2>&1", &out);
    EXPECT_EQ(code, 0) << out;
    EXPECT_EQ(out.rfind("OK ", 0), 0u) << out;
}

TEST_F(SampleOnDisk, IsStableWithoutSeedAndFollowsASeed) {
    ASSERT_EQ(code_, 0) << out_;
    TempDir again, seeded;
    ASSERT_EQ(Tolm("sample " + Quote(again.Path().string())), 0);
    ASSERT_EQ(Tolm("--seed 4711 sample " + Quote(seeded.Path().string())), 0);
    std::string a, b, c;
    ASSERT_EQ(Tolm("dump " + Quote(Roster()), &a), 0);
    ASSERT_EQ(Tolm("dump " + Quote(again.File("花名册.xlsx")), &b), 0);
    ASSERT_EQ(Tolm("dump " + Quote(seeded.File("花名册.xlsx")), &c), 0);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

TEST_F(SampleOnDisk, ResaveKeepsEveryFactTheDumpShows) {
    ASSERT_EQ(code_, 0) << out_;
    TempDir out;
    std::string copy = out.File("副本.xlsx"), report;
    ASSERT_EQ(Tolm("resave " + Quote(Roster()) + " " + Quote(copy), &report), 0) << report;
    EXPECT_EQ(report, "已保存：" + copy + "\n");
    std::string before, after;
    ASSERT_EQ(Tolm("dump " + Quote(Roster()), &before), 0);
    ASSERT_EQ(Tolm("dump " + Quote(copy), &after), 0);
    // Everything but the first line, which names the file.
    auto body = [](const std::string& dump) { return dump.substr(dump.find('\n') + 1); };
    ASSERT_NE(before.find("name=\"高三\""), std::string::npos) << before.substr(0, 500);
    EXPECT_EQ(before.substr(0, before.find('\n')), "workbook name=\"花名册.xlsx\" sheets=3 active=1 date1904=0 vba=0");
    EXPECT_TRUE(body(before) == body(after)) << "dumps differ after resave";
}

TEST_F(SampleOnDisk, ASecondSampleIntoTheSameFolderAsksAndStopsWithoutAnAnswer) {
    ASSERT_EQ(code_, 0) << out_;
    auto stamp = fs::last_write_time(Roster());
    std::string out;
    EXPECT_EQ(Tolm("sample " + Quote(dir_->Path().string()), &out), 3);
    EXPECT_NE(out.find("是否替换？"), std::string::npos) << out;
    EXPECT_EQ(fs::last_write_time(Roster()), stamp);
}

TEST(Executable, AMissingFileExitsFourNamingIt) {
    TempDir dir;
    std::string out, missing = dir.File("缺失.xlsx");
    EXPECT_EQ(Tolm("dump " + Quote(missing), &out), 4);
    EXPECT_NE(out.find(missing), std::string::npos) << out;
}

}  // namespace
