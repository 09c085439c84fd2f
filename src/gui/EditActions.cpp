#include "gui/EditActions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include "gui/EditHistory.h"
#include "gui/HostWindow.h"
#include "gui/QtToolkit.h"
#include "gui/ShiftCellsDialog.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "workbook/SystemNames.h"

namespace gui {

namespace {

const std::string kTitle(workbook::kProductName);
constexpr int64_t kMaxHtmlCells = 200'000;

CellBlock BlockOf(const host::Rect& r) { return {r.top, r.left, r.bottom, r.right}; }
QString Address(const host::Rect& r) {
    return QString::fromStdString(r.top == r.bottom && r.left == r.right ? host::CellAddress(r.top, r.left)
                                                                         : host::AreaAddress(r, false, false));
}

// The block of the sheet a copy of other programs' text reaches: at most
// the used part of a selection of whole rows or columns.
host::Rect Trimmed(const host::Worksheet& ws, host::Rect b) {
    const host::Rect used = ws.UsedRect();
    b.bottom = std::max(b.top, std::min(b.bottom, used.bottom));
    b.right = std::max(b.left, std::min(b.right, used.right));
    return b;
}

// Where a paste of `source` at the selection `dest` lands, as the host tiles it.
host::Rect PasteTarget(const host::Rect& source, const host::Rect& dest) {
    if (dest.Rows() % source.Rows() == 0 && dest.Columns() % source.Columns() == 0) return dest;
    return {dest.top, dest.left, dest.top + source.Rows() - 1, dest.left + source.Columns() - 1};
}

QString Replaced(QString text, const QString& what, const QString& with, const ReplaceOptions& o) {
    const Qt::CaseSensitivity cs = o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (o.wholeCell) return text.compare(what, cs) == 0 ? with : text;
    return text.replace(what, with, cs);
}

}  // namespace

int ReplaceInCells(host::Worksheet& ws, const host::Rect& block, const QString& what, const QString& with,
                   const ReplaceOptions& options) {
    if (what.isEmpty()) return 0;
    struct Change {
        int32_t row, col;
        std::string typed;
    };
    std::vector<Change> changes;
    const auto& rows = ws.RowsData();
    for (int32_t r = block.top; r <= block.bottom && size_t(r) <= rows.size(); ++r)
        for (const host::Cell& c : rows[size_t(r - 1)].cells) {
            if (c.col < block.left || c.col > block.right) continue;
            const QString text = c.HasFormula() ? "=" + QString::fromStdString(*c.formula)
                                                : QString::fromStdString(host::ToText(c.value));
            if (text.isEmpty()) continue;
            const QString now = Replaced(text, what, with, options);
            if (now != text) changes.push_back({r, c.col, now.toStdString()});
        }
    for (const Change& c : changes) ws.CheckUserEdit(c.row, c.col);
    for (const Change& c : changes) ws.UserEdit(c.row, c.col, c.typed);
    return int(changes.size());
}

EditActions::EditActions(HostWindow& window, host::Application& app, EditHistory& history, QtToolkit& toolkit)
    : QObject(&window), window_(window), app_(app), history_(history), toolkit_(toolkit) {
    Build();
    connect(&history_, &EditHistory::Changed, this, [this] { UpdateUndoText(); });
    UpdateUndoText();
}

void EditActions::Build() {
    menu_ = new QMenu("编辑(&E)", &window_);
    menu_->setObjectName("editMenu");
    auto add = [this](const QString& text, const QKeySequence& key, const char* name, auto f) {
        QAction* a = menu_->addAction(text, key, this, f);
        a->setObjectName(name);
        return a;
    };
    undo_ = add("撤销", QKeySequence::Undo, "undoAction", [this] {
        if (history_.Stack().canUndo()) history_.Stack().undo();
    });
    redo_ = add("恢复", QKeySequence(Qt::CTRL | Qt::Key_Y), "redoAction", [this] {
        if (history_.Stack().canRedo()) history_.Stack().redo();
    });
    menu_->addSeparator();
    add("剪切(&T)", QKeySequence::Cut, "cutAction", [this] { Copy(true); });
    add("复制(&C)", QKeySequence::Copy, "copyAction", [this] { Copy(false); });
    add("粘贴(&P)", QKeySequence::Paste, "pasteAction", [this] { Paste(ClipPaste::All); });
    QMenu* special = menu_->addMenu("选择性粘贴(&S)");
    special->setObjectName("pasteSpecialMenu");
    special->addAction("值(&V)", this, [this] { Paste(ClipPaste::Values); })->setObjectName("pasteValuesAction");
    special->addAction("格式(&T)", this, [this] { Paste(ClipPaste::Formats); })->setObjectName("pasteFormatsAction");
    special->addAction("列宽(&W)", this, [this] { Paste(ClipPaste::ColumnWidths); })
        ->setObjectName("pasteWidthsAction");
    menu_->addSeparator();
    QMenu* fill = menu_->addMenu("填充(&I)");
    fill->addAction("向下(&D)", QKeySequence(Qt::CTRL | Qt::Key_D), this, [this] { FillDown(); })
        ->setObjectName("fillDownAction");
    fill->addAction("向右(&R)", QKeySequence(Qt::CTRL | Qt::Key_R), this, [this] { FillRight(); })
        ->setObjectName("fillRightAction");
    add("清除内容(&N)", QKeySequence(Qt::Key_Delete), "clearContentsAction", [this] { ClearContents(); });
    QAction* insert = add("插入(&I)…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal), "insertCellsAction",
                          [this] { InsertCells(); });
    insert->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    add("删除(&D)…", QKeySequence(Qt::CTRL | Qt::Key_Minus), "deleteCellsAction", [this] { DeleteCells(); });
    menu_->addSeparator();
    add("全选(&L)", QKeySequence::SelectAll, "selectAllAction", [this] { SelectAll(); });
    add("查找(&F)…", QKeySequence::Find, "findAction", [this] { ShowFind(false); });
    add("替换(&E)…", QKeySequence(Qt::CTRL | Qt::Key_H), "replaceAction", [this] { ShowFind(true); });
    // The grid and the menu bar share the actions; their keys work while the grid has focus.
    for (QAction* a : menu_->actions()) a->setShortcutContext(Qt::WindowShortcut);
}

void EditActions::UpdateUndoText() {
    QUndoStack& stack = history_.Stack();
    if (stack.canUndo()) undo_->setText("撤销 " + stack.undoText());
    else if (!history_.IrreversibleText().isEmpty()) undo_->setText("不能撤销 " + history_.IrreversibleText());
    else undo_->setText("撤销");
    undo_->setEnabled(stack.canUndo());
    redo_->setText(stack.canRedo() ? "恢复 " + stack.redoText() : QString("恢复"));
    redo_->setEnabled(stack.canRedo());
}

void EditActions::ShowContextMenu(const QPoint& global) {
    QMenu menu;
    for (QAction* a : menu_->actions()) menu.addAction(a);
    menu.exec(global);
}

bool EditActions::Guard(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& e) {
        toolkit_.MessageBox({e.what(), platform::MsgButtons::OK, platform::MsgIcon::Exclamation, 1, kTitle});
        Done();
        return false;
    }
    Done();
    return true;
}

