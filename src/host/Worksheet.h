#pragma once
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Address.h"
#include "host/Cell.h"
#include "host/KeptXml.h"
#include "host/MergeIndex.h"
#include "host/PageSetup.h"
#include "host/SheetGeometry.h"

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
struct Picture {
    std::string name;
    std::string description;
    std::shared_ptr<const std::vector<uint8_t>> data;  // the image file's bytes
    std::string extension;                              // "jpeg", "png", "gif", "bmp"
    CellAnchor from, to;
    int64_t widthEmu = 0, heightEmu = 0;
};

class Worksheet;
class SheetState;

// The pictures of a sheet, in the order they were added. Each picture keeps
// its address from its adding to its removal, so references to it and Shape
// handles stay valid while other pictures are added or removed.
class PictureList {
    template <class T, class Base>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Picture;
        using difference_type = std::ptrdiff_t;
        using pointer = T*;
        using reference = T&;
        Iterator() = default;
        explicit Iterator(Base it) : it_(it) {}
        T& operator*() const { return **it_; }
        T* operator->() const { return it_->get(); }
        Iterator& operator++() { ++it_; return *this; }
        Iterator operator++(int) { Iterator old = *this; ++it_; return old; }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        Base it_{};
    };
    using Storage = std::vector<std::unique_ptr<Picture>>;

public:
    using iterator = Iterator<Picture, Storage::iterator>;
    using const_iterator = Iterator<const Picture, Storage::const_iterator>;

    PictureList() = default;
    PictureList(const PictureList& o) { *this = o; }
    PictureList& operator=(const PictureList& o);  // copies the pictures (their image bytes are shared)
    PictureList(PictureList&&) noexcept = default;
    PictureList& operator=(PictureList&&) noexcept = default;
    PictureList& operator=(std::initializer_list<Picture> pictures);

    Picture& push_back(Picture p);
    // Removes the pictures for which pred(Picture&) holds; returns how many.
    template <class Pred>
    size_t EraseIf(Pred pred) {
        return std::erase_if(items_, [&](const std::unique_ptr<Picture>& p) { return pred(*p); });
    }
    void clear() { items_.clear(); }

    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    Picture& operator[](size_t i) { return *items_[i]; }
    const Picture& operator[](size_t i) const { return *items_[i]; }
    iterator begin() { return iterator(items_.begin()); }
    iterator end() { return iterator(items_.end()); }
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

private:
    Storage items_;
};

// Shapes(i), or what Shapes.AddPicture returns: a handle to one picture of a
// sheet, valid as long as the picture is on the sheet. Positions and sizes in
// points from the sheet's top-left corner, as the host gives them.
class Shape {
public:
    Shape(Worksheet& ws, Picture& picture) : ws_(&ws), picture_(&picture) {}

    const std::string& Name() const { return picture_->name; }
    void SetName(std::string name);
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    // Moving keeps the size; resizing keeps the top-left corner.
    void SetLeft(double points);
    void SetTop(double points);
    void SetWidth(double points);
    void SetHeight(double points);

    Picture& Data() const { return *picture_; }
    Worksheet& Parent() const { return *ws_; }
    friend bool operator==(const Shape& a, const Shape& b) { return a.picture_ == b.picture_; }

private:
    void Place(double left, double top, double width, double height);

    Worksheet* ws_;
    Picture* picture_;
};

// Worksheet.Shapes: the embedded pictures, added as the host adds them.
class Shapes {
public:
    explicit Shapes(Worksheet& ws) : ws_(ws) {}
    // Left, top, width and height in points from the sheet's top-left corner.
    Shape AddPicture(const std::string& file, double left, double top, double width, double height);
    int Count() const;
    Shape Item(int index) const;  // 1-based; HostError when there is none

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
    // format) and every row/column with a format of its own; A1 for a blank
    // sheet. Columns with the last column's format (a format given to the
    // whole sheet or "to the end") are not counted.
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
    // A sheet with nothing to print (no cells, no pictures, no print area)
    // prints nothing, as in the host: false then, and the service is not called.
    bool PrintOut(bool preview = false, const std::string& prToFileName = "");

    // A text typed into a cell by the user of the GUI or the command line:
    // refused with HostError on a protected sheet when the cell is locked, else
    // stored as typed (formula, number, boolean, text; text in "@" cells; empty
    // text clears the value and keeps the format).
    void UserEdit(int32_t row, int32_t col, const std::string& typed);
    // The refusal UserEdit would give before anything is typed: HostError
    // for a locked cell of a protected sheet.
    void CheckUserEdit(int32_t row, int32_t col) const;
    // The same for every cell of a block; whole rows and columns are judged
    // by their formats, so a block of any size costs what is stored in it.
    void CheckUserEdit(const Rect& block) const;

