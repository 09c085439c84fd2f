#include "arrangement/FarPartners.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace arrangement {

FarPartners::FarPartners(std::vector<int32_t> classOfRow, int32_t classes)
    : n_(int32_t(classOfRow.size()) - 2), class_(std::move(classOfRow)), bits_(size_t(std::max(classes, 0)) + 1) {
    // first_[y]: candidates of the classes before y, counted then summed up.
    first_.assign(bits_.size() + 1, 0);
    for (int32_t c : class_)
        if (c > 0) ++first_[size_t(c) + 1];
    for (size_t y = 1; y < first_.size(); ++y) first_[y] += first_[y - 1];
    candidateAt_.assign(class_.size(), -1);
    rowOf_.assign(size_t(first_.back()), 0);
    std::vector<int32_t> next(first_.begin(), first_.end() - 1);
    for (int32_t r = 0; r <= n_ + 1; ++r) {
        const int32_t c = class_[size_t(r)];
        if (c <= 0) continue;
        const int32_t p = next[size_t(c)]++;
        candidateAt_[size_t(r)] = p;
        rowOf_[size_t(p)] = r;
    }
}

bool FarPartners::IsPartner(int32_t x, int32_t candidate) const {
    const int32_t r = rowOf_[size_t(candidate)];
    return r >= 2 && r <= n_ - 1 && class_[size_t(r) - 1] != x && class_[size_t(r)] != x && class_[size_t(r) + 1] != x;
}

FarPartners::Bits& FarPartners::Built(int32_t x) {
    Bits& b = bits_[size_t(x)];
    if (b.built) return b;
    const int32_t candidates = int32_t(rowOf_.size());
    const size_t words = (size_t(candidates) + 63) / 64;
    b.words.assign(words, 0);
    for (int32_t p = 0; p < candidates; ++p)
        if (IsPartner(x, p)) {
            b.words[size_t(p) >> 6] |= uint64_t(1) << (p & 63);
            ++b.count;
        }
    // Fenwick tree in linear time: each node passes its sum on to its parent.
    b.tree.assign(words + 1, 0);
    for (size_t i = 1; i <= words; ++i) {
        b.tree[i] += std::popcount(b.words[i - 1]);
        const size_t parent = i + (i & (~i + 1));
        if (parent <= words) b.tree[parent] += b.tree[i];
    }
    b.built = true;
    return b;
}

void FarPartners::Set(Bits& b, int32_t candidate, bool on) {
    uint64_t& word = b.words[size_t(candidate) >> 6];
    const uint64_t mask = uint64_t(1) << (candidate & 63);
    if (((word & mask) != 0) == on) return;
    word ^= mask;
    const int32_t delta = on ? 1 : -1;
    b.count += delta;
    for (size_t i = (size_t(candidate) >> 6) + 1; i < b.tree.size(); i += i & (~i + 1)) b.tree[i] += delta;
}

int32_t FarPartners::Before(const Bits& b, int32_t candidate) const {
    const size_t w = size_t(candidate) >> 6;
    int32_t sum = 0;
    for (size_t i = w; i > 0; i -= i & (~i + 1)) sum += b.tree[i];
    if (w < b.words.size()) sum += std::popcount(b.words[w] & ((uint64_t(1) << (candidate & 63)) - 1));
    return sum;
}

int32_t FarPartners::Select(const Bits& b, int32_t k) const {
    const size_t words = b.words.size();
    size_t pos = 0;  // words passed over, all with fewer than k bits together
    for (size_t step = std::bit_floor(words); step > 0; step >>= 1)
        if (pos + step <= words && b.tree[pos + step] < k) {
            pos += step;
            k -= b.tree[pos];
        }
    uint64_t word = b.words[pos];
    for (; k > 1; --k) word &= word - 1;
    return int32_t(pos * 64) + std::countr_zero(word);
}

void FarPartners::Excluded(const Bits& b, int32_t x, int32_t left, int32_t& before, int32_t& inside) const {
    before = inside = 0;
    if (left <= 0 || left == x || size_t(left) + 1 >= first_.size()) return;
    before = Before(b, first_[size_t(left)]);
    inside = Before(b, first_[size_t(left) + 1]) - before;
}

int32_t FarPartners::Count(int32_t x, int32_t left) {
    if (x <= 0 || size_t(x) >= bits_.size()) return 0;
    const Bits& b = Built(x);
    int32_t before, inside;
    Excluded(b, x, left, before, inside);
    return b.count - inside;
}

int32_t FarPartners::Pick(int32_t x, int32_t left, int32_t k) {
    const Bits& b = Built(x);
    int32_t before, inside;
    Excluded(b, x, left, before, inside);
    if (k > before) k += inside;
    return rowOf_[size_t(Select(b, k))];
}

void FarPartners::Swap(int32_t a, int32_t b) {
    if (a == b) return;
    // The candidates whose row or neighbours change, with the classes around
    // them before the swap.
    struct Touched {
        int32_t candidate;
        int32_t around[3];
        bool inRange;
    };
    Touched touched[6];
    int32_t count = 0;
    const int32_t rows[6] = {a - 1, a, a + 1, b - 1, b, b + 1};
    for (int32_t i = 0; i < 6; ++i) {
        const int32_t r = rows[i];
        if (r < 1 || r > n_ || std::find(rows, rows + i, r) != rows + i) continue;
        const int32_t p = candidateAt_[size_t(r)];
        if (p < 0) continue;
        touched[count++] = {p, {class_[size_t(r) - 1], class_[size_t(r)], class_[size_t(r) + 1]}, r >= 2 && r <= n_ - 1};
    }
    std::swap(class_[size_t(a)], class_[size_t(b)]);
    std::swap(candidateAt_[size_t(a)], candidateAt_[size_t(b)]);
    for (int32_t r : {a, b})
        if (candidateAt_[size_t(r)] >= 0) rowOf_[size_t(candidateAt_[size_t(r)])] = r;

    // A candidate is a partner for x unless x is around its row (or the row is
    // out of range): only the classes around it before and after can change.
    for (int32_t t = 0; t < count; ++t) {
        const Touched& before = touched[t];
        const int32_t r = rowOf_[size_t(before.candidate)];
        const bool inRange = r >= 2 && r <= n_ - 1;
        if (inRange != before.inRange) {
            for (size_t x = 1; x < bits_.size(); ++x)
                if (bits_[x].built) Set(bits_[x], before.candidate, IsPartner(int32_t(x), before.candidate));
            continue;
        }
        const int32_t after[3] = {class_[size_t(r) - 1], class_[size_t(r)], class_[size_t(r) + 1]};
        for (const int32_t* classes : {before.around, after})
            for (int32_t i = 0; i < 3; ++i) {
                const int32_t x = classes[i];
                if (x > 0 && bits_[size_t(x)].built) Set(bits_[size_t(x)], before.candidate, IsPartner(x, before.candidate));
            }
    }
}

}  // namespace arrangement
