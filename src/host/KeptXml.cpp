#include "host/KeptXml.h"

#include <algorithm>
#include <map>

#include "host/Formula.h"

namespace host {

namespace {

std::string CellText(int32_t row, int32_t col) { return CellAddress(row, col); }

// A position along the deletion's direction that may itself be deleted: it
// then moves to the first line kept after the deleted span.
int32_t MoveLine(const formula::Deletion& d, int32_t pos) {
    return d.IsDeleted(pos) ? pos - d.DeletedUpTo(pos) + 1 : d.Map(pos);
}

}  // namespace

std::string KeptRef::Text() const {
    switch (kind) {
        case KeptRefKind::Areas: {
            std::string out;
            for (const Rect& r : areas) {
                if (!out.empty()) out += ' ';
                out += CellText(r.top, r.left);
                if (r.bottom != r.top || r.right != r.left) out += ":" + CellText(r.bottom, r.right);
            }
            return out;
        }
        case KeptRefKind::Cell: return areas.empty() ? "A1" : CellText(areas[0].top, areas[0].left);
        case KeptRefKind::Row0: return std::to_string(areas.empty() ? 0 : areas[0].top - 1);
        case KeptRefKind::Col0: return std::to_string(areas.empty() ? 0 : areas[0].left - 1);
    }
    return {};
}

std::string KeptFragment::Render() const {
    std::string out = text.empty() ? std::string() : text[0];
    for (size_t i = 0; i < refs.size(); ++i) {
        out += refs[i].Text();
        if (i + 1 < text.size()) out += text[i + 1];
    }
    return out;
}

bool KeptFragment::ApplyDeletion(const formula::Deletion& d) {
    for (KeptRef& ref : refs) {
        switch (ref.kind) {
            case KeptRefKind::Areas: {
                std::vector<Rect> kept;
                for (const Rect& r : ref.areas)
                    if (auto moved = d.MapRect(r)) kept.push_back(*moved);
                if (kept.empty()) return false;
                ref.areas = std::move(kept);
                break;
            }
            case KeptRefKind::Cell: {
                if (ref.areas.empty()) break;
                Rect& c = ref.areas[0];
                int32_t& along = d.ShiftUp() ? c.top : c.left;
                int32_t across = d.ShiftUp() ? c.left : c.top;
                if (across < d.BandFirst() || across > d.BandLast()) break;
                along = std::max(MoveLine(d, along), d.ShiftUp() ? ref.minRow : ref.minCol);
                c.bottom = c.top;
                c.right = c.left;
                break;
            }
            case KeptRefKind::Row0:
            case KeptRefKind::Col0: {
                // Drawings follow whole rows and columns only, as the host's pictures do.
                if (ref.areas.empty() || !d.WholeLines() || d.ShiftUp() != (ref.kind == KeptRefKind::Row0)) break;
                Rect& c = ref.areas[0];
                int32_t& pos = d.ShiftUp() ? c.top : c.left;
                if (ref.dropWhenDeleted && d.IsDeleted(pos)) return false;
                pos = MoveLine(d, pos);
                c.bottom = c.top;
                c.right = c.left;
                break;
            }
        }
    }
    return true;
}

std::string KeptPart::Content() const {
    if (!itemized) return bytes ? *bytes : std::string();
    std::string out = head;
    for (const KeptFragment& f : items) out += f.Render();
    return out + tail;
}

void KeptSheet::ApplyDeletion(const formula::Deletion& d) {
    for (KeptElement& e : elements)
        std::erase_if(e.items, [&](KeptFragment& f) { return !f.ApplyDeletion(d); });
    std::erase_if(elements, [](const KeptElement& e) { return e.items.empty(); });
    std::erase_if(drawing.anchors, [&](KeptFragment& f) { return !f.ApplyDeletion(d); });
    // Comments and their note shapes follow whole rows and columns; a note
    // and its comment go together when their cell is deleted.
    if (!d.WholeLines()) return;
    for (KeptRelationship& r : relationships)
        if (r.part && r.part->itemized)
            std::erase_if(r.part->items, [&](KeptFragment& f) { return !f.ApplyDeletion(d); });
}

namespace {

void InsertLines(KeptFragment& f, bool rows, int32_t at, int32_t count, int32_t bandFirst, int32_t bandLast) {
    const bool wholeLines = bandFirst <= 1 && bandLast >= (rows ? kMaxColumns : kMaxRows);
    auto move = [&](int32_t& lo, int32_t& hi) {
        const int32_t max = rows ? kMaxRows : kMaxColumns;
        if (lo >= at) lo = std::min(lo + count, max);
        if (hi >= at) hi = std::min(hi + count, max);
    };
    auto inBand = [&](const Rect& r) {
        return wholeLines || (rows ? r.left >= bandFirst && r.right <= bandLast : r.top >= bandFirst && r.bottom <= bandLast);
    };
    for (KeptRef& ref : f.refs) {
        switch (ref.kind) {
            case KeptRefKind::Areas:
            case KeptRefKind::Cell:
                for (Rect& r : ref.areas) {
                    if (!inBand(r)) continue;
                    if (rows && !(r.top == 1 && r.bottom == kMaxRows)) move(r.top, r.bottom);
                    if (!rows && !(r.left == 1 && r.right == kMaxColumns)) move(r.left, r.right);
                }
                break;
            case KeptRefKind::Row0:
                if (wholeLines && rows && !ref.areas.empty()) move(ref.areas[0].top, ref.areas[0].bottom);
                break;
            case KeptRefKind::Col0:
                if (wholeLines && !rows && !ref.areas.empty()) move(ref.areas[0].left, ref.areas[0].right);
                break;
        }
    }
}

void MoveRefs(KeptFragment& f, const Rect& from, int32_t dRows, int32_t dCols) {
    for (KeptRef& ref : f.refs) {
        if (ref.kind != KeptRefKind::Areas && ref.kind != KeptRefKind::Cell) continue;
        for (Rect& r : ref.areas)
            if (from.Contains(r)) r = {r.top + dRows, r.left + dCols, r.bottom + dRows, r.right + dCols};
    }
}

}  // namespace

void KeptSheet::ApplyInsertion(bool rows, int32_t at, int32_t count, int32_t bandFirst, int32_t bandLast) {
    for (KeptElement& e : elements)
        for (KeptFragment& f : e.items) InsertLines(f, rows, at, count, bandFirst, bandLast);
    for (KeptFragment& f : drawing.anchors) InsertLines(f, rows, at, count, bandFirst, bandLast);
    if (bandFirst > 1 || bandLast < (rows ? kMaxColumns : kMaxRows)) return;
    for (KeptRelationship& r : relationships)
        if (r.part && r.part->itemized)
            for (KeptFragment& f : r.part->items) InsertLines(f, rows, at, count, bandFirst, bandLast);
}

void KeptSheet::ApplyMove(const Rect& from, int32_t dRows, int32_t dCols) {
    for (KeptElement& e : elements)
        for (KeptFragment& f : e.items) MoveRefs(f, from, dRows, dCols);
}

namespace {

// The sheet's own parts are copied; what they point to further (images of a
// comment drawing, the pivot cache a pivot table reads) stays shared.
std::vector<KeptRelationship> CopyRelationships(const std::vector<KeptRelationship>& rels,
                                                std::map<const KeptPart*, std::shared_ptr<KeptPart>>& copies,
                                                bool (*leaveOut)(const KeptRelationship&)) {
    std::vector<KeptRelationship> out;
    for (const KeptRelationship& r : rels) {
        if (leaveOut && leaveOut(r)) continue;
        KeptRelationship c = r;
        if (r.part) {
            auto& copy = copies[r.part.get()];
            if (!copy) copy = std::make_shared<KeptPart>(*r.part);
            c.part = copy;
        }
        out.push_back(std::move(c));
    }
    return out;
}

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Tables have names unique in the workbook; a pivot table reads a cache the
// workbook lists for the original alone. A copy of the sheet goes without them.
bool IsTable(const KeptRelationship& r) { return EndsWith(r.type, "/table") || EndsWith(r.type, "/pivotTable"); }

}  // namespace

KeptSheet KeptSheet::CopyForNewSheet() const {
    KeptSheet out;
    out.rootAttributes = rootAttributes;
    out.selectionPane = selectionPane;
    for (const KeptElement& e : elements)
        if (!e.uniqueInWorkbook) out.elements.push_back(e);
    std::map<const KeptPart*, std::shared_ptr<KeptPart>> copies;
    out.relationships = CopyRelationships(relationships, copies, IsTable);
    out.drawing = drawing;
    out.drawing.relationships = CopyRelationships(drawing.relationships, copies, nullptr);
    return out;
}

}  // namespace host
