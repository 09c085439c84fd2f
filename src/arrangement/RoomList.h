#pragma once
// The rooms and classes of a settings sheet as the assignments use them, and
// lookups from a cell value to the first matching room or class. Room and
// class sizes are 16-bit as the settings sheets hold them; a size beyond
// 32,767 is refused with a HostError naming the room or class, never wrapped.
#include <string>
#include <unordered_map>
#include <vector>

#include "arrangement/WorkTable.h"

namespace arrangement {

struct Room {
    host::Variant number;         // room table column 1, unchanged
    int16_t total = 0;            // recomputed room total, never below 0
    int32_t tableRow = 0;         // row of the room table, 2 .. R + 1
    std::vector<int16_t> groups;  // this grade's candidates per group, 1 .. G (index 0 is group 1)
};

enum class RoomFilter {
    WithNumber,  // every row whose room number is not empty
    Active,      // … and whose total is above 0: the rooms that take candidates
};

std::vector<Room> ListRooms(const SheetSettings& settings, RoomFilter filter);

struct ClassEntry {
    host::Variant value;  // class table column A
    int16_t size = 0;     // class table column B, never below 0
};

// Class table rows 2 onward with a non-empty class value, in table order;
// rows of one class (the same text form without regard to case) are one
// entry with their sizes added.
std::vector<ClassEntry> ListClasses(const SheetSettings& settings);

// One notion of "same class" for the whole run: every class cell of the work
// table becomes the first value of its class (class table order, then row
// order), so that 1 and "1", "a班" and "A班" compare equal everywhere after.
// Only the work table changes; the roster's cells are never written.
void UnifyClassValues(WorkTable& table, const SheetSettings& settings);

// A text that two values share exactly when they are equal (same type and
// value, text case-sensitive), for hashing cell values.
std::string ValueKey(const host::Variant& v);

// From a value to the first of a list of entries (rooms or classes) that
// carries it, optionally only among those accepted by a predicate.
class FirstIndex {
public:
    template <class Entries, class Value, class Accept>
    FirstIndex(const Entries& entries, Value value, Accept accept) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (accept(entries[i])) index_.try_emplace(ValueKey(value(entries[i])), int32_t(i));
    }
    // The entry's position, or -1.
    int32_t Find(const host::Variant& v) const {
        if (v.IsEmpty()) return -1;
        auto it = index_.find(ValueKey(v));
        return it == index_.end() ? -1 : it->second;
    }

private:
    std::unordered_map<std::string, int32_t> index_;
};

// Rooms by number, only rooms with a total above 0.
FirstIndex ActiveRoomIndex(const std::vector<Room>& rooms);

}  // namespace arrangement