void EditActions::Done() { window_.RefreshViews(); }

void EditActions::Copy(bool cut) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const host::Rect block = v->SelectedBlock();
    app_.SetClipboard(&ws, block);
    cut_ = cut;
    token_ = QByteArray::number(QCoreApplication::applicationPid()) + ":" + QByteArray::number(++copies_);
    auto* mime = new QMimeData;
    const host::Rect shown = Trimmed(ws, block);
    mime->setText(ClipboardText(ws, shown));
    // A table of a few hundred thousand cells is as much as other programs take as HTML.
    if (shown.Count() <= kMaxHtmlCells) mime->setHtml(ClipboardHtml(ws, shown));
    mime->setData(kCellsMimeType, token_);
    QGuiApplication::clipboard()->setMimeData(mime);
}

bool EditActions::Paste(ClipPaste what) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return false;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime) return false;
    if (!token_.isEmpty() && mime->data(kCellsMimeType) == token_ && app_.ClipboardSheet())
        return PasteInternal(*v, what);
    const host::CellFormat& base = v->Sheet().Parent().Styles().Default();
    ClipTable table;
    if (mime->hasHtml()) table = ParseClipboardHtml(mime->html(), base);
    if (table.Empty() && mime->hasText()) table = ParseClipboardText(mime->text());
    if (table.Empty()) return false;
    return PasteTable(*v, table, what);
}

