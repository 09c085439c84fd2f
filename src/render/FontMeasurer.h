#pragma once
// The content measurer of the host (host/AutoFit.h) with Qt's fonts, laid
// out as the cell painter lays text out, at 96 dpi.
//
// One line of a font takes the sheet's standard height scaled by that
// font's line spacing against the Normal font's, so a row of Normal text
// stays at the standard height the file gives (the host's own faces are
// drawn in substitutes whose line spacing differs). Wrapped text over
// several lines takes as many such lines, or the height the painter needs
// to show all of them, whichever is more.
#include "host/AutoFit.h"

namespace render {

class FontMeasurer : public host::ContentMeasurer {
public:
    std::unique_ptr<Sheet> Measure(const host::Worksheet& ws) override;
};

}  // namespace render
