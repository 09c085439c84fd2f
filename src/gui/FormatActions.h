#pragma once
// The formatting commands of the host window (格式 menu, formatting toolbar,
// 设置单元格格式 and 页面设置 dialogs) as operations on the current sheet's
// selection. Each goes through the window's edit history under the name the
// 撤销 entry shows, redraws the sheet and keeps the selection; a change the
// host refuses (a merged area in the way, data pushed off the sheet) is
// shown as a message and changes nothing.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/EditHistory.h"
#include "host/Address.h"
#include "host/PageSetup.h"

namespace host {
class Range;
class Worksheet;
}  // namespace host

namespace gui {

class HostWindow;
class QtToolkit;
class SheetView;

// The pen of the border commands: style and weight as the host names them,
// colour as a palette index.
struct BorderPen {
    int lineStyle = 1;       // xlContinuous
    int weight = 2;          // xlThin
    int colorIndex = -4105;  // xlColorIndexAutomatic
};

enum class BorderPreset { All, Outside, ThickOutside, None, Top, Bottom, Left, Right, InsideHorizontal, InsideVertical };

// Parts of a cell format to change; unset members stay as they are in each cell.
struct FormatEdit {
    std::optional<std::string> numberFormat;
    std::optional<int> horizontal, vertical;  // XlHAlign / XlVAlign
    std::optional<bool> wrap, shrink, merge;
    std::optional<std::string> fontName;
    std::optional<double> fontSize;
    std::optional<bool> bold, italic, underline;
    std::optional<int> fontColor;  // palette index, xlColorIndexAutomatic
    std::optional<int> fill;       // palette index, xlColorIndexNone
    // Border edges (XlBordersIndex) with their pen; a pen of xlLineStyleNone removes the line.
    std::vector<std::pair<int, BorderPen>> borders;
    bool Empty() const;
};

// The Chinese number format names of the toolbar and the dialog, with the format each stands for.
struct NumberFormatChoice {
    const char* name;
    const char* format;
};
const std::vector<NumberFormatChoice>& NumberFormatChoices();
// The font names offered (the Chinese faces first); a name not listed may be typed.
QStringList OfferedFontNames();

// Applies an edit to a range (used by the commands and by tests of the dialog).
void ApplyFormatEdit(host::Range& r, const FormatEdit& edit);
// Draws a border preset with a pen; BorderPreset::None also clears the
// neighbours' lines facing the range, which show on its edges.
void ApplyBorderPreset(host::Range& r, BorderPreset preset, const BorderPen& pen);

class FormatActions : public QObject {
    Q_OBJECT
public:
    FormatActions(HostWindow& window, QtToolkit& toolkit, QObject* parent = nullptr);

    HostWindow& Window() const { return window_; }

    // The selection of the current sheet view as areas (the current cell when
    // nothing is selected); empty without a sheet view.
    std::vector<host::Rect> SelectedAreas() const;
    host::Worksheet* CurrentSheet() const;

    // ----- cell formats -----
    void Apply(const QString& undoText, const FormatEdit& edit);
    void SetFontName(const QString& name);
    void SetFontSize(double points);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetFontColor(int colorIndex);
    void SetFillColor(int colorIndex);
    void SetHorizontalAlignment(int xlHAlign);
    void SetVerticalAlignment(int xlVAlign);
    void SetWrap(bool on);
    void SetShrinkToFit(bool on);
    void SetNumberFormat(const std::string& format);
    void Borders(BorderPreset preset);
    BorderPen& Pen() { return pen_; }
    // 合并后居中: one merged area per selected area, centred. Values other
    // than the top-left one are lost: the user is asked first. A selection
    // that is one merged area already is unmerged (the button toggles).
    void MergeAndCenter();
    void UnMerge();

    // ----- rows and columns -----
    void SetRowHeight(double points);
    void SetColumnWidth(double characters);
    // A header section dragged to `pixels` (96 dpi) stores that size.
    void RowResized(host::Worksheet& ws, int row, int pixels);
    void ColumnResized(host::Worksheet& ws, int col, int pixels);
    // Fits rows to their content or columns to their widest text: the
    // selected whole rows (columns), else the rows (columns) of the selection.
    void AutoFitSelection(bool rows);
    // A double-click on the border below a row (right of a column) header:
    // that line, or every selected whole line when it is one of them.
    void AutoFitLine(host::Worksheet& ws, bool rows, int line);
    void InsertRows();
    void InsertColumns();
    void DeleteRows();
    void DeleteColumns();
    void HideRows(bool hide);
    void HideColumns(bool hide);
    // Freezes above and left of the active cell; unfreezes a frozen sheet.
    void ToggleFreezePanes();

    // ----- the sheet -----
    void SetPageSetup(const host::PageSetup& setup);
    // Puts text into the active cell (template fields and markers).
    void InsertText(const QString& undoText, const QString& text);

    // ----- dialogs (modal; the commands above do the work) -----
    void ShowFormatCellsDialog();
    void ShowPageSetupDialog();
    void AskRowHeight();
    void AskColumnWidth();

signals:
    // After any change made here (the toolbar updates its buttons).
    void Changed();

private:
    // Runs a change through the history; a HostError becomes a message.
    bool Run(const QString& undoText, host::Worksheet& ws, std::optional<CellBlock> block,
             const std::function<void()>& change);
    void Redraw(SheetView& view, const std::vector<host::Rect>& selection);
    std::vector<int32_t> SelectedLines(bool rows) const;
    void Message(const QString& text);

    HostWindow& window_;
    QtToolkit& toolkit_;
    BorderPen pen_;
};

// "$A$1:$B$2" areas of the selection, for the page setup dialog's print area.
std::string AreasText(const std::vector<host::Rect>& areas);

}  // namespace gui
