#include "gui/ToolWindowView.h"

#include <QAction>
#include <algorithm>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QMainWindow>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "gui/QtToolkit.h"
#include "gui/WindowLayout.h"
#include "gui/WindowPlacement.h"
#include "host/HostError.h"
#include "ui/Controls.h"

namespace gui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
// Design sizes are in twips; a view is never smaller than its contents need.
constexpr double kTwipsPerPixel = 15.0;
// System names begin with a TAB (TAB + "无"); on screen the TAB is left out.
QString Shown(const std::string& s) { return Q(s).remove('\t'); }
// A command as the edit history names it: its caption without the access key.
QString CommandName(const std::string& caption) {
    return Shown(caption).remove(QRegularExpression(R"(\(&.\))")).remove('&').remove(QStringLiteral("…")).trimmed();
}
}  // namespace

QString ControlObjectName(const ui::Control& c) {
    QString name = Q(c.Name());
    if (c.Index() >= 0) name += "_" + QString::number(c.Index());
    return name;
}

ToolWindowView::ToolWindowView(ui::Window& model, QtToolkit& toolkit)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), model_(&model), toolkit_(toolkit) {
    setObjectName(Q(model.Name()));
    setWindowTitle(Q(model.Caption()));
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildMenu();
    BuildBody();
    model.AddObserver(this);
    for (ui::Control* c : model.Controls()) Refresh(*c);
    const QSize design(int(model.Width() / kTwipsPerPixel), int(model.Height() / kTwipsPerPixel));
    resize(design.expandedTo(PreferredSize()));
}

ToolWindowView::~ToolWindowView() { Detach(); }

void ToolWindowView::Detach() {
    if (dock_) dock_->Release(*this);
    if (!model_) return;
    model_->RemoveObserver(this);
    model_ = nullptr;
    hide();
}

QWidget* ToolWindowView::Frame() const {
    if (dock_) return dock_;
    return const_cast<ToolWindowView*>(this);
}

QSize ToolWindowView::PreferredSize() const {
    QSize size = body_ && body_->widget() ? body_->widget()->sizeHint() : QSize();
    if (menuBar_) {
        // Every menu on the bar, none behind its overflow button.
        size.rheight() += menuBar_->sizeHint().height();
        size.setWidth(std::max(size.width(), menuBar_->sizeHint().width()));
    }
    const QMargins m = layout() ? layout()->contentsMargins() : QMargins();
    return size.grownBy(m);
}

// ----- the dock -----

ToolDock::ToolDock(QMainWindow& host) : QDockWidget(&host), host_(host) {
    setObjectName("toolDock");
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    host.addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    connect(this, &QDockWidget::topLevelChanged, this, &ToolDock::FloatingChanged);
}

ToolDock::~ToolDock() {
    // A view still held goes with the dock, as its child.
    if (held_) held_->SetDock(nullptr);
}

void ToolDock::Hold(ToolWindowView& view) {
    held_ = &view;
    view.SetDock(this);
    setWidget(&view);
    setWindowTitle(view.windowTitle());
    const bool docked = placement::ToolWindowDocked();
    if (isFloating() == docked) setFloating(!docked);
    if (!docked) {
        const QSize remembered = placement::FloatingSize();
        resize(remembered.isValid() ? remembered : view.size());
    }
}

void ToolDock::Release(ToolWindowView& view) {
    if (held_ != &view) return;
    RememberSize();
    held_ = nullptr;
    view.SetDock(nullptr);
    setWidget(nullptr);
    // Out of the dock, to be deleted by its toolkit.
    view.setParent(nullptr);
    hide();
}

void ToolDock::ShowHeld() {
    show();
    if (held_) held_->show();
    if (isFloating()) {
        KeepOnScreen(*this);
    } else {
        int width = placement::DockWidth();
        if (width <= 0 && held_) {
            // Wide enough for the controls beside a vertical scroll bar, and
            // never more than a little under half of the host window.
            width = held_->PreferredSize().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
            width = std::min(width, host_.width() * 45 / 100);
        }
        if (width > 0) host_.resizeDocks({this}, {std::min(width, host_.width() * 2 / 3)}, Qt::Horizontal);
    }
    raise();
    activateWindow();
}

void ToolDock::RememberSize() {
    if (!isVisible()) return;
    if (isFloating()) placement::SetFloatingSize(size());
    else placement::SetDockWidth(width());
}

void ToolDock::FloatingChanged(bool floating) {
    placement::SetToolWindowDocked(!floating);
    if (!floating || !isVisible()) return;
    // The size stays as it was docked (the user may be dragging it); the
    // remembered floating size applies when a window opens floating.
    KeepOnScreen(*this);
    if (held_) held_->ReportPosition();
}

void ToolDock::closeEvent(QCloseEvent* e) {
    if (held_) held_->CloseByUser();
    QDockWidget::closeEvent(e);
}

void ToolDock::moveEvent(QMoveEvent* e) {
    QDockWidget::moveEvent(e);
    if (isFloating() && held_) held_->ReportPosition();
}

QWidget* ToolWindowView::WidgetOf(const ui::Control& c) const {
    auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second;
}

