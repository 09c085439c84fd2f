#include <gtest/gtest.h>

#include <sstream>

#include "cli/ScriptedToolkit.h"

namespace {

using cli::NoAnswerError;
using cli::ScriptedAnswer;
using cli::ScriptedToolkit;
using platform::MsgButtons;
using platform::MsgResult;

struct Harness {
    std::istringstream in;
    std::ostringstream out, err;
    ScriptedToolkit toolkit;

    Harness(ScriptedToolkit::Script script, bool terminal = false, std::string typed = "")
        : in(std::move(typed)),
          toolkit(cli::Console{in, out, err, terminal}, std::move(script), 1u, "/work") {}
};

platform::MessageBoxRequest Box(std::string title, std::string prompt, MsgButtons buttons, int defaultButton = 1) {
    platform::MessageBoxRequest r;
    r.title = std::move(title);
    r.prompt = std::move(prompt);
    r.buttons = buttons;
    r.defaultButton = defaultButton;
    return r;
}

TEST(ScriptedToolkit, QuestionsTakeTheAnswersInOrderAndBoxesArePrinted) {
    Harness h({{ScriptedAnswer::No, ScriptedAnswer::Cancel, ScriptedAnswer::Yes}, {}, {}});
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "第一问？", MsgButtons::YesNo)), MsgResult::No);
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示信息…", "只是通知", MsgButtons::OK)), MsgResult::OK);
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示…", "第二问\n第二行", MsgButtons::YesNoCancel)), MsgResult::Cancel);
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "第三问？", MsgButtons::YesNo)), MsgResult::Yes);
    EXPECT_EQ(h.out.str(), "[提示] 第一问？\n[提示信息…] 只是通知\n[提示…] 第二问\n第二行\n[提示] 第三问？\n");
    EXPECT_TRUE(h.toolkit.Remaining().answers.empty());
}

TEST(ScriptedToolkit, AnOkAnswerMayStandForAnOkBoxButNothingElseIsConsumedByOne) {
    Harness h({{ScriptedAnswer::OK, ScriptedAnswer::Yes}, {}, {}});
    h.toolkit.MessageBox(Box("提示信息…", "一", MsgButtons::OK));   // takes the "ok"
    h.toolkit.MessageBox(Box("提示信息…", "二", MsgButtons::OK));   // leaves the "yes"
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "问？", MsgButtons::YesNo)), MsgResult::Yes);
}

TEST(ScriptedToolkit, AnAnswerThatIsNoButtonOfTheQuestionIsRefused) {
    for (ScriptedAnswer a : {ScriptedAnswer::Cancel, ScriptedAnswer::OK}) {
        Harness h({{a}, {}, {}});
        EXPECT_THROW(h.toolkit.MessageBox(Box("提示", "问？", MsgButtons::YesNo)), cli::ScriptMismatchError);
    }
}

TEST(ScriptedToolkit, WithoutAnswerAndWithoutTerminalEveryDialogStopsNamingIt) {
    Harness h({});
    try {
        h.toolkit.MessageBox(Box("提示", "是否继续？", MsgButtons::YesNo));
        FAIL();
    } catch (const NoAnswerError& e) {
        EXPECT_NE(std::string(e.what()).find("[提示] 是否继续？"), std::string::npos);
    }
    EXPECT_THROW(h.toolkit.InputBox("请输入", "输入", "默认"), NoAnswerError);
    EXPECT_THROW(h.toolkit.OpenFileDialog({"选择花名册", "/", "*.xlsx"}), NoAnswerError);
    // An OK box needs no answer.
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示信息…", "好", MsgButtons::OK)), MsgResult::OK);
}

TEST(ScriptedToolkit, OnATerminalTheQuestionIsAskedUntilAValidAnswerComes) {
    // "c" is no button of a Yes/No question; the empty line takes the default (the second button).
    Harness h({}, true, "c\nn\n\n是\n");
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "一？", MsgButtons::YesNo)), MsgResult::No);
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "二？", MsgButtons::YesNoCancel, 3)), MsgResult::Cancel);
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "三？", MsgButtons::YesNo)), MsgResult::Yes);
    EXPECT_NE(h.out.str().find("(是=y/否=n) "), std::string::npos);
    EXPECT_NE(h.out.str().find("(是=y/否=n/取消=c) "), std::string::npos);
    // The terminal has nothing more to say.
    EXPECT_THROW(h.toolkit.MessageBox(Box("提示", "四？", MsgButtons::YesNo)), NoAnswerError);
}

TEST(ScriptedToolkit, ScriptedAnswersComeBeforeTheTerminal) {
    Harness h({{ScriptedAnswer::No}, {"脚本"}, {}}, true, "y\n手输\n\n");
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "一？", MsgButtons::YesNo)), MsgResult::No);
    EXPECT_EQ(h.toolkit.MessageBox(Box("提示", "二？", MsgButtons::YesNo)), MsgResult::Yes);
    EXPECT_EQ(h.toolkit.InputBox("考号", "输入", "1"), "脚本");
    EXPECT_EQ(h.toolkit.InputBox("考号", "输入", "1"), "手输");
    EXPECT_EQ(h.toolkit.InputBox("考号", "输入", "默认值"), "默认值");
}

TEST(ScriptedToolkit, PicksAreMadeAbsoluteAndAnEmptyPickCancels) {
    Harness h({{}, {}, {"花名册.xlsx", "", "/data/../data/b.xlsx"}});
    EXPECT_EQ(h.toolkit.OpenFileDialog({"选择", "/", ""}), "/work/花名册.xlsx");
    EXPECT_EQ(h.toolkit.OpenFileDialog({"选择", "/", ""}), "");
    EXPECT_EQ(h.toolkit.OpenFileDialog({"选择", "/", ""}), "/data/b.xlsx");
    EXPECT_EQ(h.out.str(), "[选择] 选择文件：/work/花名册.xlsx\n[选择] 取消选择文件\n[选择] 选择文件：/data/b.xlsx\n");
}

TEST(ScriptedToolkit, DocumentsAndProgramsArePrintedNotOpened) {
    Harness h({});
    EXPECT_TRUE(h.toolkit.OpenDocument("/s/Help.chm"));
    EXPECT_TRUE(h.toolkit.StartProgram("explorer.exe /s/考试用表"));
    EXPECT_EQ(h.out.str(), "打开：/s/Help.chm\n运行：explorer.exe /s/考试用表\n");
}

TEST(ScriptedToolkit, ClockIsLocalWallTime) {
    Harness h({});
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    EXPECT_NEAR(h.toolkit.Now(), double(t) + double(local.tm_gmtoff), 5.0);
}

}  // namespace
