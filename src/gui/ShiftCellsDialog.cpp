#include "gui/ShiftCellsDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace gui {

QStringList ShiftChoices(bool insert) {
    if (insert) return {"活动单元格右移", "活动单元格下移", "整行", "整列"};
    return {"右侧单元格左移", "下方单元格上移", "整行", "整列"};
}

ShiftCellsDialog::ShiftCellsDialog(bool insert, CellShift initial, QWidget* parent) : QDialog(parent) {
    setObjectName(insert ? "insertCellsDialog" : "deleteCellsDialog");
    setWindowTitle(insert ? "插入" : "删除");
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(insert ? "插入" : "删除", this);
    auto* options = new QVBoxLayout(box);
    group_ = new QButtonGroup(this);
    const QStringList texts = ShiftChoices(insert);
    const QStringList keys = insert ? QStringList{"(&I)", "(&D)", "(&R)", "(&C)"} : QStringList{"(&L)", "(&U)", "(&R)", "(&C)"};
    for (int i = 0; i < texts.size(); ++i) {
        auto* b = new QRadioButton(texts[i] + keys[i], box);
        b->setObjectName(QString("shiftChoice%1").arg(i));
        group_->addButton(b, i);
        options->addWidget(b);
    }
    group_->button(int(initial))->setChecked(true);
    layout->addWidget(box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("确定");
    buttons->button(QDialogButtonBox::Cancel)->setText("取消");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

CellShift ShiftCellsDialog::Choice() const { return CellShift(group_->checkedId()); }

}  // namespace gui
