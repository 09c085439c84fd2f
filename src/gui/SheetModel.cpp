#include "gui/SheetModel.h"

#include <QColor>
#include <algorithm>

#include "gui/CellText.h"
#include "host/HostError.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace gui {

namespace {
QColor QtColor(const host::Color& c) { return QColor(QRgb(c.ToRgb())); }
bool HasColor(const host::Color& c) { return c.kind != host::Color::Kind::None && c.kind != host::Color::Kind::Auto; }
}  // namespace

void InstallFontSubstitutes() {
    const QStringList serif{"Noto Serif CJK SC", "Noto Serif CJK", "Source Han Serif SC", "AR PL UMing CN"};
    const QStringList sans{"Noto Sans CJK SC", "Noto Sans CJK", "Source Han Sans SC", "WenQuanYi Micro Hei"};
    for (const char* face : {"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "FangSong", "仿宋_GB2312", "楷体", "KaiTi"})
        QFont::insertSubstitutions(QString::fromUtf8(face), serif);
    for (const char* face : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "等线", "DengXian"})
        QFont::insertSubstitutions(QString::fromUtf8(face), sans);
}

QFont QtFont(const std::string& name, double points, bool bold, bool italic, bool underline, bool strike) {
    QFont f(QString::fromStdString(name));
    f.setPointSizeF(points > 0 ? points : 11);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strike);
    return f;
}

SheetModel::SheetModel(host::Worksheet& sheet, QObject* parent) : QAbstractTableModel(parent), sheet_(sheet) {
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
    ReadBounds();
    endResetModel();
}

int SheetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int SheetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

const host::CellFormat& SheetModel::FormatAt(const QModelIndex& index) const {
    return sheet_.Parent().Styles().Get(sheet_.StyleAt(index.row() + 1, index.column() + 1));
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
            // The TAB that starts the system's own titles ("\t场号") is not drawn.
            return CellText(v, FormatAt(index).numberFormat, sheet_.Parent().Date1904()).remove('\t');
        }
        case Qt::EditRole: {
            const host::Cell* cell = sheet_.FindCell(row, col);
            if (!cell) return QString();
            if (cell->HasFormula()) return "=" + QString::fromStdString(*cell->formula);
            if (cell->value.IsNumber() && IsDateFormat(FormatAt(index).numberFormat))
                return CellText(cell->value, FormatAt(index).numberFormat, sheet_.Parent().Date1904());
            return QString::fromStdString(host::ToText(cell->value));
        }
        case Qt::FontRole: {
            const host::Font& f = FormatAt(index).font;
            return QtFont(f.name, f.size, f.bold, f.italic, !f.underline.empty() && f.underline != "none", f.strike);
        }
        case Qt::ForegroundRole: {
            const host::Color& c = FormatAt(index).font.color;
            return HasColor(c) ? QVariant(QtColor(c)) : QVariant();
        }
        case Qt::BackgroundRole: {
            const host::Fill& fill = FormatAt(index).fill;
            if (fill.pattern == "none" || fill.pattern.empty()) return {};
            const host::Color& c = fill.pattern == "solid" ? fill.fg : (HasColor(fill.fg) ? fill.fg : fill.bg);
            return HasColor(c) ? QVariant(QtColor(c)) : QVariant();
        }
        case Qt::TextAlignmentRole: {
            const host::Alignment& a = FormatAt(index).alignment;
            Qt::Alignment h = Qt::AlignLeft;
            if (a.horizontal == "center" || a.horizontal == "centerContinuous" || a.horizontal == "distributed")
                h = Qt::AlignHCenter;
            else if (a.horizontal == "right") h = Qt::AlignRight;
            else if (a.horizontal == "justify") h = Qt::AlignJustify;
            else if (a.horizontal.empty() || a.horizontal == "general") {
                const host::Variant& v = sheet_.ValueAt(row, col);
                h = v.IsNumber() ? Qt::AlignRight : (v.IsBoolean() || v.IsError()) ? Qt::AlignHCenter : Qt::AlignLeft;
            }
            Qt::Alignment vert = Qt::AlignBottom;
            if (a.vertical == "top") vert = Qt::AlignTop;
            else if (a.vertical == "center" || a.vertical == "distributed" || a.vertical == "justify") vert = Qt::AlignVCenter;
            return QVariant::fromValue(h | vert);
        }
        case WrapRole: return FormatAt(index).alignment.wrapText;
        default: return {};
    }
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int32_t row = index.row() + 1, col = index.column() + 1;
    try {
        sheet_.UserEdit(row, col, value.toString().toStdString());
    } catch (const host::HostError& e) {
        emit EditRefused(QString::fromUtf8(e.what()));
        return false;
    }
    emit dataChanged(index, index);
    const int oldRows = rows_, oldCols = cols_;
    const host::Rect used = sheet_.UsedRect();
    if (used.bottom + kMarginRows > oldRows || used.right + kMarginColumns > oldCols) {
        const int newRows = int(std::min<int64_t>(host::kMaxRows, int64_t(used.bottom) + kMarginRows));
        const int newCols = int(std::min<int64_t>(host::kMaxColumns, int64_t(used.right) + kMarginColumns));
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
    emit CellEdited(row, col);
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
