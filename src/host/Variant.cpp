#include "host/Variant.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/HostError.h"

#include <unicode/unistr.h>

#include <cstring>

namespace host {

namespace {
constexpr const char* kErrorNames[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A", "#GETTING_DATA"};

bool IsSkippedSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
}  // namespace

const char* ErrorText(CellError e) { return kErrorNames[static_cast<int>(e)]; }

bool ErrorFromText(std::string_view text, CellError& out) {
    for (int i = 0; i < 8; ++i) {
        if (text == kErrorNames[i]) {
            out = static_cast<CellError>(i);
            return true;
        }
    }
    return false;
}

std::string NumberToText(double d) {
    if (d == 0) return "0";
    if (std::isnan(d)) return "#NUM!";
    if (std::isinf(d)) return d > 0 ? "1.79769313486232E+308" : "-1.79769313486232E+308";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    std::string s(buf);
    // Strip trailing zeros of the mantissa and a leading zero of the exponent pad
    // ("1.5E+020" does not happen with %G, but "1E+015" forms do on some libcs).
    auto e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string exp = e == std::string::npos ? "" : s.substr(e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0') mant.pop_back();
        if (!mant.empty() && mant.back() == '.') mant.pop_back();
    }
    if (!exp.empty()) {
        // Normalise to the host's E+15 / E-05 form: sign then at least two digits.
        char sign = exp.size() > 1 ? exp[1] : '+';
        std::string digits = exp.substr(2);
        while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
        if (digits.size() < 2) digits.insert(0, "0");
        exp = std::string("E") + sign + digits;
    }
    return mant + exp;
}

std::string ToText(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty: return {};
        case VarType::Number: return NumberToText(v.Number());
        case VarType::Text: return v.Text();
        case VarType::Boolean: return v.BooleanValue() ? "TRUE" : "FALSE";
        case VarType::Error: return ErrorText(v.ErrorValue());
    }
    return {};
}

double Val(std::string_view text) {
    std::string digits;  // the usable characters, spaces removed
    size_t i = 0;
    auto skip = [&] { while (i < text.size() && IsSkippedSpace(text[i])) ++i; };
    skip();
    if (i + 1 < text.size() && text[i] == '&') {
        char p = text[i + 1];
        int base = (p == 'H' || p == 'h') ? 16 : (p == 'O' || p == 'o') ? 8 : 0;
        if (base) {
            i += 2;
            uint64_t n = 0;
            int count = 0;
            for (; i < text.size(); ++i) {
                char c = text[i];
                if (IsSkippedSpace(c)) continue;
                int d = (c >= '0' && c <= '9') ? c - '0'
                        : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
                if (d >= base) break;
                n = n * base + d;
                if (++count > 22 || n > 0xFFFFFFFFull) return 0;  // the host overflows here
            }
            // Up to 16 bits the literal is a 16-bit integer, else a 32-bit one.
            if (n <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(n));
            return static_cast<int32_t>(static_cast<uint32_t>(n));
        }
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) digits += text[i++];
    bool seenDot = false, seenDigit = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (IsSkippedSpace(c)) continue;
        if (c >= '0' && c <= '9') { digits += c; seenDigit = true; continue; }
        if (c == '.' && !seenDot) { digits += c; seenDot = true; continue; }
        break;
    }
    if (seenDigit && i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::string exp = "e";
        size_t j = i + 1;
        while (j < text.size() && IsSkippedSpace(text[j])) ++j;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp += text[j++];
        bool expDigit = false;
        for (; j < text.size(); ++j) {
            char c = text[j];
            if (IsSkippedSpace(c)) continue;
            if (c >= '0' && c <= '9') { exp += c; expDigit = true; continue; }
            break;
        }
        if (expDigit) digits += exp;
    }
    if (!seenDigit) return 0;
    double d = std::strtod(digits.c_str(), nullptr);
    return std::isfinite(d) ? d : 0;
}

double ToNumber(const Variant& v) {
    if (v.IsNumber()) return v.Number();
    return Val(ToText(v));
}

namespace {
double RoundHalfEven(double d) {
    double r = std::nearbyint(d);  // the default rounding mode rounds ties to even
    if (std::fegetround() != FE_TONEAREST) {
        double f = std::floor(d), diff = d - f;
        r = diff < 0.5 ? f : diff > 0.5 ? f + 1 : (std::fmod(f, 2) == 0 ? f : f + 1);
    }
    return r;
}
}  // namespace

