#pragma once
// The command's toolkit, passed through, with the message boxes it showed
// and their answers remembered, so that a command can tell from them how the
// window action ended.
#include <string>
#include <vector>

#include "cli/ScriptedToolkit.h"

namespace cli {

class RecordingToolkit : public ui::Toolkit {
public:
    struct Shown {
        std::string prompt;
        ui::MsgResult answer;
    };

    explicit RecordingToolkit(ScriptedToolkit& inner) : inner_(inner) {}

    const std::vector<Shown>& Messages() const { return shown_; }
    bool Showed(const std::string& prompt) const {
        for (const Shown& s : shown_)
            if (s.prompt == prompt) return true;
        return false;
    }

    ui::MsgResult MessageBox(const ui::MessageBoxRequest& r) override {
        ui::MsgResult a = inner_.MessageBox(r);
        shown_.push_back({r.prompt, a});
        return a;
    }
    std::string InputBox(const std::string& p, const std::string& t, const std::string& d) override {
        return inner_.InputBox(p, t, d);
    }
    std::string OpenFileDialog(const ui::OpenFileRequest& r) override { return inner_.OpenFileDialog(r); }
    void PlaceWindow(ui::Window& w, int32_t left, int32_t top) override { inner_.PlaceWindow(w, left, top); }
    void ShowWindow(ui::Window& w, bool modal) override { inner_.ShowWindow(w, modal); }
    void UnloadWindow(ui::Window& w) override { inner_.UnloadWindow(w); }
    bool OpenDocument(const std::string& p) override { return inner_.OpenDocument(p); }
    bool StartProgram(const std::string& c) override { return inner_.StartProgram(c); }
    double ScreenWidthTwips() override { return inner_.ScreenWidthTwips(); }
    double ScreenHeightTwips() override { return inner_.ScreenHeightTwips(); }
    double TwipsPerPixelX() override { return inner_.TwipsPerPixelX(); }
    double TwipsPerPixelY() override { return inner_.TwipsPerPixelY(); }
    double Now() override { return inner_.Now(); }
    float Rnd() override { return inner_.Rnd(); }
    void Randomize() override { inner_.Randomize(); }
    void DoEvents() override { inner_.DoEvents(); }

private:
    ScriptedToolkit& inner_;
    std::vector<Shown> shown_;
};

}  // namespace cli
