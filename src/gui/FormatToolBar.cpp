#include "gui/FormatToolBar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "gui/FormatActions.h"
#include "gui/FormatCellsDialog.h"
#include "gui/HostWindow.h"
#include "gui/QtToolkit.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "gui/TemplateFields.h"
#include "gui/ToolWindowView.h"
#include "gui/WorkbookView.h"
#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "ui/FrmHuaMinChe.h"

namespace gui {

namespace {

constexpr const char* kAttached = "tolmFormatTools";

// Small pictures for the toolbar, drawn rather than shipped.
QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    return QIcon(pm);
}

// Four text lines aligned left, centre or right; or a block at top, middle or bottom.
QIcon AlignIcon(int horizontal) {
    return Drawn([horizontal](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        const int widths[] = {14, 9, 14, 9};
        for (int i = 0; i < 4; ++i) {
            const int w = widths[i];
            const int x = horizontal < 0 ? 3 : horizontal == 0 ? 10 - w / 2 : 17 - w;
            p.drawLine(x, 4 + i * 4, x + w, 4 + i * 4);
        }
    });
}

QIcon VAlignIcon(int vertical) {
    return Drawn([vertical](QPainter& p) {
        p.setPen(QPen(QColor(150, 150, 150), 1));
        p.drawRect(2, 2, 15, 15);
        p.setPen(QPen(QColor(60, 60, 60), 2));
        // Two text lines against the top, the middle or the bottom.
        const int y = vertical < 0 ? 5 : vertical == 0 ? 8 : 11;
        p.drawLine(5, y, 14, y);
        p.drawLine(7, y + 4, 12, y + 4);
    });
}

// A 2 × 2 grid with the lines of a preset drawn dark.
QIcon BorderIcon(BorderPreset preset) {
    return Drawn([preset](QPainter& p) {
        p.setPen(QPen(QColor(190, 190, 190), 1, Qt::DotLine));
        p.drawRect(2, 2, 15, 15);
        p.drawLine(10, 2, 10, 17);
        p.drawLine(2, 10, 17, 10);
        const int w = preset == BorderPreset::ThickOutside ? 3 : 1;
        p.setPen(QPen(QColor(30, 30, 30), w));
        auto top = [&] { p.drawLine(2, 2, 17, 2); };
        auto bottom = [&] { p.drawLine(2, 17, 17, 17); };
        auto left = [&] { p.drawLine(2, 2, 2, 17); };
        auto right = [&] { p.drawLine(17, 2, 17, 17); };
        switch (preset) {
            case BorderPreset::All:
                p.drawRect(2, 2, 15, 15);
                p.drawLine(10, 2, 10, 17);
                p.drawLine(2, 10, 17, 10);
                break;
            case BorderPreset::Outside:
            case BorderPreset::ThickOutside: p.drawRect(2, 2, 15, 15); break;
            case BorderPreset::None: break;
            case BorderPreset::Top: top(); break;
            case BorderPreset::Bottom: bottom(); break;
            case BorderPreset::Left: left(); break;
            case BorderPreset::Right: right(); break;
            case BorderPreset::InsideHorizontal: p.drawLine(2, 10, 17, 10); break;
            case BorderPreset::InsideVertical: p.drawLine(10, 2, 10, 17); break;
        }
    });
}

// A letter over a colour bar: font colour ("A") and fill (a bucket stands in as "▰").
QIcon ColorIcon(const QString& letter, QColor bar) {
    return Drawn([letter, bar](QPainter& p) {
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(13);
        p.setFont(f);
        p.setPen(QColor(40, 40, 40));
        p.drawText(QRect(0, 0, 20, 15), Qt::AlignCenter, letter);
        p.fillRect(2, 15, 16, 4, bar);
    });
}

QIcon TextIcon(const QString& text, bool bold, bool italic, bool underline) {
    return Drawn([=](QPainter& p) {
        QFont f = p.font();
        f.setPixelSize(15);
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        f.setFamily("Noto Serif CJK SC");
        p.setFont(f);
        p.setPen(QColor(30, 30, 30));
        p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, text);
    });
}

