#pragma once
// Rosters in formats the host reads but does not write (.xls, .ods, .csv):
// each becomes the .xlsx of the same name beside it, which is then the
// roster the parameter cells name; the original file is left as it is.
#include <string>

#include "workbook/Outcome.h"

namespace workbook {

struct Context;

// The host's refusal of a second workbook of an open workbook's file name.
inline constexpr const char* kSameNameRefusal =
    "不能同时打开同名文件，无论它们是否在同一文件夹中， 要打开第二份文档，请关闭已经打开的文档，"
    "或者重新命名其中的一个文档。";

// Saves `file` as the .xlsx beside it. With `ask` (the windows) the user is
// asked first, and asked again before an existing .xlsx of that name is
// replaced. Without it (the command line, whose user named the file) the
// conversion runs and is reported, and an existing .xlsx is refused with a
// FileError naming it. Returns the .xlsx written; empty when nothing was
// written, with `outcome` saying why (the user has been told).
std::string SaveForeignRoster(const Context& ctx, const std::string& file, bool ask, Outcome& outcome);

// A roster that K1/L1 name in another format (recorded before the host read
// such files) is saved as .xlsx after asking, and K1/L1 then name the .xlsx.
// False when the user declined or it could not be saved (the user was told);
// true when K1/L1 name an .xlsx roster, a missing file or none.
bool AdoptForeignRoster(const Context& ctx);

}  // namespace workbook
