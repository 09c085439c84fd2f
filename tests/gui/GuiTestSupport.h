#pragma once
#include <QDir>
// The desktop application started offscreen in a temporary folder, with the
// toolkit scripted: questions take their queued answer (else the default
// button), dialogs take their queued file, documents are only recorded.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "ui/Component.h"
#include "gui/GuiSession.h"
#include "gui/HostWindow.h"
#include "gui/QtToolkit.h"
#include "gui/SheetModel.h"
#include "gui/ToolWindowView.h"
#include "render/StyleCache.h"
#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/Window.h"

namespace guitest {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        render::InstallFontSubstitutes();
        gui::InstallQtTranslations();
        // The remembered window placement goes to a folder of the test run,
        // never to the user's own settings.
        static QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        return a;
    }();
    return *app;
}

// Forgets the remembered window placement: the first run's defaults again.
inline void ForgetPlacement() {
    App();
    QSettings("tolm", "tolm").clear();
}

inline void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

struct Desktop {
    testing_support::TempDir dir;
    std::unique_ptr<gui::GuiSession> session;

    // `keepPlacement`: start with the window placement an earlier Desktop
    // left, as the next run of the program does.
    explicit Desktop(std::optional<uint32_t> seed = 7, bool keepPlacement = false) {
        if (!keepPlacement) ForgetPlacement();
        session = std::make_unique<gui::GuiSession>(dir.File("考场编排系统.xlsx"), seed);
        Toolkit().SetScripted(true);
        Toolkit().SetDocumentOpener([](const std::string&) { return true; });
    }
    ~Desktop() {
        session.reset();
        Settle();
    }
    void Start() {
        ASSERT_TRUE(session->Start());
        Settle();
    }
    gui::QtToolkit& Toolkit() { return session->Toolkit(); }
    gui::HostWindow& Host() { return session->Window(); }
    ui::Component& Component() { return *session->Component(); }
    host::Application& HostApp() { return session->App(); }

    // The view of the open window with this model name, or null.
    gui::ToolWindowView* View(const std::string& windowName) {
        for (gui::ToolWindowView* v : Toolkit().Views())
            if (v->Model() && v->Model()->Name() == windowName) return v;
        return nullptr;
    }
    template <class W>
    W* Model(const std::string& windowName) {
        gui::ToolWindowView* v = View(windowName);
        return v ? dynamic_cast<W*>(v->Model()) : nullptr;
    }
    // Clicks the widget of a control as a user would.
    void Click(const std::string& windowName, const ui::Control& c) {
        gui::ToolWindowView* v = View(windowName);
        ASSERT_NE(v, nullptr) << windowName;
        auto* button = qobject_cast<QAbstractButton*>(v->WidgetOf(c));
        ASSERT_NE(button, nullptr) << c.Name();
        button->click();
        Settle();
    }
    void ChooseMenu(const std::string& windowName, const ui::Control& item) {
        gui::ToolWindowView* v = View(windowName);
        ASSERT_NE(v, nullptr) << windowName;
        QAction* a = v->ActionOf(item);
        ASSERT_NE(a, nullptr) << item.Name();
        a->trigger();
        Settle();
    }
    // Types into a text box as a user would.
    void Type(const std::string& windowName, const ui::Control& c, const QString& text) {
        gui::ToolWindowView* v = View(windowName);
        ASSERT_NE(v, nullptr) << windowName;
        QWidget* w = v->WidgetOf(c);
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (!edit && w) edit = w->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr) << c.Name();
        edit->selectAll();
        edit->del();
        edit->insert(text);
        Settle();
    }
    // Messages shown since the last call, as "[title] prompt".
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> out;
        const auto& all = Toolkit().Messages();
        for (size_t i = seen; i < all.size(); ++i) out.push_back("[" + all[i].title + "] " + all[i].prompt);
        seen = all.size();
        return out;
    }
    size_t seen = 0;
};

// The tool dock as wide as its window asks, as a user drags it after
// making the host window larger than the test screen (pictures).
inline void WidenToolDock(Desktop& d) {
    Settle();
    gui::ToolDock* dock = d.Toolkit().Dock();
    if (!dock || !dock->Held() || !dock->IsDocked()) return;
    d.Host().resizeDocks({dock}, {dock->Held()->PreferredSize().width() + 24}, Qt::Horizontal);
    Settle();
}

// Saves a widget's picture: under docs/screenshots/ of the sources when
// TOLM_UPDATE_SCREENSHOTS=1 (how the README's pictures are made), else in the
// test's working folder, so that an ordinary test run leaves the sources alone.
inline void SaveScreenshot(QWidget& w, const std::string& name) {
    w.repaint();
    const bool update = qEnvironmentVariable("TOLM_UPDATE_SCREENSHOTS") == QLatin1String("1");
    const QString folder = update ? QString::fromUtf8(TOLM_SOURCE_DIR "/docs/screenshots/") : QStringLiteral("screenshots/");
    QDir().mkpath(folder);
    const QString file = folder + QString::fromStdString(name);
    EXPECT_TRUE(w.grab().save(file, "PNG")) << file.toStdString();
}

}  // namespace guitest
