// The formatting tools of the host window: each toolbar and menu command
// through the host model, the 设置单元格格式 and 页面设置 dialogs, rows and
// columns, frozen panes, and the template helpers (插入字段, the region tint).
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTest>
#include <cmath>

#include "GuiTestSupport.h"
#include "gui/EditActions.h"
#include "gui/FormatActions.h"
#include "gui/FormatCellsDialog.h"
#include "gui/FormatToolBar.h"
#include "gui/PageSetupDialog.h"
#include "gui/SheetView.h"
#include "gui/TemplateFields.h"
#include "gui/WorkbookView.h"
#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/StyleCache.h"
#include "tables/TemplateLibrary.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/MainWindow.h"

using guitest::Desktop;
using host::Variant;

namespace {

gui::FormatTools& Tools(Desktop& d) {
    auto* tools = d.Host().findChild<gui::FormatTools*>("formatTools");
    EXPECT_NE(tools, nullptr);
    return *tools;
}

// A new workbook in the host window; its sheet view is the current one.
gui::SheetView& NewBook(Desktop& d) {
    d.HostApp().Workbooks().Add();
    d.Host().RefreshViews();
    guitest::Settle();
    gui::SheetView* v = d.Host().CurrentSheetView();
    EXPECT_NE(v, nullptr);
    return *v;
}

// Selects an area as a drag with the mouse would; the active cell is its top-left one.
void Select(gui::SheetView& v, const std::string& a1) {
    const host::Rect r = *host::ParseArea(a1);
    const QModelIndex first = v.Model().index(r.top - 1, r.left - 1);
    v.Grid().setCurrentIndex(first);
    v.Grid().selectionModel()->select(QItemSelection(first, v.Model().index(r.bottom - 1, r.right - 1)),
                                      QItemSelectionModel::ClearAndSelect);
    guitest::Settle();
}

const host::CellFormat& FormatOf(host::Worksheet& ws, const std::string& a1) {
    const host::CellRef c = *host::ParseCellRef(a1);
    return ws.Parent().Styles().Get(ws.StyleAt(c.row, c.col));
}

QToolButton* PaletteSwatch(gui::FormatTools& tools, const char* button, int colorIndex) {
    auto* b = tools.ToolBar().findChild<QToolButton*>(button);
    if (!b || !b->menu()) return nullptr;
    return b->menu()->findChild<QToolButton*>(QString("color%1").arg(colorIndex));
}

}  // namespace

