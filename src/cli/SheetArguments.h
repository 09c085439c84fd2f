#pragma once
// Sheet names and cell addresses as the command line takes them.
#include <stdexcept>
#include <string>

namespace host {
class Workbook;
class Worksheet;
}  // namespace host

namespace cli {

// A sheet name as typed: "\t" stands for the TAB of the system's own names
// ("高一\t设置"); a real TAB is taken as it is.
std::string SheetNameArgument(const std::string& typed);

// The same with TABs shown as "\t", for output.
std::string ShownSheetName(const std::string& name);

// The sheet of that name (host rules: without regard to case), hidden ones
// included. Throws SheetNotFound naming the file and the sheets it has.
host::Worksheet& SheetArgument(host::Workbook& wb, const std::string& typed);

class SheetNotFound : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace cli
