// Designing a template in the host window: the 插入字段 menu (in the host
// window on a template sheet and in the Exam-tables window), the region
// tint, and a small seating chart designed from a blank sheet with the
// formatting toolbar, then generated into exam tables.
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>

#include "GuiTestSupport.h"
#include "cli/CliTestSupport.h"
#include "gui/FormatActions.h"
#include "gui/FormatToolBar.h"
#include "gui/SheetView.h"
#include "gui/TemplateFields.h"
#include "gui/WorkbookView.h"
#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/FrmSeZhi.h"
#include "ui/MainWindow.h"

using guitest::Desktop;
using host::Variant;

namespace {

gui::FormatTools& Tools(Desktop& d) { return *d.Host().findChild<gui::FormatTools*>("formatTools"); }

void Select(gui::SheetView& v, const std::string& a1) {
    const host::Rect r = *host::ParseArea(a1);
    const QModelIndex first = v.Model().index(r.top - 1, r.left - 1);
    v.Grid().setCurrentIndex(first);
    v.Grid().selectionModel()->select(QItemSelection(first, v.Model().index(r.bottom - 1, r.right - 1)),
                                      QItemSelectionModel::ClearAndSelect);
    guitest::Settle();
}

// Chooses an entry of the host window's 插入字段 menu for the cell.
bool InsertField(Desktop& d, gui::SheetView& v, const std::string& cell, const QString& entry) {
    Select(v, cell);
    gui::FormatTools& tools = Tools(d);
    tools.FillFieldMenu(tools.FieldMenu());
    for (QAction* a : tools.FieldMenu().actions())
        if (a->objectName() == entry) {
            a->trigger();
            return true;
        }
    return false;
}

void Type(gui::SheetView& v, const std::string& cell, const QString& text) {
    const host::CellRef c = *host::ParseCellRef(cell);
    v.Model().setData(v.Model().index(c.row - 1, c.col - 1), text);
}

// Brings a sheet's tab to the front of the host window, as a click on the tabs would.
gui::SheetView* ShowSheet(Desktop& d, host::Workbook& wb, const std::string& sheet) {
    gui::WorkbookView* book = d.Host().ViewOf(wb);
    if (!book) return nullptr;
    d.Host().WorkbookTabs().setCurrentWidget(book);
    for (int k = 0; k < book->count(); ++k)
        if (book->tabText(k) == QString::fromStdString(sheet)) book->setCurrentIndex(k);
    guitest::Settle();
    gui::SheetView* v = d.Host().CurrentSheetView();
    return v && v->Sheet().Name() == sheet ? v : nullptr;
}

// Whether the host window's menu bar shows 插入字段.
bool FieldMenuShown(Desktop& d) {
    for (QAction* a : d.Host().menuBar()->actions())
        if (a->text() == "插入字段(&I)") return a->isVisible();
    return false;
}

ui::MainWindow& FrontWindow(Desktop& d) { return *static_cast<ui::MainWindow*>(d.Toolkit().Views().front()->Model()); }

ui::FrmHuaMinChe& OpenExamTables(Desktop& d) {
    ui::MainWindow& front = FrontWindow(d);
    if (front.Name() != ui::FrmHuaMinChe::kName) d.ChooseMenu(front.Name(), front.HuaMinChe);
    auto* w = d.Model<ui::FrmHuaMinChe>(ui::FrmHuaMinChe::kName);
    EXPECT_NE(w, nullptr);
    return *w;
}

// The roster on disk: two grades, 学号 / 姓名 / 班级.
std::string WriteRoster(const testing_support::TempDir& dir) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    const std::vector<std::vector<const char*>> first = {
        {"1001", "赵一", "1班"}, {"1002", "钱二", "2班"}, {"1003", "孙三", "1班"},
        {"1004", "李四", "2班"}, {"1005", "周五", "1班"}, {"1006", "吴六", "2班"}};
    const std::vector<std::vector<const char*>> second = {
        {"2001", "郑甲", "1班"}, {"2002", "王乙", "2班"}, {"2003", "冯丙", "1班"}, {"2004", "陈丁", "2班"}};
    auto fill = [](host::Worksheet& ws, const std::vector<std::vector<const char*>>& rows) {
        const char* titles[] = {"学号", "姓名", "班级"};
        for (int c = 0; c < 3; ++c) ws.Cells(1, c + 1).SetValue(Variant(titles[c]));
        for (size_t r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 3; ++c) ws.Cells(int32_t(r) + 2, c + 1).SetValue(Variant(rows[r][size_t(c)]));
    };
    wb.Sheet(1).SetName("高一");
    fill(wb.Sheet(1), first);
    host::Worksheet& s2 = wb.Worksheets().Add(&wb.Sheet(1));
    s2.SetName("高二");
    fill(s2, second);
    const std::string file = dir.File("花名册.xlsx");
    wb.SaveAs(file);
    return file;
}

}  // namespace

