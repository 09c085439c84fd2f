#pragma once
// The desktop application: the host, the Qt toolkit, the host window and
// the component, started as the system workbook's macro starts the tool.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "gui/QtToolkit.h"
#include "host/Application.h"
#include "render/FontMeasurer.h"

namespace ui {
class Component;
}

namespace gui {

class HostWindow;
class GuiPrintService;

class GuiSession {
public:
    GuiSession(std::string systemPath, std::optional<uint32_t> seed);
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

    // Shows the host window with the system workbook (created when missing),
    // then WKopen and Start. A system workbook that cannot be opened is
    // reported by a message; the result is false then.
    bool Start();
    // The front sheet's button: Start again (nothing when a window is open).
    void StartAgain();

    host::Application& App() { return app_; }
    QtToolkit& Toolkit() { return toolkit_; }
    HostWindow& Window() { return *window_; }
    ui::Component* Component() const { return component_.get(); }

private:
    std::string systemPath_;
    host::Application app_;
    QtToolkit toolkit_;
    std::unique_ptr<GuiPrintService> printService_;
    render::FontMeasurer measurer_;
    std::unique_ptr<ui::Component> component_;
    std::unique_ptr<HostWindow> window_;
};

// The question when a workbook to be opened (or saved) is held by another
// program: who holds it, what going on risks.
std::string LockQuestionText(const std::string& file, const host::LockHolder& holder, bool saving);

// Puts the user guide (built into the program) beside the system workbook
// unless a file of that name is there already; false when it cannot be written.
bool InstallHelpDocument(const std::string& folder);

// QApplication, fonts, the session and the event loop; the process's exit code.
int RunGui(int argc, char** argv, const std::string& systemPath, std::optional<uint32_t> seed);

}  // namespace gui
