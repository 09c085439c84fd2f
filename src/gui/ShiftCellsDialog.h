#pragma once
// The 插入 and 删除 dialogs of the grid, as Excel and WPS show them: which
// way the neighbouring cells move, or whole rows or columns.
#include <QDialog>
#include <QStringList>

class QButtonGroup;

namespace gui {

enum class CellShift { Sideways, Vertical, EntireRow, EntireColumn };

// The choices as the dialog lists them, in the order of CellShift:
// 插入: 活动单元格右移, 活动单元格下移, 整行, 整列;
// 删除: 右侧单元格左移, 下方单元格上移, 整行, 整列.
QStringList ShiftChoices(bool insert);

class ShiftCellsDialog : public QDialog {
    Q_OBJECT
public:
    ShiftCellsDialog(bool insert, CellShift initial, QWidget* parent = nullptr);
    CellShift Choice() const;

private:
    QButtonGroup* group_;
};

}  // namespace gui