QAction* ToolWindowView::ActionOf(const ui::Control& c) const {
    auto it = actions_.find(&c);
    return it == actions_.end() ? nullptr : it->second;
}

void ToolWindowView::RunEvent(const std::function<void()>& event) {
    if (!model_) return;
    try {
        event();
    } catch (const std::exception& e) {
        // Host errors that no procedure skipped, and anything else a handler
        // let through: shown, so that the window and the host stay usable.
        QMessageBox::critical(this, "错误", QString::fromUtf8(e.what()));
    }
    toolkit_.AfterEvent();
}

void ToolWindowView::BuildMenu() {
    std::map<const ui::Control*, QMenu*> menus;
    for (ui::Control* c : model_->Controls()) {
        auto* item = dynamic_cast<ui::MenuItem*>(c);
        if (!item) continue;
        if (!menuBar_) menuBar_ = new QMenuBar(this);
        QAction* action = nullptr;
        if (item->Parent()) {
            QMenu*& parent = menus[item->Parent()];
            if (!parent) {
                parent = new QMenu(menuBar_);
                QAction* parentAction = actions_[item->Parent()];
                if (parentAction) parentAction->setMenu(parent);
            }
            action = parent->addAction(Q(item->Caption()));
        } else {
            action = menuBar_->addAction(Q(item->Caption()));
        }
        action->setObjectName(ControlObjectName(*item));
        actions_[item] = action;
        connect(action, &QAction::triggered, this, [this, item] {
            RunEvent([this, item] { toolkit_.RunCommand(CommandName(item->Caption()), [item] { item->Click(); }); });
        });
    }
}

QWidget* ToolWindowView::MakeWidget(ui::Control& c) {
    QWidget* w = nullptr;
    if (dynamic_cast<ui::Label*>(&c)) {
        auto* label = new QLabel;
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (IsHeading(c)) {
            QFont f = label->font();
            f.setPointSizeF(f.pointSizeF() * 1.6);
            f.setBold(true);
            label->setFont(f);
        }
        w = label;
    } else if (auto* command = dynamic_cast<ui::CommandButton*>(&c)) {
        auto* button = new QPushButton;
        connect(button, &QPushButton::clicked, this, [this, command] {
            RunEvent([this, command] {
                toolkit_.RunCommand(CommandName(command->Caption()), [command] { command->Click(); });
            });
        });
        w = button;
    } else if (auto* text = dynamic_cast<ui::TextBox*>(&c)) {
        auto* edit = new QLineEdit;
        connect(edit, &QLineEdit::textEdited, this, [this, text](const QString& s) {
            RunEvent([text, s] { text->Type(s.toStdString()); });
        });
        w = edit;
    } else if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) {
        auto* box = new QComboBox;
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        connect(box, &QComboBox::activated, this, [this, combo](int index) {
            RunEvent([combo, index] { combo->Choose(index); });
        });
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString& s) {
            RunEvent([combo, s] { combo->Type(s.toStdString()); });
        });
        w = box;
    } else if (auto* list = dynamic_cast<ui::ListBox*>(&c)) {
        auto* lw = new QListWidget;
        lw->setSelectionMode(list->MultiSelect() ? QAbstractItemView::MultiSelection
                                                 : QAbstractItemView::SingleSelection);
        connect(lw, &QListWidget::itemSelectionChanged, this, [this, list, lw] {
            if (refreshing_) return;
            RunEvent([list, lw] {
                // The item whose selection the user changed gets the click.
                int clicked = -1;
                for (int i = 0; i < lw->count() && i < list->ListCount(); ++i)
                    if (list->Selected(i) != lw->item(i)->isSelected()) {
                        if (clicked < 0) clicked = i;
                        list->SetSelected(i, lw->item(i)->isSelected());
                    }
                if (clicked >= 0) list->Choose(clicked, lw->item(clicked)->isSelected());
            });
        });
        w = lw;
    } else if (auto* option = dynamic_cast<ui::OptionButton*>(&c)) {
        auto* radio = new QRadioButton;
        // The model keeps options of one frame exclusive.
        radio->setAutoExclusive(false);
        connect(radio, &QRadioButton::clicked, this, [this, option] {
            RunEvent([option] { option->Choose(); });
            Refresh(*option);
        });
        w = radio;
    } else if (auto* check = dynamic_cast<ui::CheckBox*>(&c)) {
        auto* box = new QCheckBox;
        connect(box, &QCheckBox::clicked, this, [this, check](bool on) {
            RunEvent([check, on] { check->Choose(on ? ui::vbChecked : ui::vbUnchecked); });
        });
        w = box;
    }
    if (w) {
        w->setObjectName(ControlObjectName(c));
        widgets_[&c] = w;
    }
    return w;
}

