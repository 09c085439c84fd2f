#pragma once
// Copies of what an edit can reach, taken before and after it, so that the
// edit can be taken back and made again:
//
//   CellBlockState   the stored cells (values, formulas, formats) of a block,
//                    the merged areas that meet it and its rows' heights
//   SheetState       everything a worksheet holds: cells, rows, columns,
//                    merges, pictures, page setup, protection, what the file
//                    kept beyond the model
//   WorkbookState    every sheet of a workbook (by identity, so that a sheet
//                    still present is restored in place and keeps its
//                    address), its formats, names and kept parts
//
// Format indices stay valid across a restore: a workbook's format table only
// grows, except when a whole WorkbookState puts back the table it held.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/Address.h"
#include "host/Cell.h"
#include "host/KeptXml.h"
#include "host/MergeIndex.h"
#include "host/PageSetup.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

struct CellBlockState {
    Rect block;
    std::vector<std::pair<int32_t, Cell>> cells;  // (row, cell), by row then column
    std::vector<Rect> merges;                     // every merged area meeting the block
    // Heights of the block's rows that have one (row, height, custom,
    // fitted): a height fitted to the cells goes back with them.
    struct Height {
        int32_t row;
        double height;
        bool custom, fitted, autoFitted;
    };
    std::vector<Height> heights;

    // Same cells (column, format, value, formula) and merges.
    bool SameAs(const CellBlockState& o) const;
};

CellBlockState TakeCells(const Worksheet& ws, const Rect& block);
// Puts the block back: cells in it not in the state are erased, merged
// areas meeting it are replaced by the state's.
void RestoreCells(Worksheet& ws, const CellBlockState& state);

class SheetState {
public:
    static SheetState Take(const Worksheet& ws);
    // Puts the state back into a sheet (its own, or a new one of the same workbook).
    void RestoreInto(Worksheet& ws) const;
    const std::string& Name() const { return name_; }
    const std::string& CodeName() const { return codeName_; }
    int64_t CellCount() const;

private:
    std::string name_, codeName_;
    int visible_ = xlSheetVisible;
    SheetProtection protection_;
    std::string scrollArea_;
    CellRef activeCell_;
    std::string selection_;
    std::vector<Row> rows_;
    std::vector<ColumnInfo> cols_;
    std::vector<Rect> merges_;
    PictureList pictures_;
    PageSetup pageSetup_;
    double defaultColWidth_ = 8.43, defaultRowHeight_ = 13.5;
    bool showGridLines_ = true, tabSelected_ = false;
    int32_t frozenRows_ = 0, frozenCols_ = 0;
    KeptSheet kept_;
};

class WorkbookState {
public:
    static WorkbookState Take(const Workbook& wb);
    // Sheets taken that are still in the workbook are restored in place;
    // those since deleted come back as new sheets; sheets added since go.
    // The workbook's name, path and open state are left alone.
    void RestoreInto(Workbook& wb) const;
    // Stored cells held, a measure of the copy's size.
    int64_t CellCount() const;

private:
    std::vector<std::pair<const Worksheet*, SheetState>> sheets_;  // tab order
    int activeSheet_ = -1;  // 0-based, -1 none
    StyleTable styles_;
    std::vector<DefinedName> names_;
    bool date1904_ = false;
    KeptWorkbook kept_;
};

}  // namespace host
