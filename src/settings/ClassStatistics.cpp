// Distinct classes and rooms of a roster sheet, their head counts, and the
// class statistics of a settings sheet.
#include <unordered_map>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/Worksheet.h"
#include "settings/ValidationParts.h"
#include "workbook/SystemNames.h"

namespace settings::validation {

namespace {

std::string FoldedCase(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
    return s;
}

// Finds a value's list position by its text form, then, as the host's unique
// filter does not tell "A" from "a", by its case-folded form.
class KeyIndex {
public:
    explicit KeyIndex(const std::vector<host::Variant>& values) {
        for (size_t i = 0; i < values.size(); ++i) {
            std::string text = host::ToText(values[i]);
            exact_.emplace(text, i);
            folded_.emplace(FoldedCase(text), i);
        }
    }
    const size_t* Find(const host::Variant& v) const {
        std::string text = host::ToText(v);
        if (auto it = exact_.find(text); it != exact_.end()) return &it->second;
        if (auto it = folded_.find(FoldedCase(text)); it != folded_.end()) return &it->second;
        return nullptr;
    }

private:
    std::unordered_map<std::string, size_t> exact_, folded_;
};

}  // namespace

bool SameKey(const host::Variant& a, const host::Variant& b) { return host::ToText(a) == host::ToText(b); }

std::vector<int32_t> ColumnsTitled(const host::Array2D& data, std::string_view title) {
    std::vector<int32_t> cols;
    if (data.Rows() < 1) return cols;
    for (int32_t c = 1; c <= data.Columns(); ++c)
        if (data(1, c).IsText() && data(1, c).Text() == title) cols.push_back(c);
    return cols;
}

// Scratch layout: A1 … A(lastRow) the copied column with its title, C1 … the
// unique records with the title, sorted below it.
std::vector<host::Variant> DistinctValues(host::Worksheet& roster, int32_t col, int32_t lastRow,
                                          host::Worksheet& scratch) {
    const int32_t filterRows = std::min(lastRow + 1, host::kMaxRows);
    host::ResumeNext([&] { scratch.UsedRange().Clear(); });
    host::ResumeNext([&] { roster.GetRange(host::Rect{1, col, lastRow, col}).Copy(scratch.Cells(1, 1)); });
    host::ResumeNext([&] {
        scratch.GetRange(host::Rect{1, 1, filterRows, 1}).AdvancedFilter(scratch.Cells(1, 3), true);
    });
    host::ResumeNext([&] {
        host::Range list = scratch.GetRange(host::Rect{1, 3, filterRows, 3});
        list.Sort({host::SortKey{scratch.Cells(1, 3), host::xlAscending}}, host::xlYes);
    });
    std::vector<host::Variant> values;
    host::ResumeNext([&] {
        int32_t last = scratch.Cells(host::kMaxRows, 3).End(host::xlUp).Row();
        if (last < 2) return;
        host::Array2D list = scratch.GetRange(host::Rect{2, 3, last, 3}).Values();
        for (int32_t r = 1; r <= list.Rows(); ++r)
            if (!list(r, 1).IsEmpty()) values.push_back(list(r, 1));
    });
    return values;
}

Tally CountRows(const host::Array2D& data, int32_t lastRow, int32_t classCol, int32_t keyCol,
                std::vector<host::Variant> values) {
    Tally t;
    t.values = std::move(values);
    t.counts.assign(t.values.size(), 0);
    KeyIndex index(t.values);
    const int32_t last = std::min(lastRow, data.Rows());
    for (int32_t r = 2; r <= last; ++r) {
        if (data(r, classCol).IsEmpty() || data(r, keyCol).IsEmpty()) continue;
        if (const size_t* i = index.Find(data(r, keyCol))) {
            ++t.counts[*i];
            ++t.matched;
        }
    }
    return t;
}

//   A      B     C  D          E
//   班级   班人     级人       班数
//   class  count    candidates classes
//   …      …        (D3 cap.)  m = table rows with title
void WriteClassStatistics(host::Worksheet& settings, const Tally& classes, int32_t candidates,
                          const std::string& classFormat) {
    const int32_t m = int32_t(classes.values.size()) + 1;
    host::Array2D table(m, 2);
    table(1, 1) = host::Variant(workbook::kClassTitle);
    table(1, 2) = host::Variant("班人");
    for (int32_t i = 2; i <= m; ++i) {
        table(i, 1) = classes.values[i - 2];
        table(i, 2) = host::Variant(classes.counts[i - 2]);
    }
    host::ResumeNext([&] { settings.GetRange(host::Rect{1, 1, m, 2}).SetValues(table); });
    if (m > 1) host::ResumeNext([&] { settings.GetRange(host::Rect{2, 1, m, 1}).SetNumberFormat(classFormat); });
    host::ResumeNext([&] {
        settings.Cells(1, 4).SetValue("级人");
        settings.Cells(2, 4).SetValue(candidates);
        settings.Cells(1, 5).SetValue("班数");
        settings.Cells(2, 5).SetValue(m - 1);
        settings.Cells(3, 5).SetValue(m);
    });
}

}  // namespace settings::validation
