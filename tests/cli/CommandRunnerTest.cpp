// The conventions every command shares, run in-process.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"
#include "cli/ExitCode.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "workbook/SystemWorkbook.h"

namespace {

using cli_test::Contains;
using cli_test::InProcess;
using testing_support::TempDir;
namespace fs = std::filesystem;

// A one-sheet workbook file with A1 = `text`.
void WriteWorkbook(const std::string& path, const std::string& text) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    wb.Sheet(1).SetValueAt(1, 1, text);
    wb.SaveAs(path);
}

std::string CellA1(const std::string& path) {
    host::Application app;
    auto wb = host::xlsx::LoadWorkbook(&app, path);
    return host::ToText(wb->Sheet(1).ValueAt(1, 1));
}

TEST(CommandRunner, WithoutArgumentsOrWithHelpItPrintsTheUsage) {
    InProcess p;
    for (auto args : {std::vector<std::string>{}, {"--help"}, {"help"}}) {
        auto r = p.Run(args);
        EXPECT_EQ(r.code, cli::kExitDone);
        EXPECT_TRUE(Contains(r.out, "用法：tolm"));
        for (const char* name : {"dump FILE", "resave IN OUT", "sample DIR", "--answer", "--no-save"})
            EXPECT_TRUE(Contains(r.out, name)) << name;
        EXPECT_EQ(r.err, "");
    }
}

TEST(CommandRunner, VersionIsPrinted) {
    auto r = InProcess().Run({"--version"});
    EXPECT_EQ(r.code, cli::kExitDone);
    EXPECT_EQ(r.out, std::string("tolm ") + TOLM_VERSION + "\n");
}

TEST(CommandRunner, EachCommandHasItsOwnHelpBothWays) {
    InProcess p;
    for (const char* name : {"dump", "resave", "sample"}) {
        auto a = p.Run({"help", name});
        auto b = p.Run({name, "--help"});
        EXPECT_EQ(a.code, cli::kExitDone);
        EXPECT_EQ(a.out, b.out);
        EXPECT_TRUE(Contains(a.out, std::string("用法：tolm ") + name)) << a.out;
    }
}

