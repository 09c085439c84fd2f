#pragma once
// A cell value as the host holds it, and every conversion the procedures rely
// on. All conversions live here so that the rules are the same everywhere.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace host {

enum class VarType : uint8_t { Empty, Number, Text, Boolean, Error };

// The host's error values, in the order of their numeric codes.
enum class CellError : uint8_t { Null, Div0, Value, Ref, Name, Num, NA, GettingData };

class Variant {
public:
    Variant() = default;
    Variant(double d) : v_(d) {}
    Variant(int i) : v_(static_cast<double>(i)) {}
    Variant(int64_t i) : v_(static_cast<double>(i)) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(std::string_view s) : v_(std::string(s)) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(bool) = delete;  // use Variant::Boolean: avoids pointer/int surprises
    static Variant Boolean(bool b) { Variant v; v.v_ = BoolBox{b}; return v; }
    static Variant Error(CellError e) { Variant v; v.v_ = e; return v; }

    VarType Type() const { return static_cast<VarType>(v_.index()); }
    bool IsEmpty() const { return v_.index() == 0; }
    bool IsNumber() const { return v_.index() == 1; }
    bool IsText() const { return v_.index() == 2; }
    bool IsBoolean() const { return v_.index() == 3; }
    bool IsError() const { return v_.index() == 4; }

    // Typed access; the caller checks the type first.
    double Number() const { return std::get<1>(v_); }
    const std::string& Text() const { return std::get<2>(v_); }
    bool BooleanValue() const { return std::get<3>(v_).b; }
    CellError ErrorValue() const { return std::get<4>(v_); }

    // Exact equality: same type and value, text compared case-sensitively.
    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

private:
    struct BoolBox {
        bool b;
        friend bool operator==(BoolBox x, BoolBox y) { return x.b == y.b; }
    };
    std::variant<std::monostate, double, std::string, BoolBox, CellError> v_;
};

// "#N/A", "#DIV/0!" … and back; FromErrorText returns false when the text is no error name.
const char* ErrorText(CellError e);
bool ErrorFromText(std::string_view text, CellError& out);

// The value as the host shows it in text form: numbers in General form (up to
// 15 significant digits, no trailing zeros), TRUE/FALSE, error names, empty
// gives empty text.
std::string ToText(const Variant& v);
std::string NumberToText(double d);

// The host's reading of a number from text (Val): spaces, tabs and line feeds
// are skipped anywhere, the longest leading numeric prefix is used, &H / &O
// prefixes are hexadecimal / octal; anything else gives 0.
double Val(std::string_view text);
// A cell read as a number: its text form, then Val.
double ToNumber(const Variant& v);

// Integer conversion with round half to even; out of range throws HostError
// (the host's overflow error).
int16_t ToInt16(double d);
int32_t ToInt32(double d);
int16_t ToInt16(const Variant& v);  // ToInt16(ToNumber(v))
int32_t ToInt32(const Variant& v);

// Whether the host's IsNumeric holds: numbers and booleans, and text that reads
// completely as a number (surrounding spaces allowed).
bool IsNumeric(const Variant& v);

// Appends a byte string for `v` such that two sequences of values give equal
// strings exactly when the values are pairwise equal: same type and value
// (-0 equals 0), text case-sensitively, or without regard to case when
// `foldCase` (the host's comparison of records).
void AppendValueKey(std::string& key, const Variant& v, bool foldCase = false);

// The value's text form without regard to letter case: two values with the
// same key are one record for the unique filter (the number 1 and the text
// "1", "a班" and "A班").
std::string TextFormKey(const Variant& v);

// Whether a text typed into a cell by a user becomes a number, and which.
bool ParseTypedNumber(std::string_view text, double& out);

}  // namespace host
