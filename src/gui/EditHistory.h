#pragma once
// Every change a user makes in the host window goes through one of these
// calls, so that 编辑 ▸ 撤销 / 恢复 (Ctrl+Z / Ctrl+Y) can take it back and
// redo it. The caller names the step (the menu shows "撤销 " + text) and
// says how far the change can reach; the history records that much of the
// workbook before and after.
//
// A change of cells or of a sheet that throws is taken back at once
// (nothing half done stays) and the exception goes on to the caller; a tool
// command that throws keeps what it did, as the host would, and is still
// one step to undo. A change that altered nothing leaves
// no step (cells are compared; a sheet or workbook counts as altered when
// the change marked its workbook changed, Worksheet::MarkChanged). A call
// made while another is running is part of that one.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <set>

class QUndoStack;

namespace host {
class Application;
class Workbook;
class Worksheet;
}  // namespace host

namespace gui {

// Cells by 1-based row and column, inclusive on both ends.
struct CellBlock {
    int32_t top = 1, left = 1, bottom = 1, right = 1;
};

class EditHistory : public QObject {
    Q_OBJECT
public:
    explicit EditHistory(QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoStack& Stack() const { return *stack_; }

    // `change` touches only the cells of `block`: values, formulas, formats,
    // merges lying inside it.
    void ApplyToCells(const QString& text, host::Worksheet& ws, CellBlock block, const std::function<void()>& change);
    // `change` may reach anything on the sheet: row heights, column widths,
    // inserted or deleted rows and columns, hiding, panes, page setup.
    void ApplyToSheet(const QString& text, host::Worksheet& ws, const std::function<void()>& change);
    // One of the tool's own commands: undone as a whole, by restoring the
    // workbook as it was before it. `change` must not close `wb`.
    void ApplyToWorkbook(const QString& text, host::Workbook& wb, const std::function<void()>& change);
    // One of the tool's own commands that may reach any open workbook (and
    // open or close some): each workbook it changed is restored as a whole;
    // workbooks it opened stay open. When the open workbooks hold more cells
    // than kMaxCommandCells (or the limit set), no copy is taken and a command that changed
    // anything clears the history: IrreversibleText() then names it.
    void ApplyToApplication(const QString& text, host::Application& app, const std::function<void()>& change);
    static constexpr int64_t kMaxCommandCells = 1'000'000;
    void SetCommandCellLimit(int64_t cells) { commandCellLimit_ = cells; }

    // The last step that could not be recorded, while nothing after it was;
    // empty otherwise.
    const QString& IrreversibleText() const { return irreversible_; }
    // The workbook is about to close: steps that reach it go (all of them,
    // since later steps may rest on them).
    void Forget(const host::Workbook& wb);

signals:
    // An undo or redo changed this workbook; views redraw from it.
    void Restored(host::Workbook& wb);
    // A step was recorded, undone or redone, or the history was cleared.
    void Changed();

private:
    class Step;
    void Push(Step* step);
    bool Reaches(const host::Workbook& wb) const;

    QUndoStack* stack_;
    int depth_ = 0;
    QString irreversible_;
    int64_t commandCellLimit_ = kMaxCommandCells;
    // Workbooks closed while a command of the tool ran.
    std::set<const host::Workbook*> closing_;
};

}  // namespace gui
