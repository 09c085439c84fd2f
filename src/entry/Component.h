#pragma once
// The state that the entry object, every window and every module share: one
// instance per component (what the host loads as tolm.dll), created by the
// front end and handed to every TolmDll object and window of it.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace host {
class Application;
class Workbook;
}  // namespace host
namespace ui {
class Toolkit;
class Window;
}  // namespace ui

namespace entry {

class Component {
public:
    explicit Component(ui::Toolkit& toolkit);
    ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    ui::Toolkit& Toolkit() const { return toolkit_; }

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
    int32_t WindowLeft() const { return windowLeft_; }
    int32_t WindowTop() const { return windowTop_; }
    void SetWindowPosition(int32_t left, int32_t top) {
        windowLeft_ = left;
        windowTop_ = top;
    }

    // ----- windows -----
    // Takes ownership of a new window; it is open once it loads.
    template <class W>
    W& Adopt(std::unique_ptr<W> w) {
        W& ref = *w;
        windows_.push_back(std::move(w));
        return ref;
    }
    // Loaded windows in load order.
    const std::vector<ui::Window*>& OpenWindows() const { return open_; }
    bool AnyWindowOpen() const { return !open_.empty(); }
    ui::Window* OpenWindow(std::string_view name) const;
    // Destroys the windows that were unloaded; call between events, never
    // from inside a window's handler.
    void CollectUnloaded();

    // ----- used by ui::Window -----
    void WindowLoaded(ui::Window& w);
    void WindowUnloaded(ui::Window& w);

private:
    ui::Toolkit& toolkit_;
    host::Application* app_ = nullptr;
    host::Workbook* system_ = nullptr;
    int32_t windowLeft_ = 0, windowTop_ = 0;
    std::vector<std::unique_ptr<ui::Window>> windows_;  // open and unloaded, not yet collected
    std::vector<ui::Window*> open_;
};

}  // namespace entry