QIcon MergeIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawRect(1, 4, 17, 11);
        p.setPen(QPen(QColor(30, 90, 200), 1.5));
        p.drawLine(4, 9, 15, 9);
        p.drawLine(4, 9, 7, 6);
        p.drawLine(4, 9, 7, 12);
        p.drawLine(15, 9, 12, 6);
        p.drawLine(15, 9, 12, 12);
    });
}

QColor PaletteColor(int index) { return QColor::fromRgb(QRgb(host::PaletteRgb(index))); }

const char* const kBorderNames[] = {"所有框线(&A)", "外侧框线(&S)", "粗外侧框线(&T)", "无框线(&N)", "上框线(&P)",
                                    "下框线(&O)",   "左框线(&L)",   "右框线(&R)",     "内部横框线(&H)", "内部竖框线(&V)"};
const char* const kBorderObjects[] = {"bordersAll", "bordersOutside", "bordersThickOutside", "bordersNone",
                                      "borderTop",  "borderBottom",   "borderLeft",          "borderRight",
                                      "borderInsideHorizontal", "borderInsideVertical"};

}  // namespace

FormatTools* InstallFormatTools(HostWindow& window, QtToolkit& toolkit, host::Application& app,
                                std::function<host::Workbook*()> system) {
    return new FormatTools(window, toolkit, app, std::move(system));
}

FormatTools::FormatTools(HostWindow& window, QtToolkit& toolkit, host::Application& app,
                         std::function<host::Workbook*()> system)
    : QObject(&window), window_(window), toolkit_(toolkit), app_(app), system_(std::move(system)),
      actions_(new FormatActions(window, toolkit, this)) {
    setObjectName("formatTools");
    BuildMenu();
    BuildToolBar();
    later_ = new QTimer(this);
    later_->setSingleShot(true);
    later_->setInterval(0);
    connect(later_, &QTimer::timeout, this, [this] { Sync(); });
    connect(actions_, &FormatActions::Changed, this, [this] { Sync(); });
    connect(&window.WorkbookTabs(), &QTabWidget::currentChanged, later_, qOverload<>(&QTimer::start));
    // The application's events: the Exam-tables window gets its 插入字段 menu
    // when it shows, and a header drag is stored when the button comes up.
    qApp->installEventFilter(this);
    Sync();
}

QAction* FormatTools::Action(const QString& objectName) const {
    for (QObject* root : {static_cast<QObject*>(toolBar_), static_cast<QObject*>(formatMenu_)})
        for (QAction* a : root->findChildren<QAction*>())
            if (a->objectName() == objectName) return a;
    return nullptr;
}

bool FormatTools::TemplateActive() const {
    host::Worksheet* ws = actions_->CurrentSheet();
    return ws && IsTemplateSheet(*ws, system_ ? system_() : nullptr);
}

