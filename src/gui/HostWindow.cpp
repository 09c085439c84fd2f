#include "gui/HostWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "gui/EditActions.h"
#include "gui/EditHistory.h"
#include "gui/FormatToolBar.h"
#include "gui/QtToolkit.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "gui/ToolWindowView.h"
#include "gui/WindowPlacement.h"
#include "gui/WorkbookView.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "workbook/SystemNames.h"

namespace gui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
const std::string kTitle(workbook::kProductName);
constexpr const char* kReady = "就绪";
// Code name of the system workbook's front sheet.
constexpr const char* kFrontSheetCodeName = "Sheet1";
}  // namespace

std::string SaveChangesQuestion(const std::string& workbookName) { return "是否保存对“" + workbookName + "”的更改？"; }

HostWindow::HostWindow(host::Application& app, QtToolkit& toolkit, std::function<void()> start,
                       std::function<host::Workbook*()> system)
    : app_(app), toolkit_(toolkit), start_(std::move(start)), system_(std::move(system)),
      history_(new EditHistory(this)) {
    setObjectName("HostWindow");
    setWindowTitle(Q(kTitle));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    edit_ = new EditActions(*this, app_, *history_, toolkit_);
    connect(history_, &EditHistory::Restored, this, [this](host::Workbook&) { RefreshViews(); });
    BuildFormulaBar(central);
    workbooks_ = new QTabWidget(central);
    workbooks_->setObjectName("workbookTabs");
    workbooks_->setDocumentMode(true);
    workbooks_->setTabsClosable(true);
    layout->addWidget(workbooks_);
    setCentralWidget(central);
    status_ = new QLabel(kReady, this);
    status_->setObjectName("statusText");
    statusBar()->addWidget(status_, 1);
    BuildMenus();
    connect(workbooks_, &QTabWidget::tabCloseRequested, this, [this](int i) {
        if (auto* v = qobject_cast<WorkbookView*>(workbooks_->widget(i))) CloseWorkbook(v->Workbook());
    });
    connect(workbooks_, &QTabWidget::currentChanged, this, [this](int) {
        WorkbookView* v = CurrentWorkbookView();
        if (!v) return;
        if (app_.ActiveWorkbook() != &v->Workbook()) app_.SetActiveWorkbook(&v->Workbook());
        if (SheetView* s = v->CurrentSheetView()) ShowCell(s->Sheet().ActiveCell().row, s->Sheet().ActiveCell().col);
    });
    RestoreHostWindow(*this, {1100, 720});
    toolkit_.SetDialogParent(this);
    toolkit_.SetDockSite(this);
    for (int i = 1; i <= app_.Workbooks().Count(); ++i) WorkbookOpened(app_.Workbooks().Item(i));
    app_.AddObserver(this);
}

HostWindow::~HostWindow() { app_.RemoveObserver(this); }

void HostWindow::BuildFormulaBar(QWidget* parent) {
    auto* bar = new QWidget(parent);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    nameBox_ = new QLineEdit(bar);
    nameBox_->setObjectName("nameBox");
    nameBox_->setMinimumWidth(80);
    nameBox_->setMaximumWidth(160);
    nameBox_->setToolTip("名称框：键入单元格地址（如 B3、A1:C5）或名称，按 Enter 转到");
    connect(nameBox_, &QLineEdit::returnPressed, this, [this] { GoToName(nameBox_->text()); });
    formula_ = new QLineEdit(bar);
    formula_->setObjectName("formulaBar");
    formula_->setPlaceholderText("单元格的值或公式");
    row->addWidget(nameBox_);
    row->addWidget(new QLabel("fx", bar));
    row->addWidget(formula_, 1);
    parent->layout()->addWidget(bar);
    connect(formula_, &QLineEdit::returnPressed, this, [this] { CommitFormulaBar(); });
}

void HostWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu("文件(&F)");
    file->addAction("打开(&O)…", QKeySequence::Open, this, [this] { OpenWorkbook(); });
    file->addAction("保存(&S)", QKeySequence::Save, this, [this] {
        if (WorkbookView* v = CurrentWorkbookView()) SaveWorkbook(v->Workbook());
    });
    file->addAction("另存为(&A)…", QKeySequence::SaveAs, this, [this] {
        if (WorkbookView* v = CurrentWorkbookView()) SaveWorkbookAs(v->Workbook());
    });
    file->addAction("关闭(&C)", QKeySequence::Close, this, [this] {
        if (WorkbookView* v = CurrentWorkbookView()) CloseWorkbook(v->Workbook());
    });
    file->addSeparator();
    file->addAction("退出(&X)", QKeySequence::Quit, this, [this] { close(); });
    menuBar()->addMenu(&edit_->Menu());
    QMenu* sheet = menuBar()->addMenu("工作表(&W)");
    sheet->addAction("取消隐藏(&U)…", this, [this] { UnhideSheet(); });
    QMenu* tools = menuBar()->addMenu("考场编排(&K)");
    QAction* start = tools->addAction("启动考场编排(&K)", this, [this] {
        if (start_) start_();
    });
    start->setObjectName("startAction");
    QToolBar* bar = addToolBar("考场编排");
    bar->setObjectName("toolBar");
    bar->addAction(start);
    InstallFormatTools(*this, toolkit_, app_, system_);
}