TEST(FormatTools, ToolbarFormatsTheSelectionAndShowsTheCurrentCell) {
    Desktop d;
    d.Start();
    gui::FormatTools& tools = Tools(d);
    gui::SheetView& v = NewBook(d);
    host::Worksheet& ws = v.Sheet();
    // 格式 comes before the tool's own menu.
    QStringList menus;
    for (QAction* m : d.Host().menuBar()->actions()) menus << m->text();
    ASSERT_TRUE(menus.contains("格式(&O)"));
    EXPECT_LT(menus.indexOf("格式(&O)"), menus.indexOf("考场编排(&K)"));

    Select(v, "B2:C3");
    tools.Action("bold")->trigger();
    emit tools.FontBox()->textActivated("黑体");
    emit tools.SizeBox()->textActivated("16");
    emit tools.SizeBox()->textActivated("大号");  // not a size: nothing changes
    ASSERT_NE(PaletteSwatch(tools, "fontColor", 3), nullptr);
    PaletteSwatch(tools, "fontColor", 3)->click();
    PaletteSwatch(tools, "fillColor", 6)->click();
    tools.Action("alignCenter")->trigger();
    tools.Action("alignMiddle")->trigger();
    tools.Action("wrap")->trigger();
    const int text = tools.NumberFormatBox()->findText("文本");
    tools.NumberFormatBox()->setCurrentIndex(text);
    emit tools.NumberFormatBox()->activated(text);
    for (const char* cell : {"B2", "C3"}) {
        const host::CellFormat& f = FormatOf(ws, cell);
        EXPECT_TRUE(f.font.bold) << cell;
        EXPECT_EQ(f.font.name, "黑体") << cell;
        EXPECT_EQ(f.font.size, 16) << cell;
        EXPECT_EQ(ws.GetRange(cell).Font().ColorIndex(), 3) << cell;
        EXPECT_EQ(ws.GetRange(cell).Interior().ColorIndex(), 6) << cell;
        EXPECT_EQ(ws.GetRange(cell).HorizontalAlignment(), host::xlHAlignCenter) << cell;
        EXPECT_EQ(ws.GetRange(cell).VerticalAlignment(), host::xlVAlignCenter) << cell;
        EXPECT_TRUE(f.alignment.wrapText) << cell;
        EXPECT_EQ(f.numberFormat, "@") << cell;
    }
    EXPECT_EQ(FormatOf(ws, "D4"), ws.Parent().Styles().Default()) << "outside the selection";
    // The selection stays for the next command; typing into a text cell keeps the digits.
    EXPECT_TRUE(v.Grid().selectionModel()->isSelected(v.Model().index(2, 2)));
    ASSERT_TRUE(v.Model().setData(v.Model().index(1, 1), "20250000002"));
    EXPECT_EQ(ws.ValueAt(2, 2), Variant("20250000002"));

    // The fill's first entry removes it; italic and underline toggle off again.
    tools.ToolBar().findChild<QToolButton*>("fillColor")->menu()->actions().front()->trigger();
    EXPECT_EQ(ws.GetRange("C3").Interior().ColorIndex(), host::xlColorIndexNone);
    tools.Action("underline")->trigger();
    EXPECT_TRUE(ws.GetRange("B2").Font().Underline());
    tools.Action("underline")->trigger();
    EXPECT_FALSE(ws.GetRange("B2").Font().Underline());

    // The tools show the current cell's format.
    Select(v, "E5");
    EXPECT_FALSE(tools.Action("bold")->isChecked());
    EXPECT_EQ(tools.FontBox()->currentText(), "宋体");
    EXPECT_EQ(tools.NumberFormatBox()->currentText(), "常规");
    Select(v, "B2");
    EXPECT_TRUE(tools.Action("bold")->isChecked());
    EXPECT_TRUE(tools.Action("wrap")->isChecked());
    EXPECT_EQ(tools.FontBox()->currentText(), "黑体");
    EXPECT_EQ(tools.SizeBox()->currentText(), "16");
    EXPECT_EQ(tools.NumberFormatBox()->currentText(), "文本");

    d.Host().resize(1180, 560);
    guitest::Settle();
    guitest::SaveScreenshot(tools.ToolBar(), "format-toolbar.png");
}

TEST(FormatTools, BordersDrawWithThePenAndNoBorderClearsTheFacingLines) {
    Desktop d;
    d.Start();
    gui::FormatTools& tools = Tools(d);
    gui::SheetView& v = NewBook(d);
    host::Worksheet& ws = v.Sheet();

    Select(v, "B2:C3");
    tools.Actions().Borders(gui::BorderPreset::All);
    for (auto edge : {host::xlEdgeTop, host::xlEdgeLeft, host::xlInsideHorizontal, host::xlInsideVertical})
        EXPECT_EQ(ws.GetRange("B2:C3").Borders(edge).Weight(), host::xlThin) << edge;
    tools.Actions().Borders(gui::BorderPreset::ThickOutside);
    EXPECT_EQ(ws.GetRange("B2:C3").Borders(host::xlEdgeBottom).Weight(), host::xlMedium);
    EXPECT_EQ(ws.GetRange("B2:C3").Borders(host::xlInsideVertical).Weight(), host::xlThin);
    EXPECT_EQ(FormatOf(ws, "B2").border.left.style, "medium");

    // A dashed red top edge with the pen.
    tools.Actions().Pen() = {host::xlDash, host::xlThin, 3};
    Select(v, "E2:F2");
    tools.Action("borderTop")->trigger();
    EXPECT_EQ(FormatOf(ws, "F2").border.top.style, "dashed");
    EXPECT_EQ(ws.GetRange("F2").Borders(host::xlEdgeTop).ColorIndex(), 3);

    // 无框线 on the right column: the left neighbour's line facing it goes too.
    Select(v, "C2:C3");
    tools.Actions().Borders(gui::BorderPreset::None);
    EXPECT_EQ(ws.GetRange("C2").Borders(host::xlEdgeLeft).LineStyle(), host::xlLineStyleNone);
    EXPECT_EQ(FormatOf(ws, "B2").border.right.style, "");
    EXPECT_EQ(FormatOf(ws, "B2").border.left.style, "medium") << "B's other edges stay";
    EXPECT_EQ(ws.GetRange("C2").Borders(host::xlEdgeTop).LineStyle(), host::xlLineStyleNone);
}

