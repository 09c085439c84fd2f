#pragma once
// Saving the exam parameters of the Settings window into K2–K5, and bringing
// the settings sheets of the roster workbook in line with them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/SettingsSheet.h"

namespace workbook {
struct Context;
}
namespace host {
class Workbook;
class Worksheet;
}  // namespace host

namespace settings {

// The four inputs of the parameter box, as typed.
struct ParameterInputs {
    std::string deskGroups;      // Text1  → K2, at least 1
    std::string gradesPerGroup;  // Combo3 → K3, at least 1
    std::string rooms;           // Text2  → K4, at least 1
    std::string extraFields;     // Text3  → K5, at least 0
};

struct ExamParameters {
    int16_t deskGroups = 0;
    int16_t gradesPerGroup = 0;
    int16_t rooms = 0;
    int16_t extraFields = 0;

    SettingsSheetShape Shape() const { return {deskGroups, rooms, extraFields}; }
    friend bool operator==(const ExamParameters&, const ExamParameters&) = default;
};

// Each input trimmed of spaces must be numeric, whole and at least its
// minimum; nullopt when any is not. A value beyond the 16-bit range is bad
// too: it could not be stored.
std::optional<ExamParameters> ReadParameterInputs(const ParameterInputs& inputs);

// The message that refuses parameters whose settings table would pass the
// sheet's last column (desk groups + fields at most 16,375); none when it fits.
// A room table of more cells than kMostRoomTableCells is refused too: every
// roster sheet gets one, and a table of hundreds of millions of cells would
// exhaust the memory before it could be saved.
inline constexpr int64_t kMostRoomTableCells = 1000000;
std::optional<std::string> SettingsTableDoesNotFit(const ExamParameters& p);

// What a survey of the roster workbook found, against the parameters.
struct RosterSurvey {
    int rosterSheetCount = 0;
    // Roster sheets without a settings sheet, in workbook order.
    std::vector<std::string> missing;
    // Names of the settings sheets that do not fit, each followed by ",".
    std::string mismatchText;
};

// Makes every sheet visible and checks each roster sheet's settings sheet:
// it fits when row 1 ends in LastTitleColumn and column H in LastRoomRow.
RosterSurvey SurveyRosterWorkbook(host::Workbook& roster, const ExamParameters& p);

// Adds a sheet after the last one, names it after the roster sheet, lays it
// out and protects it. A name the host refuses (a roster name of more than
// 28 characters gives more than 31) removes the new sheet again and returns
// false: an unnamed sheet would pass for a roster sheet.
// `refusal`, when given, receives the host's reason.
bool AddSettingsSheet(host::Workbook& roster, const std::string& rosterName, const SettingsSheetShape& shape,
                      std::string* refusal = nullptr);

struct SaveOutcome {
    // The parameters written to K2–K5; none when the inputs were bad.
    std::optional<ExamParameters> saved;
    // The roster sheets counted when a roster workbook was open.
    std::optional<int> rosterSheetCount;
    // The user was told why the save fell short: bad input, no roster sheets,
    // a settings sheet that could not be made or a roster workbook not saved.
    bool stopped = false;
    // The changed workbooks could not be written (the front end said so).
    bool notWritten = false;
};

// "保存 (&C)": validates, writes K2–K5, then surveys the roster workbook and
// creates or rebuilds its settings sheets as the user decides, with the
// messages the user reads. Host failures are skipped step by step.
SaveOutcome SaveParameters(const workbook::Context& ctx, const ParameterInputs& inputs);

}  // namespace settings
