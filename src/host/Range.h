#pragma once
// A cheap handle on one or more rectangular areas of a worksheet. The
// worksheet owns the cells; a Range stays valid while sheets are added or
// removed elsewhere, and as long as its own sheet exists.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Address.h"
#include "host/Array2D.h"
#include "host/Variant.h"

namespace host {

class Worksheet;
struct CellFormat;

enum XlDirection : int { xlUp = -4162, xlDown = -4121, xlToLeft = -4159, xlToRight = -4161 };
enum XlDeleteShiftDirection : int { xlShiftUp = -4162, xlShiftToLeft = -4159 };
enum XlInsertShiftDirection : int { xlShiftDown = -4121, xlShiftToRight = -4161 };
enum XlSortOrder : int { xlAscending = 1, xlDescending = 2 };
enum XlYesNoGuess : int { xlGuess = 0, xlYes = 1, xlNo = 2 };
enum XlSortOrientation : int { xlTopToBottom = 1, xlLeftToRight = 2 };
enum XlFindLookIn : int { xlFormulas = -4123, xlValues = -4163, xlComments = -4144 };
enum XlLookAt : int { xlWhole = 1, xlPart = 2 };
enum XlPasteType : int { xlPasteAll = -4104, xlPasteValues = -4163, xlPasteFormats = -4122, xlPasteColumnWidths = 8 };
enum XlBordersIndex : int {
    xlDiagonalDown = 5, xlDiagonalUp = 6, xlEdgeLeft = 7, xlEdgeTop = 8, xlEdgeBottom = 9,
    xlEdgeRight = 10, xlInsideVertical = 11, xlInsideHorizontal = 12
};
enum XlLineStyle : int {
    xlContinuous = 1, xlDash = -4115, xlDashDot = 4, xlDashDotDot = 5, xlDot = -4118,
    xlDouble = -4119, xlSlantDashDot = 13, xlLineStyleNone = -4142
};
enum XlBorderWeight : int { xlHairline = 1, xlThin = 2, xlMedium = -4138, xlThick = 4 };
enum XlHAlign : int {
    xlHAlignGeneral = 1, xlHAlignLeft = -4131, xlHAlignCenter = -4108, xlHAlignRight = -4152,
    xlHAlignFill = 5, xlHAlignJustify = -4130, xlHAlignCenterAcrossSelection = 7, xlHAlignDistributed = -4117
};
enum XlVAlign : int {
    xlVAlignTop = -4160, xlVAlignCenter = -4108, xlVAlignBottom = -4107, xlVAlignJustify = -4130,
    xlVAlignDistributed = -4117
};
constexpr int xlColorIndexNone = -4142;
constexpr int xlColorIndexAutomatic = -4105;

class Range;
struct SortKey;

class FontProxy;
class InteriorProxy;
class BordersProxy;

struct FindOptions {
    XlFindLookIn lookIn = xlFormulas;
    XlLookAt lookAt = xlPart;
    bool matchCase = false;
    bool searchFormat = false;  // with Application's FindFormat: MergeCells
    bool searchFormatMergeCells = false;
};

class Range {
public:
    Range() = default;
    Range(Worksheet* ws, Rect r) : ws_(ws), areas_{r} {}
    Range(Worksheet* ws, std::vector<Rect> areas) : ws_(ws), areas_(std::move(areas)) {}

    bool IsNothing() const { return ws_ == nullptr || areas_.empty(); }
    Worksheet& Sheet() const;
    const std::vector<Rect>& Areas() const { return areas_; }
    const Rect& Area() const { return areas_.front(); }  // the first area

    // ----- position and shape -----
    int32_t Row() const { return Area().top; }
    int32_t Column() const { return Area().left; }
    int32_t RowsCount() const { return Area().Rows(); }
    int32_t ColumnsCount() const { return Area().Columns(); }
    int64_t Count() const;  // cells of all areas
    std::string Address(bool rowAbsolute = true, bool columnAbsolute = true) const;
    std::string AddressR1C1() const;

