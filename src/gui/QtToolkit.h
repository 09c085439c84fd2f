#pragma once
// The toolkit of the desktop front end: Qt dialogs for the message box, the
// input box and the open-file dialog, Qt windows for the window models, the
// platform's default programs for documents and folders.
//
// Test seam: answers queued with QueueAnswer / QueueInput / QueueFile are
// taken instead of showing a dialog, and every message box is recorded. In
// scripted mode a question with no queued answer takes its default button,
// so an unexpected question never blocks a test.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/RandomSource.h"
#include "platform/Toolkit.h"

class QWidget;

namespace gui {

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
QString QtFileFilter(const std::string& hostFilter);

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

private:
    ToolWindowView& EnsureView(ui::Window& w);
    QWidget* DialogParent() const;

    platform::RandomSource random_;
    std::map<const ui::Window*, ToolWindowView*> views_;
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
};

}  // namespace gui
