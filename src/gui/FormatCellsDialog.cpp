#include "gui/FormatCellsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace gui {

namespace {

struct Named {
    const char* name;
    int value;
};
const Named kHorizontal[] = {{"常规", host::xlHAlignGeneral}, {"靠左", host::xlHAlignLeft},
                             {"居中", host::xlHAlignCenter},  {"靠右", host::xlHAlignRight},
                             {"两端对齐", host::xlHAlignJustify}, {"跨列居中", host::xlHAlignCenterAcrossSelection},
                             {"分散对齐", host::xlHAlignDistributed}};
const Named kVertical[] = {{"靠上", host::xlVAlignTop}, {"居中", host::xlVAlignCenter}, {"靠下", host::xlVAlignBottom},
                           {"两端对齐", host::xlVAlignJustify}, {"分散对齐", host::xlVAlignDistributed}};
struct LineChoice {
    const char* name;
    int style, weight;
};
const LineChoice kLines[] = {{"细实线", host::xlContinuous, host::xlThin},   {"中等实线", host::xlContinuous, host::xlMedium},
                             {"粗实线", host::xlContinuous, host::xlThick},  {"虚线", host::xlDash, host::xlThin},
                             {"点线", host::xlDot, host::xlThin},            {"双线", host::xlDouble, host::xlThick},
                             {"细线（发丝）", host::xlContinuous, host::xlHairline}};
const host::XlBordersIndex kEdges[6] = {host::xlEdgeTop,   host::xlEdgeBottom,       host::xlEdgeLeft,
                                        host::xlEdgeRight, host::xlInsideHorizontal, host::xlInsideVertical};
const char* const kEdgeNames[6] = {"上框线", "下框线", "左框线", "右框线", "内部横线", "内部竖线"};

template <size_t N>
QComboBox* NamedCombo(const Named (&items)[N], int current, QWidget* parent) {
    auto* c = new QComboBox(parent);
    for (const Named& n : items) c->addItem(n.name, n.value);
    c->setCurrentIndex(std::max(0, c->findData(current)));
    return c;
}

}  // namespace

QIcon SwatchIcon(int colorIndex) {
    QPixmap p(16, 16);
    if (colorIndex >= 1 && colorIndex <= 56) {
        p.fill(QColor::fromRgb(QRgb(host::PaletteRgb(colorIndex))));
        QPainter g(&p);
        g.setPen(Qt::gray);
        g.drawRect(0, 0, 15, 15);
    } else {
        p.fill(Qt::transparent);
        QPainter g(&p);
        g.setPen(Qt::gray);
        g.drawRect(0, 0, 15, 15);
        if (colorIndex == host::xlColorIndexNone) g.drawLine(0, 15, 15, 0);
    }
    return QIcon(p);
}

PaletteComboBox::PaletteComboBox(First first, QWidget* parent) : QComboBox(parent) {
    if (first == First::Automatic) addItem(SwatchIcon(host::xlColorIndexAutomatic), "自动", host::xlColorIndexAutomatic);
    if (first == First::NoColor) addItem(SwatchIcon(host::xlColorIndexNone), "无颜色", host::xlColorIndexNone);
    for (int i = 1; i <= 56; ++i)
        addItem(SwatchIcon(i), QString("#%1").arg(host::PaletteRgb(i), 6, 16, QChar('0')).toUpper(), i);
}

void PaletteComboBox::SetColorIndex(int i) {
    const int at = findData(i);
    setCurrentIndex(at >= 0 ? at : 0);
}

QMenu* MakePaletteMenu(const QString& firstEntry, int firstIndex, QWidget* parent,
                       const std::function<void(int)>& chosen) {
    auto* menu = new QMenu(parent);
    QAction* first = menu->addAction(SwatchIcon(firstIndex), firstEntry);
    QObject::connect(first, &QAction::triggered, menu, [chosen, firstIndex] { chosen(firstIndex); });
    auto* grid = new QWidget(menu);
    auto* layout = new QGridLayout(grid);
    layout->setSpacing(2);
    layout->setContentsMargins(4, 4, 4, 4);
    for (int i = 1; i <= 56; ++i) {
        auto* b = new QToolButton(grid);
        b->setIcon(SwatchIcon(i));
        b->setAutoRaise(true);
        b->setObjectName(QString("color%1").arg(i));
        b->setToolTip(QString("#%1").arg(host::PaletteRgb(i), 6, 16, QChar('0')).toUpper());
        QObject::connect(b, &QToolButton::clicked, menu, [menu, chosen, i] {
            menu->close();
            chosen(i);
        });
        layout->addWidget(b, (i - 1) / 8, (i - 1) % 8);
    }
    auto* action = new QWidgetAction(menu);
    action->setDefaultWidget(grid);
    menu->addAction(action);
    return menu;
}

