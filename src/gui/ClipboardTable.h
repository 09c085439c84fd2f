#pragma once
// Cells on the system clipboard, as other spreadsheet programs put them
// there and read them back:
//
//   text/plain  rows of tab-separated values, one line per row; a value with
//               a tab, a line break or a quote is quoted ("a""b")
//   text/html   a <table>: Excel puts class rules in a <style> block
//               (.xl65 {mso-number-format:"\@"; font-weight:700}) and raw
//               numbers in x:num; LibreOffice puts <font>/<b> inside cells and
//               raw numbers in sdval; both give spans as rowspan/colspan and
//               sizes as <col width> and <tr height>
//
// ParseClipboardHtml / ParseClipboardText read them into a ClipTable;
// WriteClipTable puts one into a sheet; ClipboardText / ClipboardHtml
// make them from a block of a sheet.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "host/Address.h"
#include "host/Style.h"

namespace host {
class Worksheet;
}

namespace gui {

struct ClipCell {
    QString text;           // as shown, line breaks as '\n'
    std::optional<double> number;  // the raw number behind the text, when the source gave one
    bool forceText = false;        // the source marks it as text (Excel's x:str)
    int rowSpan = 1, colSpan = 1;
    bool covered = false;   // inside another cell's span
    bool styled = false;    // the source gave a format of its own
    host::CellFormat format; // from the workbook's default, with what the source gave
};

struct ClipTable {
    int rows = 0, cols = 0;
    std::vector<std::vector<ClipCell>> cells;  // [row][col], 0-based
    std::vector<double> columnWidths;          // points; 0 = not given
    std::vector<double> rowHeights;            // points; 0 = not given

    bool Empty() const { return rows == 0 || cols == 0; }
    ClipCell& At(int r, int c) { return cells[size_t(r)][size_t(c)]; }
    const ClipCell& At(int r, int c) const { return cells[size_t(r)][size_t(c)]; }
};

// The first table of an HTML fragment (a CF_HTML header before it is
// skipped); empty when there is none. Formats start from `base`.
ClipTable ParseClipboardHtml(const QString& html, const host::CellFormat& base = {});
// Tab-separated rows; a final line break ends the last row.
ClipTable ParseClipboardText(const QString& text);

enum class ClipPaste { All, Values, Formats, ColumnWidths };

// Writes the table with its top-left cell at `at`: values typed as the host
// reads typed input (raw numbers kept), formats, merged spans, column widths.
// The block it covers (rows × cols from `at`) is cleared first.
void WriteClipTable(host::Worksheet& ws, const ClipTable& table, host::CellRef at, ClipPaste what = ClipPaste::All);
// The block the table covers from `at`.
host::Rect ClipBlock(const ClipTable& table, host::CellRef at);

// The block as other programs read it: the values as shown, tab-separated.
QString ClipboardText(const host::Worksheet& ws, const host::Rect& block);
// The block as an HTML table with its formats, spans and sizes.
QString ClipboardHtml(const host::Worksheet& ws, const host::Rect& block);

}  // namespace gui
