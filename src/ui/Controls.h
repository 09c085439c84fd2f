#pragma once
// The controls a window model owns. They are plain data named as the windows
// name them (Command1, Text1, Combo1 …); every change of a property that a
// view shows is reported to the owning window, which tells its observers.
// Out-of-range indices and invalid property values are HostErrors, as the
// host's runtime reports them, so resume-next procedures skip them alike.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/HostError.h"

namespace ui {

class Window;

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
};

class TextBox : public Control {
public:
    TextBox(Window* owner, std::string name, std::string text = {}, int index = -1)
        : Control(owner, std::move(name), index), text_(std::move(text)) {}
    const std::string& Text() const { return text_; }
    void SetText(const std::string& t) { Assign(text_, t); }

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

private:
    std::vector<std::unique_ptr<T>> items_;
};

}  // namespace ui
