#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/Address.h"
#include "host/Cell.h"
#include "host/PageSetup.h"

namespace host {

class Workbook;
class Range;

enum XlSheetVisibility : int { xlSheetVisible = -1, xlSheetHidden = 0, xlSheetVeryHidden = 2 };

// Sheet protection as stored in the file. A hash read from a file is kept as it
// is; Protect(password) writes a new SHA-512 hash and the legacy one.
struct SheetProtection {
    bool enabled = false;
    std::string legacyHash;      // 4 hex digits, attribute "password"; empty when none
    std::string algorithmName;   // "SHA-512" or empty
    std::string hashValue;       // base64
    std::string saltValue;       // base64
    uint32_t spinCount = 0;
    // Other attributes of <sheetProtection> (objects, scenarios, formatCells …), kept verbatim.
    std::vector<std::pair<std::string, std::string>> options;
};

// A picture embedded in the sheet, anchored to cells so that it follows row
// and column moves. Offsets are EMU inside the anchor cell.
struct CellAnchor {
    int32_t col = 1, row = 1;    // 1-based
    int64_t colOffset = 0, rowOffset = 0;
    friend bool operator==(const CellAnchor&, const CellAnchor&) = default;
};

struct Picture {
    std::string name;
    std::string description;
    std::shared_ptr<const std::vector<uint8_t>> data;  // the image file's bytes
    std::string extension;                              // "jpeg", "png", "gif", "bmp"
    CellAnchor from, to;
    int64_t widthEmu = 0, heightEmu = 0;
};

class Worksheet;

// Worksheet.Shapes: the embedded pictures, added as the host adds them.
class Shapes {
public:
    explicit Shapes(Worksheet& ws) : ws_(ws) {}
    // Left, top, width and height in points from the sheet's top-left corner.
    Picture& AddPicture(const std::string& file, double left, double top, double width, double height);
    int Count() const;

private:
    Worksheet& ws_;
};

class Worksheet {
public:
    Worksheet(Workbook* parent, std::string name, std::string codeName);
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    Workbook& Parent() const { return *parent_; }
    int Index() const;  // 1-based position in the workbook

    const std::string& Name() const { return name_; }
    // Enforces the host's rules (≤ 31 characters, none of : \ / ? * [ ], not
    // empty, unique in the workbook without regard to case); throws HostError.
    void SetName(const std::string& name);
    const std::string& CodeName() const { return codeName_; }
    void SetCodeName(std::string codeName) { codeName_ = std::move(codeName); }

    int Visible() const { return visible_; }
    void SetVisible(int v);  // -1 / true, 0, 2; making the last visible sheet hidden is a HostError

    void Protect(const std::string& password);
    void Unprotect(const std::string& password);  // wrong password: HostError
    bool ProtectContents() const { return protection_.enabled; }
    const SheetProtection& Protection() const { return protection_; }
    void SetProtection(SheetProtection p) { protection_ = std::move(p); }
    bool CheckPassword(const std::string& password) const;

    void Activate();
    const std::string& ScrollArea() const { return scrollArea_; }
    void SetScrollArea(std::string a1) { scrollArea_ = std::move(a1); }
    CellRef ActiveCell() const { return activeCell_; }
    void SetActiveCell(CellRef c) { activeCell_ = c; }
    const std::string& Selection() const { return selection_; }
    void SetSelection(std::string a1) { selection_ = std::move(a1); }

    // Range handles.
    Range GetRange(std::string_view a1);
    Range GetRange(const Rect& r);
    Range Cells(int32_t row, int32_t col);
    Range Cells();                 // every cell of the sheet
    Range Rows(int32_t row);
    Range Columns(int32_t col);
    Range UsedRange();

    // The smallest rectangle holding every stored cell (value, formula or own
    // format) and every row/column with a format of its own; A1 for a blank sheet.
    Rect UsedRect() const;

    // Copy with neither before nor after: a new workbook holding just this
    // sheet, which becomes the active workbook.
    Workbook& Copy();
    // Copies into `target` after the sheet `after` (nullptr: at the end).
    Worksheet& CopyTo(Workbook& target, Worksheet* after);
    void Delete();

