// Kept fragments: the references the host moves when it deletes cells, and
// what goes when its cells are gone.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Formula.h"
#include "host/KeptXml.h"
#include "host/Range.h"
#include "host/Workbook.h"

using host::KeptFragment;
using host::KeptRef;
using host::KeptRefKind;
using host::Rect;
using host::formula::Deletion;

namespace {

KeptFragment Fragment(const std::string& before, KeptRef ref, const std::string& after) {
    KeptFragment f;
    f.text = {before, after};
    f.refs.push_back(std::move(ref));
    return f;
}

KeptRef Areas(std::vector<Rect> areas) { return KeptRef{KeptRefKind::Areas, std::move(areas)}; }
KeptRef At(KeptRefKind kind, int32_t row, int32_t col) { return KeptRef{kind, {Rect{row, col, row, col}}}; }

Deletion Rows(int32_t first, int32_t last) { return Deletion(true, 1, host::kMaxColumns, {{first, last}}); }

TEST(KeptFragment, RendersItsReferencesInPlace) {
    KeptFragment f;
    f.text = {"<a sqref=\"", "\" cell=\"", "\"><row>", "</row><col>", "</col></a>"};
    f.refs = {Areas({Rect{2, 2, 20, 2}, Rect{5, 4, 5, 4}}), At(KeptRefKind::Cell, 12, 2), At(KeptRefKind::Row0, 3, 1),
              At(KeptRefKind::Col0, 1, 6)};
    EXPECT_EQ(f.Render(), "<a sqref=\"B2:B20 D5\" cell=\"B12\"><row>2</row><col>5</col></a>");
}

TEST(KeptFragment, AreasShrinkMoveOrGo) {
    struct Case {
        const char* name;
        std::vector<Rect> areas;
        Deletion deletion;
        const char* want;  // nullptr: the fragment no longer applies
    } cases[] = {
        {"below moves up", {Rect{10, 1, 12, 2}}, Rows(5, 8), "A6:B8"},
        {"across shrinks", {Rect{2, 2, 20, 2}}, Rows(5, 8), "B2:B16"},
        {"above stays", {Rect{1, 1, 4, 4}}, Rows(5, 8), "A1:D4"},
        {"inside goes", {Rect{5, 3, 8, 3}}, Rows(5, 8), nullptr},
        {"one of two goes", {Rect{6, 4, 7, 4}, Rect{12, 4, 12, 4}}, Rows(5, 8), "D8"},
        {"columns", {Rect{1, 5, 3, 9}}, Deletion(false, 1, host::kMaxRows, {{2, 3}}), "C1:G3"},
        // A band of cells shifted up: areas wholly inside it move, others stay.
        {"inside a band", {Rect{10, 2, 11, 2}}, Deletion::Of(Rect{5, 2, 8, 2}, true), "B6:B7"},
        {"wider than the band", {Rect{10, 1, 11, 3}}, Deletion::Of(Rect{5, 2, 8, 2}, true), "A10:C11"},
    };
    for (Case& c : cases) {
        KeptFragment f = Fragment("<x sqref=\"", Areas(c.areas), "\"/>");
        bool kept = f.ApplyDeletion(c.deletion);
        EXPECT_EQ(kept, c.want != nullptr) << c.name;
        if (kept && c.want) EXPECT_EQ(f.Render(), std::string("<x sqref=\"") + c.want + "\"/>") << c.name;
    }
}

TEST(KeptFragment, CellsAndAnchorsFollowWithoutGoing) {
    // A pane's top-left cell: a deleted one moves to the next row kept, never into the frozen rows.
    KeptRef pane = At(KeptRefKind::Cell, 30, 2);
    KeptFragment a = Fragment("", pane, "");
    EXPECT_TRUE(a.ApplyDeletion(Rows(29, 31)));
    EXPECT_EQ(a.Render(), "B29");
    KeptRef frozen = At(KeptRefKind::Cell, 12, 2);
    frozen.minRow = 12;
    KeptFragment b = Fragment("", frozen, "");
    EXPECT_TRUE(b.ApplyDeletion(Rows(5, 8)));
    EXPECT_EQ(b.Render(), "B12");

    // Drawing anchors follow whole rows only, as pictures do.
    KeptFragment row = Fragment("<xdr:row>", At(KeptRefKind::Row0, 20, 1), "</xdr:row>");
    EXPECT_TRUE(row.ApplyDeletion(Deletion::Of(Rect{5, 1, 8, 3}, true)));
    EXPECT_EQ(row.Render(), "<xdr:row>19</xdr:row>");
    EXPECT_TRUE(row.ApplyDeletion(Rows(5, 8)));
    EXPECT_EQ(row.Render(), "<xdr:row>15</xdr:row>");
    EXPECT_TRUE(row.ApplyDeletion(Rows(15, 17)));  // its row deleted: to the next row kept
    EXPECT_EQ(row.Render(), "<xdr:row>14</xdr:row>");

    // A note's cell takes the note with it.
    KeptRef noteRow = At(KeptRefKind::Row0, 3, 1);
    noteRow.dropWhenDeleted = true;
    KeptFragment note = Fragment("<x:Row>", noteRow, "</x:Row>");
    EXPECT_TRUE(note.ApplyDeletion(Rows(1, 1)));
    EXPECT_EQ(note.Render(), "<x:Row>1</x:Row>");
    EXPECT_FALSE(note.ApplyDeletion(Rows(2, 2)));
}

TEST(KeptSheet, DeletionDropsEmptyContainersAndKeepsTheRest) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    host::KeptElement validations;
    validations.open = "<dataValidations";
    validations.close = "</dataValidations>";
    validations.counted = true;
    validations.items.push_back(Fragment("<dataValidation sqref=\"", Areas({Rect{5, 3, 8, 3}}), "\"/>"));
    host::KeptElement links = validations;
    links.items.push_back(Fragment("<hyperlink ref=\"", Areas({Rect{20, 1, 20, 1}}), "\"/>"));
    host::KeptElement opaque;
    opaque.items.push_back(KeptFragment{{"<extLst/>"}, {}});
    ws.Kept().elements = {validations, links, opaque};

