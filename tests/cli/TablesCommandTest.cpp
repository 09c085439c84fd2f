// tolm template and tolm tables through the command line, on a small roster
// written by the test: two grades sharing two rooms of two desk groups, every
// candidate with a photo but one, arranged in ascending student-number order.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <map>
#include <tuple>

#include "CliTestSupport.h"
#include "cli/Portrait.h"
#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/FakeToolkit.h"
#include "support/TestSupport.h"
#include "entry/Session.h"
#include "entry/TolmDll.h"
#include "ui/Component.h"
#include "ui/FrmHuaMinChe.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemWorkbook.h"

using cli_test::Contains;
using cli_test::Outcome;
using host::Variant;

namespace {

namespace fs = std::filesystem;

const std::string kRoster = "花名册.xlsx";

struct Candidate {
    const char* number;
    const char* name;
    const char* klass;
};

// 高一: 6 candidates; 高二: 4. Photos in 照片/<grade>/<学号>.jpg, written with
// the folder as a Windows path ("照片\高一"); 1006 has none.
const std::vector<Candidate> kFirst = {{"1001", "赵一", "1班"}, {"1002", "钱二", "2班"}, {"1003", "孙三", "1班"},
                                       {"1004", "李四", "2班"}, {"1005", "周五", "1班"}, {"1006", "吴六", "2班"}};
const std::vector<Candidate> kSecond = {{"2001", "郑甲", "1班"}, {"2002", "王乙", "2班"}, {"2003", "冯丙", "1班"},
                                        {"2004", "陈丁", "2班"}};

struct Scenario {
    testing_support::TempDir dir;
    cli_test::InProcess tolm;

    // `desks`: "s" or "sequential" arrangement; `first`: 高一's desks in
    // groups 1 and 2 of each room (高二 has one desk in each group).
    explicit Scenario(const std::string& desks = "s", std::pair<int, int> first = {2, 1}) {
        tolm.env["TOLM_SYSTEM"] = dir.File("系统.xlsx");
        tolm.currentFolder = dir.Path().string();
        WriteRoster();
        Check(Run({"open-roster", kRoster}));
        Check(Run({"settings", "--desk-groups", "2", "--rooms", "2", "--grades-per-group", "2"}));
        // Room table from H1: I = group 1, J = group 2; rooms in rows 2 and 3.
        const std::string g1 = std::to_string(first.first), g2 = std::to_string(first.second);
        Check(Run({"edit", kRoster, "--sheet", "高一\\t设置", "I2=" + g1, "J2=" + g2, "I3=" + g1, "J3=" + g2}));
        Check(Run({"edit", kRoster, "--sheet", "高二\\t设置", "I2=1", "J2=1", "I3=1", "J3=1"}));
        Check(Run({"arrange", "--order", "asc", "--key", "学号", "--desks", desks, "--number", "1", "--first", "1"}));
    }
    void WriteRoster() {
        host::Application app;
        host::Workbook& wb = app.Workbooks().Add();
        auto fill = [&](host::Worksheet& ws, const std::vector<Candidate>& list, const std::string& grade) {
            const char* titles[] = {"学号", "姓名", "班级", "照片", "照片夹"};
            for (int c = 0; c < 5; ++c) ws.Cells(1, c + 1).SetValue(Variant(titles[c]));
            fs::create_directories(dir.Path() / "照片" / grade);
            for (size_t i = 0; i < list.size(); ++i) {
                const int32_t r = int32_t(i) + 2;
                ws.Cells(r, 1).SetValue(Variant(list[i].number));
                ws.Cells(r, 2).SetValue(Variant(list[i].name));
                ws.Cells(r, 3).SetValue(Variant(list[i].klass));
                ws.Cells(r, 4).SetValue(Variant(list[i].number));
                ws.Cells(r, 5).SetValue(Variant("照片\\" + grade));
                if (std::string(list[i].number) != "1006")
                    cli::WriteBinaryFile((dir.Path() / "照片" / grade / (std::string(list[i].number) + ".jpg")).string(),
                                         cli::EncodeJpeg(cli::DrawPortrait(i, false), 70));
            }
        };
        wb.Sheet(1).SetName("高一");
        fill(wb.Sheet(1), kFirst, "高一");
        host::Worksheet& second = wb.Worksheets().Add(&wb.Sheet(1));
        second.SetName("高二");
        fill(second, kSecond, "高二");
        wb.SaveAs(dir.File(kRoster));
    }
    Outcome Run(const std::vector<std::string>& args) const { return tolm.Run(args); }
    static void Check(const Outcome& o) { ASSERT_EQ(o.code, 0) << o.out << o.err; }
    std::string Folder() const { return dir.File(kRoster + "考试用表"); }
    std::unique_ptr<host::Workbook> Load(const std::string& file, host::Application& app) const {
        return host::xlsx::LoadWorkbook(&app, file);
    }
};

// The values of a sheet as lines "row: v1|v2|…" for the used rows, empty cells as "".
std::vector<std::string> Lines(const host::Worksheet& ws) {
    std::vector<std::string> lines;
    const host::Rect used = ws.UsedRect();
    for (int32_t r = 1; r <= used.bottom; ++r) {
        std::string line;
        int32_t last = 0;
        for (int32_t c = 1; c <= used.right; ++c)
            if (!host::ToText(ws.ValueAt(r, c)).empty()) last = c;
        for (int32_t c = 1; c <= last; ++c) line += (c > 1 ? "|" : "") + host::ToText(ws.ValueAt(r, c));
        lines.push_back(line);
    }
    return lines;
}

int32_t FirstTitled(const host::Worksheet& ws, const std::string& title) {
    for (int32_t c = 1; c <= ws.UsedRect().right; ++c)
        if (host::ToText(ws.ValueAt(1, c)) == title) return c;
    return 0;
}

// The exam-table workbook the command reports as saved (the roster and the
// system workbook are reported too, before the completion message).
std::string SavedFile(const Outcome& o) {
    const std::string tag = "已保存：";
    std::string first;
    for (size_t at = o.out.find(tag); at != std::string::npos; at = o.out.find(tag, at + 1)) {
        const size_t end = o.out.find('\n', at);
        const std::string file = o.out.substr(at + tag.size(), end - at - tag.size());
        if (Contains(file, "考试用表/")) return file;
        if (first.empty()) first = file;
    }
    return first;
}

// Template sheets written into a workbook of their own for `template import`:
// each a list of (cell, text) pairs.
using Cells = std::vector<std::pair<const char*, const char*>>;
void WriteTemplates(const std::string& file, const std::vector<std::pair<std::string, Cells>>& sheets) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    for (size_t i = 0; i < sheets.size(); ++i) {
        host::Worksheet& ws = i == 0 ? wb.Sheet(1) : wb.Worksheets().Add(&wb.Sheet(wb.SheetCount()));
        ws.SetName(sheets[i].first);
        for (const auto& [cell, text] : sheets[i].second) ws.GetRange(cell).SetValue(Variant(text));
    }
    wb.SaveAs(file);
}

