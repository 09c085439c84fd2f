// The Exam-tables window on screen: a click on a template in the list shows
// the template sheet as a tab of the system workbook in the host window;
// option buttons and the check box reach the window model.
#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>

#include "GuiTestSupport.h"
#include "gui/SheetView.h"
#include "gui/WorkbookView.h"
#include "host/Workbook.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/MainWindow.h"

using guitest::Desktop;

namespace {

bool HasSheetTab(gui::HostWindow& host, const std::string& sheet) {
    for (int i = 0; i < host.WorkbookTabs().count(); ++i) {
        auto* wv = qobject_cast<gui::WorkbookView*>(host.WorkbookTabs().widget(i));
        if (!wv) continue;
        for (int k = 0; k < wv->count(); ++k)
            if (wv->tabText(k) == QString::fromStdString(sheet)) return true;
    }
    return false;
}

TEST(ExamTablesView, ChoosingATemplateShowsItsSheetInTheHostWindow) {
    Desktop d;
    d.Start();
    ui::MainWindow& settings = *static_cast<ui::MainWindow*>(d.Toolkit().Views().front()->Model());
    d.ChooseMenu(settings.Name(), settings.HuaMinChe);
    auto* w = d.Model<ui::FrmHuaMinChe>(ui::FrmHuaMinChe::kName);
    ASSERT_NE(w, nullptr);
    gui::ToolWindowView* view = d.View(ui::FrmHuaMinChe::kName);
    auto* list = qobject_cast<QListWidget*>(view->WidgetOf(w->List1));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 5);
    EXPECT_FALSE(HasSheetTab(d.Host(), "桌贴"));

    list->item(2)->setSelected(true);
    guitest::Settle();
    EXPECT_EQ(w->List1.Text(), "桌贴");
    EXPECT_TRUE(HasSheetTab(d.Host(), "桌贴"));
    EXPECT_EQ(w->Text1.Text(), "90");

    auto* leftToRight = qobject_cast<QRadioButton*>(view->WidgetOf(w->Option2));
    ASSERT_NE(leftToRight, nullptr);
    leftToRight->click();
    guitest::Settle();
    EXPECT_TRUE(w->Option2.Value());
    EXPECT_FALSE(w->Option1.Value());
    auto* titleRow = qobject_cast<QCheckBox*>(view->WidgetOf(w->Check1));
    ASSERT_NE(titleRow, nullptr);
    titleRow->click();
    guitest::Settle();
    EXPECT_EQ(w->Check1.Value(), ui::vbChecked);

    // Another template: the first one goes back out of sight.
    list->item(0)->setSelected(true);
    guitest::Settle();
    EXPECT_EQ(w->List1.Text(), "考场座位表");
    EXPECT_TRUE(HasSheetTab(d.Host(), "考场座位表"));
    EXPECT_FALSE(HasSheetTab(d.Host(), "桌贴"));
}

}  // namespace