bool EditActions::PasteInternal(SheetView& v, ClipPaste what) {
    host::Worksheet& ws = v.Sheet();
    host::Worksheet& from = *app_.ClipboardSheet();
    const host::Rect source = app_.ClipboardRect();
    const host::Rect target = PasteTarget(source, v.SelectedBlock());
    const bool cut = cut_ && what == ClipPaste::All;
    const host::XlPasteType type = what == ClipPaste::Values    ? host::xlPasteValues
                                   : what == ClipPaste::Formats ? host::xlPasteFormats
                                   : what == ClipPaste::ColumnWidths ? host::xlPasteColumnWidths
                                                                     : host::xlPasteAll;
    if (cut && &from.Parent() == &ws.Parent()) return PasteCut(v, from, source);
    auto paste = [&] {
        ws.CheckUserEdit(target);
        if (cut) from.CheckUserEdit(source);
        ws.GetRange(target).PasteSpecial(type);
        if (!cut) return;
        // Into another workbook the cells are copied and the source emptied:
        // references cannot reach from one workbook into another.
        auto& rows = from.RowsData();
        for (int32_t r = source.top; r <= source.bottom && size_t(r) <= rows.size(); ++r)
            std::erase_if(rows[size_t(r - 1)].cells,
                          [&](const host::Cell& c) { return c.col >= source.left && c.col <= source.right; });
        for (const host::Rect& m : from.MergedAreas().Intersecting(source))
            if (source.Contains(m)) from.MergedAreas().RemoveIntersecting(m);
        from.MarkChanged();
    };
    const QString text = (cut ? "移动到 " : "粘贴到 ") + Address(target);
    const bool wholeLines = source.IsWholeRows() || source.IsWholeColumns();
    const bool ok = Guard([&] {
        if (cut) history_.ApplyToApplication(text, app_, paste);
        else if (wholeLines || what == ClipPaste::ColumnWidths) history_.ApplyToSheet(text, ws, paste);
        else history_.ApplyToCells(text, ws, BlockOf(target), paste);
    });
    if (ok && cut) {
        // A cut is pasted once.
        cut_ = false;
        app_.ClearClipboardOf(&from);
        token_.clear();
    }
    if (ok) v.SelectBlock(target);
    return ok;
}

bool EditActions::PasteCut(SheetView& v, host::Worksheet& from, const host::Rect& source) {
    host::Worksheet& ws = v.Sheet();
    const host::Rect at = v.SelectedBlock();
    const host::Rect target{at.top, at.left, at.top + source.Rows() - 1, at.left + source.Columns() - 1};
    // Formulas anywhere in the workbook may follow the cells: the step holds the workbook.
    const bool ok = Guard([&] {
        history_.ApplyToWorkbook("移动到 " + Address(target), ws.Parent(),
                                 [&] { from.GetRange(source).Cut(ws.GetRange(target)); });
    });
    if (!ok) return false;
    // A cut is pasted once.
    cut_ = false;
    app_.ClearClipboardOf(&from);
    token_.clear();
    v.SelectBlock(target);
    return true;
}

bool EditActions::PasteTable(SheetView& v, const ClipTable& table, ClipPaste what) {
    host::Worksheet& ws = v.Sheet();
    const host::Rect sel = v.SelectedBlock();
    const host::Rect target = ClipBlock(table, {sel.top, sel.left});
    const QString text = "粘贴到 " + Address(target);
    auto paste = [&] {
        ws.CheckUserEdit(target);
        WriteClipTable(ws, table, {sel.top, sel.left}, what);
    };
    const bool ok = Guard([&] {
        if (what == ClipPaste::ColumnWidths) history_.ApplyToSheet(text, ws, paste);
        else history_.ApplyToCells(text, ws, BlockOf(target), paste);
    });
    if (ok) v.SelectBlock(target);
    return ok;
}

