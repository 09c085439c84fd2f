// The host window: tabs for open workbooks and their visible sheets, the
// file actions and their questions, the host switches, the front sheet.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/SheetView.h"
#include "gui/WorkbookView.h"
#include "host/LockFile.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "ui/FrmSeZhi.h"
#include "workbook/SystemWorkbook.h"

using guitest::Desktop;
using host::Variant;

namespace {

std::vector<std::string> TabTexts(QTabWidget& tabs) {
    std::vector<std::string> out;
    for (int i = 0; i < tabs.count(); ++i) out.push_back(tabs.tabText(i).toStdString());
    return out;
}

// A workbook on disk with a visible, a hidden and a very hidden sheet.
std::string WriteThreeSheets(const std::string& file) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    wb.Sheet(1).SetName("名单");
    wb.Sheet(1).SetValueAt(1, 1, Variant("原值"));
    wb.Worksheets().Add(&wb.Sheet(1)).SetName("隐藏");
    wb.Worksheets().Add(&wb.Sheet(2)).SetName("特别隐藏");
    wb.Sheet(2).SetVisible(host::xlSheetHidden);
    wb.Sheet(3).SetVisible(host::xlSheetVeryHidden);
    wb.SaveAs(file);
    return file;
}

}  // namespace

TEST(HostWindow, ShowsVisibleSheetsOnlyAndUnhidesHiddenButNeverVeryHiddenOnes) {
    Desktop d;
    d.Start();
    // The system workbook shows its front sheet alone; the service sheets are very hidden.
    gui::WorkbookView* system = d.Host().ViewOf(d.Component().System());
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->count(), 1);

    const std::string file = WriteThreeSheets(d.dir.File("三表.xlsx"));
    d.Toolkit().QueueFile(file);
    d.Host().OpenWorkbook();
    gui::WorkbookView* book = d.Host().CurrentWorkbookView();
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->Workbook().Name(), "三表.xlsx");
    EXPECT_EQ(TabTexts(*book), std::vector<std::string>{"名单"});

    d.Toolkit().QueueInput("特别隐藏");
    d.Host().UnhideSheet();
    EXPECT_EQ(TabTexts(*book), std::vector<std::string>{"名单"});
    d.Toolkit().QueueInput("隐藏");
    d.Host().UnhideSheet();
    EXPECT_EQ(TabTexts(*book), (std::vector<std::string>{"名单", "隐藏"}));
    EXPECT_EQ(book->currentIndex(), 1) << "the unhidden sheet comes to the front";
    d.TakeMessages();
    d.Host().UnhideSheet();
    EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{"[考场编排系统] 没有可以取消隐藏的工作表。"});

    // A sheet the host deletes loses its tab at once, screen updating or not.
    d.HostApp().SetScreenUpdating(false);
    book->Workbook().Sheet(2).Delete();
    EXPECT_EQ(TabTexts(*book), std::vector<std::string>{"名单"});
    d.HostApp().SetScreenUpdating(true);
}

TEST(HostWindow, OpeningASecondWorkbookOfTheSameNameOrABadFileIsRefused) {
    Desktop d;
    d.Start();
    std::filesystem::create_directories(d.dir.Path() / "甲");
    std::filesystem::create_directories(d.dir.Path() / "乙");
    WriteThreeSheets(d.dir.File("甲/名单.xlsx"));
    WriteThreeSheets(d.dir.File("乙/名单.xlsx"));
    testing_support::WriteFile(d.dir.File("坏.xlsx"), "not a zip");
    d.Toolkit().QueueFile(d.dir.File("甲/名单.xlsx"));
    d.Host().OpenWorkbook();
    const int tabs = d.Host().WorkbookTabs().count();
    d.TakeMessages();
    d.Toolkit().QueueFile(d.dir.File("乙/名单.xlsx"));
    d.Host().OpenWorkbook();
    EXPECT_EQ(d.TakeMessages(),
              std::vector<std::string>{"[考场编排系统] 已经打开了一个名为“名单.xlsx”的工作簿。不能同时打开两个同名的工作簿。"});
    d.Toolkit().QueueFile(d.dir.File("坏.xlsx"));
    d.Host().OpenWorkbook();
    std::vector<std::string> shown = d.TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(d.dir.File("坏.xlsx")), std::string::npos) << shown[0];
    EXPECT_EQ(d.Host().WorkbookTabs().count(), tabs);
    EXPECT_EQ(testing_support::ReadFile(d.dir.File("坏.xlsx")), "not a zip");
}

