#include "host/MergeIndex.h"

#include <algorithm>
#include <iterator>

namespace host {

namespace {
// A line runs across the sheet: a column when indexed by column, else a row.
int32_t FirstLine(const Rect& a, bool byColumn) { return byColumn ? a.left : a.top; }
int32_t LastLine(const Rect& a, bool byColumn) { return byColumn ? a.right : a.bottom; }
int32_t Start(const Rect& a, bool byColumn) { return byColumn ? a.top : a.left; }
int32_t End(const Rect& a, bool byColumn) { return byColumn ? a.bottom : a.right; }
}  // namespace

void MergeIndex::Runs::Add(const Entry& e, bool byColumn) {
    for (int32_t line = FirstLine(e.area, byColumn); line <= LastLine(e.area, byColumn); ++line)
        lines[line].emplace(Start(e.area, byColumn), e);
}

void MergeIndex::Runs::Remove(const Rect& a, bool byColumn) {
    for (int32_t line = FirstLine(a, byColumn); line <= LastLine(a, byColumn); ++line) {
        auto it = lines.find(line);
        if (it == lines.end()) continue;
        it->second.erase(Start(a, byColumn));
        if (it->second.empty()) lines.erase(it);
    }
}

const Rect* MergeIndex::Runs::At(int32_t line, int32_t pos, bool byColumn) const {
    auto l = lines.find(line);
    if (l == lines.end()) return nullptr;
    auto it = l->second.upper_bound(pos);
    if (it == l->second.begin()) return nullptr;
    --it;
    return End(it->second.area, byColumn) >= pos ? &it->second.area : nullptr;
}

template <class F>
void MergeIndex::Runs::ForEachMeeting(const Rect& block, bool byColumn, F f) const {
    int32_t lo = Start(block, byColumn), hi = End(block, byColumn);
    for (auto l = lines.lower_bound(FirstLine(block, byColumn)); l != lines.end() && l->first <= LastLine(block, byColumn); ++l) {
        auto it = l->second.upper_bound(lo);
        if (it != l->second.begin()) {
            auto before = std::prev(it);
            if (End(before->second.area, byColumn) >= lo) f(before->second);
        }
        for (; it != l->second.end() && it->first <= hi; ++it) f(it->second);
    }
}

void MergeIndex::Assign(std::vector<Rect> areas) {
    clear();
    for (const Rect& a : areas) push_back(a);
}

bool MergeIndex::push_back(const Rect& area) {
    if (!Meeting(area).empty()) return false;
    Entry e{area, nextSeq_++};
    (ByColumn(area) ? tall_ : wide_).Add(e, ByColumn(area));
    list_.push_back(area);
    seq_.push_back(e.seq);
    return true;
}

void MergeIndex::clear() {
    list_.clear();
    seq_.clear();
    tall_.lines.clear();
    wide_.lines.clear();
}

const Rect* MergeIndex::At(int32_t row, int32_t col) const {
    if (const Rect* m = tall_.At(col, row, true)) return m;
    return wide_.At(row, col, false);
}

// An area indexed on several lines is met once per line: each is kept once.
std::vector<MergeIndex::Entry> MergeIndex::Meeting(const Rect& block) const {
    std::vector<Entry> found;
    auto add = [&](const Entry& e) { found.push_back(e); };
    tall_.ForEachMeeting(block, true, add);
    wide_.ForEachMeeting(block, false, add);
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.seq < b.seq; });
    found.erase(std::unique(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.seq == b.seq; }),
                found.end());
    return found;
}

std::vector<Rect> MergeIndex::Intersecting(const Rect& block) const {
    std::vector<Rect> out;
    for (const Entry& e : Meeting(block)) out.push_back(e.area);
    return out;
}

size_t MergeIndex::RemoveIntersecting(const Rect& block) {
    std::vector<Entry> gone = Meeting(block);
    if (gone.empty()) return 0;
    for (const Entry& e : gone) (ByColumn(e.area) ? tall_ : wide_).Remove(e.area, ByColumn(e.area));
    // Both lists are in order of seq: one pass keeps the rest in order.
    size_t w = 0, g = 0;
    for (size_t i = 0; i < list_.size(); ++i) {
        while (g < gone.size() && gone[g].seq < seq_[i]) ++g;
        if (g < gone.size() && gone[g].seq == seq_[i]) continue;
        list_[w] = list_[i];
        seq_[w] = seq_[i];
        ++w;
    }
    list_.resize(w);
    seq_.resize(w);
    return gone.size();
}

}  // namespace host
