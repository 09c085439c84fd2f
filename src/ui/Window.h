#pragma once
// A window model: its controls, its geometry in twips and its life
// (Load … Unload). It runs with the component that holds the shared state
// (host application, system workbook, window position, open windows) and the
// toolkit of its front end. Views observe it and redraw.
#include <string>
#include <vector>

#include "workbook/Outcome.h"

namespace platform {
class Toolkit;
}

namespace ui {

class Component;
class Control;
class Window;

class WindowObserver {
public:
    virtual ~WindowObserver() = default;
    virtual void ControlChanged(Window& window, Control& control) = 0;
    // Caption, geometry, or the window was loaded or unloaded.
    virtual void WindowChanged(Window& window) {}
};

class Window {
public:
    Window(ui::Component& component, std::string name, std::string caption, double width, double height);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c);

    // Geometry in twips; a view reports the user's moves through SetLeft/SetTop.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void SetLeft(double twips);
    void SetTop(double twips);

    bool IsLoaded() const { return loaded_; }
    // Loads the window once (it joins the component's open windows, then its
    // load handler runs); a loaded window is not loaded again.
    void Load();
    // Leaves the open windows and tells the toolkit. The object lives on
    // until the component collects unloaded windows, so a handler may unload
    // its own window.
    void Unload();
    // Loads when needed, then shows through the toolkit.
    void Show(bool modal = false);

    ui::Component& Component() const { return component_; }
    platform::Toolkit& Toolkit() const;

    void AddObserver(WindowObserver* o);
    void RemoveObserver(WindowObserver* o);

    // What the window's last action (a button's or menu item's handler) did.
    const workbook::Outcome& LastOutcome() const { return lastOutcome_; }

    // Every control of the window in construction order.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::string& name, int index = -1) const;

    // ----- used by the controls -----
    void RegisterControl(Control& c) { controls_.push_back(&c); }
    void UnregisterControl(Control& c);
    void ControlChanged(Control& c);

protected:
    virtual void OnLoad() {}
    // Keeps an action's outcome for LastOutcome and hands it back.
    workbook::Outcome Record(workbook::Outcome o) {
        lastOutcome_ = o;
        return o;
    }
    virtual void OnUnload() {}
    void NotifyWindowChanged();

private:
    ui::Component& component_;
    std::string name_, caption_;
    double left_ = 0, top_ = 0, width_, height_;
    bool loaded_ = false;
    std::vector<Control*> controls_;
    std::vector<WindowObserver*> observers_;
    workbook::Outcome lastOutcome_;
};

}  // namespace ui
