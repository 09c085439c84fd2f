#pragma once
// Every change a user makes in the host window goes through one of these
// calls, so that 编辑 ▸ 撤销 / 恢复 (Ctrl+Z / Ctrl+Y) can take it back and
// redo it. The caller names the step (the menu shows "撤销 " + text) and
// says how far the change can reach; the history records that much of the
// workbook before and after.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

class QUndoStack;

namespace host {
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
    // workbook as it was before it.
    void ApplyToWorkbook(const QString& text, host::Workbook& wb, const std::function<void()>& change);

private:
    QUndoStack* stack_;
};

}  // namespace gui
