#pragma once
// Where windows go on the screen: never past the available area of the
// screen they are on (task bars left out), and the user's placement
// remembered between runs in QSettings under "tolm"/"tolm": whether the
// main tool window is docked in the host window or floats, the dock's
// width, the floating window's size and the host window's geometry.
#include <QByteArray>
#include <QRect>
#include <QSize>

class QMainWindow;
class QWidget;

namespace gui {

// The available area of the screen a widget is on (the primary screen's
// when the widget is null or on none).
QRect AvailableScreenArea(const QWidget* near = nullptr);

// `frame` moved, and shrunk where it is larger, so that it lies inside `area`.
QRect FitInto(const QRect& frame, const QRect& area);

// Moves a window, and shrinks it where needed, so that its frame lies on the
// available area of the screen it stands on.
void KeepOnScreen(QWidget& window);

// The remembered placement. Every getter has the first run's value when
// nothing was remembered.
namespace placement {
// The main tool window docked at the host window's right edge (true at first).
bool ToolWindowDocked();
void SetToolWindowDocked(bool docked);
// Width of the docked tool window in pixels; 0 at first.
int DockWidth();
void SetDockWidth(int width);
// Size of the floating tool window; invalid at first.
QSize FloatingSize();
void SetFloatingSize(const QSize& size);
}  // namespace placement

// The host window at its remembered geometry, else at `firstSize`; on screen either way.
void RestoreHostWindow(QMainWindow& host, QSize firstSize);
void RememberHostWindow(const QMainWindow& host);

}  // namespace gui