TEST(HostWindow, ClosingAChangedWorkbookAsksAndDoesWhatTheAnswerSays) {
    Desktop d;
    d.Start();
    const std::string file = WriteThreeSheets(d.dir.File("名单.xlsx"));
    const std::string before = testing_support::ReadFile(file);
    auto open = [&]() -> host::Workbook& {
        d.Toolkit().QueueFile(file);
        d.Host().OpenWorkbook();
        host::Workbook* wb = d.HostApp().Workbooks().Find("名单.xlsx");
        EXPECT_NE(wb, nullptr);
        gui::SheetView* sheet = d.Host().CurrentSheetView();
        EXPECT_TRUE(sheet->Model().setData(sheet->Model().index(0, 0), "新值"));
        return *wb;
    };
    host::Workbook& first = open();
    EXPECT_EQ(d.Host().windowTitle(), "名单.xlsx * - 考场编排系统");
    d.TakeMessages();
    d.Toolkit().QueueAnswer(platform::MsgResult::Cancel);
    EXPECT_FALSE(d.Host().CloseWorkbook(first));
    EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{"[考场编排系统] 是否保存对“名单.xlsx”的更改？"});
    EXPECT_EQ(d.Toolkit().Messages().back().buttons, platform::MsgButtons::YesNoCancel);
    ASSERT_NE(d.HostApp().Workbooks().Find("名单.xlsx"), nullptr);

    d.Toolkit().QueueAnswer(platform::MsgResult::No);
    EXPECT_TRUE(d.Host().CloseWorkbook(first));
    EXPECT_EQ(d.HostApp().Workbooks().Find("名单.xlsx"), nullptr);
    EXPECT_EQ(testing_support::ReadFile(file), before) << "No leaves the file as it was";

    host::Workbook& second = open();
    d.Toolkit().QueueAnswer(platform::MsgResult::Yes);
    EXPECT_TRUE(d.Host().CloseWorkbook(second));
    host::Application check;
    host::Workbook* saved = check.Workbooks().Open(file);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->Sheet(1).ValueAt(1, 1), Variant("新值"));

    // Quitting asks for every changed workbook; Cancel keeps everything open.
    open();
    d.HostApp().Workbooks().Add();
    d.HostApp().ActiveWorkbook()->Sheet(1).SetValueAt(1, 1, Variant(1));
    d.TakeMessages();
    for (int i = 0; i < 2; ++i) d.Toolkit().QueueAnswer(platform::MsgResult::No);
    d.Toolkit().QueueAnswer(platform::MsgResult::Cancel);
    EXPECT_FALSE(d.Host().CloseAll());
    const std::vector<std::string> asked = d.TakeMessages();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0], "[考场编排系统] 是否保存对“考场编排系统.xlsx”的更改？") << "K6 was written at the start";
    EXPECT_EQ(asked[1], "[考场编排系统] 是否保存对“名单.xlsx”的更改？");
    EXPECT_EQ(asked[2].rfind("[考场编排系统] 是否保存对“工作簿", 0), 0u) << asked[2];
    EXPECT_EQ(d.HostApp().Workbooks().Count(), 3);
}

