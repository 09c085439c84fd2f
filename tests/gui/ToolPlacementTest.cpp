// Where the tool windows stand: the main window docked at the host window's
// right edge by default, the shared window position when the user has
// undocked it, frames kept on the screen, and the user's placement
// remembered for the next run.
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>

#include "GuiTestSupport.h"
#include "gui/WindowPlacement.h"
#include "ui/FrmDaYin.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "workbook/ParameterCells.h"

using guitest::Desktop;
using ui::FrmKCBP;
using ui::FrmSeZhi;

TEST(WindowPlacement, FitIntoMovesAFrameInsideTheAreaAndShrinksOnlyWhatIsTooLarge) {
    const QRect area(0, 0, 800, 600);
    EXPECT_EQ(gui::FitInto({100, 100, 200, 150}, area), QRect(100, 100, 200, 150)) << "inside: unchanged";
    EXPECT_EQ(gui::FitInto({700, 500, 200, 150}, area), QRect(600, 450, 200, 150)) << "pulled back from the corner";
    EXPECT_EQ(gui::FitInto({-30, -10, 200, 150}, area), QRect(0, 0, 200, 150));
    EXPECT_EQ(gui::FitInto({100, 200, 300, 900}, area), QRect(100, 0, 300, 600)) << "too tall: as tall as the area";
    EXPECT_EQ(gui::FitInto({50, 50, 1000, 700}, QRect(20, 30, 800, 560)), QRect(20, 30, 800, 560));
}

TEST(ToolDock, TheMainWindowIsDockedAtTheRightEdgeAndTheGridNarrows) {
    Desktop d;
    d.Start();
    gui::ToolWindowView* settings = d.View(FrmSeZhi::kName);
    ASSERT_NE(settings, nullptr);
    gui::ToolDock* dock = settings->Dock();
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(dock, d.Toolkit().Dock());
    EXPECT_EQ(settings->Frame(), dock);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(dock->IsDocked());
    EXPECT_EQ(d.Host().dockWidgetArea(dock), Qt::RightDockWidgetArea);
    EXPECT_EQ(dock->windowTitle(), "设置");
    // The grid keeps the room left of the dock: nothing of it lies under the window.
    const QWidget* central = d.Host().centralWidget();
    EXPECT_LE(central->geometry().right(), dock->geometry().left());
    EXPECT_GT(central->width(), d.Host().width() / 2);
    EXPECT_GE(dock->width(), settings->PreferredSize().width() / 2);
    const int width = dock->width();

    // The menu moves on inside the dock, at the same width; K6 as always.
    d.ChooseMenu(FrmSeZhi::kName, d.Model<FrmSeZhi>(FrmSeZhi::kName)->BinPai);
    gui::ToolWindowView* arrangement = d.View(FrmKCBP::kName);
    ASSERT_NE(arrangement, nullptr);
    EXPECT_EQ(arrangement->Dock(), dock);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(dock->IsDocked());
    EXPECT_EQ(dock->windowTitle(), "考场编排");
    EXPECT_EQ(dock->width(), width);
    EXPECT_EQ(workbook::ParameterCells(d.Component().System()).WindowCodeNumber(), 3);
    // The Exam-tables window fits the same width: its controls show whole,
    // with no horizontal scroll bar.
    d.ChooseMenu(FrmKCBP::kName, d.Model<FrmKCBP>(FrmKCBP::kName)->HuaMinChe);
    gui::ToolWindowView* tables = d.View(ui::FrmHuaMinChe::kName);
    ASSERT_NE(tables, nullptr);
    guitest::Settle();
    EXPECT_EQ(dock->width(), width);
    EXPECT_EQ(tables->Body()->horizontalScrollBar()->maximum(), 0);
    // So does the Print window with its four buttons.
    d.ChooseMenu(ui::FrmHuaMinChe::kName, d.Model<ui::FrmHuaMinChe>(ui::FrmHuaMinChe::kName)->DaYin);
    gui::ToolWindowView* print = d.View(ui::FrmDaYin::kName);
    ASSERT_NE(print, nullptr);
    guitest::Settle();
    EXPECT_EQ(dock->width(), width);
    EXPECT_EQ(print->Body()->horizontalScrollBar()->maximum(), 0);
    d.ChooseMenu(ui::FrmDaYin::kName, d.Model<ui::FrmDaYin>(ui::FrmDaYin::kName)->BinPai);
    arrangement = d.View(FrmKCBP::kName);
    ASSERT_NE(arrangement, nullptr);
    // Taller than the host window: the body scrolls inside the dock.
    d.Host().resize(900, 420);
    guitest::Settle();
    ASSERT_GT(arrangement->PreferredSize().height(), dock->height()) << "the test needs a window taller than its dock";
    EXPECT_LE(dock->geometry().bottom(), d.Host().height());
    EXPECT_GT(arrangement->Body()->verticalScrollBar()->maximum(), 0);

    // The dock's close box unloads the window; Start brings it back docked.
    dock->close();
    guitest::Settle();
    EXPECT_FALSE(d.Component().AnyWindowOpen());
    EXPECT_FALSE(dock->isVisible());
    EXPECT_EQ(dock->Held(), nullptr);
    d.session->StartAgain();
    guitest::Settle();
    arrangement = d.View(FrmKCBP::kName);
    ASSERT_NE(arrangement, nullptr);
    EXPECT_EQ(arrangement->Dock(), dock);
    EXPECT_TRUE(dock->isVisible() && dock->IsDocked());
}