void EditActions::Fill(bool down) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    host::Rect b = v->SelectedBlock();
    // One line selected: it is filled from the line before it.
    host::Rect source = down ? host::Rect{b.top, b.left, b.top, b.right} : host::Rect{b.top, b.left, b.bottom, b.left};
    host::Rect dest = b;
    if (down && b.Rows() == 1) {
        if (b.top == 1) return;
        source = {b.top - 1, b.left, b.top - 1, b.right};
    } else if (!down && b.Columns() == 1) {
        if (b.left == 1) return;
        source = {b.top, b.left - 1, b.bottom, b.left - 1};
    } else if (down) {
        dest.top = b.top + 1;
    } else {
        dest.left = b.left + 1;
    }
    Guard([&] {
        history_.ApplyToCells(down ? "向下填充" : "向右填充", ws, BlockOf(dest), [&] {
            ws.CheckUserEdit(dest);
            ws.GetRange(source).Copy(ws.GetRange(dest));
        });
    });
}

void EditActions::FillDown() { Fill(true); }
void EditActions::FillRight() { Fill(false); }

void EditActions::ClearContents() {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    // Only the selected blocks: with Ctrl+click they need not fill their bounding block.
    const host::Rect b = v->SelectedBlock();
    const std::vector<host::Rect> areas = v->SelectedAreas();
    Guard([&] {
        history_.ApplyToCells("清除 " + Address(b), ws, BlockOf(b), [&] {
            for (const host::Rect& a : areas) ws.CheckUserEdit(a);
            for (const host::Rect& a : areas) ws.GetRange(a).ClearContents();
        });
    });
}

void EditActions::InsertCells() { ShiftCells(true); }
void EditActions::DeleteCells() { ShiftCells(false); }

void EditActions::ShiftCells(bool insert) {
    SheetView* v = window_.CurrentSheetView();
    if (!v) return;
    host::Worksheet& ws = v->Sheet();
    const host::Rect b = v->SelectedBlock();
    // As the host suggests: a block wider than tall moves the cells below it.
    const CellShift initial = b.Columns() > b.Rows() ? CellShift::Vertical : CellShift::Sideways;
    CellShift how = initial;
    // Whole rows or columns selected: they are what goes or comes, without asking.
    if (b.IsWholeRows() || b.IsWholeColumns()) {
        how = b.IsWholeColumns() ? CellShift::EntireColumn : CellShift::EntireRow;
    } else if (auto typed = toolkit_.ScriptedInput()) {
        const int i = int(ShiftChoices(insert).indexOf(QString::fromStdString(*typed)));
        if (i < 0) return;
        how = CellShift(i);
    } else {
        ShiftCellsDialog dialog(insert, initial, &window_);
        if (dialog.exec() != QDialog::Accepted) return;
        how = dialog.Choice();
    }
    const QString text = (insert ? "插入 " : "删除 ") + Address(b);
    Guard([&] {
        history_.ApplyToSheet(text, ws, [&] {
            if (ws.ProtectContents()) throw host::HostError("单元格或图表受保护，不能修改。");
            host::Range r = ws.GetRange(b);
            if (how == CellShift::EntireRow) r = r.EntireRow();
            if (how == CellShift::EntireColumn) r = r.EntireColumn();
            if (insert) {
                if (how == CellShift::Sideways) r.Insert(host::xlShiftToRight);
                else if (how == CellShift::Vertical) r.Insert(host::xlShiftDown);
                else r.Insert();
            } else {
                if (how == CellShift::Sideways) r.Delete(host::xlShiftToLeft);
                else if (how == CellShift::Vertical) r.Delete(host::xlShiftUp);
                else r.Delete();
            }
        });
    });
}

void EditActions::SelectAll() {
    if (SheetView* v = window_.CurrentSheetView()) v->Grid().selectAll();
}