WorkbookView* HostWindow::ViewOf(const host::Workbook& wb) const {
    for (int i = 0; i < workbooks_->count(); ++i)
        if (auto* v = qobject_cast<WorkbookView*>(workbooks_->widget(i)); v && &v->Workbook() == &wb) return v;
    return nullptr;
}

WorkbookView* HostWindow::CurrentWorkbookView() const { return qobject_cast<WorkbookView*>(workbooks_->currentWidget()); }

SheetView* HostWindow::CurrentSheetView() const {
    WorkbookView* v = CurrentWorkbookView();
    return v ? v->CurrentSheetView() : nullptr;
}

SheetView* HostWindow::MakeSheetView(host::Worksheet& ws) {
    host::Workbook* system = system_ ? system_() : nullptr;
    std::function<void()> start;
    if (start_ && system == &ws.Parent() && ws.CodeName() == kFrontSheetCodeName) start = start_;
    auto refuse = [this](const QString& m) { Message(m.toStdString(), int(platform::MsgIcon::Exclamation)); };
    auto* view = new SheetView(ws, refuse, start);
    view->Model().SetHistory(history_);
    connect(&view->Grid(), &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
        edit_->ShowContextMenu(view->Grid().viewport()->mapToGlobal(at));
    });
    connect(&view->Grid(), &GridView::EditorTextChanged, formula_, &QLineEdit::setText);
    connect(&view->Grid(), &GridView::DeletePressed, edit_, &EditActions::ClearContents);
    connect(&view->Model(), &SheetModel::CellEdited, this, [this](int row, int col) {
        ShowCell(row, col);
        UpdateTitle();
    });
    return view;
}

void HostWindow::UpdateTitle() {
    WorkbookView* v = CurrentWorkbookView();
    if (!v) {
        setWindowTitle(Q(kTitle));
        return;
    }
    const host::Workbook& wb = v->Workbook();
    setWindowTitle(Q(wb.Name()) + (wb.Saved() ? "" : " *") + " - " + Q(kTitle));
}

void HostWindow::ShowCell(int row, int col) {
    UpdateTitle();
    SheetView* v = CurrentSheetView();
    if (!v) {
        nameBox_->clear();
        formula_->clear();
        return;
    }
    nameBox_->setText(Q(host::CellAddress(row, col)));
    const QModelIndex index = v->Model().index(row - 1, col - 1);
    formula_->setText(index.data(Qt::EditRole).toString());
    formula_->setEnabled(v->Model().Selectable(row, col));
}

void HostWindow::CommitFormulaBar() {
    SheetView* v = CurrentSheetView();
    if (!v) return;
    const QModelIndex index = v->Grid().currentIndex();
    if (!index.isValid() || !(index.flags() & Qt::ItemIsEditable)) return;
    v->Model().setData(index, formula_->text());
    v->Grid().setFocus();
}

namespace {

// "'名单'!$A$1:$C$5" → ("名单", "$A$1:$C$5"); no sheet → ("", text).
std::pair<std::string, std::string> SplitSheet(const std::string& ref) {
    const size_t bang = ref.rfind('!');
    if (bang == std::string::npos) return {std::string(), ref};
    std::string sheet = ref.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') sheet = sheet.substr(1, sheet.size() - 2);
    return {sheet, ref.substr(bang + 1)};
}

}  // namespace

