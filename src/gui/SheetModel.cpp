#include "gui/SheetModel.h"

#include <QColor>
#include <QFont>
#include <algorithm>

#include "gui/EditHistory.h"
#include "host/HostError.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/CellText.h"

namespace gui {

SheetModel::SheetModel(host::Worksheet& sheet, QObject* parent)
    : QAbstractTableModel(parent), sheet_(sheet), styles_(sheet.Parent().Styles()) {
    ReadBounds();
}

void SheetModel::ReadBounds() {
    const host::Rect used = sheet_.UsedRect();
    int32_t bottom = used.bottom, right = used.right;
    for (const host::Rect& m : sheet_.MergedAreas()) {
        bottom = std::max(bottom, m.bottom);
        right = std::max(right, m.right);
    }
    rows_ = int(std::min<int64_t>(host::kMaxRows, int64_t(bottom) + kMarginRows));
    cols_ = int(std::min<int64_t>(host::kMaxColumns, int64_t(right) + kMarginColumns));
    scrollArea_ = host::ParseAreas(sheet_.ScrollArea());
}

void SheetModel::Refresh() {
    beginResetModel();
    styles_.Clear();
    ReadBounds();
    endResetModel();
}

int SheetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int SheetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

const host::CellFormat& SheetModel::FormatAt(const QModelIndex& index) const {
    return sheet_.Parent().Styles().Get(sheet_.StyleAt(index.row() + 1, index.column() + 1));
}

const render::ResolvedStyle& SheetModel::StyleAt(int32_t row, int32_t col) const {
    return styles_.Get(sheet_.StyleAt(row, col));
}

bool SheetModel::Selectable(int32_t row, int32_t col) const {
    if (scrollArea_.empty()) return true;
    return std::any_of(scrollArea_.begin(), scrollArea_.end(), [&](const host::Rect& r) { return r.Contains(row, col); });
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    const int32_t row = index.row() + 1, col = index.column() + 1;
    switch (role) {
        case Qt::DisplayRole: {
            const host::Variant& v = sheet_.ValueAt(row, col);
            if (v.IsEmpty()) return {};
            return render::ShownText(v, FormatAt(index).numberFormat, sheet_.Parent().Date1904());
        }
        case Qt::EditRole: {
            const host::Cell* cell = sheet_.FindCell(row, col);
            if (!cell) return QString();
            if (cell->HasFormula()) return "=" + QString::fromStdString(*cell->formula);
            if (cell->value.IsNumber() && render::IsDateFormat(FormatAt(index).numberFormat))
                return render::CellText(cell->value, FormatAt(index).numberFormat, sheet_.Parent().Date1904());
            return QString::fromStdString(host::ToText(cell->value));
        }
        case Qt::FontRole: return StyleAt(row, col).font;
        case Qt::ForegroundRole: {
            const QColor& c = StyleAt(row, col).textColor;
            return c.isValid() ? QVariant(c) : QVariant();
        }
        case Qt::BackgroundRole: {
            const QColor& c = StyleAt(row, col).fill;
            return c.isValid() ? QVariant(c) : QVariant();
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(StyleAt(row, col).AlignmentFor(sheet_.ValueAt(row, col)));
        case WrapRole: return StyleAt(row, col).wrap;
        default: return {};
    }
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int32_t row = index.row() + 1, col = index.column() + 1;
    const std::string typed = value.toString().toStdString();
    try {
        auto edit = [&] { sheet_.UserEdit(row, col, typed); };
        if (history_)
            history_->ApplyToCells("键入 " + QString::fromStdString(host::CellAddress(row, col)), sheet_,
                                   {row, col, row, col}, edit);
        else
            edit();
    } catch (const host::HostError& e) {
        emit EditRefused(QString::fromUtf8(e.what()));
        return false;
    }
    emit dataChanged(index, index);
    const host::Rect used = sheet_.UsedRect();
    Reach(used.bottom, used.right);
    emit CellEdited(row, col);
    return true;
}

void SheetModel::Reach(int32_t row, int32_t col) {
    const int oldRows = rows_, oldCols = cols_;
    if (row + kMarginRows <= oldRows && col + kMarginColumns <= oldCols) return;
    const int newRows = int(std::min<int64_t>(host::kMaxRows, int64_t(row) + kMarginRows));
    const int newCols = int(std::min<int64_t>(host::kMaxColumns, int64_t(col) + kMarginColumns));
    if (newRows > oldRows) {
        beginInsertRows({}, oldRows, newRows - 1);
        rows_ = newRows;
        endInsertRows();
    }
    if (newCols > oldCols) {
        beginInsertColumns({}, oldCols, newCols - 1);
        cols_ = newCols;
        endInsertColumns();
    }
}

bool SheetModel::CheckEditable(int32_t row, int32_t col) {
    try {
        sheet_.CheckUserEdit(row, col);
    } catch (const host::HostError& e) {
        emit EditRefused(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // Disabled, so that neither a click nor a cursor key can reach the cell;
    // the delegate still draws it as enabled.
    if (!Selectable(index.row() + 1, index.column() + 1)) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) return QString::fromStdString(host::ColumnLetters(section + 1));
    return section + 1;
}

}  // namespace gui
