// The report block and the desk-sharing check table, kept as text in memory
// and handed to the revision sheet as values re-entered from that text.
#include <algorithm>

#include "host/TypedInput.h"
#include "settings/ValidationParts.h"

namespace settings::validation {

namespace {

struct Label {
    int32_t row;
    const char* text;
};

constexpr Label kClassLabels[] = {
    {kRowSettingsName, "设置表"}, {kRowSettingsRooms, "考场总数"}, {kRowCapacity, "考生人数"},
    {kRowSettingsRemark, "备注"}, {kRowRosterName, "花名册"},     {kRowClassChecks, "按班级统计"},
    {kRowCandidates, "考生人数"}, {kRowUsedRows, "已用行数"},     {kRowUsedColumns, "已用列数"},
    {kRowRosterRemark, "备注"},
};

constexpr Label kRoomLabels[] = {
    {kRowRoomChecks, "按考场号统计"}, {kRowRosterRooms, "考场总数"}, {kRowPlaced, "考场人数"}, {kRowRoomRemark, "备注"},
};

}  // namespace

host::Variant Reentered(const std::string& text) {
    if (text.empty()) return {};
    host::TypedEntry e = host::ParseTypedEntry(text, false);
    if (e.isFormula || e.value.IsEmpty()) return host::Variant(text);
    return e.value;
}

ReportBlock::ReportBlock(int32_t rooms, int32_t sheetCount, bool roomChecks, const std::string& rosterFullName)
    : rows_(rooms + 15), cols_(sheetCount + 3), cells_(size_t(rows_) * cols_) {
    Set(kRowRosterPath, 1, "花名册路径" + rosterFullName);
    for (const Label& l : kClassLabels) Set(l.row, 1, l.text);
    for (int32_t row : {kRowSettingsName, kRowRosterName}) Conclude(row, "结论", "修改意见");
    if (!roomChecks) return;
    for (const Label& l : kRoomLabels) Set(l.row, 1, l.text);
    for (int32_t k = 1; k <= rooms; ++k) SetNumber(kRowRoomRemark + k, 1, k);
}

void ReportBlock::Set(int32_t row, int32_t col, std::string text) {
    if (Inside(row, col)) cells_[Index(row, col)] = std::move(text);
}

void ReportBlock::SetNumber(int32_t row, int32_t col, double n) { Set(row, col, host::NumberToText(n)); }

void ReportBlock::Append(int32_t row, int32_t col, std::string_view text) {
    if (Inside(row, col)) cells_[Index(row, col)] += text;
}

void ReportBlock::Conclude(int32_t row, std::string conclusion, std::string suggestion) {
    Set(row, cols_ - 1, std::move(conclusion));
    Set(row, cols_, std::move(suggestion));
}

void ReportBlock::AppendConclusion(int32_t row, std::string_view conclusion, std::string_view suggestion) {
    Append(row, cols_ - 1, conclusion);
    Append(row, cols_, suggestion);
}

host::Array2D ReportBlock::Entered() const {
    host::Array2D a(rows_, cols_);
    for (int32_t r = 1; r <= rows_; ++r)
        for (int32_t c = 1; c <= cols_; ++c) a(r, c) = Reentered(At(r, c));
    return a;
}

DeskSharingTable::DeskSharingTable(int32_t rooms, int32_t groups)
    : rooms_(rooms), groups_(groups), counts_(size_t(rooms) * groups), failed_(size_t(rooms)) {}

bool DeskSharingTable::AddGrade(int32_t roomRow, int32_t group, int32_t grades) {
    if (roomRow < 1 || roomRow > rooms_ || group < 1 || group > groups_) return true;
    int32_t& n = counts_[Index(roomRow, group)];
    ++n;
    if (n <= grades) return true;
    failed_[roomRow - 1] = true;
    return false;
}

host::Array2D DeskSharingTable::Entered() const {
    host::Array2D a(Rows(), Columns());
    a(1, 1) = host::Variant("同桌年级数检查");
    a(2, 1) = host::Variant("场号");
    for (int32_t g = 1; g <= groups_; ++g) a(2, g + 1) = host::Variant(std::to_string(g) + "组");
    a(2, groups_ + 2) = host::Variant("结论");
    a(2, groups_ + 3) = host::Variant("修复意见");
    for (int32_t k = 1; k <= rooms_; ++k) {
        a(k + 2, 1) = host::Variant(k);
        for (int32_t g = 1; g <= groups_; ++g)
            if (int32_t n = Count(k, g)) a(k + 2, g + 1) = host::Variant(n);
        if (failed_[k - 1]) {
            a(k + 2, groups_ + 2) = host::Variant("同桌年级数不符");
            a(k + 2, groups_ + 3) = host::Variant("请修改设置表或窗口参数“同桌年级总数”");
        }
    }
    return a;
}

}  // namespace settings::validation