    ws.GetRange("5:8").Delete();
    const auto& kept = ws.Kept().elements;
    ASSERT_EQ(kept.size(), 2u);  // the first container lost its only item
    ASSERT_EQ(kept[0].items.size(), 1u);
    EXPECT_EQ(kept[0].items[0].Render(), "<hyperlink ref=\"A16\"/>");
    EXPECT_EQ(kept[1].items[0].Render(), "<extLst/>");
}

TEST(KeptSheet, CopyHasItsOwnPartsAndLeavesTablesOut) {
    host::KeptSheet kept;
    auto comments = std::make_shared<host::KeptPart>();
    comments->name = "xl/comments1.xml";
    auto table = std::make_shared<host::KeptPart>();
    table->name = "xl/tables/table1.xml";
    kept.relationships = {{"rId1", "http://x/relationships/comments", false, "", comments},
                          {"rId2", "http://x/relationships/table", false, "", table},
                          {"rId3", "http://x/relationships/hyperlink", true, "https://example.com", nullptr}};
    host::KeptElement tables;
    tables.uniqueInWorkbook = true;
    tables.items.push_back(KeptFragment{{"<tableParts count=\"1\"><tablePart r:id=\"rId2\"/></tableParts>"}, {}});
    kept.elements.push_back(tables);

    host::KeptSheet copy = kept.CopyForNewSheet();
    EXPECT_TRUE(copy.elements.empty());
    ASSERT_EQ(copy.relationships.size(), 2u);
    EXPECT_EQ(copy.relationships[0].id, "rId1");
    EXPECT_NE(copy.relationships[0].part, comments);  // a part of its own …
    EXPECT_EQ(copy.relationships[0].part->name, comments->name);  // … with the same content
    EXPECT_TRUE(copy.relationships[1].external);
}

}  // namespace