// A body of two rows (column titles, then 考号 and 姓名) between "#" rows 3 and 4, end marker D3.
Cells Body(Cells more = {}) {
    Cells c = {{"A3", "#"}, {"D3", "#"}, {"A4", "#"}, {"B3", "考号"}, {"C3", "姓名"}, {"B4", "[考号]"}, {"C4", "[姓名]"}};
    c.insert(c.end(), more.begin(), more.end());
    return c;
}

// Every check of the generation stops it with its message, in the order the
// checks run, and exit code 1; no exam-table workbook is written.
TEST(TablesCommand, EveryCheckStopsWithItsMessage) {
    Scenario s;
    WriteTemplates(s.dir.File("模板.xlsx"),
                   {{"无主体", {{"A1", "#"}, {"C1", "#"}, {"B2", "[姓名]"}}},
                    {"缺结束", {{"A3", "#"}, {"B3", "#"}, {"A4", "#"}}},
                    {"未知字段", {{"A3", "#"}, {"D3", "#"}, {"A5", "#"}, {"B3", "考号"}, {"C3", "姓名"}, {"B4", "[考号]"},
                                 {"C4", "[姓名]"}, {"B5", "[电话]"}, {"C5", "{相片}"}}},
                    {"仅一行", {{"A3", "#"}, {"C3", "#"}, {"B3", "[姓名]"}}},
                    {"首行字段", {{"A3", "#"}, {"D3", "#"}, {"A4", "#"}, {"C3", "{照片}"}, {"B4", "[姓名]"}}},
                    {"首行为空", {{"A3", "#"}, {"D3", "#"}, {"A4", "#"}, {"B4", "[姓名]"}}},
                    {"标题缺结束", Body({{"A1", "@"}, {"A2", "@"}, {"C1", "@"}})},
                    {"标题字段", Body({{"A2", "@"}, {"F2", "@"}, {"B2", "[年级]"}, {"C2", "[场号]"}})},
                    {"标题太窄", Body({{"A2", "@"}, {"C2", "@"}, {"B2", "[场号]"}})}});
    for (const char* name : {"无主体", "缺结束", "未知字段", "仅一行", "首行字段", "首行为空", "标题缺结束", "标题字段", "标题太窄"})
        Scenario::Check(s.Run({"template", "import", "模板.xlsx", "--sheet", name}));

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--template", "无主体"}, "《无主体》模板表中，缺少主体区，请检查！"},
        {{"--template", "缺结束"}, "《缺结束》模板中，第3行缺少结束标志：#，请检查！"},
        {{"--template", "未知字段"}, "《花名册.xlsx》部分花名册工作表不存在主体区字段：相片,电话,请检查！"},
        {{"--template", "仅一行", "--title-row", "yes"}, "你勾选了“主体区第一行是列标题”，但主体区仅有一行，请检查！"},
        {{"--template", "首行字段", "--title-row", "yes"}, "你勾选了“主体区第一行是列标题”，但主体区第一行存在字段，请检查！"},
        {{"--template", "首行为空", "--title-row", "yes"}, "你勾选了“主体区第一行是列标题”，但主体区第一行为空，请检查！"},
        {{"--template", "标题缺结束"}, "《标题缺结束》模板中，第2行缺少结束标志：@，请检查！"},
        {{"--template", "标题字段"}, "《花名册.xlsx》部分花名册工作表不存在标题区字段：年级,请检查！"},
        {{"--template", "标题太窄", "--partition", "场号", "--sort", "考号"},
         "《标题太窄》模板中，标题区宽度（1列）小于主体区宽度（2列），每行放不下一条记录，请检查！"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> line = {"tables"};
        line.insert(line.end(), args.begin(), args.end());
        Outcome o = s.Run(line);
        EXPECT_EQ(o.code, 1) << args[1] << "\n" << o.out << o.err;
        EXPECT_TRUE(Contains(o.out, "[提示信息…] " + message + "\n")) << args[1] << "\n" << o.out;
        EXPECT_FALSE(Contains(o.out, "运行程序结束")) << o.out;
    }
    EXPECT_FALSE(fs::exists(s.Folder())) << "no exam-table folder for a stopped generation";

    // The options row is written first, even when a later check stops the command.
    Outcome listed = s.Run({"template", "list"});
    EXPECT_TRUE(Contains(listed.out, "标题太窄  分区字段：场号  排序字段：考号")) << listed.out;
}

