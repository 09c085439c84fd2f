#pragma once
// A toolkit that records what the window models ask of the screen and
// answers with fixed screen metrics.
#include <string>
#include <vector>

#include "host/HostError.h"
#include "platform/RandomSource.h"
#include "platform/Toolkit.h"
#include "ui/Window.h"

namespace coretest {

class FakeToolkit : public platform::Toolkit {
public:
    struct Placement {
        std::string window;
        int32_t left, top;
    };
    struct Shown {
        std::string window;
        bool modal;
    };

    double screenWidth = 1920 * 15, screenHeight = 1080 * 15;
    double twipsPerPixelX = 15, twipsPerPixelY = 15;
    bool failPlacement = false;
    // No program opens documents (no browser installed).
    bool failOpen = false;

    std::vector<Placement> placements;
    std::vector<Shown> shown;
    std::vector<std::string> unloaded;
    std::vector<std::string> documents;
    std::vector<platform::MessageBoxRequest> messages;

    platform::MsgResult MessageBox(const platform::MessageBoxRequest& r) override {
        messages.push_back(r);
        return platform::MsgResult::OK;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string OpenFileDialog(const platform::OpenFileRequest&) override { return {}; }
    void PlaceWindow(ui::Window& w, int32_t left, int32_t top) override {
        if (failPlacement) throw host::HostError("窗口句柄无效");
        placements.push_back({w.Name(), left, top});
    }
    void ShowWindow(ui::Window& w, bool modal) override { shown.push_back({w.Name(), modal}); }
    void UnloadWindow(ui::Window& w) override { unloaded.push_back(w.Name()); }
    bool OpenDocument(const std::string& p) override {
        documents.push_back(p);
        return !failOpen;
    }
    bool StartProgram(const std::string&) override { return true; }
    double ScreenWidthTwips() override { return screenWidth; }
    double ScreenHeightTwips() override { return screenHeight; }
    double TwipsPerPixelX() override { return twipsPerPixelX; }
    double TwipsPerPixelY() override { return twipsPerPixelY; }
    double Now() override { return 1.7e9; }
    float Rnd() override { return random.Rnd(); }
    void Randomize() override { random.Randomize(Now()); }
    // Each SaveChanges records how many messages had been shown by then.
    bool SaveChanges() override {
        savedAfterMessages.push_back(messages.size());
        return saveSucceeds;
    }
    bool saveSucceeds = true;
    std::vector<size_t> savedAfterMessages;

    platform::RandomSource random{7};
};

}  // namespace coretest
