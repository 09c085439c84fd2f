#pragma once
// Storage of one sheet's cells: rows in a vector indexed by row number, each
// row a vector of its used cells sorted by column. Only cells with a value, a
// formula or a format of their own are stored.
#include <memory>
#include <string>
#include <vector>

#include "host/Variant.h"

namespace host {

struct Cell {
    int32_t col = 0;
    uint32_t style = 0;
    Variant value;                          // for a formula cell: its cached result
    std::unique_ptr<std::string> formula;   // A1 form without the leading "="; null when none

    Cell() = default;
    explicit Cell(int32_t c) : col(c) {}
    Cell(const Cell& o) : col(o.col), style(o.style), value(o.value),
                          formula(o.formula ? std::make_unique<std::string>(*o.formula) : nullptr) {}
    Cell& operator=(const Cell& o) {
        if (this != &o) {
            col = o.col; style = o.style; value = o.value;
            formula = o.formula ? std::make_unique<std::string>(*o.formula) : nullptr;
        }
        return *this;
    }
    Cell(Cell&&) noexcept = default;
    Cell& operator=(Cell&&) noexcept = default;

    bool HasFormula() const { return formula != nullptr; }
    // A cell that holds nothing and has the default format need not be stored.
    bool IsBlank() const { return value.IsEmpty() && !formula && style == 0; }
};

struct RowInfo {
    double height = 0;        // points; 0 = the sheet's default height
    bool customHeight = false;
    // The height was fitted to the content here (AutoFit.h), so it follows
    // the content; a height a file gave without customHeight does not.
    bool fitted = false;
    // Fitted only because the row was shown, printed or saved, not because
    // its cells were edited here: layout, not written to the file, so a
    // user's rows keep the heights their own program gives them.
    bool autoFitted = false;
    bool hidden = false;
    uint32_t style = 0;       // whole-row format; 0 = none
    bool HasStyle() const { return style != 0; }
    bool IsDefault() const { return height == 0 && !customHeight && !hidden && style == 0; }
};

struct Row {
    std::vector<Cell> cells;  // sorted by col
    RowInfo info;

    const Cell* Find(int32_t col) const;
    Cell* Find(int32_t col);
    Cell& Get(int32_t col);  // creates the cell when missing
    void Erase(int32_t col);
};

struct ColumnInfo {
    double width = 0;         // characters as stored in the file; 0 = the sheet's default width
    bool customWidth = false;
    bool hidden = false;
    uint32_t style = 0;
    bool IsDefault() const { return width == 0 && !customWidth && !hidden && style == 0; }
};

}  // namespace host
