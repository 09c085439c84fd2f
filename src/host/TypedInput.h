#pragma once
// What a cell holds after a user typed a text into it, as the host reads
// typed input: "=…" is a formula, a leading apostrophe forces text, numbers
// (with thousands separators and a trailing %) and TRUE/FALSE and error names
// become values of their type, anything else stays text. In a text-formatted
// ("@") cell everything stays text. Text longer than kMaxCellTextLength is
// refused with a HostError that names the limit.
#include <string>
#include <string_view>

#include "host/Variant.h"

namespace host {

// The most characters (UTF-16 code units, as the host counts them) a cell's
// text may hold when typed. Files may carry longer text; the reader keeps it
// whole and the writer writes it whole, so nothing is cut without a word.
constexpr size_t kMaxCellTextLength = 32767;

// The length of UTF-8 text in UTF-16 code units.
size_t Utf16Length(std::string_view utf8);

struct TypedEntry {
    bool isFormula = false;
    std::string formula;  // A1 form without the leading "="
    Variant value;        // empty for a formula and for empty text
};

TypedEntry ParseTypedEntry(std::string_view text, bool textFormat);

}  // namespace host
