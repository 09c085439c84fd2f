#pragma once
// The controls a window model owns. They are plain data named as the windows
// name them (Command1, Text1, Combo1 …); every change of a property that a
// view shows is reported to the owning window, which tells its observers.
// Out-of-range indices and invalid property values are HostErrors, as the
// host's runtime reports them, so resume-next procedures skip them alike.
//
// Events: a window binds its handlers to its controls when it is built
// (Command1.On(Event::Click, …)); views and the command line raise them
// through the one path, Control::Raise. Which events a control kind raises:
//   command button, menu item, option button, check box, list box  Click
//   text box                                                        Change
//   combo box     Click (an item chosen), Change (text typed)
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/HostError.h"

namespace ui {

class Window;

enum class Event { Click, Change };

class Control {
public:
    // Registers with the owner; `index` is the position in a control array, -1 when alone.
    Control(Window* owner, std::string name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Window* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    int Index() const { return index_; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);

    // Binds the handler of an event, replacing any bound before.
    void On(Event e, std::function<void()> handler);
    // Runs the handler bound to the event; false when none is bound.
    bool Raise(Event e);
    bool Handles(Event e) const;

protected:
    void Changed();
    template <class T>
    void Assign(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Changed();
    }

private:
    Window* owner_;
    std::string name_;
    int index_;
    bool enabled_ = true;
    bool visible_ = true;
    std::function<void()> onClick_, onChange_;
};

// A control whose visible text is its caption.
class CaptionedControl : public Control {
public:
    CaptionedControl(Window* owner, std::string name, std::string caption = {}, int index = -1)
        : Control(owner, std::move(name), index), caption_(std::move(caption)) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& c) { Assign(caption_, c); }

private:
    std::string caption_;
};

class Label : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

// Groups controls; option buttons inside one frame exclude each other.
class Frame : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

class CommandButton : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    // The user's click; false when the button has no handler.
    bool Click() { return Raise(Event::Click); }
};

class TextBox : public Control {
public:
    TextBox(Window* owner, std::string name, std::string text = {}, int index = -1)
        : Control(owner, std::move(name), index), text_(std::move(text)) {}
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t) { Assign(text_, t); }
    // The user's typing: the new text, then Change when it differs.
    void Type(const std::string& t) {
        if (t == text_) return;
        SetText(t);
        Raise(Event::Change);
    }

private:
    std::string text_;
};

// The item list shared by combo boxes and list boxes. ListIndex is -1 when no
// item is selected.
class ListControl : public Control {
public:
    using Control::Control;

    int ListCount() const { return int(items_.size()); }
    // The item's text; empty beyond the list, as the host answers.
    std::string List(int i) const;
    void SetList(int i, const std::string& text);
    // Appends, or inserts before item `index` (0 to ListCount).
    void AddItem(const std::string& text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int i);  // -1 to ListCount - 1
    // The first item equal to `text`; -1 when none is.
    int IndexOf(const std::string& text) const {
        for (int i = 0; i < ListCount(); ++i)
            if (items_[size_t(i)] == text) return i;
        return -1;
    }
    const std::vector<std::string>& Items() const { return items_; }

protected:
    // Hooks for per-item state; `index` is the item's position.
    virtual void ItemInserted(int index) {}
    virtual void ItemRemoved(int index) {}
    virtual void ItemsCleared() {}
    virtual void SelectionChanged() {}
    void CheckIndex(int i) const;

    std::vector<std::string> items_;
    int listIndex_ = -1;
};

// A drop-down combo: choosing an item shows its text; typed text that matches
// no item leaves ListIndex at -1.
class ComboBox : public ListControl {
public:
    using ListControl::ListControl;
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t);
    // The user's choice of an item (Click) and typing into the box (Change).
    void Choose(int index) {
        SetListIndex(index);
        Raise(Event::Click);
    }
    void Type(const std::string& t) {
        SetText(t);
        Raise(Event::Change);
    }

private:
    void SelectionChanged() override;

    std::string text_;
};

class ListBox : public ListControl {
public:
    ListBox(Window* owner, std::string name, bool multiSelect = false, int index = -1)
        : ListControl(owner, std::move(name), index), multiSelect_(multiSelect) {}
    bool MultiSelect() const { return multiSelect_; }
    // The text of the selected item; empty when none.
    std::string Text() const { return List(listIndex_); }
    bool Selected(int i) const;
    void SetSelected(int i, bool s);  // single selection: selecting moves ListIndex
    int SelCount() const;
    // The user's click on an item: its selection set, then Click.
    void Choose(int i, bool selected = true) {
        SetSelected(i, selected);
        Raise(Event::Click);
    }

private:
    void ItemInserted(int index) override { selected_.insert(selected_.begin() + index, false); }
    void ItemRemoved(int index) override { selected_.erase(selected_.begin() + index); }
    void ItemsCleared() override { selected_.clear(); }
    void SelectionChanged() override;

    bool multiSelect_;
    std::vector<bool> selected_;
};

// Option buttons of one container exclude each other: turning one on turns
// the others of the same container off.
class OptionButton : public CaptionedControl {
public:
    OptionButton(Window* owner, std::string name, std::string caption, const Frame* container = nullptr, int index = -1)
        : CaptionedControl(owner, std::move(name), std::move(caption), index), container_(container) {}
    bool Value() const { return value_; }
    void SetValue(bool v);
    const Frame* Container() const { return container_; }
    // The user's click: the option turns on (its neighbours off), then Click.
    void Choose() {
        SetValue(true);
        Raise(Event::Click);
    }

private:
    const Frame* container_;
    bool value_ = false;
};

enum CheckValue : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

class CheckBox : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    int Value() const { return value_; }
    void SetValue(int v);  // 0, 1 or 2
    // The user's click: the new value, then Click.
    void Choose(int v) {
        SetValue(v);
        Raise(Event::Click);
    }

private:
    int value_ = vbUnchecked;
};

// A menu entry; entries of a submenu name it as their parent.
class MenuItem : public CaptionedControl {
public:
    MenuItem(Window* owner, std::string name, std::string caption, const MenuItem* parent = nullptr)
        : CaptionedControl(owner, std::move(name), std::move(caption)), parent_(parent) {}
    bool Checked() const { return checked_; }
    void SetChecked(bool c) { Assign(checked_, c); }
    const MenuItem* Parent() const { return parent_; }
    // The user's click; false when the entry has no handler.
    bool Click() { return Raise(Event::Click); }

private:
    const MenuItem* parent_;
    bool checked_ = false;
};

// Controls of one kind that share a name and a handler, told apart by index:
// Command1[0], Command1[1] … Indices run from 0 to Count() - 1.
template <class T>
class ControlArray {
public:
    // `captions` gives one element per entry.
    ControlArray(Window* owner, const std::string& name, const std::vector<std::string>& captions) {
        for (size_t i = 0; i < captions.size(); ++i)
            items_.push_back(std::make_unique<T>(owner, name, captions[i], int(i)));
    }
    T& operator[](int index) const {
        if (index < 0 || size_t(index) >= items_.size()) throw host::HostError("控件数组元素不存在");
        return *items_[size_t(index)];
    }
    int Count() const { return int(items_.size()); }

    // One handler for every element, told the element's index.
    void On(Event e, const std::function<void(int)>& handler) {
        for (size_t i = 0; i < items_.size(); ++i) items_[i]->On(e, [handler, i] { handler(int(i)); });
    }

private:
    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace ui