void FormatTools::BuildMenu() {
    QMenuBar* bar = window_.menuBar();
    // Before the tool's own menu, as a host's 格式 menu comes before its add-ins.
    QAction* before = nullptr;
    for (QAction* a : bar->actions())
        if (a->text().startsWith("考场编排")) before = a;
    formatMenu_ = new QMenu("格式(&O)", bar);
    formatMenu_->setObjectName("formatMenu");
    bar->insertMenu(before, formatMenu_);
    fieldMenu_ = new QMenu("插入字段(&I)", bar);
    fieldMenu_->setObjectName("fieldMenu");
    fieldMenuAction_ = bar->insertMenu(before, fieldMenu_);
    fieldMenuAction_->setVisible(false);
    connect(fieldMenu_, &QMenu::aboutToShow, this, [this] { FillFieldMenu(*fieldMenu_); });

    FormatActions* a = actions_;
    auto add = [this](QMenu* m, const QString& text, const char* name, auto slot) {
        QAction* act = m->addAction(text, this, slot);
        act->setObjectName(name);
        return act;
    };
    QAction* cells = add(formatMenu_, "设置单元格格式(&E)…", "formatCells", [a] { a->ShowFormatCellsDialog(); });
    cells->setShortcut(QKeySequence("Ctrl+1"));
    QMenu* rows = formatMenu_->addMenu("行(&R)");
    add(rows, "行高(&E)…", "rowHeight", [a] { a->AskRowHeight(); });
    add(rows, "自动调整行高(&A)", "autoFitRows", [a] { a->AutoFitSelection(true); });
    add(rows, "隐藏(&H)", "hideRows", [a] { a->HideRows(true); });
    add(rows, "取消隐藏(&U)", "unhideRows", [a] { a->HideRows(false); });
    rows->addSeparator();
    add(rows, "插入行(&I)", "insertRows", [a] { a->InsertRows(); });
    add(rows, "删除行(&D)", "deleteRows", [a] { a->DeleteRows(); });
    QMenu* cols = formatMenu_->addMenu("列(&C)");
    add(cols, "列宽(&W)…", "columnWidth", [a] { a->AskColumnWidth(); });
    add(cols, "自动调整列宽(&I)", "autoFitColumns", [a] { a->AutoFitSelection(false); });
    add(cols, "隐藏(&H)", "hideColumns", [a] { a->HideColumns(true); });
    add(cols, "取消隐藏(&U)", "unhideColumns", [a] { a->HideColumns(false); });
    cols->addSeparator();
    add(cols, "插入列(&I)", "insertColumns", [a] { a->InsertColumns(); });
    add(cols, "删除列(&D)", "deleteColumns", [a] { a->DeleteColumns(); });
    formatMenu_->addSeparator();
    add(formatMenu_, "合并后居中(&M)", "mergeCenter", [a] { a->MergeAndCenter(); });
    add(formatMenu_, "取消单元格合并(&N)", "unmerge", [a] { a->UnMerge(); });
    QMenu* borders = formatMenu_->addMenu("边框(&B)");
    for (int i = 0; i < 10; ++i) {
        const auto preset = BorderPreset(i);
        QAction* b = borders->addAction(BorderIcon(preset), kBorderNames[i], this, [a, preset] { a->Borders(preset); });
        b->setObjectName(QString("menu_") + kBorderObjects[i]);
    }
    formatMenu_->addSeparator();
    QAction* freeze = add(formatMenu_, "冻结窗格(&F)", "freezePanes", [a] { a->ToggleFreezePanes(); });
    freeze->setCheckable(true);
    add(formatMenu_, "页面设置(&U)…", "pageSetup", [a] { a->ShowPageSetupDialog(); });
    connect(formatMenu_, &QMenu::aboutToShow, this, [this, freeze] {
        host::Worksheet* ws = actions_->CurrentSheet();
        freeze->setChecked(ws && (ws->FrozenRows() || ws->FrozenColumns()));
        freeze->setText(freeze->isChecked() ? "取消冻结窗格(&F)" : "冻结窗格(&F)");
    });
}

