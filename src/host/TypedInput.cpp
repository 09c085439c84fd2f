#include "host/TypedInput.h"

#include "host/HostError.h"

namespace host {

namespace {
bool EqualsAsciiUpper(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != upper[i]) return false;
    }
    return true;
}
}  // namespace

TypedEntry ParseTypedEntry(std::string_view text, bool textFormat) {
    TypedEntry e;
    if (text.empty()) return e;
    if (textFormat) {
        e.value = Variant(text);
        return e;
    }
    if (text.front() == '=') {
        if (text.size() == 1) throw HostError("输入的公式有误");
        e.isFormula = true;
        e.formula = std::string(text.substr(1));
        return e;
    }
    if (text.front() == '\'') {
        e.value = Variant(text.substr(1));
        return e;
    }
    double d;
    CellError err;
    if (ParseTypedNumber(text, d)) e.value = Variant(d);
    else if (EqualsAsciiUpper(text, "TRUE")) e.value = Variant::Boolean(true);
    else if (EqualsAsciiUpper(text, "FALSE")) e.value = Variant::Boolean(false);
    else if (ErrorFromText(text, err)) e.value = Variant::Error(err);
    else e.value = Variant(text);
    return e;
}

}  // namespace host