    host::PageSetup& PageSetup() { return pageSetup_; }
    const host::PageSetup& PageSetup() const { return pageSetup_; }
    // Hands the print area (or the used range) to the application's print
    // service; `prToFileName` prints into that file instead of the printer.
    void PrintOut(bool preview = false, const std::string& prToFileName = "");

    // A text typed into a cell by the user of the GUI or the command line:
    // refused with HostError on a protected sheet when the cell is locked, else
    // stored as typed (formula, number, boolean, text; text in "@" cells; empty
    // text clears the value and keeps the format).
    void UserEdit(int32_t row, int32_t col, const std::string& typed);

    host::Shapes Shapes() { return host::Shapes(*this); }
    // Pictures: AddPicture takes points from the sheet's top-left corner.
    Picture& AddPicture(const std::string& file, double left, double top, double width, double height);
    std::vector<Picture>& Pictures() { return pictures_; }
    const std::vector<Picture>& Pictures() const { return pictures_; }

    // ----- cell storage, used by Range and by the file reader and writer -----
    const std::vector<Row>& RowsData() const { return rows_; }
    std::vector<Row>& RowsData() { return rows_; }
    const Row* FindRow(int32_t row) const;
    Row& GetRow(int32_t row);  // creates the row when missing
    const Cell* FindCell(int32_t row, int32_t col) const;
    Cell& GetCell(int32_t row, int32_t col);
    const Variant& ValueAt(int32_t row, int32_t col) const;  // empty when no cell
    void SetValueAt(int32_t row, int32_t col, Variant v);   // clears a formula
    uint32_t StyleAt(int32_t row, int32_t col) const;        // cell, else row, else column format
    void SetStyleAt(int32_t row, int32_t col, uint32_t style);
    void EraseCell(int32_t row, int32_t col);

    const std::vector<ColumnInfo>& ColumnsData() const { return cols_; }
    const ColumnInfo* FindColumn(int32_t col) const;
    ColumnInfo& GetColumn(int32_t col);
    std::vector<ColumnInfo>& ColumnsData() { return cols_; }

    std::vector<Rect>& MergedAreas() { return merges_; }
    const std::vector<Rect>& MergedAreas() const { return merges_; }
    // The merged area holding the cell, or null.
    const Rect* MergeAreaAt(int32_t row, int32_t col) const;

    // Sizes in points; the default width is in characters as in the file.
    double DefaultColumnWidth() const { return defaultColWidth_; }
    void SetDefaultColumnWidth(double chars) { defaultColWidth_ = chars; }
    double StandardHeight() const { return defaultRowHeight_; }
    void SetStandardHeight(double pt) { defaultRowHeight_ = pt; }
    double ColumnWidthChars(int32_t col) const;  // as Range.ColumnWidth reports it
    void SetColumnWidthChars(int32_t col, double chars);  // stores the file width with padding
    double ColumnWidthPoints(int32_t col) const;
    double RowHeightPoints(int32_t row) const;

    bool ShowGridLines() const { return showGridLines_; }
    void SetShowGridLines(bool v) { showGridLines_ = v; }
    bool TabSelected() const { return tabSelected_; }
    void SetTabSelected(bool v) { tabSelected_ = v; }

    // Set whenever the sheet's contents change.
    void MarkChanged();

private:
    Workbook* parent_;
    std::string name_, codeName_;
    int visible_ = xlSheetVisible;
    SheetProtection protection_;
    std::string scrollArea_;
    CellRef activeCell_;
    std::string selection_;
    std::vector<Row> rows_;         // rows_[r - 1]
    std::vector<ColumnInfo> cols_;  // cols_[c - 1]
    std::vector<Rect> merges_;
    std::vector<Picture> pictures_;
    host::PageSetup pageSetup_;
    double defaultColWidth_ = 8.43;
    double defaultRowHeight_ = 13.5;
    bool showGridLines_ = true;
    bool tabSelected_ = false;

    friend class Workbook;
};

}  // namespace host
