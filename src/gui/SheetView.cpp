#include "gui/SheetView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "gui/SheetModel.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace gui {

namespace {

constexpr double kEmuPerPixel = 9525.0;

int LineWidth(const std::string& style) {
    if (style == "medium" || style == "mediumDashed" || style == "mediumDashDot" || style == "mediumDashDotDot")
        return 2;
    if (style == "thick" || style == "double") return 3;
    return 1;
}

Qt::PenStyle PenStyle(const std::string& style) {
    if (style == "dotted" || style == "hair") return Qt::DotLine;
    if (style.find("ashDotDot") != std::string::npos) return Qt::DashDotDotLine;
    if (style.find("ashDot") != std::string::npos) return Qt::DashDotLine;
    if (style.find("ashed") != std::string::npos) return Qt::DashLine;
    return Qt::SolidLine;
}

void DrawLine(QPainter& p, const host::BorderLine& line, QPoint a, QPoint b) {
    if (line.IsNone()) return;
    QPen pen(QColor(QRgb(line.color.ToRgb())), LineWidth(line.style), PenStyle(line.style));
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(a, b);
}

// Values in their formats (from the model's roles), wrapping where the cell
// says so, and the cell's borders; a merged area takes its outer borders from
// its edge cells.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        // Cells outside the scroll area are disabled for the cursor only.
        option->state |= QStyle::State_Enabled;
        if (index.data(SheetModel::WrapRole).toBool()) option->features |= QStyleOptionViewItem::WrapText;
        else option->features &= ~QStyleOptionViewItem::WrapText;
        option->textElideMode = Qt::ElideNone;
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        auto* model = static_cast<const SheetModel*>(index.model());
        const host::Worksheet& ws = model->Sheet();
        const int32_t row = index.row() + 1, col = index.column() + 1;
        int32_t bottom = row, right = col;
        if (const host::Rect* m = ws.MergeAreaAt(row, col)) {
            bottom = m->bottom;
            right = m->right;
        }
        const host::StyleTable& styles = ws.Parent().Styles();
        const host::Border& tl = styles.Get(ws.StyleAt(row, col)).border;
        const host::Border& tr = styles.Get(ws.StyleAt(row, right)).border;
        const host::Border& bl = styles.Get(ws.StyleAt(bottom, col)).border;
        const QRect r = option.rect;
        p->save();
        DrawLine(*p, tl.top, r.topLeft(), r.topRight());
        DrawLine(*p, tl.left, r.topLeft(), r.bottomLeft());
        DrawLine(*p, tr.right, r.topRight(), r.bottomRight());
        DrawLine(*p, bl.bottom, r.bottomLeft(), r.bottomRight());
        p->restore();
    }
};

}  // namespace

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
    QTableView::paintEvent(e);
    if (!qobject_cast<SheetModel*>(model())) return;
    QPainter p(viewport());
    PaintOverflow(p, e->rect());
    PaintPictures(p, e->rect());
}

namespace {
// Cells left of the viewport whose text may still reach into it.
constexpr int kOverflowLookBack = 8;
constexpr int kTextMargin = 3;

bool RunsOn(const SheetModel& m, const QModelIndex& index) {
    const host::Worksheet& ws = m.Sheet();
    const int32_t row = index.row() + 1, col = index.column() + 1;
    const host::Variant& v = ws.ValueAt(row, col);
    if (v.IsEmpty() || v.IsNumber() || ws.MergeAreaAt(row, col)) return false;
    const host::Alignment& a = m.FormatAt(index).alignment;
    return !a.wrapText && (a.horizontal.empty() || a.horizontal == "general" || a.horizontal == "left");
}

bool TakesOverflow(const SheetModel& m, int row, int col) {
    return m.Sheet().ValueAt(row + 1, col + 1).IsEmpty() && !m.Sheet().MergeAreaAt(row + 1, col + 1);
}
}  // namespace

void GridView::PaintOverflow(QPainter& p, const QRect& clip) {
    auto* m = static_cast<SheetModel*>(model());
    const int firstRow = std::max(0, rowAt(clip.top()));
    int lastRow = rowAt(clip.bottom());
    if (lastRow < 0) lastRow = m->rowCount() - 1;
    const int firstCol = std::max(0, columnAt(0) - kOverflowLookBack);
    int lastCol = columnAt(viewport()->width() - 1);
    if (lastCol < 0) lastCol = m->columnCount() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (isRowHidden(r)) continue;
        for (int c = firstCol; c <= lastCol; ++c) {
            const QModelIndex index = m->index(r, c);
            if (isColumnHidden(c) || !RunsOn(*m, index) || selectionModel()->isSelected(index)) continue;
            const QString text = index.data(Qt::DisplayRole).toString();
            const QFont font = index.data(Qt::FontRole).value<QFont>();
            const int needed = QFontMetrics(font).horizontalAdvance(text) + 2 * kTextMargin;
            int width = columnWidth(c);
            int k = c + 1;
            for (; width < needed && k < m->columnCount() && TakesOverflow(*m, r, k); ++k)
                if (!isColumnHidden(k)) width += columnWidth(k);
            if (k == c + 1) continue;
            const QRect cells(columnViewportPosition(c), rowViewportPosition(r), width, rowHeight(r));
            for (int n = c; n < k; ++n) {
                if (isColumnHidden(n)) continue;
                const QRect cell(columnViewportPosition(n), cells.top(), columnWidth(n), cells.height());
                const QVariant bg = m->index(r, n).data(Qt::BackgroundRole);
                p.fillRect(cell.adjusted(1, 1, -1, -1), bg.isValid() ? bg.value<QColor>() : palette().color(QPalette::Base));
            }
            const QVariant fg = index.data(Qt::ForegroundRole);
            p.setPen(fg.isValid() ? fg.value<QColor>() : palette().color(QPalette::Text));
            p.setFont(font);
            const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
            p.drawText(cells.adjusted(kTextMargin, 0, -kTextMargin, 0), int((align & Qt::AlignVertical_Mask) | Qt::AlignLeft), text);
            c = k - 1;
        }
    }
}

void GridView::PaintPictures(QPainter& p, const QRect& clip) {
    auto* model = static_cast<SheetModel*>(this->model());
    for (const host::Picture& pic : model->Sheet().Pictures()) {
        if (!pic.data) continue;
        const int c = pic.from.col - 1, r = pic.from.row - 1;
        if (c >= model->columnCount() || r >= model->rowCount()) continue;
        const int x = columnViewportPosition(c) + int(pic.from.colOffset / kEmuPerPixel);
        const int y = rowViewportPosition(r) + int(pic.from.rowOffset / kEmuPerPixel);
        int w = int(pic.widthEmu / kEmuPerPixel), h = int(pic.heightEmu / kEmuPerPixel);
        if (w <= 0 || h <= 0) {
            const int x2 = columnViewportPosition(pic.to.col - 1) + int(pic.to.colOffset / kEmuPerPixel);
            const int y2 = rowViewportPosition(pic.to.row - 1) + int(pic.to.rowOffset / kEmuPerPixel);
            w = x2 - x;
            h = y2 - y;
        }
        const QRect target(x, y, w, h);
        if (w <= 0 || h <= 0 || !target.intersects(clip)) continue;
        QPixmap pixmap;
        if (pixmap.loadFromData(pic.data->data(), uint(pic.data->size()))) p.drawPixmap(target, pixmap);
    }
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
