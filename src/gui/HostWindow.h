#pragma once
// The host's own window: every open workbook in a tab, a formula bar over
// the grid of the current sheet, the file actions, and the host switches
// (StatusBar text in the status bar; while ScreenUpdating is false the views
// keep their last picture and redraw once it is true again).
#include <QMainWindow>
#include <functional>
#include <string>

#include "host/Application.h"

class QLabel;
class QLineEdit;
class QTabWidget;

namespace gui {

class EditActions;
class EditHistory;
class QtToolkit;
class SheetView;
class WorkbookView;

class HostWindow : public QMainWindow, private host::HostObserver {
    Q_OBJECT
public:
    // `start` runs the tool's Start again (the front sheet's button);
    // `system` names the system workbook, whose front sheet offers it.
    HostWindow(host::Application& app, QtToolkit& toolkit, std::function<void()> start,
               std::function<host::Workbook*()> system);
    ~HostWindow() override;

    WorkbookView* ViewOf(const host::Workbook& wb) const;
    WorkbookView* CurrentWorkbookView() const;
    SheetView* CurrentSheetView() const;
    QTabWidget& WorkbookTabs() const { return *workbooks_; }
    QLineEdit& FormulaBar() const { return *formula_; }
    // The name box: shows the current cell; an address ("B3", "A1:C5",
    // "名单!A1") or a defined name typed into it selects that block.
    QLineEdit& NameBox() const { return *nameBox_; }
    // What the name box does with a typed entry; false (and a message) when
    // it names no cell or block. Never writes into a cell.
    bool GoToName(const QString& text);
    // The 编辑 menu's actions.
    EditActions& Edit() const { return *edit_; }
    QLabel& StatusText() const { return *status_; }
    // The undo history of every edit made in this window.
    EditHistory& History() const { return *history_; }

    // Redraws from the host's state, unless screen updating is off.
    void RefreshViews();
    // Builds the workbook's views anew (once the system workbook is known,
    // its front sheet gets the start button).
    void RebuildViews(host::Workbook& wb);

    // ----- file actions (menu entries; public for tests) -----
    void OpenWorkbook();
    // false when the user cancelled or the file could not be written.
    bool SaveWorkbook(host::Workbook& wb);
    bool SaveWorkbookAs(host::Workbook& wb);
    // Asks "是否保存对…的更改？" for a changed workbook; false when cancelled.
    bool CloseWorkbook(host::Workbook& wb);
    void UnhideSheet();
    // Asks about every changed workbook; false when the user cancelled.
    bool CloseAll();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void WorkbookOpened(host::Workbook& wb) override;
    void WorkbookClosing(host::Workbook& wb) override;
    void WorkbookActivated(host::Workbook& wb) override;
    void SheetsChanged(host::Workbook& wb) override;
    void StatusBarChanged() override;
    void ScreenUpdatingChanged() override;

    void BuildMenus();
    void BuildFormulaBar(QWidget* parent);
    SheetView* MakeSheetView(host::Worksheet& ws);
    void ShowCell(int row, int col);
    // The current workbook's name, with "*" while it has unsaved changes.
    void UpdateTitle();
    void CommitFormulaBar();
    void Message(const std::string& text, int icon);
    bool AskSaveChanges(host::Workbook& wb);

    host::Application& app_;
    QtToolkit& toolkit_;
    std::function<void()> start_;
    std::function<host::Workbook*()> system_;
    QTabWidget* workbooks_;
    QLineEdit* nameBox_;
    QLineEdit* formula_;
    QLabel* status_;
    EditHistory* history_;
    EditActions* edit_ = nullptr;
    bool pendingRefresh_ = false;
};

// The question asked before a changed workbook is closed.
std::string SaveChangesQuestion(const std::string& workbookName);

}  // namespace gui
