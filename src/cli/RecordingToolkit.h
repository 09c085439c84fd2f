#pragma once
// The command's toolkit, passed through, with the message boxes it showed
// and their answers remembered, so that a command can tell from them how the
// window action ended.
#include <string>
#include <vector>

#include "cli/ScriptedToolkit.h"
#include "ui/ForwardingToolkit.h"

namespace cli {

class RecordingToolkit : public ui::ForwardingToolkit {
public:
    struct Shown {
        std::string prompt;
        ui::MsgResult answer;
    };

    explicit RecordingToolkit(ScriptedToolkit& inner) : ui::ForwardingToolkit(inner) {}

    const std::vector<Shown>& Messages() const { return shown_; }
    bool Showed(const std::string& prompt) const {
        for (const Shown& s : shown_)
            if (s.prompt == prompt) return true;
        return false;
    }

    ui::MsgResult MessageBox(const ui::MessageBoxRequest& r) override {
        ui::MsgResult a = Inner().MessageBox(r);
        shown_.push_back({r.prompt, a});
        return a;
    }

private:
    std::vector<Shown> shown_;
};

}  // namespace cli
