#pragma once
// "打开 (&O)" of the Settings window: the user picks the roster workbook,
// which is opened in the host and remembered in K1 (folder) and L1 (file
// name) of the parameter sheet.
#include <functional>
#include <string>

#include "workbook/Outcome.h"

namespace workbook {
struct Context;
}
namespace host {
class Workbook;
}

namespace settings {

// The folder the dialog opens in: "花名册" beside the system workbook.
std::string DefaultRosterFolder(const host::Workbook& system);

// Creates the default folder when missing, asks for a file, opens it and
// stores its place, then hands the workbook to `showRosterInfo`. Cancelling
// changes nothing; a workbook of the same file name open from another folder
// is refused with a message and K1/L1 keep their values (both stopped). The
// previous roster workbook stays open.
workbook::Outcome ChooseRosterWorkbook(const workbook::Context& ctx,
                                       const std::function<void(host::Workbook&)>& showRosterInfo);

}  // namespace settings
