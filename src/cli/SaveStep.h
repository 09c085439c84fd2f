#pragma once
// The save step after a command. Every workbook the command left changed is
// written and reported as "已保存：PATH":
//   opened from disk (has a Path)   saved in place
//   the system workbook             saved when its cells changed, or when it
//                                   has no file yet (created from the default)
//   new (no Path)                   saved into the out folder as Name + ".xlsx";
//                                   an existing file there is never replaced,
//                                   the name gets " (2)", " (3)" … instead
// Each save goes through a temporary file renamed over the target.
#include <string>
#include <vector>

namespace cli {

struct CommandContext;

// The folder new workbooks go to: --out, else the roster workbook's folder
// (parameter cell K1 of the system workbook, when that folder exists), else
// the current folder.
std::string OutFolder(const CommandContext& ctx);

// Saves as described above and returns the files written, in the order of
// the host's workbook list. Throws host::FileError on the first failure.
std::vector<std::string> SaveChangedWorkbooks(CommandContext& ctx);

}  // namespace cli
