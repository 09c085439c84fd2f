#pragma once
// "生成表格 (&T)" of the Exam-tables window: the options stored for the
// template, the roster found and validated, the template parsed and checked,
// its cleaned image built on the template image sheet (Sheet4), and the
// tables generated into a new exam-table workbook by one of four variants:
//
//   first body row is     partition TAB+"场号" and     variant
//   column titles         sort TAB+"座号"
//   ticked                yes                          seating charts with column-title row
//   ticked                no                           partition-and-sort with column-title row
//   not ticked            yes                          seating charts without column-title row
//   not ticked            no                           partition-and-sort without column-title row
//
// Every check stops the command with its message before anything is
// generated; the roster workbook is never changed.
#include <string>
#include <vector>

#include "tables/TemplateOptions.h"
#include "workbook/Outcome.h"

namespace workbook {
struct Context;
}

namespace tables {

struct TablesRequest {
    std::string templateName;    // the selected template; empty when none
    TemplateOptions options;     // as the window shows them
    bool sequentialDesks = false;  // the arrangement's desk order (K12 = 1) as the window read it
};

// The field lists as step 5 refilled them: item 0 the none entry, then the
// roster's common column titles; the indices of the re-selected fields (-1
// when not found). Empty items when the command stopped before the refill.
struct FieldListsRefill {
    std::vector<std::string> items;
    int partitionIndex = -1;
    int sortIndex = -1;
};

// Done with the saved workbook in `saved`; Stopped at a check, or when the
// generation failed (the user is told where, and the half-built workbook is
// closed unsaved).
workbook::Outcome GenerateTables(const workbook::Context& ctx, const TablesRequest& request, FieldListsRefill* refill);

}  // namespace tables
