#include "gui/PageSetupDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "host/Address.h"

namespace gui {

namespace {

struct Paper {
    const char* name;
    int number;
};
const Paper kPapers[] = {{"A4", host::xlPaperA4}, {"A3", host::xlPaperA3}, {"A5", host::xlPaperA5},
                         {"B5 (JIS)", host::xlPaperB5}, {"Letter", host::xlPaperLetter}, {"Legal", host::xlPaperLegal}};

// Header and footer texts a teacher picks most; any other text may be typed
// in the host's codes (&P page, &N pages, &A sheet, &D date).
struct Section {
    const char* shown;
    const char* code;
};
const Section kSections[] = {{"（无）", ""},
                             {"第 1 页", "第 &P 页"},
                             {"第 1 页，共 ? 页", "第 &P 页，共 &N 页"},
                             {"工作表名", "&A"},
                             {"日期", "&D"}};

QDoubleSpinBox* CmBox(double points, QWidget* parent, const char* name) {
    auto* b = new QDoubleSpinBox(parent);
    b->setObjectName(name);
    b->setRange(0, 20);
    b->setDecimals(2);
    b->setSingleStep(0.1);
    b->setSuffix(" 厘米");
    b->setValue(PointsToCm(points));
    return b;
}

QComboBox* SectionBox(const std::string& code, QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    for (const Section& s : kSections) c->addItem(s.shown, QString::fromUtf8(s.code));
    const int at = c->findData(QString::fromStdString(code));
    if (at >= 0) c->setCurrentIndex(at);
    else c->setEditText(QString::fromStdString(code));
    return c;
}

std::string SectionCode(const QComboBox* c) {
    const int at = c->findText(c->currentText());
    if (at >= 0) return c->itemData(at).toString().toStdString();
    return c->currentText().toStdString();
}

// Whether a margin changed beyond the rounding of its centimetre box.
double Margin(const QDoubleSpinBox* b, double old) {
    return std::abs(PointsToCm(old) - b->value()) < 0.005 ? old : CmToPoints(b->value());
}

}  // namespace

PageSetupDialog::PageSetupDialog(const host::PageSetup& setup, std::string selection, QWidget* parent)
    : QDialog(parent), setup_(setup) {
    setObjectName("PageSetupDialog");
    setWindowTitle("页面设置");
    auto* tabs = new QTabWidget(this);

    // 页面
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    auto* orientation = new QGroupBox("方向", page);
    auto* orientationRow = new QHBoxLayout(orientation);
    portrait = new QRadioButton("纵向(&T)", orientation);
    portrait->setObjectName("portrait");
    landscape = new QRadioButton("横向(&L)", orientation);
    landscape->setObjectName("landscape");
    (setup.Orientation == host::xlLandscape ? landscape : portrait)->setChecked(true);
    orientationRow->addWidget(portrait);
    orientationRow->addWidget(landscape);
    orientationRow->addStretch(1);
    pageLayout->addWidget(orientation);

    auto* scaling = new QGroupBox("缩放", page);
    auto* scalingGrid = new QGridLayout(scaling);
    zoom = new QRadioButton("缩放比例(&A)：", scaling);
    zoom->setObjectName("zoom");
    zoomPercent = new QSpinBox(scaling);
    zoomPercent->setObjectName("zoomPercent");
    zoomPercent->setRange(10, 400);
    zoomPercent->setSuffix(" %");
    zoomPercent->setValue(setup.Zoom > 0 ? setup.Zoom : 100);
    fit = new QRadioButton("调整为(&F)：", scaling);
    fit->setObjectName("fit");
    pagesWide = new QSpinBox(scaling);
    pagesWide->setObjectName("pagesWide");
    pagesWide->setRange(0, 32767);
    pagesWide->setSpecialValueText("自动");
    pagesWide->setValue(setup.FitToPagesWide);
    pagesTall = new QSpinBox(scaling);
    pagesTall->setObjectName("pagesTall");
    pagesTall->setRange(0, 32767);
    pagesTall->setSpecialValueText("自动");
    pagesTall->setValue(setup.FitToPagesTall);
    (setup.Zoom == 0 ? fit : zoom)->setChecked(true);
    scalingGrid->addWidget(zoom, 0, 0);
    scalingGrid->addWidget(zoomPercent, 0, 1);
    scalingGrid->addWidget(fit, 1, 0);
    scalingGrid->addWidget(pagesWide, 1, 1);
    scalingGrid->addWidget(new QLabel("页宽", scaling), 1, 2);
    scalingGrid->addWidget(pagesTall, 1, 3);
    scalingGrid->addWidget(new QLabel("页高", scaling), 1, 4);
    pageLayout->addWidget(scaling);

    auto* paperForm = new QFormLayout;
    paper = new QComboBox(page);
    paper->setObjectName("paper");
    for (const Paper& p : kPapers) paper->addItem(p.name, p.number);
    const int paperAt = paper->findData(setup.PaperSize);
    if (paperAt >= 0) {
        paper->setCurrentIndex(paperAt);
    } else {
        // A paper the list does not name stays as the file has it.
        paper->addItem(QString("纸张 %1").arg(setup.PaperSize), setup.PaperSize);
        paper->setCurrentIndex(paper->count() - 1);
    }
    paperForm->addRow("纸张大小(&Z)：", paper);
    pageLayout->addLayout(paperForm);
    pageLayout->addStretch(1);
    tabs->addTab(page, "页面");

    // 页边距
    auto* margins = new QWidget;
    auto* marginGrid = new QGridLayout(margins);
    top = CmBox(setup.TopMargin, margins, "top");
    bottom = CmBox(setup.BottomMargin, margins, "bottom");
    left = CmBox(setup.LeftMargin, margins, "left");
    right = CmBox(setup.RightMargin, margins, "right");
    header = CmBox(setup.HeaderMargin, margins, "header");
    footer = CmBox(setup.FooterMargin, margins, "footer");
    marginGrid->addWidget(new QLabel("上(&T)：", margins), 0, 0);
    marginGrid->addWidget(top, 0, 1);
    marginGrid->addWidget(new QLabel("页眉(&A)：", margins), 0, 2);
    marginGrid->addWidget(header, 0, 3);
    marginGrid->addWidget(new QLabel("左(&L)：", margins), 1, 0);
    marginGrid->addWidget(left, 1, 1);
    marginGrid->addWidget(new QLabel("右(&R)：", margins), 1, 2);
    marginGrid->addWidget(right, 1, 3);
    marginGrid->addWidget(new QLabel("下(&B)：", margins), 2, 0);
    marginGrid->addWidget(bottom, 2, 1);
    marginGrid->addWidget(new QLabel("页脚(&F)：", margins), 2, 2);
    marginGrid->addWidget(footer, 2, 3);
    auto* centring = new QGroupBox("居中方式", margins);
    auto* centringRow = new QHBoxLayout(centring);
    centerHorizontally = new QCheckBox("水平(&Z)", centring);
    centerHorizontally->setObjectName("centerHorizontally");
    centerHorizontally->setChecked(setup.CenterHorizontally);
    centerVertically = new QCheckBox("垂直(&V)", centring);
    centerVertically->setObjectName("centerVertically");
    centerVertically->setChecked(setup.CenterVertically);
    centringRow->addWidget(centerHorizontally);
    centringRow->addWidget(centerVertically);
    centringRow->addStretch(1);
    marginGrid->addWidget(centring, 3, 0, 1, 4);
    marginGrid->setRowStretch(4, 1);
    tabs->addTab(margins, "页边距");

    // 页眉/页脚
    auto* hf = new QWidget;
    auto* hfForm = new QFormLayout(hf);
    headerText = SectionBox(setup.CenterHeader, hf, "headerText");
    footerText = SectionBox(setup.CenterFooter, hf, "footerText");
    hfForm->addRow("页眉(&A)：", headerText);
    hfForm->addRow("页脚(&F)：", footerText);
    hfForm->addRow(new QLabel("可直接输入文字；&&P 为页码，&&N 为总页数，&&A 为工作表名，&&D 为日期。", hf));
    tabs->addTab(hf, "页眉/页脚");

    // 工作表
    auto* sheet = new QWidget;
    auto* sheetForm = new QFormLayout(sheet);
    printArea = new QLineEdit(QString::fromStdString(host::AreasWithoutSheet(setup.PrintArea)), sheet);
    printArea->setObjectName("printArea");
    printArea->setPlaceholderText("空白表示打印整个已用区域");
    auto* useSelection = new QPushButton("用选定区域(&S)", sheet);
    useSelection->setObjectName("useSelection");
    connect(useSelection, &QPushButton::clicked, this,
            [this, selection] { printArea->setText(QString::fromStdString(selection)); });
    auto* areaRow = new QHBoxLayout;
    areaRow->addWidget(printArea, 1);
    areaRow->addWidget(useSelection);
    titleRows = new QLineEdit(QString::fromStdString(host::AreasWithoutSheet(setup.PrintTitleRows)), sheet);
    titleRows->setObjectName("titleRows");
    titleRows->setPlaceholderText("例如 $1:$2");
    sheetForm->addRow("打印区域(&A)：", areaRow);
    sheetForm->addRow("顶端标题行(&R)：", titleRows);
    tabs->addTab(sheet, "工作表");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("确定");
    buttons->button(QDialogButtonBox::Cancel)->setText("取消");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        const QString problem = Problem();
        if (problem.isEmpty()) accept();
        else QMessageBox::warning(this, "页面设置", problem);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

QString PageSetupDialog::Problem() const {
    const std::string area = printArea->text().trimmed().toStdString();
    if (!area.empty() && host::ParseAreas(area).empty()) return "打印区域“" + printArea->text().trimmed() + "”不是有效的单元格区域。";
    const std::string titles = titleRows->text().trimmed().toStdString();
    if (!titles.empty()) {
        const auto rows = host::ParseAreas(titles);
        if (rows.size() != 1 || !rows[0].IsWholeRows())
            return "顶端标题行“" + titleRows->text().trimmed() + "”应是连续的整行，例如 $1:$2。";
    }
    return {};
}

host::PageSetup PageSetupDialog::Result() const {
    host::PageSetup s = setup_;
    s.PaperSize = paper->currentData().toInt();
    s.Orientation = landscape->isChecked() ? host::xlLandscape : host::xlPortrait;
    if (fit->isChecked()) {
        s.Zoom = 0;
        s.FitToPagesWide = pagesWide->value();
        s.FitToPagesTall = pagesTall->value();
    } else {
        s.Zoom = zoomPercent->value();
    }
    s.TopMargin = Margin(top, setup_.TopMargin);
    s.BottomMargin = Margin(bottom, setup_.BottomMargin);
    s.LeftMargin = Margin(left, setup_.LeftMargin);
    s.RightMargin = Margin(right, setup_.RightMargin);
    s.HeaderMargin = Margin(header, setup_.HeaderMargin);
    s.FooterMargin = Margin(footer, setup_.FooterMargin);
    s.CenterHorizontally = centerHorizontally->isChecked();
    s.CenterVertically = centerVertically->isChecked();
    s.CenterHeader = SectionCode(headerText);
    s.CenterFooter = SectionCode(footerText);
    const std::string area = printArea->text().trimmed().toStdString();
    const std::string titles = titleRows->text().trimmed().toStdString();
    // The areas as the host keeps them: absolute; a changed text replaces the kept one.
    if (area != host::AreasWithoutSheet(setup_.PrintArea)) s.PrintArea = area.empty() ? "" : host::AbsoluteAreas(area);
    if (titles != host::AreasWithoutSheet(setup_.PrintTitleRows))
        s.PrintTitleRows = titles.empty() ? "" : host::AbsoluteAreas(titles);
    s.hasSetup = true;
    return s;
}

}  // namespace gui
