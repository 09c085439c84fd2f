#include "gui/WindowPlacement.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace gui {

namespace {
QSettings Settings() { return QSettings(QStringLiteral("tolm"), QStringLiteral("tolm")); }

constexpr const char* kDocked = "ToolWindow/Docked";
constexpr const char* kDockWidth = "ToolWindow/DockWidth";
constexpr const char* kFloatingSize = "ToolWindow/FloatingSize";
constexpr const char* kHostGeometry = "HostWindow/Geometry";
}  // namespace

QRect AvailableScreenArea(const QWidget* near) {
    QScreen* screen = nullptr;
    if (near) {
        const QRect frame = near->isWindow() ? near->frameGeometry() : near->window()->frameGeometry();
        screen = QGuiApplication::screenAt(frame.center());
        if (!screen) screen = near->screen();
    }
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QRect FitInto(const QRect& frame, const QRect& area) {
    if (!area.isValid()) return frame;
    QRect fitted(frame.topLeft(), frame.size().boundedTo(area.size()));
    if (fitted.right() > area.right()) fitted.moveRight(area.right());
    if (fitted.bottom() > area.bottom()) fitted.moveBottom(area.bottom());
    if (fitted.left() < area.left()) fitted.moveLeft(area.left());
    if (fitted.top() < area.top()) fitted.moveTop(area.top());
    return fitted;
}

void KeepOnScreen(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect fitted = FitInto(frame, AvailableScreenArea(&window));
    if (fitted == frame) return;
    // The frame's decorations stay as they are: the contents take the change.
    const QSize decorations = frame.size() - window.size();
    if (fitted.size() != frame.size()) window.resize(fitted.size() - decorations);
    window.move(fitted.topLeft());
}

namespace placement {

bool ToolWindowDocked() { return Settings().value(kDocked, true).toBool(); }
void SetToolWindowDocked(bool docked) { Settings().setValue(kDocked, docked); }

int DockWidth() { return std::max(0, Settings().value(kDockWidth, 0).toInt()); }
void SetDockWidth(int width) { Settings().setValue(kDockWidth, width); }

QSize FloatingSize() { return Settings().value(kFloatingSize, QSize()).toSize(); }
void SetFloatingSize(const QSize& size) { Settings().setValue(kFloatingSize, size); }

}  // namespace placement

void RestoreHostWindow(QMainWindow& host, QSize firstSize) {
    const QByteArray geometry = Settings().value(kHostGeometry).toByteArray();
    if (geometry.isEmpty() || !host.restoreGeometry(geometry)) host.resize(firstSize);
    KeepOnScreen(host);
}

void RememberHostWindow(const QMainWindow& host) { Settings().setValue(kHostGeometry, host.saveGeometry()); }

}  // namespace gui
