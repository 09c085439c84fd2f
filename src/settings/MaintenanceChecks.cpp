// The checks of roster maintenance on one sheet's values in memory.
#include <cmath>
#include <unordered_map>

#include "host/Address.h"
#include "host/Range.h"
#include "host/Worksheet.h"
#include "settings/MaintenanceParts.h"
#include "workbook/SystemNames.h"

namespace settings::maintenance {

namespace {

const host::Variant kMark(-1);

bool RowEmpty(const host::Array2D& data, int32_t r) {
    for (int32_t c = 1; c <= DataColumns(data); ++c)
        if (!data(r, c).IsEmpty()) return false;
    return true;
}

bool ColumnEmpty(const host::Array2D& data, int32_t c) {
    for (int32_t r = 1; r <= data.Rows(); ++r)
        if (!data(r, c).IsEmpty()) return false;
    return true;
}

// A byte string equal for two rows exactly when every data cell is equal
// (same type and value, text case-sensitive).
std::string RowKey(const host::Array2D& data, int32_t r) {
    std::string key;
    for (int32_t c = 1; c <= DataColumns(data); ++c) host::AppendValueKey(key, data(r, c));
    return key;
}

}  // namespace

host::Array2D ReadSheetData(host::Worksheet& sheet) {
    host::Rect used = sheet.UsedRect();
    int32_t lastCol = std::min(used.right + 1, host::kMaxColumns);
    return sheet.GetRange(host::Rect{1, 1, used.bottom, lastCol}).Values();
}

Marks MarkRows(host::Array2D& data) {
    Marks marks;
    const int32_t markCol = data.Columns();
    std::vector<bool> marked(size_t(data.Rows()) + 1);
    for (int32_t r = 2; r <= data.Rows(); ++r)
        if (RowEmpty(data, r)) marked[r] = true;
    for (int32_t c = 1; c <= DataColumns(data); ++c)
        if (ColumnEmpty(data, c)) marks.columns.push_back(c);
    // Equal rows are equal to the first of them, so a row repeats exactly when
    // an earlier unmarked row has its key.
    std::unordered_map<std::string, int32_t> first;
    for (int32_t r = 2; r <= data.Rows(); ++r) {
        if (marked[r]) continue;
        if (!first.emplace(RowKey(data, r), r).second) marked[r] = true;
    }
    for (int32_t r = 2; r <= data.Rows(); ++r)
        if (marked[r]) {
            marks.rows.push_back(r);
            data(r, markCol) = kMark;
        }
    for (int32_t c : marks.columns) data(1, c) = kMark;
    return marks;
}

std::string ClassTitleMessage(const host::Array2D& data) {
    int count = 0;
    for (int32_t c = 1; c <= DataColumns(data); ++c)
        if (data(1, c).IsText() && data(1, c).Text() == workbook::kClassTitle) ++count;
    if (count == 0) return "第1行没有“班级”字段";
    if (count > 1) return "第1行有" + std::to_string(count) + "个“班级”字段";
    return {};
}

std::vector<std::string> EmptyCellMessages(const host::Array2D& data) {
    constexpr int kListed = 100;
    std::vector<std::string> messages;
    for (int32_t c = 1; c <= DataColumns(data); ++c) {
        const std::string title = host::ToText(data(1, c));
        std::string addresses;
        int empty = 0;
        for (int32_t r = 1; r <= data.Rows() && empty <= kListed; ++r) {
            if (!data(r, c).IsEmpty()) continue;
            if (++empty <= kListed) addresses += host::CellAddress(r, c) + ",";
        }
        if (empty > kListed) messages.push_back("“" + title + "”列的空单元格>100个");
        else if (empty > 0) messages.push_back("“" + title + "”列的空单元格有：" + addresses);
    }
    return messages;
}

std::string HostDateTimeText(double localSeconds) {
    const int64_t total = int64_t(std::floor(localSeconds));
    const int64_t days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
    int64_t secs = total - days * 86400;
    // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    std::string text = std::to_string(year) + "/" + std::to_string(month) + "/" + std::to_string(day);
    if (secs == 0) return text;
    auto two = [](int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return text + " " + std::to_string(secs / 3600) + ":" + two(secs / 60 % 60) + ":" + two(secs % 60);
}

}  // namespace settings::maintenance