void FormatTools::BuildToolBar() {
    window_.addToolBarBreak();
    toolBar_ = window_.addToolBar("格式");
    toolBar_->setObjectName("formatToolBar");
    toolBar_->setIconSize(QSize(20, 20));
    FormatActions* a = actions_;

    fontName_ = new QComboBox(toolBar_);
    fontName_->setObjectName("fontName");
    fontName_->setEditable(true);
    fontName_->addItems(OfferedFontNames());
    fontName_->setMinimumContentsLength(7);
    fontName_->setToolTip("字体");
    toolBar_->addWidget(fontName_);
    connect(fontName_, &QComboBox::textActivated, this, [this, a](const QString& name) {
        if (!showing_) a->SetFontName(name);
    });

    fontSize_ = new QComboBox(toolBar_);
    fontSize_->setObjectName("fontSize");
    fontSize_->setEditable(true);
    fontSize_->addItems({"8", "9", "10", "10.5", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36",
                         "48", "72"});
    fontSize_->setMinimumContentsLength(3);
    fontSize_->setToolTip("字号（磅）");
    toolBar_->addWidget(fontSize_);
    connect(fontSize_, &QComboBox::textActivated, this, [this, a](const QString& text) {
        if (showing_) return;
        bool ok = false;
        const double pt = text.toDouble(&ok);
        if (ok && pt >= 1 && pt <= 409) a->SetFontSize(pt);
        else ShowCurrentFormat();
    });

    auto toggle = [this](const QIcon& icon, const QString& tip, const char* name, const QKeySequence& key,
                         std::function<void(bool)> apply) {
        QAction* act = toolBar_->addAction(icon, tip);
        act->setObjectName(name);
        act->setCheckable(true);
        act->setShortcut(key);
        act->setToolTip(tip + (key.isEmpty() ? "" : " (" + key.toString(QKeySequence::NativeText) + ")"));
        connect(act, &QAction::triggered, this, [this, apply](bool on) {
            if (!showing_) apply(on);
        });
        return act;
    };
    toggle(TextIcon("B", true, false, false), "加粗", "bold", QKeySequence::Bold, [a](bool on) { a->SetBold(on); });
    toggle(TextIcon("I", false, true, false), "倾斜", "italic", QKeySequence::Italic, [a](bool on) { a->SetItalic(on); });
    toggle(TextIcon("U", false, false, true), "下划线", "underline", QKeySequence::Underline,
           [a](bool on) { a->SetUnderline(on); });
    toolBar_->addSeparator();

    // Colour buttons: a click gives the last colour chosen, the arrow the palette.
    auto colorButton = [this](const QString& letter, const QString& tip, const char* name, int initial,
                              const QString& firstEntry, int firstIndex, std::function<void(int)> apply) {
        auto* button = new QToolButton(toolBar_);
        button->setObjectName(name);
        button->setToolTip(tip);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        auto last = std::make_shared<int>(initial);
        auto* act = new QAction(ColorIcon(letter, PaletteColor(initial)), tip, button);
        act->setObjectName(QString(name) + "Apply");
        button->setDefaultAction(act);
        connect(act, &QAction::triggered, this, [apply, last] { apply(*last); });
        button->setMenu(MakePaletteMenu(firstEntry, firstIndex, button, [=](int i) {
            *last = i;
            act->setIcon(ColorIcon(letter, i >= 1 ? PaletteColor(i) : QColor(Qt::transparent)));
            apply(i);
        }));
        toolBar_->addWidget(button);
    };
    colorButton("A", "字体颜色", "fontColor", 3, "自动", host::xlColorIndexAutomatic, [a](int i) { a->SetFontColor(i); });
    colorButton("▦", "填充颜色", "fillColor", 6, "无填充颜色", host::xlColorIndexNone, [a](int i) { a->SetFillColor(i); });
    toolBar_->addSeparator();

    // Borders: the button draws the last preset; its menu holds all, the line style and the colour.
    auto* borders = new QToolButton(toolBar_);
    borders->setObjectName("borders");
    borders->setPopupMode(QToolButton::MenuButtonPopup);
    auto* borderMenu = new QMenu(borders);
    QAction* first = nullptr;
    for (int i = 0; i < 10; ++i) {
        const auto preset = BorderPreset(i);
        QAction* b = borderMenu->addAction(BorderIcon(preset), QString(kBorderNames[i]));
        b->setObjectName(kBorderObjects[i]);
        if (!first) first = b;
        connect(b, &QAction::triggered, this, [a, borders, b, preset] {
            borders->setDefaultAction(b);
            a->Borders(preset);
        });
    }
    borderMenu->addSeparator();
    QMenu* style = borderMenu->addMenu("线型(&Y)");
    struct Line {
        const char* name;
        int style, weight;
    };
    const Line lines[] = {{"细实线", host::xlContinuous, host::xlThin},  {"中等实线", host::xlContinuous, host::xlMedium},
                          {"粗实线", host::xlContinuous, host::xlThick}, {"虚线", host::xlDash, host::xlThin},
                          {"点线", host::xlDot, host::xlThin},           {"双线", host::xlDouble, host::xlThick}};
    auto* styleGroup = new QActionGroup(style);
    for (const Line& l : lines) {
        QAction* s = style->addAction(l.name);
        s->setCheckable(true);
        s->setChecked(l.style == host::xlContinuous && l.weight == host::xlThin);
        styleGroup->addAction(s);
        connect(s, &QAction::triggered, this, [a, l] {
            a->Pen().lineStyle = l.style;
            a->Pen().weight = l.weight;
        });
    }
    borderMenu->addMenu(MakePaletteMenu("自动", host::xlColorIndexAutomatic, borderMenu,
                                        [a](int i) { a->Pen().colorIndex = i; }))
        ->setText("线条颜色(&I)");
    borders->setMenu(borderMenu);
    borders->setDefaultAction(first);
    toolBar_->addWidget(borders);
    toolBar_->addSeparator();

    auto plain = [this](const QIcon& icon, const QString& tip, const char* name, std::function<void()> run) {
        QAction* act = toolBar_->addAction(icon, tip);
        act->setObjectName(name);
        connect(act, &QAction::triggered, this, [this, run] {
            if (!showing_) run();
        });
        return act;
    };
    plain(AlignIcon(-1), "左对齐", "alignLeft", [a] { a->SetHorizontalAlignment(host::xlHAlignLeft); });
    plain(AlignIcon(0), "居中", "alignCenter", [a] { a->SetHorizontalAlignment(host::xlHAlignCenter); });
    plain(AlignIcon(1), "右对齐", "alignRight", [a] { a->SetHorizontalAlignment(host::xlHAlignRight); });
    plain(VAlignIcon(-1), "顶端对齐", "alignTop", [a] { a->SetVerticalAlignment(host::xlVAlignTop); });
    plain(VAlignIcon(0), "垂直居中", "alignMiddle", [a] { a->SetVerticalAlignment(host::xlVAlignCenter); });
    plain(VAlignIcon(1), "底端对齐", "alignBottom", [a] { a->SetVerticalAlignment(host::xlVAlignBottom); });
    toggle(TextIcon("↵", false, false, false), "自动换行", "wrap", {}, [a](bool on) { a->SetWrap(on); });
    toggle(TextIcon("≤", false, false, false), "缩小字体填充", "shrink", {}, [a](bool on) { a->SetShrinkToFit(on); });
    plain(MergeIcon(), "合并后居中", "mergeCenterButton", [a] { a->MergeAndCenter(); });
    toolBar_->addSeparator();

    numberFormat_ = new QComboBox(toolBar_);
    numberFormat_->setObjectName("numberFormat");
    for (const NumberFormatChoice& c : NumberFormatChoices()) numberFormat_->addItem(c.name, QString(c.format));
    numberFormat_->setToolTip("数字格式");
    toolBar_->addWidget(numberFormat_);
    connect(numberFormat_, &QComboBox::activated, this, [this, a](int i) {
        if (!showing_) a->SetNumberFormat(numberFormat_->itemData(i).toString().toStdString());
    });
    toolBar_->addSeparator();
    QAction* cells = toolBar_->addAction("设置格式…");
    cells->setObjectName("formatCellsButton");
    cells->setToolTip("设置单元格格式 (Ctrl+1)");
    connect(cells, &QAction::triggered, this, [a] { a->ShowFormatCellsDialog(); });
    QAction* fields = toolBar_->addAction("插入字段");
    fields->setObjectName("insertFieldButton");
    fields->setToolTip("在模板中插入字段、照片或区域标记");
    fields->setMenu(fieldMenu_);
    if (auto* b = qobject_cast<QToolButton*>(toolBar_->widgetForAction(fields)))
        b->setPopupMode(QToolButton::InstantPopup);
}

