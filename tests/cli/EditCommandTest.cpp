// tolm edit and the host's limit on a cell's text: typing refuses what the
// host refuses, text read from a file is never cut.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "host/Application.h"
#include "host/TypedInput.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

using cli_test::Contains;
using cli_test::Outcome;

std::string Repeat(const std::string& unit, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += unit;
    return s;
}

TEST(EditCommand, TextBeyondTheCellLimitIsRefusedAndNothingIsWritten) {
    testing_support::TempDir dir;
    cli_test::InProcess tolm;
    tolm.currentFolder = dir.Path().string();
    tolm.env["TOLM_SYSTEM"] = dir.File("系统.xlsx");
    const std::string book = dir.File("名单.xlsx");
    const std::string fromFile = Repeat("考", 40000);  // longer than typing allows
    {
        host::Application app;
        host::Workbook& wb = app.Workbooks().Add();
        wb.Sheet(1).SetValueAt(1, 1, "原值");
        wb.Sheet(1).SetValueAt(3, 1, fromFile);
        wb.SaveAs(book);
    }
    const std::string before = testing_support::ReadFile(book);
    const std::string atLimit = Repeat("考", int(host::kMaxCellTextLength));

    // The first edit would fit: the refusal of the second leaves both undone.
    Outcome o = tolm.Run({"edit", "名单.xlsx", "--sheet", "Sheet1", "A1=新值", "B1=" + atLimit + "考"});
    EXPECT_EQ(o.code, 1) << o.err.substr(0, 300);
    EXPECT_TRUE(Contains(o.err, "B1 的文本有 32768 个字符，超过单元格的上限 32767 个字符")) << o.err.substr(0, 300);
    EXPECT_FALSE(Contains(o.out, "A1")) << o.out.substr(0, 300);
    EXPECT_EQ(testing_support::ReadFile(book), before);

    // At the limit (a leading apostrophe is not part of the text) it is typed;
    // the long text that came with the file survives the save whole.
    o = tolm.Run({"edit", "名单.xlsx", "--sheet", "Sheet1", "A1=" + atLimit, "B1='" + atLimit});
    EXPECT_EQ(o.code, 0) << o.err.substr(0, 300);
    host::Application app;
    auto wb = host::xlsx::LoadWorkbook(&app, book);
    // (compared as booleans: a failure must not print 100,000 bytes)
    EXPECT_TRUE(host::ToText(wb->Sheet(1).ValueAt(1, 1)) == atLimit);
    EXPECT_TRUE(host::ToText(wb->Sheet(1).ValueAt(1, 2)) == atLimit);
    EXPECT_TRUE(host::ToText(wb->Sheet(1).ValueAt(3, 1)) == fromFile);
}

}  // namespace
