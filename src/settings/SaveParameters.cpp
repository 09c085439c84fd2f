#include "settings/SaveParameters.h"

#include <cmath>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Variant.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

namespace settings {

using host::ResumeNext;

namespace {

std::string TrimSpaces(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::optional<int16_t> ReadInput(const std::string& typed, int minimum) {
    const std::string text = TrimSpaces(typed);
    if (!host::IsNumeric(host::Variant(text))) return std::nullopt;
    const double v = host::Val(text);
    if (v != std::floor(v) || v < minimum || v > INT16_MAX) return std::nullopt;
    return int16_t(v);
}

void Inform(platform::Toolkit& tk, const std::string& text) { workbook::ShowNotice(tk, text); }

// The front end could not write the changed workbooks and has said so: no
// success text follows.
struct NotWritten {};

// The inputs that are whole numbers but beyond what a parameter cell holds,
// named for the second notice after the bad-input text, which does not say
// the limit.
std::string BeyondTheMaximum(const ParameterInputs& in) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"考场组数", &in.deskGroups}, {"同桌年级数", &in.gradesPerGroup}, {"考场总数", &in.rooms}, {"设置表字段数", &in.extraFields}};
    std::string text;
    for (const auto& [name, typed] : fields) {
        const std::string t = TrimSpaces(*typed);
        if (!host::IsNumeric(host::Variant(t))) continue;
        const double v = host::Val(t);
        if (v == std::floor(v) && v > INT16_MAX)
            text += std::string(text.empty() ? "" : "\n") + "“" + name + "”为 " + t + "，超过最大值 " + std::to_string(INT16_MAX) + "。";
    }
    return text;
}

}  // namespace

std::optional<std::string> SettingsTableDoesNotFit(const ExamParameters& p) {
    const int32_t last = LastTitleColumn(p.Shape());
    if (last <= host::kMaxColumns) {
        const int64_t cells = int64_t(p.rooms) * (int64_t(p.deskGroups) + p.extraFields + 2);
        if (cells <= kMostRoomTableCells) return std::nullopt;
        return "设置表过大：考场总数 " + std::to_string(p.rooms) + " × (考场组数 " + std::to_string(p.deskGroups) +
               " + 设置表字段数 " + std::to_string(p.extraFields) + " + 2) 共 " + std::to_string(cells) +
               " 个单元格，超过 " + std::to_string(kMostRoomTableCells) + " 个。参数未保存。";
    }
    const int32_t most = host::kMaxColumns - LastTitleColumn({1, 1, 0}) + 1;
    return "设置表放不下：考场组数 " + std::to_string(p.deskGroups) + " 与设置表字段数 " + std::to_string(p.extraFields) +
           " 之和为 " + std::to_string(int32_t(p.deskGroups) + p.extraFields) + "，而工作表只有 " +
           std::to_string(host::kMaxColumns) + " 列，两者之和最多为 " + std::to_string(most) + "。参数未保存。";
}

std::optional<ExamParameters> ReadParameterInputs(const ParameterInputs& in) {
    auto groups = ReadInput(in.deskGroups, 1);
    auto rooms = ReadInput(in.rooms, 1);
    auto fields = ReadInput(in.extraFields, 0);
    auto grades = ReadInput(in.gradesPerGroup, 1);
    if (!groups || !rooms || !fields || !grades) return std::nullopt;
    return ExamParameters{*groups, *grades, *rooms, *fields};
}

// ----- survey -----

namespace {

host::Worksheet* SheetNamedExactly(const host::Workbook& wb, const std::string& name) {
    for (const auto& ws : wb.SheetList())
        if (ws->Name() == name) return ws.get();
    return nullptr;
}

bool FitsParameters(host::Worksheet& ws, const ExamParameters& p) {
    const int32_t lastTitle = ws.Cells(1, host::kMaxColumns).End(host::xlToLeft).Column();
    const int32_t lastRoom = ws.Cells(host::kMaxRows, 8).End(host::xlUp).Row();
    return lastTitle == LastTitleColumn(p.Shape()) && lastRoom == LastRoomRow(p.Shape());
}

}  // namespace

