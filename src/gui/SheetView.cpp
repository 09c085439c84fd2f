#include "gui/SheetView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "gui/SheetModel.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellPainter.h"

namespace gui {

namespace {

// Editing and the focus frame: the values in their formats, wrapping where
// the cell says so. The cells themselves are painted by the grid.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The style's focus frame for the current cell, drawn as the style
    // draws it for an item that has focus.
    void PaintFocus(QPainter* p, QStyleOptionViewItem option, const QModelIndex& index) const {
        initStyleOption(&option, index);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &option, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        focus.backgroundColor =
            option.palette.color(group, option.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, widget);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        // Cells outside the scroll area are disabled for the cursor only.
        option->state |= QStyle::State_Enabled;
        if (index.data(SheetModel::WrapRole).toBool()) option->features |= QStyleOptionViewItem::WrapText;
        else option->features &= ~QStyleOptionViewItem::WrapText;
        option->textElideMode = Qt::ElideNone;
    }
};

// The view's rows and columns (0-based sections) as the painter's 1-based ones.
class ViewGeometry : public render::CellGeometry {
public:
    ViewGeometry(const QTableView& view, int rows, int cols) : view_(view), rows_(rows), cols_(cols) {}
    int RowTop(int32_t row) const override { return view_.rowViewportPosition(row - 1); }
    int ColumnLeft(int32_t col) const override { return view_.columnViewportPosition(col - 1); }
    int RowHeight(int32_t row) const override { return view_.isRowHidden(row - 1) ? 0 : view_.rowHeight(row - 1); }
    int ColumnWidth(int32_t col) const override {
        return view_.isColumnHidden(col - 1) ? 0 : view_.columnWidth(col - 1);
    }
    host::Rect Extent() const override { return {1, 1, rows_, cols_}; }

private:
    const QTableView& view_;
    int rows_, cols_;
};

}  // namespace

QColor SelectionTint(QColor highlight) {
    highlight.setAlpha(kSelectionTintAlpha);
    return highlight;
}

void GridView::keyPressEvent(QKeyEvent* e) {
    if (e->key() != Qt::Key_Delete || state() == QAbstractItemView::EditingState) {
        QTableView::keyPressEvent(e);
        return;
    }
    const QModelIndexList cells = selectionModel()->selectedIndexes();
    for (const QModelIndex& index : cells)
        if (!model()->data(index, Qt::EditRole).toString().isEmpty() && !model()->setData(index, QString())) break;
}

void GridView::paintEvent(QPaintEvent* e) {
    auto* m = qobject_cast<SheetModel*>(model());
    if (!m) {
        QTableView::paintEvent(e);
        return;
    }
    const QRect clip = e->rect();
    // Rows of the event; columns of the whole viewport, so that text running
    // on from a cell outside the event's columns still reaches into them.
    const int firstRow = rowAt(clip.top()), firstCol = columnAt(0);
    if (firstRow < 0 || firstCol < 0) return;
    int lastRow = rowAt(clip.bottom()), lastCol = columnAt(viewport()->width() - 1);
    if (lastRow < 0) lastRow = m->rowCount() - 1;
    if (lastCol < 0) lastCol = m->columnCount() - 1;

    QStyleOptionViewItem viewOption;
    initViewItemOption(&viewOption);
    QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(viewOption.state & QStyle::State_Active)) group = QPalette::Inactive;
    render::PaintOptions options;
    options.gridLines = showGrid();
    options.gridColor =
        QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &viewOption, this)));
    options.background = palette().color(group, QPalette::Base);
    options.text = palette().color(group, QPalette::Text);
    options.highlight = SelectionTint(palette().color(group, QPalette::Highlight));
    const QItemSelectionModel* selection = selectionModel();
    const QModelIndex current = currentIndex();
    // As in the host, the current cell keeps its own look inside the selection.
    options.highlighted = [m, selection, current](int32_t row, int32_t col) {
        const QModelIndex index = m->index(row - 1, col - 1);
        return index != current && selection->isSelected(index);
    };
    auto* delegate = dynamic_cast<CellDelegate*>(itemDelegate());
    if (current.isValid() && delegate && (hasFocus() || viewport()->hasFocus())) {
        options.decorate = [&](QPainter& p, int32_t row, int32_t col, const QRect& cell) {
            if (row != current.row() + 1 || col != current.column() + 1) return;
            QStyleOptionViewItem option = viewOption;
            option.rect = cell;
            option.state |= QStyle::State_HasFocus;
            delegate->PaintFocus(&p, option, current);
        };
    }

    QPainter p(viewport());
    render::CellPainter painter(m->Sheet(), m->Styles(), pictures_);
    const ViewGeometry geometry(*this, m->rowCount(), m->columnCount());
    painter.Paint(p, {firstRow + 1, firstCol + 1, lastRow + 1, lastCol + 1}, geometry, options);
}

