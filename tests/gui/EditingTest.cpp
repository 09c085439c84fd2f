// Editing in the host window as in Excel/WPS: keys, the name box, the
// 编辑 menu's actions and the clipboard, each with its undo and redo.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUndoStack>

#include "GuiTestSupport.h"
#include "gui/EditActions.h"
#include "gui/EditHistory.h"
#include "gui/ShiftCellsDialog.h"
#include "gui/SheetView.h"
#include "gui/WorkbookView.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using guitest::Desktop;
using host::Rect;
using host::Variant;

namespace {

// A desktop with one new workbook on screen and its sheet's grid focused.
struct Sheet {
    Desktop d;
    host::Workbook& wb;
    host::Worksheet& ws;

    Sheet() : wb(d.HostApp().Workbooks().Add()), ws(wb.Sheet(1)) {
        d.Host().show();
        d.Host().RefreshViews();
        guitest::Settle();
        Grid().setFocus();
    }
    gui::SheetView& View() { return *d.Host().CurrentSheetView(); }
    gui::GridView& Grid() { return View().Grid(); }
    gui::EditActions& Edit() { return d.Host().Edit(); }
    QUndoStack& Stack() { return d.Host().History().Stack(); }
    void Refresh() { d.Host().RefreshViews(); }
    // Selects a block by its address, as a click and drag would.
    void Select(const char* a1) {
        Refresh();
        View().SelectBlock(*host::ParseArea(a1));
    }
    std::string Current() {
        const QModelIndex i = Grid().currentIndex();
        return host::CellAddress(i.row() + 1, i.column() + 1);
    }
    std::string Selected() { return host::AreaAddress(View().SelectedBlock(), false, false); }
    // The open cell editor, else the grid: where a key goes.
    QWidget* KeyTarget() {
        for (auto* editor : Grid().findChildren<QLineEdit*>())
            if (editor->isVisible()) return editor;
        return &Grid();
    }
    void Key(int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(KeyTarget(), Qt::Key(key), m);
        guitest::Settle();
    }
    void Type(const char* text) {
        for (const char* c = text; *c; ++c) QTest::keyClick(KeyTarget(), *c);
        guitest::Settle();
    }
    void Undo() { Edit().UndoAction().trigger(); }
    void Redo() { Edit().RedoAction().trigger(); }
    const host::CellFormat& FormatAt(int32_t r, int32_t c) { return wb.Styles().Get(ws.StyleAt(r, c)); }
};

QString Fixture(const char* name) {
    QFile f(QString(TOLM_TEST_DATA "/clipboard/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(f.readAll());
}

}  // namespace

TEST(Editing, EnterAndTabMoveOnAndEachEntryIsOneStepToUndoAndRedo) {
    Sheet s;
    s.Select("B2");
    s.Type("5");
    EXPECT_TRUE(s.Grid().Editing());
    s.Key(Qt::Key_Return);
    EXPECT_EQ(s.ws.ValueAt(2, 2), Variant(5.0));
    EXPECT_EQ(s.Current(), "B3") << "Enter moves down";
    s.Type("7");
    s.Key(Qt::Key_Tab);
    EXPECT_EQ(s.ws.ValueAt(3, 2), Variant(7.0));
    EXPECT_EQ(s.Current(), "C3") << "Tab moves right";
    s.Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(s.Current(), "C2") << "Shift+Enter moves up";
    s.Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(s.Current(), "B2") << "Shift+Tab moves left";

    EXPECT_EQ(s.Edit().UndoAction().text(), "撤销 键入 B3");
    s.Undo();
    EXPECT_TRUE(s.ws.ValueAt(3, 2).IsEmpty());
    EXPECT_EQ(s.ws.ValueAt(2, 2), Variant(5.0));
    s.Undo();
    EXPECT_TRUE(s.ws.ValueAt(2, 2).IsEmpty());
    EXPECT_FALSE(s.Edit().UndoAction().isEnabled());
    EXPECT_EQ(s.Edit().RedoAction().text(), "恢复 键入 B2");
    s.Redo();
    s.Redo();
    EXPECT_EQ(s.ws.ValueAt(2, 2), Variant(5.0));
    EXPECT_EQ(s.ws.ValueAt(3, 2), Variant(7.0));
    // The same entry again changes nothing and leaves no step.
    const int steps = s.Stack().count();
    s.View().Model().setData(s.View().Model().index(1, 1), "5");
    EXPECT_EQ(s.Stack().count(), steps);
}

TEST(Editing, TheEditorUsesTheCellsFontAndTheFormulaBarFollowsTyping) {
    Sheet s;
    s.ws.GetRange("B2").Font().SetName("黑体");
    s.ws.GetRange("B2").Font().SetSize(20);
    s.ws.SetValueAt(2, 2, Variant("原文"));
    s.Select("B2");
    s.Key(Qt::Key_F2);
    auto* editor = s.Grid().findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    const QFont cell = s.View().Model().index(1, 1).data(Qt::FontRole).value<QFont>();
    EXPECT_EQ(editor->font().family(), cell.family());
    EXPECT_EQ(editor->font().pointSizeF(), cell.pointSizeF());
    EXPECT_EQ(editor->text(), "原文") << "F2 edits the cell's entry in place";
    s.Key(Qt::Key_Escape);
    s.Select("C3");
    s.Type("12");
    EXPECT_EQ(s.d.Host().FormulaBar().text(), "12");
    s.Key(Qt::Key_Return);
    EXPECT_EQ(s.ws.ValueAt(3, 3), Variant(12.0));
}

TEST(Editing, LockedCellsOfAProtectedSheetRefuseTheFirstKeystroke) {
    Sheet s;
    s.ws.SetValueAt(1, 1, Variant("锁定"));
    s.ws.GetRange("B1").SetLocked(false);
    s.ws.Protect("");
    s.Select("A1");
    s.d.TakeMessages();
    s.Type("x");
    EXPECT_FALSE(s.Grid().Editing()) << "no editor opens";
    EXPECT_EQ(s.d.TakeMessages(), std::vector<std::string>{"[考场编排系统] 单元格或图表受保护，不能修改。"});
    // The same for Delete, a paste and a fill: refused whole, nothing changed, no step.
    s.Select("A1:B1");
    s.Edit().ClearContents();
    EXPECT_EQ(s.d.TakeMessages(), std::vector<std::string>{"[考场编排系统] 单元格或图表受保护，不能修改。"});
    EXPECT_EQ(s.ws.ValueAt(1, 1), Variant("锁定"));
    EXPECT_EQ(s.Stack().count(), 0);
    // An unlocked cell takes the entry; arrows on a locked cell still move.
    s.Select("A1");
    s.Key(Qt::Key_Right);
    EXPECT_EQ(s.Current(), "B1");
    s.Type("9");
    s.Key(Qt::Key_Return);
    EXPECT_EQ(s.ws.ValueAt(1, 2), Variant(9.0));
    EXPECT_TRUE(s.d.TakeMessages().empty());
}

TEST(Editing, TheNameBoxGoesToCellsBlocksAndNamesAndNeverWritesIntoACell) {
    Sheet s;
    s.ws.SetName("名单");
    s.wb.Worksheets().Add(&s.ws).SetName("设置");
    s.wb.SetActiveSheet(&s.ws);
    s.wb.DefinedNames().push_back({"考场数", -1, "设置!$B$2:$C$4", false});
    s.Refresh();
    const Rect used = s.ws.UsedRect();
    QLineEdit& box = s.d.Host().NameBox();
    auto enter = [&](const QString& text) {
        box.setFocus();
        box.setText(text);
        QTest::keyClick(&box, Qt::Key_Return);
        guitest::Settle();
    };
    enter("B3");
    EXPECT_EQ(s.Current(), "B3");
    EXPECT_EQ(box.text(), "B3");
    enter("a1:c5");
    EXPECT_EQ(s.Selected(), "A1:C5");
    EXPECT_EQ(s.Current(), "A1");
    enter("考场数");
    EXPECT_EQ(&s.View().Sheet(), &s.wb.Sheet(2)) << "a name on another sheet brings that sheet forward";
    EXPECT_EQ(s.Selected(), "B2:C4");
    s.d.TakeMessages();
    enter("不存在的名字");
    EXPECT_EQ(s.d.TakeMessages(),
              std::vector<std::string>{"[考场编排系统] 引用无效。请键入单元格地址（如 B3、A1:C5）或已定义的名称。"});
    EXPECT_EQ(box.text(), "B2") << "the box shows the current cell again";
    enter("A1");
    for (int i = 1; i <= 2; ++i) EXPECT_EQ(s.wb.Sheet(i).UsedRect(), used) << "nothing was written";
    EXPECT_EQ(s.Stack().count(), 0);
}

TEST(Editing, CtrlArrowsHomeEndAndSelectAllFollowTheData) {
    Sheet s;
    for (int r = 1; r <= 5; ++r) s.ws.SetValueAt(r, 1, Variant(r));
    s.ws.SetValueAt(10, 3, Variant("末"));
    s.Select("A1");
    s.Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(s.Current(), "A5");
    s.Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(s.Current(), "A110") << "past the data the jump stops at the grid's last row";
    s.Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(s.Current(), "A1");
    s.Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(s.Current(), "C10") << "the last used cell, not past it";
    s.Select("A1");
    s.Key(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.Selected(), "A1:A5");
    s.Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.Selected(), "A1:W5") << "to the grid's last column (used columns and a margin)";
    s.Edit().SelectAll();
    EXPECT_EQ(s.View().SelectedBlock(), (Rect{1, 1, s.View().Model().rowCount(), s.View().Model().columnCount()}));
}

TEST(Editing, ClearFillReplaceAndDeleteAreEachOneStep) {
    Sheet s;
    s.ws.SetValueAt(1, 1, Variant(2.0));
    s.ws.GetRange("B1").SetFormula("=A1*10");
    s.ws.GetRange("A1:B1").Font().SetBold(true);
    s.ws.SetValueAt(3, 1, Variant("张三"));
    s.ws.SetValueAt(4, 1, Variant("张三丰"));

    s.Select("A1:B3");
    s.Edit().FillDown();
    EXPECT_EQ(s.ws.GetRange("B3").Formula(), "=A3*10") << "formulas follow their row";
    EXPECT_EQ(s.ws.ValueAt(3, 1), Variant(2.0));
    EXPECT_TRUE(s.FormatAt(3, 1).font.bold);
    EXPECT_EQ(s.Edit().UndoAction().text(), "撤销 向下填充");
    s.Undo();
    EXPECT_EQ(s.ws.ValueAt(3, 1), Variant("张三"));
    EXPECT_FALSE(s.FormatAt(3, 1).font.bold);
    EXPECT_EQ(s.ws.FindCell(3, 2), nullptr);

    s.Select("C1");
    s.Edit().FillRight();
    EXPECT_EQ(s.ws.GetRange("C1").Formula(), "=B1*10") << "one cell: from the cell to its left";
    s.Undo();
    EXPECT_EQ(s.ws.FindCell(1, 3), nullptr);

    s.Select("A3");
    s.d.TakeMessages();
    EXPECT_EQ(s.Edit().ReplaceAll("张三", "李四", {}), 2);
    EXPECT_EQ(s.ws.ValueAt(4, 1), Variant("李四丰"));
    EXPECT_EQ(s.d.TakeMessages(), std::vector<std::string>{"[考场编排系统] 全部完成。完成 2 处替换。"});
    EXPECT_EQ(s.Edit().ReplaceAll("李四", "王五", {false, true}), 1) << "whole cell only";
    s.Undo();
    s.Undo();
    EXPECT_EQ(s.ws.ValueAt(3, 1), Variant("张三"));
    EXPECT_EQ(s.ws.ValueAt(4, 1), Variant("张三丰"));

    s.Select("A1");
    EXPECT_TRUE(s.Edit().FindNext("张三丰", {}));
    EXPECT_EQ(s.Current(), "A4");
    EXPECT_FALSE(s.Edit().FindNext("没有", {}));

    s.Select("A1:B1");
    s.Edit().ClearContents();
    EXPECT_TRUE(s.ws.ValueAt(1, 1).IsEmpty());
    EXPECT_FALSE(s.ws.FindCell(1, 2)->HasFormula());
    EXPECT_TRUE(s.FormatAt(1, 1).font.bold) << "formats stay";
    s.Undo();
    EXPECT_EQ(s.ws.GetRange("B1").Formula(), "=A1*10");

    // Blocks picked with Ctrl+click: the cells between them keep their values.
    s.ws.SetValueAt(2, 2, Variant("中间"));
    s.Select("A1");
    s.Grid().selectionModel()->select(s.View().Model().index(2, 2), QItemSelectionModel::Select);
    s.Edit().ClearContents();
    EXPECT_TRUE(s.ws.ValueAt(1, 1).IsEmpty());
    EXPECT_EQ(s.ws.ValueAt(2, 2), Variant("中间"));
    s.Undo();
    EXPECT_EQ(s.ws.ValueAt(1, 1), Variant(2.0));

    s.Select("A3");
    s.d.Toolkit().QueueInput("整行");
    s.Edit().DeleteCells();
    EXPECT_EQ(s.ws.ValueAt(3, 1), Variant("张三丰"));
    s.Undo();
    EXPECT_EQ(s.ws.ValueAt(3, 1), Variant("张三"));
    EXPECT_EQ(s.ws.ValueAt(4, 1), Variant("张三丰"));
}

TEST(Editing, CopyAndPasteWithinTheProgramCarryFormatsMergesAndWidths) {
    Sheet s;
    s.ws.SetValueAt(1, 1, Variant("标题"));
    s.ws.GetRange("A1:B1").Merge();
    s.ws.GetRange("A1").Font().SetBold(true);
    s.ws.SetValueAt(2, 1, Variant(1.0));
    s.ws.SetValueAt(2, 2, Variant("二"));
    s.ws.SetColumnWidthChars(1, 20);

    s.Select("A1:B2");
    s.Edit().Copy();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), "标题\t\r\n1\t二\r\n") << "what other programs read: the values as shown";
    EXPECT_TRUE(mime->html().contains("colspan=\"2\""));

    s.Select("D5");
    ASSERT_TRUE(s.Edit().Paste());
    EXPECT_EQ(s.ws.ValueAt(5, 4), Variant("标题"));
    EXPECT_TRUE(s.FormatAt(5, 4).font.bold);
    EXPECT_EQ(s.ws.ValueAt(6, 5), Variant("二"));
    EXPECT_NE(s.ws.MergeAreaAt(5, 5), nullptr);
    EXPECT_EQ(s.Selected(), "D5:E6");
    s.Undo();
    EXPECT_EQ(s.ws.FindCell(5, 4), nullptr);
    EXPECT_EQ(s.ws.MergeAreaAt(5, 5), nullptr);

    s.Select("D1");
    ASSERT_TRUE(s.Edit().Paste(gui::ClipPaste::ColumnWidths));
    EXPECT_DOUBLE_EQ(s.ws.ColumnWidthChars(4), s.ws.ColumnWidthChars(1));
    s.Undo();
    EXPECT_DOUBLE_EQ(s.ws.ColumnWidthChars(4), s.ws.ColumnWidthChars(3));

    s.Select("D8");
    ASSERT_TRUE(s.Edit().Paste(gui::ClipPaste::Values));
    EXPECT_EQ(s.ws.ValueAt(9, 5), s.ws.ValueAt(2, 2));
    EXPECT_FALSE(s.ws.FindCell(9, 5)->HasFormula());
    EXPECT_FALSE(s.FormatAt(8, 4).font.bold);

    // A cut moves the block; one undo puts both places back.
    s.Select("A1:B2");
    s.Edit().Copy(true);
    s.Select("A10");
    ASSERT_TRUE(s.Edit().Paste());
    EXPECT_EQ(s.ws.ValueAt(10, 1), Variant("标题"));
    EXPECT_EQ(s.ws.FindCell(1, 1), nullptr);
    EXPECT_EQ(s.ws.MergeAreaAt(1, 1), nullptr);
    EXPECT_EQ(s.Edit().UndoAction().text(), "撤销 移动到 A10:B11");
    s.Undo();
    EXPECT_EQ(s.ws.ValueAt(1, 1), Variant("标题"));
    EXPECT_NE(s.ws.MergeAreaAt(1, 2), nullptr);
    EXPECT_EQ(s.ws.FindCell(10, 1), nullptr);
}

