// The hostile rosters of tests/data/hostile: each NAME.xlsx is run through
// the commands of NAME.expect in a fresh folder with the real executable (a
// crash is one case's failure, not the test's end), and every expectation is
// checked. One test runs the whole folder and names each failing file; the
// folder's README.md describes the .expect lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host/Application.h"
#include "host/Dump.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "workbook/RosterWorkbook.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFolder = fs::path(TOLM_TEST_DATA) / "hostile";

// The titles of the columns an arrangement writes; every other column is the user's.
const std::vector<std::string> kSystemTitles = {"\t场号", "\t座号", "\tAB座号", "\t考号", "\t首考号", "\t尾考号",
                                                "\t场人", "\t场数", "\t班数", "\t级人", "\t班人", "\tA"};

std::string ShellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// One cell as a user would compare it: value with its type, formula, format.
struct CellFacts {
    host::Variant value;
    std::string formula;
    host::CellFormat format;
    friend bool operator==(const CellFacts&, const CellFacts&) = default;
};

using Address = std::tuple<std::string, int32_t, int32_t>;  // sheet, row, column

struct UserCells {
    std::map<Address, CellFacts> cells;
    std::map<std::string, std::vector<host::Rect>> merges;
};

std::string Describe(const Address& a) {
    return std::get<0>(a) + "!R" + std::to_string(std::get<1>(a)) + "C" + std::to_string(std::get<2>(a));
}

std::string Describe(const CellFacts& f) {
    std::string s = f.value.IsEmpty() ? "(empty)" : "\"" + host::ToText(f.value) + "\"";
    if (s.size() > 60) s = s.substr(0, 60) + "…";
    if (!f.formula.empty()) s += " =" + f.formula;
    if (f.format.numberFormat != "General") s += " fmt=" + f.format.numberFormat;
    return s;
}

// The roster sheets' cells outside the system columns.
UserCells ReadUserCells(const std::string& file) {
    host::Application app;
    auto wb = host::xlsx::LoadWorkbook(&app, file);
    UserCells u;
    for (host::Worksheet* ws : workbook::RosterSheets(*wb)) {
        std::vector<bool> system;
        if (const host::Row* title = ws->FindRow(1))
            for (const host::Cell& c : title->cells)
                if (c.value.IsText() && std::count(kSystemTitles.begin(), kSystemTitles.end(), c.value.Text())) {
                    if (system.size() <= size_t(c.col)) system.resize(size_t(c.col) + 1);
                    system[size_t(c.col)] = true;
                }
        for (size_t r = 0; r < ws->RowsData().size(); ++r)
            for (const host::Cell& c : ws->RowsData()[r].cells) {
                if (size_t(c.col) < system.size() && system[size_t(c.col)]) continue;
                CellFacts f{c.value, c.formula ? *c.formula : "", wb->Styles().Get(c.style)};
                if (f.value.IsEmpty() && f.formula.empty() && f.format == wb->Styles().Default()) continue;
                u.cells[{ws->Name(), int32_t(r + 1), c.col}] = std::move(f);
            }
        for (const host::Rect& m : ws->MergedAreas()) u.merges[ws->Name()].push_back(m);
    }
    return u;
}

void CompareUserCells(const UserCells& before, const UserCells& after, std::vector<std::string>& problems) {
    int reported = 0;
    auto report = [&](const std::string& what) {
        if (++reported <= 5) problems.push_back(what);
    };
    for (const auto& [at, facts] : before.cells) {
        auto it = after.cells.find(at);
        if (it == after.cells.end()) report("user cell " + Describe(at) + " " + Describe(facts) + " is gone");
        else if (!(it->second == facts))
            report("user cell " + Describe(at) + " was " + Describe(facts) + ", is " + Describe(it->second) +
                   (it->second.format == facts.format ? "" : " (format changed)"));
    }
    for (const auto& [at, facts] : after.cells)
        if (!before.cells.count(at)) report("user cell " + Describe(at) + " " + Describe(facts) + " appeared");
    if (before.merges != after.merges) report("merged areas changed");
    if (reported > 5) problems.push_back("… " + std::to_string(reported - 5) + " more changed user cells");
}

// Every candidate row of the sheet has a room and a seat.
void CheckSeated(const std::string& file, const std::string& sheet, std::vector<std::string>& problems) {
    host::Application app;
    auto wb = host::xlsx::LoadWorkbook(&app, file);
    host::Worksheet* ws = wb->SheetByName(sheet);
    if (!ws) return problems.push_back("no sheet " + sheet);
    int32_t room = 0, seat = 0;
    for (int32_t c = 1; c <= ws->UsedRect().right; ++c) {
        if (ws->ValueAt(1, c) == host::Variant("\t场号")) room = c;
        if (ws->ValueAt(1, c) == host::Variant("\t座号")) seat = c;
    }
    if (!room || !seat) return problems.push_back(sheet + " has no 场号/座号 columns");
    int unseated = 0;
    for (int32_t r = 2; r <= ws->UsedRect().bottom; ++r)
        if (!ws->ValueAt(r, 1).IsEmpty() && (ws->ValueAt(r, room).IsEmpty() || ws->ValueAt(r, seat).IsEmpty() ||
                                             !ws->ValueAt(r, room).IsNumber()))
            ++unseated;
    if (unseated) problems.push_back(std::to_string(unseated) + " candidates of " + sheet + " without a room and seat");
}

struct CaseRun {
    std::string name;
    fs::path roster;
    testing_support::TempDir dir;
    std::string lastOutput;
    int lastCode = 0;
    bool exitChecked = true;
    std::string lastCommand;
    UserCells snapshot;
    bool haveSnapshot = false;
    std::vector<std::string> problems;

