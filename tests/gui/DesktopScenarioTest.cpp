// A teacher's whole job on the sample roster, done with the mouse: choose
// the roster, save the parameters (answering the question), type the group
// counts into the settings sheets, run the statistics, move on to the
// Arrangement window. Screenshots of every window are saved on the way.
#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QMenuBar>
#include <QTabWidget>

#include "GuiTestSupport.h"
#include "gui/EditActions.h"
#include "cli/SampleRoster.h"
#include "gui/SheetView.h"
#include "gui/WorkbookView.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "ui/frmAbout.h"
#include "ui/MainWindow.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemWorkbook.h"

using guitest::Desktop;
using ui::FrmSeZhi;

namespace {

std::string WriteSampleRoster(const testing_support::TempDir& dir) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    cli::FillRosterWorkbook(wb, cli::GenerateSampleRoster(cli::kDefaultSampleSeed));
    const std::string file = dir.File("花名册.xlsx");
    wb.SaveAs(file);
    return file;
}

gui::SheetView* SheetTab(gui::HostWindow& host, const std::string& workbook, const std::string& sheet) {
    for (int i = 0; i < host.WorkbookTabs().count(); ++i) {
        auto* wv = qobject_cast<gui::WorkbookView*>(host.WorkbookTabs().widget(i));
        if (!wv || wv->Workbook().Name() != workbook) continue;
        for (int k = 0; k < wv->count(); ++k)
            if (wv->tabText(k) == QString::fromStdString(sheet)) return qobject_cast<gui::SheetView*>(wv->widget(k));
    }
    return nullptr;
}

bool TypeInto(gui::SheetView& view, const std::string& a1, const std::string& text) {
    const host::CellRef c = *host::ParseCellRef(a1);
    return view.Model().setData(view.Model().index(c.row - 1, c.col - 1), QString::fromStdString(text));
}

const std::string kInfo = "[提示信息…] ";

}  // namespace

