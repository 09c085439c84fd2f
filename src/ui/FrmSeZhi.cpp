#include "ui/FrmSeZhi.h"

#include <string>

#include "entry/Component.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "settings/RosterMaintenance.h"
#include "settings/RosterSelection.h"
#include "settings/RosterValidation.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace ui {

using host::ResumeNext;

FrmSeZhi::FrmSeZhi(entry::Component& component)
    : MainWindow(component, kName, "设置", workbook::WindowCode::Settings, "help") {}

void FrmSeZhi::ReadParameterCells() {
    workbook::ParameterCells cells(Component().System());
    ResumeNext([&] { deskGroups_ = cells.DeskGroups(); });
    ResumeNext([&] { gradesPerGroup_ = cells.GradesPerGroup(); });
    ResumeNext([&] { rooms_ = cells.RoomCount(); });
    ResumeNext([&] { extraFields_ = cells.ExtraFieldCount(); });
}

void FrmSeZhi::OnLoad() {
    entry::Component& c = Component();
    ResumeNext([&] { c.App().SetScreenUpdating(false); });
    ResumeNext([&] { c.App().SetDisplayAlerts(false); });
    LoadCommonSteps();
    ResumeNext([&] { ReadParameterCells(); });
    Combo3.SetText(std::to_string(gradesPerGroup_));
    Text1.SetText(std::to_string(deskGroups_));
    Text2.SetText(std::to_string(rooms_));
    Text3.SetText(std::to_string(extraFields_));
    host::Workbook* roster = nullptr;
    ResumeNext([&] { roster = workbook::OpenRosterWorkbook(c.App(), c.System()); });
    ResumeNext([&] { ShowRosterInfo(roster); });
    ResumeNext([&] { c.App().SetScreenUpdating(true); });
    ResumeNext([&] { c.App().SetDisplayAlerts(true); });
}

void FrmSeZhi::ShowRosterInfo(host::Workbook* roster) {
    if (!roster) {
        Label10.SetCaption("");
        Label11.SetCaption("");
        Label1.SetCaption("");
        Combo3.Clear();
        Command1[kStatistics].SetEnabled(false);
        Command1[kMaintain].SetEnabled(false);
        return;
    }
    const int n = int(workbook::RosterSheets(*roster).size());
    Label10.SetCaption(roster->Path());
    Label11.SetCaption(roster->Name());
    Label1.SetCaption(std::to_string(n));
    Command1[kStatistics].SetEnabled(true);
    Command1[kMaintain].SetEnabled(true);
    Combo3.Clear();
    for (int k = 1; k <= n; ++k) Combo3.AddItem(std::to_string(k));
    if (gradesPerGroup_ < n) {
        Combo3.SetText(std::to_string(gradesPerGroup_));
    } else {
        Combo3.SetText(std::to_string(n));
        gradesPerGroup_ = int16_t(n);
    }
}

namespace {
// The host's switches for the length of one button action.
class BusyHost {
public:
    explicit BusyHost(host::Application& app) : app_(app) {
        ResumeNext([&] { app_.SetScreenUpdating(false); });
        ResumeNext([&] { app_.SetDisplayAlerts(false); });
        ResumeNext([&] { app_.SetStatusBar(std::string(workbook::kBusyText)); });
    }
    ~BusyHost() {
        ResumeNext([&] { app_.SetStatusBar(std::nullopt); });
        ResumeNext([&] { app_.SetScreenUpdating(true); });
        ResumeNext([&] { app_.SetDisplayAlerts(true); });
    }
    BusyHost(const BusyHost&) = delete;
    BusyHost& operator=(const BusyHost&) = delete;

private:
    host::Application& app_;
};
}  // namespace

void FrmSeZhi::Command1_Click(int index) {
    entry::Component& c = Component();
    BusyHost busy(c.App());
    switch (index) {
        case kStatistics: settings::ComputeDataStatistics(c); break;
        case kMaintain: settings::MaintainRosterData(c); break;
        case kSave: SaveParameters(); break;
        case kOpen:
            settings::ChooseRosterWorkbook(c, [this](host::Workbook& wb) { ShowRosterInfo(&wb); });
            break;
        default: break;
    }
}

void FrmSeZhi::SaveParameters() {
    settings::ParameterInputs inputs{Text1.Text(), Combo3.Text(), Text2.Text(), Text3.Text()};
    lastSave_ = settings::SaveParameters(Component(), inputs);
    const settings::SaveOutcome& outcome = lastSave_;
    if (outcome.saved) {
        deskGroups_ = outcome.saved->deskGroups;
        gradesPerGroup_ = outcome.saved->gradesPerGroup;
        rooms_ = outcome.saved->rooms;
        extraFields_ = outcome.saved->extraFields;
    }
    if (outcome.rosterSheetCount) Label1.SetCaption(std::to_string(*outcome.rosterSheetCount));
}

}  // namespace ui