void ToolWindowView::BuildBody() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    if (menuBar_) outer->setMenuBar(menuBar_);
    body_ = new QScrollArea(this);
    body_->setObjectName("body");
    body_->setFrameShape(QFrame::NoFrame);
    body_->setWidgetResizable(true);
    auto* content = new QWidget(body_);
    auto* sections = new QVBoxLayout(content);
    for (const LayoutSection& section : LayoutOf(*model_)) {
        QWidget* box = nullptr;
        if (section.frame) {
            auto* group = new QGroupBox;
            group->setObjectName(ControlObjectName(*section.frame));
            widgets_[section.frame] = group;
            box = group;
        } else {
            box = new QWidget;
        }
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(1, 1);
        int row = 0;
        for (const auto& cells : section.rows) {
            const bool buttons = std::all_of(cells.begin(), cells.end(), [](auto* c) { return IsButton(*c); });
            if (buttons) {
                auto* bar = new QHBoxLayout;
                bar->addStretch(1);
                for (ui::Control* c : cells) bar->addWidget(MakeWidget(*c));
                grid->addLayout(bar, row++, 0, 1, 2);
                continue;
            }
            if (cells.size() == 1) {
                if (QWidget* w = MakeWidget(*cells[0])) grid->addWidget(w, row++, 0, 1, 2);
                continue;
            }
            for (size_t k = 0; k < cells.size(); ++k)
                if (QWidget* w = MakeWidget(*cells[k])) grid->addWidget(w, row, int(std::min<size_t>(k, 1)));
            ++row;
        }
        sections->addWidget(box);
    }
    sections->addStretch(1);
    body_->setWidget(content);
    outer->addWidget(body_);
}

void ToolWindowView::Refresh(ui::Control& c) {
    refreshing_ = true;
    if (QAction* a = ActionOf(c)) {
        auto& item = static_cast<ui::MenuItem&>(c);
        a->setText(Q(item.Caption()));
        a->setEnabled(item.Enabled());
        a->setVisible(item.Visible());
        a->setCheckable(item.Checked());
        a->setChecked(item.Checked());
    }
    QWidget* w = WidgetOf(c);
    if (w) {
        w->setEnabled(c.Enabled());
        w->setVisible(c.Visible());
    }
    if (auto* captioned = dynamic_cast<ui::CaptionedControl*>(&c)) {
        const QString caption = Q(captioned->Caption());
        if (auto* l = qobject_cast<QLabel*>(w)) l->setText(caption);
        if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(caption);
        if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(caption);
    }
    if (auto* text = dynamic_cast<ui::TextBox*>(&c)) {
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (edit && edit->text() != Q(text->Text())) edit->setText(Q(text->Text()));
    }
    if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) {
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            QSignalBlocker block(box);
            QStringList items;
            for (const std::string& s : combo->Items()) items << Shown(s);
            bool same = box->count() == items.size();
            for (int i = 0; same && i < items.size(); ++i) same = box->itemText(i) == items[i];
            if (!same) {
                box->clear();
                box->addItems(items);
            }
            box->setCurrentIndex(combo->ListIndex());
            box->setEditText(Shown(combo->Text()));
        }
    }
    if (auto* list = dynamic_cast<ui::ListBox*>(&c)) {
        if (auto* lw = qobject_cast<QListWidget*>(w)) {
            QSignalBlocker block(lw);
            lw->clear();
            for (int i = 0; i < list->ListCount(); ++i) {
                lw->addItem(Q(list->List(i)));
                lw->item(i)->setSelected(list->Selected(i));
            }
        }
    }
    if (auto* option = dynamic_cast<ui::OptionButton*>(&c))
        if (auto* radio = qobject_cast<QRadioButton*>(w)) radio->setChecked(option->Value());
    if (auto* check = dynamic_cast<ui::CheckBox*>(&c))
        if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setTristate(check->Value() == ui::vbGrayed);
            box->setCheckState(check->Value() == ui::vbChecked  ? Qt::Checked
                               : check->Value() == ui::vbGrayed ? Qt::PartiallyChecked
                                                                : Qt::Unchecked);
        }
    refreshing_ = false;
}

void ToolWindowView::ControlChanged(ui::Window&, ui::Control& control) { Refresh(control); }

void ToolWindowView::WindowChanged(ui::Window& window) {
    setWindowTitle(Q(window.Caption()));
    if (dock_) dock_->setWindowTitle(windowTitle());
}

void ToolWindowView::PlaceAt(int left, int top) {
    if (dock_) {
        if (dock_->isFloating()) dock_->move(left, top);
        return;
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    move(left, top);
}

void ToolWindowView::ShowView(bool modal) {
    if (dock_) {
        dock_->ShowHeld();
        return;
    }
    setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    show();
    KeepOnScreen(*this);
    raise();
    activateWindow();
}

void ToolWindowView::ReportPosition() {
    QWidget* frame = Frame();
    if (!model_ || !frame->isVisible() || !frame->isWindow()) return;
    model_->SetLeft(frame->x() * toolkit_.TwipsPerPixelX());
    model_->SetTop(frame->y() * toolkit_.TwipsPerPixelY());
}

void ToolWindowView::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    ReportPosition();
}

void ToolWindowView::CloseByUser() {
    // The close box unloads the window; its place and K6 stay as they were.
    if (model_) RunEvent([this] { model_->Unload(); });
}

void ToolWindowView::closeEvent(QCloseEvent* e) {
    CloseByUser();
    e->accept();
}

}  // namespace gui
