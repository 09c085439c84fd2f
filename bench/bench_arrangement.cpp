// The arrangement run on rosters built in memory (no roster file is read or
// written): validation, preparation, assignment, output columns. Grades have
// 30–40 classes of equal size, or one class, or a few big and small ones (see
// Mix); each grade sits in rooms of its own of 30–40 candidates in 6–8 desk
// groups. Prints per configuration and ordering the seconds of the
// run (wall clock, and the process's CPU time, steadier on a busy machine),
// the process's peak memory so far, and the same-class neighbour pairs
// left per 1,000 candidates, counted on the written seat numbers (left–right
// between neighbouring groups, front–back inside a group, S-shaped desks).
//
//   bench_arrangement [SEED [FILTER]]   FILTER: run only the configurations
//                                       whose label contains it (e.g. 2cls)
//   bench_arrangement --save DIR   writes the 3 × 10,000 roster and its system
//                                  workbook into DIR, for timing `tolm arrange`
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "arrangement/RunArrangement.h"
#include "ui/Component.h"
#include "host/Application.h"
#include "host/Collation.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "platform/RandomSource.h"
#include "platform/Toolkit.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace {

class BenchToolkit : public platform::Toolkit {
public:
    explicit BenchToolkit(uint32_t seed) : random_(seed) {}
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& r) override {
        last = r.prompt;
        return platform::MsgResult::OK;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::string OpenFileDialog(const platform::OpenFileRequest&) override { return {}; }
    void PlaceWindow(ui::Window&, int32_t, int32_t) override {}
    void ShowWindow(ui::Window&, bool) override {}
    void UnloadWindow(ui::Window&) override {}
    bool OpenDocument(const std::string&) override { return true; }
    bool StartProgram(const std::string&) override { return true; }
    double ScreenWidthTwips() override { return 1920 * 15; }
    double ScreenHeightTwips() override { return 1080 * 15; }
    double TwipsPerPixelX() override { return 15; }
    double TwipsPerPixelY() override { return 15; }
    double Now() override { return 1.7e9; }
    float Rnd() override { return random_.Rnd(); }
    void Randomize() override { random_.Randomize(Now()); }
    std::string last;

private:
    platform::RandomSource random_;
};

// How a grade's candidates are spread over its classes. A class holds at most
// 32,767 candidates (larger ones are refused), so the big class of the
// unbalanced mixes is capped there and the rest go to the other classes.
enum class Mix {
    Balanced,   // 30–40 classes of equal size
    One,        // one class
    Two,        // two classes, 3 : 1
    TwoSkewed,  // two classes, 9 : 1
    Dominant,   // one class of 3/4, the rest over 30 small classes
};

struct Config {
    int grades;
    int perGrade;
    int16_t groups;
    Mix mix = Mix::Balanced;
};

std::string Label(const Config& c) {
    static const char* const mixes[] = {"", " 1cls", " 2cls 3:1", " 2cls 9:1", " 1+30cls"};
    return std::to_string(c.grades) + "x" + std::to_string(c.perGrade) + mixes[int(c.mix)];
}

// xorshift32 for the data; the run itself draws from the toolkit.
struct Dice {
    uint32_t x;
    uint32_t Next() { x ^= x << 13; x ^= x >> 17; x ^= x << 5; return x; }
    int Between(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }
};

// One grade's rooms: totals of 30–40, the last room takes the rest.
std::vector<int> RoomTotals(int candidates, Dice& dice) {
    std::vector<int> rooms;
    for (int left = candidates; left > 0;) {
        int n = std::min(left, dice.Between(30, 40));
        rooms.push_back(n);
        left -= n;
    }
    return rooms;
}

struct World {
    host::Application app;
    host::Workbook& system = app.Workbooks().Add();
    host::Workbook& roster = app.Workbooks().Add();
    BenchToolkit toolkit;
    ui::Component component{toolkit};
    // Per grade: room number and group counts of each of its rooms, in room order.
    std::map<std::string, std::vector<std::pair<int, std::vector<int>>>> layout;

    World(const Config& c, const std::string& folder, uint32_t seed) : toolkit(seed) {
        host::Application::SetRunning(&app);
        system.Sheet(1).SetName("首页");
        system.InsertSheet(-1, "参数", "Sheet2");
        system.InsertSheet(-1, "修改意见", "Sheet3");
        system.InsertSheet(-1, "模板图像", "Sheet4");
        component.SetApplication(&app);
        component.SetSystemWorkbook(&system);
        roster.SetFileName(folder + "/花名册.xlsx");
        Build(c, seed);
    }
    ~World() { host::Application::SetRunning(nullptr); }