TEST(FormatTools, MergeAndCentreAsksBeforeValuesGoAndTogglesBack) {
    Desktop d;
    d.Start();
    gui::FormatTools& tools = Tools(d);
    gui::SheetView& v = NewBook(d);
    host::Worksheet& ws = v.Sheet();
    ws.SetValueAt(2, 2, Variant("考场"));
    ws.SetValueAt(2, 3, Variant("座位表"));
    v.Refresh();

    Select(v, "B2:D2");
    d.TakeMessages();
    d.Toolkit().QueueAnswer(platform::MsgResult::No);
    tools.Action("mergeCenterButton")->trigger();
    EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{"[考场编排系统] 合并单元格时，仅保留左上角的值，而放弃其他值。是否继续？"});
    EXPECT_TRUE(ws.MergedAreas().empty());
    EXPECT_EQ(ws.ValueAt(2, 3), Variant("座位表"));

    d.Toolkit().QueueAnswer(platform::MsgResult::Yes);
    tools.Action("mergeCenterButton")->trigger();
    ASSERT_EQ(ws.MergedAreas().size(), 1u);
    EXPECT_EQ(ws.MergedAreas()[0], (host::Rect{2, 2, 2, 4}));
    EXPECT_EQ(ws.GetRange("B2").HorizontalAlignment(), host::xlHAlignCenter);
    EXPECT_TRUE(ws.ValueAt(2, 3).IsEmpty());
    EXPECT_EQ(v.Grid().columnSpan(1, 1), 3) << "the grid shows the merged area";

    // Clicking the merged cell selects all of it; the button takes the merge back.
    Select(v, "B2");
    tools.Action("mergeCenterButton")->trigger();
    EXPECT_TRUE(ws.MergedAreas().empty());
    // Empty cells merge without a question.
    d.TakeMessages();
    Select(v, "B5:C6");
    tools.Actions().MergeAndCenter();
    EXPECT_TRUE(d.TakeMessages().empty());
    EXPECT_EQ(ws.MergedAreas().size(), 1u);
    tools.Action("unmerge")->trigger();
    EXPECT_TRUE(ws.MergedAreas().empty());
}

