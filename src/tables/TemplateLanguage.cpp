#include "tables/TemplateLanguage.h"

#include "host/Variant.h"
#include "workbook/SystemNames.h"

namespace tables {

namespace {

bool IsMarker(const host::Variant& v, std::string_view marker) { return v.IsText() && v.Text() == marker; }

// Characters, not bytes: "[名]" is three characters long.
size_t Utf8Length(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

enum class Placeholder { None, Field, Photo };

Placeholder KindOf(const std::string& trimmed) {
    if (Utf8Length(trimmed) <= 2) return Placeholder::None;
    if (trimmed.front() == '[' && trimmed.back() == ']') return Placeholder::Field;
    if (trimmed.front() == '{' && trimmed.back() == '}') return Placeholder::Photo;
    return Placeholder::None;
}

}  // namespace

std::string TrimSpaces(std::string_view text) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

RegionSearch FindRegion(const host::Array2D& block, std::string_view marker) {
    RegionSearch s;
    const int32_t rows = block.Rows(), cols = block.Columns();
    for (int32_t r = 2; r <= rows; ++r) {
        if (!IsMarker(block(r, 1), marker)) continue;
        int32_t end = 0;
        for (int32_t c = 3; c <= cols && !end; ++c)
            if (IsMarker(block(r, c), marker)) end = c;
        if (!end) {
            s.result = RegionSearch::Result::NoEndMarker;
            s.row = r;
            return s;
        }
        s.result = RegionSearch::Result::Found;
        s.region = Region{r, r, end};
        for (int32_t below = r + 1; below <= rows; ++below)
            if (IsMarker(block(below, 1), marker)) {
                s.region.end = below;
                break;
            }
        return s;
    }
    return s;
}

void BlankMarkers(host::Array2D& block, const Region& region) {
    for (int32_t r : {region.start, region.end}) {
        block(r, 1) = host::Variant();
        block(r, region.marker) = host::Variant();
    }
}

FieldList ScanFields(const host::Array2D& block, const Region& region) {
    FieldList list(1);
    for (int32_t c = 2; c < region.marker; ++c)
        for (int32_t r = region.start; r <= region.end; ++r) {
            const std::string text = TrimSpaces(host::ToText(block(r, c)));
            const Placeholder kind = KindOf(text);
            if (kind == Placeholder::None) continue;
            TemplateField f{r - region.start + 1, c - 1, text.substr(1, text.size() - 2), 0};
            if (kind == Placeholder::Photo)
                list[0] = f;
            else
                list.push_back(f);
        }
    return list;
}

bool IsPlaceholderLike(const host::Variant& value) {
    if (value.IsEmpty()) return false;
    const std::string t = TrimSpaces(host::ToText(value));
    if (t.size() < 2) return false;
    return (t.front() == '[' && t.back() == ']') || (t.front() == '{' && t.back() == '}');
}

void BlankPlaceholders(host::Array2D& block) {
    for (int32_t r = 1; r <= block.Rows(); ++r)
        for (int32_t c = 1; c <= block.Columns(); ++c)
            if (IsPlaceholderLike(block(r, c))) block(r, c) = host::Variant();
}

std::vector<std::string> UnknownFields(const FieldList& fields, const std::vector<std::string>& items) {
    std::vector<std::string> unknown;
    for (const TemplateField& f : fields) {
        if (!f.Named()) continue;
        const std::string system = std::string(workbook::kTab) + f.name;
        bool found = false;
        for (size_t i = 1; i < items.size() && !found; ++i) found = items[i] == f.name || items[i] == system;
        if (!found) unknown.push_back(f.name);
    }
    return unknown;
}

}  // namespace tables