    void Build(const Config& c, uint32_t seed) {
        Dice dice{seed * 2654435761u + 1};
        std::vector<std::vector<int>> totals;
        int rooms = 0;
        for (int g = 0; g < c.grades; ++g) {
            totals.push_back(RoomTotals(c.perGrade, dice));
            rooms += int(totals.back().size());
        }
        workbook::ParameterCells cells(system);
        cells.SetRosterFolder(roster.Path());
        cells.SetRosterFileName(roster.Name());
        cells.SetDeskGroups(c.groups);
        cells.SetGradesPerGroup(1);
        cells.SetRoomCount(int16_t(rooms));
        cells.SetExtraFieldCount(0);

        int firstRoom = 1;
        for (int g = 0; g < c.grades; ++g) {
            const std::string name = "年级" + std::to_string(g + 1);
            host::Worksheet& ws = g == 0 ? roster.Sheet(1) : roster.Worksheets().Add(&roster.Sheet(roster.SheetCount()));
            ws.SetName(name);
            FillRoster(ws, c.perGrade, c.mix, dice);
            AddSettings(name, c.groups, rooms, firstRoom, totals[size_t(g)]);
            firstRoom += int(totals[size_t(g)].size());
        }
    }

    // Class numbers 1, 2, … of n candidates, class 1 the big one of an
    // unbalanced mix, before shuffling.
    static std::vector<int> ClassesOf(int n, Mix mix, Dice& dice) {
        std::vector<int> cls(static_cast<size_t>(n));
        const int balanced = mix == Mix::Balanced ? dice.Between(30, 40) : 1;
        const int big = std::min(32767, mix == Mix::TwoSkewed ? n / 10 * 9 : n / 4 * 3);
        const int small = mix == Mix::Dominant ? 30 : 1;
        for (int i = 0; i < n; ++i) {
            if (mix == Mix::Balanced || mix == Mix::One) cls[size_t(i)] = i % balanced + 1;
            else cls[size_t(i)] = i < big ? 1 : 2 + (i - big) % small;
        }
        return cls;
    }

    static void FillRoster(host::Worksheet& ws, int n, Mix mix, Dice& dice) {
        const char* titles[] = {"序号", "姓名", "班级", "分数"};
        for (int c = 0; c < 4; ++c) ws.SetValueAt(1, c + 1, host::Variant(titles[c]));
        std::vector<int> cls = ClassesOf(n, mix, dice);
        for (int i = n - 1; i > 0; --i) std::swap(cls[size_t(i)], cls[dice.Next() % uint32_t(i + 1)]);
        for (int i = 0; i < n; ++i) {
            ws.SetValueAt(i + 2, 1, host::Variant(i + 1));
            ws.SetValueAt(i + 2, 2, host::Variant("考生" + std::to_string(i + 1)));
            ws.SetValueAt(i + 2, 3, host::Variant(std::to_string(cls[size_t(i)]) + "班"));
            ws.SetValueAt(i + 2, 4, host::Variant(dice.Between(0, 750)));
        }
    }

    // Room table from H1 over all R rooms; this grade's rooms have their
    // candidates spread over the groups as evenly as possible.
    void AddSettings(const std::string& name, int16_t groups, int rooms, int firstRoom, const std::vector<int>& totals) {
        host::Worksheet& ws = roster.Worksheets().Add(&roster.Sheet(roster.SheetCount()));
        ws.SetName(workbook::SettingsSheetNameFor(name));
        const int32_t first = 8, last = first + groups + 1;
        ws.SetValueAt(1, first, host::Variant("场号"));
        for (int g = 1; g <= groups; ++g) ws.SetValueAt(1, first + g, host::Variant(std::to_string(g) + "组人数"));
        ws.SetValueAt(1, last, host::Variant("场人"));
        auto& mine = layout[name];
        for (int k = 1; k <= rooms; ++k) {
            ws.SetValueAt(k + 1, first, host::Variant(k));
            const int index = k - firstRoom;
            const int total = index >= 0 && index < int(totals.size()) ? totals[size_t(index)] : 0;
            std::vector<int> counts(static_cast<size_t>(groups));
            for (int g = 0; g < groups; ++g) counts[size_t(g)] = total / groups + (g < total % groups ? 1 : 0);
            for (int g = 0; g < groups; ++g) ws.SetValueAt(k + 1, first + g + 1, host::Variant(counts[size_t(g)]));
            ws.SetValueAt(k + 1, last, host::Variant(total));
            if (total > 0) mine.push_back({k, counts});
        }
        ws.Protect(std::string(workbook::kSheetPassword));
    }
};

// Same-class pairs on the desk grids, from the room, seat and class columns
// the run wrote (S-shaped: even grid columns run from the back).
struct Pairs {
    long leftRight = 0, frontBack = 0;
};