TEST(Editing, PastesFromOtherProgramsHtmlAndTextWithUndo) {
    Sheet s;
    auto put = [](const QString& html, const QString& text) {
        auto* mime = new QMimeData;
        if (!html.isEmpty()) mime->setHtml(html);
        mime->setText(text);
        QGuiApplication::clipboard()->setMimeData(mime);
    };
    put(Fixture("excel-fragment.html"), "考场安排\t\r\n0001\t1234.50 \r\n");
    s.Select("B2");
    ASSERT_TRUE(s.Edit().Paste());
    EXPECT_EQ(s.ws.ValueAt(2, 2), Variant("考场安排"));
    EXPECT_NE(s.ws.MergeAreaAt(2, 3), nullptr);
    EXPECT_EQ(s.ws.ValueAt(3, 2), Variant("0001"));
    EXPECT_EQ(s.ws.ValueAt(3, 3), Variant(1234.5));
    s.Undo();
    EXPECT_EQ(s.ws.UsedRect(), (Rect{1, 1, 1, 1}));
    EXPECT_EQ(s.ws.MergeAreaAt(2, 3), nullptr);

    // A roster column from a text editor or a program without HTML.
    put({}, "考号\n20250000002\n20250000003\n");
    s.ws.GetRange("A:A").SetNumberFormat("@");
    s.Select("A1");
    ASSERT_TRUE(s.Edit().Paste());
    EXPECT_EQ(s.ws.ValueAt(2, 1), Variant("20250000002")) << "a text column keeps the digits as text";
    EXPECT_EQ(s.Selected(), "A1:A3");
    s.Undo();
    EXPECT_TRUE(s.ws.ValueAt(2, 1).IsEmpty());

    put(Fixture("libreoffice-fragment.html"), "");
    s.Select("D1");
    ASSERT_TRUE(s.Edit().Paste(gui::ClipPaste::ColumnWidths));
    EXPECT_NEAR(s.ws.ColumnWidthPoints(4), 85 * 0.75, 1);
    s.Undo();
    EXPECT_DOUBLE_EQ(s.ws.ColumnWidthPoints(4), s.ws.ColumnWidthPoints(10));
}

