#pragma once
// A system workbook and a roster workbook open in one application, for the
// tests of roster validation and maintenance. The roster workbook carries a
// file name in a temporary folder (with a placeholder file there), so that
// the parameter cells K1/L1 find it open.
#include <deque>
#include <string>
#include <vector>

#include "CoreFixtures.h"
#include "FakeToolkit.h"
#include "ui/Component.h"
#include "host/Range.h"
#include "support/TestSupport.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace coretest {

// Answers the questions in the order given (OK when none is left).
class AnsweringToolkit : public FakeToolkit {
public:
    std::deque<platform::MsgResult> answers;
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& r) override {
        messages.push_back(r);
        if (r.buttons == platform::MsgButtons::OK || answers.empty()) return platform::MsgResult::OK;
        platform::MsgResult a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct RosterFixture {
    host::Application app;
    AnsweringToolkit toolkit;
    ui::Component component{toolkit};
    testing_support::TempDir dir;
    host::Workbook& system = AddSystemWorkbook(app);
    host::Workbook& roster = app.Workbooks().Add();

    RosterFixture(int groups = 2, int grades = 1, int rooms = 2, int fields = 0) {
        component.SetApplication(&app);
        component.SetSystemWorkbook(&system);
        const std::string file = dir.File("花名册.xlsx");
        testing_support::WriteFile(file, "placeholder");
        roster.SetFileName(file);
        workbook::ParameterCells cells(system);
        cells.SetRosterFolder(dir.Path().string());
        cells.SetRosterFileName("花名册.xlsx");
        SetParameters(groups, grades, rooms, fields);
        roster.Sheet(1).SetName("占位");
    }

    void SetParameters(int groups, int grades, int rooms, int fields) {
        workbook::ParameterCells cells(system);
        cells.SetDeskGroups(int16_t(groups));
        cells.SetGradesPerGroup(int16_t(grades));
        cells.SetRoomCount(int16_t(rooms));
        cells.SetExtraFieldCount(int16_t(fields));
    }

    // The workbook's first sheet is renamed for the first roster sheet; later
    // ones are added at the end.
    host::Worksheet& AddSheet(const std::string& name) {
        if (roster.SheetCount() == 1 && roster.Sheet(1).Name() == "占位") {
            roster.Sheet(1).SetName(name);
            return roster.Sheet(1);
        }
        host::Worksheet& ws = roster.Worksheets().Add(&roster.Sheet(roster.SheetCount()));
        ws.SetName(name);
        return ws;
    }

    host::Worksheet& AddRoster(const std::string& name, std::initializer_list<std::vector<host::Variant>> rows) {
        host::Worksheet& ws = AddSheet(name);
        FillRows(ws, rows);
        return ws;
    }

    // A settings sheet laid out for G groups, R rooms and F extra fields, the
    // way the Settings window builds it (values only):
    //   H: 场号 1 … R | F field columns | 1组人数 … G组人数 | 场人 (row sums)
    // capacities[k][g] is group g + 1 of room k + 1; missing entries are empty.
    host::Worksheet& AddSettings(const std::string& rosterName, int groups, int rooms, int fields,
                                 const std::vector<std::vector<double>>& capacities) {
        host::Worksheet& ws = AddSheet(workbook::SettingsSheetNameFor(rosterName));
        const int32_t first = 8, last = first + fields + groups + 1;
        ws.SetValueAt(1, first, host::Variant("场号"));
        for (int g = 1; g <= groups; ++g)
            ws.SetValueAt(1, first + fields + g, host::Variant(std::to_string(g) + "组人数"));
        ws.SetValueAt(1, last, host::Variant("场人"));
        for (int k = 1; k <= rooms; ++k) {
            ws.SetValueAt(k + 1, first, host::Variant(k));
            double total = 0;
            for (int g = 1; g <= groups; ++g) {
                if (size_t(k) > capacities.size() || size_t(g) > capacities[k - 1].size()) continue;
                double n = capacities[k - 1][g - 1];
                ws.SetValueAt(k + 1, first + fields + g, host::Variant(n));
                total += n;
            }
            ws.SetValueAt(k + 1, last, host::Variant(total));
        }
        ws.SetValueAt(rooms + 2, last - 1, host::Variant("合计"));
        ws.Protect(std::string(workbook::kSheetPassword));
        return ws;
    }

    host::Worksheet& Revision() { return system.Sheet(3); }
    host::Worksheet& Scratch() { return system.Sheet(4); }
    host::Variant Report(const char* a1) { return Revision().GetRange(a1).Value(); }
    std::string ReportText(const char* a1) { return host::ToText(Report(a1)); }
};

// Rows of a roster sheet: title row and candidates (name, class).
inline std::vector<host::Variant> Row(std::initializer_list<host::Variant> cells) { return cells; }

}  // namespace coretest
