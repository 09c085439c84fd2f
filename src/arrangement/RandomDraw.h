#pragma once
// Random draws of the arrangement, all from the toolkit's source (uniform in
// [0, 1), single precision) so that a fixed seed repeats a whole run.
#include <cstdint>
#include <unordered_map>

#include "platform/Toolkit.h"

namespace arrangement {

// A whole number from 1 to m: the integer part of m × random + 1. The product
// is taken in double precision: in single precision m × (1 − 2⁻²⁴) rounds to
// m itself once m exceeds a few thousand, which would give m + 1.
inline int32_t RandomWhole(platform::Toolkit& toolkit, int32_t m) {
    int32_t k = int32_t(double(m) * double(toolkit.Rnd())) + 1;
    return k > m ? m : k;
}

// The values first .. last in a uniformly random order, drawn one at a time
// (Fisher–Yates with only the touched positions stored), so that a search
// stopping at its k-th candidate costs k draws whatever the range. It tests
// candidates in the same uniformly random order that drawing with rejection
// of repeats gives.
class LazyPermutation {
public:
    LazyPermutation(platform::Toolkit& toolkit, int32_t first, int32_t last)
        : toolkit_(toolkit), first_(first), count_(last >= first ? last - first + 1 : 0) {}

    // False when every value has been drawn.
    bool Next(int32_t& value) {
        if (drawn_ >= count_) return false;
        int32_t pick = drawn_ + RandomWhole(toolkit_, count_ - drawn_) - 1;
        int32_t picked = At(pick);
        moved_[pick] = At(drawn_);
        ++drawn_;
        value = first_ + picked;
        return true;
    }

private:
    int32_t At(int32_t i) const {
        auto it = moved_.find(i);
        return it == moved_.end() ? i : it->second;
    }

    platform::Toolkit& toolkit_;
    int32_t first_, count_, drawn_ = 0;
    std::unordered_map<int32_t, int32_t> moved_;  // position → value offset, where it differs from the position
};

}  // namespace arrangement
