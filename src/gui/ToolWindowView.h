#pragma once
// A tool window (Settings, Arrangement, Exam tables, Print, About) as a Qt
// window over its window model: a widget per control, the model's menu bar,
// the model's caption and place. User input goes to the model and its
// handlers; the widgets follow the model's change notifications only.
#include <QWidget>
#include <map>

#include "ui/Window.h"

class QMenuBar;
class QAction;

namespace ui {
class Control;
}

namespace gui {

class QtToolkit;

class ToolWindowView : public QWidget, private ui::WindowObserver {
    Q_OBJECT
public:
    ToolWindowView(ui::Window& model, QtToolkit& toolkit);
    ~ToolWindowView() override;

    // Null once the model was unloaded.
    ui::Window* Model() const { return model_; }
    // The widget (QPushButton, QLineEdit …) or menu action of a control.
    QWidget* WidgetOf(const ui::Control& c) const;
    QAction* ActionOf(const ui::Control& c) const;
    QMenuBar* MenuBar() const { return menuBar_; }

    // Top-left corner of the frame at (left, top) screen pixels, topmost.
    void PlaceAt(int left, int top);
    void ShowView(bool modal);
    // Forgets the model; the view no longer touches it.
    void Detach();

    // Runs a user event on the model: host errors become a message, then the
    // toolkit's after-event step runs.
    void RunEvent(const std::function<void()>& event);

protected:
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void ControlChanged(ui::Window& window, ui::Control& control) override;
    void WindowChanged(ui::Window& window) override;

    void BuildMenu();
    void BuildBody();
    QWidget* MakeWidget(ui::Control& c);
    void Refresh(ui::Control& c);
    void ReportPosition();

    ui::Window* model_;
    QtToolkit& toolkit_;
    QMenuBar* menuBar_ = nullptr;
    std::map<const ui::Control*, QWidget*> widgets_;
    std::map<const ui::Control*, QAction*> actions_;
    bool refreshing_ = false;
};

// "Command1_3" for Command1[3], "Text1" for a single control: the widgets' object names.
QString ControlObjectName(const ui::Control& c);

}  // namespace gui