TEST(TemplateFields, InsertMenuOnTemplateSheetsAndTheRegionTint) {
    Desktop d;
    const std::string roster = WriteRoster(d.dir);
    d.Start();
    auto* settings = d.Model<ui::FrmSeZhi>(ui::FrmSeZhi::kName);
    ASSERT_NE(settings, nullptr);
    d.Toolkit().QueueFile(roster);
    d.Click(ui::FrmSeZhi::kName, settings->Command1[ui::FrmSeZhi::kOpen]);
    d.TakeMessages();
    gui::FormatTools& tools = Tools(d);

    // A roster sheet is no template: the host window's 插入字段 stays away.
    gui::SheetView* current = d.Host().CurrentSheetView();
    ASSERT_NE(current, nullptr);
    EXPECT_FALSE(tools.TemplateActive());
    EXPECT_FALSE(FieldMenuShown(d));

    ui::FrmHuaMinChe& w = OpenExamTables(d);
    gui::ToolWindowView* view = d.View(ui::FrmHuaMinChe::kName);
    ASSERT_NE(view, nullptr);
    // The Exam-tables window has the menu too.
    QMenu* windowMenu = view->MenuBar()->findChild<QMenu*>("fieldMenu");
    ASSERT_NE(windowMenu, nullptr);
    tools.FillFieldMenu(*windowMenu);
    QStringList entries;
    for (QAction* a : windowMenu->actions()) entries << a->text();
    EXPECT_TRUE(entries.contains("[姓名]")) << entries.join(",").toStdString();
    EXPECT_TRUE(entries.contains("[班级]"));
    EXPECT_TRUE(entries.contains("照片 {照片}"));
    EXPECT_TRUE(entries.contains("主体区标记 #"));
    // Chosen while no template is shown: the user is told what to do.
    d.TakeMessages();
    for (QAction* a : windowMenu->actions())
        if (a->objectName() == "field:姓名") a->trigger();
    EXPECT_EQ(d.TakeMessages().size(), 1u);

    auto* list = qobject_cast<QListWidget*>(view->WidgetOf(w.List1));
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> items = list->findItems("考场座位表", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    items.front()->setSelected(true);
    guitest::Settle();
    gui::SheetView* sheet = ShowSheet(d, d.Component().System(), "考场座位表");
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(tools.TemplateActive());
    EXPECT_TRUE(FieldMenuShown(d));

    // The built-in seating chart's regions are tinted, and only drawn.
    auto* tint = sheet->Grid().viewport()->findChild<gui::RegionTint*>("regionTint");
    ASSERT_NE(tint, nullptr);
    const QImage picture = sheet->Grid().viewport()->grab().toImage();
    ASSERT_TRUE(tint->Shown().body.has_value());
    ASSERT_TRUE(tint->Shown().title.has_value());
    const host::Rect body = *tint->Shown().body;
    const int x = sheet->Grid().columnViewportPosition(body.left) + 3;
    const int y = sheet->Grid().rowViewportPosition(body.top - 1) + 3;
    const QColor inside = picture.pixelColor(x, y);
    EXPECT_LT(inside.red(), 250) << "green tint over the body";
    EXPECT_GT(inside.green(), inside.red());
    const bool savedBefore = sheet->Sheet().Parent().Saved();
    sheet->Grid().viewport()->repaint();
    EXPECT_EQ(sheet->Sheet().Parent().Saved(), savedBefore);

    // A field into the active cell of the template, through the host window's menu.
    ASSERT_TRUE(InsertField(d, *sheet, "J20", "field:班级"));
    EXPECT_EQ(sheet->Sheet().ValueAt(20, 10), Variant("[班级]"));
    ASSERT_TRUE(InsertField(d, *sheet, "J21", "photo"));
    EXPECT_EQ(sheet->Sheet().ValueAt(21, 10), Variant("{照片}"));
    ASSERT_TRUE(InsertField(d, *sheet, "A22", "titleMarker"));
    EXPECT_EQ(sheet->Sheet().ValueAt(22, 1), Variant("@"));
}

TEST(TemplateDesign, ASeatingChartFromABlankSheetWithTheToolbarThenTables) {
    Desktop d;
    WriteRoster(d.dir);
    {
        // The roster arranged beforehand, as the command line does it.
        cli_test::InProcess tolm;
        tolm.env["TOLM_SYSTEM"] = d.dir.File("考场编排系统.xlsx");
        tolm.currentFolder = d.dir.Path().string();
        for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
                 {"open-roster", "花名册.xlsx"},
                 {"settings", "--desk-groups", "2", "--rooms", "2", "--grades-per-group", "2"},
                 {"edit", "花名册.xlsx", "--sheet", "高一\\t设置", "I2=2", "J2=1", "I3=2", "J3=1"},
                 {"edit", "花名册.xlsx", "--sheet", "高二\\t设置", "I2=1", "J2=1", "I3=1", "J3=1"},
                 {"arrange", "--order", "asc", "--key", "学号", "--desks", "s", "--number", "1", "--first", "1"}}) {
            const cli_test::Outcome o = tolm.Run(args);
            ASSERT_EQ(o.code, 0) << args.front() << o.out << o.err;
        }
    }
    d.Start();
    ui::FrmHuaMinChe& w = OpenExamTables(d);
    gui::FormatTools& tools = Tools(d);
    gui::FormatActions& a = tools.Actions();

    // 新增模板, then start from a blank sheet: the default layout's rows go.
    d.Toolkit().QueueInput("小座位表");
    d.Click(ui::FrmHuaMinChe::kName, w.Command1);
    gui::SheetView* v = ShowSheet(d, d.Component().System(), "小座位表");
    ASSERT_NE(v, nullptr);
    host::Worksheet& ws = v->Sheet();
    Select(*v, "A1:K12");
    a.DeleteRows();
    EXPECT_EQ(ws.UsedRect(), (host::Rect{1, 1, 1, 1}));

    // Title rows 2–3 (content B–G, end marker H); body rows 5–6 (gap B, desk C–D, end marker E).
    ASSERT_TRUE(InsertField(d, *v, "A2", "titleMarker"));
    ASSERT_TRUE(InsertField(d, *v, "H2", "titleMarker"));
    ASSERT_TRUE(InsertField(d, *v, "A3", "titleMarker"));
    ASSERT_TRUE(InsertField(d, *v, "C2", "field:场号"));
    Type(*v, "D2", "考场座位表");
    ASSERT_TRUE(InsertField(d, *v, "C3", "field:场人"));
    Type(*v, "D3", "人");
    ASSERT_TRUE(InsertField(d, *v, "A5", "bodyMarker"));
    ASSERT_TRUE(InsertField(d, *v, "E5", "bodyMarker"));
    ASSERT_TRUE(InsertField(d, *v, "A6", "bodyMarker"));
    ASSERT_TRUE(InsertField(d, *v, "C5", "field:座号"));
    ASSERT_TRUE(InsertField(d, *v, "D5", "field:学号"));
    ASSERT_TRUE(InsertField(d, *v, "C6", "field:姓名"));

    // The toolbar: merged title and name cells, fonts, the desk framed, widths and heights.
    Select(*v, "D2:G2");
    a.MergeAndCenter();
    emit tools.FontBox()->textActivated("黑体");
    emit tools.SizeBox()->textActivated("16");
    tools.Action("bold")->trigger();
    Select(*v, "C6:D6");
    a.MergeAndCenter();
    emit tools.FontBox()->textActivated("楷体");
    emit tools.SizeBox()->textActivated("14");
    Select(*v, "C5:D6");
    tools.Action("bordersAll")->trigger();
    tools.Action("bordersThickOutside")->trigger();
    tools.Action("alignCenter")->trigger();
    Select(*v, "B1");
    a.SetColumnWidth(1.5);
    Select(*v, "C1");
    a.SetColumnWidth(6);
    Select(*v, "D1");
    a.SetColumnWidth(10);
    Select(*v, "A6");
    a.SetRowHeight(24);
    Select(*v, "C2:D2");
    a.SetRowHeight(27);
    tools.Action("alignMiddle")->trigger();
    Select(*v, "A1");
    a.SetColumnWidth(2);

    EXPECT_EQ(ws.ValueAt(2, 3), Variant("[场号]"));
    EXPECT_EQ(ws.ValueAt(6, 3), Variant("[姓名]"));
    EXPECT_EQ(ws.MergedAreas().size(), 2u);
    EXPECT_EQ(ws.GetRange("C6").Font().Name(), "楷体");
    EXPECT_EQ(ws.GetRange("C5:D6").Borders(host::xlEdgeLeft).Weight(), host::xlMedium);
    EXPECT_NEAR(ws.ColumnWidthChars(2), 1.5, 0.01) << "1.5 characters: 17 whole pixels of 8-pixel digits";
    auto* tint = v->Grid().viewport()->findChild<gui::RegionTint*>("regionTint");
    ASSERT_NE(tint, nullptr);
    d.Host().resize(1100, 560);
    guitest::Settle();
    guitest::SaveScreenshot(d.Host(), "template-design.png");
    ASSERT_TRUE(tint->Shown().body.has_value());
    EXPECT_EQ(*tint->Shown().body, (host::Rect{5, 1, 6, 5}));
    EXPECT_EQ(*tint->Shown().title, (host::Rect{2, 1, 3, 8}));

    // Seating charts: partition 场号, sort 座号, then 生成表格.
    auto pick = [](ui::ComboBox& box, const std::string& title) {
        for (int i = 0; i < box.ListCount(); ++i)
            if (box.List(i) == title) box.SetListIndex(i);
        return box.Text() == title;
    };
    ASSERT_TRUE(pick(w.Combo1, "\t场号"));
    ASSERT_TRUE(pick(w.Combo2, "\t座号"));
    const int before = d.HostApp().Workbooks().Count();
    d.TakeMessages();
    d.Click(ui::FrmHuaMinChe::kName, w.Command4);
    const std::vector<std::string> shown = d.TakeMessages();
    host::Workbook* tables = nullptr;
    for (int i = 1; i <= d.HostApp().Workbooks().Count(); ++i) {
        host::Workbook& wb = d.HostApp().Workbooks().Item(i);
        if (&wb != &d.Component().System() && wb.Name() != "花名册.xlsx") tables = &wb;
    }
    ASSERT_NE(tables, nullptr) << (shown.empty() ? "" : shown.front());
    EXPECT_GE(d.HostApp().Workbooks().Count(), before);
    // One chart per room: the title filled, the desks framed and merged as designed.
    host::Worksheet* chart = nullptr;
    for (const auto& s : tables->SheetList())
        for (int32_t r = 1; r <= s->UsedRect().bottom && !chart; ++r)
            for (int32_t c = 1; c <= s->UsedRect().right; ++c)
                if (host::ToText(s->ValueAt(r, c)) == "赵一") chart = s.get();
    ASSERT_NE(chart, nullptr) << "a sheet with the first candidate's name";
    bool titleFilled = false, framed = false;
    const host::Rect used = chart->UsedRect();
    for (int32_t r = 1; r <= used.bottom; ++r)
        for (int32_t c = 1; c <= used.right; ++c) {
            const std::string t = host::ToText(chart->ValueAt(r, c));
            EXPECT_EQ(t.find('['), std::string::npos) << "no placeholder left: " << t;
            if (t == "考场座位表") titleFilled = true;
            if (chart->Parent().Styles().Get(chart->StyleAt(r, c)).border.left.style == "medium") framed = true;
        }
    EXPECT_TRUE(titleFilled);
    EXPECT_TRUE(framed);
    EXPECT_FALSE(chart->MergedAreas().empty());
}
