#pragma once
// The narrow interface through which the package reader fills a workbook. The
// reader knows the file format and nothing of the model's storage; a sink
// knows the model and nothing of XML. Values arrive already decoded: text
// resolved from shared strings, formulas of a shared group expanded per cell,
// sizes in the model's units (points, characters).
//
// Call order, for one package:
//
//   WorkbookSink::SetDate1904                      at most once
//   WorkbookSink::SetCellFormats                   once, before any sheet
//   WorkbookSink::AddSheet → SheetSink&            once per worksheet, in tab order; valid until Finish
//   for each worksheet (see the note on threads below):
//       SheetSink::SetCodeName                     at most once
//       SheetSink::SetDefaultSizes                 at most once, before any column or row
//       SheetSink::SetColumns                      any number, before the first row
//       SheetSink::ExpectRows                      at most once, before the first row (a hint)
//       SheetSink::StartRow                        rows in the order of the file
//         SheetSink::SetCell / SetFormulaCell      cells of that row, usually by column
//       SheetSink::AddMergedArea, SetProtection,
//       SetPageSetup, SetView                      after the rows, any order
//   SheetSink::AddPicture                          after every sheet's cells, from the calling thread
//   SheetSink::SetKept                             at most once per sheet, after its pictures
//   WorkbookSink::SetPrintArea / SetPrintTitles    after all sheets
//   WorkbookSink::AddDefinedName                   after all sheets
//   WorkbookSink::SetActiveSheet                   at most once
//   WorkbookSink::SetVbaProject                    at most once
//   WorkbookSink::SetKept                          at most once
//   WorkbookSink::Finish                           once, when everything was read
//
// Threads: the cells and settings of different sheets may be delivered at the
// same time from two threads, each SheetSink from one thread only; every
// WorkbookSink call and AddPicture come from the thread that called the reader.
// A SheetSink therefore touches only its own sheet.
//
// Format indices (`xf`) are positions in the list given to SetCellFormats;
// index 0 is the file's default format. When reading fails the reader stops
// calling and throws; the sink then discards what it built.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Cell.h"
#include "host/KeptXml.h"
#include "host/Style.h"
#include "host/Variant.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host::xlsx {

struct SheetView {
    bool showGridLines = true;
    bool tabSelected = false;
    CellRef activeCell;
    std::string selection;  // A1 areas separated by commas; empty when none
    int32_t frozenRows = 0, frozenColumns = 0;
};

class SheetSink {
public:
    virtual ~SheetSink() = default;
    virtual void SetCodeName(const std::string& codeName) = 0;
    // Width in characters as the file stores it; height in points; 0 = keep the model's default.
    virtual void SetDefaultSizes(double columnWidth, double rowHeight) = 0;
    // Columns first..last (1-based, inclusive) share `info`; info.style is an xf index.
    virtual void SetColumns(int32_t first, int32_t last, const ColumnInfo& info) = 0;
    virtual void ExpectRows(int32_t lastRow) = 0;
    // info.style is an xf index (0 when the row has no format of its own).
    virtual void StartRow(int32_t row, const RowInfo& info) = 0;
    virtual void SetCell(int32_t row, int32_t col, uint32_t xf, Variant&& value) = 0;
    // `formula` in A1 form without "="; `cached` is the last result the producer stored.
    virtual void SetFormulaCell(int32_t row, int32_t col, uint32_t xf, std::string&& formula, Variant&& cached) = 0;
    virtual void AddMergedArea(const Rect& area) = 0;
    virtual void SetProtection(SheetProtection&& protection) = 0;
    virtual void SetPageSetup(PageSetup&& setup) = 0;  // print areas and titles arrive separately
    virtual void SetView(const SheetView& view) = 0;
    virtual void AddPicture(Picture&& picture) = 0;
    // What the sheet's part carries beyond the above (KeptXml.h).
    virtual void SetKept(KeptSheet&& kept) = 0;
};

class WorkbookSink {
public:
    virtual ~WorkbookSink() = default;
    virtual void SetDate1904(bool date1904) = 0;
    virtual void SetCellFormats(std::vector<CellFormat>&& formats) = 0;
    // `visible` is one of xlSheetVisible, xlSheetHidden, xlSheetVeryHidden.
    virtual SheetSink& AddSheet(const std::string& name, int visible) = 0;
    // Sheet indices are 0-based positions among the sheets added.
    virtual void SetPrintArea(int sheet, const std::string& areas) = 0;
    virtual void SetPrintTitles(int sheet, const std::string& rows, const std::string& columns) = 0;
    virtual void AddDefinedName(DefinedName&& name) = 0;
    virtual void SetActiveSheet(int sheet) = 0;
    virtual void SetVbaProject(std::vector<uint8_t>&& bytes) = 0;
    // What the workbook part and the package carry beyond the above.
    virtual void SetKept(KeptWorkbook&& kept) = 0;
    virtual void Finish() = 0;
};

}  // namespace host::xlsx
