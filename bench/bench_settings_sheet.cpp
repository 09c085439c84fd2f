// Building settings sheets and the survey that decides whether they still fit.
// Prints milliseconds per build for a few shapes (G desk groups, R rooms,
// F extra fields) and per survey of a roster workbook of 3 grades.
//
//   bench_settings_sheet [REPEATS]     (default: 20)
#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>

#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "settings/SaveParameters.h"
#include "settings/SettingsSheet.h"

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

void BenchBuild(int repeats, settings::SettingsSheetShape shape) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) settings::BuildSettingsSheet(&wb.Sheet(1), shape);
    auto end = Clock::now();
    std::printf("build G=%d R=%d F=%d: %.2f ms\n", shape.deskGroups, shape.rooms, shape.extraFields,
                Millis(start, end) / repeats);
}

void BenchSurvey(int repeats) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    const char* grades[] = {"高一", "高二", "高三"};
    wb.Sheet(1).SetName(grades[0]);
    for (int g = 1; g < 3; ++g) wb.Worksheets().Add(&wb.Sheet(wb.SheetCount())).SetName(grades[g]);
    const settings::ExamParameters p{4, 1, 30, 2};
    for (const char* g : grades) settings::AddSettingsSheet(wb, g, p.Shape());
    auto start = Clock::now();
    int fitting = 0;
    for (int i = 0; i < repeats; ++i) fitting += settings::SurveyRosterWorkbook(wb, p).mismatchText.empty();
    auto end = Clock::now();
    std::printf("survey of 3 grades: %.2f ms (%d of %d fit)\n", Millis(start, end) / repeats, fitting, repeats);
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    BenchBuild(repeats, {2, 3, 0});
    BenchBuild(repeats, {8, 100, 65});
    BenchBuild(repeats, {12, 500, 200});
    BenchSurvey(repeats);
    return 0;
}
