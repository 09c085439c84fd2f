#pragma once
// The shared-string table, streamed: one plain text per <si>, rich-text runs
// joined, phonetic guides (<rPh>) left out.
#include <string>
#include <vector>

namespace host::xlsx {

class ZipSource;

std::vector<std::string> ReadSharedStrings(ZipSource& zip, const std::string& part);

}  // namespace host::xlsx