FormatCellsDialog::FormatCellsDialog(const host::Range& cells, QWidget* parent) : QDialog(parent) {
    setObjectName("FormatCellsDialog");
    setWindowTitle("设置单元格格式");
    const host::Worksheet& ws = cells.Sheet();
    const host::Range topLeft = cells.Cells(1, 1);
    const host::CellFormat& f = ws.Parent().Styles().Get(ws.StyleAt(cells.Row(), cells.Column()));
    initial_.numberFormat = QString::fromStdString(f.numberFormat);
    initial_.horizontal = topLeft.HorizontalAlignment();
    initial_.vertical = topLeft.VerticalAlignment();
    initial_.wrap = topLeft.WrapText();
    initial_.shrink = topLeft.ShrinkToFit();
    initial_.merge = topLeft.MergeCells();
    initial_.fontName = QString::fromStdString(f.font.name);
    initial_.fontSize = f.font.size;
    initial_.bold = f.font.bold;
    initial_.italic = f.font.italic;
    initial_.underline = !f.font.underline.empty();
    initial_.fontColor = topLeft.Font().ColorIndex();
    initial_.fill = topLeft.Interior().ColorIndex();
    for (int i = 0; i < 6; ++i) initial_.edges[i] = cells.Borders(kEdges[i]).LineStyle() != host::xlLineStyleNone;

    auto* tabs = new QTabWidget(this);

    // 数字
    auto* number = new QWidget;
    auto* numberForm = new QFormLayout(number);
    numberFormat = new QComboBox(number);
    numberFormat->setObjectName("numberFormat");
    numberFormat->setEditable(true);
    for (const NumberFormatChoice& c : NumberFormatChoices()) numberFormat->addItem(c.name, QString(c.format));
    const int known = numberFormat->findData(initial_.numberFormat);
    if (known >= 0) numberFormat->setCurrentIndex(known);
    else numberFormat->setEditText(initial_.numberFormat);
    numberForm->addRow("分类或格式代码(&C)：", numberFormat);
    numberForm->addRow(new QLabel("“文本”格式的单元格按输入的样子保存，考号等长数字不会变成科学计数。", number));
    tabs->addTab(number, "数字");

    // 对齐
    auto* align = new QWidget;
    auto* alignForm = new QFormLayout(align);
    horizontal = NamedCombo(kHorizontal, initial_.horizontal, align);
    horizontal->setObjectName("horizontal");
    vertical = NamedCombo(kVertical, initial_.vertical, align);
    vertical->setObjectName("vertical");
    wrap = new QCheckBox("自动换行(&W)", align);
    wrap->setObjectName("wrap");
    wrap->setChecked(initial_.wrap);
    shrink = new QCheckBox("缩小字体填充(&K)", align);
    shrink->setObjectName("shrink");
    shrink->setChecked(initial_.shrink);
    merge = new QCheckBox("合并单元格(&M)", align);
    merge->setObjectName("merge");
    merge->setChecked(initial_.merge);
    alignForm->addRow("水平对齐(&H)：", horizontal);
    alignForm->addRow("垂直对齐(&V)：", vertical);
    alignForm->addRow(wrap);
    alignForm->addRow(shrink);
    alignForm->addRow(merge);
    tabs->addTab(align, "对齐");

    // 字体
    auto* font = new QWidget;
    auto* fontForm = new QFormLayout(font);
    fontName = new QComboBox(font);
    fontName->setObjectName("fontName");
    fontName->setEditable(true);
    fontName->addItems(OfferedFontNames());
    fontName->setEditText(initial_.fontName);
    fontSize = new QDoubleSpinBox(font);
    fontSize->setObjectName("fontSize");
    fontSize->setRange(1, 409);
    fontSize->setDecimals(1);
    fontSize->setValue(initial_.fontSize);
    bold = new QCheckBox("加粗(&B)", font);
    bold->setObjectName("bold");
    bold->setChecked(initial_.bold);
    italic = new QCheckBox("倾斜(&I)", font);
    italic->setObjectName("italic");
    italic->setChecked(initial_.italic);
    underline = new QCheckBox("下划线(&U)", font);
    underline->setObjectName("underline");
    underline->setChecked(initial_.underline);
    fontColor = new PaletteComboBox(PaletteComboBox::First::Automatic, font);
    fontColor->setObjectName("fontColor");
    fontColor->SetColorIndex(initial_.fontColor);
    auto* styles = new QHBoxLayout;
    styles->addWidget(bold);
    styles->addWidget(italic);
    styles->addWidget(underline);
    fontForm->addRow("字体(&F)：", fontName);
    fontForm->addRow("字号(&S)：", fontSize);
    fontForm->addRow("字形：", styles);
    fontForm->addRow("颜色(&C)：", fontColor);
    tabs->addTab(font, "字体");

    // 边框
    auto* border = new QWidget;
    auto* borderLayout = new QVBoxLayout(border);
    auto* presets = new QHBoxLayout;
    auto* none = new QPushButton("无(&N)", border);
    none->setObjectName("bordersNone");
    auto* outline = new QPushButton("外边框(&O)", border);
    outline->setObjectName("bordersOutline");
    auto* inside = new QPushButton("内部(&I)", border);
    inside->setObjectName("bordersInside");
    presets->addWidget(none);
    presets->addWidget(outline);
    presets->addWidget(inside);
    presets->addStretch(1);
    borderLayout->addLayout(presets);
    auto* edgeBox = new QGroupBox("边框", border);
    auto* edgeGrid = new QGridLayout(edgeBox);
    for (int i = 0; i < 6; ++i) {
        edges[i] = new QCheckBox(kEdgeNames[i], edgeBox);
        edges[i]->setObjectName(QString("edge%1").arg(i));
        edges[i]->setChecked(initial_.edges[i]);
        edgeGrid->addWidget(edges[i], i / 2, i % 2);
        connect(edges[i], &QCheckBox::toggled, this, [this] { bordersTouched_ = true; });
    }
    borderLayout->addWidget(edgeBox);
    auto* lineForm = new QFormLayout;
    lineStyle = new QComboBox(border);
    lineStyle->setObjectName("lineStyle");
    for (const LineChoice& l : kLines) lineStyle->addItem(l.name);
    lineColor = new PaletteComboBox(PaletteComboBox::First::Automatic, border);
    lineColor->setObjectName("lineColor");
    lineForm->addRow("线条样式(&S)：", lineStyle);
    lineForm->addRow("线条颜色(&C)：", lineColor);
    borderLayout->addLayout(lineForm);
    borderLayout->addStretch(1);
    connect(lineStyle, &QComboBox::currentIndexChanged, this, [this] { bordersTouched_ = true; });
    connect(lineColor, &QComboBox::currentIndexChanged, this, [this] { bordersTouched_ = true; });
    connect(none, &QPushButton::clicked, this, [this] {
        for (QCheckBox* e : edges) e->setChecked(false);
        bordersTouched_ = true;
    });
    connect(outline, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < 4; ++i) edges[i]->setChecked(true);
        bordersTouched_ = true;
    });
    connect(inside, &QPushButton::clicked, this, [this] {
        edges[4]->setChecked(true);
        edges[5]->setChecked(true);
        bordersTouched_ = true;
    });
    tabs->addTab(border, "边框");

    // 填充
    auto* fillPage = new QWidget;
    auto* fillForm = new QFormLayout(fillPage);
    fill = new PaletteComboBox(PaletteComboBox::First::NoColor, fillPage);
    fill->setObjectName("fill");
    fill->SetColorIndex(initial_.fill);
    fillForm->addRow("背景色(&C)：", fill);
    tabs->addTab(fillPage, "填充");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("确定");
    buttons->button(QDialogButtonBox::Cancel)->setText("取消");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

