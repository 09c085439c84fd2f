#include "gui/SheetView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "gui/SheetModel.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellPainter.h"

namespace gui {

namespace {

// Editing and the focus frame: the values in their formats, wrapping where
// the cell says so. The cells themselves are painted by the grid.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(GridView* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    // The editor shows the cell's own font; the formula bar follows its text.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        const QVariant font = index.data(Qt::FontRole);
        if (editor && font.canConvert<QFont>()) editor->setFont(font.value<QFont>());
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            connect(line, &QLineEdit::textEdited, grid_, &GridView::EditorTextChanged);
        return editor;
    }

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
    // Enter and Tab end the entry and move on as the host does: Enter down,
    // Shift+Enter up, Tab right, Shift+Tab left.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            auto* editor = qobject_cast<QWidget*>(object);
            int rows = 0, cols = 0;
            const bool shift = key->modifiers() & Qt::ShiftModifier;
            switch (key->key()) {
                case Qt::Key_Return:
                case Qt::Key_Enter: rows = shift ? -1 : 1; break;
                case Qt::Key_Tab: cols = 1; break;
                case Qt::Key_Backtab: cols = -1; break;
                default: break;
            }
            if (editor && (rows || cols)) {
                emit const_cast<CellDelegate*>(this)->commitData(editor);
                emit const_cast<CellDelegate*>(this)->closeEditor(editor, QAbstractItemDelegate::NoHint);
                grid_->Step(rows, cols);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        // Cells outside the scroll area are disabled for the cursor only.
        option->state |= QStyle::State_Enabled;
        if (index.data(SheetModel::WrapRole).toBool()) option->features |= QStyleOptionViewItem::WrapText;
        else option->features &= ~QStyleOptionViewItem::WrapText;
        option->textElideMode = Qt::ElideNone;
    }

private:
    GridView* grid_;
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

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    auto* m = qobject_cast<SheetModel*>(model());
    if (m && index.isValid() && (trigger & (AnyKeyPressed | DoubleClicked | EditKeyPressed)) &&
        state() != EditingState) {
        // Keys that would not start an entry (arrows, Ctrl+…) are no keystroke into the cell.
        bool typing = trigger != AnyKeyPressed;
        if (!typing && event && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            typing = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                     !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        }
        if (typing && !m->CheckEditable(index.row() + 1, index.column() + 1)) return false;
    }
    return QTableView::edit(index, trigger, event);
}

