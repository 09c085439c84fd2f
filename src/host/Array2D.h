#pragma once
#include <vector>

#include "host/Variant.h"

namespace host {

// A block of values indexed from 1 (row, column), as a multi-cell Range.Value reads and writes it.
class Array2D {
public:
    Array2D() = default;
    Array2D(int32_t rows, int32_t cols) : rows_(rows), cols_(cols), v_(size_t(rows) * cols) {}
    int32_t Rows() const { return rows_; }
    int32_t Columns() const { return cols_; }
    Variant& operator()(int32_t r, int32_t c) { return v_[size_t(r - 1) * cols_ + (c - 1)]; }
    const Variant& operator()(int32_t r, int32_t c) const { return v_[size_t(r - 1) * cols_ + (c - 1)]; }

private:
    int32_t rows_ = 0, cols_ = 0;
    std::vector<Variant> v_;
};

}  // namespace host