int16_t ToInt16(double d) {
    double r = RoundHalfEven(d);
    if (!(r >= -32768 && r <= 32767)) throw HostError("溢出");
    return static_cast<int16_t>(r);
}

int32_t ToInt32(double d) {
    double r = RoundHalfEven(d);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw HostError("溢出");
    return static_cast<int32_t>(r);
}

int16_t ToInt16(const Variant& v) { return ToInt16(ToNumber(v)); }
int32_t ToInt32(const Variant& v) { return ToInt32(ToNumber(v)); }

namespace {
// Whole text (after trimming) as a decimal number with optional sign,
// thousands commas before the point, point, exponent.
bool ParseDecimal(std::string_view s, double& out, bool allowCommas) {
    size_t b = 0, e = s.size();
    while (b < e && IsSkippedSpace(s[b])) ++b;
    while (e > b && IsSkippedSpace(s[e - 1])) --e;
    s = s.substr(b, e - b);
    if (s.empty()) return false;
    std::string clean;
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-') clean += s[i++];
    bool digit = false, dot = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') { clean += c; digit = true; }
        else if (c == ',' && allowCommas && !dot && digit) {}
        else if (c == '.' && !dot) { clean += c; dot = true; }
        else break;
    }
    if (!digit) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        clean += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean += s[i++];
        bool ed = false;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) { clean += s[i]; ed = true; }
        if (!ed) return false;
    }
    if (i != s.size()) return false;
    double d = std::strtod(clean.c_str(), nullptr);
    if (!std::isfinite(d)) return false;
    out = d;
    return true;
}
}  // namespace

bool IsNumeric(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty:  // the host's IsNumeric(Empty) is True
        case VarType::Number:
        case VarType::Boolean: return true;
        case VarType::Error: return false;
        case VarType::Text: {
            double d;
            const std::string& t = v.Text();
            size_t b = t.find_first_not_of(" \t");
            if (b != std::string::npos && t[b] == '&' && b + 1 < t.size() &&
                (t[b + 1] == 'H' || t[b + 1] == 'h' || t[b + 1] == 'O' || t[b + 1] == 'o')) {
                size_t j = b + 2;
                bool hex = t[b + 1] == 'H' || t[b + 1] == 'h', any = false;
                for (; j < t.size(); ++j) {
                    char c = t[j];
                    bool ok = (c >= '0' && c <= (hex ? '9' : '7')) ||
                              (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
                    if (!ok) break;
                    any = true;
                }
                while (j < t.size() && (t[j] == ' ' || t[j] == '\t')) ++j;
                return any && j == t.size();
            }
            return ParseDecimal(t, d, true);
        }
    }
    return false;
}

void AppendValueKey(std::string& key, const Variant& v, bool foldCase) {
    key += char('0' + int(v.Type()));
    switch (v.Type()) {
        case VarType::Number: {
            double d = v.Number() == 0 ? 0.0 : v.Number();  // -0 equals 0
            char bytes[sizeof d];
            std::memcpy(bytes, &d, sizeof d);
            key.append(bytes, sizeof d);
            break;
        }
        case VarType::Text: {
            std::string folded;
            if (foldCase)
                icu::UnicodeString::fromUTF8(icu::StringPiece(v.Text().data(), int32_t(v.Text().size())))
                    .foldCase()
                    .toUTF8String(folded);
            const std::string& t = foldCase ? folded : v.Text();
            key += std::to_string(t.size());  // the length keeps concatenated keys unambiguous
            key += ':';
            key += t;
            break;
        }
        case VarType::Boolean: key += v.BooleanValue() ? '1' : '0'; break;
        case VarType::Error: key += char('A' + int(v.ErrorValue())); break;
        case VarType::Empty: break;
    }
}

std::string TextFormKey(const Variant& v) {
    const std::string text = ToText(v);
    std::string folded;
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size()))).foldCase().toUTF8String(folded);
    return folded;
}

bool ParseTypedNumber(std::string_view text, double& out) {
    std::string_view s = text;
    bool percent = false;
    size_t e = s.size();
    while (e > 0 && IsSkippedSpace(s[e - 1])) --e;
    if (e > 0 && s[e - 1] == '%') { percent = true; s = s.substr(0, e - 1); }
    if (!ParseDecimal(s, out, true)) return false;
    if (percent) out /= 100;
    return true;
}

}  // namespace host
