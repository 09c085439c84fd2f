#include "cli/RevisionListing.h"

#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/OneLineText.h"
#include "host/Worksheet.h"
#include "workbook/SystemWorkbook.h"

namespace cli {


void PrintRevisionSheet(const host::Workbook& system, std::ostream& out) {
    const host::Worksheet* revision = workbook::SheetByCodeName(system, workbook::kRevisionSheet);
    if (!revision) return;
    out << "修改意见（系统工作簿的工作表“" << revision->Name() << "”）：\n";
    const auto& rows = revision->RowsData();
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string line;
        int32_t col = 1;
        size_t shownUpTo = 0;  // length of `line` through the last non-empty cell
        for (const host::Cell& c : rows[i].cells) {
            for (; col < c.col; ++col) line += col == 1 ? "" : " | ";
            if (c.col > 1) line += " | ";
            line += OneLineText(c.value);
            if (!c.value.IsEmpty()) shownUpTo = line.size();
            col = c.col + 1;
        }
        if (shownUpTo) out << (i + 1) << "  " << line.substr(0, shownUpTo) << '\n';
    }
}

int ReportOutcome(CommandContext& ctx, const workbook::Outcome& outcome) {
    if (outcome.revisionReport && ctx.systemWorkbook) PrintRevisionSheet(*ctx.systemWorkbook, ctx.out);
    return ExitCodeOf(outcome);
}

}  // namespace cli
