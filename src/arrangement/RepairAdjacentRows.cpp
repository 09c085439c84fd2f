// RepairAdjacentRows: the row-level repair of the random ordering.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "arrangement/AssignRandomBalanced.h"
#include "arrangement/FarPartners.h"
#include "arrangement/RandomDraw.h"
#include "arrangement/RoomList.h"
#include "arrangement/RowSwap.h"

namespace arrangement {

namespace {

// Every row's class numbered 1, 2, … in order of first appearance, 0 for no
// class (rows outside 2 .. N read as empty, which equals no class).
FarPartners IndexClasses(const WorkTable& t) {
    std::vector<int32_t> numbers(size_t(std::max(t.LastRow(), 0)) + 2, 0);
    std::unordered_map<std::string, int32_t> seen;
    for (int32_t r = 2; r <= t.LastRow(); ++r) {
        const host::Variant& v = t.ClassOf(r);
        if (v.IsEmpty()) continue;
        numbers[size_t(r)] = seen.try_emplace(ValueKey(v), int32_t(seen.size()) + 1).first->second;
    }
    const int32_t classes = int32_t(seen.size());
    return FarPartners(std::move(numbers), classes);
}

class Repair {
public:
    Repair(WorkTable& table, int16_t classCount, platform::Toolkit& toolkit)
        : t_(table), classCount_(classCount), toolkit_(toolkit), n_(table.LastRow()), partners_(IndexClasses(table)) {}

    void Run() {
        for (int32_t i = 2; i <= n_ - 1; ++i)
            if (IsPair(i)) SeparatePair(i);
    }

private:
    int32_t ClassOf(int32_t row) const { return partners_.ClassOf(row); }
    bool Differs(int32_t row, int32_t x) const { return ClassOf(row) != x; }

    bool IsPair(int32_t i) const {
        const int32_t x = ClassOf(i);
        return x != 0 && ClassOf(i + 1) == x && t_.cells(i + 1, t_.RoomColumn()) == t_.cells(i, t_.RoomColumn());
    }

    void SeparatePair(int32_t i) {
        if (SwapWithNear(i)) return;
        SwapWithFar(i);
    }

    // Y, the partner's class, must not join the candidate's old neighbours.
    bool FitsBetweenNeighbours(int32_t i, int32_t partner) const {
        const int32_t y = ClassOf(partner);
        return y != 0 && Differs(i - 1, y) && Differs(i + 1, y);
    }

    bool NearPasses(int32_t i, int32_t j, int32_t x) const {
        int32_t partner = i - j;
        if (partner < 2) return false;  // only rows 2 .. N are swap partners
        if (j == 1) return Differs(i - 1, x) && Differs(i - 2, x);
        return Differs(partner, x) && Differs(partner - 1, x) && Differs(partner + 1, x) &&
               FitsBetweenNeighbours(i, partner);
    }

    bool SwapWithNear(int32_t i) {
        const int32_t x = ClassOf(i);
        toolkit_.Randomize();
        LazyPermutation offsets(toolkit_, 1, classCount_ - 1);
        for (int32_t j; offsets.Next(j);) {
            if (!NearPasses(i, j, x)) continue;
            Swap(i, i - j);
            return true;
        }
        return false;
    }

    // Any row of 2 .. N − 1 whose class is neither X nor the class above row
    // i and has no X next to it, drawn uniformly among all such rows (as
    // trying rows in random order until one passes would). The index counts
    // them, so a search costs O(log N) whether it finds one or not.
    void SwapWithFar(int32_t i) {
        const int32_t x = ClassOf(i);
        toolkit_.Randomize();
        const int32_t count = partners_.Count(x, ClassOf(i - 1));
        if (count == 0) return;
        Swap(i, partners_.Pick(x, ClassOf(i - 1), RandomWhole(toolkit_, count)));
    }

    void Swap(int32_t a, int32_t b) {
        SwapCandidates(t_, a, b);
        partners_.Swap(a, b);
    }

    WorkTable& t_;
    int16_t classCount_;
    platform::Toolkit& toolkit_;
    int32_t n_;
    FarPartners partners_;  // holds the class number of every row
};

}  // namespace

void RepairAdjacentRows(WorkTable& table, int16_t classCount, platform::Toolkit& toolkit) {
    if (classCount <= 1 || table.classColumn <= 0) return;
    Repair(table, classCount, toolkit).Run();
}

}  // namespace arrangement