void FormatTools::Sync() {
    for (int i = 0; i < window_.WorkbookTabs().count(); ++i) {
        auto* wv = qobject_cast<WorkbookView*>(window_.WorkbookTabs().widget(i));
        if (!wv) continue;
        if (!wv->property(kAttached).toBool()) {
            wv->setProperty(kAttached, true);
            connect(wv, &WorkbookView::CurrentCellChanged, later_, qOverload<>(&QTimer::start));
            connect(wv, &QTabWidget::currentChanged, later_, qOverload<>(&QTimer::start));
        }
        for (int k = 0; k < wv->count(); ++k)
            if (auto* sv = qobject_cast<SheetView*>(wv->widget(k)); sv && !sv->property(kAttached).toBool()) Attach(*sv);
    }
    const bool onTemplate = TemplateActive();
    fieldMenuAction_->setVisible(onTemplate);
    if (QAction* b = Action("insertFieldButton")) b->setEnabled(onTemplate);
    ShowCurrentFormat();
}

void FormatTools::Attach(SheetView& view) {
    view.setProperty(kAttached, true);
    SheetView* v = &view;
    auto sized = [this, v](bool rows) {
        return [this, v, rows](int section, int, int pixels) {
            // Only a drag by the user; the view sets sizes itself when it lays out.
            if (!(QApplication::mouseButtons() & Qt::LeftButton)) return;
            pending_ = {v, rows, section, pixels};
        };
    };
    connect(view.Grid().horizontalHeader(), &QHeaderView::sectionResized, this, sized(false));
    connect(view.Grid().verticalHeader(), &QHeaderView::sectionResized, this, sized(true));
    // A double-click on a header's border fits the row or column to its content.
    connect(view.Grid().verticalHeader(), &QHeaderView::sectionHandleDoubleClicked, this,
            [this, v](int section) { actions_->AutoFitLine(v->Sheet(), true, section + 1); });
    connect(view.Grid().horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this,
            [this, v](int section) { actions_->AutoFitLine(v->Sheet(), false, section + 1); });
    connect(&view, &QObject::destroyed, this, [this, v] {
        if (pending_.view == v) pending_ = {};
    });
    new RegionTint(view.Grid(), [this, v]() -> const host::Worksheet* {
        host::Workbook* system = system_ ? system_() : nullptr;
        return IsTemplateSheet(v->Sheet(), system) ? &v->Sheet() : nullptr;
    });
}

