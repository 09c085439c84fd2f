#pragma once
// The revision sheet ("修改意见", code name Sheet3 of the system workbook) as
// the command line shows it after statistics and maintenance: one line per
// non-empty row, "ROW  cell | cell | …", trailing empty cells left out and
// TABs shown as \t.
#include <iosfwd>

namespace host {
class Workbook;
}

namespace cli {

void PrintRevisionSheet(const host::Workbook& system, std::ostream& out);

}  // namespace cli
