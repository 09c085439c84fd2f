#pragma once
// A tool window (Settings, Arrangement, Exam tables, Print, About) as a Qt
// window over its window model: a widget per control, the model's menu bar,
// the model's caption and place. User input goes to the model and its
// handlers; the widgets follow the model's change notifications only.
//
// A main window stands in the host window's tool dock (docked at the right
// edge by default, so that the grid narrows instead of being covered; the
// user may float it); the About window, and a main window when another one
// holds the dock, is a window of its own, topmost. Either way its frame
// stays on the screen, and a body taller than that scrolls.
#include <QDockWidget>
#include <QPointer>
#include <QWidget>
#include <map>

#include "ui/Window.h"

class QMainWindow;
class QMenuBar;
class QAction;
class QScrollArea;

namespace ui {
class Control;
}

namespace gui {

class QtToolkit;
class ToolWindowView;

// The host window's place for the main tool window: a dock at its right
// edge that the user can float and dock again. It holds one view at a time
// and is hidden while it holds none. Docked or floating, the dock's width
// and the floating size are remembered (WindowPlacement).
class ToolDock : public QDockWidget {
    Q_OBJECT
public:
    explicit ToolDock(QMainWindow& host);
    ~ToolDock() override;

    ToolWindowView* Held() const { return held_; }
    bool IsDocked() const { return !isFloating(); }
    // Takes the view in, docked or floating as the user last left the dock.
    void Hold(ToolWindowView& view);
    // Gives the view up (its model was unloaded): the dock hides.
    void Release(ToolWindowView& view);
    // Shows the dock with the view: docked at the remembered width, or
    // floating at its place, on the screen.
    void ShowHeld();

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    void FloatingChanged(bool floating);
    void RememberSize();

    QMainWindow& host_;
    QPointer<ToolWindowView> held_;
};

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

    // Top-left corner of the frame at (left, top) screen pixels, topmost;
    // a docked view stays in its dock.
    void PlaceAt(int left, int top);
    void ShowView(bool modal);
    // Forgets the model; the view no longer touches it and leaves its dock.
    void Detach();

    // The dock holding the view, or null for a window of its own.
    ToolDock* Dock() const { return dock_; }
    void SetDock(ToolDock* dock) { dock_ = dock; }
    // What the user sees as the window: the dock, or the view itself.
    QWidget* Frame() const;
    // Size the body asks for: its controls unscrolled, with the menu bar.
    QSize PreferredSize() const;
    QScrollArea* Body() const { return body_; }

    // The frame's place into the model, in twips, while it floats.
    void ReportPosition();
    // The close box of the window or its dock: the model unloads.
    void CloseByUser();

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

    ui::Window* model_;
    QtToolkit& toolkit_;
    QMenuBar* menuBar_ = nullptr;
    QScrollArea* body_ = nullptr;
    QPointer<ToolDock> dock_;
    std::map<const ui::Control*, QWidget*> widgets_;
    std::map<const ui::Control*, QAction*> actions_;
    bool refreshing_ = false;
};

// "Command1_3" for Command1[3], "Text1" for a single control: the widgets' object names.
QString ControlObjectName(const ui::Control& c);

}  // namespace gui
