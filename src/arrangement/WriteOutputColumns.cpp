#include "arrangement/WriteOutputColumns.h"

#include <vector>

#include "arrangement/HostSort.h"
#include "arrangement/RoomList.h"
#include "host/Address.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Worksheet.h"
#include "workbook/SystemNames.h"

namespace arrangement {

namespace {

// Offsets from L while the row-number column is still at L + 3.
enum OutputColumn : int32_t {
    kRoom = 1, kSeat = 2, kRowNumber = 3, kSeatLabel = 4, kExamNumber = 5, kFirstNumber = 6,
    kLastNumber = 7, kRoomSize = 8, kRoomCount = 9, kClassCount = 10, kGradeSize = 11, kClassSize = 12,
    kExtraFields = 12,  // the i-th extra field goes to L + 12 + i
};

host::Variant SystemTitle(const char* text) { return host::Variant(std::string(workbook::kTab) + text); }

// Characters as the host counts them: UTF-16 code units.
int32_t HostLength(const std::string& s) {
    int32_t n = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) == 0x80) continue;
        n += c >= 0xF0 ? 2 : 1;
    }
    return n;
}

// The room table columns of the extra fields whose title is not empty.
std::vector<int32_t> ExtraFieldColumns(const SheetSettings& s) {
    std::vector<int32_t> cols;
    for (int32_t c = 2; c <= s.extraFields + 1 && c <= s.roomTable.Columns(); ++c)
        if (!s.roomTable(1, c).IsEmpty()) cols.push_back(c);
    return cols;
}

host::Array2D Widened(const host::Array2D& a, int32_t cols) {
    host::Array2D wide(a.Rows(), cols);
    for (int32_t r = 1; r <= a.Rows(); ++r)
        for (int32_t c = 1; c <= a.Columns() && c <= cols; ++c) wide(r, c) = a(r, c);
    return wide;
}

std::string ExamNumber(const WorkTable& t, int32_t row, const ExamNumbering& n, int64_t& counter) {
    if (n.methodOne) return ZeroPadded(std::to_string(++counter), n.counterWidth);
    const int32_t L = t.lastColumn;
    std::string prefix = t.selectedColumn > 0 ? host::ToText(t.cells(row, t.selectedColumn)) : std::string();
    return prefix + ZeroPadded(host::ToText(t.cells(row, L + kRoom)), n.roomWidth) +
           ZeroPadded(host::ToText(t.cells(row, L + kSeat)), n.seatWidth);
}

void NumberRoom(WorkTable& t, int32_t first, const Room& room, const SheetSettings& s,
                const std::vector<int32_t>& extra, const ExamNumbering& n, int64_t& counter) {
    const int32_t L = t.lastColumn, last = first + room.total - 1;
    for (int32_t r = first; r <= last; ++r) {
        t.cells(r, L + kSeatLabel) = host::Variant(SeatLabel(t.cells(r, L + kSeat)));
        t.cells(r, L + kExamNumber) = host::Variant(ExamNumber(t, r, n, counter));
    }
    const host::Variant firstNumber = t.cells(first, L + kExamNumber), lastNumber = t.cells(last, L + kExamNumber);
    for (int32_t r = first; r <= last; ++r) {
        t.cells(r, L + kFirstNumber) = firstNumber;
        t.cells(r, L + kLastNumber) = lastNumber;
        t.cells(r, L + kRoomSize) = s.roomTable(room.tableRow, s.TotalColumn());
        for (size_t i = 0; i < extra.size(); ++i)
            t.cells(r, L + kExtraFields + 1 + int32_t(i)) = s.roomTable(room.tableRow, extra[i]);
    }
}

// Rows sorted by room and seat: each room's rows stand together from its first seat.
void NumberRooms(WorkTable& t, const SheetSettings& s, const std::vector<int32_t>& extra,
                 const ExamNumbering& n, int64_t& counter) {
    const std::vector<Room> rooms = ListRooms(s, RoomFilter::Active);
    const FirstIndex index = ActiveRoomIndex(rooms);
    const int32_t N = t.LastRow(), roomColumn = t.lastColumn + kRoom;
    for (int32_t d = 2; d <= N;) {
        const int32_t k = index.Find(t.cells(d, roomColumn));
        if (k < 0 || d + rooms[size_t(k)].total - 1 > N) {
            ++d;
            continue;
        }
        NumberRoom(t, d, rooms[size_t(k)], s, extra, n, counter);
        d += rooms[size_t(k)].total;
    }
}

