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

protected:
    // render::CellPainter paints the rows the event touches; the selection's
    // colours, the focus frame and the grid line colour come from the view's
    // palette and style.
    void paintEvent(QPaintEvent* e) override;
    // Delete clears the selected cells' values (their formats stay), as the
    // host does; the first refused cell stops it.
    void keyPressEvent(QKeyEvent* e) override;

private:
    render::PictureCache pictures_;
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

signals:
    void CurrentCellChanged(int row, int col);

private:
    void ApplyLayout();

    SheetModel* model_;
    GridView* grid_;
    QPushButton* startButton_ = nullptr;
};

}  // namespace gui