TEST(FormatTools, RowsColumnsSizesAndFrozenPanes) {
    Desktop d;
    d.Start();
    gui::FormatTools& tools = Tools(d);
    gui::FormatActions& a = tools.Actions();
    gui::SheetView& v = NewBook(d);
    host::Worksheet& ws = v.Sheet();
    for (int32_t r = 1; r <= 4; ++r) ws.SetValueAt(r, 1, Variant(double(r)));
    ws.SetValueAt(1, 2, Variant("B"));
    ws.SetValueAt(1, 3, Variant("C"));
    v.Refresh();

    Select(v, "A2:B3");
    a.SetRowHeight(30);
    EXPECT_EQ(ws.RowHeightPoints(2), 30);
    EXPECT_EQ(ws.RowHeightPoints(3), 30);
    EXPECT_EQ(ws.RowHeightPoints(4), ws.StandardHeight());
    EXPECT_EQ(v.Grid().rowHeight(1), gui::PointsToPixels(30));
    a.SetColumnWidth(12);
    EXPECT_NEAR(ws.ColumnWidthChars(1), 12, 0.01);
    EXPECT_NEAR(ws.ColumnWidthChars(2), 12, 0.01);
    // A header dragged to 100 pixels: the width the host reports for 100
    // pixels, in the 8-pixel digits of 宋体 11.
    a.ColumnResized(ws, 3, 100);
    EXPECT_NEAR(ws.ColumnWidthChars(3), 11.88, 0.01);
    EXPECT_EQ(v.Grid().columnWidth(2), gui::PointsToPixels(ws.ColumnWidthPoints(3)));
    a.RowResized(ws, 5, 40);
    EXPECT_EQ(ws.RowHeightPoints(5), 30);

    // Insert before rows 2–3: two new rows, formatted like row 1; the values move down.
    Select(v, "A2:B3");
    a.InsertRows();
    EXPECT_EQ(ws.ValueAt(4, 1), Variant(2.0));
    EXPECT_TRUE(ws.ValueAt(2, 1).IsEmpty());
    EXPECT_EQ(ws.RowHeightPoints(2), ws.StandardHeight());
    EXPECT_EQ(ws.RowHeightPoints(5), 30) << "the sized rows moved with their values";
    EXPECT_EQ(ws.RowHeightPoints(7), 30);
    a.DeleteRows();
    EXPECT_EQ(ws.ValueAt(2, 1), Variant(2.0));
    Select(v, "B1");
    a.InsertColumns();
    EXPECT_EQ(ws.ValueAt(1, 3), Variant("B"));
    a.DeleteColumns();
    EXPECT_EQ(ws.ValueAt(1, 2), Variant("B"));

    Select(v, "A3:A4");
    a.HideRows(true);
    EXPECT_TRUE(ws.GetRange("3:4").Hidden());
    EXPECT_TRUE(v.Grid().isRowHidden(2));
    Select(v, "A2:A5");
    a.HideRows(false);
    EXPECT_FALSE(ws.GetRange("3:3").Hidden());
    EXPECT_FALSE(v.Grid().isRowHidden(2));
    // Row 2 hidden, shown again from the first row beside it.
    Select(v, "A2");
    a.HideRows(true);
    Select(v, "A1");
    a.HideRows(false);
    EXPECT_FALSE(ws.GetRange("2:2").Hidden());
    Select(v, "C1");
    a.HideColumns(true);
    EXPECT_TRUE(ws.GetRange("C:C").Hidden());
    // Unhiding from the column next to it, as one does when the hidden one cannot be clicked.
    Select(v, "D1");
    a.HideColumns(false);
    EXPECT_FALSE(ws.GetRange("C:C").Hidden());

    // Frozen above and left of the active cell; the same command unfreezes.
    Select(v, "C3");
    tools.Action("freezePanes")->trigger();
    EXPECT_EQ(ws.FrozenRows(), 2);
    EXPECT_EQ(ws.FrozenColumns(), 2);
    tools.Action("freezePanes")->trigger();
    EXPECT_EQ(ws.FrozenRows(), 0);
    d.TakeMessages();
    Select(v, "A1");
    a.ToggleFreezePanes();
    EXPECT_EQ(d.TakeMessages().size(), 1u);
    EXPECT_EQ(ws.FrozenRows(), 0);

    // The host's refusal comes as a message and changes nothing.
    ws.SetValueAt(1, host::kMaxColumns, Variant("末列"));
    v.Refresh();
    Select(v, "B1");
    a.InsertColumns();
    EXPECT_EQ(d.TakeMessages().size(), 1u);
    EXPECT_EQ(ws.ValueAt(1, host::kMaxColumns), Variant("末列"));
    EXPECT_EQ(ws.ValueAt(1, 2), Variant("B"));
}

TEST(FormatTools, DraggingAHeaderEdgeStoresTheSizeOnRelease) {
    Desktop d;
    d.Start();
    gui::SheetView& v = NewBook(d);
    host::Worksheet& ws = v.Sheet();
    d.Host().show();
    guitest::Settle();
    QHeaderView* header = v.Grid().horizontalHeader();
    const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;  // B's right edge
    const int y = header->height() / 2;
    const int before = header->sectionSize(1);
    ws.Parent().SetSaved(true);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(header->viewport(), QPoint(edge + 20, y));
    QTest::mouseMove(header->viewport(), QPoint(edge + 40, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, y));
    guitest::Settle();
    ASSERT_GT(header->sectionSize(1), before) << "the header followed the mouse";
    EXPECT_GT(ws.ColumnWidthChars(2), ws.DefaultColumnWidth() + 4);
    EXPECT_NEAR(ws.ColumnWidthChars(2), ws.CharsForPixels(header->sectionSize(1)), 0.01);
    EXPECT_FALSE(ws.Parent().Saved());
    EXPECT_NEAR(ws.ColumnWidthChars(1), ws.DefaultColumnWidth(), 0.01) << "only the dragged column";
}