TEST(DesktopScenario, SettingsStatisticsAndArrangementWindowWithTheMouse) {
    Desktop d;
    const std::string roster = WriteSampleRoster(d.dir);
    d.Start();

    // Start opened the Settings window, docked beside the grid, and no roster is known yet.
    FrmSeZhi* settings = d.Model<FrmSeZhi>(FrmSeZhi::kName);
    ASSERT_NE(settings, nullptr);
    gui::ToolWindowView* settingsView = d.View(FrmSeZhi::kName);
    EXPECT_TRUE(settingsView->isVisible());
    ASSERT_NE(settingsView->Dock(), nullptr);
    EXPECT_TRUE(settingsView->Dock()->IsDocked());
    EXPECT_EQ(settingsView->windowTitle(), "设置");
    EXPECT_FALSE(settingsView->WidgetOf(settings->Command1[FrmSeZhi::kStatistics])->isEnabled());

    // 打开: the roster chosen in the file dialog opens as a new tab.
    d.Toolkit().QueueFile(roster);
    d.Click(FrmSeZhi::kName, settings->Command1[FrmSeZhi::kOpen]);
    EXPECT_EQ(qobject_cast<QLabel*>(settingsView->WidgetOf(settings->Label11))->text(), "花名册.xlsx");
    EXPECT_EQ(qobject_cast<QLabel*>(settingsView->WidgetOf(settings->Label1))->text(), "3");
    EXPECT_TRUE(settingsView->WidgetOf(settings->Command1[FrmSeZhi::kStatistics])->isEnabled());
    ASSERT_NE(SheetTab(d.Host(), "花名册.xlsx", "高一"), nullptr);
    d.TakeMessages();

    // 保存 with 2 groups × 3 rooms: the settings sheets are made and the roster saved.
    d.Type(FrmSeZhi::kName, settings->Text1, "2");
    d.Type(FrmSeZhi::kName, settings->Text2, "3");
    d.Type(FrmSeZhi::kName, settings->Combo3, "3");
    d.Type(FrmSeZhi::kName, settings->Text3, "0");
    d.Click(FrmSeZhi::kName, settings->Command1[FrmSeZhi::kSave]);
    EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{kInfo + "参数已修改并生成相应设置表！"});
    ASSERT_NE(SheetTab(d.Host(), "花名册.xlsx", "高一\t设置"), nullptr);

    // Four rooms no longer fit the sheets: the question, answered 是, rebuilds them.
    d.Type(FrmSeZhi::kName, settings->Text2, "4");
    d.Toolkit().QueueAnswer(platform::MsgResult::Yes);
    d.Click(FrmSeZhi::kName, settings->Command1[FrmSeZhi::kSave]);
    std::vector<std::string> shown = d.TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].rfind("[提示] 设置表“高一\t设置,高二\t设置,高三\t设置,”与设置的参数不相符", 0), 0u) << shown[0];
    EXPECT_EQ(shown[1], kInfo + "参数已修改并成功初始化设置表！");
    EXPECT_EQ(d.Toolkit().Messages()[d.Toolkit().Messages().size() - 2].icon, platform::MsgIcon::Question);

    // The group counts typed into the grid: two groups in each of the four rooms.
    host::Workbook* rosterBook = d.HostApp().Workbooks().Find("花名册.xlsx");
    ASSERT_NE(rosterBook, nullptr);
    for (host::Worksheet* ws : workbook::RosterSheets(*rosterBook)) {
        gui::SheetView* tab = SheetTab(d.Host(), "花名册.xlsx", ws->Name() + "\t设置");
        ASSERT_NE(tab, nullptr) << ws->Name();
        const int32_t candidates = ws->UsedRect().bottom - 1;
        const char* cells[] = {"I2", "J2", "I3", "J3", "I4", "J4", "I5", "J5"};
        for (int i = 0; i < 8; ++i) {
            const int32_t n = candidates / 8 + (i == 0 ? candidates % 8 : 0);
            EXPECT_TRUE(TypeInto(*tab, cells[i], std::to_string(n))) << ws->Name() << cells[i];
        }
        // The room numbers are locked: refused with the host's message, nothing changed.
        EXPECT_FALSE(TypeInto(*tab, "H2", "9"));
        EXPECT_EQ(tab->Sheet().ValueAt(2, 8), host::Variant(1));
    }
    shown = d.TakeMessages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "[考场编排系统] 单元格或图表受保护，不能修改。");

    // 数据统计: no errors left in the roster; the revision sheet is shown.
    d.Click(FrmSeZhi::kName, settings->Command1[FrmSeZhi::kStatistics]);
    EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{kInfo + "数据统计完毕，请查看修改意见！"});
    host::Workbook& system = d.Component().System();
    host::Worksheet& revision = workbook::RequireSheetByCodeName(system, workbook::kRevisionSheet);
    EXPECT_NE(SheetTab(d.Host(), system.Name(), revision.Name()), nullptr);
    EXPECT_EQ(d.Host().StatusText().text(), "就绪");
    d.Host().resize(1100, 640);
    guitest::WidenToolDock(d);
    guitest::SaveScreenshot(*settingsView, "settings-window.png");
    guitest::SaveScreenshot(d.Host(), "host-window-revision.png");

    // Undocked and moved, then 编排 on the menu bar: the Arrangement window
    // opens where Settings stood; K6 = 3. Docked again for the rest.
    gui::ToolDock* dock = settingsView->Dock();
    dock->setFloating(true);
    dock->move(220, 140);
    guitest::Settle();
    d.ChooseMenu(FrmSeZhi::kName, settings->BinPai);
    EXPECT_EQ(d.View(FrmSeZhi::kName), nullptr);
    gui::ToolWindowView* arrangement = d.View("FrmKCBP");
    ASSERT_NE(arrangement, nullptr);
    EXPECT_EQ(arrangement->Frame(), dock);
    EXPECT_EQ(dock->pos(), QPoint(220, 140));
    EXPECT_EQ(arrangement->windowTitle(), "考场编排");
    dock->setFloating(false);
    guitest::Settle();
    EXPECT_EQ(workbook::ParameterCells(system).WindowCodeNumber(), 3);
    auto* arrange = d.Model<ui::FrmKCBP>(ui::FrmKCBP::kName);
    ASSERT_NE(arrange, nullptr);

    // 随机, then 开始编排: the roster sheets get the system columns.
    d.Click(ui::FrmKCBP::kName, arrange->Option3);
    EXPECT_TRUE(arrange->Option3.Value());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(arrangement->WidgetOf(arrange->Option1))->isChecked());
    guitest::SaveScreenshot(*arrangement, "arrangement-window.png");
    const int booksBefore = d.HostApp().Workbooks().Count();
    d.Click(ui::FrmKCBP::kName, arrange->Command1);
    shown = d.TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("[操作提示…] 操作结束！", 0), 0u) << shown[0];
    gui::SheetView* grade = SheetTab(d.Host(), "花名册.xlsx", "高一");
    ASSERT_NE(grade, nullptr);
    int roomColumn = -1;
    for (int c = 0; c < grade->Model().columnCount(); ++c)
        if (grade->Model().index(0, c).data(Qt::EditRole).toString() == "\t场号") roomColumn = c;
    ASSERT_GE(roomColumn, 0) << "room column shown in the roster tab";
    EXPECT_FALSE(grade->Model().index(1, roomColumn).data().toString().isEmpty());
    // The arrangement is one step of the host window's edit history: undone
    // as a whole (the roster without its system columns) and redone.
    QAction& undo = d.Host().Edit().UndoAction();
    EXPECT_EQ(undo.text(), "撤销 开始编排") << "named by the button, without its access key";
    undo.trigger();
    guitest::Settle();
    EXPECT_TRUE(grade->Model().index(1, roomColumn).data().toString().isEmpty());
    d.Host().Edit().RedoAction().trigger();
    guitest::Settle();
    EXPECT_FALSE(grade->Model().index(1, roomColumn).data().toString().isEmpty());
    // With same-class neighbours left, the report comes as a new workbook tab.
    const bool reported = shown[0].find("请查看需人工调整的前后左右同班") != std::string::npos;
    EXPECT_EQ(d.HostApp().Workbooks().Count(), booksBefore + (reported ? 1 : 0));
    EXPECT_EQ(d.Host().WorkbookTabs().count(), d.HostApp().Workbooks().Count());
    if (reported) {
        auto* current = qobject_cast<gui::WorkbookView*>(d.Host().WorkbookTabs().currentWidget());
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(&current->Workbook(), d.HostApp().ActiveWorkbook());
        EXPECT_FALSE(current->Workbook().Saved()) << "left for the user to save";
    }
    d.Host().WorkbookTabs().setCurrentWidget(grade->parentWidget()->parentWidget());
    qobject_cast<QTabWidget*>(grade->parentWidget()->parentWidget())->setCurrentWidget(grade);
    guitest::Settle();
    guitest::SaveScreenshot(d.Host(), "host-window-roster.png");
    // The roster's new columns beside the docked window, none of them under it.
    EXPECT_TRUE(dock->isVisible() && dock->IsDocked());
    EXPECT_LE(d.Host().centralWidget()->geometry().right(), dock->geometry().left());

    // 关于: modal, 50 pixels right of and below the window position.
    EXPECT_EQ(arrangement->ActionOf(arrange->GuangYu)->text(), "关于 考场编排系统(&G)");
    d.ChooseMenu(ui::FrmKCBP::kName, arrange->GuangYu);
    gui::ToolWindowView* about = d.View(ui::frmAbout::kName);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(about->pos(), QPoint(220 + 50, 140 + 50));
    guitest::SaveScreenshot(*about, "about-window.png");
    d.Click(ui::frmAbout::kName, static_cast<ui::frmAbout*>(about->Model())->cmdOK);
    EXPECT_EQ(d.View(ui::frmAbout::kName), nullptr);

    // 帮助文档: the user guide put beside the system workbook.
    d.ChooseMenu(ui::FrmKCBP::kName, arrange->HelpWord);
    ASSERT_FALSE(d.Toolkit().OpenedDocuments().empty());
    EXPECT_EQ(d.Toolkit().OpenedDocuments().back(), d.dir.File("Help.html"));

    // The other two windows, reached through the menu.
    d.ChooseMenu(ui::FrmKCBP::kName, arrange->HuaMinChe);
    gui::ToolWindowView* tables = d.View("FrmHuaMinChe");
    ASSERT_NE(tables, nullptr);
    guitest::SaveScreenshot(*tables, "exam-tables-window.png");
    d.ChooseMenu("FrmHuaMinChe", static_cast<ui::MainWindow*>(tables->Model())->DaYin);
    gui::ToolWindowView* print = d.View("FrmDaYin");
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(workbook::ParameterCells(system).WindowCodeNumber(), 4);
    guitest::SaveScreenshot(*print, "print-window.png");
}
