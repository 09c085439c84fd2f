#pragma once
// The far partners of the neighbour repair, kept up to date across swaps.
//
// Classes are numbered 1, 2, … (0: no class). A row j is a far partner for a
// candidate of class x whose row has class `left` above it when
//   2 ≤ j ≤ N − 1,  class(j) ≠ 0,  class(j) ≠ left,
//   and x is none of class(j − 1), class(j), class(j + 1),
// i.e. the candidate can take row j without meeting a classmate and row j's
// candidate can take the candidate's row without meeting one of class `left`
// (the row below the candidate is of class x itself). Rows 1 and N + 1 read
// as no class.
//
// The partners for x are held per candidate, not per row: candidates are
// numbered grouped by class (in class number order, inside a class by their
// row when the index was built), one bit per candidate says
// whether the candidate's current row is a partner for x, and a Fenwick tree
// over the 64-bit words counts the bits. The candidates of class `left` are
// then one contiguous range, so counting the partners and finding the k-th
// of them takes O(log N), and a swap changes the bits of at most six
// candidates for at most six classes each (the classes around their rows
// before and after). A class's bits are built, O(N), when it is first asked
// for.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace arrangement {

class FarPartners {
public:
    // classOfRow[r] for rows r = 0 .. N + 1; rows 0, 1 and N + 1 must be 0.
    // `classes` is the largest class number.
    FarPartners(std::vector<int32_t> classOfRow, int32_t classes);

    int32_t LastRow() const { return n_; }  // N
    int32_t ClassOf(int32_t row) const { return row >= 0 && row <= n_ + 1 ? class_[std::size_t(row)] : 0; }

    // How many rows are far partners for class x below class `left`.
    int32_t Count(int32_t x, int32_t left);
    // The k-th of them, k = 1 .. Count(x, left), in candidate order.
    int32_t Pick(int32_t x, int32_t left, int32_t k);

    // Exchanges the candidates (and so the classes) of rows a and b, both in
    // 1 .. N.
    void Swap(int32_t a, int32_t b);

private:
    struct Bits {
        bool built = false;
        int32_t count = 0;
        std::vector<uint64_t> words;
        std::vector<int32_t> tree;  // Fenwick tree over the words' bit counts, 1-based
    };

    bool IsPartner(int32_t x, int32_t candidate) const;
    Bits& Built(int32_t x);
    void Set(Bits& b, int32_t candidate, bool on);
    int32_t Before(const Bits& b, int32_t candidate) const;  // set bits below `candidate`
    int32_t Select(const Bits& b, int32_t k) const;          // the candidate of the k-th set bit
    // Partners of class `left` (their range of candidates) and those before it.
    void Excluded(const Bits& b, int32_t x, int32_t left, int32_t& before, int32_t& inside) const;

    int32_t n_;
    std::vector<int32_t> class_;        // per row, 0 .. N + 1
    std::vector<int32_t> candidateAt_;  // per row, −1 for a row without class
    std::vector<int32_t> rowOf_;        // per candidate
    std::vector<int32_t> first_;        // per class 0 .. classes + 1: its first candidate
    std::vector<Bits> bits_;            // per class
};

}  // namespace arrangement
