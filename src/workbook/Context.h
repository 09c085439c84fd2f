#pragma once
// What a domain procedure runs with: the running host, the system workbook
// and the toolkit of the front end, and the shared window position for the
// procedures that place a window. Built by the window that starts the
// procedure; the procedures never see the window registry.
#include <cstdint>

namespace host {
class Application;
class Workbook;
}  // namespace host
namespace platform {
class Toolkit;
}

namespace workbook {

// Where the next main window is placed, in screen pixels.
struct WindowPosition {
    int32_t left = 0;
    int32_t top = 0;
};

struct Context {
    host::Application& app;
    host::Workbook& system;
    platform::Toolkit& toolkit;
    WindowPosition* position = nullptr;
};

}  // namespace workbook
