#pragma once
// A toolkit that passes every call to another one; wrappers derive from it
// and override only the calls they change.
#include "platform/Toolkit.h"

namespace platform {

class ForwardingToolkit : public Toolkit {
public:
    explicit ForwardingToolkit(Toolkit& inner) : inner_(inner) {}

    MsgResult MessageBox(const MessageBoxRequest& r) override { return inner_.MessageBox(r); }
    std::string InputBox(const std::string& p, const std::string& t, const std::string& d) override {
        return inner_.InputBox(p, t, d);
    }
    std::string OpenFileDialog(const OpenFileRequest& r) override { return inner_.OpenFileDialog(r); }
    std::string SaveFileDialog(const SaveFileRequest& r) override { return inner_.SaveFileDialog(r); }
    void PlaceWindow(Window& w, int32_t left, int32_t top) override { inner_.PlaceWindow(w, left, top); }
    void ShowWindow(Window& w, bool modal) override { inner_.ShowWindow(w, modal); }
    void UnloadWindow(Window& w) override { inner_.UnloadWindow(w); }
    void HideWindow(Window& w) override { inner_.HideWindow(w); }
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
    bool SaveChanges() override { return inner_.SaveChanges(); }
    std::string HelpFileName() override { return inner_.HelpFileName(); }

protected:
    Toolkit& Inner() { return inner_; }

private:
    Toolkit& inner_;
};

}  // namespace platform