TEST(TablesCommand, StoredFieldsTheRosterLacksAndAMissingRoster) {
    Scenario s;
    // The fields chosen in the window are looked up again in the lists as
    // refilled from the roster: a column gone since the window loaded stops
    // the generation.
    {
        host::Application app;
        host::Application::SetRunning(&app);
        coretest::FakeToolkit toolkit;
        entry::OpenSystemWorkbook(app, s.dir.File("系统.xlsx"));
        ui::Component component(toolkit);
        entry::TolmDll(component).WKopen();
        auto& w = dynamic_cast<ui::FrmHuaMinChe&>(ui::ShowMainWindow(component, workbook::WindowCode::ExamTables));
        ASSERT_TRUE(w.SelectTemplate("考场门贴"));
        host::Workbook* roster = app.Workbooks().Find(kRoster);
        ASSERT_NE(roster, nullptr);
        for (const auto& [column, partition, message] :
             std::vector<std::tuple<std::string, bool, std::string>>{
                 {"学号", true, "《花名册.xlsx》部分花名册工作表不存在分区字段：学号，请检查！"},
                 {"照片", false, "《花名册.xlsx》部分花名册工作表不存在排序字段：照片，请检查！"}}) {
            w.Combo1.Choose(0);
            ui::ComboBox& list = partition ? w.Combo1 : w.Combo2;
            for (int i = 0; i < list.ListCount(); ++i)
                if (list.List(i) == column) list.Choose(i);
            ASSERT_EQ(list.Text(), column);
            for (host::Worksheet* ws : {roster->SheetByName("高一"), roster->SheetByName("高二")})
                ws->Cells(1, FirstTitled(*ws, column)).SetValue(Variant(column + "（旧）"));
            toolkit.messages.clear();
            w.Command4.Click();
            EXPECT_EQ(w.LastOutcome().kind, workbook::Outcome::Kind::Stopped);
            ASSERT_FALSE(toolkit.messages.empty());
            EXPECT_EQ(toolkit.messages.back().prompt, message);
            EXPECT_EQ(toolkit.messages.back().title, "提示信息…");
            // The lists as refilled from the roster; the none entry first.
            EXPECT_EQ(w.Combo1.List(0), "\t无");
            for (const std::string& item : w.Combo1.Items()) EXPECT_NE(item, column);
        }
        host::Application::SetRunning(nullptr);
    }

    // A field the lists do not hold is a usage error naming the choices.
    Outcome usage = s.Run({"tables", "--template", "桌贴", "--sort", "电话"});
    EXPECT_EQ(usage.code, 2);
    EXPECT_TRUE(Contains(usage.err, "可选：学号、姓名、班级、照片、照片夹、场号")) << usage.err;

    // A roster that no longer validates: the revision report, exit 1.
    Scenario::Check(s.Run({"edit", kRoster, "--sheet", "高一\t设置", "I2=3"}));
    Outcome invalid = s.Run({"tables", "--template", "考场座位表"});
    EXPECT_EQ(invalid.code, 1);
    EXPECT_TRUE(Contains(invalid.out, "[提示信息…] 数据错误，请查看修改意见！")) << invalid.out;

    fs::remove(s.dir.File(kRoster));
    Outcome missing = s.Run({"tables", "--template", "考场座位表"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(Contains(missing.out, "[提示信息…] 目标路径“" + s.dir.Path().string() + "花名册.xlsx”不存在！操作中断！"))
        << missing.out;
}

TEST(TemplateCommand, ListsTheBuiltInTemplatesWithTheirOptions) {
    Scenario s;
    Outcome o = s.Run({"template", "list"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_TRUE(Contains(o.out, "考场座位表  分区字段：场号  排序字段：座号  组顺序：自左向右  桌顺序：自上而下  "
                                "主体区第一行是列标题：是  照片缩放比例：99%"))
        << o.out;
    EXPECT_TRUE(Contains(o.out, "班级考场对照表  分区字段：班级  排序字段：考号")) << o.out;
}

}  // namespace

namespace {

struct Generated {
    Outcome outcome;
    std::string file;
};

Generated Generate(const Scenario& s, std::vector<std::string> options) {
    std::vector<std::string> line = {"tables"};
    line.insert(line.end(), options.begin(), options.end());
    Generated g{s.Run(line), ""};
    g.file = SavedFile(g.outcome);
    return g;
}

// One output sheet as the test expects it: its lines of values.
void ExpectSheet(const host::Workbook& wb, int index, const std::string& name, const std::vector<std::string>& lines) {
    ASSERT_GE(wb.SheetCount(), index);
    const host::Worksheet& ws = wb.Sheet(index);
    EXPECT_EQ(ws.Name(), name);
    EXPECT_EQ(Lines(ws), lines) << name;
}

TEST(TablesCommand, SeatingChartsWithColumnTitleRowShareRoomsAndCombineTitles) {
    Scenario s;
    Generated g = Generate(s, {"--template", "考场座位表"});
    ASSERT_EQ(g.outcome.code, 0) << g.outcome.out << g.outcome.err;
    EXPECT_TRUE(Contains(g.outcome.out, "[提示信息…] 运行程序结束！考试用表保存在：" + s.Folder() + "\n")) << g.outcome.out;
    EXPECT_TRUE(Contains(g.outcome.out, "打开：" + s.Folder() + "\n"));
    EXPECT_EQ(g.file, s.Folder() + "/考场座位表.xlsx");
    host::Application app;
    auto wb = s.Load(g.file, app);
    ASSERT_EQ(wb->SheetCount(), 2);
    // Rooms 1 and 2, each: title rows, the column-title row once per seat
    // column, then the desks; seat columns 高一 group 1, 高二 group 1, 高一
    // group 2, 高二 group 2 (grades of a group side by side).
    const std::vector<std::string> room1 = {
        "第||1|考场座位表",
        "人数：||3+2||考号：||01\n07||||至|03\n08",
        "讲        台",
        "|座号|考号/姓名|||座号|考号/姓名|||座号|考号/姓名|||座号|考号/姓名",
        "|1|01|||1|07|||3|03|||2|08",
        "|赵一||||郑甲||||孙三||||王乙",
        "|1班||||1班||||1班||||2班",
        "|2|02",
        "|钱二",
        "|2班",
    };
    std::vector<std::string> expected = room1;
    expected.push_back("");
    for (std::string line : {"第||2|考场座位表", "人数：||3+2||考号：||04\n09||||至|06\n10", "讲        台",
                             "|座号|考号/姓名|||座号|考号/姓名|||座号|考号/姓名|||座号|考号/姓名",
                             "|1|04|||1|09|||3|06|||2|10", "|李四||||冯丙||||吴六||||陈丁", "|2班||||1班||||2班||||2班",
                             "|2|05", "|周五", "|1班"})
        expected.push_back(line);
    ExpectSheet(*wb, 2, "Sheet2", expected);
    // Print information: rows to repeat T + 1, the block table, very hidden.
    const host::Worksheet& info = wb->Sheet(1);
    EXPECT_EQ(info.Name(), "\t打印");
    EXPECT_EQ(info.Visible(), host::xlSheetVeryHidden);
    EXPECT_EQ(Lines(info), (std::vector<std::string>{"4|Sheet2", "1|16", "12|16", "23|1", "0|0"}));

    // Each group framed thick; the empty first template column stays outside.
    host::Worksheet& ws = wb->Sheet(2);
    EXPECT_EQ(ws.GetRange("B4").Borders(host::xlEdgeLeft).Weight(), host::xlThick);
    EXPECT_EQ(ws.GetRange("B4").Borders(host::xlEdgeTop).Weight(), host::xlThick);
    EXPECT_EQ(ws.GetRange("H10").Borders(host::xlEdgeRight).Weight(), host::xlThick);
    EXPECT_EQ(ws.GetRange("H10").Borders(host::xlEdgeBottom).Weight(), host::xlThick);
    EXPECT_EQ(ws.GetRange("J4").Borders(host::xlEdgeLeft).Weight(), host::xlThick);
    EXPECT_NE(ws.GetRange("A5").Borders(host::xlEdgeLeft).Weight(), host::xlThick);
    // The template's page setup travels; the desks keep the template's row heights.
    EXPECT_EQ(ws.PageSetup().Orientation, 2);
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(6), 20);
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(9), 20);

    // The same template again: a numbered file, the first one kept.
    Generated again = Generate(s, {"--template", "考场座位表"});
    EXPECT_EQ(again.file, s.Folder() + "/考场座位表(1).xlsx");
    EXPECT_TRUE(fs::exists(g.file));
}

TEST(TablesCommand, SeatingChartsRightToLeftAndBottomUpMirrorTheRoom) {
    Scenario s;
    Generated g = Generate(s, {"--template", "考场座位表", "--group-order", "rtl", "--desk-order", "bottom-up"});
    ASSERT_EQ(g.outcome.code, 0) << g.outcome.out << g.outcome.err;
    host::Application app;
    auto wb = s.Load(g.file, app);
    const std::vector<std::string> room1 = {
        "第||1|考场座位表",
        "人数：||3+2||考号：||01\n07||||至|03\n08",
        "讲        台",
        "|||||||||||||2|02",
        "|||||||||||||钱二",
        "|||||||||||||2班",
        "|2|08|||3|03|||1|07|||1|01",
        "|王乙||||孙三||||郑甲||||赵一",
        "|2班||||1班||||1班||||1班",
        "|座号|考号/姓名|||座号|考号/姓名|||座号|考号/姓名|||座号|考号/姓名",
    };
    std::vector<std::string> lines = Lines(wb->Sheet(2));
    lines.resize(room1.size());
    EXPECT_EQ(lines, room1);
    EXPECT_EQ(wb->Sheet(1).ValueAt(1, 1), Variant(3));  // the title rows alone
    // The stored options are the window's choices.
    Outcome listed = s.Run({"template", "list"});
    EXPECT_TRUE(Contains(listed.out, "考场座位表  分区字段：场号  排序字段：座号  组顺序：自右向左  桌顺序：自下向上"))
        << listed.out;
}

// Group 2 holds two desks of 高一: in S-shaped order the even group runs
// reversed, in sequential order forward.
TEST(TablesCommand, SShapedAndSequentialOrdersOfAnEvenGroup) {
    for (const std::string desks : {"s", "sequential"}) {
        Scenario s(desks, {1, 2});
        Generated g = Generate(s, {"--template", "考场座位表", "--title-row", "no"});
        ASSERT_EQ(g.outcome.code, 0) << g.outcome.out << g.outcome.err;
        host::Application app;
        auto wb = s.Load(g.file, app);
        // Without the column-title row: one sheet per grade, every body row a desk row.
        ASSERT_EQ(wb->SheetCount(), 3);
        EXPECT_EQ(wb->Sheet(2).Name(), "高一");
        EXPECT_EQ(wb->Sheet(3).Name(), "高二");
        const std::vector<std::string> lines = Lines(wb->Sheet(2));
        ASSERT_GE(lines.size(), 11u) << desks;
        // Desk rows: column title line, 座号/考号, 姓名, 班级; first desk from row 4.
        EXPECT_EQ(lines[4], "|1|01|||" + std::string(desks == "s" ? "3|03" : "2|02")) << desks;
        EXPECT_EQ(lines[8], "|||||" + std::string(desks == "s" ? "2|02" : "3|03")) << desks;
        EXPECT_EQ(wb->Sheet(1).ValueAt(1, 1), Variant(3));
        EXPECT_EQ(wb->Sheet(1).ValueAt(1, 2), Variant("高一"));
        EXPECT_EQ(wb->Sheet(1).ValueAt(1, 4), Variant("高二"));
        // Blocks of 3 title rows and 2 × 4 desk rows, one empty row between.
        EXPECT_EQ(wb->Sheet(1).ValueAt(3, 1), Variant(13));
        EXPECT_EQ(wb->Sheet(1).ValueAt(4, 2), Variant(16));  // the terminator's width: TC − 2
    }
}

TEST(TablesCommand, PartitionTablesRecordColumnsAndOrders) {
    Scenario s;
    Generated door = Generate(s, {"--template", "考场门贴"});
    ASSERT_EQ(door.outcome.code, 0) << door.outcome.out << door.outcome.err;
    host::Application app;
    auto wb = s.Load(door.file, app);
    ExpectSheet(*wb, 2, "高一",
                {"第||1||考场", "考号：||01||至|03", "人数：||3", "座号|考号|姓名|班级|座号|考号|姓名|班级",
                 "1|01|赵一|1班|3|03|孙三|1班", "2|02|钱二|2班", "", "第||2||考场", "考号：||04||至|06", "人数：||3",
                 "座号|考号|姓名|班级|座号|考号|姓名|班级", "1|04|李四|2班|3|06|吴六|2班", "2|05|周五|1班"});
    EXPECT_EQ(Lines(wb->Sheet(1)), (std::vector<std::string>{"4|高一||高二", "1|8|1|8", "8|8|7|8", "15|8|13|8"}));

    // Partition by the user's 班级 column, records right to left and bottom up.
    Generated byClass = Generate(s, {"--template", "班级考场对照表", "--desk-order", "bottom-up", "--group-order", "rtl"});
    ASSERT_EQ(byClass.outcome.code, 0) << byClass.outcome.out << byClass.outcome.err;
    auto classes = s.Load(byClass.file, app);
    ExpectSheet(*classes, 2, "高一",
                {"1班||考场对照表", "", "||||03|孙三|1|3", "05|周五|2|2|01|赵一|1|1", "考号|姓名|考场|座号|考号|姓名|考场|座号",
                 "", "2班||考场对照表", "", "||||04|李四|2|1", "06|吴六|2|3|02|钱二|1|2",
                 "考号|姓名|考场|座号|考号|姓名|考场|座号"});
    EXPECT_EQ(classes->Sheet(1).ValueAt(1, 1), Variant(2));

    // No partition, no sort: one block per roster sheet in roster order.
    Generated whole = Generate(s, {"--template", "考场签到表", "--partition", "none", "--sort", "none"});
    ASSERT_EQ(whole.outcome.code, 0) << whole.outcome.out;
    auto signIn = s.Load(whole.file, app);
    const std::vector<std::string> lines = Lines(signIn->Sheet(3));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[4], "1|07|郑甲|1班");
    EXPECT_EQ(lines[7], "2|10|陈丁|2班");
}

TEST(TablesCommand, DeskLabelsWithPhotosMissingAndRefused) {
    Scenario s;
    // 1006 has no photo; 2002's file is no picture.
    testing_support::WriteFile(s.dir.File("照片/高二/2002.jpg"), "not a picture");
    Generated g = Generate(s, {"--template", "桌贴"});
    ASSERT_EQ(g.outcome.code, 0) << g.outcome.out << g.outcome.err;
    const std::string finished = "[提示信息…] 运行程序结束！考试用表保存在：" + s.Folder() + "\n";
    const std::string missing = "[提示信息…] 有 1 名考生的照片文件不存在，未放照片。\n";
    const std::string refused = "[提示信息…] 以下照片文件无法插入，已跳过：" + s.dir.File("照片/高二/2002.jpg") + "\n";
    EXPECT_TRUE(Contains(g.outcome.out, finished + missing + refused)) << g.outcome.out;

    host::Application app;
    auto wb = s.Load(g.file, app);
    ASSERT_EQ(wb->SheetCount(), 3);
    EXPECT_EQ(wb->Sheet(2).Pictures().size(), 5u);
    EXPECT_EQ(wb->Sheet(3).Pictures().size(), 3u);
    EXPECT_EQ(Lines(wb->Sheet(2))[0], "01|||02|||03");  // across the top of each label
    EXPECT_EQ(Lines(wb->Sheet(2))[1], "|姓名|赵一||姓名|钱二||姓名|孙三");
    // Three labels a line, no title: width 3 × 3; the terminator's width TC − 2.
    EXPECT_EQ(Lines(wb->Sheet(1)), (std::vector<std::string>{"0|高一||高二", "1|9|1|9", "7|9|7|9", "13|-2|13|-2"}));
    // The first photo fills 90 % of the photo cells (A2:A5, under the exam number), centred.
    host::Worksheet& labels = wb->Sheet(2);
    host::Shape photo = labels.Shapes().Item(1);
    const host::Range area = labels.GetRange("A2:A5");
    EXPECT_NEAR(photo.Width(), area.Width() * 0.9, 0.1);
    EXPECT_NEAR(photo.Height(), area.Height() * 0.9, 0.1);
    EXPECT_NEAR(photo.Left(), area.Left() + area.Width() * 0.05, 0.1);
    EXPECT_NEAR(photo.Top(), area.Top() + area.Height() * 0.05, 0.1);

    // The saved workbook as another program reads it.
    const std::string script =
        "import openpyxl,sys\n"
        "wb=openpyxl.load_workbook(sys.argv[1])\n"
        "print([ws.title for ws in wb.worksheets], wb.worksheets[0].sheet_state)\n"
        "ws=wb['高一']\n"
        "print(ws['A1'].value, ws['C2'].value, len(ws._images))\n";
    testing_support::WriteFile(s.dir.File("read.py"), script);
    std::string out;
    if (testing_support::Run("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") != 0) GTEST_SKIP() << "openpyxl missing";
    ASSERT_EQ(testing_support::Run("/usr/bin/python3 " + s.dir.File("read.py") + " '" + g.file + "'", &out), 0);
    EXPECT_EQ(out, "['\\t打印', '高一', '高二'] veryHidden\n01 赵一 5\n");
}

}  // namespace

