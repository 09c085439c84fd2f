#pragma once
// The revision sheet ("修改意见", code name Sheet3 of the system workbook) as
// the command line shows it after statistics and maintenance: one line per
// non-empty row, "ROW  cell | cell | …", trailing empty cells left out and
// TABs shown as \t.
#include <iosfwd>

namespace host {
class Workbook;
}
namespace workbook {
struct Outcome;
}

namespace cli {

struct CommandContext;

void PrintRevisionSheet(const host::Workbook& system, std::ostream& out);

// The exit code of a window action's outcome, after printing the revision
// sheet when the action wrote its findings there.
int ReportOutcome(CommandContext& ctx, const workbook::Outcome& outcome);

}  // namespace cli
