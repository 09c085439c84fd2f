#include "ui/Component.h"

#include <algorithm>

#include "host/HostError.h"
#include "ui/Window.h"

namespace ui {

Component::Component(platform::Toolkit& toolkit) : toolkit_(toolkit) {}

Component::~Component() = default;

host::Application& Component::App() const {
    if (!app_) throw host::HostError("对象变量未设置：尚未连接电子表格程序");
    return *app_;
}

host::Workbook& Component::System() const {
    if (!system_) throw host::HostError("对象变量未设置：尚未绑定系统工作簿");
    return *system_;
}

workbook::Context Component::Context() { return {App(), System(), toolkit_, &position_}; }

Window* Component::OpenWindow(std::string_view name) const {
    for (Window* w : open_)
        if (w->Name() == name) return w;
    return nullptr;
}

void Component::CollectUnloaded() {
    std::erase_if(windows_, [](const std::unique_ptr<Window>& w) { return !w->IsLoaded(); });
}

void Component::WindowLoaded(Window& w) {
    if (std::find(open_.begin(), open_.end(), &w) == open_.end()) open_.push_back(&w);
}

void Component::WindowUnloaded(Window& w) { std::erase(open_, &w); }

}  // namespace ui
