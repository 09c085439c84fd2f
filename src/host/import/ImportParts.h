#pragma once
// What the readers of foreign formats share: the few cell formats they give
// the sink, dates as serial numbers, and the sheet's limits.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/xlsx/ReaderSink.h"

namespace host::import {

// Indices of the formats DeclareFormats gives the sink.
enum ImportedXf : uint32_t { kGeneralXf = 0, kDateXf, kDateTimeXf, kTimeXf, kPercentXf };

void DeclareFormats(xlsx::WorkbookSink& sink);

// "2010-01-01", "2010-01-01 08:30:00", "2010-01-01T08:30:00" and "08:30:00"
// as a date serial of the 1900 system; `xf` gets the matching format. False
// for any other text.
bool DateTextToSerial(std::string_view text, double& serial, uint32_t& xf);

inline constexpr int32_t kMaxRows = 1048576;
inline constexpr int32_t kMaxColumns = 16384;

// A sheet name the host accepts, made from any text: the characters it
// forbids become "_", apostrophes at either end go, at most 31 characters.
std::string SheetNameFrom(std::string_view text);

// Readers by format; each throws FileError naming `path`.
void ReadXls(const std::string& path, xlsx::WorkbookSink& sink);
void ReadOds(const std::string& bytes, const std::string& path, xlsx::WorkbookSink& sink);
void ReadCsv(const std::string& bytes, const std::string& path, xlsx::WorkbookSink& sink);

// CSV text as UTF-8: a UTF-8 byte-order mark is dropped; valid UTF-8 stays as
// it is; anything else is read as GB18030. Throws HostError when the bytes are
// neither.
std::string CsvTextAsUtf8(std::string_view bytes);

}  // namespace host::import
