#include "gui/GuiSession.h"

#include "gui/GuiPrintService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <filesystem>

#include "ui/Component.h"
#include "entry/Session.h"
#include "entry/TolmDll.h"
#include "gui/EditHistory.h"
#include "gui/HostWindow.h"
#include "gui/WindowPlacement.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "render/StyleCache.h"
#include "workbook/SystemNames.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitGuiResources() { Q_INIT_RESOURCE(resources); }

namespace gui {

GuiSession::GuiSession(std::string systemPath, std::optional<uint32_t> seed)
    : systemPath_(std::filesystem::absolute(systemPath).lexically_normal().string()), toolkit_(seed) {
    window_ = std::make_unique<HostWindow>(
        app_, toolkit_, [this] { StartAgain(); },
        [this]() -> host::Workbook* { return component_ ? component_->SystemWorkbook() : nullptr; });
    printService_ = std::make_unique<GuiPrintService>(toolkit_);
    app_.SetPrintService(printService_.get());
    // Rows follow their content (wrapped text, larger fonts) as in the host.
    app_.SetContentMeasurer(&measurer_);
    // Each command of the tool is one step of the host window's edit history.
    toolkit_.SetCommandRunner([this](const QString& caption, const std::function<void()>& command) {
        window_->History().ApplyToApplication(caption, app_, command);
    });
    // Workbooks open here hold lock files; a file another program holds is
    // opened or saved only when the user says so.
    app_.SetLockingFiles(true);
    app_.SetLockQuestion([this](const std::string& file, const host::LockHolder& holder, bool saving) {
        return toolkit_.MessageBox({LockQuestionText(file, holder, saving), platform::MsgButtons::YesNo,
                                    platform::MsgIcon::Exclamation, 2, std::string(workbook::kProductName)}) ==
               platform::MsgResult::Yes;
    });
    toolkit_.SetAfterEvent([this] {
        window_->RefreshViews();
        // Windows unloaded by the event are destroyed once it is over; the
        // host window as the timer's context drops it when the session ends.
        QTimer::singleShot(0, window_.get(), [this] {
            if (component_) component_->CollectUnloaded();
        });
    });
}

GuiSession::~GuiSession() {
    // Views observe the window models and the host: they go first.
    toolkit_.DestroyViews();
    window_.reset();
    component_.reset();
    app_.SetPrintService(nullptr);
    app_.SetContentMeasurer(nullptr);
}

bool GuiSession::Start() {
    window_->show();
    // Shown, the frame has its decorations: the whole of it on the screen.
    KeepOnScreen(*window_);
    try {
        component_ = entry::StartSession(app_, toolkit_, systemPath_);
    } catch (const host::HostError& e) {
        toolkit_.MessageBox({e.what(), platform::MsgButtons::OK, platform::MsgIcon::Critical, 1, std::string(workbook::kProductName)});
        return false;
    }
    if (host::Workbook* system = component_->SystemWorkbook()) {
        window_->RebuildViews(*system);
        InstallHelpDocument(system->Path());
    }
    window_->RefreshViews();
    return true;
}

std::string LockQuestionText(const std::string& file, const host::LockHolder& holder, bool saving) {
    const std::string name = std::filesystem::path(file).filename().string();
    return "“" + name + "”正被 " + holder.Describe() + "打开修改。\n" +
           (saving ? "现在保存会覆盖对方已经保存或将要保存的修改。是否仍然保存？"
                   : "双方同时修改时，先保存的一方的修改会被覆盖。是否仍然打开它并修改？");
}

bool InstallHelpDocument(const std::string& folder) {
    InitGuiResources();
    const QString target = QDir(QString::fromStdString(folder)).filePath(kHelpDocumentName);
    if (QFileInfo::exists(target)) return true;
    if (!QFile::copy(":/tolm/Help.html", target)) return false;
    // Copies from the resources are read-only.
    return QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

void GuiSession::StartAgain() {
    if (!component_) return;
    try {
        entry::TolmDll(*component_).Start();
    } catch (const host::HostError& e) {
        toolkit_.MessageBox({e.what(), platform::MsgButtons::OK, platform::MsgIcon::Critical, 1, std::string(workbook::kProductName)});
    }
    window_->RefreshViews();
}

int RunGui(int argc, char** argv, const std::string& systemPath, std::optional<uint32_t> seed) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(workbook::kProductName.data(), int(workbook::kProductName.size())));
    QApplication::setApplicationVersion(TOLM_VERSION);
    render::InstallFontSubstitutes();
    InstallQtTranslations();
    GuiSession session(systemPath, seed);
    if (!session.Start()) return 1;
    return qt.exec();
}

}  // namespace gui
