// The GUI as a real X11 window: tolm started on a virtual display shows the
// host window and the Settings window. Skipped where xvfb-run is missing.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

TEST(XvfbSmoke, TolmOpensTheHostWindowAndTheSettingsWindowOnARealDisplay) {
    if (testing_support::Run("command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null") != 0)
        GTEST_SKIP() << "xvfb-run or xwininfo is not installed";
    testing_support::TempDir dir;
    const std::string system = dir.File("考场编排系统.xlsx");
    // Settings of its own, where the user had undocked the tool window: the
    // Settings window is then a window of the display.
    std::filesystem::create_directories(dir.File("config/tolm"));
    testing_support::WriteFile(dir.File("config/tolm/tolm.conf"), "[ToolWindow]\nDocked=false\n");
    const std::string script = TOLM_SOURCE_DIR "/tests/gui/xvfb-smoke.sh";
    std::string out;
    const int code = testing_support::Run("env -u QT_QPA_PLATFORM XDG_CONFIG_HOME='" + dir.File("config") + "' xvfb-run -a sh '" + script + "' '" TOLM_EXE "' '" +
                                              system + "' 2>&1",
                                          &out);
    EXPECT_EQ(code, 0) << out;
    EXPECT_NE(out.find("\"设置\""), std::string::npos) << out;
    EXPECT_TRUE(std::filesystem::exists(system)) << "the system workbook is created at the start";
    EXPECT_TRUE(std::filesystem::exists(dir.File("Help.html"))) << "the user guide beside it";
}
