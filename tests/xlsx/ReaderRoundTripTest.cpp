// Workbooks written by SaveWorkbook read back to the same golden dump.
#include <gtest/gtest.h>

#include <sstream>

#include "host/Dump.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

using host::Variant;

std::string WithoutFirstLine(const std::string& dump) { return dump.substr(dump.find('\n') + 1); }

// Lines of `a` missing from `b`, for a readable failure.
std::string Missing(const std::string& a, const std::string& b) {
    std::istringstream in(a);
    std::string line, out;
    while (std::getline(in, line))
        if (b.find(line + "\n") == std::string::npos) out += line + "\n";
    return out;
}

void Build(host::Workbook& wb) {
    host::Worksheet& a = wb.InsertSheet(-1, "花名册", "Sheet1");
    host::Worksheet& b = wb.InsertSheet(-1, "高一\t设置", "Sheet2");
    host::Worksheet& c = wb.InsertSheet(-1, "参数", "Sheet3");
    a.SetValueAt(1, 1, Variant("姓名"));
    a.SetValueAt(1, 2, Variant(3.25));
    a.SetValueAt(1, 3, Variant::Boolean(true));
    a.SetValueAt(1, 4, Variant::Error(host::CellError::NA));
    a.SetValueAt(2, 1, Variant("行一\n行二"));
    a.GetCell(2, 2).formula = std::make_unique<std::string>("B1*2");
    a.GetCell(2, 2).value = Variant(6.5);
    host::CellFormat f;
    f.numberFormat = "@";
    f.font.bold = true;
    f.alignment.horizontal = "center";
    f.alignment.wrapText = true;
    f.border.bottom.style = "thin";
    f.fill.pattern = "solid";
    f.fill.fg = host::Color::FromRgb(0xFFFF00);
    f.protection.locked = false;
    a.SetStyleAt(3, 1, wb.Styles().Intern(f));
    a.SetValueAt(3, 1, Variant("0012"));
    a.MergedAreas().push_back({5, 1, 6, 3});
    a.SetColumnWidthChars(2, 15);
    a.GetRow(4).info.height = 30;
    a.GetRow(4).info.customHeight = true;
    a.PageSetup().PrintArea = "$A$1:$D$20";
    a.PageSetup().PrintTitleRows = "$1:$1";
    a.PageSetup().Orientation = 2;
    a.PageSetup().CenterHeader = "考场";
    a.PageSetup().hasSetup = true;
    a.Protect("quietlantern7204");
    b.SetValueAt(1, 1, Variant("设置"));
    b.SetVisible(host::xlSheetHidden);
    c.SetValueAt(1, 1, Variant(1));
    c.SetVisible(host::xlSheetVeryHidden);
    wb.DefinedNames().push_back({"班级", -1, "花名册!$C$2:$C$9", false});
}

TEST(ReaderRoundTrip, SavedWorkbookReadsBackToTheSameDump) {
    testing_support::TempDir dir;
    host::Workbook wb(nullptr, "往返.xlsx");
    Build(wb);
    std::string file = dir.File("往返.xlsx");
    host::xlsx::SaveWorkbook(wb, file);
    auto back = host::xlsx::LoadWorkbook(nullptr, file);
    std::string want = WithoutFirstLine(host::Dump(wb)), got = WithoutFirstLine(host::Dump(*back));
    EXPECT_EQ(got, want) << "missing after the round trip:\n" << Missing(want, got) << "new:\n" << Missing(got, want);
    EXPECT_TRUE(back->Sheet(1).CheckPassword("quietlantern7204"));
}

}  // namespace