TEST(HostWindow, StatusBarTextAndScreenUpdatingFollowTheHost) {
    Desktop d;
    d.Start();
    d.HostApp().SetStatusBar(std::string("程序正在运行，请耐心等待……"));
    EXPECT_EQ(d.Host().StatusText().text(), "程序正在运行，请耐心等待……");
    d.HostApp().SetStatusBar(std::nullopt);
    EXPECT_EQ(d.Host().StatusText().text(), "就绪");

    // A new workbook opens as the current tab.
    host::Workbook& added = d.HostApp().Workbooks().Add();
    EXPECT_EQ(&d.Host().CurrentWorkbookView()->Workbook(), &added);
    gui::SheetView* view = d.Host().CurrentSheetView();
    ASSERT_NE(view, nullptr);
    const int rows = view->Model().rowCount();

    // A sheet copied out of its workbook (as the arrangement copies its report)
    // makes a new workbook: a new current tab, left unsaved for the user.
    host::Worksheet& revision = workbook::RequireSheetByCodeName(d.Component().System(), workbook::kRevisionSheet);
    const int tabs = d.Host().WorkbookTabs().count();
    host::Workbook& copy = revision.Copy();
    d.Host().RefreshViews();
    EXPECT_EQ(d.Host().WorkbookTabs().count(), tabs + 1);
    EXPECT_EQ(&d.Host().CurrentWorkbookView()->Workbook(), &copy);
    EXPECT_EQ(TabTexts(*d.Host().CurrentWorkbookView()), std::vector<std::string>{revision.Name()});
    EXPECT_FALSE(copy.Saved());
    d.Host().WorkbookTabs().setCurrentWidget(d.Host().ViewOf(added));

    // Without screen updating the views keep their picture until it is back on.
    d.HostApp().SetScreenUpdating(false);
    EXPECT_FALSE(d.Host().centralWidget()->updatesEnabled());
    added.Sheet(1).SetValueAt(500, 1, Variant("远处"));
    d.Host().RefreshViews();
    EXPECT_EQ(view->Model().rowCount(), rows);
    d.HostApp().SetScreenUpdating(true);
    EXPECT_TRUE(d.Host().centralWidget()->updatesEnabled());
    EXPECT_EQ(view->Model().rowCount(), 500 + gui::SheetModel::kMarginRows);
}

TEST(HostWindow, TheFrontSheetKeepsTheCursorOnF6AndStartsTheToolAgain) {
    Desktop d;
    d.Start();
    host::Worksheet& front = workbook::RequireSheetByCodeName(d.Component().System(), 1);
    gui::SheetView* view = d.Host().ViewOf(d.Component().System())->ViewOf(front);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->StartButton(), nullptr);
    EXPECT_EQ(view->StartButton()->text(), "启动考场编排");
    d.Host().WorkbookTabs().setCurrentWidget(d.Host().ViewOf(d.Component().System()));
    d.Host().resize(900, 560);
    guitest::WidenToolDock(d);
    guitest::SaveScreenshot(d.Host(), "host-window-front-sheet.png");

    // Clicks and cursor keys stay on F6.
    const QModelIndex f6 = view->Model().index(5, 5);
    EXPECT_EQ(view->Grid().currentIndex(), f6);
    const QModelIndex b2 = view->Model().index(1, 1);
    QTest::mouseClick(view->Grid().viewport(), Qt::LeftButton, {}, view->Grid().visualRect(b2).center());
    EXPECT_EQ(view->Grid().currentIndex(), f6);
    QTest::keyClick(&view->Grid(), Qt::Key_Left);
    QTest::keyClick(&view->Grid(), Qt::Key_Down);
    EXPECT_EQ(view->Grid().currentIndex(), f6);
    EXPECT_EQ(d.Host().FormulaBar().isEnabled(), true);

    // Closed with its close box, the Settings window comes back with the button; a second click opens no other.
    gui::ToolWindowView* settings = d.View(ui::FrmSeZhi::kName);
    ASSERT_NE(settings, nullptr);
    settings->close();
    guitest::Settle();
    EXPECT_FALSE(d.Component().AnyWindowOpen());
    view->StartButton()->click();
    guitest::Settle();
    ASSERT_NE(d.View(ui::FrmSeZhi::kName), nullptr);
    view->StartButton()->click();
    guitest::Settle();
    EXPECT_EQ(d.Toolkit().Views().size(), 1u);
    EXPECT_EQ(d.Component().OpenWindows().size(), 1u);
}

