// The frame of a long command: the host switches restored on every way out,
// and the one way to find the roster or tell the user.
#include <gtest/gtest.h>

#include "RosterCheckFixtures.h"
#include "host/Application.h"
#include "host/HostError.h"
#include <filesystem>

#include "host/Workbook.h"
#include "support/TestSupport.h"
#include "workbook/Context.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/LongCommand.h"
#include "workbook/SystemNames.h"

namespace {

TEST(HostSwitchGuard, TurnsTheSwitchesOffAndShowsTheBusyTextForItsLength) {
    host::Application app;
    {
        workbook::HostSwitchGuard guard(app);
        EXPECT_FALSE(app.ScreenUpdating());
        EXPECT_FALSE(app.DisplayAlerts());
        EXPECT_EQ(app.StatusBar(), std::optional<std::string>(std::string(workbook::kBusyText)));
    }
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_TRUE(app.DisplayAlerts());
    EXPECT_FALSE(app.StatusBar().has_value());
}

TEST(HostSwitchGuard, RestoresWhenTheCommandThrows) {
    host::Application app;
    for (bool fileError : {false, true}) {
        try {
            workbook::HostSwitchGuard guard(app);
            if (fileError) throw host::FileError("/tmp/花名册.xlsx", "不是工作簿");
            throw std::runtime_error("意外");
        } catch (const std::exception&) {
        }
        EXPECT_TRUE(app.ScreenUpdating());
        EXPECT_TRUE(app.DisplayAlerts());
        EXPECT_FALSE(app.StatusBar().has_value());
    }
}

TEST(HostSwitchGuard, WithoutBusyTextLeavesTheStatusBarAlone) {
    host::Application app;
    app.SetStatusBar(std::string("别的文字"));
    {
        workbook::HostSwitchGuard guard(app, workbook::HostSwitchGuard::Status::Unchanged);
        EXPECT_FALSE(app.ScreenUpdating());
    }
    EXPECT_EQ(app.StatusBar(), std::optional<std::string>("别的文字"));
    EXPECT_TRUE(app.ScreenUpdating());
}

struct RosterWorld : coretest::RosterFixture {
    RosterWorld() { host::Application::SetRunning(&app); }
    ~RosterWorld() { host::Application::SetRunning(nullptr); }
};

TEST(RosterOrTell, TheOpenRosterIsFoundWithoutAWord) {
    RosterWorld f;
    EXPECT_EQ(workbook::RosterOrTell(f.component.Context()), &f.roster);
    EXPECT_TRUE(f.toolkit.messages.empty());
}

TEST(RosterOrTell, AMissingRosterIsTheStoredPathMessage) {
    RosterWorld f;
    workbook::ParameterCells(f.system).SetRosterFileName("别的.xlsx");
    EXPECT_EQ(workbook::RosterOrTell(f.component.Context()), nullptr);
    ASSERT_EQ(f.toolkit.messages.size(), 2u);
    EXPECT_EQ(f.toolkit.messages[0].prompt, "目标路径“" + f.dir.Path().string() + "别的.xlsx”不存在！操作中断！");
    EXPECT_EQ(f.toolkit.messages[0].title, "提示信息…");
    // The path message cannot say what is wrong; the second notice does.
    EXPECT_EQ(f.toolkit.messages[1].prompt, "文件夹“" + f.dir.Path().string() + "”中没有“别的.xlsx”（被移动、改名或删除）：请在“设置”窗口中单击“打开 (&O)”重新选择花名册。");

    workbook::ParameterCells(f.system).SetRosterFolder(f.dir.File("搬走了"));
    EXPECT_NE(workbook::MissingRosterExplanation(f.system).find("已不存在"), std::string::npos);
    workbook::ParameterCells(f.system).SetRosterFolder("");
    EXPECT_EQ(workbook::MissingRosterExplanation(f.system).rfind("还没有选择花名册", 0), 0u);
}

TEST(RosterOrTell, AnUnreadableRosterIsAFileErrorNotAMissingPath) {
    RosterWorld f;
    const std::string broken = f.dir.File("坏的.xlsx");
    testing_support::WriteFile(broken, "not a zip");
    workbook::ParameterCells(f.system).SetRosterFileName("坏的.xlsx");
    EXPECT_THROW(workbook::RosterOrTell(f.component.Context()), host::FileError);
    EXPECT_TRUE(f.toolkit.messages.empty());
}

TEST(ResumeNext, SkipsAFailingStepButNeverAnUnreadableFile) {
    int after = 0;
    EXPECT_FALSE(host::ResumeNext([] { throw host::HostError("下标越界"); }));
    EXPECT_TRUE(host::ResumeNext([&] { ++after; }));
    EXPECT_THROW(host::ResumeNext([] { throw host::FileError("/tmp/a.xlsx", "无法作为 zip 打开"); }), host::FileError);
    EXPECT_EQ(after, 1);
}

TEST(RosterOrTell, ARosterRecordedInAnotherFormatBecomesTheXlsxBesideItAfterAsking) {
    // A system workbook from the time rosters were .xls files names one in K1/L1.
    RosterWorld f;
    const std::string xls = f.dir.File("旧名单.xls");
    std::filesystem::copy_file(std::string(TOLM_TEST_DATA) + "/import/roster.xls", xls);
    const std::string original = testing_support::ReadFile(xls);
    workbook::ParameterCells(f.system).SetRosterFileName("旧名单.xls");
    // Opening the windows does not try it as a workbook (which would fail).
    EXPECT_EQ(workbook::OpenRosterWorkbook(f.app, f.system), nullptr);
    EXPECT_TRUE(f.toolkit.messages.empty());

    // Declined: nothing written, nothing recorded, no roster.
    EXPECT_EQ(workbook::RosterOrTell(f.component.Context()), nullptr);
    ASSERT_EQ(f.toolkit.messages.size(), 1u);
    EXPECT_EQ(f.toolkit.messages[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_NE(f.toolkit.messages[0].prompt.find("另存为同一文件夹中的“旧名单.xlsx”"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("旧名单.xlsx")));
    EXPECT_EQ(workbook::ParameterCells(f.system).RosterFileName(), "旧名单.xls");

    f.toolkit.answers = {platform::MsgResult::Yes};
    host::Workbook* roster = workbook::RosterOrTell(f.component.Context());
    ASSERT_NE(roster, nullptr);
    EXPECT_EQ(roster->FullName(), f.dir.File("旧名单.xlsx"));
    EXPECT_EQ(roster->Sheet(1).Name(), "高一");
    EXPECT_EQ(workbook::ParameterCells(f.system).RosterFileName(), "旧名单.xlsx");
    EXPECT_EQ(testing_support::ReadFile(xls), original);
    // From then on it is an ordinary roster: found without a question.
    f.toolkit.messages.clear();
    EXPECT_EQ(workbook::RosterOrTell(f.component.Context()), roster);
    EXPECT_TRUE(f.toolkit.messages.empty());
}

}  // namespace
