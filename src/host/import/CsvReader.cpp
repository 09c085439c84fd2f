// CSV exports: one sheet named after the file, fields separated by commas,
// quoted with '"' ("" inside quotes is one quote; quoted fields may hold
// commas and line breaks), lines ending in CRLF, LF or CR.
//
// A field becomes a number where a spreadsheet program opening the file
// would make one, except where that would lose what the text says: numbers
// with leading zeros ("0012") and more than 15 digits (identity numbers)
// stay text. "2008-03-01" and "2008/3/1" become dates. Everything else is
// text as written.
#include <unicode/ucnv.h>

#include <cctype>
#include <charconv>
#include <filesystem>

#include "host/Utf8.h"
#include "host/HostError.h"
#include "host/import/ImportParts.h"

namespace host::import {

namespace {

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07;
        else return false;
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += len;
    }
    return true;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// A plain decimal number: sign, digits, a fraction, an exponent.
bool AsNumber(std::string_view t, double& out) {
    std::string_view body = t;
    if (body.starts_with('-') || body.starts_with('+')) body.remove_prefix(1);
    const size_t e = body.find_first_of("eE");
    std::string_view mantissa = body.substr(0, e);
    if (e != std::string_view::npos) {
        std::string_view exp = body.substr(e + 1);
        if (exp.starts_with('-') || exp.starts_with('+')) exp.remove_prefix(1);
        if (!AllDigits(exp)) return false;
    }
    const size_t dot = mantissa.find('.');
    std::string_view whole = mantissa.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view() : mantissa.substr(dot + 1);
    if (whole.empty() && fraction.empty()) return false;
    if ((!whole.empty() && !AllDigits(whole)) || (dot != std::string_view::npos && !fraction.empty() && !AllDigits(fraction)))
        return false;
    if (whole.size() > 1 && whole.front() == '0') return false;  // "0012": an identifier, not twelve
    size_t digits = whole.size() + fraction.size();
    for (char c : whole) {
        if (c != '0') break;
        --digits;
    }
    if (digits > 15) return false;  // more than a double holds exactly
    std::string text(t.starts_with('+') ? t.substr(1) : t);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

// "2008-03-01", "2008/3/1" → the date serial.
bool AsDate(std::string_view t, double& serial) {
    if (t.size() < 8 || t.size() > 10) return false;
    const char sep = t[4];
    if ((sep != '-' && sep != '/') || !AllDigits(t.substr(0, 4))) return false;
    const size_t second = t.find(sep, 5);
    if (second == std::string_view::npos) return false;
    std::string_view m = t.substr(5, second - 5), d = t.substr(second + 1);
    if (!AllDigits(m) || !AllDigits(d) || m.size() > 2 || d.size() > 2) return false;
    const int month = std::stoi(std::string(m)), day = std::stoi(std::string(d));
    const int year = std::stoi(std::string(t.substr(0, 4)));
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] || year < 1900) return false;
    if (month == 2 && day == 29 && !(year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) return false;
    char iso[32];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, month, day);
    uint32_t xf;
    return DateTextToSerial(iso, serial, xf);
}

}  // namespace

std::string CsvTextAsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    UErrorCode status = U_ZERO_ERROR;
    UConverter* gb = ucnv_open("GB18030", &status);
    if (U_FAILURE(status)) throw HostError("无法转换 GB18030 编码的文本");
    // Bytes that are no GB18030 either stop the conversion instead of becoming
    // replacement characters in the user's data.
    ucnv_setToUCallBack(gb, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    std::u16string wide(bytes.size() + 1, u'\0');
    const int32_t n = ucnv_toUChars(gb, wide.data(), int32_t(wide.size()), bytes.data(), int32_t(bytes.size()), &status);
    ucnv_close(gb);
    if (U_FAILURE(status)) throw HostError("文本既不是 UTF-8 编码，也不是 GB18030（GBK）编码，无法读取");
    wide.resize(size_t(n));
    std::string out;
    out.reserve(wide.size() * 3);
    for (size_t i = 0; i < wide.size(); ++i) {
        uint32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
        AppendUtf8(out, cp);
    }
    return out;
}

void ReadCsv(const std::string& bytes, const std::string& path, xlsx::WorkbookSink& sink) {
    std::string text;
    try {
        text = CsvTextAsUtf8(bytes);
    } catch (const HostError& e) {
        throw FileError(path, e.what());
    }
    DeclareFormats(sink);
    xlsx::SheetSink& sheet = sink.AddSheet(SheetNameFrom(std::filesystem::path(path).stem().string()), xlSheetVisible);

    int32_t row = 1, col = 1;
    bool rowStarted = false;
    std::string field;
    bool quoted = false;
    auto endField = [&] {
        if (col > kMaxColumns) throw FileError(path, "一行超过 16384 个字段，超出工作表的列数");
        if (row > kMaxRows) throw FileError(path, "超过 1048576 行，超出工作表的行数");
        if (!field.empty()) {
            Variant value;
            uint32_t xf = kGeneralXf;
            double number = 0;
            if (field.size() >= 3 && field.starts_with("=\"") && field.ends_with('"'))
                value = Variant(field.substr(2, field.size() - 3));  // ="0012": text on purpose
            else if (AsNumber(field, number)) value = Variant(number);
            else if (AsDate(field, number)) value = Variant(number), xf = kDateXf;
            else value = Variant(field);
            if (!rowStarted) sheet.StartRow(row, RowInfo{}), rowStarted = true;
            sheet.SetCell(row, col, xf, std::move(value));
        }
        field.clear();
        quoted = false;
        ++col;
    };
    auto endRow = [&] {
        endField();
        ++row;
        col = 1;
        rowStarted = false;
    };

    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (c == '"' && field.empty() && !quoted) {
            // A quoted field: up to the closing quote; "" is one quote.
            quoted = true;
            ++i;
            for (;;) {
                if (i >= n) throw FileError(path, "第 " + std::to_string(row) + " 行的引号没有结束");
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') field += '"', i += 2;
                    else {
                        ++i;
                        break;
                    }
                } else {
                    field += text[i++];
                }
            }
            continue;
        }
        if (c == ',') {
            endField();
            ++i;
        } else if (c == '\r' || c == '\n') {
            endRow();
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
        } else {
            field += c;
            ++i;
        }
    }
    if (!field.empty() || col > 1) endField();
    sink.SetActiveSheet(0);
    sink.Finish();
}

}  // namespace host::import