namespace {

TEST(TemplateCommand, NewRenameDeleteImportExport) {
    Scenario s;
    Outcome made = s.Run({"template", "new", "门贴副本"});
    ASSERT_EQ(made.code, 0) << made.out << made.err;
    Outcome again = s.Run({"template", "new", "门贴副本"});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(Contains(again.out, "[提示信息…] 《门贴副本》模板表已存在！")) << again.out;
    Outcome refused = s.Run({"template", "rename", "门贴副本", "a:b"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(Contains(refused.out, "[提示信息…] 模板名称“a:b”不能用作工作表名：")) << refused.out;
    Scenario::Check(s.Run({"template", "rename", "门贴副本", "门贴二"}));

    // Export, edit elsewhere (here: a cell typed into the file), import back under a new name.
    Outcome exported = s.Run({"template", "export", "考场门贴", "门贴.xlsx"});
    ASSERT_EQ(exported.code, 0) << exported.out << exported.err;
    EXPECT_TRUE(Contains(exported.out, "已保存：" + s.dir.File("门贴.xlsx"))) << exported.out;
    Scenario::Check(s.Run({"edit", "门贴.xlsx", "--sheet", "考场门贴", "B5=人数（人）："}));
    Outcome imported = s.Run({"template", "import", "门贴.xlsx", "--sheet", "考场门贴", "--as", "新门贴"});
    ASSERT_EQ(imported.code, 0) << imported.out << imported.err;
    EXPECT_TRUE(Contains(imported.out, "已导入模板：新门贴")) << imported.out;

    // No answer to the delete question: nothing deleted, exit 3.
    Outcome unanswered = s.Run({"template", "delete", "门贴二"});
    EXPECT_EQ(unanswered.code, 3);
    Scenario::Check(s.Run({"template", "delete", "门贴二", "--answer", "yes"}));

    Outcome listed = s.Run({"template", "list"});
    EXPECT_FALSE(Contains(listed.out, "门贴二")) << listed.out;
    EXPECT_TRUE(Contains(listed.out, "新门贴  （未保存选项）") || Contains(listed.out, "新门贴  分区字段：（未设置）"))
        << listed.out;

    host::Application app;
    auto system = s.Load(s.dir.File("系统.xlsx"), app);
    host::Worksheet* imported_sheet = system->SheetByName("新门贴");
    ASSERT_NE(imported_sheet, nullptr);
    EXPECT_FALSE(workbook::IsServiceSheet(*imported_sheet));
    EXPECT_EQ(imported_sheet->ValueAt(5, 2), Variant("人数（人）："));
    EXPECT_EQ(imported_sheet->ValueAt(3, 4), Variant("[场号]"));
    EXPECT_FALSE(imported_sheet->MergedAreas().empty());
    EXPECT_EQ(imported_sheet->PageSetup().FitToPagesWide, 1);

    // The imported template generates like the built-in one, with the options given.
    Generated g = Generate(s, {"--template", "新门贴", "--partition", "场号", "--sort", "考号", "--title-row", "yes",
                               "--group-order", "ltr"});
    ASSERT_EQ(g.outcome.code, 0) << g.outcome.out << g.outcome.err;
    host::Application app2;
    auto wb = s.Load(g.file, app2);
    EXPECT_EQ(Lines(wb->Sheet(2))[2], "人数（人）：||3");
    EXPECT_EQ(Lines(wb->Sheet(2))[4], "1|01|赵一|1班|3|03|孙三|1班");
}

// A generation that fails on the way says where and why, and leaves no
// half-built workbook to be taken for a result.
TEST(TablesCommand, AFailedGenerationIsReportedAndNothingIsSaved) {
    Scenario s;
    testing_support::WriteFile(s.Folder(), "a file where the folder should be");
    Outcome o = s.Run({"tables", "--template", "考场门贴", "--out", "新工作簿"});
    EXPECT_EQ(o.code, 4) << o.out << o.err;
    EXPECT_TRUE(Contains(o.out, "[提示信息…] 生成考试用表失败：保存考试用表时出错（" + s.Folder())) << o.out;
    EXPECT_TRUE(Contains(o.out, "未保存考试用表，请检查后重试！")) << o.out;
    EXPECT_FALSE(Contains(o.out, "运行程序结束")) << o.out;
    EXPECT_FALSE(fs::exists(s.dir.File("新工作簿"))) << "the half-built workbook was saved by the save step";
}

// A roster nobody may write (the immutable attribute for root, who ignores the
// mode): the generation's changes to it and to the system workbook cannot be
// saved, and that is said instead of the completion message.
TEST(TablesCommand, AReadOnlyRosterIsReportedInsteadOfTheCompletion) {
    Scenario s;
    const std::string roster = s.dir.File(kRoster);
    const bool readOnly = geteuid() != 0 ? ::chmod(roster.c_str(), 0444) == 0
                                         : testing_support::Run("chattr +i '" + roster + "' 2>/dev/null") == 0;
    if (!readOnly) GTEST_SKIP() << "cannot make a file read-only here";
    Outcome o = s.Run({"tables", "--template", "考场签到表"});
    if (geteuid() == 0) testing_support::Run("chattr -i '" + roster + "' 2>/dev/null");
    ::chmod(roster.c_str(), 0644);
    EXPECT_EQ(o.code, 4) << o.out << o.err;
    EXPECT_FALSE(Contains(o.out, "运行程序结束")) << o.out;
    EXPECT_TRUE(Contains(o.out, "未能保存“花名册.xlsx”")) << o.out;
}

}  // namespace

namespace {

// Data-driven cases, one folder each under tests/data/tables/:
//   scenario   optional: "<desks> <高一 group 1 desks> <高一 group 2 desks>" (default "s 2 1")
//   template   optional: cells of a template sheet, "A3=#" one a line; the
//              sheet is imported as the template "测试模板" before the command
//   command    the arguments after "tables", one a line
//   expected   the messages and saved files the command prints (the test's
//              folder written as $DIR), then every sheet of the exam-table
//              workbook: "== NAME (STATE, N pictures)" and its value lines
// TOLM_UPDATE_EXPECTED=1 writes `expected` from the run instead of comparing.
std::vector<std::string> ReadLines(const std::string& file) {
    std::vector<std::string> lines;
    std::istringstream in(testing_support::ReadFile(file));
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

std::string Transcript(const Scenario& s, const Outcome& o) {
    std::string t = "exit " + std::to_string(o.code) + "\n";
    std::istringstream out(o.out);
    for (std::string line; std::getline(out, line);)
        if (line.starts_with("[") || line.starts_with("已保存：") && Contains(line, "考试用表/")) t += line + "\n";
    const std::string file = SavedFile(o);
    if (!file.empty() && Contains(file, "考试用表/")) {
        host::Application app;
        auto wb = s.Load(file, app);
        for (int i = 1; i <= wb->SheetCount(); ++i) {
            const host::Worksheet& ws = wb->Sheet(i);
            const char* state = ws.Visible() == host::xlSheetVeryHidden ? "very hidden" : "visible";
            t += "== " + ws.Name() + " (" + state + ", " + std::to_string(ws.Pictures().size()) + " pictures)\n";
            for (const std::string& line : Lines(ws)) t += Replaced(line, "\n", "\\n") + "\n";
        }
    }
    return Replaced(Replaced(t, s.dir.Path().string(), "$DIR"), "\t", "\\t");
}

TEST(TablesScenarios, EachCaseFolderGivesItsExpectedTables) {
    const fs::path root = fs::path(TOLM_TEST_DATA) / "tables";
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(root))
        if (entry.is_directory()) cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    ASSERT_FALSE(cases.empty());
    const bool update = std::getenv("TOLM_UPDATE_EXPECTED") && std::string(std::getenv("TOLM_UPDATE_EXPECTED")) == "1";
    for (const fs::path& dir : cases) {
        SCOPED_TRACE(dir.filename().string());
        std::string desks = "s";
        std::pair<int, int> first{2, 1};
        if (fs::exists(dir / "scenario")) {
            std::istringstream in(testing_support::ReadFile((dir / "scenario").string()));
            in >> desks >> first.first >> first.second;
        }
        Scenario s(desks, first);
        if (fs::exists(dir / "template")) {
            host::Application app;
            host::Workbook& wb = app.Workbooks().Add();
            wb.Sheet(1).SetName("测试模板");
            for (const std::string& line : ReadLines((dir / "template").string())) {
                const size_t eq = line.find('=');
                wb.Sheet(1).GetRange(line.substr(0, eq)).SetValue(Variant(line.substr(eq + 1)));
            }
            wb.SaveAs(s.dir.File("测试模板.xlsx"));
            Scenario::Check(s.Run({"template", "import", "测试模板.xlsx", "--sheet", "测试模板"}));
        }
        std::vector<std::string> args = {"tables"};
        for (const std::string& a : ReadLines((dir / "command").string())) args.push_back(a);
        const std::string actual = Transcript(s, s.Run(args));
        if (update) {
            testing_support::WriteFile((dir / "expected").string(), actual);
            continue;
        }
        EXPECT_EQ(actual, testing_support::ReadFile((dir / "expected").string()));
    }
}

}  // namespace
