#include "host/Cell.h"

#include <algorithm>

namespace host {

namespace {
template <class V>
auto LowerBound(V& cells, int32_t col) {
    return std::lower_bound(cells.begin(), cells.end(), col,
                            [](const Cell& c, int32_t k) { return c.col < k; });
}
}  // namespace

const Cell* Row::Find(int32_t col) const {
    auto it = LowerBound(cells, col);
    return it != cells.end() && it->col == col ? &*it : nullptr;
}

Cell* Row::Find(int32_t col) {
    auto it = LowerBound(cells, col);
    return it != cells.end() && it->col == col ? &*it : nullptr;
}

Cell& Row::Get(int32_t col) {
    if (cells.empty() || cells.back().col < col) return cells.emplace_back(col);  // the common append
    auto it = LowerBound(cells, col);
    if (it != cells.end() && it->col == col) return *it;
    return *cells.emplace(it, col);
}

void Row::Erase(int32_t col) {
    auto it = LowerBound(cells, col);
    if (it != cells.end() && it->col == col) cells.erase(it);
}

}  // namespace host