RosterSurvey SurveyRosterWorkbook(host::Workbook& roster, const ExamParameters& p) {
    RosterSurvey s;
    for (int i = 1; i <= roster.SheetCount(); ++i) {
        host::Worksheet& ws = roster.Sheet(i);
        ResumeNext([&] { ws.SetVisible(host::xlSheetVisible); });
        if (workbook::IsSettingsSheetName(ws.Name())) continue;
        ++s.rosterSheetCount;
        const std::string settingsName = workbook::SettingsSheetNameFor(ws.Name());
        host::Worksheet* settingsSheet = SheetNamedExactly(roster, settingsName);
        if (!settingsSheet) {
            s.missing.push_back(ws.Name());
            continue;
        }
        bool fits = true;
        ResumeNext([&] { fits = FitsParameters(*settingsSheet, p); });
        if (!fits) s.mismatchText += settingsName + ",";
    }
    return s;
}

// ----- building -----

bool AddSettingsSheet(host::Workbook& roster, const std::string& rosterName, const SettingsSheetShape& shape,
                      std::string* refusal) {
    host::Worksheet* added = nullptr;
    try {
        added = &roster.Worksheets().Add(&roster.Sheet(roster.SheetCount()));
        added->SetName(workbook::SettingsSheetNameFor(rosterName));
    } catch (const host::FileError&) {
        throw;
    } catch (const host::HostError& e) {
        if (refusal) *refusal = e.what();
        if (added) ResumeNext([&] { added->Delete(); });
        return false;
    }
    BuildSettingsSheet(added, shape);
    ResumeNext([&] { added->Protect(std::string(workbook::kSheetPassword)); });
    return true;
}

