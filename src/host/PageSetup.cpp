#include "host/PageSetup.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace host {

namespace {

void AddBreak(std::vector<int32_t>& breaks, int32_t before) {
    if (before <= 1) return;
    const int32_t after = before - 1;
    auto it = std::lower_bound(breaks.begin(), breaks.end(), after);
    if (it == breaks.end() || *it != after) breaks.insert(it, after);
}

// One reference ("a1", "$B$2", "3", "C") made absolute.
std::string AbsoluteReference(const std::string& ref) {
    std::string letters, digits;
    for (char c : ref) {
        if (c == '$') continue;
        if (std::isalpha(static_cast<unsigned char>(c))) letters += char(std::toupper(static_cast<unsigned char>(c)));
        else digits += c;
    }
    std::string out;
    if (!letters.empty()) out += "$" + letters;
    if (!digits.empty()) out += "$" + digits;
    return out;
}

std::string AbsoluteArea(const std::string& area) {
    // A sheet prefix ends at the last '!' outside quotes; the name may hold anything.
    size_t bang = std::string::npos;
    bool quoted = false;
    for (size_t i = 0; i < area.size(); ++i) {
        if (area[i] == '\'') quoted = !quoted;
        else if (area[i] == '!' && !quoted) bang = i;
    }
    const size_t start = bang == std::string::npos ? 0 : bang + 1;
    std::string out = area.substr(0, start);
    const std::string refs = area.substr(start);
    const size_t colon = refs.find(':');
    if (colon == std::string::npos) return out + AbsoluteReference(refs);
    return out + AbsoluteReference(refs.substr(0, colon)) + ":" + AbsoluteReference(refs.substr(colon + 1));
}

// The Chinese face names of the host's header font codes, and bold/italic
// in the style part ("常规", "加粗", "倾斜", "加粗 倾斜", or the English names).
void ApplyFontCode(const std::string& code, HeaderFooterRun& run) {
    const size_t comma = code.find(',');
    const std::string face = code.substr(0, comma);
    const std::string style = comma == std::string::npos ? "" : code.substr(comma + 1);
    if (face != "-") run.fontName = face;
    auto has = [&](const char* s) { return style.find(s) != std::string::npos; };
    run.bold = has("Bold") || has("加粗");
    run.italic = has("Italic") || has("倾斜");
}

}  // namespace

HeaderFooterSections PageSetup::SectionsForPage(bool first, int number) const {
    if (first && DifferentFirstPageHeaderFooter) return FirstPage;
    if (OddAndEvenPagesHeaderFooter && number % 2 == 0) return EvenPage;
    return {LeftHeader, CenterHeader, RightHeader, LeftFooter, CenterFooter, RightFooter};
}

void PageSetup::AddRowBreakBefore(int32_t row) { AddBreak(RowBreaks, row); }
void PageSetup::AddColumnBreakBefore(int32_t col) { AddBreak(ColumnBreaks, col); }

std::string AbsoluteAreas(const std::string& areas) {
    std::string out;
    size_t start = 0;
    bool quoted = false;
    for (size_t i = 0; i <= areas.size(); ++i) {
        if (i < areas.size() && areas[i] == '\'') quoted = !quoted;
        if (i < areas.size() && (areas[i] != ',' || quoted)) continue;
        std::string area = areas.substr(start, i - start);
        area.erase(0, area.find_first_not_of(' '));
        if (!area.empty()) out += (out.empty() ? "" : ",") + AbsoluteArea(area);
        start = i + 1;
    }
    return out;
}

std::string AreasWithoutSheet(const std::string& areas) {
    std::string out;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= areas.size(); ++i) {
        if (i < areas.size() && areas[i] == '\'') quoted = !quoted;
        if (i < areas.size() && (areas[i] != ',' || quoted)) continue;
        std::string area = areas.substr(start, i - start);
        const size_t bang = area.rfind('!');
        if (bang != std::string::npos) area.erase(0, bang + 1);
        if (!area.empty()) out += (out.empty() ? "" : ",") + area;
        start = i + 1;
    }
    return out;
}

