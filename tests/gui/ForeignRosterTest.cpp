// A roster from another program chosen in the desktop window: the question
// is a Qt message box, the .xlsx saved beside the file opens as a tab and is
// the roster from then on.
#include <QLabel>
#include <filesystem>

#include "GuiTestSupport.h"
#include "gui/WorkbookView.h"
#include "host/Workbook.h"
#include "ui/FrmSeZhi.h"
#include "workbook/ParameterCells.h"

using guitest::Desktop;
using ui::FrmSeZhi;

namespace {

TEST(ForeignRoster, AnXlsChosenInTheSettingsWindowIsSavedAsXlsxAfterTheQuestionAndOpens) {
    Desktop d;
    const std::string xls = d.dir.File("名单.xls");
    std::filesystem::copy_file(std::string(TOLM_TEST_DATA) + "/import/roster.xls", xls);
    d.Start();
    FrmSeZhi* settings = d.Model<FrmSeZhi>(FrmSeZhi::kName);
    ASSERT_NE(settings, nullptr);
    d.TakeMessages();

    // 否: nothing is written, the roster stays unchosen.
    d.Toolkit().QueueFile(xls);
    d.Toolkit().QueueAnswer(platform::MsgResult::No);
    d.Click(FrmSeZhi::kName, settings->Command1[FrmSeZhi::kOpen]);
    std::vector<std::string> shown = d.TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("“名单.xls”是 Excel 97-2003 工作簿（.xls）"), std::string::npos) << shown[0];
    EXPECT_EQ(d.Toolkit().Messages().back().icon, platform::MsgIcon::Question);
    EXPECT_FALSE(std::filesystem::exists(d.dir.File("名单.xlsx")));

    // 是: saved beside it, opened, remembered.
    d.Toolkit().QueueFile(xls);
    d.Toolkit().QueueAnswer(platform::MsgResult::Yes);
    d.Click(FrmSeZhi::kName, settings->Command1[FrmSeZhi::kOpen]);
    EXPECT_TRUE(std::filesystem::exists(d.dir.File("名单.xlsx")));
    gui::ToolWindowView* view = d.View(FrmSeZhi::kName);
    EXPECT_EQ(qobject_cast<QLabel*>(view->WidgetOf(settings->Label11))->text(), "名单.xlsx");
    EXPECT_EQ(qobject_cast<QLabel*>(view->WidgetOf(settings->Label1))->text(), "3");
    EXPECT_NE(d.HostApp().Workbooks().Find("名单.xlsx"), nullptr);
    EXPECT_EQ(workbook::ParameterCells(*d.HostApp().Workbooks().Find("考场编排系统.xlsx")).RosterFileName(), "名单.xlsx");
}

}  // namespace
