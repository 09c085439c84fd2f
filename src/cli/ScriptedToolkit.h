#pragma once
// The toolkit of the command line: message boxes become lines on standard
// output, answers come from --answer / --input / --pick in the order asked,
// or from the terminal when standard input is one.
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "platform/RandomSource.h"
#include "platform/Toolkit.h"

namespace cli {

// A question, input box or open dialog that nobody could answer. The runner
// turns it into exit code 3 and saves nothing.
class NoAnswerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A scripted answer that does not fit the question it met (e.g. "cancel" for
// a Yes/No question); exit code 2, like any other bad command line.
class ScriptMismatchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inIsTerminal = false;
};

class ScriptedToolkit : public platform::Toolkit {
public:
    struct Script {
        std::deque<ScriptedAnswer> answers;
        std::deque<std::string> inputs;
        std::deque<std::string> picks;
    };
    struct WindowEvent {
        enum Kind { Placed, Shown, Unloaded } kind;
        ui::Window* window;
        int32_t left = 0, top = 0;  // Placed: screen pixels
        bool modal = false;         // Shown
    };

    // `currentFolder` makes relative picks absolute, as a real dialog returns
    // full names. Without a seed the random source follows the clock.
    ScriptedToolkit(Console console, Script script, std::optional<uint32_t> seed, std::string currentFolder);

    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override;
    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    std::string OpenFileDialog(const platform::OpenFileRequest& request) override;

    void PlaceWindow(ui::Window& w, int32_t left, int32_t top) override;
    void ShowWindow(ui::Window& w, bool modal) override;
    void UnloadWindow(ui::Window& w) override;

    bool OpenDocument(const std::string& pathOrUrl) override;
    bool StartProgram(const std::string& commandLine) override;

    // A 1920 × 1080 screen at 15 twips per pixel.
    double ScreenWidthTwips() override { return 1920 * 15; }
    double ScreenHeightTwips() override { return 1080 * 15; }
    double TwipsPerPixelX() override { return 15; }
    double TwipsPerPixelY() override { return 15; }

    double Now() override;
    float Rnd() override { return random_.Rnd(); }
    // The runner's save step, run where a procedure is about to report success.
    void SetSaveChanges(std::function<bool()> save) { save_ = std::move(save); }
    bool SaveChanges() override { return save_ ? save_() : true; }
    void Randomize() override { random_.Randomize(Now()); }

    const std::vector<WindowEvent>& WindowEvents() const { return windows_; }
    // The window shown last and not unloaded since; null when none.
    ui::Window* ShownWindow() const;
    // Scripted answers left over when the command ended.
    const Script& Remaining() const { return script_; }

private:
    platform::MsgResult AskTerminal(const platform::MessageBoxRequest& request);
    std::string ReadTerminalLine(const std::string& what);

    Console console_;
    Script script_;
    platform::RandomSource random_;
    std::string currentFolder_;
    std::vector<WindowEvent> windows_;
    std::function<bool()> save_;
};

}  // namespace cli
