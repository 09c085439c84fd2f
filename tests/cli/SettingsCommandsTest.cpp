// open-roster, settings, edit and show through the command line, on the
// sample roster; the files on disk are checked after each command.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"
#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemWorkbook.h"

using cli_test::Contains;
using cli_test::Outcome;
using host::Variant;

namespace {

constexpr const char* kBadInput = "[提示信息…] 请输入整数且：\n同桌年级数>0；考场总数>0\n考场组数>0；字段数>=0\n";
constexpr const char* kSettingsOne = "高一\\t设置";

struct SettingsCli {
    testing_support::TempDir dir;
    cli_test::InProcess tolm;
    host::Application app;

    SettingsCli() {
        tolm.env["TOLM_SYSTEM"] = dir.File("系统/考场编排系统.xlsx");
        tolm.currentFolder = dir.Path().string();
        Run({"sample", "data"});
    }
    Outcome Run(std::vector<std::string> args) const { return tolm.Run(args); }
    std::unique_ptr<host::Workbook> Load(const std::string& name) { return host::xlsx::LoadWorkbook(&app, dir.File(name)); }
    std::string Roster() const { return dir.File("data/花名册.xlsx"); }
    std::vector<std::string> StoredParameters() {
        auto system = Load("系统/考场编排系统.xlsx");
        workbook::ParameterCells p(*system);
        return {p.RosterFolder(), p.RosterFileName(), p.Text("K2"), p.Text("K3"), p.Text("K4"), p.Text("K5")};
    }
    std::vector<std::string> SheetNames(const host::Workbook& wb) const {
        std::vector<std::string> names;
        for (const auto& ws : wb.SheetList()) names.push_back(ws->Name());
        return names;
    }
};

TEST(SettingsCommands, OpenRosterRemembersTheRosterAndShowsTheRosterBox) {
    SettingsCli cli;
    Outcome r = cli.Run({"open-roster", "data/花名册.xlsx"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "[请选择花名册…] 选择文件：" + cli.Roster())) << r.out;
    EXPECT_TRUE(Contains(r.out, "工作簿：花名册.xlsx\n年级数：3\n")) << r.out;
    auto stored = cli.StoredParameters();
    EXPECT_EQ(stored[0], cli.dir.File("data"));
    EXPECT_EQ(stored[1], "花名册.xlsx");
    EXPECT_TRUE(std::filesystem::is_directory(cli.dir.File("系统/花名册")));
}

TEST(SettingsCommands, OpenRosterRefusesAWorkbookOfTheSameNameFromAnotherFolder) {
    SettingsCli cli;
    cli.Run({"open-roster", "data/花名册.xlsx"});
    std::filesystem::create_directories(cli.dir.File("别处"));
    std::filesystem::copy_file(cli.Roster(), cli.dir.File("别处/花名册.xlsx"));

    // The Settings window has the stored roster open when the other one is chosen.
    Outcome r = cli.Run({"open-roster", "别处/花名册.xlsx"});

    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.out, "[提示信息…] 不能同时打开同名文件，无论它们是否在同一文件夹中， 要打开第二份文档，"
                                "请关闭已经打开的文档，或者重新命名其中的一个文档。\n"))
        << r.out;
    EXPECT_EQ(cli.StoredParameters()[0], cli.dir.File("data"));
}

