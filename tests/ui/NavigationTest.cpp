#include <gtest/gtest.h>

#include "CoreFixtures.h"
#include "FakeToolkit.h"
#include "support/TestSupport.h"
#include "ui/Component.h"
#include "entry/TolmDll.h"
#include "ui/FrmDaYin.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "ui/frmAbout.h"

using host::Variant;

namespace {

class NavigationTest : public ::testing::Test {
protected:
    host::Application app;
    host::Workbook& system = coretest::AddSystemWorkbook(app);
    host::Worksheet& params = system.Sheet(2);
    coretest::FakeToolkit toolkit;
    ui::Component component{toolkit};

    NavigationTest() {
        host::Application::SetRunning(&app);
        entry::TolmDll dll(component);
        dll.WKopen();
        dll.Start();
    }
    ~NavigationTest() override { host::Application::SetRunning(nullptr); }

    ui::MainWindow& Current() {
        EXPECT_EQ(component.OpenWindows().size(), 1u);
        return dynamic_cast<ui::MainWindow&>(*component.OpenWindows().front());
    }
};

TEST_F(NavigationTest, MovedSettingsWindowHandsItsPlaceToThePrintWindow) {
    ui::MainWindow& settings = Current();
    ASSERT_EQ(settings.Name(), "FrmSeZhi");
    settings.SetLeft(3007);  // the user dragged it: twips as the view reports them
    settings.SetTop(1492);
    settings.DaYin_Click();
    ui::MainWindow& print = Current();
    EXPECT_EQ(print.Name(), "FrmDaYin");
    EXPECT_EQ(toolkit.unloaded, std::vector<std::string>{"FrmSeZhi"});
    ASSERT_FALSE(toolkit.placements.empty());
    EXPECT_EQ(toolkit.placements.back().window, "FrmDaYin");
    EXPECT_EQ(toolkit.placements.back().left, 200);  // 3007 div 15
    EXPECT_EQ(toolkit.placements.back().top, 99);    // 1492 div 15
    EXPECT_EQ(params.ValueAt(6, 11), Variant(4));
    component.CollectUnloaded();
    EXPECT_EQ(component.OpenWindows().size(), 1u);
}

TEST_F(NavigationTest, TheItemNamingTheWindowItselfDoesNothing) {
    ui::MainWindow& settings = Current();
    const size_t shown = toolkit.shown.size();
    params.SetValueAt(6, 11, Variant("手改"));
    settings.SeZhi_Click();
    EXPECT_EQ(&Current(), &settings);
    EXPECT_EQ(toolkit.shown.size(), shown);
    EXPECT_TRUE(toolkit.unloaded.empty());
    EXPECT_EQ(params.ValueAt(6, 11), Variant("手改"));
}

TEST_F(NavigationTest, EveryMenuTargetWritesItsCode) {
    Current().BinPai_Click();
    EXPECT_EQ(Current().Name(), "FrmKCBP");
    EXPECT_EQ(params.ValueAt(6, 11), Variant(3));
    Current().HuaMinChe_Click();
    EXPECT_EQ(Current().Name(), "FrmHuaMinChe");
    EXPECT_EQ(params.ValueAt(6, 11), Variant(2));
    Current().SeZhi_Click();
    EXPECT_EQ(Current().Name(), "FrmSeZhi");
    EXPECT_EQ(host::ToText(params.ValueAt(6, 11)), "");
    EXPECT_EQ(toolkit.unloaded, (std::vector<std::string>{"FrmSeZhi", "FrmKCBP", "FrmHuaMinChe"}));
}

TEST_F(NavigationTest, ClosingAWindowRecordsNothing) {
    Current().DaYin_Click();
    const int32_t left = component.WindowLeft();
    Current().SetLeft(9000);
    Current().Unload();
    EXPECT_EQ(component.WindowLeft(), left);
    EXPECT_EQ(params.ValueAt(6, 11), Variant(4));
    entry::TolmDll(component).Start();  // the next start reopens the last window where it stood
    EXPECT_EQ(Current().Name(), "FrmDaYin");
    EXPECT_EQ(toolkit.placements.back().left, left);
}

TEST_F(NavigationTest, MissingHelpFileDoesNothing) {
    testing_support::TempDir dir;
    system.SetFileName(dir.File("考场编排系统.xlsx"));
    Current().HelpWord_Click();
    EXPECT_TRUE(toolkit.documents.empty());
    EXPECT_TRUE(toolkit.messages.empty());
    testing_support::WriteFile(dir.File("Help.chm"), "chm");
    Current().HelpWord_Click();
    EXPECT_EQ(toolkit.documents, std::vector<std::string>{dir.File("Help.chm")});
}

TEST_F(NavigationTest, HelpThatNoProgramOpensIsToldOnce) {
    testing_support::TempDir dir;
    system.SetFileName(dir.File("考场编排系统.xlsx"));
    testing_support::WriteFile(dir.File("Help.chm"), "chm");
    toolkit.failOpen = true;
    Current().HelpWord_Click();
    Current().LjHelp_Click();
    ASSERT_EQ(toolkit.messages.size(), 2u);
    EXPECT_EQ(toolkit.messages[0].prompt.rfind("无法打开帮助文档“" + dir.File("Help.chm") + "”：", 0), 0u) << toolkit.messages[0].prompt;
    EXPECT_EQ(toolkit.messages[1].prompt.rfind(std::string("无法打开联机帮助 ") + ui::kOnlineHelpAddress, 0), 0u);
    EXPECT_EQ(toolkit.messages[1].icon, platform::MsgIcon::Exclamation);
    // Opened: no word.
    toolkit.failOpen = false;
    Current().LjHelp_Click();
    EXPECT_EQ(toolkit.messages.size(), 2u);
}

TEST_F(NavigationTest, AboutIsModalAndOffsetFromTheWindowPosition) {
    Current().GuangYu_Click();
    ASSERT_FALSE(toolkit.shown.empty());
    EXPECT_EQ(toolkit.shown.back().window, "frmAbout");
    EXPECT_TRUE(toolkit.shown.back().modal);
    EXPECT_EQ(toolkit.placements.back().left, component.WindowLeft() + 50);
    EXPECT_EQ(toolkit.placements.back().top, component.WindowTop() + 50);
    auto* about = dynamic_cast<ui::frmAbout*>(component.OpenWindow("frmAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_NE(about->lblVersion.Caption().find(ui::ProductVersion()), std::string::npos);
    about->cmdOK_Click();
    EXPECT_EQ(component.OpenWindow("frmAbout"), nullptr);
    EXPECT_EQ(params.ValueAt(6, 11), Variant(""));  // the About window has no window code
}

}  // namespace
