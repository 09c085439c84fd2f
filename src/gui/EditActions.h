#pragma once
// The host window's 编辑 menu and the grid's right-click menu: undo and
// redo, the clipboard (within the program with formats and merges; to and
// from other spreadsheet programs as tab-separated text and HTML), fill,
// find and replace, clearing and deleting cells. Every change goes through
// the window's edit history as one step.
#include <QObject>
#include <QString>
#include <cstdint>

#include "gui/ClipboardTable.h"
#include "host/Address.h"

class QAction;
class QMenu;
class QPoint;

namespace host {
class Application;
class Worksheet;
}  // namespace host

namespace gui {

class EditHistory;
class HostWindow;
class QtToolkit;
class SheetView;

// The mime type by which a copy made here is known again on the clipboard.
inline constexpr const char* kCellsMimeType = "application/x-tolm-cells";

struct ReplaceOptions {
    bool matchCase = false;
    bool wholeCell = false;
};

// Replaces `what` by `with` in the values and formulas of the block's
// stored cells (as the user would type the new text); returns how many
// cells changed. Locked cells of a protected sheet: HostError, nothing changed.
int ReplaceInCells(host::Worksheet& ws, const host::Rect& block, const QString& what, const QString& with,
                   const ReplaceOptions& options);

class EditActions : public QObject {
    Q_OBJECT
public:
    EditActions(HostWindow& window, host::Application& app, EditHistory& history, QtToolkit& toolkit);

    // The 编辑 menu (for the menu bar) and a menu of the same actions at a point of the grid.
    QMenu& Menu() const { return *menu_; }
    void ShowContextMenu(const QPoint& global);

    QAction& UndoAction() const { return *undo_; }
    QAction& RedoAction() const { return *redo_; }

    // ----- the actions on the current sheet's selection (public for tests) -----
    void Copy(bool cut = false);
    // Pastes what the clipboard holds at the selection; false when there
    // was nothing to paste or the sheet refused it (the user was told).
    bool Paste(ClipPaste what = ClipPaste::All);
    void FillDown();
    void FillRight();
    void ClearContents();
    // Ask how (the 插入 / 删除 dialog: the neighbouring cells move right or
    // down, left or up; or whole rows or columns) and insert or delete the
    // selected cells; one step to undo. A queued input names the choice.
    void InsertCells();
    void DeleteCells();
    void SelectAll();
    // The find dialog (with the replace page when `replace`).
    void ShowFind(bool replace);
    // Selects the next cell after the current one whose text holds `what`;
    // false (and a message) when there is none.
    bool FindNext(const QString& what, const ReplaceOptions& options);
    // Replaces in the selection when it is more than one cell, else in the
    // whole sheet; tells how many cells changed.
    int ReplaceAll(const QString& what, const QString& with, const ReplaceOptions& options);

private:
    void Build();
    void UpdateUndoText();
    // Runs a change of the current sheet, showing a refusal; false when refused.
    bool Guard(const std::function<void()>& action);
    void Done();
    bool PasteInternal(SheetView& v, ClipPaste what);
    bool PasteTable(SheetView& v, const ClipTable& table, ClipPaste what);
    void Fill(bool down);
    void ShiftCells(bool insert);
    // Pastes a cut within its workbook: the cells move with the references to them.
    bool PasteCut(SheetView& v, host::Worksheet& from, const host::Rect& source);

    HostWindow& window_;
    host::Application& app_;
    EditHistory& history_;
    QtToolkit& toolkit_;
    QMenu* menu_;
    QAction* undo_;
    QAction* redo_;
    // The last copy made here: the token on the clipboard, and whether it was a cut.
    QByteArray token_;
    uint64_t copies_ = 0;
    bool cut_ = false;
};

}  // namespace gui