TEST(Editing, AToolCommandIsOneStepThatRestoresTheWorkbooksItChanged) {
    Sheet s;
    s.ws.SetValueAt(1, 1, Variant("原"));
    const size_t sheets = size_t(s.wb.SheetCount());
    s.d.Toolkit().RunCommand("编排考场", [&] {
        s.ws.SetValueAt(1, 1, Variant("编排后"));
        s.wb.Worksheets().Add(&s.ws).SetName("考场");
    });
    s.Refresh();
    EXPECT_EQ(s.Edit().UndoAction().text(), "撤销 编排考场");
    s.Undo();
    EXPECT_EQ(s.ws.ValueAt(1, 1), Variant("原"));
    EXPECT_EQ(size_t(s.wb.SheetCount()), sheets);
    EXPECT_EQ(s.d.Host().CurrentWorkbookView()->count(), int(sheets)) << "the views follow";
    s.Redo();
    EXPECT_EQ(s.wb.SheetByName("考场") != nullptr, true);
    // A command that changed nothing leaves no step.
    const int steps = s.Stack().count();
    s.d.Toolkit().RunCommand("帮助", [] {});
    EXPECT_EQ(s.Stack().count(), steps);
}

TEST(Editing, ACommandOverWorkbooksTooLargeToCopySaysItCannotBeUndone) {
    Sheet s;
    s.View().Model().setData(s.View().Model().index(0, 0), "键入的");
    ASSERT_EQ(s.Stack().count(), 1);
    s.d.Host().History().SetCommandCellLimit(0);
    s.d.Toolkit().RunCommand("编排考场", [&] { s.ws.SetValueAt(2, 1, Variant("编排后")); });
    EXPECT_EQ(s.Stack().count(), 0) << "the earlier steps may no longer fit";
    EXPECT_EQ(s.Edit().UndoAction().text(), "不能撤销 编排考场");
    EXPECT_FALSE(s.Edit().UndoAction().isEnabled());
    // The next recorded step ends the statement.
    s.View().Model().setData(s.View().Model().index(2, 0), "又键入");
    EXPECT_EQ(s.Edit().UndoAction().text(), "撤销 键入 A3");
}