TEST(SettingsCommands, OpenRosterSavesAForeignRosterAsXlsxAndSaysWhereAndNeverReplacesOne) {
    SettingsCli cli;
    std::filesystem::copy_file(std::string(TOLM_TEST_DATA) + "/import/roster-gb18030.csv", cli.dir.File("data/名单.csv"));
    const std::string xlsx = cli.dir.File("data/名单.xlsx");

    Outcome r = cli.Run({"open-roster", "data/名单.csv"});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "[提示信息…] 已将“" + cli.dir.File("data/名单.csv") + "”另存为“" + xlsx + "”，以后以它作为花名册。\n"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, "工作簿：名单.xlsx\n年级数：1\n")) << r.out;
    EXPECT_EQ(cli.StoredParameters()[1], "名单.xlsx");
    EXPECT_EQ(cli.SheetNames(*cli.Load("data/名单.xlsx")), std::vector<std::string>{"名单"});

    // Once there, the .xlsx is the user's: a second import is refused, exit 4,
    // and neither the file nor the stored roster changes.
    cli.Run({"open-roster", "data/花名册.xlsx"});
    const std::string before = testing_support::ReadFile(xlsx);
    r = cli.Run({"open-roster", "data/名单.csv"});
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(Contains(r.err, xlsx + "：同一文件夹中已经有这个工作簿，没有替换它")) << r.err;
    EXPECT_EQ(testing_support::ReadFile(xlsx), before);
    EXPECT_EQ(cli.StoredParameters()[1], "花名册.xlsx");
}

TEST(SettingsCommands, SettingsBuildsTheMissingSettingsSheetsAndSavesTheRoster) {
    SettingsCli cli;
    cli.Run({"open-roster", "data/花名册.xlsx"});
    Outcome r = cli.Run({"settings", "--desk-groups", "2", "--rooms", "3", "--fields", "0", "--grades-per-group", "1"});

    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "[提示信息…] 参数已修改并生成相应设置表！\n")) << r.out;
    auto stored = cli.StoredParameters();
    EXPECT_EQ(std::vector<std::string>(stored.begin() + 2, stored.end()),
              (std::vector<std::string>{"2", "1", "3", "0"}));
    auto roster = cli.Load("data/花名册.xlsx");
    EXPECT_EQ(cli.SheetNames(*roster),
              (std::vector<std::string>{"高一", "高二", "高三", "高一\t设置", "高二\t设置", "高三\t设置"}));
    host::Worksheet& ws = roster->Sheet(6);
    EXPECT_EQ(ws.GetRange("K1").Value(), Variant("场人"));
    EXPECT_EQ(ws.GetRange("J5").Value(), Variant("合计"));
    EXPECT_EQ(ws.GetRange("K5").Formula(), "=SUM(K$2:K4)");
    EXPECT_TRUE(ws.ProtectContents());
}

