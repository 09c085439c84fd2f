#pragma once
// The start of a running instance, the same for every front end: the host
// application becomes the running one, the system workbook is opened (or
// created from the built-in default when its file is missing) and made
// active, then a TolmDll binds to them and opens the last used window.
#include <memory>
#include <string>

namespace host {
class Application;
class Workbook;
}  // namespace host
namespace platform {
class Toolkit;
}
namespace ui {
class Component;
}

namespace entry {


// Throws host::FileError when the system workbook cannot be read or created,
// or when another workbook of the same file name is open already.
std::unique_ptr<ui::Component> StartSession(host::Application& app, platform::Toolkit& toolkit, const std::string& systemPath);

// Opens (or creates) the system workbook and makes it the active workbook.
host::Workbook& OpenSystemWorkbook(host::Application& app, const std::string& systemPath);

}  // namespace entry