TEST(FormatCellsDialog, ChangesOnlyWhatTheUserChanged) {
    guitest::App();
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    ws.GetRange("B2").Font().SetBold(true);
    ws.GetRange("C2").Font().SetItalic(true);
    ws.GetRange("C2").Font().SetName("楷体");
    host::Range cells = ws.GetRange("B2:C3");

    gui::FormatCellsDialog dialog(cells);
    EXPECT_TRUE(dialog.bold->isChecked()) << "opens on the top-left cell";
    EXPECT_TRUE(dialog.Edit().Empty());
    dialog.fontSize->setValue(14);
    dialog.fill->SetColorIndex(5);
    dialog.numberFormat->setCurrentIndex(dialog.numberFormat->findText("日期"));
    dialog.findChild<QPushButton*>("bordersOutline")->click();
    dialog.merge->setChecked(true);
    dialog.vertical->setCurrentIndex(dialog.vertical->findText("居中"));
    dialog.findChild<QTabWidget*>()->setCurrentIndex(2);  // 字体
    dialog.resize(460, 330);
    guitest::SaveScreenshot(dialog, "format-cells-dialog.png");

    const gui::FormatEdit e = dialog.Edit();
    EXPECT_FALSE(e.bold);
    EXPECT_FALSE(e.fontName);
    EXPECT_EQ(e.fontSize, 14);
    EXPECT_EQ(e.numberFormat, "yyyy/m/d");
    EXPECT_EQ(e.borders.size(), 6u);
    gui::ApplyFormatEdit(cells, e);
    EXPECT_TRUE(ws.GetRange("B2").Font().Bold());
    EXPECT_EQ(ws.GetRange("C2").Font().Name(), "楷体");
    EXPECT_TRUE(ws.GetRange("C2").Font().Italic());
    EXPECT_EQ(ws.GetRange("C3").Font().Size(), 14);
    EXPECT_EQ(ws.GetRange("C3").Interior().ColorIndex(), 5);
    EXPECT_EQ(ws.GetRange("B2").NumberFormat(), "yyyy/m/d");
    EXPECT_EQ(ws.GetRange("B2:C3").Borders(host::xlEdgeRight).LineStyle(), host::xlContinuous);
    EXPECT_EQ(ws.GetRange("B2:C3").Borders(host::xlInsideHorizontal).LineStyle(), host::xlLineStyleNone);
    ASSERT_EQ(ws.MergedAreas().size(), 1u);
    EXPECT_EQ(ws.GetRange("B2").VerticalAlignment(), host::xlVAlignCenter);

    // A format code typed in; the dialog reopened on the merged cells shows the merge.
    gui::FormatCellsDialog again(cells);
    EXPECT_TRUE(again.merge->isChecked());
    EXPECT_EQ(again.numberFormat->currentText(), "日期");
    again.numberFormat->setEditText("0.000");
    again.merge->setChecked(false);
    gui::ApplyFormatEdit(cells, again.Edit());
    EXPECT_EQ(ws.GetRange("C3").NumberFormat(), "0.000");
    EXPECT_TRUE(ws.MergedAreas().empty());
}

TEST(PageSetupDialog, EditsTheSetupAndKeepsWhatItDoesNotShow) {
    guitest::App();
    host::PageSetup setup;
    setup.RowBreaks = {20};
    setup.CenterHeader = "&\"黑体,常规\"&16 考场座位表";
    gui::PageSetupDialog dialog(setup, "$A$1:$H$20");
    EXPECT_TRUE(dialog.portrait->isChecked());
    EXPECT_EQ(dialog.paper->currentText(), "A4");
    EXPECT_NEAR(dialog.left->value(), 1.78, 0.01);
    EXPECT_EQ(dialog.headerText->currentText().toStdString(), setup.CenterHeader) << "a header of its own is kept";
    dialog.landscape->setChecked(true);
    dialog.paper->setCurrentIndex(dialog.paper->findText("A3"));
    dialog.fit->setChecked(true);
    dialog.pagesWide->setValue(1);
    dialog.pagesTall->setValue(0);
    dialog.top->setValue(2.5);
    dialog.centerHorizontally->setChecked(true);
    dialog.footerText->setCurrentIndex(dialog.footerText->findText("第 1 页"));
    dialog.findChild<QPushButton*>("useSelection")->click();
    dialog.titleRows->setText("1:2");
    EXPECT_TRUE(dialog.Problem().isEmpty());
    dialog.resize(460, 360);
    guitest::SaveScreenshot(dialog, "page-setup-dialog.png");

    const host::PageSetup s = dialog.Result();
    EXPECT_EQ(s.Orientation, host::xlLandscape);
    EXPECT_EQ(s.PaperSize, host::xlPaperA3);
    EXPECT_EQ(s.Zoom, 0);
    EXPECT_EQ(s.FitToPagesWide, 1);
    EXPECT_EQ(s.FitToPagesTall, 0);
    EXPECT_NEAR(s.TopMargin, 70.87, 0.01);
    EXPECT_EQ(s.LeftMargin, 50.4) << "an untouched margin keeps its exact points";
    EXPECT_TRUE(s.CenterHorizontally);
    EXPECT_EQ(s.CenterFooter, "第 &P 页");
    EXPECT_EQ(s.CenterHeader, setup.CenterHeader);
    EXPECT_EQ(s.PrintArea, "$A$1:$H$20");
    EXPECT_EQ(s.PrintTitleRows, "$1:$2");
    EXPECT_EQ(s.RowBreaks, std::vector<int32_t>{20});

    dialog.zoom->setChecked(true);
    dialog.zoomPercent->setValue(85);
    EXPECT_EQ(dialog.Result().Zoom, 85);
    dialog.printArea->setText("考场");
    EXPECT_FALSE(dialog.Problem().isEmpty());
    dialog.printArea->clear();
    EXPECT_EQ(dialog.Result().PrintArea, "");
    dialog.titleRows->setText("A1:B2");
    EXPECT_FALSE(dialog.Problem().isEmpty());
}