    host::Shapes Shapes() { return host::Shapes(*this); }
    // Pictures: AddPicture takes points from the sheet's top-left corner.
    Picture& AddPicture(const std::string& file, double left, double top, double width, double height);
    PictureList& Pictures() { return pictures_; }
    const PictureList& Pictures() const { return pictures_; }

    // ----- cell storage, used by Range and by the file reader and writer -----
    const std::vector<Row>& RowsData() const { return rows_; }
    std::vector<Row>& RowsData() { return rows_; }
    // Forgets empty, unformatted rows at the end of the storage.
    void DropTrailingEmptyRows();
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

    MergeIndex& MergedAreas() { return merges_; }
    const MergeIndex& MergedAreas() const { return merges_; }
    // The merged area holding the cell, or null.
    const Rect* MergeAreaAt(int32_t row, int32_t col) const;

    // Sizes in points; the default width is in characters as in the file.
    double DefaultColumnWidth() const { return defaultColWidth_; }
    void SetDefaultColumnWidth(double chars);
    double StandardHeight() const { return defaultRowHeight_; }
    void SetStandardHeight(double pt);
    double ColumnWidthChars(int32_t col) const;  // as Range.ColumnWidth reports it
    void SetColumnWidthChars(int32_t col, double chars);  // stores the file width with padding
    void SetColumnHidden(int32_t col, bool hidden);
    double ColumnWidthPoints(int32_t col) const;  // 0 for a hidden column
    // The width in characters of a column `pixels` wide at 96 dpi, as the
    // host reports a column dragged to that width.
    double CharsForPixels(int pixels) const;
    double RowHeightPoints(int32_t row) const;    // 0 for a hidden row
    void SetRowHeightPoints(int32_t row, double pt);  // a height of its own; shows the row
    void SetRowHidden(int32_t row, bool hidden);

    // Positions of rows and columns in points. The setters above keep it up to
    // date; code that changes sizes through RowsData(), ColumnsData(), GetRow()
    // or GetColumn() calls SizesChanged() afterwards, and the geometry is built
    // again from the storage on its next use.
    const SheetGeometry& Geometry() const;
    void SizesChanged() { geometry_.reset(); }

    bool ShowGridLines() const { return showGridLines_; }
    void SetShowGridLines(bool v) { showGridLines_ = v; }
    bool TabSelected() const { return tabSelected_; }
    void SetTabSelected(bool v) { tabSelected_ = v; }
    // Frozen panes: the first `rows` rows and `cols` columns stay on screen
    // while the rest scrolls. FreezePanes(0, 0) unfreezes; a new split drops
    // what the file said about the old panes (their selections).
    int32_t FrozenRows() const { return frozenRows_; }
    int32_t FrozenColumns() const { return frozenCols_; }
    void FreezePanes(int32_t rows, int32_t cols);
    // The split as a file gives it, nothing else changed.
    void SetFrozen(int32_t rows, int32_t cols) { frozenRows_ = rows, frozenCols_ = cols; }

    // Set whenever the sheet's contents change: the workbook is unsaved, and
    // its formulas are recalculated on the next Workbook::Calculate.
    // MarkChanged compares the whole sheet with the formula engine's model;
    // MarkCellsChanged, for writes to known cells, only those cells' rows.
    void MarkChanged();
    void MarkCellsChanged(const Rect& cells);

    // What the sheet's file carried beyond the model, written back on save
    // (see KeptXml.h); Range.Delete moves its references.
    KeptSheet& Kept() { return kept_; }
    const KeptSheet& Kept() const { return kept_; }

private:
    double DefaultColumnPoints() const;
    std::optional<double> OwnRowSize(int32_t row) const;
    std::optional<double> OwnColumnSize(int32_t col) const;
    void RowSizeChanged(int32_t row);
    void ColumnSizeChanged(int32_t col);

    Workbook* parent_;
    std::string name_, codeName_;
    int visible_ = xlSheetVisible;
    SheetProtection protection_;
    std::string scrollArea_;
    CellRef activeCell_;
    std::string selection_;
    std::vector<Row> rows_;         // rows_[r - 1]
    std::vector<ColumnInfo> cols_;  // cols_[c - 1]
    MergeIndex merges_;
    PictureList pictures_;
    host::PageSetup pageSetup_;
    double defaultColWidth_ = 8.43;
    double defaultRowHeight_ = 13.5;
    // Built on first use; not safe to build from two threads at once.
    double Mdw() const;  // the Normal font's widest digit in pixels
    mutable std::unique_ptr<SheetGeometry> geometry_;
    mutable double geometryDigitWidth_ = 0;  // the Normal font's digit the geometry was built with
    bool showGridLines_ = true;
    bool tabSelected_ = false;
    int32_t frozenRows_ = 0, frozenCols_ = 0;
    KeptSheet kept_;

    friend class Workbook;
    friend class SheetState;
};

}  // namespace host