bool HostWindow::GoToName(const QString& text) {
    WorkbookView* book = CurrentWorkbookView();
    SheetView* view = CurrentSheetView();
    const std::string entry = text.trimmed().toStdString();
    auto back = [&] {
        if (view) ShowCell(view->Sheet().ActiveCell().row, view->Sheet().ActiveCell().col);
    };
    if (!book || !view || entry.empty()) {
        back();
        return false;
    }
    host::Workbook& wb = book->Workbook();
    // A defined name (the current sheet's own first), else an address.
    std::string ref = entry;
    for (int pass = 0; pass < 2; ++pass)
        for (const host::DefinedName& n : wb.DefinedNames()) {
            const bool scope = pass == 0 ? n.localSheet == view->Sheet().Index() - 1 : n.localSheet < 0;
            if (scope && !n.hidden && QString::fromStdString(n.name).compare(text.trimmed(), Qt::CaseInsensitive) == 0) {
                ref = n.formula;
                pass = 2;
                break;
            }
        }
    const auto [sheetName, address] = SplitSheet(ref);
    host::Worksheet* ws = sheetName.empty() ? &view->Sheet() : wb.SheetByName(sheetName);
    const std::optional<host::Rect> area = host::ParseArea(address);
    if (!ws || !area || ws->Visible() != host::xlSheetVisible) {
        Message("引用无效。请键入单元格地址（如 B3、A1:C5）或已定义的名称。", int(platform::MsgIcon::Exclamation));
        back();
        return false;
    }
    if (ws != &view->Sheet()) {
        wb.SetActiveSheet(ws);
        book->Sync();
        view = book->ViewOf(*ws);
        if (!view) return false;
    }
    host::Rect block = *area;
    // Whole rows or columns: as far as the sheet is used.
    const host::Rect used = ws->UsedRect();
    if (block.IsWholeColumns()) block.bottom = std::max(used.bottom, 1);
    if (block.IsWholeRows()) block.right = std::max(used.right, 1);
    view->SelectBlock(block);
    view->Grid().setFocus();
    ShowCell(block.top, block.left);
    return true;
}

void HostWindow::Message(const std::string& text, int icon) {
    toolkit_.MessageBox({text, platform::MsgButtons::OK, platform::MsgIcon(icon), 1, kTitle});
}

void HostWindow::RefreshViews() {
    if (!app_.ScreenUpdating()) {
        pendingRefresh_ = true;
        return;
    }
    pendingRefresh_ = false;
    for (int i = 0; i < workbooks_->count(); ++i) {
        auto* v = qobject_cast<WorkbookView*>(workbooks_->widget(i));
        if (!v) continue;
        workbooks_->setTabText(i, Q(v->Workbook().Name()));
        v->Sync();
    }
    if (host::Workbook* active = app_.ActiveWorkbook())
        if (WorkbookView* v = ViewOf(*active)) workbooks_->setCurrentWidget(v);
    if (SheetView* s = CurrentSheetView()) ShowCell(s->Sheet().ActiveCell().row, s->Sheet().ActiveCell().col);
    StatusBarChanged();
}

void HostWindow::WorkbookOpened(host::Workbook& wb) {
    if (ViewOf(wb)) return;
    auto* view = new WorkbookView(wb, [this](host::Worksheet& ws) { return MakeSheetView(ws); });
    connect(view, &WorkbookView::CurrentCellChanged, this, &HostWindow::ShowCell);
    workbooks_->addTab(view, Q(wb.Name()));
    workbooks_->setCurrentWidget(view);
}

void HostWindow::RebuildViews(host::Workbook& wb) {
    WorkbookView* old = ViewOf(wb);
    if (!old) return;
    const int at = workbooks_->indexOf(old);
    const bool current = workbooks_->currentWidget() == old;
    auto* view = new WorkbookView(wb, [this](host::Worksheet& ws) { return MakeSheetView(ws); });
    connect(view, &WorkbookView::CurrentCellChanged, this, &HostWindow::ShowCell);
    workbooks_->insertTab(at, view, Q(wb.Name()));
    workbooks_->removeTab(at + 1);
    delete old;
    if (current) workbooks_->setCurrentWidget(view);
}

void HostWindow::WorkbookClosing(host::Workbook& wb) {
    history_->Forget(wb);
    // The views go before the workbook does.
    if (WorkbookView* v = ViewOf(wb)) {
        workbooks_->removeTab(workbooks_->indexOf(v));
        delete v;
    }
}

void HostWindow::WorkbookActivated(host::Workbook& wb) {
    if (!app_.ScreenUpdating()) return;
    if (WorkbookView* v = ViewOf(wb)) workbooks_->setCurrentWidget(v);
}

void HostWindow::SheetsChanged(host::Workbook& wb) {
    // At once, even without screen updating: a deleted sheet's view must go.
    if (WorkbookView* v = ViewOf(wb)) v->Sync();
}

void HostWindow::StatusBarChanged() {
    const auto& text = app_.StatusBar();
    // Formulas are recalculated before the grid repaints; what could not be is named instead of "就绪".
    const std::string kept = app_.Calculate();
    status_->setText(text ? Q(*text) : kept.empty() ? QString(kReady) : Q(kept));
    // Shown at once: the command that set it holds the event loop.
    status_->repaint();
}

