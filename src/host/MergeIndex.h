#pragma once
// The merged areas of one sheet: a list in the order they were made (the
// order the file lists them), and an index answering the two questions asked
// of them — which area holds a cell, and which areas meet a block — in
// O(log n + k).
#include <cstdint>
#include <initializer_list>
#include <map>
#include <vector>

#include "host/Address.h"

namespace host {

class MergeIndex {
public:
    MergeIndex() = default;
    MergeIndex(std::initializer_list<Rect> areas) { Assign(std::vector<Rect>(areas)); }
    MergeIndex& operator=(std::vector<Rect> areas) {
        Assign(std::move(areas));
        return *this;
    }
    MergeIndex& operator=(std::initializer_list<Rect> areas) { return *this = std::vector<Rect>(areas); }

    // Adds an area of two cells or more. Merged areas never overlap: one that
    // meets an area already present is not added (callers remove what the
    // new area covers first; a file listing overlapping areas keeps the first).
    // Returns whether it was added.
    bool push_back(const Rect& area);
    void clear();

    size_t size() const { return list_.size(); }
    bool empty() const { return list_.empty(); }
    const Rect& operator[](size_t i) const { return list_[i]; }
    std::vector<Rect>::const_iterator begin() const { return list_.begin(); }
    std::vector<Rect>::const_iterator end() const { return list_.end(); }
    const std::vector<Rect>& Areas() const { return list_; }
    friend bool operator==(const MergeIndex& m, const std::vector<Rect>& v) { return m.list_ == v; }

    // The area holding the cell, or null; valid until the next change.
    const Rect* At(int32_t row, int32_t col) const;
    // The areas that share a cell with the block, in the order they were made.
    std::vector<Rect> Intersecting(const Rect& block) const;
    // Removes the areas that share a cell with the block; returns how many.
    size_t RemoveIntersecting(const Rect& block);

private:
    // Runs of one orientation: for each line (a column, or a row), the areas
    // indexed on it keyed by where they start along it. Areas on one line
    // never overlap, so the area holding a position is the last starting at or
    // before it. An area taller than wide is indexed on each of its columns,
    // any other on each of its rows, so it costs min(width, height) entries.
    struct Entry {
        Rect area;
        uint64_t seq;  // order made
    };
    struct Runs {
        std::map<int32_t, std::map<int32_t, Entry>> lines;
        void Add(const Entry& e, bool byColumn);
        void Remove(const Rect& a, bool byColumn);
        const Rect* At(int32_t line, int32_t pos, bool byColumn) const;
        template <class F>
        void ForEachMeeting(const Rect& block, bool byColumn, F f) const;
    };
    static bool ByColumn(const Rect& a) { return a.Rows() > a.Columns(); }
    void Assign(std::vector<Rect> areas);

    std::vector<Entry> Meeting(const Rect& block) const;

    std::vector<Rect> list_;
    std::vector<uint64_t> seq_;  // beside list_, increasing
    uint64_t nextSeq_ = 0;
    Runs tall_;  // indexed by column, runs along the rows
    Runs wide_;  // indexed by row, runs along the columns
};

}  // namespace host
