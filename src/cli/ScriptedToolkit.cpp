#include "cli/ScriptedToolkit.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <istream>
#include <ostream>

namespace cli {

namespace {

const char* AnswerName(ScriptedAnswer a) {
    switch (a) {
        case ScriptedAnswer::Yes: return "yes";
        case ScriptedAnswer::No: return "no";
        case ScriptedAnswer::Cancel: return "cancel";
        case ScriptedAnswer::OK: return "ok";
    }
    return "?";
}

std::string Box(const std::string& title, const std::string& text) { return "[" + title + "] " + text; }

bool IsQuestion(platform::MsgButtons b) { return b != platform::MsgButtons::OK; }

// The buttons of a question, in their order on the box.
std::vector<platform::MsgResult> Buttons(platform::MsgButtons b) {
    if (b == platform::MsgButtons::YesNoCancel) return {platform::MsgResult::Yes, platform::MsgResult::No, platform::MsgResult::Cancel};
    return {platform::MsgResult::Yes, platform::MsgResult::No};
}

std::optional<platform::MsgResult> ResultOf(ScriptedAnswer a, platform::MsgButtons b) {
    platform::MsgResult r = a == ScriptedAnswer::Yes ? platform::MsgResult::Yes
                      : a == ScriptedAnswer::No ? platform::MsgResult::No
                      : a == ScriptedAnswer::Cancel ? platform::MsgResult::Cancel
                                                    : platform::MsgResult::OK;
    for (platform::MsgResult allowed : Buttons(b))
        if (allowed == r) return r;
    return std::nullopt;
}

std::optional<platform::MsgResult> ResultOfTyped(const std::string& line, platform::MsgButtons b) {
    platform::MsgResult r;
    if (line == "y" || line == "Y" || line == "yes" || line == "是") r = platform::MsgResult::Yes;
    else if (line == "n" || line == "N" || line == "no" || line == "否") r = platform::MsgResult::No;
    else if (line == "c" || line == "C" || line == "cancel" || line == "取消") r = platform::MsgResult::Cancel;
    else return std::nullopt;
    for (platform::MsgResult allowed : Buttons(b))
        if (allowed == r) return r;
    return std::nullopt;
}

}  // namespace

ScriptedToolkit::ScriptedToolkit(Console console, Script script, std::optional<uint32_t> seed,
                                 std::string currentFolder)
    : console_(console), script_(std::move(script)),
      random_(seed ? platform::RandomSource(*seed) : platform::RandomSource()), currentFolder_(std::move(currentFolder)) {}

platform::MsgResult ScriptedToolkit::MessageBox(const platform::MessageBoxRequest& request) {
    console_.out << Box(request.title, request.prompt) << '\n';
    if (!IsQuestion(request.buttons)) {
        // An "ok" in the script may stand for an OK box, so scripts can list every box in order.
        if (!script_.answers.empty() && script_.answers.front() == ScriptedAnswer::OK) script_.answers.pop_front();
        return platform::MsgResult::OK;
    }
    if (!script_.answers.empty()) {
        ScriptedAnswer a = script_.answers.front();
        script_.answers.pop_front();
        if (auto r = ResultOf(a, request.buttons)) return *r;
        throw ScriptMismatchError(std::string("回答 --answer ") + AnswerName(a) + " 不是这个问题的按钮：" +
                                  Box(request.title, request.prompt));
    }
    if (console_.inIsTerminal) return AskTerminal(request);
    throw NoAnswerError("问题没有回答（请用 --answer 给出）：" + Box(request.title, request.prompt));
}

platform::MsgResult ScriptedToolkit::AskTerminal(const platform::MessageBoxRequest& request) {
    const bool withCancel = request.buttons == platform::MsgButtons::YesNoCancel;
    const std::string hint = withCancel ? "(是=y/否=n/取消=c) " : "(是=y/否=n) ";
    std::vector<platform::MsgResult> buttons = Buttons(request.buttons);
    size_t def = request.defaultButton >= 1 && size_t(request.defaultButton) <= buttons.size()
                     ? size_t(request.defaultButton - 1) : 0;
    for (;;) {
        console_.out << hint << std::flush;
        std::string line = ReadTerminalLine(Box(request.title, request.prompt));
        if (line.empty()) return buttons[def];
        if (auto r = ResultOfTyped(line, request.buttons)) return *r;
    }
}

std::string ScriptedToolkit::ReadTerminalLine(const std::string& what) {
    std::string line;
    if (!std::getline(console_.in, line)) throw NoAnswerError("输入已结束，问题没有回答：" + what);
    return line;
}

std::string ScriptedToolkit::InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    console_.out << Box(title, prompt) << '\n';
    if (!script_.inputs.empty()) {
        std::string text = script_.inputs.front();
        script_.inputs.pop_front();
        return text;
    }
    if (!console_.inIsTerminal)
        throw NoAnswerError("输入框没有回答（请用 --input 给出）：" + Box(title, prompt));
    console_.out << "请输入（直接回车取“" << defaultText << "”）：" << std::flush;
    std::string line = ReadTerminalLine(Box(title, prompt));
    return line.empty() ? defaultText : line;
}

std::string ScriptedToolkit::OpenFileDialog(const platform::OpenFileRequest& request) {
    if (script_.picks.empty())
        throw NoAnswerError("打开文件对话框没有回答（请用 --pick 给出）：[" + request.title + "]");
    std::string pick = script_.picks.front();
    script_.picks.pop_front();
    if (pick.empty()) {
        console_.out << Box(request.title, "取消选择文件") << '\n';
        return pick;
    }
    std::filesystem::path p(pick);
    if (p.is_relative()) p = std::filesystem::path(currentFolder_) / p;
    std::string full = p.lexically_normal().string();
    console_.out << Box(request.title, "选择文件：" + full) << '\n';
    return full;
}

void ScriptedToolkit::PlaceWindow(ui::Window& w, int32_t left, int32_t top) {
    windows_.push_back({WindowEvent::Placed, &w, left, top, false});
}

void ScriptedToolkit::ShowWindow(ui::Window& w, bool modal) {
    windows_.push_back({WindowEvent::Shown, &w, 0, 0, modal});
}

void ScriptedToolkit::UnloadWindow(ui::Window& w) {
    windows_.push_back({WindowEvent::Unloaded, &w, 0, 0, false});
}

ui::Window* ScriptedToolkit::ShownWindow() const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (it->kind == WindowEvent::Shown) {
            // Shown later than any unload of the same window?
            bool unloaded = false;
            for (auto later = windows_.rbegin(); later != it; ++later)
                unloaded = unloaded || (later->kind == WindowEvent::Unloaded && later->window == it->window);
            if (!unloaded) return it->window;
        }
    }
    return nullptr;
}

bool ScriptedToolkit::OpenDocument(const std::string& pathOrUrl) {
    console_.out << "打开：" << pathOrUrl << '\n';
    return true;
}

bool ScriptedToolkit::StartProgram(const std::string& commandLine) {
    console_.out << "运行：" << commandLine << '\n';
    return true;
}

double ScriptedToolkit::Now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    double seconds = duration<double>(now.time_since_epoch()).count();
    return seconds + static_cast<double>(local.tm_gmtoff);
}

}  // namespace cli
