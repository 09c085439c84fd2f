#pragma once
// Where kept fragments go (KeptElement::place), shared by reader and writer.
// Children of <worksheet> and <workbook> take their index in the schema's
// element order, so the writer puts each back between the elements it writes
// itself; an element the schema does not list goes after the last listed
// one before it. Places from 100 on are inside elements the writer writes.
#include <string_view>

namespace host::xlsx::place {

inline constexpr std::string_view kWorksheetOrder[] = {
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr", "sheetProtection",
    "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate", "customSheetViews", "mergeCells",
    "phoneticPr", "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions", "pageMargins", "pageSetup",
    "headerFooter", "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors", "smartTags",
    "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst"};

inline constexpr std::string_view kWorkbookOrder[] = {
    "fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets", "functionGroups",
    "externalReferences", "definedNames", "calcPr", "oleSize", "customWorkbookViews", "pivotCaches", "smartTagPr",
    "smartTagTypes", "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst"};

template <size_t N>
constexpr int IndexIn(const std::string_view (&order)[N], std::string_view local) {
    for (size_t i = 0; i < N; ++i)
        if (order[i] == local) return int(i);
    return -1;
}

inline int InWorksheet(std::string_view local) { return IndexIn(kWorksheetOrder, local); }
inline int InWorkbook(std::string_view local) { return IndexIn(kWorkbookOrder, local); }

// Inside elements the writer writes:
constexpr int kSheetPrAttributes = 100;      // <sheetPr …> beside codeName
constexpr int kSheetPrChildren = 101;        // tabColor, outlinePr (before pageSetUpPr)
constexpr int kPageSetUpPrAttributes = 102;  // <pageSetUpPr …> beside fitToPage
constexpr int kSheetViewAttributes = 103;    // <sheetView …> beside gridlines and tab selection
constexpr int kSheetViewChildren = 104;      // pane, other panes' selections (before the model's selection)
constexpr int kSheetViewTail = 105;          // pivotSelection, extLst (after it)
constexpr int kSheetViewsMore = 106;         // further <sheetView> elements
constexpr int kSheetFormatPrAttributes = 107;
constexpr int kPageSetupAttributes = 108;    // <pageSetup …> beside paper, orientation, scale

// Of the styles part (KeptWorkbook::styles): the formats conditional formats
// and tables refer to by number, custom table styles, the palette.
constexpr int kStylesRootAttributes = 120;
constexpr int kStylesDxfs = 121;
constexpr int kStylesTableStyles = 122;
constexpr int kStylesColors = 123;
constexpr int kStylesExtLst = 124;

}  // namespace host::xlsx::place
