#include "ui/FrmKCBP.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "arrangement/RunArrangement.h"
#include "ui/Component.h"
#include "workbook/Context.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Variant.h"
#include "platform/Toolkit.h"
#include "workbook/FieldLists.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace ui {

using host::ResumeNext;

namespace {

// Items beginning with a TAB are the system's own columns of an earlier run.
void RemoveSystemTitles(ComboBox& list) {
    for (int i = list.ListCount() - 1; i >= 0; --i)
        if (list.List(i).starts_with(workbook::kTab)) list.RemoveItem(i);
}

// The first item equal to `stored`, else the first item.
void SelectStored(ComboBox& list, const std::string& stored) {
    if (list.ListCount() > 0) list.SetListIndex(std::max(list.IndexOf(stored), 0));
}

}  // namespace

FrmKCBP::FrmKCBP(ui::Component& component)
    : MainWindow(component, kName, "考场编排", workbook::WindowCode::Arrangement) {
    Text1.On(Event::Change, [this] { Text1_Change(); });
    Command1.On(Event::Click, [this] { Command1_Click(); });
}

void FrmKCBP::OnLoad() {
    ui::Component& c = Component();
    ResumeNext([&] { PlaceWindow(); });
    ResumeNext([&] { SetAboutCaption(); });
    ResumeNext([&] { c.App().SetScreenUpdating(false); });
    ResumeNext([&] { c.App().SetDisplayAlerts(false); });
    ResumeNext([&] { FillFieldLists(); });
    ResumeNext([&] { Combo1.AddItem(std::string(workbook::kNoneEntry)); });
    ResumeNext([&] { Combo2.AddItem(std::string(workbook::kNoneEntry)); });
    ShowStoredOptions();
    ResumeNext([&] { RecordWindowCode(); });
    ResumeNext([&] { c.App().SetScreenUpdating(true); });
    ResumeNext([&] { c.App().SetDisplayAlerts(true); });
}

void FrmKCBP::FillFieldLists() {
    host::Workbook* roster = RosterForDisplay();
    if (!roster) return;
    ResumeNext([&] {
        for (const std::string& title : workbook::OfferedFieldTitles(*roster)) {
            Combo1.AddItem(title);
            Combo2.AddItem(title);
        }
    });
    RemoveSystemTitles(Combo1);
    RemoveSystemTitles(Combo2);
}

void FrmKCBP::ShowStoredOptions() {
    workbook::ParameterCells cells(Component().System());
    ResumeNext([&] {
        const std::string before = Text1.Text();
        Text1.SetText(cells.Text("K7"));
        if (Text1.Text() != before) Text1_Change();
    });
    ResumeNext([&] { SelectStored(Combo1, cells.Text("K8")); });
    ResumeNext([&] { SelectStored(Combo2, cells.Text("K9")); });
    ResumeNext([&] {
        const double ordering = cells.Number("K10");
        (ordering == 1 ? Option1 : ordering == 2 ? Option2 : Option3).SetValue(true);
    });
    ResumeNext([&] { (cells.Number("K11") == 1 ? Option4 : Option5).SetValue(true); });
    ResumeNext([&] { (cells.Number("K12") == 1 ? Option6 : Option7).SetValue(true); });
}

void FrmKCBP::Text1_Change() {
    if (!arrangement::IsWholeFirstNumber(Text1.Text())) workbook::ShowNotice(Toolkit(), arrangement::kFirstNumberRefusal);
}

arrangement::ArrangementOptions FrmKCBP::Options() const {
    arrangement::ArrangementOptions o;
    o.ordering = Option1.Value()   ? arrangement::Ordering::Ascending
                 : Option2.Value() ? arrangement::Ordering::Descending
                                   : arrangement::Ordering::Random;
    o.sortKey = Combo1.Text();
    o.firstNumberText = Text1.Text();
    o.columnTitle = Combo2.Text();
    if (Option4.Value() || Option5.Value()) o.numberingByCounter = Option4.Value();
    if (Option6.Value() || Option7.Value()) o.sequentialDesks = Option6.Value();
    return o;
}

workbook::Outcome FrmKCBP::Command1_Click() {
    return Record(arrangement::RunArrangement(Component().Context(), Options()));
}

}  // namespace ui