TEST(CommandRunner, UsageErrorsExitTwoWithTheReasonAndUsageOnStandardError) {
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const Case cases[] = {
        {{"frobnicate"}, "未知的命令“frobnicate”"},
        {{"dump"}, "dump 缺少参数"},
        {{"resave", "a.xlsx"}, "resave 缺少参数"},
        {{"dump", "a.xlsx", "b.xlsx"}, "dump 的参数太多"},
        {{"dump", "a.xlsx", "--bogus"}, "未知的选项“--bogus”"},
        {{"help", "frobnicate"}, "没有命令“frobnicate”"},
        {{"sample", "d", "--answer", "perhaps"}, "perhaps"},
    };
    for (const Case& c : cases) {
        auto r = InProcess().Run(c.args);
        EXPECT_EQ(r.code, cli::kExitUsage) << c.reason;
        EXPECT_TRUE(Contains(r.err, c.reason)) << r.err;
        EXPECT_TRUE(Contains(r.err, "用法：tolm")) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(CommandRunner, AnUnreadableFileExitsFourNamingTheFileAndWritesNothing) {
    TempDir dir;
    testing_support::WriteFile(dir.File("坏.xlsx"), "this is not a zip package");
    InProcess p;
    p.currentFolder = dir.Path().string();
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const Case cases[] = {
        {{"dump", "坏.xlsx"}, dir.File("坏.xlsx")},
        {{"dump", "没有.xlsx"}, dir.File("没有.xlsx")},
        {{"resave", "坏.xlsx", "新.xlsx"}, dir.File("坏.xlsx")},
    };
    for (const Case& c : cases) {
        auto r = p.Run(c.args);
        EXPECT_EQ(r.code, cli::kExitFileError);
        EXPECT_TRUE(Contains(r.err, c.named)) << r.err;
        EXPECT_FALSE(Contains(r.out, "已保存："));
    }
    EXPECT_FALSE(fs::exists(dir.File("新.xlsx")));
    EXPECT_EQ(testing_support::ReadFile(dir.File("坏.xlsx")), "this is not a zip package");
}

TEST(CommandRunner, ResaveWritesOnlyTheTargetAndReportsIt) {
    TempDir dir;
    WriteWorkbook(dir.File("in.xlsx"), "原文");
    std::string before = testing_support::ReadFile(dir.File("in.xlsx"));
    InProcess p;
    p.currentFolder = dir.Path().string();
    auto r = p.Run({"resave", "in.xlsx", "out.xlsx"});
    EXPECT_EQ(r.code, cli::kExitDone) << r.err;
    EXPECT_EQ(r.out, "已保存：" + dir.File("out.xlsx") + "\n");
    EXPECT_EQ(CellA1(dir.File("out.xlsx")), "原文");
    EXPECT_EQ(testing_support::ReadFile(dir.File("in.xlsx")), before);
}

TEST(CommandRunner, ResaveIntoAMissingFolderFailsWithFourAndLeavesNoFile) {
    TempDir dir;
    WriteWorkbook(dir.File("in.xlsx"), "x");
    auto r = InProcess().Run({"resave", dir.File("in.xlsx"), dir.File("无此文件夹/out.xlsx")});
    EXPECT_EQ(r.code, cli::kExitFileError);
    EXPECT_TRUE(Contains(r.err, "out.xlsx")) << r.err;
    EXPECT_FALSE(fs::exists(dir.File("无此文件夹")));
}

TEST(CommandRunner, NoSaveSavesNothing) {
    TempDir dir;
    WriteWorkbook(dir.File("in.xlsx"), "x");
    auto r = InProcess().Run({"--no-save", "resave", dir.File("in.xlsx"), dir.File("out.xlsx")});
    EXPECT_EQ(r.code, cli::kExitDone) << r.err;
    EXPECT_FALSE(Contains(r.out, "已保存："));
    EXPECT_FALSE(fs::exists(dir.File("out.xlsx")));

    auto s = InProcess().Run({"sample", dir.File("样例"), "--no-save"});
    EXPECT_EQ(s.code, cli::kExitDone) << s.err;
    EXPECT_FALSE(fs::exists(dir.File("样例")));
}

TEST(CommandRunner, AQuestionWithoutAnswerExitsThreeAndSavesNothing) {
    TempDir dir;
    WriteWorkbook(dir.File("花名册.xlsx"), "我的花名册");
    std::string before = testing_support::ReadFile(dir.File("花名册.xlsx"));
    auto r = InProcess().Run({"sample", dir.Path().string()});
    EXPECT_EQ(r.code, cli::kExitNoAnswer);
    EXPECT_TRUE(Contains(r.out, "[提示] 文件“" + dir.File("花名册.xlsx") + "”已存在，是否替换？")) << r.out;
    EXPECT_TRUE(Contains(r.err, "是否替换？")) << r.err;
    EXPECT_FALSE(Contains(r.out, "已保存："));
    EXPECT_EQ(testing_support::ReadFile(dir.File("花名册.xlsx")), before);
    EXPECT_FALSE(fs::exists(dir.File("照片")));
}

TEST(CommandRunner, TheScriptedAnswerDecides) {
    TempDir dir;
    WriteWorkbook(dir.File("花名册.xlsx"), "我的花名册");
    auto no = InProcess().Run({"sample", dir.Path().string(), "--answer", "no"});
    EXPECT_EQ(no.code, cli::kExitStopped);
    EXPECT_EQ(CellA1(dir.File("花名册.xlsx")), "我的花名册");

    auto yes = InProcess().Run({"--answer=yes", "sample", dir.Path().string()});
    EXPECT_EQ(yes.code, cli::kExitDone) << yes.err;
    EXPECT_TRUE(Contains(yes.out, "已保存：" + dir.File("花名册.xlsx"))) << yes.out;
    EXPECT_EQ(CellA1(dir.File("花名册.xlsx")), "序号");
}

TEST(CommandRunner, OnATerminalTheQuestionIsAskedThere) {
    TempDir dir;
    WriteWorkbook(dir.File("花名册.xlsx"), "我的花名册");
    InProcess p;
    p.stdinIsTerminal = true;
    p.terminalInput = "n\n";
    auto r = p.Run({"sample", dir.Path().string()});
    EXPECT_EQ(r.code, cli::kExitStopped);
    EXPECT_TRUE(Contains(r.out, "(是=y/否=n) ")) << r.out;
    EXPECT_EQ(CellA1(dir.File("花名册.xlsx")), "我的花名册");
}

TEST(CommandRunner, StartOpensTheWindowOfK6AndSavesTheSystemWorkbookOnlyWhenItsCellsChanged) {
    TempDir dir;
    const std::string system = dir.File("考场编排系统.xlsx");
    InProcess p;
    p.env["TOLM_SYSTEM"] = system;

    auto first = p.Run({"start"});
    ASSERT_EQ(first.code, cli::kExitDone) << first.err;
    EXPECT_TRUE(Contains(first.out, "窗口：设置\n")) << first.out;
    ASSERT_TRUE(fs::exists(system));

    {
        host::Application app;
        host::Workbook* wb = app.Workbooks().Open(system);
        workbook::SheetByCodeName(*wb, workbook::kParameterSheet)->SetValueAt(6, 11, 4);  // K6: the Print window
        wb->Save();
    }
    auto stamp = fs::last_write_time(system);
    auto second = p.Run({"start"});
    ASSERT_EQ(second.code, cli::kExitDone) << second.err;
    EXPECT_TRUE(Contains(second.out, "窗口：打印\n")) << second.out;
    // The Print window writes the 4 that K6 holds already: no cell changed, nothing saved.
    EXPECT_FALSE(Contains(second.out, "已保存：")) << second.out;
    EXPECT_EQ(fs::last_write_time(system), stamp);

    // --system wins over TOLM_SYSTEM.
    auto other = p.Run({"--system", dir.File("另一个.xlsx"), "start"});
    EXPECT_EQ(other.code, cli::kExitDone) << other.err;
    EXPECT_TRUE(fs::exists(dir.File("另一个.xlsx")));
}

}  // namespace
