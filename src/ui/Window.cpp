#include "ui/Window.h"

#include <algorithm>

#include "ui/Component.h"
#include "ui/Controls.h"
#include "platform/Toolkit.h"

namespace ui {

Window::Window(ui::Component& component, std::string name, std::string caption, double width, double height)
    : component_(component), name_(std::move(name)), caption_(std::move(caption)), width_(width), height_(height) {}

Window::~Window() = default;

void Window::SetCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    NotifyWindowChanged();
}

void Window::SetLeft(double twips) {
    if (twips == left_) return;
    left_ = twips;
    NotifyWindowChanged();
}

void Window::SetTop(double twips) {
    if (twips == top_) return;
    top_ = twips;
    NotifyWindowChanged();
}

platform::Toolkit& Window::Toolkit() const { return component_.Toolkit(); }

void Window::Load() {
    if (loaded_) return;
    loaded_ = true;
    component_.WindowLoaded(*this);
    OnLoad();
    NotifyWindowChanged();
}

void Window::Unload() {
    if (!loaded_) return;
    OnUnload();
    loaded_ = false;
    component_.WindowUnloaded(*this);
    Toolkit().UnloadWindow(*this);
    NotifyWindowChanged();
}

void Window::Show(bool modal) {
    Load();
    Toolkit().ShowWindow(*this, modal);
}

void Window::AddObserver(WindowObserver* o) {
    if (std::find(observers_.begin(), observers_.end(), o) == observers_.end()) observers_.push_back(o);
}

void Window::RemoveObserver(WindowObserver* o) { std::erase(observers_, o); }

Control* Window::FindControl(const std::string& name, int index) const {
    for (Control* c : controls_)
        if (c->Name() == name && c->Index() == index) return c;
    return nullptr;
}

void Window::UnregisterControl(Control& c) { std::erase(controls_, &c); }

void Window::ControlChanged(Control& c) {
    // A copy: an observer may remove itself while being told.
    const std::vector<WindowObserver*> observers = observers_;
    for (WindowObserver* o : observers) o->ControlChanged(*this, c);
}

void Window::NotifyWindowChanged() {
    const std::vector<WindowObserver*> observers = observers_;
    for (WindowObserver* o : observers) o->WindowChanged(*this);
}

}  // namespace ui