void HostWindow::ScreenUpdatingChanged() {
    const bool on = app_.ScreenUpdating();
    centralWidget()->setUpdatesEnabled(on);
    if (on && pendingRefresh_) RefreshViews();
}

void HostWindow::OpenWorkbook() {
    host::Workbook* active = app_.ActiveWorkbook();
    const std::string folder = active ? active->Path() : std::string();
    const std::string file =
        toolkit_.OpenFileDialog({"打开", folder, "Excel 工作簿|*.xlsx;*.xlsm|所有文件|*.*"});
    if (file.empty()) return;
    try {
        if (!app_.Workbooks().Open(file)) {
            const std::string name = std::filesystem::path(file).filename().string();
            Message("已经打开了一个名为“" + name + "”的工作簿。不能同时打开两个同名的工作簿。",
                    int(platform::MsgIcon::Exclamation));
        }
    } catch (const host::HostError& e) {
        Message(e.what(), int(platform::MsgIcon::Critical));
    }
    RefreshViews();
}

bool HostWindow::SaveWorkbook(host::Workbook& wb) {
    if (wb.Path().empty()) return SaveWorkbookAs(wb);
    try {
        wb.Save();
    } catch (const host::HostError& e) {
        Message(e.what(), int(platform::MsgIcon::Critical));
        return false;
    }
    RefreshViews();
    return true;
}

bool HostWindow::SaveWorkbookAs(host::Workbook& wb) {
    std::string file = toolkit_.SaveFileDialog("另存为", wb.Path().empty() ? wb.Name() + ".xlsx" : wb.FullName());
    if (file.empty()) return false;
    if (std::filesystem::path(file).extension().empty()) file += ".xlsx";
    host::Workbook* other = app_.Workbooks().Find(std::filesystem::path(file).filename().string());
    if (other && other != &wb) {
        Message("不能用与另一个打开的工作簿相同的名称保存。", int(platform::MsgIcon::Exclamation));
        return false;
    }
    try {
        wb.SaveAs(file);
    } catch (const host::HostError& e) {
        Message(e.what(), int(platform::MsgIcon::Critical));
        return false;
    }
    RefreshViews();
    return true;
}

bool HostWindow::AskSaveChanges(host::Workbook& wb) {
    if (wb.Saved()) return true;
    const platform::MsgResult r = toolkit_.MessageBox(
        {SaveChangesQuestion(wb.Name()), platform::MsgButtons::YesNoCancel, platform::MsgIcon::Exclamation, 1, kTitle});
    if (r == platform::MsgResult::Cancel) return false;
    if (r == platform::MsgResult::Yes) return SaveWorkbook(wb);
    return true;
}

bool HostWindow::CloseWorkbook(host::Workbook& wb) {
    if (system_ && system_() == &wb) {
        Message("系统工作簿随程序一起关闭。", int(platform::MsgIcon::Information));
        return false;
    }
    if (!AskSaveChanges(wb)) return false;
    wb.Close(false);
    RefreshViews();
    return true;
}

bool HostWindow::CloseAll() {
    for (int i = 1; i <= app_.Workbooks().Count(); ++i)
        if (!AskSaveChanges(app_.Workbooks().Item(i))) return false;
    return true;
}

void HostWindow::UnhideSheet() {
    WorkbookView* v = CurrentWorkbookView();
    if (!v) return;
    QStringList names;
    for (const auto& ws : v->Workbook().SheetList())
        if (ws->Visible() == host::xlSheetHidden) names << Q(ws->Name());
    if (names.isEmpty()) {
        Message("没有可以取消隐藏的工作表。", int(platform::MsgIcon::Information));
        return;
    }
    const std::string chosen = toolkit_.ChooseItem("取消隐藏", "取消隐藏工作表：", names);
    if (chosen.empty()) return;
    // Very hidden sheets are never offered, whatever name is given.
    host::Worksheet* ws = v->Workbook().SheetByName(chosen);
    if (ws && ws->Visible() == host::xlSheetHidden) {
        ws->SetVisible(host::xlSheetVisible);
        v->Workbook().SetActiveSheet(ws);
    }
    RefreshViews();
}

void HostWindow::closeEvent(QCloseEvent* e) {
    if (!CloseAll()) {
        e->ignore();
        return;
    }
    e->accept();
    RememberHostWindow(*this);
    for (ToolWindowView* view : toolkit_.Views()) view->close();
    qApp->quit();
}

}  // namespace gui