    // The roster as tolm keeps it: a file in another format is read from the .xlsx saved beside it.
    std::string RosterFile() const { return dir.File(roster.stem().string() + ".xlsx"); }

    void CheckPendingExit() {
        if (!exitChecked && lastCode != 0)
            problems.push_back("`" + lastCommand + "` exited " + std::to_string(lastCode) + ":\n" + lastOutput);
        exitChecked = true;
    }

    void Run(const std::string& line) {
        CheckPendingExit();
        std::istringstream words(line);
        std::string command = "cd " + ShellQuoted(dir.Path().string()) + " && TOLM_SYSTEM=" +
                              ShellQuoted(dir.File("系统.xlsx")) + " LC_ALL=C.UTF-8 " + ShellQuoted(TOLM_EXE);
        for (std::string w; words >> w;) {
            if (w == "{roster}") w = roster.filename().string();
            if (w == "{xlsx}") w = roster.stem().string() + ".xlsx";
            command += " " + ShellQuoted(w);
        }
        lastCode = testing_support::Run(command + " 2>&1 </dev/null", &lastOutput);
        lastCommand = line;
        exitChecked = false;
        if (lastCode < 0) {
            problems.push_back("`" + line + "` did not exit normally (crash or signal):\n" + lastOutput);
            exitChecked = true;
        }
    }

    void Step(const std::string& keyword, const std::string& rest, int lineNo) {
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        if (keyword == "run") {
            Run(rest);
        } else if (keyword == "exit") {
            if (lastCode != std::stoi(rest))
                problems.push_back(where + "`" + lastCommand + "` exited " + std::to_string(lastCode) + ", expected " + rest +
                                   ":\n" + lastOutput);
            exitChecked = true;
        } else if (keyword == "says") {
            if (lastOutput.find(rest) == std::string::npos)
                problems.push_back(where + "`" + lastCommand + "` did not say “" + rest + "”:\n" + lastOutput);
        } else if (keyword == "not-says") {
            if (lastOutput.find(rest) != std::string::npos)
                problems.push_back(where + "`" + lastCommand + "` said “" + rest + "”:\n" + lastOutput);
        } else if (keyword == "snapshot") {
            snapshot = ReadUserCells(RosterFile());
            haveSnapshot = true;
        } else if (keyword == "unchanged") {
            if (!haveSnapshot) return problems.push_back(where + "unchanged without a snapshot");
            std::vector<std::string> found;
            CompareUserCells(snapshot, ReadUserCells(RosterFile()), found);
            for (auto& f : found) problems.push_back(where + f);
        } else if (keyword == "file-says") {
            const size_t space = rest.find(' ');
            std::string name = rest.substr(0, space);
            if (name == "{roster}") name = roster.filename().string();
            if (name == "{xlsx}") name = roster.stem().string() + ".xlsx";
            const std::string file = dir.File(name), text = rest.substr(space + 1);
            std::string dump;
            try {
                host::Application app;
                dump = host::Dump(*host::xlsx::LoadWorkbook(&app, file));
            } catch (const std::exception& e) {
                return problems.push_back(where + e.what());
            }
            if (dump.find(text) == std::string::npos) problems.push_back(where + file + " does not hold “" + text + "”");
        } else if (keyword == "seated") {
            std::vector<std::string> found;
            CheckSeated(RosterFile(), rest, found);
            for (auto& f : found) problems.push_back(where + f);
        } else {
            problems.push_back(where + "unknown keyword “" + keyword + "”");
        }
    }
};

TEST(HostileRosters, EachRosterGivesItsExpectedOutcomeAndKeepsTheUsersCells) {
    std::vector<fs::path> expects;
    // TOLM_HOSTILE=NAME runs that case alone.
    const char* only = std::getenv("TOLM_HOSTILE");
    for (const auto& e : fs::directory_iterator(kFolder))
        if (e.path().extension() == ".expect" && (!only || e.path().stem() == only)) expects.push_back(e.path());
    std::sort(expects.begin(), expects.end());
    ASSERT_GE(expects.size(), only ? 1u : 10u) << "the hostile rosters are missing from " << kFolder;

    int failed = 0;
    for (const fs::path& expect : expects) {
        CaseRun c;
        c.name = expect.stem().string();
        // NAME.xlsx, or a roster from another program (NAME.csv, .xls, .ods).
        for (const char* ext : {".xlsx", ".csv", ".xls", ".ods"})
            if (c.roster.empty() && fs::exists(kFolder / (c.name + ext))) c.roster = kFolder / (c.name + ext);
        if (c.roster.empty()) {
            ADD_FAILURE() << expect.filename().string() << ": no roster " << c.name << ".xlsx (or .csv, .xls, .ods)";
            ++failed;
            continue;
        }
        fs::copy_file(c.roster, c.dir.File(c.roster.filename().string()));
        std::ifstream in(expect);
        int lineNo = 0;
        for (std::string line; std::getline(in, line);) {
            ++lineNo;
            if (line.empty() || line[0] == '#') continue;
            const size_t space = line.find(' ');
            c.Step(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1), lineNo);
        }
        c.CheckPendingExit();
        if (!c.problems.empty()) {
            ++failed;
            std::string all;
            for (const auto& p : c.problems) all += "\n  " + p;
            ADD_FAILURE() << c.name << ".xlsx (" << expect.filename().string() << "):" << all;
        }
    }
    std::cout << expects.size() - size_t(failed) << " of " << expects.size() << " hostile rosters as expected\n";
}

}  // namespace
