// RepairAdjacentRows: the row-level repair of the random ordering.
#include <string>
#include <unordered_map>

#include "arrangement/AssignRandomBalanced.h"
#include "arrangement/RandomDraw.h"
#include "arrangement/RoomList.h"
#include "arrangement/RowSwap.h"

namespace arrangement {

namespace {

// The classes a far search for a partner looked for and found no row for.
struct FailedSearch {
    host::Variant x, left, right;
};

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

    // A far search depends on X, the classes left and right of row i and the
    // table; this is the same test with those three given.
    bool FarPassesFor(const FailedSearch& f, int32_t j) const {
        const host::Variant& y = ClassOf(j);
        return Differs(j, f.x) && Differs(j - 1, f.x) && Differs(j + 1, f.x) && !y.IsEmpty() && !(f.left == y) &&
               !(f.right == y);
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
        failedFar_.emplace(std::move(key), FailedSearch{x, ClassOf(i - 1), ClassOf(i + 1)});
    }

    // A swap of rows a and b changes the outcome of a far search only at rows
    // a − 1 … a + 1 and b − 1 … b + 1: a search that failed stays failed
    // unless one of them passes now. (Clearing every failure at each swap
    // made a sheet with few, unbalanced classes quadratic: each search walked
    // the whole table again.)
    void Swap(int32_t a, int32_t b) {
        SwapCandidates(t_, a, b);
        std::erase_if(failedFar_, [&](const auto& entry) {
            for (int32_t centre : {a, b})
                for (int32_t j = centre - 1; j <= centre + 1; ++j)
                    if (j >= 2 && j <= n_ - 1 && FarPassesFor(entry.second, j)) return true;
            return false;
        });
    }

    WorkTable& t_;
    int16_t classCount_;
    platform::Toolkit& toolkit_;
    int32_t n_;
    std::unordered_map<std::string, FailedSearch> failedFar_;
};

}  // namespace

void RepairAdjacentRows(WorkTable& table, int16_t classCount, platform::Toolkit& toolkit) {
    if (classCount <= 1 || table.classColumn <= 0) return;
    Repair(table, classCount, toolkit).Run();
}

}  // namespace arrangement
