#pragma once
// Hands a view's user events to the window model's handlers: the view knows
// controls, the models know their handlers by name (Command1_Click(index),
// SeZhi_Click() …). The table is the one place that joins the two.
namespace ui {
class Control;
class Window;
}  // namespace ui

namespace gui {

// A click on a command button or a menu item; false when the control has no handler.
bool ClickControl(ui::Window& window, ui::Control& control);
// The user changed a text box's or a combo box's text.
bool ControlTextChanged(ui::Window& window, ui::Control& control);

}  // namespace gui
