#pragma once
// One worksheet on screen: the grid (column widths and row heights from
// points, hidden rows and columns, merged areas, gridlines, pictures) over a
// SheetModel, and on the system workbook's front sheet a button that starts
// the tool again.
#include <QColor>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <map>

#include "host/Address.h"
#include "render/PictureCache.h"

class QPushButton;

namespace host {
class Worksheet;
}

namespace gui {

class SheetModel;

// Pixels at 96 dpi: 1 pt = 4/3 px.
inline int PointsToPixels(double points) { return int(points * 96.0 / 72.0 + 0.5); }

// Selected cells are tinted with the palette's highlight colour at this
// opacity (of 255): light enough that values and fills stay readable.
inline constexpr int kSelectionTintAlpha = 56;
QColor SelectionTint(QColor highlight);

class GridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

    // Moves the cursor by whole cells (Enter, Tab), staying inside the model
    // and skipping hidden rows and columns; the selection becomes the new cell.
    void Step(int rows, int cols);
    // The cell Ctrl+arrow reaches from the current one, as the host's End
    // gives it (within the model's rows and columns).
    QModelIndex JumpTarget(int rows, int cols) const;
    // Makes `index` current; with `extend` the selection runs from the
    // anchor (the previous current cell) to it.
    void GoTo(const QModelIndex& index, bool extend = false);
    // Whether a cell editor is open.
    bool Editing() const { return state() == EditingState; }

signals:
    // The text of the cell editor as the user types it (the formula bar follows).
    void EditorTextChanged(const QString& text);
    // Delete reached the grid itself (not taken as the menu's shortcut).
    void DeletePressed();

protected:
    // The first keystroke (or F2, or a double-click) on a locked cell of a
    // protected sheet is refused with the host's message.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    // render::CellPainter paints the rows the event touches; the selection's
    // colours, the focus frame and the grid line colour come from the view's
    // palette and style.
    void paintEvent(QPaintEvent* e) override;
    // Enter / Shift+Enter move down / up, Tab / Shift+Tab right / left;
    // Ctrl+arrows jump as the host's End does, Ctrl+Home goes to the first
    // cell, Ctrl+End to the last used one (Shift extends the selection).
    void keyPressEvent(QKeyEvent* e) override;
    // Typing never jumps to a cell that starts with the letter typed.
    void keyboardSearch(const QString&) override {}

private:
    render::PictureCache pictures_;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

    QPersistentModelIndex anchor_;
    bool extending_ = false;
};

class SheetView : public QWidget {
    Q_OBJECT
public:
    // `showMessage` shows a refusal (title, text) through the toolkit; `start`,
    // when given, is offered as the "启动考场编排" button.
    SheetView(host::Worksheet& sheet, std::function<void(const QString&)> showRefusal, std::function<void()> start,
              QWidget* parent = nullptr);

    host::Worksheet& Sheet() const;
    SheetModel& Model() const { return *model_; }
    GridView& Grid() const { return *grid_; }
    QPushButton* StartButton() const { return startButton_; }

    // Re-reads everything from the sheet.
    void Refresh();
    // Moves the cursor to the sheet's active cell (or the scroll area's first cell).
    void ShowActiveCell();
    // The selected cells' bounding block (1-based), or the current cell.
    host::Rect SelectedBlock() const;
    // The selected blocks themselves (Ctrl+click makes several), or the current cell.
    std::vector<host::Rect> SelectedAreas() const;
    // Selects a block and makes its top-left cell current (the model grows
    // to hold it).
    void SelectBlock(const host::Rect& block);

signals:
    void CurrentCellChanged(int row, int col);

private:
    void ApplyLayout();

    SheetModel* model_;
    GridView* grid_;
    QPushButton* startButton_ = nullptr;
};

}  // namespace gui
