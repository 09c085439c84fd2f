// Workbooks written by SaveWorkbook and read back by LoadWorkbook give the
// same golden dump: every fact the model holds survives the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "host/Dump.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "xlsx/WriterSampleWorkbook.h"

using testing_support::TempDir;

namespace {

// Line-by-line difference, so a failure names the facts that changed.
std::string Difference(const std::string& want, const std::string& got) {
    std::istringstream a(want), b(got);
    std::string la, lb, out;
    for (int n = 1; bool(std::getline(a, la)) | bool(std::getline(b, lb)); ++n, la.clear(), lb.clear())
        if (la != lb) out += "line " + std::to_string(n) + "\n  want: " + la + "\n  got:  " + lb + "\n";
    return out;
}

std::unique_ptr<host::Workbook> RoundTrip(const host::Workbook& wb, const TempDir& dir) {
    std::string file = dir.File(wb.Name());
    host::xlsx::SaveWorkbook(wb, file);
    return host::xlsx::LoadWorkbook(nullptr, file);
}

TEST(RoundTrip, SampleWorkbookKeepsEveryFact) {
    TempDir dir;
    std::string png = dir.File("photo.png");
    testing_support::Run("/usr/bin/python3 -c \"from PIL import Image; Image.new('RGB', (40, 50), 'red').save('" +
                         png + "')\" 2>/dev/null");
    auto wb = writer_sample::MakeSampleWorkbook(std::filesystem::exists(png) ? png : "");
    auto back = RoundTrip(*wb, dir);
    std::string want = host::Dump(*wb), got = host::Dump(*back);
    EXPECT_EQ(Difference(want, got), "");
    EXPECT_TRUE(back->Sheet(1).CheckPassword("abc"));
    EXPECT_FALSE(back->Sheet(1).CheckPassword("abd"));
}

TEST(RoundTrip, SecondSaveOfAReadWorkbookChangesNothing) {
    TempDir dir;
    auto wb = writer_sample::MakeSampleWorkbook("");
    auto once = RoundTrip(*wb, dir);
    TempDir dir2;
    auto twice = RoundTrip(*once, dir2);
    EXPECT_EQ(Difference(host::Dump(*once), host::Dump(*twice)), "");
}

TEST(RoundTrip, ValuesOfEveryKindAndAwkwardText) {
    host::Workbook wb(nullptr, "values.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "值", "Sheet1");
    const host::Variant values[] = {
        host::Variant(0.1), host::Variant(1.0 / 3), host::Variant(-1e-300), host::Variant(9007199254740993.0),
        host::Variant(1e21), host::Variant("  两边空格  "), host::Variant("制表\t换行\n回车\r结束"),
        host::Variant("<tag attr=\"x\">&amp;</tag>"), host::Variant("_x000D_ 字面"), host::Variant(""),
        host::Variant::Boolean(false), host::Variant::Error(host::CellError::Ref),
        host::Variant::Error(host::CellError::Num), host::Variant("\xF0\x9F\x98\x80 emoji")};
    int r = 1;
    for (const host::Variant& v : values) ws.SetValueAt(r++, 1, v);
    TempDir dir;
    auto back = RoundTrip(wb, dir);
    for (int i = 1; i < r; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back->Sheet(1).ValueAt(i, 1), ws.ValueAt(i, 1)) << host::ToText(ws.ValueAt(i, 1));
    }
}

}  // namespace