PaperPoints PaperSizePoints(int paperSize) {
    switch (paperSize) {
        case xlPaperLetter: return {612, 792};
        case xlPaperLegal: return {612, 1008};
        case xlPaperA3: return {841.89, 1190.55};
        case xlPaperA5: return {419.53, 595.28};
        case xlPaperB5: return {515.91, 728.5};
        default: return {595.28, 841.89};
    }
}

std::vector<HeaderFooterRun> ExpandHeaderFooter(const std::string& s, const HeaderFooterFields& f) {
    std::vector<HeaderFooterRun> runs(1);
    // A change of format starts a new run; text goes into the last one.
    auto format = [&]() -> HeaderFooterRun& {
        if (!runs.back().text.empty()) {
            HeaderFooterRun next = runs.back();
            next.text.clear();
            runs.push_back(next);
        }
        return runs.back();
    };
    auto text = [&](const std::string& t) { runs.back().text += t; };
    for (size_t i = 0; i < s.size(); ++i) {
        if (s.compare(i, 7, "_x000A_") == 0 || s.compare(i, 7, "_x000a_") == 0) {
            text("\n");
            i += 6;
            continue;
        }
        if (s[i] != '&' || i + 1 >= s.size()) {
            runs.back().text += s[i];
            continue;
        }
        const char k = s[++i];
        if (k == '&') {
            text("&");
        } else if (k == 'P' || k == 'p') {
            int n = f.page;
            // &P+3 and &P-1 shift the number; the sign needs digits after it.
            if (i + 2 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-') &&
                std::isdigit(static_cast<unsigned char>(s[i + 2]))) {
                const bool minus = s[i + 1] == '-';
                size_t j = i + 2;
                int v = 0;
                while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) v = v * 10 + (s[j++] - '0');
                n += minus ? -v : v;
                i = j - 1;
            }
            text(std::to_string(n));
        } else if (k == 'N' || k == 'n') {
            text(std::to_string(f.pages));
        } else if (k == 'A' || k == 'a') {
            text(f.sheetName);
        } else if (k == 'F' || k == 'f') {
            text(f.fileName);
        } else if (k == 'Z' || k == 'z') {
            text(f.path.empty() ? "" : f.path + "/");
        } else if (k == 'D' || k == 'd') {
            text(f.date);
        } else if (k == 'T' || k == 't') {
            text(f.time);
        } else if (k == 'B' || k == 'b') {
            HeaderFooterRun& r = format();
            r.bold = !r.bold;
        } else if (k == 'I' || k == 'i') {
            HeaderFooterRun& r = format();
            r.italic = !r.italic;
        } else if (k == 'U' || k == 'u' || k == 'E' || k == 'e') {
            HeaderFooterRun& r = format();
            r.underline = !r.underline;
        } else if (k == 'S' || k == 's') {
            HeaderFooterRun& r = format();
            r.strike = !r.strike;
        } else if (k == '"') {
            const size_t end = s.find('"', i + 1);
            const std::string code = s.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            ApplyFontCode(code, format());
            i = end == std::string::npos ? s.size() : end;
        } else if (std::isdigit(static_cast<unsigned char>(k))) {
            size_t j = i;
            int v = 0;
            while (j < s.size() && j < i + 3 && std::isdigit(static_cast<unsigned char>(s[j]))) v = v * 10 + (s[j++] - '0');
            format().size = v;
            i = j - 1;
        } else if (k == 'K' || k == 'k') {
            i = std::min(s.size() - 1, i + 6);  // a colour: six hex digits (or a theme code of the same length)
        }
        // &G (a picture), &X, &Y, &H, &O …: not drawn.
    }
    std::vector<HeaderFooterRun> out;
    for (HeaderFooterRun& r : runs)
        if (!r.text.empty()) out.push_back(std::move(r));
    return out;
}

}  // namespace host
