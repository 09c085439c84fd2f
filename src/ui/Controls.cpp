#include "ui/Controls.h"

#include <algorithm>

#include "ui/Window.h"

namespace ui {

namespace {
[[noreturn]] void InvalidValue() { throw host::HostError("无效的属性值"); }
}  // namespace

Control::Control(Window* owner, std::string name, int index) : owner_(owner), name_(std::move(name)), index_(index) {
    if (owner_) owner_->RegisterControl(*this);
}

Control::~Control() {
    if (owner_) owner_->UnregisterControl(*this);
}

void Control::SetEnabled(bool e) { Assign(enabled_, e); }
void Control::SetVisible(bool v) { Assign(visible_, v); }

void Control::On(Event e, std::function<void()> handler) {
    (e == Event::Click ? onClick_ : onChange_) = std::move(handler);
}

bool Control::Handles(Event e) const { return bool(e == Event::Click ? onClick_ : onChange_); }

bool Control::Raise(Event e) {
    // A copy, so that a handler that rebinds or unloads its window runs to its end.
    std::function<void()> handler = e == Event::Click ? onClick_ : onChange_;
    if (!handler) return false;
    handler();
    return true;
}

void Control::Changed() {
    if (owner_) owner_->ControlChanged(*this);
}

// ----- lists -----

void ListControl::CheckIndex(int i) const {
    if (i < 0 || i >= ListCount()) InvalidValue();
}

std::string ListControl::List(int i) const { return i >= 0 && i < ListCount() ? items_[size_t(i)] : std::string(); }

void ListControl::SetList(int i, const std::string& text) {
    CheckIndex(i);
    items_[size_t(i)] = text;
    if (i == listIndex_) SelectionChanged();
    Changed();
}

void ListControl::AddItem(const std::string& text, int index) {
    if (index < -1 || index > ListCount()) InvalidValue();
    if (index == -1) index = ListCount();
    items_.insert(items_.begin() + index, text);
    if (listIndex_ >= index) ++listIndex_;  // the selected item keeps its selection
    ItemInserted(index);
    Changed();
}

void ListControl::RemoveItem(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    if (listIndex_ == index) listIndex_ = -1;
    else if (listIndex_ > index) --listIndex_;
    ItemRemoved(index);
    Changed();
}

void ListControl::Clear() {
    items_.clear();
    listIndex_ = -1;
    ItemsCleared();
    Changed();
}

void ListControl::SetListIndex(int i) {
    if (i < -1 || i >= ListCount()) InvalidValue();
    if (i == listIndex_) return;
    listIndex_ = i;
    SelectionChanged();
    Changed();
}

void ComboBox::SetText(const std::string& t) {
    if (t == text_) return;
    text_ = t;
    auto it = std::find(items_.begin(), items_.end(), t);
    listIndex_ = it == items_.end() ? -1 : int(it - items_.begin());
    Changed();
}

void ComboBox::SelectionChanged() {
    if (listIndex_ >= 0) text_ = items_[size_t(listIndex_)];
}

bool ListBox::Selected(int i) const {
    CheckIndex(i);
    return selected_[size_t(i)];
}

void ListBox::SetSelected(int i, bool s) {
    CheckIndex(i);
    if (!multiSelect_) {
        if (s) SetListIndex(i);
        else if (listIndex_ == i) SetListIndex(-1);
        return;
    }
    if (selected_[size_t(i)] == s && listIndex_ == i) return;
    selected_[size_t(i)] = s;
    listIndex_ = i;  // the focused item follows the last click
    Changed();
}

int ListBox::SelCount() const { return int(std::count(selected_.begin(), selected_.end(), true)); }

void ListBox::SelectionChanged() {
    if (multiSelect_) return;
    std::fill(selected_.begin(), selected_.end(), false);
    if (listIndex_ >= 0) selected_[size_t(listIndex_)] = true;
}

// ----- buttons -----

void OptionButton::SetValue(bool v) {
    if (v == value_) return;
    value_ = v;
    if (v && Owner()) {
        for (Control* c : Owner()->Controls()) {
            auto* other = dynamic_cast<OptionButton*>(c);
            if (other && other != this && other->container_ == container_) other->SetValue(false);
        }
    }
    Changed();
}

void CheckBox::SetValue(int v) {
    if (v != vbUnchecked && v != vbChecked && v != vbGrayed) InvalidValue();
    Assign(value_, v);
}

}  // namespace ui
