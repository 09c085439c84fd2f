#pragma once
#include <string>

#include "host/Variant.h"

namespace cli {

// A cell's text on one terminal line: TAB and line feeds shown as \t and \n.
inline std::string OneLineText(const host::Variant& v) {
    std::string out;
    for (char c : host::ToText(v)) {
        if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c != '\r') out += c;
    }
    return out;
}

}  // namespace cli
