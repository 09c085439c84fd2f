#include "arrangement/RoomList.h"


#include "host/HostError.h"

namespace arrangement {

namespace {

// Negative sizes are taken as 0: a negative room total would otherwise move
// the ordered filling back over rows already seated (or onto the title row).
int16_t CheckedSize(double value, const std::string& what) {
    if (value >= 32767.5) throw host::HostError(what + "的人数 " + host::NumberToText(value) + " 超出 32767，无法编排！");
    if (value <= 0) return 0;
    return host::ToInt16(value);
}

std::string RoomName(const host::Variant& number) { return "第" + host::ToText(number) + "考场"; }

}  // namespace

std::vector<Room> ListRooms(const SheetSettings& s, RoomFilter filter) {
    std::vector<Room> rooms;
    const host::Array2D& t = s.roomTable;
    if (t.Columns() < s.TotalColumn()) return rooms;
    for (int32_t r = 2; r <= t.Rows(); ++r) {
        if (t(r, 1).IsEmpty()) continue;
        Room room;
        room.number = t(r, 1);
        room.tableRow = r;
        room.total = CheckedSize(host::ToNumber(t(r, s.TotalColumn())), RoomName(room.number));
        if (filter == RoomFilter::Active && room.total <= 0) continue;
        for (int32_t g = 1; g <= s.groups; ++g)
            room.groups.push_back(CheckedSize(host::ToNumber(t(r, s.GroupColumn(g))), RoomName(room.number)));
        rooms.push_back(std::move(room));
    }
    return rooms;
}

std::vector<ClassEntry> ListClasses(const SheetSettings& s) {
    std::vector<ClassEntry> classes;
    const host::Array2D& t = s.classTable;
    if (t.Columns() < 2) return classes;
    std::unordered_map<std::string, size_t> seen;
    for (int32_t r = 2; r <= t.Rows(); ++r) {
        if (t(r, 1).IsEmpty()) continue;
        const int16_t size = CheckedSize(host::ToNumber(t(r, 2)), "班级“" + host::ToText(t(r, 1)) + "”");
        // A table written before classes were told apart by their text form
        // alone may list one class twice (1 and "1"): one class, both counts.
        auto [it, fresh] = seen.try_emplace(host::TextFormKey(t(r, 1)), classes.size());
        if (fresh) classes.push_back({t(r, 1), size});
        else classes[it->second].size = CheckedSize(double(classes[it->second].size) + size, "班级“" + host::ToText(t(r, 1)) + "”");
    }
    return classes;
}

void UnifyClassValues(WorkTable& t, const SheetSettings& s) {
    if (t.classColumn <= 0) return;
    std::unordered_map<std::string, host::Variant> first;
    for (const ClassEntry& c : ListClasses(s)) first.try_emplace(host::TextFormKey(c.value), c.value);
    for (int32_t r = 2; r <= t.LastRow(); ++r) {
        host::Variant& v = t.cells(r, t.classColumn);
        if (v.IsEmpty()) continue;
        auto [it, fresh] = first.try_emplace(host::TextFormKey(v), v);
        if (!fresh) v = it->second;
    }
}

std::string ValueKey(const host::Variant& v) {
    std::string key;
    host::AppendValueKey(key, v);
    return key;
}

FirstIndex ActiveRoomIndex(const std::vector<Room>& rooms) {
    return FirstIndex(rooms, [](const Room& r) -> const host::Variant& { return r.number; },
                      [](const Room& r) { return r.total > 0; });
}

}  // namespace arrangement
