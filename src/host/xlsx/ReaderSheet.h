#pragma once
// A worksheet part, streamed through expat into a SheetSink: the sheet's XML
// is never held whole, cells reach the sink as they are parsed.
#include <string>
#include <vector>

#include "host/KeptXml.h"

namespace host::xlsx {

class SheetSink;
class ZipSource;

struct SheetContext {
    const std::vector<std::string>* sharedStrings = nullptr;
    bool date1904 = false;  // for cells of type "d" (ISO 8601 dates)
};

struct SheetExtras {
    std::string drawingId;  // relationship id of the sheet's <drawing>, empty when it has none
    KeptSheet kept;         // the elements the model does not hold (relationships and drawing not yet filled)
};

SheetExtras ReadSheet(ZipSource& zip, const std::string& part, const SheetContext& context, SheetSink& sink);

// "&L左&C中&R右" → the three sections; text before any section code is the centre.
// Codes other than &L, &C and &R ("&P", "&&", "&\"宋体,常规\"") stay in the text.
void SplitHeaderFooter(const std::string& text, std::string& left, std::string& center, std::string& right);

// "2026-12-08T01:06:08" → the date serial number (fractional days); false when not such a date.
bool IsoDateToSerial(const std::string& text, bool date1904, double& serial);

}  // namespace host::xlsx