void GridView::GoTo(const QModelIndex& index, bool extend) {
    if (!index.isValid()) return;
    if (extend) {
        const QModelIndex anchor = anchor_.isValid() ? QModelIndex(anchor_) : currentIndex();
        extending_ = true;
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        extending_ = false;
        selectionModel()->select(QItemSelection(anchor, index), QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
    scrollTo(index);
}

void GridView::Step(int rows, int cols) {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    int r = current.row(), c = current.column();
    // From a merged area, the step leaves it.
    if (rows > 0) r += rowSpan(r, c) - 1;
    if (cols > 0) c += columnSpan(r, c) - 1;
    do r += rows; while (r >= 0 && r < model()->rowCount() && rows && isRowHidden(r));
    do c += cols; while (c >= 0 && c < model()->columnCount() && cols && isColumnHidden(c));
    const QModelIndex next = model()->index(r, c);
    if (!next.isValid() || !(next.flags() & Qt::ItemIsEnabled)) return;
    GoTo(next);
}

QModelIndex GridView::JumpTarget(int rows, int cols) const {
    auto* m = qobject_cast<SheetModel*>(model());
    const QModelIndex current = currentIndex();
    if (!m || !current.isValid()) return {};
    const host::XlDirection d = rows > 0 ? host::xlDown : rows < 0 ? host::xlUp : cols > 0 ? host::xlToRight : host::xlToLeft;
    const host::Range to = m->Sheet().Cells(current.row() + 1, current.column() + 1).End(d);
    const int r = std::min(to.Row(), m->rowCount()) - 1, c = std::min(to.Column(), m->columnCount()) - 1;
    return m->index(r, c);
}

void GridView::keyPressEvent(QKeyEvent* e) {
    if (state() == QAbstractItemView::EditingState) {
        QTableView::keyPressEvent(e);
        return;
    }
    auto* m = qobject_cast<SheetModel*>(model());
    const bool ctrl = e->modifiers() & Qt::ControlModifier, shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!(e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
                Step(shift ? -1 : 1, 0);
                return;
            }
            break;
        case Qt::Key_Tab:
            Step(0, 1);
            return;
        case Qt::Key_Delete:
            if (!(e->modifiers() & ~Qt::KeypadModifier)) {
                emit DeletePressed();
                return;
            }
            break;
        case Qt::Key_Backtab:
            Step(0, -1);
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (ctrl) {
                const int rows = e->key() == Qt::Key_Down ? 1 : e->key() == Qt::Key_Up ? -1 : 0;
                const int cols = e->key() == Qt::Key_Right ? 1 : e->key() == Qt::Key_Left ? -1 : 0;
                const QModelIndex to = JumpTarget(rows, cols);
                if (to.isValid() && (to.flags() & Qt::ItemIsEnabled)) GoTo(to, shift);
                return;
            }
            break;
        case Qt::Key_Home:
            if (ctrl && m) {
                GoTo(m->index(0, 0), shift);
                return;
            }
            break;
        case Qt::Key_End:
            if (ctrl && m) {
                const host::Rect used = m->Sheet().UsedRect();
                GoTo(m->index(std::min(used.bottom, m->rowCount()) - 1, std::min(used.right, m->columnCount()) - 1),
                     shift);
                return;
            }
            break;
        default: break;
    }
    QTableView::keyPressEvent(e);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // Moves without Shift set the anchor that Shift+Ctrl+arrow extends from.
    if (!extending_ && !(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)) anchor_ = current;
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
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
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
    // A row that follows its content may have grown or shrunk with the entry.
    connect(model_, &SheetModel::CellEdited, this, [this](int row, int) {
        if (row < 1 || row > model_->rowCount() || grid_->isRowHidden(row - 1)) return;
        const int pixels = PointsToPixels(Sheet().RowHeightPoints(row));
        if (grid_->rowHeight(row - 1) != pixels) grid_->setRowHeight(row - 1, pixels);
    });
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

host::Rect SheetView::SelectedBlock() const {
    const QModelIndex current = grid_->currentIndex();
    host::Rect r{current.row() + 1, current.column() + 1, current.row() + 1, current.column() + 1};
    const QItemSelection selection = grid_->selectionModel()->selection();
    if (selection.isEmpty()) {
        if (const host::Rect* m = Sheet().MergeAreaAt(r.top, r.left)) return *m;
        return r;
    }
    r = {selection.front().top() + 1, selection.front().left() + 1, selection.front().bottom() + 1,
         selection.front().right() + 1};
    for (const QItemSelectionRange& range : selection) {
        r.top = std::min(r.top, range.top() + 1);
        r.left = std::min(r.left, range.left() + 1);
        r.bottom = std::max(r.bottom, range.bottom() + 1);
        r.right = std::max(r.right, range.right() + 1);
    }
    return r;
}

std::vector<host::Rect> SheetView::SelectedAreas() const {
    std::vector<host::Rect> out;
    for (const QItemSelectionRange& r : grid_->selectionModel()->selection())
        out.push_back({r.top() + 1, r.left() + 1, r.bottom() + 1, r.right() + 1});
    if (out.empty()) out.push_back(SelectedBlock());
    return out;
}

void SheetView::SelectBlock(const host::Rect& block) {
    model_->Reach(block.bottom, block.right);
    const QModelIndex topLeft = model_->index(block.top - 1, block.left - 1);
    const QModelIndex bottomRight = model_->index(block.bottom - 1, block.right - 1);
    if (!topLeft.isValid() || !bottomRight.isValid()) return;
    grid_->selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
    grid_->selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(topLeft);
}

}  // namespace gui