TEST(HostWindow, TheFormulaBarShowsAndEntersTheCurrentCell) {
    Desktop d;
    d.Start();
    host::Workbook& wb = d.HostApp().Workbooks().Add();
    wb.Sheet(1).GetCell(2, 2).formula = std::make_unique<std::string>("A1+1");
    d.Host().RefreshViews();
    gui::SheetView* view = d.Host().CurrentSheetView();
    ASSERT_NE(view, nullptr);
    view->Grid().setCurrentIndex(view->Model().index(1, 1));
    EXPECT_EQ(d.Host().FormulaBar().text(), "=A1+1");
    view->Grid().setCurrentIndex(view->Model().index(2, 0));
    d.Host().FormulaBar().setText("3.5");
    QTest::keyClick(&d.Host().FormulaBar(), Qt::Key_Return);
    EXPECT_EQ(wb.Sheet(1).ValueAt(3, 1), Variant(3.5));
    EXPECT_EQ(view->Model().index(2, 0).data().toString(), "3.5");

    // Delete clears the selected values; on a protected sheet a locked cell refuses once.
    view->Grid().setFocus();
    view->Grid().selectionModel()->select(QItemSelection(view->Model().index(1, 1), view->Model().index(2, 1)),
                                          QItemSelectionModel::ClearAndSelect);
    view->Grid().selectionModel()->select(view->Model().index(2, 0), QItemSelectionModel::Select);
    QTest::keyClick(&view->Grid(), Qt::Key_Delete);
    EXPECT_TRUE(wb.Sheet(1).ValueAt(3, 1).IsEmpty());
    const host::Cell* b2 = wb.Sheet(1).FindCell(2, 2);
    EXPECT_TRUE(!b2 || !b2->HasFormula());
    wb.Sheet(1).SetValueAt(1, 1, Variant(1));
    wb.Sheet(1).SetValueAt(2, 1, Variant(2));
    wb.Sheet(1).Protect("");
    d.TakeMessages();
    view->Grid().selectionModel()->select(QItemSelection(view->Model().index(0, 0), view->Model().index(1, 0)),
                                          QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(&view->Grid(), Qt::Key_Delete);
    EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{"[考场编排系统] 单元格或图表受保护，不能修改。"});
    EXPECT_EQ(wb.Sheet(1).ValueAt(1, 1), Variant(1));
    EXPECT_EQ(wb.Sheet(1).ValueAt(2, 1), Variant(2));
}

TEST(HostWindow, AWorkbookAnotherProgramHoldsIsOpenedOnlyWhenTheUserSaysSo) {
    Desktop d;
    d.Start();
    // The system workbook is held while the window runs.
    EXPECT_TRUE(std::filesystem::exists(host::LockFileName(d.dir.File("考场编排系统.xlsx"))));
    const std::string file = WriteThreeSheets(d.dir.File("名单.xlsx"));
    const std::string lock = host::LockFileName(file);
    const std::string line = "王五,wangwu,office-pc,08.12.2026 11:20,file:///home/wangwu/.config/libreoffice/4;";
    testing_support::WriteFile(lock, line);
    const int tabs = d.Host().WorkbookTabs().count();
    d.TakeMessages();
    d.Toolkit().QueueFile(file);
    d.Toolkit().QueueAnswer(platform::MsgResult::No);
    d.Host().OpenWorkbook();
    std::vector<std::string> shown = d.TakeMessages();
    ASSERT_GE(shown.size(), 1u);
    EXPECT_NE(shown[0].find("“名单.xlsx”正被 王五（LibreOffice 等，计算机 office-pc，08.12.2026 11:20 起）打开修改"),
              std::string::npos)
        << shown[0];
    EXPECT_NE(shown[0].find("是否仍然打开"), std::string::npos) << shown[0];
    EXPECT_EQ(d.Host().WorkbookTabs().count(), tabs);

    d.Toolkit().QueueFile(file);
    d.Toolkit().QueueAnswer(platform::MsgResult::Yes);
    d.Host().OpenWorkbook();
    ASSERT_EQ(d.Host().WorkbookTabs().count(), tabs + 1);
    host::Workbook& book = d.Host().CurrentWorkbookView()->Workbook();
    book.Sheet(1).SetValueAt(5, 1, "改");
    d.TakeMessages();
    EXPECT_TRUE(d.Host().SaveWorkbook(book)) << "the holder the user let past is not asked about again";
    EXPECT_TRUE(d.TakeMessages().empty());
    EXPECT_EQ(testing_support::ReadFile(lock), line) << "another program's lock is never removed";
}
