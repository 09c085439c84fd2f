#include "gui/WindowLayout.h"

#include <algorithm>
#include <map>
#include <set>

#include "ui/Controls.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/FrmSeZhi.h"
#include "ui/frmAbout.h"
#include "ui/Window.h"

namespace gui {

bool IsHeading(const ui::Control& c) {
    auto* about = dynamic_cast<const ui::frmAbout*>(c.Owner());
    return about && &c == &about->lblTitle;
}

bool IsButton(const ui::Control& c) { return dynamic_cast<const ui::CommandButton*>(&c) != nullptr; }

namespace {

bool IsField(const ui::Control& c) {
    return dynamic_cast<const ui::TextBox*>(&c) || dynamic_cast<const ui::ListControl*>(&c);
}

// The roster box on top with its buttons, the parameters below with "保存".
std::vector<LayoutSection> SettingsLayout(ui::FrmSeZhi& w) {
    using B = ui::FrmSeZhi::Button;
    return {
        {&w.Frame2,
         {{&w.Label8, &w.Label10},
          {&w.Label9, &w.Label11},
          {&w.Label4, &w.Label1},
          {&w.Command1[B::kOpen], &w.Command1[B::kMaintain], &w.Command1[B::kStatistics]}}},
        {&w.Frame1,
         {{&w.Label2, &w.Combo3},
          {&w.Label5, &w.Text2},
          {&w.Label3, &w.Text1},
          {&w.Label7, &w.Text3},
          {&w.Command1[B::kSave]}}},
    };
}

// The template list with its management buttons; the options below, the
// generation button last.
std::vector<LayoutSection> ExamTablesLayout(ui::FrmHuaMinChe& w) {
    return {
        {&w.Frame1, {{&w.List1}, {&w.Command1, &w.Command3, &w.Command2, &w.Command5}}},
        {&w.Frame2,
         {{&w.Label1, &w.Combo1}, {&w.Label2, &w.Combo2}, {&w.Check1}, {&w.Label3}, {&w.Text1}}},
        {&w.Frame3, {{&w.Option1, &w.Option2}}},
        {&w.Frame4, {{&w.Option3, &w.Option4}}},
        {nullptr, {{&w.Command4}}},
    };
}

std::vector<LayoutSection> OwnLayout(ui::Window& window) {
    if (auto* settings = dynamic_cast<ui::FrmSeZhi*>(&window)) return SettingsLayout(*settings);
    if (auto* tables = dynamic_cast<ui::FrmHuaMinChe*>(&window)) return ExamTablesLayout(*tables);
    return {};
}

LayoutSection& SectionOf(std::vector<LayoutSection>& sections, const ui::Control* frame) {
    for (LayoutSection& s : sections)
        if (s.frame == frame) return s;
    sections.push_back({const_cast<ui::Control*>(frame), {}});
    return sections.back();
}

// Places the controls not placed yet, in construction order.
void PlaceRemaining(ui::Window& window, std::vector<LayoutSection>& sections, const std::set<ui::Control*>& placed) {
    std::map<const ui::Control*, std::vector<ui::Control*>> buttons;
    const ui::Control* current = nullptr;
    ui::Control* pendingLabel = nullptr;
    auto flushLabel = [&] {
        if (pendingLabel) SectionOf(sections, current).rows.push_back({pendingLabel});
        pendingLabel = nullptr;
    };
    for (ui::Control* c : window.Controls()) {
        if (placed.count(c) || dynamic_cast<ui::MenuItem*>(c)) continue;
        if (dynamic_cast<ui::Frame*>(c)) {
            flushLabel();
            current = c;
            SectionOf(sections, c);
            continue;
        }
        if (auto* option = dynamic_cast<ui::OptionButton*>(c)) {
            flushLabel();
            const ui::Control* frame = option->Container() ? option->Container() : current;
            SectionOf(sections, frame).rows.push_back({c});
            continue;
        }
        if (IsButton(*c)) {
            flushLabel();
            buttons[current].push_back(c);
            continue;
        }
        if (dynamic_cast<ui::Label*>(c)) {
            flushLabel();
            pendingLabel = c;
            continue;
        }
        if (IsField(*c) && pendingLabel) {
            SectionOf(sections, current).rows.push_back({pendingLabel, c});
            pendingLabel = nullptr;
            continue;
        }
        flushLabel();
        SectionOf(sections, current).rows.push_back({c});
    }
    flushLabel();
    for (auto& [frame, list] : buttons) SectionOf(sections, frame).rows.push_back(list);
}

}  // namespace

std::vector<LayoutSection> LayoutOf(ui::Window& window) {
    std::vector<LayoutSection> sections = OwnLayout(window);
    std::set<ui::Control*> placed;
    for (const LayoutSection& s : sections) {
        if (s.frame) placed.insert(s.frame);
        for (const auto& row : s.rows) placed.insert(row.begin(), row.end());
    }
    PlaceRemaining(window, sections, placed);
    // More than three buttons side by side (the Exam-tables and Print
    // windows have four) go two a row: the window then fits the docked width
    // the Settings window leaves, without a horizontal scroll bar.
    for (LayoutSection& s : sections) {
        std::vector<std::vector<ui::Control*>> rows;
        for (auto& row : s.rows) {
            const bool buttons = std::all_of(row.begin(), row.end(), [](auto* c) { return IsButton(*c); });
            if (!buttons || row.size() <= 3) {
                rows.push_back(std::move(row));
                continue;
            }
            for (size_t k = 0; k < row.size(); k += 2)
                rows.push_back({row.begin() + k, row.begin() + std::min(k + 2, row.size())});
        }
        s.rows = std::move(rows);
    }
    std::erase_if(sections, [](const LayoutSection& s) { return s.rows.empty() && !s.frame; });
    return sections;
}

}  // namespace gui
