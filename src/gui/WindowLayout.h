#pragma once
// Where each control of a tool window goes: sections (a frame's box, or the
// window itself) holding rows of controls. A row that starts with a label
// is a caption and its field; a row of command buttons is a button bar.
//
// Windows with a layout of their own list it; every control they do not
// place, and every control of the other windows, is placed in construction
// order: a frame opens a section, option buttons join the section of their
// frame, a label pairs with the field that follows it, and command buttons
// gather in one bar at the end of their section.
#include <vector>

namespace ui {
class Control;
class Window;
}  // namespace ui

namespace gui {

struct LayoutSection {
    ui::Control* frame = nullptr;  // null: straight in the window
    std::vector<std::vector<ui::Control*>> rows;
};

std::vector<LayoutSection> LayoutOf(ui::Window& window);

// Whether a label is the window's heading (the About window's title).
bool IsHeading(const ui::Control& c);

// Whether the control is drawn as a button in a button bar.
bool IsButton(const ui::Control& c);

}  // namespace gui
