#pragma once
// The state that the entry object and every window share: one instance per
// component (what the host loads as tolm.dll), created by the front end and
// handed to every TolmDll object and window of it. It owns the windows (the
// window registry); domain procedures get only its narrow Context().
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "workbook/Context.h"

namespace host {
class Application;
class Workbook;
}  // namespace host
namespace platform {
class Toolkit;
}

namespace ui {

class Window;

class Component {
public:
    explicit Component(platform::Toolkit& toolkit);
    ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    platform::Toolkit& Toolkit() const { return toolkit_; }

    // Bound by WKopen; null until then. The host owns both.
    host::Application* Application() const { return app_; }
    void SetApplication(host::Application* app) { app_ = app; }
    host::Workbook* SystemWorkbook() const { return system_; }
    void SetSystemWorkbook(host::Workbook* wb) { system_ = wb; }
    // The bound objects for callers that cannot go on without them: unbound is
    // the HostError "对象变量未设置", as the host reports a use of Nothing.
    host::Application& App() const;
    host::Workbook& System() const;

    // Where the next main window is placed, in screen pixels.
    int32_t WindowLeft() const { return position_.left; }
    int32_t WindowTop() const { return position_.top; }
    void SetWindowPosition(int32_t left, int32_t top) { position_ = {left, top}; }

    // What a domain procedure runs with; unbound is the HostError of App().
    workbook::Context Context();

    // ----- windows -----
    // Takes ownership of a new window; it is open once it loads.
    template <class W>
    W& Adopt(std::unique_ptr<W> w) {
        W& ref = *w;
        windows_.push_back(std::move(w));
        return ref;
    }
    // Loaded windows in load order.
    const std::vector<Window*>& OpenWindows() const { return open_; }
    bool AnyWindowOpen() const { return !open_.empty(); }
    Window* OpenWindow(std::string_view name) const;
    // Destroys the windows that were unloaded; call between events, never
    // from inside a window's handler.
    void CollectUnloaded();

    // ----- used by Window -----
    void WindowLoaded(Window& w);
    void WindowUnloaded(Window& w);

private:
    platform::Toolkit& toolkit_;
    host::Application* app_ = nullptr;
    host::Workbook* system_ = nullptr;
    workbook::WindowPosition position_;
    std::vector<std::unique_ptr<Window>> windows_;  // open and unloaded, not yet collected
    std::vector<Window*> open_;
};

}  // namespace ui
