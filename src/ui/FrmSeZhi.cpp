#include "ui/FrmSeZhi.h"

#include <string>

#include "ui/Component.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "settings/RosterMaintenance.h"
#include "settings/RosterSelection.h"
#include "settings/RosterValidation.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace ui {

using host::ResumeNext;

FrmSeZhi::FrmSeZhi(ui::Component& component)
    : MainWindow(component, kName, "设置", workbook::WindowCode::Settings, "help") {
    Command1.On(Event::Click, [this](int index) { Command1_Click(index); });
}

void FrmSeZhi::ReadParameterCells() {
    workbook::ParameterCells cells(Component().System());
    ResumeNext([&] { deskGroups_ = cells.DeskGroups(); });
    ResumeNext([&] { gradesPerGroup_ = cells.GradesPerGroup(); });
    ResumeNext([&] { rooms_ = cells.RoomCount(); });
    ResumeNext([&] { extraFields_ = cells.ExtraFieldCount(); });
}

void FrmSeZhi::OnLoad() {
    ui::Component& c = Component();
    ResumeNext([&] { c.App().SetScreenUpdating(false); });
    ResumeNext([&] { c.App().SetDisplayAlerts(false); });
    LoadCommonSteps();
    ResumeNext([&] { ReadParameterCells(); });
    Combo3.SetText(std::to_string(gradesPerGroup_));
    Text1.SetText(std::to_string(deskGroups_));
    Text2.SetText(std::to_string(rooms_));
    Text3.SetText(std::to_string(extraFields_));
    host::Workbook* roster = nullptr;
    roster = RosterForDisplay();
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

workbook::Outcome FrmSeZhi::Command1_Click(int index) {
    const workbook::Context ctx = Component().Context();
    workbook::HostSwitchGuard busy(ctx.app);
    switch (index) {
        case kStatistics: return Record(settings::ComputeDataStatistics(ctx));
        case kMaintain: return Record(settings::MaintainRosterData(ctx));
        case kSave: return Record(SaveParameters());
        case kOpen:
            return Record(settings::ChooseRosterWorkbook(ctx, [this](host::Workbook& wb) { ShowRosterInfo(&wb); }));
        default: return Record(workbook::Outcome::Stopped());
    }
}

workbook::Outcome FrmSeZhi::SaveParameters() {
    settings::ParameterInputs inputs{Text1.Text(), Combo3.Text(), Text2.Text(), Text3.Text()};
    lastSave_ = settings::SaveParameters(Component().Context(), inputs);
    const settings::SaveOutcome& outcome = lastSave_;
    if (outcome.saved) {
        deskGroups_ = outcome.saved->deskGroups;
        gradesPerGroup_ = outcome.saved->gradesPerGroup;
        rooms_ = outcome.saved->rooms;
        extraFields_ = outcome.saved->extraFields;
    }
    if (outcome.rosterSheetCount) Label1.SetCaption(std::to_string(*outcome.rosterSheetCount));
    if (outcome.notWritten) return workbook::Outcome::Of(workbook::Outcome::Kind::FileError);
    return outcome.stopped ? workbook::Outcome::Stopped() : workbook::Outcome::Done();
}

}  // namespace ui
