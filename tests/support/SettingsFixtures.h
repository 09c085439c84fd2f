#pragma once
// A component bound to an in-memory system workbook saved nowhere but named
// inside a temporary folder, with a toolkit that answers questions and file
// dialogs from queues, for the Settings window and its procedures.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "CoreFixtures.h"
#include "FakeToolkit.h"
#include "support/TestSupport.h"
#include "ui/Component.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"

namespace settingstest {

class AnsweringToolkit : public coretest::FakeToolkit {
public:
    std::deque<platform::MsgResult> answers;  // for questions; notices are answered OK
    std::deque<std::string> picks;      // for open dialogs; none left cancels
    std::vector<platform::OpenFileRequest> dialogs;
    // Called at every message box, e.g. to look at the host while it is shown.
    std::function<void(const platform::MessageBoxRequest&)> onMessage;

    platform::MsgResult MessageBox(const platform::MessageBoxRequest& r) override {
        messages.push_back(r);
        if (onMessage) onMessage(r);
        if (r.buttons == platform::MsgButtons::OK) return platform::MsgResult::OK;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << r.prompt;
            return platform::MsgResult::No;
        }
        platform::MsgResult a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string OpenFileDialog(const platform::OpenFileRequest& r) override {
        dialogs.push_back(r);
        if (picks.empty()) return {};
        std::string p = picks.front();
        picks.pop_front();
        return p;
    }

    std::vector<std::string> Prompts() const {
        std::vector<std::string> p;
        for (const auto& m : messages) p.push_back(m.prompt);
        return p;
    }
};

struct SettingsWorld {
    testing_support::TempDir dir;
    host::Application app;
    host::Workbook& system = coretest::AddSystemWorkbook(app);
    AnsweringToolkit toolkit;
    ui::Component component{toolkit};

    SettingsWorld() {
        host::Application::SetRunning(&app);
        system.SetFileName(dir.File("考场编排系统.xlsx"));
        component.SetApplication(&app);
        component.SetSystemWorkbook(&system);
    }
    ~SettingsWorld() { host::Application::SetRunning(nullptr); }

    workbook::ParameterCells Params() const { return workbook::ParameterCells(system); }

    void SetParameters(int16_t groups, int16_t grades, int16_t rooms, int16_t fields) {
        auto p = Params();
        p.SetDeskGroups(groups);
        p.SetGradesPerGroup(grades);
        p.SetRoomCount(rooms);
        p.SetExtraFieldCount(fields);
    }

    // A roster workbook with the named sheets, saved as `file` in the
    // temporary folder and named by K1/L1.
    host::Workbook& AddRoster(const std::vector<std::string>& sheets, const std::string& file = "花名册.xlsx") {
        host::Workbook& wb = app.Workbooks().Add();
        for (size_t i = 1; i < sheets.size(); ++i) wb.Worksheets().Add(&wb.Sheet(wb.SheetCount()));
        for (size_t i = 0; i < sheets.size(); ++i) wb.Sheet(int(i) + 1).SetName(sheets[i]);
        for (int i = 1; i <= wb.SheetCount(); ++i)
            if (!workbook::IsSettingsSheetName(wb.Sheet(i).Name())) wb.Sheet(i).SetValueAt(1, 1, host::Variant("班级"));
        wb.SaveAs(dir.File(file));
        Params().SetRosterFolder(wb.Path());
        Params().SetRosterFileName(wb.Name());
        return wb;
    }

    std::vector<std::string> SheetNames(const host::Workbook& wb) const {
        std::vector<std::string> names;
        for (const auto& ws : wb.SheetList()) names.push_back(ws->Name());
        return names;
    }
};

}  // namespace settingstest
