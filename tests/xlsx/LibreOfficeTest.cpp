// LibreOffice as the other side: it opens what we write, and we open what it
// writes back. Skipped where LibreOffice is not installed (it is not a build
// dependency; scripts/install-deps.sh leaves it out).
#include <gtest/gtest.h>

#include <filesystem>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

using host::Variant;

namespace {

bool HaveLibreOffice() { return std::filesystem::exists("/usr/bin/soffice"); }

// Converts `in` to .xlsx in `outDir` with LibreOffice; returns the new file.
std::string ConvertWithLibreOffice(const testing_support::TempDir& dir, const std::string& in) {
    std::string profile = "file://" + dir.File("lo-profile");
    std::string out = dir.File("lo");
    std::string cmd = "cd '" + dir.Path().string() + "' && HOME='" + dir.Path().string() +
                      "' timeout 180 soffice -env:UserInstallation=" + profile +
                      " --headless --convert-to xlsx --outdir '" + out + "' '" + in + "' >/dev/null 2>&1";
    testing_support::Run(cmd);
    return out + "/" + std::filesystem::path(in).filename().string();
}

}  // namespace

TEST(LibreOffice, ReadsOurFileAndWeReadItsCopy) {
    if (!HaveLibreOffice()) GTEST_SKIP() << "LibreOffice is not installed";
    testing_support::TempDir dir;
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& roster = wb.Sheet(1);
    roster.SetName("高一");
    roster.GetRange("A1:C1").SetValues([] {
        host::Array2D a(1, 3);
        a(1, 1) = Variant("学号");
        a(1, 2) = Variant("姓名");
        a(1, 3) = Variant("班级");
        return a;
    }());
    roster.GetRange("A2").SetNumberFormat("@");
    roster.GetRange("A2").SetValue(Variant("007"));
    roster.GetRange("B2").SetValue(Variant("张三"));
    roster.GetRange("C2").SetValue(Variant(3.0));
    host::Worksheet& settings = wb.Worksheets().Add(&roster);
    settings.SetName("高一\t设置");
    settings.GetRange("I2").SetValue(Variant(10.0));
    settings.GetRange("J2").SetValue(Variant(5.0));
    settings.GetRange("K2").SetFormulaR1C1("=SUM(RC[-2]:RC[-1])");
    settings.GetRange("H5:J5").Merge();
    settings.Protect("abc");
    host::Worksheet& hidden = wb.Worksheets().Add(&settings);
    hidden.SetName("参数");
    hidden.GetRange("K2").SetValue(Variant(4.0));
    hidden.SetVisible(host::xlSheetVeryHidden);
    std::string ours = dir.File("ours.xlsx");
    wb.SaveAs(ours);

    std::string theirs = ConvertWithLibreOffice(dir, ours);
    ASSERT_TRUE(std::filesystem::exists(theirs)) << "LibreOffice did not convert " << ours;
    auto back = host::xlsx::LoadWorkbook(nullptr, theirs);
    ASSERT_EQ(back->SheetCount(), 3);
    EXPECT_EQ(back->Sheet(1).Name(), "高一");
    EXPECT_EQ(back->Sheet(2).Name(), "高一\t设置");  // the TAB survives both ways
    EXPECT_EQ(back->Sheet(1).ValueAt(2, 1), Variant("007"));
    EXPECT_EQ(back->Sheet(1).ValueAt(2, 2), Variant("张三"));
    EXPECT_EQ(back->Sheet(1).ValueAt(2, 3), Variant(3.0));
    const host::Cell* sum = back->Sheet(2).FindCell(2, 11);
    ASSERT_NE(sum, nullptr);
    ASSERT_TRUE(sum->HasFormula());
    EXPECT_EQ(*sum->formula, "SUM(I2:J2)");
    EXPECT_EQ(sum->value, Variant(15.0));  // LibreOffice computed it
    EXPECT_TRUE(back->Sheet(2).ProtectContents());
    EXPECT_TRUE(back->Sheet(2).CheckPassword("abc"));
    EXPECT_FALSE(back->Sheet(2).CheckPassword("abd"));
    ASSERT_EQ(back->Sheet(2).MergedAreas().size(), 1u);
    EXPECT_EQ(back->Sheet(2).MergedAreas()[0], (host::Rect{5, 8, 5, 10}));
    // LibreOffice knows no "very hidden": the sheet comes back hidden.
    EXPECT_NE(back->Sheet(3).Visible(), host::xlSheetVisible);
    EXPECT_EQ(back->Sheet(3).ValueAt(2, 11), Variant(4.0));
}

// A file with what the host keeps without modelling it (comments, links,
// validation, conditional formats, panes, filter, table, charts, a chart
// sheet), saved after a row deletion, opens in LibreOffice, which keeps its
// sheets, comments and filter in its own copy.
TEST(LibreOffice, OpensOurFileWithKeptFeatures) {
    if (!HaveLibreOffice()) GTEST_SKIP() << "LibreOffice is not installed";
    testing_support::TempDir dir;
    auto wb = host::xlsx::LoadWorkbook(nullptr, std::string(TOLM_TEST_DATA) + "/xlsx/openpyxl-kept.xlsx");
    wb->Sheet(1).GetRange("5:8").Delete();
    std::string ours = dir.File("kept.xlsx");
    host::xlsx::SaveWorkbook(*wb, ours);

    std::string theirs = ConvertWithLibreOffice(dir, ours);
    ASSERT_TRUE(std::filesystem::exists(theirs)) << "LibreOffice did not convert " << ours;
    auto back = host::xlsx::LoadWorkbook(nullptr, theirs);
    // LibreOffice has no chart sheets: it writes the chart sheet as a worksheet holding the chart.
    ASSERT_EQ(back->SheetCount(), 3);
    EXPECT_EQ(back->Sheet(1).Name(), "名单");
    EXPECT_EQ(back->Sheet(2).Name(), "图表");
    EXPECT_EQ(back->Sheet(1).ValueAt(5, 1), Variant("考生8"));
    EXPECT_EQ(back->Sheet(2).Kept().drawing.anchors.size(), 1u);
    EXPECT_EQ(back->Sheet(1).Kept().drawing.anchors.size(), 1u);  // the chart of the first sheet
    bool comments = false, filter = false;
    for (const host::KeptRelationship& r : back->Sheet(1).Kept().relationships)
        comments |= r.type.size() > 9 && r.type.compare(r.type.size() - 9, 9, "/comments") == 0;
    for (const host::KeptElement& e : back->Sheet(1).Kept().elements)
        for (const host::KeptFragment& f : e.items) filter |= f.Render().find("autoFilter ref=\"A1:D16\"") != std::string::npos;
    EXPECT_TRUE(comments);
    EXPECT_TRUE(filter);
}
