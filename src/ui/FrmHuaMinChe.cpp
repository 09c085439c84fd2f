#include "ui/FrmHuaMinChe.h"

#include "host/Application.h"
#include "host/HostError.h"
#include "platform/Toolkit.h"
#include "tables/TemplateLibrary.h"
#include "ui/Component.h"
#include "workbook/Context.h"
#include "workbook/FieldLists.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemNames.h"

namespace ui {

using host::ResumeNext;

namespace {

// The first item equal to the text; the list keeps its selection when none is.
void SelectItem(ComboBox& list, const std::string& text) {
    if (const int i = list.IndexOf(text); i >= 0) list.SetListIndex(i);
}

}  // namespace

FrmHuaMinChe::FrmHuaMinChe(ui::Component& component)
    : MainWindow(component, kName, "考试用表", workbook::WindowCode::ExamTables) {
    List1.On(Event::Click, [this] { List1_Click(); });
    Text1.On(Event::Change, [this] { Text1_Change(); });
    Command1.On(Event::Click, [this] { Command1_Click(); });
    Command2.On(Event::Click, [this] { Command2_Click(); });
    Command3.On(Event::Click, [this] { Command3_Click(); });
    Command4.On(Event::Click, [this] { Command4_Click(); });
    Command5.On(Event::Click, [this] { Command5_Click(); });
}

void FrmHuaMinChe::OnLoad() {
    ui::Component& c = Component();
    workbook::HostSwitchGuard switches(c.App(), workbook::HostSwitchGuard::Status::Unchanged);
    ResumeNext([&] { PlaceWindow(); });
    ResumeNext([&] { SetAboutCaption(); });
    ResumeNext([&] { RecordWindowCode(); });
    ResumeNext([&] { sequentialDesks_ = workbook::ParameterCells(c.System()).Number("K12") == 1; });
    FillFieldLists();
    FillTemplateList();
}

void FrmHuaMinChe::FillFieldLists() {
    for (ComboBox* list : {&Combo1, &Combo2}) {
        ResumeNext([&] { list->AddItem(std::string(workbook::kNoneEntry)); });
        ResumeNext([&] { list->SetListIndex(0); });
    }
    host::Workbook* roster = RosterForDisplay();
    if (!roster) return;
    ResumeNext([&] {
        for (const std::string& title : workbook::OfferedFieldTitles(*roster)) {
            Combo1.AddItem(title);
            Combo2.AddItem(title);
        }
    });
}

void FrmHuaMinChe::FillTemplateList() {
    ResumeNext([&] {
        for (const std::string& name : tables::TemplateNames(Component().System())) List1.AddItem(name);
    });
}

void FrmHuaMinChe::List1_Click() {
    if (List1.ListIndex() < 0) return;
    const std::string name = List1.Text();
    ui::Component& c = Component();
    workbook::HostSwitchGuard switches(c.App(), workbook::HostSwitchGuard::Status::Unchanged);
    std::optional<tables::TemplateOptions> stored;
    ResumeNext([&] { stored = tables::ReadTemplateOptions(c.System(), name); });
    if (stored) {
        SelectItem(Combo1, stored->partition);
        SelectItem(Combo2, stored->sort);
        (stored->groupsLeftToRight ? Option1 : Option2).SetValue(true);
        (stored->desksBottomUp ? Option3 : Option4).SetValue(true);
        ResumeNext([&] { Check1.SetValue(stored->titleRow); });
        const std::string before = Text1.Text();
        Text1.SetText(stored->photoScale);
        if (Text1.Text() != before) Text1_Change();
    }
    tables::ShowTemplate(c.System(), name);
}

void FrmHuaMinChe::Text1_Change() {
    if (tables::IsRefusedPhotoScale(Text1.Text())) workbook::ShowNotice(Toolkit(), tables::kPhotoScaleRefusal);
}

tables::TemplateOptions FrmHuaMinChe::Options() const {
    tables::TemplateOptions o;
    o.partition = Combo1.Text();
    o.sort = Combo2.Text();
    o.groupsLeftToRight = Option1.Value();
    o.desksBottomUp = Option3.Value();
    o.titleRow = int16_t(Check1.Value() == vbChecked ? 1 : 0);
    o.photoScale = Text1.Text();
    return o;
}

bool FrmHuaMinChe::SelectTemplate(const std::string& name) {
    for (int i = 0; i < List1.ListCount(); ++i)
        if (List1.List(i) == name) {
            List1.Choose(i);
            return true;
        }
    return false;
}

workbook::Outcome FrmHuaMinChe::Command1_Click() {
    std::string created;
    workbook::Outcome o = tables::NewTemplate(Component().Context(), &created);
    if (!created.empty()) {
        List1.AddItem(created, 0);
        List1.Choose(0);
    }
    return Record(o);
}

workbook::Outcome FrmHuaMinChe::Command2_Click() {
    if (List1.ListIndex() < 0) return Record(workbook::Outcome::Stopped());
    const int index = List1.ListIndex();
    workbook::Outcome o = tables::DeleteTemplate(Component().Context(), List1.Text());
    if (o.IsDone()) {
        List1.RemoveItem(index);
        List1.SetListIndex(-1);
    }
    return Record(o);
}

workbook::Outcome FrmHuaMinChe::Command3_Click() {
    const int index = List1.ListIndex();
    std::string renamed;
    workbook::Outcome o = tables::RenameTemplate(Component().Context(), index < 0 ? std::string() : List1.Text(), &renamed);
    if (!renamed.empty()) List1.SetList(index, renamed);
    return Record(o);
}

workbook::Outcome FrmHuaMinChe::Command4_Click() {
    tables::TablesRequest request;
    request.templateName = List1.ListIndex() < 0 ? std::string() : List1.Text();
    request.options = Options();
    request.sequentialDesks = sequentialDesks_;
    tables::FieldListsRefill refill;
    workbook::Outcome o = tables::GenerateTables(Component().Context(), request, &refill);
    if (!refill.items.empty()) {
        const std::string partition = Combo1.Text(), sort = Combo2.Text();
        for (ComboBox* list : {&Combo1, &Combo2}) {
            list->Clear();
            for (const std::string& item : refill.items) list->AddItem(item);
        }
        if (refill.partitionIndex >= 0) Combo1.SetListIndex(refill.partitionIndex); else Combo1.SetText(partition);
        if (refill.sortIndex >= 0) Combo2.SetListIndex(refill.sortIndex); else Combo2.SetText(sort);
    }
    return Record(o);
}

workbook::Outcome FrmHuaMinChe::Command5_Click() {
    platform::Toolkit& tk = Toolkit();
    const std::string file = tk.OpenFileDialog({"选择含有模板的工作簿", "", "Excel 工作簿|*.xlsx;*.xlsm|所有文件|*.*"});
    if (file.empty()) return Record(workbook::Outcome::Stopped());
    const std::string sheet = tk.InputBox("请输入要导入的工作表名称：", "操作提示", "");
    if (sheet.empty()) return Record(workbook::Outcome::Stopped());
    std::string created;
    workbook::Outcome o = tables::ImportTemplate(Component().Context(), file, sheet, "", &created);
    if (!created.empty()) {
        List1.AddItem(created, 0);
        List1.Choose(0);
    }
    return Record(o);
}

}  // namespace ui
