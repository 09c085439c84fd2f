#include "host/xlsx/WriterXml.h"

#include <charconv>
#include <cctype>
#include <cmath>

namespace host::xlsx {

namespace {

// Length of the well-formed UTF-8 sequence at s[i] (2–4), or 0 when the bytes
// there are no such sequence (stray continuation, overlong form, surrogate,
// beyond U+10FFFF, truncated).
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    auto at = [&](size_t k) -> unsigned { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u; };
    auto cont = [&](size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) { unsigned c = at(k); return c >= lo && c <= hi; };
    unsigned c = at(0);
    if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
    if (c == 0xE0) return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if (c == 0xED) return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (c >= 0xE1 && c <= 0xEF) return cont(1) && cont(2) ? 3 : 0;
    if (c == 0xF0) return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (c >= 0xF1 && c <= 0xF3) return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (c == 0xF4) return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

// U+FFFE and U+FFFF are well-formed UTF-8 but not XML characters.
bool IsNonCharacter(std::string_view s, size_t i) {
    return static_cast<unsigned char>(s[i]) == 0xEF && static_cast<unsigned char>(s[i + 1]) == 0xBF &&
           (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE;
}

}  // namespace

void XmlBuffer::Escape(std::string_view s, bool attribute, bool xstring) {
    auto hexEscape = [&](unsigned cp) {
        static const char kHex[] = "0123456789ABCDEF";
        char e[7] = {'_', 'x', kHex[(cp >> 12) & 15], kHex[(cp >> 8) & 15], kHex[(cp >> 4) & 15], kHex[cp & 15], '_'};
        buf_.append(e, 7);
    };
    size_t run = 0;  // start of the pending span copied unchanged
    auto flush = [&](size_t end) {
        if (end > run) buf_.append(s.data() + run, end - run);
    };
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            size_t n = Utf8SequenceLength(s, i);
            if (n == 0 || (n == 3 && IsNonCharacter(s, i))) {
                flush(i);
                if (n && xstring) hexEscape(0xFFFE | (static_cast<unsigned char>(s[i + 2]) & 1));
                i += n ? n : 1;
                run = i;
            } else {
                i += n;
            }
            continue;
        }
        const char* rep = nullptr;
        switch (c) {
            case '<': rep = "&lt;"; break;
            case '>': rep = "&gt;"; break;
            case '&': rep = "&amp;"; break;
            case '"': rep = attribute ? "&quot;" : nullptr; break;
            case '\t': rep = attribute ? "&#9;" : nullptr; break;
            case '\n': rep = attribute ? "&#10;" : nullptr; break;
            case '\r': rep = "&#13;"; break;  // a raw CR is folded into the following LF by readers
            default:
                if (c < 0x20) {
                    flush(i);
                    if (xstring) hexEscape(c);
                    run = ++i;
                    continue;
                }
        }
        if (rep) {
            flush(i);
            buf_.append(rep);
            run = i + 1;
        }
        ++i;
    }
    flush(s.size());
}

XmlBuffer& XmlBuffer::Text(std::string_view s) {
    Escape(s, false);
    return *this;
}

namespace {
bool IsEscapePattern(std::string_view s, size_t i) {
    if (i + 7 > s.size() || s[i] != '_' || s[i + 1] != 'x' || s[i + 6] != '_') return false;
    for (size_t k = i + 2; k < i + 6; ++k)
        if (!std::isxdigit(static_cast<unsigned char>(s[k]))) return false;
    return true;
}
}  // namespace

void XmlBuffer::EscapeXstring(std::string_view s, bool attribute) {
    size_t start = 0;
    for (size_t i = s.find('_'); i != std::string_view::npos; i = s.find('_', i + 1)) {
        if (!IsEscapePattern(s, i)) continue;
        Escape(s.substr(start, i - start), attribute, true);
        buf_.append("_x005F_");
        start = i + 1;
    }
    Escape(s.substr(start), attribute, true);
}

XmlBuffer& XmlBuffer::CellText(std::string_view s) {
    EscapeXstring(s, false);
    return *this;
}

XmlBuffer& XmlBuffer::AttrEscaped(std::string_view name, std::string_view value) {
    OpenAttr(name);
    EscapeXstring(value, true);
    return Char('"');
}

XmlBuffer& XmlBuffer::AttrValue(std::string_view s) {
    Escape(s, true);
    return *this;
}

void XmlBuffer::OpenAttr(std::string_view name) {
    buf_.push_back(' ');
    buf_.append(name);
    buf_.append("=\"");
}

XmlBuffer& XmlBuffer::Attr(std::string_view name, std::string_view value) {
    OpenAttr(name);
    Escape(value, true);
    return Char('"');
}

XmlBuffer& XmlBuffer::Attr(std::string_view name, int64_t value) {
    OpenAttr(name);
    return Int(value).Char('"');
}

XmlBuffer& XmlBuffer::AttrNumber(std::string_view name, double value) {
    OpenAttr(name);
    return Number(value).Char('"');
}

XmlBuffer& XmlBuffer::Int(int64_t v) {
    char tmp[24];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    buf_.append(tmp, r.ptr);
    return *this;
}

XmlBuffer& XmlBuffer::Number(double v) {
    char tmp[32];
    if (v == 0) v = 0;  // -0 is written as 0: readers disagree about "-0"
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    buf_.append(tmp, r.ptr);
    return *this;
}

bool NeedsSpacePreserve(std::string_view s) {
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return !s.empty() && (space(s.front()) || space(s.back()));
}

std::string FormatNumber(double v) {
    XmlBuffer b;
    b.Number(v);
    return b.Take();
}

}  // namespace host::xlsx
