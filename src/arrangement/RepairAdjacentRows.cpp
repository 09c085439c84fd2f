// RepairAdjacentRows: the row-level repair of the random ordering.
#include <string>
#include <unordered_set>

#include "arrangement/AssignRandomBalanced.h"
#include "arrangement/RandomDraw.h"
#include "arrangement/RoomList.h"
#include "arrangement/RowSwap.h"

namespace arrangement {

namespace {

// Rows outside 2 .. N read as empty, which equals no class.
class Repair {
public:
    Repair(WorkTable& table, int16_t classCount, platform::Toolkit& toolkit)
        : t_(table), classCount_(classCount), toolkit_(toolkit), n_(table.LastRow()) {}

    void Run() {
        for (int32_t i = 2; i <= n_ - 1; ++i)
            if (IsPair(i)) SeparatePair(i);
    }

private:
    const host::Variant& ClassOf(int32_t row) const { return t_.ClassOf(row); }
    bool Differs(int32_t row, const host::Variant& x) const { return !(ClassOf(row) == x); }

    bool IsPair(int32_t i) const {
        const host::Variant& x = ClassOf(i);
        return !x.IsEmpty() && ClassOf(i + 1) == x &&
               t_.cells(i + 1, t_.RoomColumn()) == t_.cells(i, t_.RoomColumn());
    }

    void SeparatePair(int32_t i) {
        if (SwapWithNear(i)) return;
        SwapWithFar(i);
    }

    // Y, the partner's class, must not join the candidate's old neighbours.
    bool FitsBetweenNeighbours(int32_t i, int32_t partner) const {
        const host::Variant& y = ClassOf(partner);
        return !y.IsEmpty() && Differs(i - 1, y) && Differs(i + 1, y);
    }

    bool NearPasses(int32_t i, int32_t j, const host::Variant& x) const {
        int32_t partner = i - j;
        if (partner < 2) return false;  // only rows 2 .. N are swap partners
        if (j == 1) return Differs(i - 1, x) && Differs(i - 2, x);
        return Differs(partner, x) && Differs(partner - 1, x) && Differs(partner + 1, x) &&
               FitsBetweenNeighbours(i, partner);
    }

    bool SwapWithNear(int32_t i) {
        const host::Variant x = ClassOf(i);
        toolkit_.Randomize();
        LazyPermutation offsets(toolkit_, 1, classCount_ - 1);
        for (int32_t j; offsets.Next(j);) {
            if (!NearPasses(i, j, x)) continue;
            Swap(i, i - j);
            return true;
        }
        return false;
    }

    bool FarPasses(int32_t i, int32_t j, const host::Variant& x) const {
        return Differs(j, x) && Differs(j - 1, x) && Differs(j + 1, x) && FitsBetweenNeighbours(i, j);
    }

    // Whether a far search passes depends only on X, the classes around row i
    // and the table; a search that found nothing finds nothing again until a
    // swap changes the table, so it is not repeated (its draws would be
    // discarded by the next reseed anyway).
    void SwapWithFar(int32_t i) {
        const host::Variant x = ClassOf(i);
        toolkit_.Randomize();
        std::string key = ValueKey(x) + '\0' + ValueKey(ClassOf(i - 1)) + '\0' + ValueKey(ClassOf(i + 1));
        if (failedFar_.count(key)) return;
        LazyPermutation rows(toolkit_, 2, n_ - 1);
        for (int32_t j; rows.Next(j);) {
            if (!FarPasses(i, j, x)) continue;
            Swap(i, j);
            return;
        }
        failedFar_.insert(std::move(key));
    }

    void Swap(int32_t a, int32_t b) {
        SwapCandidates(t_, a, b);
        failedFar_.clear();
    }

    WorkTable& t_;
    int16_t classCount_;
    platform::Toolkit& toolkit_;
    int32_t n_;
    std::unordered_set<std::string> failedFar_;
};

}  // namespace

void RepairAdjacentRows(WorkTable& table, int16_t classCount, platform::Toolkit& toolkit) {
    if (classCount <= 1 || table.classColumn <= 0) return;
    Repair(table, classCount, toolkit).Run();
}

}  // namespace arrangement