    // Sub-ranges, relative to the first area's top-left cell (1-based).
    Range Cells(int32_t row, int32_t col) const;
    Range Rows(int32_t i) const;
    Range Columns(int32_t i) const;
    Range GetRange(std::string_view relativeA1) const;
    Range Resize(int32_t rows, int32_t cols) const;
    Range Offset(int32_t rows, int32_t cols) const;  // HostError when it leaves the sheet
    Range EntireRow() const;
    Range EntireColumn() const;
    Range End(XlDirection d) const;

    // ----- values -----
    Variant Value() const;          // top-left cell
    Array2D Values() const;         // first area; HostError beyond 16 million cells
    void SetValue(const Variant& v);        // every cell of every area
    void SetValues(const Array2D& a);       // first area from its top-left; cells outside the array get #N/A
    std::string Text() const;       // ToText(Value())
    std::string Formula() const;    // "=…" for a formula, else the value's text form
    void SetFormula(const std::string& f);  // "=…" stores a formula; anything else is typed as a value
    std::string FormulaR1C1() const;
    void SetFormulaR1C1(const std::string& f);
    bool HasFormula() const;        // every cell of every area holds a formula

    // ----- search and reorganisation -----
    std::optional<Range> Find(const Variant& what, const FindOptions& o = {}, std::optional<CellRef> after = {}) const;
    std::optional<Range> FindNext(const Range& after) const;  // wraps to the first hit
    // Sorts the rows (top to bottom) or columns of the first area by up to three keys.
    // Keys are columns (or rows) given as ranges on the same sheet.
    void Sort(const std::vector<SortKey>& keys, XlYesNoGuess header = xlNo,
              XlSortOrientation orientation = xlTopToBottom, bool matchCase = false);
    // AdvancedFilter with action xlFilterCopy: the first row is the header; records copied to copyTo.
    void AdvancedFilter(const Range& copyTo, bool unique);
    void Delete(std::optional<XlDeleteShiftDirection> shift = {});
    // Whole rows or columns (EntireRow.Insert, EntireColumn.Insert): as many
    // new lines as the range has, before its first, formatted like the line
    // before them. Other cells: the cells of the range and those below it
    // (xlShiftDown) or right of it (xlShiftToRight) move on by its size,
    // with their formats, merged areas, pictures and the references to them;
    // the new cells take the formats of the cells above (left of) them.
    // Without a shift the host chooses: down for a range wider than tall.
    // A HostError, nothing changed, when data would be pushed off the sheet
    // or a merged area would be cut by the shift.
    void Insert(std::optional<XlInsertShiftDirection> shift = {});
    // Cut and paste: the cells move to `destination` (its top-left cell; the
    // size is this range's) with values, formulas, formats, merged areas and
    // the pictures lying on them, and every reference in the workbook to a
    // moved cell follows it; a moved formula keeps referring to the cells it
    // referred to. References to the cells covered become #REF!. The source
    // is left empty and unformatted. A HostError, nothing changed, for a
    // destination in another workbook or off the sheet, several areas, a
    // locked cell of a protected sheet, or a merged area cut by either block.
    void Cut(const Range& destination);
    void Clear();
    void ClearContents();
    void ClearFormats();
    // Copy to a destination; Copy() alone puts the range on the application's
    // clipboard for PasteSpecial. A destination that is an exact multiple of the
    // source in both directions is tiled with copies; any other gets one copy at
    // its top-left cell, at the source's size.
    void Copy(const Range& destination) const;
    void Copy() const;
    void PasteSpecial(XlPasteType type = xlPasteAll) const;

    // ----- formats -----
    std::string NumberFormat() const;
    void SetNumberFormat(const std::string& f);
    // Rows or columns, as the range is whole rows or whole columns; any other
    // range is a HostError, as in the host.
    bool Hidden() const;
    void SetHidden(bool h);
    bool Locked() const;
    void SetLocked(bool l);
    FontProxy Font() const;
    InteriorProxy Interior() const;
    BordersProxy Borders(XlBordersIndex i) const;
    BordersProxy Borders() const;
    void BorderAround(int weight = xlThin, int colorIndex = xlColorIndexAutomatic, int lineStyle = xlContinuous);
    int HorizontalAlignment() const;
    void SetHorizontalAlignment(int a);
    int VerticalAlignment() const;
    void SetVerticalAlignment(int a);
    bool WrapText() const;
    void SetWrapText(bool w);
    bool ShrinkToFit() const;
    void SetShrinkToFit(bool s);
    int Orientation() const;      // degrees
    void SetOrientation(int degrees);
    int IndentLevel() const;
    void SetIndentLevel(int n);