TEST(SettingsCommands, InputsReachTheValidationExactlyAsTyped) {
    SettingsCli cli;
    cli.Run({"settings", "--desk-groups", "4", "--rooms", "10", "--fields", "0", "--grades-per-group", "1"});

    Outcome bad = cli.Run({"settings", "--rooms", "3.5"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(Contains(bad.out, kBadInput)) << bad.out;
    EXPECT_EQ(cli.StoredParameters()[4], "10");

    Outcome spaced = cli.Run({"settings", "--fields", " 12 "});
    EXPECT_EQ(spaced.code, 0) << spaced.out;
    EXPECT_TRUE(Contains(spaced.out, "[提示信息…] 参数修改成功！\n")) << spaced.out;  // no roster chosen yet
    EXPECT_EQ(cli.StoredParameters()[5], "12");

}

TEST(SettingsCommands, TheMismatchQuestionTakesItsAnswerFromTheCommandLine) {
    SettingsCli cli;
    cli.Run({"open-roster", "data/花名册.xlsx"});
    cli.Run({"settings", "--desk-groups", "2", "--rooms", "3", "--fields", "0"});
    cli.Run({"edit", "data/花名册.xlsx", "--sheet", kSettingsOne, "I2=30"});
    const std::string before = testing_support::ReadFile(cli.Roster());

    Outcome unanswered = cli.Run({"settings", "--rooms", "4"});
    EXPECT_EQ(unanswered.code, 3);
    EXPECT_EQ(cli.StoredParameters()[4], "3");  // nothing saved

    Outcome no = cli.Run({"settings", "--rooms", "4", "--answer", "no"});
    EXPECT_EQ(no.code, 0);
    EXPECT_TRUE(Contains(no.out, "[提示] 设置表“高一\t设置,高二\t设置,高三\t设置,”与设置的参数不相符")) << no.out;
    EXPECT_TRUE(Contains(no.out, "[提示信息…] 参数修改成功！\n"));
    EXPECT_EQ(testing_support::ReadFile(cli.Roster()), before);
    EXPECT_EQ(cli.StoredParameters()[4], "4");

    Outcome yes = cli.Run({"settings", "--answer", "yes"});
    EXPECT_EQ(yes.code, 0);
    EXPECT_TRUE(Contains(yes.out, "[提示信息…] 参数已修改并成功初始化设置表！\n")) << yes.out;
    auto roster = cli.Load("data/花名册.xlsx");
    host::Worksheet& rebuilt = roster->Sheet(4);
    EXPECT_EQ(rebuilt.Name(), "高一\t设置");
    EXPECT_TRUE(rebuilt.GetRange("I2").Value().IsEmpty());
    EXPECT_EQ(rebuilt.GetRange("H5").Value(), Variant(4));
}

TEST(SettingsCommands, EditTypesGroupCountsAndTheSumsFollow) {
    SettingsCli cli;
    cli.Run({"open-roster", "data/花名册.xlsx"});
    cli.Run({"settings", "--desk-groups", "2", "--rooms", "3", "--fields", "1"});

    // A real TAB works as well as "\t"; I is the text-formatted extra field.
    Outcome r = cli.Run({"edit", "data/花名册.xlsx", "--sheet", "高一\t设置", "J2=30", "K2=20", "J3=25", "I2=007"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "已保存：" + cli.Roster())) << r.out;

    auto roster = cli.Load("data/花名册.xlsx");
    host::Worksheet& ws = *roster->Worksheets().Find("高一\t设置");
    EXPECT_EQ(ws.GetRange("J2").Value(), Variant(30.0));
    EXPECT_EQ(ws.GetRange("I2").Value(), Variant("007"));
    EXPECT_EQ(ws.GetRange("L2").Value(), Variant(50.0));
    EXPECT_EQ(ws.GetRange("L3").Value(), Variant(25.0));
    EXPECT_EQ(ws.GetRange("L5").Value(), Variant(75.0));

    Outcome shown = cli.Run({"show", "data/花名册.xlsx", "--sheet", kSettingsOne, "--range", "H1:L5"});
    EXPECT_EQ(shown.code, 0);
    EXPECT_EQ(shown.out,
              "工作表：高一\\t设置  区域：H1:L5\n"
              "   H     I    J        K        L\n"
              "1  场号       1组人数  2组人数  场人\n"
              "2  1     007  30       20       50\n"
              "3  2          25                25\n"
              "4  3                            0\n"
              "5                      合计     75\n");
}

// What another program reads from the saved file: openpyxl's cached values
// (data_only) and formulas, printed one per line as CELL=VALUE.
std::string ReadWithOpenpyxl(const SettingsCli& cli, const std::string& sheet, const std::vector<std::string>& cells,
                             bool formulas = false) {
    const std::string script = cli.dir.File("read.py");
    testing_support::WriteFile(script, R"PY(
import sys, openpyxl
path, sheet, data_only = sys.argv[1], sys.argv[2].replace("\\t", "\t"), sys.argv[3] == "values"
ws = openpyxl.load_workbook(path, data_only=data_only)[sheet]
for cell in sys.argv[4:]:
    v = ws[cell].value
    if isinstance(v, float) and v.is_integer():
        v = int(v)
    print(f"{cell}={v}")
)PY");
    std::string command = "/usr/bin/python3 '" + script + "' '" + cli.Roster() + "' '" + sheet + "' " +
                          (formulas ? "formulas" : "values");
    for (const std::string& c : cells) command += " " + c;
    std::string out;
    EXPECT_EQ(testing_support::Run(command + " 2>&1", &out), 0) << out;
    return out;
}

TEST(SettingsCommands, SavedFilesCarryRecalculatedResultsForOtherPrograms) {
    SettingsCli cli;
    cli.Run({"open-roster", "data/花名册.xlsx"});
    cli.Run({"settings", "--desk-groups", "2", "--rooms", "3", "--fields", "0"});  // groups in I:J, sums in K
    EXPECT_EQ(ReadWithOpenpyxl(cli, "高一\t设置", {"K2", "K5"}), "K2=0\nK5=0\n");

    Outcome counts = cli.Run({"edit", "data/花名册.xlsx", "--sheet", kSettingsOne, "I2=30", "J2=20", "I3=25"});
    ASSERT_EQ(counts.code, 0) << counts.err;
    EXPECT_EQ(ReadWithOpenpyxl(cli, "高一\t设置", {"K2", "K3", "K4", "K5"}), "K2=50\nK3=25\nK4=0\nK5=75\n");

    // Formulas typed into a roster sheet: stored as formulas, saved with their results.
    Outcome typed = cli.Run({"edit", "data/花名册.xlsx", "--sheet", "高一", "Z1==2+3", "Z2=='高一\t设置'!K5*2",
                             "Z3==1/0", "Z4==Z1&\"人\"", "Z5==TEXT(Z1,\"0\")"});
    ASSERT_EQ(typed.code, 0) << typed.err;
    EXPECT_TRUE(Contains(typed.out, "高一!Z1 ← =2+3（结果 5）")) << typed.out;
    EXPECT_TRUE(Contains(typed.out, "以下公式无法重新计算，单元格保留原有结果：TEXT\n")) << typed.out;
    EXPECT_EQ(ReadWithOpenpyxl(cli, "高一", {"Z1", "Z2", "Z3", "Z4", "Z5"}),
              "Z1=5\nZ2=150\nZ3=#DIV/0!\nZ4=5人\nZ5=None\n");
    EXPECT_EQ(ReadWithOpenpyxl(cli, "高一", {"Z1", "Z4"}, true), "Z1==2+3\nZ4==Z1&\"人\"\n");

    // A later count moves the sums and the formula on the other sheet.
    ASSERT_EQ(cli.Run({"edit", "data/花名册.xlsx", "--sheet", kSettingsOne, "J4=5"}).code, 0);
    EXPECT_EQ(ReadWithOpenpyxl(cli, "高一\t设置", {"K4", "K5"}), "K4=5\nK5=80\n");
    EXPECT_EQ(ReadWithOpenpyxl(cli, "高一", {"Z2"}), "Z2=160\n");
}

TEST(SettingsCommands, ALockedCellRefusesTheWholeEditAndTheFileStaysAsItWas) {
    SettingsCli cli;
    cli.Run({"open-roster", "data/花名册.xlsx"});
    cli.Run({"settings", "--desk-groups", "2", "--rooms", "3", "--fields", "0"});
    const std::string before = testing_support::ReadFile(cli.Roster());

    Outcome r = cli.Run({"edit", "data/花名册.xlsx", "--sheet", kSettingsOne, "I2=30", "K2=99"});

    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.err, "K2")) << r.err;
    EXPECT_TRUE(Contains(r.err, "锁定")) << r.err;
    EXPECT_EQ(testing_support::ReadFile(cli.Roster()), before);
}

