#pragma once
// What a cell holds after a user typed a text into it, as the host reads
// typed input: "=…" is a formula, a leading apostrophe forces text, numbers
// (with thousands separators and a trailing %) and TRUE/FALSE and error names
// become values of their type, anything else stays text. In a text-formatted
// ("@") cell everything stays text.
#include <string>
#include <string_view>

#include "host/Variant.h"

namespace host {

struct TypedEntry {
    bool isFormula = false;
    std::string formula;  // A1 form without the leading "="
    Variant value;        // empty for a formula and for empty text
};

TypedEntry ParseTypedEntry(std::string_view text, bool textFormat);

}  // namespace host