TEST(Editing, ClosingAWorkbookDropsTheStepsThatReachIt) {
    Sheet s;
    s.Select("A1");
    s.View().Model().setData(s.View().Model().index(0, 0), "值");
    ASSERT_EQ(s.Stack().count(), 1);
    s.d.Toolkit().QueueAnswer(platform::MsgResult::No);
    ASSERT_TRUE(s.d.Host().CloseWorkbook(s.wb));
    EXPECT_EQ(s.Stack().count(), 0);
    EXPECT_FALSE(s.Edit().UndoAction().isEnabled());
}

namespace {

// What the grid holds in rows × cols, "." for an empty cell.
std::string GridText(host::Worksheet& ws, int32_t rows, int32_t cols) {
    std::string s;
    for (int32_t r = 1; r <= rows; ++r)
        for (int32_t c = 1; c <= cols; ++c) {
            const Variant& v = ws.ValueAt(r, c);
            s += v.IsEmpty() ? "." : host::ToText(v);
            s += c < cols ? " " : "\n";
        }
    return s;
}

}  // namespace

TEST(Editing, InsertAndDeleteCellsShiftTheirNeighboursAsOneStep) {
    Sheet s;
    for (int32_t r = 1; r <= 3; ++r)
        for (int32_t c = 1; c <= 2; ++c) s.ws.SetValueAt(r, c, Variant(host::CellAddress(r, c)));
    s.ws.GetCell(5, 1).formula = std::make_unique<std::string>("B2&B3");
    const std::string before = GridText(s.ws, 4, 3);

    s.Select("B2");
    s.d.Toolkit().QueueInput("活动单元格下移");
    s.Edit().InsertCells();
    EXPECT_EQ(GridText(s.ws, 4, 2), "A1 B1\nA2 .\nA3 B2\n. B3\n");
    EXPECT_EQ(s.ws.GetRange("A5").Formula(), "=B3&B4");
    EXPECT_EQ(s.Edit().UndoAction().text(), "撤销 插入 B2");
    s.Undo();
    EXPECT_EQ(GridText(s.ws, 4, 3), before);
    EXPECT_EQ(s.ws.GetRange("A5").Formula(), "=B2&B3");
    s.Redo();
    EXPECT_EQ(s.ws.GetRange("A5").Formula(), "=B3&B4");
    s.Undo();

    s.Select("A2");
    s.d.Toolkit().QueueInput("右侧单元格左移");
    s.Edit().DeleteCells();
    EXPECT_EQ(GridText(s.ws, 3, 2), "A1 B1\nB2 .\nA3 B3\n");
    EXPECT_EQ(s.ws.GetRange("A5").Formula(), "=A2&B3");
    s.Undo();
    s.d.Toolkit().QueueInput("下方单元格上移");
    s.Edit().DeleteCells();
    EXPECT_EQ(s.ws.GetRange("A4").Formula(), "=B2&B3") << "column B did not move, the formula did";
    EXPECT_EQ(GridText(s.ws, 3, 2), "A1 B1\nA3 B2\n. B3\n");
    s.Undo();

    // A merged area in the way: a message, nothing changed, no step.
    s.ws.GetRange("B3:C3").Merge();
    const int steps = s.Stack().count();
    s.d.TakeMessages();
    s.Select("B1");
    s.d.Toolkit().QueueInput("活动单元格下移");
    s.Edit().InsertCells();
    const std::vector<std::string> shown = s.d.TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("合并单元格"), std::string::npos) << shown[0];
    EXPECT_EQ(s.Stack().count(), steps);
    EXPECT_EQ(s.ws.ValueAt(2, 2), Variant("B2"));

    // The dialogs, as they open from the menu.
    gui::ShiftCellsDialog insert(true, gui::CellShift::Vertical, &s.d.Host());
    EXPECT_EQ(insert.Choice(), gui::CellShift::Vertical);
    guitest::SaveScreenshot(insert, "insert-cells-dialog.png");
    gui::ShiftCellsDialog remove(false, gui::CellShift::Sideways, &s.d.Host());
    guitest::SaveScreenshot(remove, "delete-cells-dialog.png");
}

TEST(Editing, CutAndPasteMovesTheReferencesToTheCells) {
    Sheet s;
    s.ws.SetValueAt(1, 1, Variant(2.0));
    s.ws.SetValueAt(1, 2, Variant(3.0));
    s.ws.GetCell(1, 3).formula = std::make_unique<std::string>("A1*B1");
    s.ws.GetCell(4, 1).formula = std::make_unique<std::string>("SUM(A1:C1)");
    s.Select("A1:C1");
    s.Edit().Copy(true);
    s.Select("B6");
    ASSERT_TRUE(s.Edit().Paste());
    EXPECT_EQ(s.ws.GetRange("D6").Formula(), "=B6*C6");
    EXPECT_EQ(s.ws.GetRange("A4").Formula(), "=SUM(B6:D6)");
    EXPECT_EQ(s.ws.FindCell(1, 1), nullptr);
    EXPECT_EQ(s.Selected(), "B6:D6");
    s.Undo();
    EXPECT_EQ(s.ws.GetRange("C1").Formula(), "=A1*B1");
    EXPECT_EQ(s.ws.GetRange("A4").Formula(), "=SUM(A1:C1)");
    EXPECT_EQ(s.ws.FindCell(6, 2), nullptr);
}
