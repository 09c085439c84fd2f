#pragma once
// The host window's formatting tools: the formatting toolbar, the 格式 menu
// and, while a template sheet is the current sheet, the 插入字段 menu; the
// same 插入字段 menu in the Exam-tables window. Installed by one call; the
// tools follow the current cell (its font, size, styles, number format).
#include <QObject>
#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QToolBar;
class QTimer;
class QToolButton;

namespace host {
class Application;
class Workbook;
class Worksheet;
}  // namespace host

namespace gui {

class FormatActions;
class HostWindow;
class QtToolkit;
class SheetView;

class FormatTools : public QObject {
    Q_OBJECT
public:
    FormatTools(HostWindow& window, QtToolkit& toolkit, host::Application& app,
                std::function<host::Workbook*()> system);

    FormatActions& Actions() const { return *actions_; }
    QToolBar& ToolBar() const { return *toolBar_; }
    QMenu& FormatMenu() const { return *formatMenu_; }
    // The host window's 插入字段 menu (its action is shown on template sheets only).
    QMenu& FieldMenu() const { return *fieldMenu_; }
    // The toolbar's controls and actions, by their object names (tests).
    QAction* Action(const QString& objectName) const;
    QComboBox* FontBox() const { return fontName_; }
    QComboBox* SizeBox() const { return fontSize_; }
    QComboBox* NumberFormatBox() const { return numberFormat_; }

    // Whether the current sheet is a template sheet of the system workbook.
    bool TemplateActive() const;
    // Hooks the sheet views not seen yet (header dragging, the region tint)
    // and makes the tools show the current cell.
    void Sync();
    // The field menu filled for the moment (also when it is about to show).
    void FillFieldMenu(QMenu& menu);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildToolBar();
    void BuildMenu();
    void Attach(SheetView& view);
    void AttachToolWindow(QWidget& view);
    void ShowCurrentFormat();
    void InsertIntoTemplate(const QString& text, const QString& undoText);

    HostWindow& window_;
    QtToolkit& toolkit_;
    host::Application& app_;
    std::function<host::Workbook*()> system_;
    FormatActions* actions_;
    QToolBar* toolBar_ = nullptr;
    QMenu* formatMenu_ = nullptr;
    QMenu* fieldMenu_ = nullptr;
    QAction* fieldMenuAction_ = nullptr;
    QComboBox* fontName_ = nullptr;
    QComboBox* fontSize_ = nullptr;
    QComboBox* numberFormat_ = nullptr;
    // Views report changes while the host is still changing (a sheet being
    // deleted rebuilds its workbook's tabs): the tools look once it is done.
    QTimer* later_ = nullptr;
    bool showing_ = false;  // the controls are being set from the cell: no command
    // A header section being dragged: stored when the mouse button is released.
    struct PendingResize {
        SheetView* view = nullptr;
        bool rows = false;
        int section = 0, pixels = 0;
    } pending_;
};

// The one call the host window makes; the tools belong to the window.
FormatTools* InstallFormatTools(HostWindow& window, QtToolkit& toolkit, host::Application& app,
                                std::function<host::Workbook*()> system);

}  // namespace gui