TEST(SettingsCommands, EditAndShowRejectBadArguments) {
    SettingsCli cli;
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string says;
    };
    const Case cases[] = {
        {{"edit", "data/花名册.xlsx", "I2=1"}, 2, "--sheet"},
        {{"edit", "data/花名册.xlsx", "--sheet", "高一", "I2"}, 2, "CELL=VALUE"},
        {{"edit", "data/花名册.xlsx", "--sheet", "高一", "二2=1"}, 2, "单元格地址"},
        {{"edit", "data/花名册.xlsx", "--sheet", "高四", "I2=1"}, 1, "没有工作表“高四”"},
        {{"show", "data/花名册.xlsx", "--sheet", "高四"}, 1, "没有工作表“高四”"},
        {{"show", "data/花名册.xlsx", "--range", "A1:"}, 2, "A1:"},
        {{"show", "data/没有.xlsx"}, 4, "没有.xlsx"},
        // The options belong to their commands only.
        {{"dump", "data/花名册.xlsx", "--sheet", "高一"}, 2, "未知的选项“--sheet”"},
        {{"--rooms", "3", "settings"}, 2, "未知的选项“--rooms”"},
    };
    const std::string before = testing_support::ReadFile(cli.Roster());
    for (const Case& c : cases) {
        Outcome r = cli.Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.says;
        EXPECT_TRUE(Contains(r.err, c.says)) << r.err;
    }
    EXPECT_EQ(testing_support::ReadFile(cli.Roster()), before);
}