SheetView::SheetView(host::Worksheet& sheet, std::function<void(const QString&)> showRefusal,
                     std::function<void()> start, QWidget* parent)
    : QWidget(parent), model_(new SheetModel(sheet, this)), grid_(new GridView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (start) {
        auto* bar = new QWidget(this);
        auto* row = new QHBoxLayout(bar);
        startButton_ = new QPushButton("启动考场编排", bar);
        startButton_->setObjectName("startArrangement");
        startButton_->setToolTip("打开考场编排系统上次使用的窗口");
        QFont f = startButton_->font();
        f.setPointSizeF(f.pointSizeF() * 1.2);
        f.setBold(true);
        startButton_->setFont(f);
        startButton_->setMinimumWidth(startButton_->sizeHint().width() + 24);
        row->addWidget(startButton_);
        row->addWidget(new QLabel("单击按钮打开考场编排窗口（设置、编排、考试用表、打印）。", bar));
        row->addStretch(1);
        layout->addWidget(bar);
        connect(startButton_, &QPushButton::clicked, this, [start] { start(); });
    }
    grid_->setModel(model_);
    grid_->setItemDelegate(new CellDelegate(grid_));
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setWordWrap(true);
    grid_->horizontalHeader()->setMinimumSectionSize(0);
    grid_->verticalHeader()->setMinimumSectionSize(0);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(grid_);
    connect(model_, &SheetModel::EditRefused, this, [showRefusal](const QString& m) { showRefusal(m); });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& now) {
        if (!now.isValid()) return;
        Sheet().SetActiveCell({now.row() + 1, now.column() + 1});
        emit CurrentCellChanged(now.row() + 1, now.column() + 1);
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { ApplyLayout(); });
    ApplyLayout();
    ShowActiveCell();
}

host::Worksheet& SheetView::Sheet() const { return model_->Sheet(); }

void SheetView::Refresh() {
    const QModelIndex current = grid_->currentIndex();
    const int h = grid_->horizontalScrollBar()->value(), v = grid_->verticalScrollBar()->value();
    model_->Refresh();
    if (current.isValid()) grid_->setCurrentIndex(model_->index(current.row(), current.column()));
    grid_->horizontalScrollBar()->setValue(h);
    grid_->verticalScrollBar()->setValue(v);
}

void SheetView::ApplyLayout() {
    const host::Worksheet& ws = Sheet();
    grid_->setShowGrid(ws.ShowGridLines());
    QHeaderView* cols = grid_->horizontalHeader();
    QHeaderView* rows = grid_->verticalHeader();
    cols->setDefaultSectionSize(PointsToPixels(ws.ColumnWidthPoints(model_->columnCount() + 1)));
    rows->setDefaultSectionSize(PointsToPixels(ws.StandardHeight()));
    const auto& colInfo = ws.ColumnsData();
    for (int32_t c = 1; c <= int32_t(colInfo.size()) && c <= model_->columnCount(); ++c) {
        const host::ColumnInfo& ci = colInfo[size_t(c - 1)];
        grid_->setColumnHidden(c - 1, ci.hidden);
        if (!ci.IsDefault()) grid_->setColumnWidth(c - 1, PointsToPixels(ws.ColumnWidthPoints(c)));
    }
    const auto& rowData = ws.RowsData();
    for (int32_t r = 1; r <= int32_t(rowData.size()) && r <= model_->rowCount(); ++r) {
        const host::RowInfo& ri = rowData[size_t(r - 1)].info;
        if (ri.hidden) grid_->setRowHidden(r - 1, true);
        else if (grid_->isRowHidden(r - 1)) grid_->setRowHidden(r - 1, false);
        if (ri.height > 0) grid_->setRowHeight(r - 1, PointsToPixels(ws.RowHeightPoints(r)));
    }
    grid_->clearSpans();
    for (const host::Rect& m : ws.MergedAreas())
        if (m.top <= model_->rowCount() && m.left <= model_->columnCount())
            grid_->setSpan(m.top - 1, m.left - 1, m.Rows(), m.Columns());
}

void SheetView::ShowActiveCell() {
    host::CellRef cell = Sheet().ActiveCell();
    if (!model_->Selectable(cell.row, cell.col)) {
        const std::vector<host::Rect> area = host::ParseAreas(Sheet().ScrollArea());
        if (!area.empty()) cell = {area.front().top, area.front().left};
    }
    const QModelIndex index = model_->index(cell.row - 1, cell.col - 1);
    if (!index.isValid()) return;
    grid_->setCurrentIndex(index);
    // A view not yet on screen has no size to scroll in; it starts at A1 and
    // scrolls when the cursor moves.
    if (grid_->isVisible()) grid_->scrollTo(index);
}

}  // namespace gui
