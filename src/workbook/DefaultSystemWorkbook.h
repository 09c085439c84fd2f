#pragma once
// The system workbook the tool starts from when none exists yet.
#include <string>

namespace host {
class Application;
class Workbook;
}  // namespace host

namespace workbook {

// ~/考场编排/考场编排系统.xlsx (the current folder when HOME is not set).
std::string DefaultSystemWorkbookPath();

// Builds the default system workbook in the application, saves it as
// `fullName` (creating its folder) and leaves it open and active:
//   Sheet1 front sheet      title, what to do, protected, scroll area F6
//   Sheet2 parameter sheet  template options titles A1:G1, parameters K2:K12
//   Sheet3 revision sheet   empty
//   Sheet4 template image   empty
// The service sheets are very hidden. When saving fails the new workbook is
// closed again and the FileError travels on; no file is left behind.
host::Workbook& CreateDefaultSystemWorkbook(host::Application& app, const std::string& fullName);

}  // namespace workbook