FormatEdit FormatCellsDialog::Edit() const {
    FormatEdit e;
    // A chosen name stands for its format; anything else typed is a format code.
    QString nf = numberFormat->currentText();
    const int named = numberFormat->findText(nf);
    if (named >= 0) nf = numberFormat->itemData(named).toString();
    if (nf != initial_.numberFormat && !nf.isEmpty()) e.numberFormat = nf.toStdString();
    if (horizontal->currentData().toInt() != initial_.horizontal) e.horizontal = horizontal->currentData().toInt();
    if (vertical->currentData().toInt() != initial_.vertical) e.vertical = vertical->currentData().toInt();
    if (wrap->isChecked() != initial_.wrap) e.wrap = wrap->isChecked();
    if (shrink->isChecked() != initial_.shrink) e.shrink = shrink->isChecked();
    if (merge->isChecked() != initial_.merge) e.merge = merge->isChecked();
    const QString name = fontName->currentText().trimmed();
    if (name != initial_.fontName && !name.isEmpty()) e.fontName = name.toStdString();
    if (fontSize->value() != initial_.fontSize) e.fontSize = fontSize->value();
    if (bold->isChecked() != initial_.bold) e.bold = bold->isChecked();
    if (italic->isChecked() != initial_.italic) e.italic = italic->isChecked();
    if (underline->isChecked() != initial_.underline) e.underline = underline->isChecked();
    if (fontColor->ColorIndex() != initial_.fontColor) e.fontColor = fontColor->ColorIndex();
    if (fill->ColorIndex() != initial_.fill) e.fill = fill->ColorIndex();
    if (bordersTouched_) {
        const LineChoice& l = kLines[std::max(0, lineStyle->currentIndex())];
        const BorderPen pen{l.style, l.weight, lineColor->ColorIndex()};
        const BorderPen off{host::xlLineStyleNone, host::xlThin, host::xlColorIndexAutomatic};
        for (int i = 0; i < 6; ++i) e.borders.push_back({kEdges[i], edges[i]->isChecked() ? pen : off});
    }
    return e;
}

std::optional<double> AskSize(QWidget* parent, const QString& title, const QString& label, const QString& unit,
                              double value, double min, double max) {
    QDialog d(parent);
    d.setObjectName("SizeDialog");
    d.setWindowTitle(title);
    auto* spin = new QDoubleSpinBox(&d);
    spin->setObjectName("size");
    spin->setRange(min, max);
    spin->setDecimals(2);
    spin->setValue(value);
    spin->setSuffix(" " + unit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    buttons->button(QDialogButtonBox::Ok)->setText("确定");
    buttons->button(QDialogButtonBox::Cancel)->setText("取消");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* form = new QFormLayout(&d);
    form->addRow(label, spin);
    form->addRow(buttons);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return spin->value();
}

}  // namespace gui