TEST(FormatTools, PageSetupGoesToTheCurrentSheet) {
    Desktop d;
    d.Start();
    gui::SheetView& v = NewBook(d);
    host::PageSetup s = v.Sheet().PageSetup();
    s.Orientation = host::xlLandscape;
    s.CenterFooter = "第 &P 页";
    v.Sheet().Parent().SetSaved(true);
    Tools(d).Actions().SetPageSetup(s);
    EXPECT_EQ(v.Sheet().PageSetup().Orientation, host::xlLandscape);
    EXPECT_EQ(v.Sheet().PageSetup().CenterFooter, "第 &P 页");
    EXPECT_FALSE(v.Sheet().Parent().Saved());
}

TEST(FormatTools, WrappedTextGrowsItsRowAndADoubleClickOnAHeaderEdgeFits) {
    Desktop d;
    d.Start();
    gui::SheetView& v = NewBook(d);
    host::Worksheet& ws = v.Sheet();
    d.Host().show();
    guitest::Settle();
    Select(v, "A1");
    Tools(d).Actions().SetWrap(true);
    const double standard = ws.RowHeightPoints(1);
    v.Model().setData(v.Model().index(0, 0), "第一考场 高一（1）班 语文 数学 英语 物理 化学 生物");
    guitest::Settle();
    const double fitted = ws.RowHeightPoints(1);
    EXPECT_GE(fitted, 3 * standard) << "several lines of wrapped text";
    EXPECT_FALSE(ws.RowsData()[0].info.customHeight);
    EXPECT_EQ(v.Grid().verticalHeader()->sectionSize(0), int(std::lround(fitted / 0.75))) << "the grid shows it";
    guitest::SaveScreenshot(d.Host(), "wrapped-row-fitted.png");
    d.Host().Edit().UndoAction().trigger();
    guitest::Settle();
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(1), standard);
    d.Host().Edit().RedoAction().trigger();
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(1), fitted);

    // A double-click on the border right of B's header fits B to its widest text.
    ws.SetValueAt(2, 2, Variant("考场编排系统的一个很长的标题"));
    ws.SetValueAt(3, 2, Variant("短"));
    d.Host().RefreshViews();
    guitest::Settle();
    QHeaderView* header = v.Grid().horizontalHeader();
    const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(edge, header->height() / 2));
    guitest::Settle();
    const QFontMetrics metrics(render::QtFont(FormatOf(ws, "B2").font));
    const int text = metrics.horizontalAdvance(QString("考场编排系统的一个很长的标题"));
    EXPECT_GE(ws.ColumnWidthPoints(2) / 0.75, text);
    EXPECT_LE(ws.ColumnWidthPoints(2) / 0.75, text + 20);
    EXPECT_EQ(d.Host().Edit().UndoAction().text(), "撤销 自动调整列宽");
    d.Host().Edit().UndoAction().trigger();
    EXPECT_NEAR(ws.ColumnWidthChars(2), ws.DefaultColumnWidth(), 0.01);
}