TEST(SettingsCommands, ShowIncludesHiddenSheetsAndDefaultsToTheFirstSheet) {
    SettingsCli cli;
    Outcome first = cli.Run({"show", "data/花名册.xlsx", "--range", "A1:E2"});
    EXPECT_EQ(first.code, 0);
    EXPECT_TRUE(Contains(first.out, "工作表：高一  区域：A1:E2\n")) << first.out;
    EXPECT_TRUE(Contains(first.out, "1  序号  学号")) << first.out;

    // A date shows as the sheet shows it, a number in a date-less format as itself.
    {
        host::Application app;
        host::Workbook& wb = app.Workbooks().Add();
        wb.Sheet(1).GetRange("A1").SetValue(Variant(39814.0));
        wb.Sheet(1).GetRange("A1").SetNumberFormat("yyyy/m/d");
        wb.Sheet(1).GetRange("B1").SetValue(Variant(39814.0));
        wb.SaveAs(cli.dir.File("dates.xlsx"));
    }
    Outcome dates = cli.Run({"show", cli.dir.File("dates.xlsx")});
    EXPECT_TRUE(Contains(dates.out, "1  2009/1/1  39814\n")) << dates.out;

    // The service sheets of the system workbook are very hidden.
    cli.Run({"start"});
    Outcome hidden = cli.Run({"show", "系统/考场编排系统.xlsx", "--sheet", "参数", "--range", "K1:K2"});
    EXPECT_EQ(hidden.code, 0) << hidden.err;
    EXPECT_TRUE(Contains(hidden.out, "（深度隐藏）")) << hidden.out;
}

}  // namespace

namespace {

std::string FileBytes(const std::string& path) { return testing_support::ReadFile(path); }

}  // namespace

TEST(SettingsCommands, ARosterNamedAsTheSystemWorkbookIsRefusedAndLeftUntouched) {
    SettingsCli f;
    const std::string before = FileBytes(f.Roster());
    const Outcome o = f.Run({"--system", f.Roster(), "start"});
    EXPECT_EQ(o.code, 4) << o.out << o.err;
    EXPECT_TRUE(Contains(o.err, "不是考场编排系统的系统工作簿")) << o.err;
    EXPECT_EQ(FileBytes(f.Roster()), before);
}

TEST(SettingsCommands, TheSystemWorkbookCannotBeChosenAsTheRoster) {
    SettingsCli f;
    ASSERT_EQ(f.Run({"open-roster", f.Roster()}).code, 0);
    const Outcome o = f.Run({"open-roster", f.dir.File("系统/考场编排系统.xlsx")});
    EXPECT_EQ(o.code, 1) << o.out << o.err;
    EXPECT_TRUE(Contains(o.out, "是考场编排系统的系统工作簿，不能作为花名册")) << o.out;
    // The roster chosen before stays the roster.
    EXPECT_EQ(f.StoredParameters()[1], "花名册.xlsx");
}
