#pragma once
// The golden dump: a stable text form of a workbook, one line per fact, that
// tests compare against expectations.
#include <string>

namespace host {
class Workbook;
std::string Dump(const Workbook& wb);
}  // namespace host