    bool MergeCells() const;      // the top-left cell is in a merged area
    void SetMergeCells(bool m);
    Range MergeArea() const;
    void Merge();
    void UnMerge();

    // Whole rows: each takes the height of its content (and is no longer of
    // a custom height); whole columns: each takes the width of its widest
    // shown text (an empty column keeps its width). Merged cells are left
    // out, as the host does. Any other range, or no measurer installed: a HostError.
    void AutoFit();
    double ColumnWidth() const;   // characters
    void SetColumnWidth(double chars);
    double RowHeight() const;     // points; 0 for a hidden row
    void SetRowHeight(double pt);  // 0–409; 0 hides the row
    double Left() const;          // points from the sheet's left edge
    double Top() const;
    double Width() const;
    double Height() const;

    void Activate() const;
    void Select() const;

    // Applies `change` to the format of every cell of every area (whole rows and
    // columns change the row or column format and the stored cells in them).
    template <class F>
    void ChangeFormat(F&& change) const { ForEachFormat(FormatChanger(change)); }

private:
    struct FormatChangerBase {
        virtual ~FormatChangerBase() = default;
        virtual void operator()(CellFormat&) const = 0;
    };
    template <class F>
    struct FormatChangerImpl : FormatChangerBase {
        F& f;
        explicit FormatChangerImpl(F& fn) : f(fn) {}
        void operator()(CellFormat& c) const override { f(c); }
    };
    template <class F>
    static FormatChangerImpl<F> FormatChanger(F& f) { return FormatChangerImpl<F>(f); }
    void ForEachFormat(const FormatChangerBase& change) const;
    const CellFormat& TopLeftFormat() const;

    Worksheet* ws_ = nullptr;
    std::vector<Rect> areas_;
};

// Range.Font
class FontProxy {
public:
    explicit FontProxy(const Range& r);
    std::string Name() const;
    void SetName(const std::string& n);
    // "常规", "加粗", "倾斜", "加粗 倾斜" (English names accepted too).
    std::string FontStyle() const;
    void SetFontStyle(const std::string& s);
    double Size() const;
    void SetSize(double pt);
    bool Bold() const;
    void SetBold(bool b);
    bool Italic() const;
    void SetItalic(bool b);
    int ColorIndex() const;
    void SetColorIndex(int i);
    bool Underline() const;
    void SetUnderline(bool u);

private:
    Range r_;  // a copy: a proxy may outlive the expression that made it
};

// Range.Interior
class InteriorProxy {
public:
    explicit InteriorProxy(const Range& r);
    int ColorIndex() const;
    void SetColorIndex(int i);  // xlColorIndexNone removes the fill
    uint32_t Color() const;     // 0xBBGGRR as the host reports it
    void SetColor(uint32_t bgr);

private:
    Range r_;  // a copy: a proxy may outlive the expression that made it
};

// Range.Borders(index), or Range.Borders for all four edges and the inside lines.
// Getters report the line shown on the first cell of that edge (for Borders()
// the top-left cell's top edge), a neighbour's facing line included.
class BordersProxy {
public:
    BordersProxy(const Range& r, std::optional<XlBordersIndex> which);
    int LineStyle() const;
    void SetLineStyle(int s);
    int Weight() const;
    void SetWeight(int w);
    int ColorIndex() const;
    void SetColorIndex(int i);

private:
    Range r_;  // a copy: a proxy may outlive the expression that made it
    std::optional<XlBordersIndex> which_;
};

inline FontProxy Range::Font() const { return FontProxy(*this); }
inline InteriorProxy Range::Interior() const { return InteriorProxy(*this); }
inline BordersProxy Range::Borders(XlBordersIndex i) const { return BordersProxy(*this, i); }
inline BordersProxy Range::Borders() const { return BordersProxy(*this, std::nullopt); }

// One key of Range::Sort: a column (or row) given as a range on the same sheet.
struct SortKey {
    Range key;
    XlSortOrder order = xlAscending;
};

}  // namespace host