TEST(ToolDock, UndockedTheNextWindowOpensWhereThePreviousStoodAndStaysOnTheScreen) {
    Desktop d;
    d.Start();
    gui::ToolDock* dock = d.Toolkit().Dock();
    ASSERT_NE(dock, nullptr);
    dock->setFloating(true);
    guitest::Settle();
    EXPECT_FALSE(gui::placement::ToolWindowDocked()) << "the user's choice is remembered";
    dock->move(150, 90);
    guitest::Settle();
    ui::Window* settings = d.View(FrmSeZhi::kName)->Model();
    EXPECT_DOUBLE_EQ(settings->Left(), 150 * d.Toolkit().TwipsPerPixelX());
    EXPECT_DOUBLE_EQ(settings->Top(), 90 * d.Toolkit().TwipsPerPixelY());

    d.ChooseMenu(FrmSeZhi::kName, static_cast<FrmSeZhi*>(settings)->BinPai);
    gui::ToolWindowView* arrangement = d.View(FrmKCBP::kName);
    ASSERT_NE(arrangement, nullptr);
    EXPECT_EQ(arrangement->Frame(), dock);
    EXPECT_TRUE(dock->isFloating());
    EXPECT_TRUE(dock->isVisible());
    const QRect area = gui::AvailableScreenArea(dock);
    EXPECT_EQ(dock->pos().x(), 150);
    EXPECT_TRUE(area.contains(dock->frameGeometry())) << "the tall Arrangement window is cut to the screen";
    if (dock->height() < arrangement->PreferredSize().height())
        EXPECT_GT(arrangement->Body()->verticalScrollBar()->maximum(), 0) << "and scrolls";

    // Left near the screen's corner, the next window is pulled back onto it.
    dock->move(area.right() - 40, area.bottom() - 40);
    guitest::Settle();
    d.ChooseMenu(FrmKCBP::kName, d.Model<FrmKCBP>(FrmKCBP::kName)->HuaMinChe);
    ASSERT_NE(d.View(ui::FrmHuaMinChe::kName), nullptr);
    EXPECT_TRUE(dock->isVisible() && dock->isFloating());
    EXPECT_TRUE(area.contains(dock->frameGeometry()));
}

TEST(ToolDock, TheAboutWindowFloatsOnTopOnTheScreen) {
    Desktop d;
    d.Start();
    d.ChooseMenu(FrmSeZhi::kName, d.Model<FrmSeZhi>(FrmSeZhi::kName)->GuangYu);
    gui::ToolWindowView* about = d.View("frmAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->Dock(), nullptr);
    EXPECT_TRUE(about->isWindow());
    EXPECT_TRUE(about->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(gui::AvailableScreenArea(about).contains(about->frameGeometry()));
    about->close();
    guitest::Settle();
}

TEST(ToolDock, ThePlacementAndTheHostWindowSizeAreRememberedForTheNextRun) {
    {
        Desktop d;
        d.Start();
        gui::ToolDock* dock = d.Toolkit().Dock();
        ASSERT_NE(dock, nullptr);
        dock->setFloating(true);
        dock->resize(420, 380);
        d.Host().resize(780, 560);
        guitest::Settle();
        d.Host().close();
        guitest::Settle();
        EXPECT_FALSE(d.Component().AnyWindowOpen()) << "closing the host window closes the tool window";
    }
    {
        Desktop d(7, true);
        d.Start();
        gui::ToolDock* dock = d.Toolkit().Dock();
        ASSERT_NE(dock, nullptr);
        EXPECT_TRUE(dock->isFloating());
        EXPECT_EQ(dock->size(), QSize(420, 380));
        EXPECT_EQ(d.Host().size(), QSize(780, 560));
        // Docked again, a little wider than at first.
        dock->setFloating(false);
        guitest::Settle();
        d.Host().resizeDocks({dock}, {260}, Qt::Horizontal);
        guitest::Settle();
        EXPECT_EQ(dock->width(), 260);
    }
    Desktop d(7, true);
    d.Start();
    gui::ToolDock* dock = d.Toolkit().Dock();
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->IsDocked());
    EXPECT_EQ(dock->width(), 260);
}

TEST(HostWindow, NeverExtendsPastTheScreen) {
    guitest::ForgetPlacement();
    Desktop d;
    d.Start();
    const QRect area = gui::AvailableScreenArea(&d.Host());
    EXPECT_TRUE(area.contains(d.Host().frameGeometry())) << area.width() << "x" << area.height();
}
