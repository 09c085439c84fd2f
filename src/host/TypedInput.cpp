#include "host/TypedInput.h"

#include <string>

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
Variant TextValue(std::string_view text) {
    if (text.size() > kMaxCellTextLength && Utf16Length(text) > kMaxCellTextLength)
        throw HostError("单元格中的文本不能超过 32767 个字符（输入了 " + std::to_string(Utf16Length(text)) + " 个）");
    return Variant(text);
}
}  // namespace

size_t Utf16Length(std::string_view utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++n;  // each character once …
        if (c >= 0xF0) ++n;           // … and a second unit beyond the BMP
    }
    return n;
}

TypedEntry ParseTypedEntry(std::string_view text, bool textFormat) {
    TypedEntry e;
    if (text.empty()) return e;
    if (textFormat) {
        e.value = TextValue(text);
        return e;
    }
    if (text.front() == '=') {
        if (text.size() == 1) throw HostError("输入的公式有误");
        e.isFormula = true;
        e.formula = std::string(text.substr(1));
        return e;
    }
    if (text.front() == '\'') {
        e.value = TextValue(text.substr(1));
        return e;
    }
    double d;
    CellError err;
    if (ParseTypedNumber(text, d)) e.value = Variant(d);
    else if (EqualsAsciiUpper(text, "TRUE")) e.value = Variant::Boolean(true);
    else if (EqualsAsciiUpper(text, "FALSE")) e.value = Variant::Boolean(false);
    else if (ErrorFromText(text, err)) e.value = Variant::Error(err);
    else e.value = TextValue(text);
    return e;
}

}  // namespace host