namespace {

// Builds a settings sheet for each roster name; returns the names whose sheet
// could not be made.
// Builds a settings sheet for each roster name; returns each name whose sheet
// could not be made with the host's reason.
std::vector<std::pair<std::string, std::string>> AddSettingsSheets(host::Workbook& roster,
                                                                   const std::vector<std::string>& rosterNames,
                                                                   const SettingsSheetShape& shape) {
    std::vector<std::pair<std::string, std::string>> failed;
    for (const std::string& name : rosterNames) {
        std::string why;
        if (!AddSettingsSheet(roster, name, shape, &why)) failed.emplace_back(name, why);
    }
    return failed;
}

void DeleteSettingsSheets(host::Workbook& roster) {
    for (int i = roster.SheetCount(); i >= 1; --i) {
        host::Worksheet& ws = roster.Sheet(i);
        if (workbook::IsSettingsSheetName(ws.Name())) ResumeNext([&] { ws.Delete(); });
    }
}

std::vector<std::string> RosterNames(const host::Workbook& roster) {
    std::vector<std::string> names;
    for (host::Worksheet* ws : workbook::RosterSheets(roster)) names.push_back(ws->Name());
    return names;
}

// Characters, as the host counts a sheet name's length.
size_t CharacterCount(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// The host's refusal of the settings sheet's name, said of the roster
// sheet's name, which is what the user can change.
std::string SettingsNameRefusal(const std::string& rosterName, const std::string& hostReason) {
    if (CharacterCount(workbook::SettingsSheetNameFor(rosterName)) > 31)
        return "名称有 " + std::to_string(CharacterCount(rosterName)) + " 个字符，设置表的名称要在它后面加 3 个字符，超过 31 个字符";
    return hostReason;
}

// The notice after settings sheets were built: the success text, unless a
// sheet could not be named or the workbook could not be saved. Then the user
// reads what is missing instead of a success that did not happen.
// Returns whether everything was built and saved.
bool ReportBuild(platform::Toolkit& tk, host::Workbook& roster,
                 const std::vector<std::pair<std::string, std::string>>& failed, const std::string& success) {
    std::string saveError;
    try {
        roster.Save();
    } catch (const host::HostError& e) {
        saveError = e.what();
    }
    std::string problems;
    // Each sheet with its real reason: too long, characters not allowed, taken.
    for (const auto& [name, why] : failed)
        problems += std::string(problems.empty() ? "" : "\n") + "工作表“" + name + "”无法生成设置表（" +
                    SettingsNameRefusal(name, why) + "），请修改它的名称后重新保存参数。";
    if (!saveError.empty())
        problems += std::string(problems.empty() ? "" : "\n") + "花名册工作簿未能保存：" + saveError;
    if (problems.empty() && !tk.SaveChanges()) throw NotWritten();
    Inform(tk, problems.empty() ? success : "参数已修改，但" + problems);
    return problems.empty();
}

// "参数修改成功！" once the changed workbooks are written.
void InformSaved(platform::Toolkit& tk) {
    if (!tk.SaveChanges()) throw NotWritten();
    Inform(tk, "参数修改成功！");
}

void WriteParameters(const host::Workbook& system, const ExamParameters& p) {
    workbook::ParameterCells cells(system);
    ResumeNext([&] { cells.SetDeskGroups(p.deskGroups); });
    ResumeNext([&] { cells.SetGradesPerGroup(p.gradesPerGroup); });
    ResumeNext([&] { cells.SetRoomCount(p.rooms); });
    ResumeNext([&] { cells.SetExtraFieldCount(p.extraFields); });
}

// Returns false when the user was told the save fell short.
bool Decide(platform::Toolkit& tk, host::Workbook& roster, const RosterSurvey& survey, const ExamParameters& p) {
    if (survey.rosterSheetCount == 0) {
        Inform(tk, "《" + roster.Name() + "》没有花名册数据工作表,请检查！");
        return false;
    }
    if (!survey.mismatchText.empty()) {
        const std::string question = "设置表“" + survey.mismatchText +
                                     "”与设置的参数不相符，单击按钮“是”将初始化全部设置表数据(删除)，"
                                     "单击按钮“否”仅保存参数值！";
        if (tk.MessageBox({question, platform::MsgButtons::YesNo, platform::MsgIcon::Question, 2, "提示"}) != platform::MsgResult::Yes) {
            InformSaved(tk);
            return true;
        }
        DeleteSettingsSheets(roster);
        auto failed = AddSettingsSheets(roster, RosterNames(roster), p.Shape());
        return ReportBuild(tk, roster, failed, "参数已修改并成功初始化设置表！");
    }
    if (!survey.missing.empty()) {
        auto failed = AddSettingsSheets(roster, survey.missing, p.Shape());
        return ReportBuild(tk, roster, failed, "参数已修改并生成相应设置表！");
    }
    InformSaved(tk);
    return true;
}

}  // namespace

SaveOutcome SaveParameters(const workbook::Context& ctx, const ParameterInputs& inputs) {
    platform::Toolkit& tk = ctx.toolkit;
    SaveOutcome outcome;
    outcome.saved = ReadParameterInputs(inputs);
    if (!outcome.saved) {
        Inform(tk, "请输入整数且：\n同桌年级数>0；考场总数>0\n考场组数>0；字段数>=0");
        if (const std::string beyond = BeyondTheMaximum(inputs); !beyond.empty()) Inform(tk, beyond);
        outcome.stopped = true;
        return outcome;
    }
    // Refused before anything is written: a settings table past the last
    // column cannot be built.
    if (auto tooWide = SettingsTableDoesNotFit(*outcome.saved)) {
        Inform(tk, *tooWide);
        outcome.saved.reset();
        outcome.stopped = true;
        return outcome;
    }
    const ExamParameters& p = *outcome.saved;
    ResumeNext([&] { WriteParameters(ctx.system, p); });

    host::Workbook* roster = nullptr;
    // An unreadable roster file is not skipped: it travels to the front end
    // before "参数修改成功！" could claim the settings sheets were dealt with.
    ResumeNext([&] { roster = workbook::OpenRosterWorkbook(ctx.app, ctx.system); });
    try {
        if (!roster) {
            InformSaved(tk);
            return outcome;
        }
        RosterSurvey survey = SurveyRosterWorkbook(*roster, p);
        ResumeNext([&] { outcome.stopped = !Decide(tk, *roster, survey, p); });
        outcome.rosterSheetCount = survey.rosterSheetCount;
    } catch (const NotWritten&) {
        outcome.stopped = outcome.notWritten = true;
    }
    return outcome;
}

}  // namespace settings
