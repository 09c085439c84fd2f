#pragma once
// The toolkit of the desktop front end: Qt dialogs for the message box, the
// input box and the open-file dialog, Qt windows for the window models, the
// platform's default programs for documents and folders.
//
// Test seam: answers queued with QueueAnswer / QueueInput / QueueFile are
// taken instead of showing a dialog, and every message box is recorded. In
// scripted mode a question with no queued answer takes its default button,
// so an unexpected question never blocks a test.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/ToolWindowView.h"
#include "platform/RandomSource.h"
#include "platform/Toolkit.h"

class QFileDialog;
class QMainWindow;
class QUrl;
class QWidget;

namespace gui {

class ToolDock;
class ToolWindowView;

// The user guide's file name beside the system workbook.
inline constexpr const char* kHelpDocumentName = "Help.html";

struct ShownMessage {
    std::string title, prompt;
    platform::MsgButtons buttons = platform::MsgButtons::OK;
    platform::MsgIcon icon = platform::MsgIcon::None;
    platform::MsgResult answer = platform::MsgResult::OK;
};

// "描述|*.xls;*.xlsx|所有文件|*.*" → "描述 (*.xls *.xlsx);;所有文件 (*.*)".
// A description that lists its patterns itself ("Excel 文件 (*.xls;*.xlsx)")
// has that list replaced, so that the patterns show once.
QString QtFileFilter(const std::string& hostFilter);

// Opens a document or address with the desktop's program for it; false
// when none took it. Waits at most kOpenerAnswerMs for the opener's answer.
inline constexpr int kOpenerAnswerMs = 1500;
bool OpenWithDesktop(const QUrl& url);

// Loads Qt's own Simplified Chinese texts (buttons of message boxes, the file
// and input dialogs) from Qt's translations folder; false when the
// translation file is missing there.
bool InstallQtTranslations();

// The file dialog of the toolkit: Qt's own (the same in Chinese on every
// desktop), the filter set, sized to show its columns, within the screen.
// Open mode takes an existing file; save mode asks before overwriting.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const QString& title, const QString& start,
                                            const QString& filter, bool save);

// The answer a box gives when its `defaultButton` (1-based) is pressed.
platform::MsgResult DefaultAnswer(platform::MsgButtons buttons, int defaultButton);

class QtToolkit : public platform::Toolkit {
public:
    explicit QtToolkit(std::optional<uint32_t> seed = std::nullopt);
    ~QtToolkit() override;

    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override;
    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    std::string OpenFileDialog(const platform::OpenFileRequest& request) override;

    void PlaceWindow(ui::Window& w, int32_t left, int32_t top) override;
    void ShowWindow(ui::Window& w, bool modal) override;
    void UnloadWindow(ui::Window& w) override;
    void HideWindow(ui::Window& w) override;

    bool OpenDocument(const std::string& pathOrUrl) override;
    bool StartProgram(const std::string& commandLine) override;
    // The user guide as a web page: "Help.html".
    std::string HelpFileName() override;

    double ScreenWidthTwips() override;
    double ScreenHeightTwips() override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;

    double Now() override;
    float Rnd() override { return random_.Rnd(); }
    void Randomize() override { random_.Randomize(Now()); }
    void DoEvents() override;

    // A save-as file name: the queued one, else a Qt save dialog; empty when cancelled.
    std::string SaveFileDialog(const std::string& title, const std::string& suggested);
    std::string SaveFileDialog(const platform::SaveFileRequest& request) override;
    // Whether dialogs are answered from the queues only (tests).
    bool IsScripted() const { return scripted_; }
    // One of `items` (the queued input, else a list dialog); empty when cancelled.
    std::string ChooseItem(const std::string& title, const std::string& label, const QStringList& items);
    // The next queued input for a dialog of the caller's own: empty text in a
    // scripted run without one (cancelled); none when the dialog is to be shown.
    std::optional<std::string> ScriptedInput() { return Scripted(inputs_); }

    // ----- the window views -----
    // Runs after every event a tool window hands to its model (the host
    // window redraws then, and unloaded windows are collected).
    void SetAfterEvent(std::function<void()> f) { afterEvent_ = std::move(f); }
    void AfterEvent();
    // Runs one of the tool's commands (a button or a menu item clicked,
    // named by its caption) through `runner` when one is set, so that the
    // host window can record it as one step of its edit history.
    using CommandRunner = std::function<void(const QString& caption, const std::function<void()>& command)>;
    void SetCommandRunner(CommandRunner r) { commandRunner_ = std::move(r); }
    void RunCommand(const QString& caption, const std::function<void()>& command) {
        if (commandRunner_) commandRunner_(caption, command);
        else command();
    }
    ToolWindowView* ViewOf(const ui::Window& w) const;
    std::vector<ToolWindowView*> Views() const;
    // Deletes every view (before the window models go).
    void DestroyViews();
    // Dialogs open over this widget when no tool window is in front.
    void SetDialogParent(QWidget* w) { dialogParent_ = w; }
    // The host window whose tool dock takes the main windows (none: every
    // tool window is a window of its own).
    void SetDockSite(QMainWindow* host) { dockSite_ = host; }
    // The tool dock, once a main window was shown in it.
    ToolDock* Dock() const { return dock_; }

    // ----- test seam -----
    void QueueAnswer(platform::MsgResult a) { answers_.push_back(a); }
    void QueueInput(std::string s) { inputs_.push_back(std::move(s)); }
    void QueueFile(std::string s) { files_.push_back(std::move(s)); }
    void SetScripted(bool s) { scripted_ = s; }
    const std::vector<ShownMessage>& Messages() const { return messages_; }
    // Documents and addresses handed to OpenDocument, in order.
    const std::vector<std::string>& OpenedDocuments() const { return opened_; }
    // Instead of the platform's programs (tests): returns whether it opened.
    void SetDocumentOpener(std::function<bool(const std::string&)> f) { opener_ = std::move(f); }
    // Runs a file dialog instead of showing it (tests: look at it, answer it).
    void SetDialogRunner(std::function<int(QFileDialog&)> f) { dialogRunner_ = std::move(f); }

private:
    ToolWindowView& EnsureView(ui::Window& w);
    QWidget* DialogParent() const;

    platform::RandomSource random_;
    // Guarded: a view held by the tool dock goes with the host window.
    std::map<const ui::Window*, QPointer<ToolWindowView>> views_;
    QMainWindow* dockSite_ = nullptr;
    QPointer<ToolDock> dock_;
    std::function<void()> afterEvent_;
    CommandRunner commandRunner_;
    QWidget* dialogParent_ = nullptr;
    std::deque<platform::MsgResult> answers_;
    // The next queued answer; else, in a scripted run, a cancel; else none (ask the user).
    std::optional<std::string> Scripted(std::deque<std::string>& queue);
    std::deque<std::string> inputs_, files_;
    bool scripted_ = false;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> opened_;
    std::function<bool(const std::string&)> opener_;
    std::function<int(QFileDialog&)> dialogRunner_;
    // The chosen file of a dialog made by MakeFileDialog; empty when cancelled.
    std::string RunFileDialog(const QString& title, const QString& start, const std::string& filter, bool save);
};

}  // namespace gui
