#pragma once
// The component's public entry object. The system workbook's macro creates
// one and calls WKopen, then Start. Several TolmDll objects of one component
// share its state.
#include <cstdint>

namespace ui {
class Component;
}

namespace entry {


class TolmDll {
public:
    explicit TolmDll(ui::Component& component) : component_(component) {}

    // Binds the running host and its active workbook as the system workbook,
    // reopens the roster workbook, hides the service sheets, computes the
    // first window position and locks the front sheet to cell F6. Every step
    // that fails is skipped; WKopen itself never fails.
    void WKopen();
    // Opens the main window whose code is in K6, unless a window is open
    // already. Host failures (no parameter sheet, unbound) reach the caller.
    void Start();

private:
    ui::Component& component_;
};

// The first window position in screen pixels from the screen metrics in
// twips: the left edge at the horizontal middle, a window 5550 twips high
// centred vertically (negative on a shorter screen, used as it is).
int32_t InitialWindowTop(double screenHeightTwips, double twipsPerPixelY);
int32_t InitialWindowLeft(double screenWidthTwips, double twipsPerPixelX);

}  // namespace entry
