#include <gtest/gtest.h>

#include "FakeToolkit.h"
#include "ui/Component.h"
#include "host/HostError.h"
#include "ui/Controls.h"
#include "ui/Window.h"

namespace {

// A window with one control of each kind, as window models declare them.
class SampleWindow : public ui::Window {
public:
    explicit SampleWindow(ui::Component& c) : Window(c, "SampleWindow", "样例", 4800, 3600) {}
    ui::Frame Frame1{this, "Frame1", "组顺序"};
    ui::OptionButton Option1{this, "Option1", "自左向右", &Frame1};
    ui::OptionButton Option2{this, "Option2", "自右向左", &Frame1};
    ui::OptionButton Option3{this, "Option3", "自下向上"};
    ui::OptionButton Option4{this, "Option4", "自上而下"};
    ui::CheckBox Check1{this, "Check1", "主体区第一行是列标题"};
    ui::ComboBox Combo1{this, "Combo1"};
    ui::ListBox List1{this, "List1"};
    ui::ListBox List2{this, "List2", true};
    ui::TextBox Text1{this, "Text1", "99"};
    ui::ControlArray<ui::CommandButton> Command1{this, "Command1", {"保存 (&C)", "数据统计", "维护数据"}};
};

struct Recorder : ui::WindowObserver {
    std::vector<std::string> changes;
    int windowChanges = 0;
    void ControlChanged(ui::Window&, ui::Control& c) override {
        changes.push_back(c.Index() < 0 ? c.Name() : c.Name() + "[" + std::to_string(c.Index()) + "]");
    }
    void WindowChanged(ui::Window&) override { ++windowChanges; }
};

class ControlsTest : public ::testing::Test {
protected:
    coretest::FakeToolkit toolkit;
    ui::Component component{toolkit};
    SampleWindow w{component};
    Recorder rec;
    ControlsTest() { w.AddObserver(&rec); }
};

TEST_F(ControlsTest, ComboBoxSelectionDrivesText) {
    ui::ComboBox& c = w.Combo1;
    c.AddItem("\t无");
    c.AddItem("姓名");
    c.AddItem("考号");
    EXPECT_EQ(c.ListIndex(), -1);
    c.SetListIndex(1);
    EXPECT_EQ(c.Text(), "姓名");
    c.AddItem("班级", 0);  // inserted before the selection: the selection follows its item
    EXPECT_EQ(c.ListIndex(), 2);
    EXPECT_EQ(c.List(2), "姓名");
    c.SetText("考号");
    EXPECT_EQ(c.ListIndex(), 3);
    c.SetText("手写的");
    EXPECT_EQ(c.ListIndex(), -1);
    EXPECT_EQ(c.Text(), "手写的");
    c.RemoveItem(0);
    EXPECT_EQ(c.ListCount(), 3);
    EXPECT_EQ(c.List(5), "");
    EXPECT_EQ(c.List(-1), "");
    c.Clear();
    EXPECT_EQ(c.ListCount(), 0);
    EXPECT_EQ(c.ListIndex(), -1);
}

TEST_F(ControlsTest, InvalidIndicesAndValuesAreHostErrors) {
    w.Combo1.AddItem("a");
    EXPECT_THROW(w.Combo1.SetListIndex(1), host::HostError);
    EXPECT_THROW(w.Combo1.SetListIndex(-2), host::HostError);
    EXPECT_THROW(w.Combo1.AddItem("b", 3), host::HostError);
    EXPECT_THROW(w.Combo1.RemoveItem(1), host::HostError);
    EXPECT_THROW(w.Check1.SetValue(3), host::HostError);
    EXPECT_THROW(w.Command1[3], host::HostError);
    EXPECT_THROW(w.Command1[-1], host::HostError);
    EXPECT_EQ(w.Combo1.ListIndex(), -1);
    EXPECT_EQ(w.Check1.Value(), ui::vbUnchecked);
}

TEST_F(ControlsTest, OptionButtonsExcludeEachOtherWithinTheirContainer) {
    w.Option1.SetValue(true);
    w.Option3.SetValue(true);
    EXPECT_TRUE(w.Option1.Value());  // other container
    w.Option2.SetValue(true);
    EXPECT_FALSE(w.Option1.Value());
    EXPECT_TRUE(w.Option2.Value());
    EXPECT_TRUE(w.Option3.Value());
    w.Option4.SetValue(true);
    EXPECT_FALSE(w.Option3.Value());
    EXPECT_TRUE(w.Option2.Value());
}

TEST_F(ControlsTest, MultiSelectListBoxKeepsFlagsWithTheirItems) {
    for (const char* s : {"a", "b", "c"}) w.List2.AddItem(s);
    w.List2.SetSelected(0, true);
    w.List2.SetSelected(2, true);
    EXPECT_EQ(w.List2.SelCount(), 2);
    w.List2.AddItem("new", 1);
    EXPECT_TRUE(w.List2.Selected(0));
    EXPECT_FALSE(w.List2.Selected(1));
    EXPECT_TRUE(w.List2.Selected(3));
    w.List2.RemoveItem(0);
    EXPECT_EQ(w.List2.SelCount(), 1);
    EXPECT_TRUE(w.List2.Selected(2));
    EXPECT_THROW(w.List2.Selected(3), host::HostError);
}

TEST_F(ControlsTest, ObserversHearEachRealChangeOnce) {
    w.Text1.SetText("99");  // unchanged
    w.Text1.SetText("80");
    w.Command1[1].SetEnabled(false);
    w.Command1[1].SetEnabled(false);
    w.Option1.SetValue(true);
    w.Option2.SetValue(true);  // turns Option1 off too
    w.Combo1.AddItem("x");
    w.Combo1.SetListIndex(0);
    w.Check1.SetVisible(false);
    const std::vector<std::string> expected = {"Text1",   "Command1[1]", "Option1", "Option1",
                                               "Option2", "Combo1",      "Combo1",  "Check1"};
    EXPECT_EQ(rec.changes, expected);
    w.SetCaption("样例");
    EXPECT_EQ(rec.windowChanges, 0);
    w.SetCaption("新标题");
    EXPECT_EQ(rec.windowChanges, 1);
    w.RemoveObserver(&rec);
    w.Text1.SetText("1");
    EXPECT_EQ(rec.changes.size(), expected.size());
}

TEST_F(ControlsTest, LoadAndUnloadTrackTheOpenWindows) {
    EXPECT_FALSE(component.AnyWindowOpen());
    w.Show();
    w.Show();
    EXPECT_EQ(component.OpenWindows().size(), 1u);
    EXPECT_EQ(component.OpenWindow("SampleWindow"), &w);
    EXPECT_EQ(toolkit.shown.size(), 2u);
    w.Unload();
    w.Unload();
    EXPECT_FALSE(component.AnyWindowOpen());
    EXPECT_EQ(toolkit.unloaded, std::vector<std::string>{"SampleWindow"});
}

}  // namespace
