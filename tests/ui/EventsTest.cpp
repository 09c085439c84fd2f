// The one event path: controls raise Click and Change on their window model,
// the windows bind their handlers where they declare their controls, and
// every control of every window is reachable through it.
#include <gtest/gtest.h>

#include <map>

#include "RosterCheckFixtures.h"
#include "host/Application.h"
#include "ui/FrmDaYin.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "ui/frmAbout.h"

using ui::Event;

namespace {

struct Counter {
    std::map<std::string, int> raised;
    std::function<void()> Count(const std::string& what) {
        return [this, what] { ++raised[what]; };
    }
};

TEST(ControlEvents, EachKindRaisesItsEventAfterTheUsersChange) {
    coretest::FakeToolkit toolkit;
    ui::Component component{toolkit};
    ui::Window window{component, "Test", "测试", 1000, 1000};
    ui::Window* none = &window;
    Counter c;
    ui::CommandButton button{none, "Command1", "确定"};
    ui::TextBox text{none, "Text1"};
    ui::ComboBox combo{none, "Combo1"};
    ui::ListBox list{none, "List1"};
    ui::Frame frame{none, "Frame1"};
    ui::OptionButton a{none, "Option1", "甲", &frame}, b{none, "Option2", "乙", &frame};
    ui::CheckBox check{none, "Check1", "是"};
    ui::MenuItem menu{none, "SeZhi", "设置(&S)"};

    EXPECT_FALSE(button.Click()) << "nothing bound yet";
    button.On(Event::Click, c.Count("button"));
    menu.On(Event::Click, c.Count("menu"));
    EXPECT_TRUE(button.Click());
    EXPECT_TRUE(menu.Click());

    // Change comes after the new text is in place, and only for a real change.
    std::string seen;
    text.On(Event::Change, [&] {
        ++c.raised["text"];
        seen = text.Text();
    });
    text.Type("12");
    text.Type("12");
    EXPECT_EQ(c.raised["text"], 1);
    EXPECT_EQ(seen, "12");

    combo.AddItem("姓名");
    combo.AddItem("班级");
    combo.On(Event::Click, [&] {
        ++c.raised["combo click"];
        seen = combo.Text();
    });
    combo.On(Event::Change, c.Count("combo change"));
    combo.Choose(1);
    EXPECT_EQ(seen, "班级");
    combo.Type("考号");
    EXPECT_EQ(c.raised["combo click"], 1);
    EXPECT_EQ(c.raised["combo change"], 1);
    EXPECT_EQ(combo.ListIndex(), -1);

    list.AddItem("考场座位表");
    list.AddItem("桌贴");
    list.On(Event::Click, [&] {
        ++c.raised["list"];
        seen = list.Text();
    });
    list.Choose(1);
    EXPECT_EQ(seen, "桌贴");

    // An option is on, and its neighbour off, when its handler runs.
    bool neighbourOff = false;
    b.On(Event::Click, [&] { neighbourOff = b.Value() && !a.Value(); });
    a.SetValue(true);
    b.Choose();
    EXPECT_TRUE(neighbourOff);

    int checkValue = -1;
    check.On(Event::Click, [&] { checkValue = check.Value(); });
    check.Choose(ui::vbChecked);
    EXPECT_EQ(checkValue, ui::vbChecked);

    EXPECT_EQ(c.raised["button"], 1);
    EXPECT_EQ(c.raised["menu"], 1);
    EXPECT_EQ(c.raised["list"], 1);
}

TEST(ControlEvents, AnArrayTellsItsHandlerTheIndexAndARebindReplaces) {
    ui::ControlArray<ui::CommandButton> buttons{nullptr, "Command1", {"a", "b", "c"}};
    std::vector<int> clicked;
    buttons.On(Event::Click, [&](int i) { clicked.push_back(i); });
    buttons[2].Click();
    buttons[0].Click();
    EXPECT_EQ(clicked, (std::vector<int>{2, 0}));
    buttons.On(Event::Click, [&](int i) { clicked.push_back(10 + i); });
    buttons[1].Click();
    EXPECT_EQ(clicked.back(), 11);
}

TEST(ControlEvents, AHandlerMayRebindItsOwnControlAndStillRunsToItsEnd) {
    ui::CommandButton button{nullptr, "Command1", "确定"};
    int ran = 0;
    button.On(Event::Click, [&] {
        button.On(Event::Click, nullptr);
        ++ran;
    });
    EXPECT_TRUE(button.Click());
    EXPECT_FALSE(button.Click());
    EXPECT_EQ(ran, 1);
}

// ----- every window -----

struct World : coretest::RosterFixture {
    World() {
        host::Application::SetRunning(&app);
        AddRoster("高一", {{"姓名", "班级"}, {"甲", "1班"}});
    }
    ~World() { host::Application::SetRunning(nullptr); }
};

// The event each control kind raises when the user works it; none for
// labels and frames, which take no input.
std::optional<Event> UserEventOf(const ui::Control& c) {
    if (dynamic_cast<const ui::CommandButton*>(&c) || dynamic_cast<const ui::MenuItem*>(&c) ||
        dynamic_cast<const ui::OptionButton*>(&c) || dynamic_cast<const ui::CheckBox*>(&c) ||
        dynamic_cast<const ui::ListBox*>(&c))
        return Event::Click;
    if (dynamic_cast<const ui::TextBox*>(&c) || dynamic_cast<const ui::ComboBox*>(&c)) return Event::Change;
    return std::nullopt;
}

// Which controls of a window must reach a handler.
const std::map<std::string, std::vector<std::string>> kBoundControls = {
    {"FrmSeZhi", {"Command1"}},
    {"FrmKCBP", {"Command1", "Text1"}},
    {"FrmDaYin", {"Command1", "Command2", "Command3"}},
    {"frmAbout", {"cmdOK"}},
};
const std::vector<std::string> kMenu = {"SeZhi", "BinPai", "HuaMinChe", "DaYin", "HelpWord", "LjHelp", "GuangYu"};

void ExpectBound(ui::Window& w) {
    std::vector<std::string> expected = kBoundControls.count(w.Name()) ? kBoundControls.at(w.Name()) : std::vector<std::string>{};
    if (dynamic_cast<ui::MainWindow*>(&w)) expected.insert(expected.end(), kMenu.begin(), kMenu.end());
    for (const std::string& name : expected) {
        bool found = false;
        for (ui::Control* c : w.Controls()) {
            if (c->Name() != name) continue;
            found = true;
            EXPECT_TRUE(c->Handles(*UserEventOf(*c))) << w.Name() << "." << name << "[" << c->Index() << "]";
        }
        EXPECT_TRUE(found) << w.Name() << " has no " << name;
    }
}

TEST(WindowEvents, EveryWindowBindsItsButtonsMenusAndChecks) {
    World f;
    ui::Component& c = f.component;
    ExpectBound(c.Adopt(std::make_unique<ui::FrmSeZhi>(c)));
    ExpectBound(c.Adopt(std::make_unique<ui::FrmKCBP>(c)));
    ExpectBound(c.Adopt(std::make_unique<ui::FrmHuaMinChe>(c)));
    ExpectBound(c.Adopt(std::make_unique<ui::FrmDaYin>(c)));
    ExpectBound(c.Adopt(std::make_unique<ui::frmAbout>(c)));
}

// Drives every control of a freshly shown window through the event path,
// with every question answered No and no file chosen: nothing may escape but
// what a front end shows as a message.
void DriveEveryControl(workbook::WindowCode code) {
    World f;
    ui::MainWindow& w = ui::ShowMainWindow(f.component, code);
    const std::string name = w.Name();
    std::vector<std::pair<std::string, int>> controls;
    for (ui::Control* c : w.Controls()) controls.emplace_back(c->Name(), c->Index());
    for (const auto& [control, index] : controls) {
        // Navigation unloads the window: start each control from a window of this kind.
        World g;
        ui::MainWindow& fresh = ui::ShowMainWindow(g.component, code);
        ui::Control* c = fresh.FindControl(control, index);
        ASSERT_NE(c, nullptr) << name << "." << control;
        const std::optional<Event> e = UserEventOf(*c);
        if (!e) continue;
        for (int i = 0; i < 3; ++i) g.toolkit.answers.push_back(platform::MsgResult::No);
        SCOPED_TRACE(name + "." + control + "[" + std::to_string(index) + "]");
        EXPECT_NO_THROW(c->Raise(*e));
        g.component.CollectUnloaded();
    }
}

TEST(WindowEvents, EveryControlOfEveryMainWindowGoesThroughTheOnePath) {
    DriveEveryControl(workbook::WindowCode::Settings);
    DriveEveryControl(workbook::WindowCode::Arrangement);
    DriveEveryControl(workbook::WindowCode::ExamTables);
    DriveEveryControl(workbook::WindowCode::Print);
}

TEST(WindowEvents, AMenuClickThroughThePathNavigatesAndAButtonRecordsItsOutcome) {
    World f;
    ui::MainWindow& settings = ui::ShowMainWindow(f.component, workbook::WindowCode::Settings);
    settings.BinPai.Click();
    ASSERT_EQ(f.component.OpenWindows().size(), 1u);
    auto* arrangement = dynamic_cast<ui::FrmKCBP*>(f.component.OpenWindows().front());
    ASSERT_NE(arrangement, nullptr);

    workbook::ParameterCells(f.system).SetRosterFileName("别的.xlsx");
    arrangement->Command1.Click();
    EXPECT_EQ(arrangement->LastOutcome().kind, workbook::Outcome::Kind::Stopped);
    ASSERT_GE(f.toolkit.messages.size(), 2u);
    EXPECT_EQ(f.toolkit.messages[f.toolkit.messages.size() - 2].prompt.rfind("目标路径", 0), 0u);
}

}  // namespace
