#pragma once
// What a file carries that the host does not model (comments, hyperlinks,
// validation, conditional formats, panes, filters, tables, charts, …), kept
// so that a save writes it back. The host never reads this text: to the host
// a kept fragment is opaque, except for the cell references it must move
// when it deletes cells, which the file reader parses out.
//
// A fragment is text with holes; each hole holds one reference:
//
//     text[0] ref[0] text[1] ref[1] … text[n]      (text.size() == refs.size() + 1)
//
// e.g. the pieces  `<hyperlink ref="`  B2  `" r:id="rId1"/>`. The file layer
// builds fragments when reading and renders them when writing; the host moves
// the references (ApplyDeletion) and drops what no longer applies.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Address.h"

namespace host {

namespace formula {
class Deletion;
}

enum class KeptRefKind : uint8_t {
    Areas,  // areas separated by spaces ("A1:B2 D4"); gone when all its cells are deleted
    Cell,   // a cell that follows its row and column; a deleted one moves to the next line kept
    Row0,   // a row counted from 0 (drawing anchors); follows like Cell
    Col0,   // a column counted from 0
};

struct KeptRef {
    KeptRefKind kind = KeptRefKind::Areas;
    std::vector<Rect> areas;  // Cell, Row0, Col0: one rectangle whose top-left is the position (1-based)
    int32_t minRow = 1, minCol = 1;  // a Cell never moves above or left of these (a frozen pane's split)
    bool dropWhenDeleted = false;    // Row0/Col0: a deleted line takes the fragment with it (a note's cell)

    std::string Text() const;  // "A1:B2 D4", "C5", "4"
};

struct KeptFragment {
    std::vector<std::string> text{std::string()};
    std::vector<KeptRef> refs;

    std::string Render() const;
    bool Empty() const { return refs.empty() && text.size() == 1 && text[0].empty(); }
    // Moves the references; false when an Areas reference lost all its cells,
    // which means the fragment no longer applies.
    bool ApplyDeletion(const formula::Deletion& d);
};

// A part of the package kept byte for byte, with the relationships it has
// (whose targets are kept parts too, or external). Parts are shared: two
// relationships to one part hold the same object.
struct KeptPart;

struct KeptRelationship {
    std::string id;
    std::string type;            // the full type URI
    bool external = false;
    std::string externalTarget;      // the target outside the package, when external
    std::shared_ptr<KeptPart> part;  // else the part
};

struct KeptPart {
    std::string name;         // its name in the file it was read from ("xl/comments1.xml")
    std::string contentType;
    std::shared_ptr<const std::string> bytes;
    std::vector<KeptRelationship> relationships;
    // A part whose items belong to cells (a sheet's comments and their note
    // shapes) is held as head + items + tail instead of bytes, so that
    // deleting rows or columns moves the items and drops those of deleted cells.
    bool itemized = false;
    std::string head, tail;
    std::vector<KeptFragment> items;

    std::string Content() const;
};

// One kept element, or a container of kept items: a container's `open` is its
// start tag without the final ">" (and without its count, which the writer
// adds when `counted`), `close` its end tag; a container whose items are all
// gone is dropped. A lone element has empty open/close and one item.
struct KeptElement {
    int place = 0;  // where it goes in its part; the file layer numbers the places
    std::string open, close;
    bool counted = false;
    bool uniqueInWorkbook = false;  // left out of a copy of the sheet (table names are unique per workbook)
    bool paneView = false;          // a split pane or another pane's selection: dropped when the panes change
    std::vector<KeptFragment> items;
};

// A drawing's content that is not the host's pictures: charts, shapes,
// groups, as whole anchors; the host's pictures are written beside them.
struct KeptDrawing {
    std::string rootAttributes;  // namespace declarations of the drawing's root, as written
    std::vector<KeptFragment> anchors;
    std::vector<KeptRelationship> relationships;
    uint32_t maxShapeId = 0;  // new shapes are numbered above it

    bool Empty() const { return anchors.empty(); }
};

// All a worksheet's part carries beyond the model.
struct KeptSheet {
    std::string rootAttributes;  // of the sheet part's root: namespace declarations, mc:Ignorable …
    std::string selectionPane;   // the pane the model's selection belongs to ("bottomRight"); empty: none
    std::vector<KeptElement> elements;
    std::vector<KeptRelationship> relationships;
    KeptDrawing drawing;

    bool Empty() const { return rootAttributes.empty() && elements.empty() && relationships.empty() && drawing.Empty(); }
    // Moves every reference; drops items (and containers) that no longer apply.
    void ApplyDeletion(const formula::Deletion& d);
    // Moves every reference for `count` rows (or columns) inserted before row
    // (column) `at` inside the band of columns (rows) [bandFirst, bandLast];
    // areas reaching over the insertion grow, areas reaching out of the band
    // stay. Drawings and comments follow whole rows and columns only.
    void ApplyInsertion(bool rows, int32_t at, int32_t count, int32_t bandFirst = 1, int32_t bandLast = kMaxRows);
    // Moves the references wholly inside `from` by (dRows, dCols): a cut and
    // paste on this sheet. Drawings and comments stay where they are.
    void ApplyMove(const Rect& from, int32_t dRows, int32_t dCols);
    // A copy for a copied sheet: parts are copied too (a part belongs to one
    // sheet), elements unique in a workbook are left out with their parts
    // (tables; pivot tables, whose cache the workbook lists for the original).
    KeptSheet CopyForNewSheet() const;
};

// A sheet of another kind than a worksheet (a chart sheet, a dialog sheet),
// kept with its place among the worksheets.
struct KeptSheetTab {
    int after = 0;  // the number of worksheets before it in tab order
    std::string name;
    std::string state;  // "", "hidden" or "veryHidden"
    KeptRelationship relationship;  // from the workbook part to the sheet's part
};

// What the workbook part and the package carry beyond the model.
struct KeptWorkbook {
    std::string rootAttributes;
    std::vector<KeptElement> elements;  // of the workbook part
    // Of the styles part: differential formats (which conditional formats
    // and tables name by position), table styles, the palette. A sheet copied
    // into another workbook needs them there.
    std::vector<KeptElement> styles;
    std::vector<KeptRelationship> relationships;      // of the workbook part
    std::vector<KeptRelationship> packageRelationships;  // of the package root (custom properties …)
    std::vector<KeptSheetTab> sheetTabs;

    bool Empty() const {
        return rootAttributes.empty() && elements.empty() && styles.empty() && relationships.empty() &&
               packageRelationships.empty() && sheetTabs.empty();
    }
};

}  // namespace host