Pairs CountPairs(const World& w, bool sShaped) {
    Pairs p;
    for (host::Worksheet* ws : workbook::RosterSheets(w.roster)) {
        const auto& rooms = w.layout.at(ws->Name());
        // room number → seat → class
        std::map<int, std::map<int, std::string>> seats;
        const int32_t last = ws->UsedRect().bottom;
        for (int32_t r = 2; r <= last; ++r)
            seats[int(host::ToNumber(ws->ValueAt(r, 5)))][int(host::ToNumber(ws->ValueAt(r, 6)))] =
                host::ToText(ws->ValueAt(r, 3));
        for (const auto& [roomNumber, counts] : rooms) {
            const auto& bySeat = seats[roomNumber];
            int positions = 0;
            for (int n : counts) positions = std::max(positions, n);
            std::vector<std::vector<std::string>> grid;  // [column][position]
            int seat = 1;
            for (int n : counts) {
                if (n == 0) continue;
                std::vector<std::string> column(static_cast<size_t>(positions));
                const bool reversed = sShaped && grid.size() % 2 == 1;
                for (int b = 0; b < n; ++b) {
                    auto it = bySeat.find(seat++);
                    column[size_t(reversed ? n - 1 - b : b)] = it == bySeat.end() ? "" : it->second;
                }
                grid.push_back(std::move(column));
            }
            for (size_t k = 0; k < grid.size(); ++k)
                for (size_t e = 0; e < size_t(positions); ++e) {
                    const std::string& c = grid[k][e];
                    if (c.empty()) continue;
                    if (k + 1 < grid.size() && grid[k + 1][e] == c) ++p.leftRight;
                    if (e + 1 < size_t(positions) && grid[k][e + 1] == c) ++p.frontBack;
                }
        }
    }
    return p;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double PeakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

}  // namespace

// DIR/花名册.xlsx and DIR/系统.xlsx, the roster named by the system's K1/L1.
int SaveFiles(const std::string& dir) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/花名册.xlsx") << "placeholder";
    World w({3, 10000, 7}, dir, 1);
    w.roster.Save();
    w.system.SaveAs(dir + "/系统.xlsx");
    std::printf("TOLM_SYSTEM=%s/系统.xlsx tolm arrange --order random --desks s\n", dir.c_str());
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--save") return SaveFiles(argv[2]);
    const uint32_t seed = argc > 1 ? uint32_t(std::strtoul(argv[1], nullptr, 10)) : 1;
    const std::string filter = argc > 2 ? argv[2] : "";
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("tolm-bench-arrangement-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "花名册.xlsx") << "placeholder";  // the run only asks whether the file exists
    host::TextCollation::Get(false);

    // Each unbalanced sheet next to a balanced one of the same size. A class
    // holds at most 32,767 candidates: one class of 45,000 would be refused,
    // and 45,000 split 9 : 1 is capped to the 3 : 1 sheet.
    const Config configs[] = {
        {3, 1000, 6},
        {3, 10000, 7},
        {10, 30000, 8},
        {1, 30000, 8},
        {1, 30000, 8, Mix::One},
        {1, 30000, 8, Mix::Two},
        {1, 30000, 8, Mix::TwoSkewed},
        {1, 30000, 8, Mix::Dominant},
        {1, 45000, 8},
        {1, 45000, 8, Mix::Two},
        {1, 45000, 8, Mix::Dominant},
    };
    std::printf("%-18s %-6s %9s %9s %9s %12s %12s  %s\n", "candidates", "order", "seconds", "cpu s", "peak MB",
                "LR/1000", "FB/1000", "message");
    for (const Config& c : configs) {
        const std::string size = Label(c);
        if (size.find(filter) == std::string::npos) continue;
        for (const bool random : {true, false}) {
            World w(c, folder.string(), seed);
            arrangement::ArrangementOptions o;
            o.ordering = random ? arrangement::Ordering::Random : arrangement::Ordering::Ascending;
            o.sortKey = "分数";
            o.firstNumberText = "1";
            o.columnTitle = std::string(workbook::kNoneEntry);
            o.numberingByCounter = true;
            o.sequentialDesks = false;
            const auto t0 = std::chrono::steady_clock::now();
            const double cpu0 = CpuSeconds();
            arrangement::RunArrangement(w.component.Context(), o);
            const double cpu = CpuSeconds() - cpu0;
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            const Pairs p = CountPairs(w, true);
            const double thousands = double(c.grades) * c.perGrade / 1000.0;
            std::printf("%-18s %-6s %9.3f %9.3f %9.1f %12.2f %12.2f  %s\n", size.c_str(), random ? "random" : "asc",
                        seconds, cpu, PeakMegabytes(), double(p.leftRight) / thousands, double(p.frontBack) / thousands,
                        w.toolkit.last.c_str());
            std::fflush(stdout);
        }
    }
    fs::remove_all(folder);
    return 0;
}
