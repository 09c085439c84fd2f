#pragma once
// The package as a whole: finds the workbook part through the package
// relationships, then reads styles, shared strings, each worksheet with its
// drawing, the defined names and the macro project, in the order the sink
// interface documents.
#include <string>
#include <vector>

namespace host::xlsx {

class WorkbookSink;
class ZipSource;

void ReadPackage(ZipSource& zip, WorkbookSink& sink);

// "'My Sheet'!$A$1:$B$2,'My Sheet'!$D$1" → "$A$1:$B$2,$D$1": the areas of a
// name's formula without their sheet qualifiers.
std::vector<std::string> UnqualifiedAreas(const std::string& formula);

}  // namespace host::xlsx