// Rows sorted by class: each class's rows stand together.
void WriteClassFigures(WorkTable& t, const SheetSettings& s) {
    const std::vector<ClassEntry> classes = ListClasses(s);
    const FirstIndex index(classes, [](const ClassEntry& c) { return c.value; },
                           [](const ClassEntry& c) { return c.size > 0; });
    const int32_t N = t.LastRow(), L = t.lastColumn;
    for (int32_t d = 2; d <= N;) {
        const int32_t k = index.Find(t.ClassOf(d));
        if (k < 0 || d + classes[size_t(k)].size - 1 > N) {
            ++d;
            continue;
        }
        const int32_t size = classes[size_t(k)].size;
        for (int32_t r = d; r < d + size; ++r) {
            t.cells(r, L + kRoomCount) = host::Variant(int(s.roomCount));
            t.cells(r, L + kClassCount) = host::Variant(int(s.classCount));
            t.cells(r, L + kGradeSize) = host::Variant(int(s.gradeTotal));
            t.cells(r, L + kClassSize) = host::Variant(size);
        }
        d += size;
    }
}

}  // namespace

bool IsSystemColumnTitle(const std::string& title, const SheetSettings& s) {
    static const char* const kTitles[] = {"场号", "座号", "A", "AB座号", "考号", "首考号", "尾考号",
                                          "场人", "场数", "班数", "级人", "班人"};
    if (!title.starts_with(workbook::kTab)) return false;
    const std::string rest = title.substr(workbook::kTab.size());
    for (const char* t : kTitles)
        if (rest == t) return true;
    for (int32_t c : ExtraFieldColumns(s))
        if (rest == host::ToText(s.roomTable(1, c))) return true;
    return false;
}

std::string ZeroPadded(const std::string& text, int32_t width) {
    const int32_t length = HostLength(text);
    return length >= width ? text : std::string(size_t(width - length), '0') + text;
}

std::string SeatLabel(const host::Variant& seat) {
    const bool even = host::ToInt32(seat) % 2 == 0;
    return host::ToText(seat) + (even ? "B" : "A");
}

void WriteOutputColumns(host::Worksheet& sortSheet, WorkTable& t, const SheetSettings& s,
                        const ExamNumbering& numbering, int64_t& counter) {
    const int32_t L = t.lastColumn;
    const std::vector<int32_t> extra = ExtraFieldColumns(s);
    HostSort(sortSheet, t, {{L + kRoom}, {L + kSeat}});
    t.cells = Widened(t.cells, L + kExtraFields + int32_t(extra.size()));

    t.cells(1, L + kSeatLabel) = SystemTitle("AB座号");
    t.cells(1, L + kExamNumber) = SystemTitle("考号");
    t.cells(1, L + kFirstNumber) = SystemTitle("首考号");
    t.cells(1, L + kLastNumber) = SystemTitle("尾考号");
    t.cells(1, L + kRoomSize) = SystemTitle("场人");
    for (size_t i = 0; i < extra.size(); ++i)
        t.cells(1, L + kExtraFields + 1 + int32_t(i)) =
            host::Variant(std::string(workbook::kTab) + host::ToText(s.roomTable(1, extra[i])));
    NumberRooms(t, s, extra, numbering, counter);

    const int32_t classColumn = t.FirstColumnTitled(workbook::kClassTitle);
    if (classColumn > 0) {
        t.classColumn = classColumn;
        HostSort(sortSheet, t, {{classColumn}});
    }
    t.cells(1, L + kRoomCount) = SystemTitle("场数");
    t.cells(1, L + kClassCount) = SystemTitle("班数");
    t.cells(1, L + kGradeSize) = SystemTitle("级人");
    t.cells(1, L + kClassSize) = SystemTitle("班人");
    WriteClassFigures(t, s);

    HostSort(sortSheet, t, {{L + kRowNumber}});
}

std::string NoRoomForSystemColumns(int32_t lastColumn) {
    if (int64_t(lastColumn) + kColumnsRightOfUserData <= host::kMaxColumns) return {};
    return "用户数据已用到第 " + std::to_string(lastColumn) + " 列（" + host::ColumnLetters(lastColumn) +
           " 列），编排需要它右边的 " + std::to_string(kColumnsRightOfUserData) + " 列，而工作表最多 " +
           std::to_string(host::kMaxColumns) + " 列；请删除右边多余的单元格（包括只设置了格式的空单元格）后再编排。";
}

void WriteSystemColumns(host::Worksheet& roster, const WorkTable& t) {
    const int32_t L = t.lastColumn, N = t.LastRow();
    const int32_t width = t.cells.Columns() - L - 1;  // without the row-number column
    if (width <= 0 || N <= 0) return;
    if (int64_t(L) + width > host::kMaxColumns)
        throw host::HostError("用户数据已用到第 " + std::to_string(L) + " 列，右边放不下编排结果的 " +
                              std::to_string(width) + " 列（工作表最多 " + std::to_string(host::kMaxColumns) + " 列）。");
    host::Array2D out(N, width);
    for (int32_t r = 1; r <= N; ++r) {
        for (int32_t c = 1; c <= width; ++c) {
            const int32_t from = L + (c < kRowNumber ? c : c + 1);
            out(r, c) = t.cells(r, from);
        }
    }
    // The text format first, so that exam numbers with leading zeros stay text.
    roster.Cells(1, L + kExamNumber - 1).Resize(N, 3).SetNumberFormat("@");
    roster.Cells(1, L + 1).Resize(N, width).SetValues(out);
}

}  // namespace arrangement