bool FormatTools::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease && pending_.view) {
        const PendingResize p = pending_;
        pending_ = {};
        if (p.rows) actions_->RowResized(p.view->Sheet(), p.section + 1, p.pixels);
        else actions_->ColumnResized(p.view->Sheet(), p.section + 1, p.pixels);
    }
    if (e->type() == QEvent::Show) {
        if (auto* view = qobject_cast<ToolWindowView*>(watched)) AttachToolWindow(*view);
    }
    return QObject::eventFilter(watched, e);
}

void FormatTools::AttachToolWindow(QWidget& widget) {
    auto* view = qobject_cast<ToolWindowView*>(&widget);
    if (!view || view->property(kAttached).toBool() || !view->MenuBar()) return;
    if (!view->Model() || !dynamic_cast<ui::FrmHuaMinChe*>(view->Model())) return;
    view->setProperty(kAttached, true);
    auto* menu = new QMenu("插入字段(&I)", view->MenuBar());
    menu->setObjectName("fieldMenu");
    view->MenuBar()->addMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillFieldMenu(*menu); });
}

void FormatTools::FillFieldMenu(QMenu& menu) {
    host::Workbook* system = system_ ? system_() : nullptr;
    FillInsertFieldMenu(menu, RosterFieldTitles(toolkit_, app_, system),
                        [this](const QString& text, const QString& undo) { InsertIntoTemplate(text, undo); });
}

void FormatTools::InsertIntoTemplate(const QString& text, const QString& undoText) {
    if (!TemplateActive()) {
        toolkit_.MessageBox({"请先在“考试用表”窗口的模板表中选择一个模板，再把字段插入它的单元格。",
                             platform::MsgButtons::OK, platform::MsgIcon::Information, 1, "插入字段"});
        return;
    }
    actions_->InsertText(undoText, text);
}

void FormatTools::ShowCurrentFormat() {
    host::Worksheet* ws = actions_->CurrentSheet();
    toolBar_->setEnabled(ws != nullptr);
    formatMenu_->setEnabled(ws != nullptr);
    if (!ws) return;
    showing_ = true;
    const host::CellRef c = ws->ActiveCell();
    const host::CellFormat& f = ws->Parent().Styles().Get(ws->StyleAt(c.row, c.col));
    fontName_->setEditText(QString::fromStdString(f.font.name));
    fontSize_->setEditText(QString::number(f.font.size));
    auto check = [this](const char* name, bool on) {
        if (QAction* a = Action(name)) a->setChecked(on);
    };
    check("bold", f.font.bold);
    check("italic", f.font.italic);
    check("underline", !f.font.underline.empty());
    check("wrap", f.alignment.wrapText);
    check("shrink", f.alignment.shrinkToFit);
    const int nf = numberFormat_->findData(QString::fromStdString(f.numberFormat));
    numberFormat_->setCurrentIndex(nf >= 0 ? nf : 0);
    showing_ = false;
}

}  // namespace gui
