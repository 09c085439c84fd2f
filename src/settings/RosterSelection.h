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

// The host writes .xlsx only, so a roster chosen in another format (.xls,
// .ods, .csv) is saved as the .xlsx beside it, which then is the roster the
// parameter cells name; the original file is left as it is. With `ask` (the
// window) the user is asked first and asked again before an existing .xlsx
// of that name is replaced. Without it (the command line, whose user named
// the file) the conversion runs and is reported, and an existing .xlsx is
// refused with a FileError naming it. Returns the .xlsx written; empty when
// nothing was written, with `outcome` saying why.
std::string SaveForeignRoster(const workbook::Context& ctx, const std::string& file, bool ask, workbook::Outcome& outcome);

}  // namespace settings
