#pragma once
// Test seam of the packager: a function told of each stage of a save, so a
// test can make a save fail part-way and check that the old file survives.
#include <string>

namespace host::xlsx {

// Stages: the package path of each generated part just before it is produced
// ("xl/worksheets/sheet2.xml"), then "write" before the temporary file is
// written and "rename" before it replaces the target. An exception thrown
// by the hook fails the save like any other error. Null switches it off.
using SaveStageHook = void (*)(const std::string& stage);
void SetSaveStageHook(SaveStageHook hook);

// Test seam: false makes saves write a named temporary file, as they do
// where the file system has no unnamed ones (O_TMPFILE). True by default.
void SetUnnamedTemporaryFiles(bool allowed);

// Deflate level of the XML parts (1 fastest … 9 smallest).
inline constexpr int kDeflateLevel = 1;

}  // namespace host::xlsx
