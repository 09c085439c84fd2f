#include <gtest/gtest.h>

#include "CoreFixtures.h"
#include "FakeToolkit.h"
#include "ui/Component.h"
#include "entry/TolmDll.h"
#include "host/HostError.h"
#include "ui/FrmDaYin.h"
#include "ui/MainWindow.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemNames.h"

using host::Variant;

namespace {

const std::string kPassword(workbook::kSheetPassword);

class EntryTest : public ::testing::Test {
protected:
    host::Application app;
    host::Workbook& system = coretest::AddSystemWorkbook(app);
    host::Worksheet& front = system.Sheet(1);
    host::Worksheet& params = system.Sheet(2);
    coretest::FakeToolkit toolkit;
    ui::Component component{toolkit};
    entry::TolmDll dll{component};

    EntryTest() { host::Application::SetRunning(&app); }
    ~EntryTest() override { host::Application::SetRunning(nullptr); }

    std::string OpenWindowNames() const {
        std::string names;
        for (ui::Window* w : component.OpenWindows()) names += w->Name() + ";";
        return names;
    }
};

TEST_F(EntryTest, WKopenBindsHostAndActiveWorkbook) {
    host::Workbook& other = app.Workbooks().Add();
    system.Activate();
    system.SetRemovePersonalInformation(true);
    dll.WKopen();
    EXPECT_EQ(component.Application(), &app);
    EXPECT_EQ(component.SystemWorkbook(), &system);
    EXPECT_NE(component.SystemWorkbook(), &other);
    EXPECT_FALSE(system.RemovePersonalInformation());
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_TRUE(app.DisplayAlerts());
    EXPECT_TRUE(app.DisplayStatusBar());
}

TEST_F(EntryTest, WKopenHidesServiceSheetsAndLocksTheFrontSheet) {
    ASSERT_FALSE(front.ProtectContents());
    front.SetScrollArea("A1:Z100");
    front.SetActiveCell({3, 2});
    dll.WKopen();
    EXPECT_EQ(front.Visible(), host::xlSheetVisible);
    for (int i = 2; i <= system.SheetCount(); ++i) EXPECT_EQ(system.Sheet(i).Visible(), host::xlSheetVeryHidden);
    EXPECT_TRUE(front.ProtectContents());
    EXPECT_TRUE(front.CheckPassword(kPassword));
    EXPECT_FALSE(front.CheckPassword("wrong"));
    EXPECT_EQ(front.ScrollArea(), "F6");
    EXPECT_EQ(front.ActiveCell(), (host::CellRef{6, 6}));
    EXPECT_EQ(system.ActiveSheet(), &front);
}

TEST_F(EntryTest, WKopenGoesOnPastAFrontSheetWithAnotherPassword) {
    front.Protect("其他密码");
    EXPECT_NO_THROW(dll.WKopen());
    // Unprotect failed and was skipped; the later steps still ran.
    EXPECT_TRUE(front.ProtectContents());
    EXPECT_EQ(front.ScrollArea(), "F6");
    EXPECT_EQ(params.Visible(), host::xlSheetVeryHidden);
    EXPECT_TRUE(app.DisplayAlerts());
}

TEST_F(EntryTest, WKopenWithoutFrontSheetStillHidesAndRestoresSwitches) {
    front.SetCodeName("Front");
    EXPECT_NO_THROW(dll.WKopen());
    EXPECT_FALSE(front.ProtectContents());  // no sheet is the front sheet now
    EXPECT_EQ(params.Visible(), host::xlSheetVeryHidden);
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_TRUE(app.DisplayAlerts());
}

TEST_F(EntryTest, WKopenWithoutRunningHostLeavesEverythingUnbound) {
    host::Application::SetRunning(nullptr);
    EXPECT_NO_THROW(dll.WKopen());
    EXPECT_EQ(component.Application(), nullptr);
    EXPECT_EQ(component.SystemWorkbook(), nullptr);
    EXPECT_THROW(dll.Start(), host::HostError);
    EXPECT_FALSE(component.AnyWindowOpen());
}

TEST_F(EntryTest, WindowPositionFromScreenMetrics) {
    struct Case {
        double width, height, tppX, tppY;
        int32_t left, top;
    };
    const Case cases[] = {
        {28800, 16200, 15, 15, 960, 355},   // 1920×1080: (16200-5550)/15 = 710
        {20480, 11520, 15, 15, 682, 199},   // 1365.33 px → 1365 div 2; 398 div 2
        {19200, 5000, 15, 15, 640, -18},    // shorter than 5550: -550 div 15 = -36, div 2
        {19200, 4000, 15, 15, 640, -51},    // -103 div 2 truncates toward zero
        {19200, 5549, 15, 15, 640, 0},      // -1 div 15 truncates to 0
        {28800, 16200, 12.5, 12.5, 1200, 443},  // R(12.5) = 12: 28800 div 12 = 2400; 10650 div 12 = 887
        {28800, 16200, 13.5, 13.5, 1028, 380},  // R(13.5) = 14: 2057 div 2; 760 div 2
    };
    for (const Case& c : cases) {
        toolkit.screenWidth = c.width;
        toolkit.screenHeight = c.height;
        toolkit.twipsPerPixelX = c.tppX;
        toolkit.twipsPerPixelY = c.tppY;
        dll.WKopen();
        EXPECT_EQ(component.WindowLeft(), c.left) << c.width << "×" << c.height << " @" << c.tppX;
        EXPECT_EQ(component.WindowTop(), c.top) << c.width << "×" << c.height << " @" << c.tppY;
    }
}

TEST_F(EntryTest, ZeroTwipsPerPixelSkipsOnlyThatStep) {
    dll.WKopen();
    const int32_t top = component.WindowTop();
    toolkit.twipsPerPixelY = 0.4;  // rounds to 0
    toolkit.screenWidth = 9600;
    dll.WKopen();
    EXPECT_EQ(component.WindowTop(), top);
    EXPECT_EQ(component.WindowLeft(), 320);
}

TEST_F(EntryTest, StartOpensTheWindowNamedByK6) {
    struct Case {
        Variant k6;
        std::string window;
        Variant written;
    };
    const Case cases[] = {
        {Variant(), "FrmSeZhi", Variant("")},
        {Variant(0), "FrmSeZhi", Variant("")},
        {Variant(1), "FrmSeZhi", Variant("")},
        {Variant(5), "FrmSeZhi", Variant("")},
        {Variant("打印"), "FrmSeZhi", Variant("")},
        {Variant(2), "FrmHuaMinChe", Variant(2)},
        {Variant("2"), "FrmHuaMinChe", Variant(2)},
        {Variant(" 3 "), "FrmKCBP", Variant(3)},
        {Variant("4号"), "FrmDaYin", Variant(4)},
        {Variant(4.0), "FrmDaYin", Variant(4)},
        {Variant(3.5), "FrmSeZhi", Variant("")},
    };
    dll.WKopen();
    for (const Case& c : cases) {
        params.SetValueAt(6, 11, c.k6);
        toolkit.shown.clear();
        dll.Start();
        EXPECT_EQ(OpenWindowNames(), c.window + ";") << host::ToText(c.k6);
        ASSERT_EQ(toolkit.shown.size(), 1u);
        EXPECT_EQ(toolkit.shown[0].window, c.window);
        EXPECT_FALSE(toolkit.shown[0].modal);
        EXPECT_EQ(params.ValueAt(6, 11), c.written) << host::ToText(c.k6);
        for (ui::Window* w : std::vector<ui::Window*>(component.OpenWindows())) w->Unload();
        component.CollectUnloaded();
    }
}

TEST_F(EntryTest, StartWhileAWindowIsOpenDoesNothing) {
    dll.WKopen();
    params.SetValueAt(6, 11, Variant(4));
    dll.Start();
    ASSERT_EQ(OpenWindowNames(), "FrmDaYin;");
    params.SetValueAt(6, 11, Variant(3));
    toolkit.shown.clear();
    toolkit.placements.clear();
    dll.Start();
    entry::TolmDll second(component);  // another object of the same component sees the same windows
    second.Start();
    EXPECT_EQ(OpenWindowNames(), "FrmDaYin;");
    EXPECT_TRUE(toolkit.shown.empty());
    EXPECT_TRUE(toolkit.placements.empty());
    EXPECT_EQ(params.ValueAt(6, 11), Variant(3));
}

TEST_F(EntryTest, StartPlacesTheWindowTopmostAtTheSharedPosition) {
    toolkit.screenHeight = 5000;
    dll.WKopen();
    dll.Start();
    ASSERT_EQ(toolkit.placements.size(), 1u);
    EXPECT_EQ(toolkit.placements[0].window, "FrmSeZhi");
    EXPECT_EQ(toolkit.placements[0].left, 960);
    EXPECT_EQ(toolkit.placements[0].top, -18);
    ui::Window* w = component.OpenWindow("FrmSeZhi");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Left(), 960 * 15);
    EXPECT_EQ(w->Top(), -18 * 15);
    EXPECT_EQ(w->Height(), 5550);
}

TEST_F(EntryTest, StartWithoutParameterSheetFails) {
    dll.WKopen();
    params.SetCodeName("Parameters");
    EXPECT_THROW(dll.Start(), host::HostError);
    EXPECT_FALSE(component.AnyWindowOpen());
}

}  // namespace