bool EditActions::FindNext(const QString& what, const ReplaceOptions& o) {
    SheetView* v = window_.CurrentSheetView();
    if (!v || what.isEmpty()) return false;
    host::Worksheet& ws = v->Sheet();
    host::FindOptions find;
    find.lookIn = host::xlFormulas;
    find.lookAt = o.wholeCell ? host::xlWhole : host::xlPart;
    find.matchCase = o.matchCase;
    const QModelIndex current = v->Grid().currentIndex();
    const host::CellRef after{current.row() + 1, current.column() + 1};
    std::optional<host::Range> hit;
    try {
        hit = ws.GetRange(host::Rect{1, 1, host::kMaxRows, host::kMaxColumns})
                  .Find(host::Variant(what.toStdString()), find, after);
    } catch (const host::HostError&) {
        hit.reset();
    }
    if (!hit) {
        toolkit_.MessageBox({"找不到正在搜索的数据。", platform::MsgButtons::OK, platform::MsgIcon::Information, 1, kTitle});
        return false;
    }
    v->SelectBlock({hit->Row(), hit->Column(), hit->Row(), hit->Column()});
    return true;
}

int EditActions::ReplaceAll(const QString& what, const QString& with, const ReplaceOptions& o) {
    SheetView* v = window_.CurrentSheetView();
    if (!v || what.isEmpty()) return 0;
    host::Worksheet& ws = v->Sheet();
    const host::Rect sel = v->SelectedBlock();
    const host::Rect block = sel.Count() > 1 ? sel : ws.UsedRect();
    int count = 0;
    const bool ok = Guard([&] {
        history_.ApplyToCells("替换“" + what + "”", ws, BlockOf(block),
                              [&] { count = ReplaceInCells(ws, block, what, with, o); });
    });
    if (!ok) return 0;
    toolkit_.MessageBox({count ? "全部完成。完成 " + std::to_string(count) + " 处替换。" : "找不到正在搜索的数据。",
                         platform::MsgButtons::OK, platform::MsgIcon::Information, 1, kTitle});
    return count;
}

void EditActions::ShowFind(bool replace) {
    QDialog dialog(&window_);
    dialog.setObjectName("findDialog");
    dialog.setWindowTitle(replace ? "替换" : "查找");
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    auto* what = new QLineEdit(&dialog);
    what->setObjectName("findWhat");
    auto* with = new QLineEdit(&dialog);
    with->setObjectName("replaceWith");
    form->addRow("查找内容(&N)：", what);
    if (replace) form->addRow("替换为(&E)：", with);
    else with->hide();
    layout->addLayout(form);
    auto* matchCase = new QCheckBox("区分大小写(&C)", &dialog);
    auto* whole = new QCheckBox("单元格匹配(&O)", &dialog);
    layout->addWidget(matchCase);
    layout->addWidget(whole);
    auto* buttons = new QHBoxLayout;
    auto options = [=] { return ReplaceOptions{matchCase->isChecked(), whole->isChecked()}; };
    if (replace) {
        auto* all = new QPushButton("全部替换(&A)", &dialog);
        buttons->addWidget(all);
        connect(all, &QPushButton::clicked, &dialog, [=, this] { ReplaceAll(what->text(), with->text(), options()); });
        auto* one = new QPushButton("替换(&R)", &dialog);
        buttons->addWidget(one);
        connect(one, &QPushButton::clicked, &dialog, [=, this] {
            // The current cell, when it matches; then on to the next one.
            if (SheetView* v = window_.CurrentSheetView()) {
                const QModelIndex c = v->Grid().currentIndex();
                const host::Rect cell{c.row() + 1, c.column() + 1, c.row() + 1, c.column() + 1};
                host::Worksheet& ws = v->Sheet();
                Guard([&] {
                    history_.ApplyToCells("替换“" + what->text() + "”", ws, BlockOf(cell),
                                          [&] { ReplaceInCells(ws, cell, what->text(), with->text(), options()); });
                });
            }
            FindNext(what->text(), options());
        });
    }
    auto* next = new QPushButton("查找下一个(&F)", &dialog);
    next->setDefault(true);
    buttons->addWidget(next);
    connect(next, &QPushButton::clicked, &dialog, [=, this] { FindNext(what->text(), options()); });
    auto* close = new QPushButton("关闭", &dialog);
    buttons->addWidget(close);
    connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    layout->addLayout(buttons);
    if (toolkit_.IsScripted()) return;  // no dialog in a scripted run; tests call the actions
    dialog.exec();
}

}  // namespace gui
