// What roster maintenance does to a roster sheet: deletions, marks and the
// treatment of merged cells, each batched through unions.
#include <algorithm>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Worksheet.h"
#include "settings/MaintenanceParts.h"

namespace settings::maintenance {

namespace {

constexpr size_t kDeleteBatch = 29;
constexpr size_t kMergedBatch = 30;

// Deletes the given whole rows (or columns), farthest first, so that no batch
// moves the lines of a batch still to come.
void DeleteLines(host::Worksheet& sheet, std::vector<int32_t> lines, bool rows) {
    std::sort(lines.rbegin(), lines.rend());
    for (size_t start = 0; start < lines.size(); start += kDeleteBatch) {
        std::vector<host::Rect> areas;
        for (size_t i = start; i < std::min(lines.size(), start + kDeleteBatch); ++i) {
            int32_t n = lines[i];
            areas.push_back(rows ? host::Rect{n, 1, n, host::kMaxColumns} : host::Rect{1, n, host::kMaxRows, n});
        }
        host::ResumeNext([&] {
            host::Range(&sheet, std::move(areas)).Delete(rows ? host::xlShiftUp : host::xlShiftToLeft);
        });
    }
}

// Every hit of the merged-cells search, collected before anything changes:
// unmerging while searching would keep the search from meeting its first hit
// again.
std::vector<host::Rect> MergedCellHits(host::Worksheet& sheet) {
    host::FindOptions o;
    o.lookIn = host::xlFormulas;
    o.lookAt = host::xlPart;
    o.searchFormat = true;
    o.searchFormatMergeCells = true;
    std::vector<host::Rect> hits;
    host::ResumeNext([&] {
        host::Range used = sheet.UsedRange();
        std::optional<host::Range> hit = used.Find(host::Variant(""), o);
        if (!hit) return;
        const host::Rect first = hit->Area();
        const int64_t limit = used.Count();
        do {
            hits.push_back(hit->Area());
            hit = used.Find(host::Variant(""), o, host::CellRef{hit->Row(), hit->Column()});
        } while (hit && hit->Area() != first && int64_t(hits.size()) < limit);
    });
    return hits;
}

}  // namespace

void DeleteMarked(host::Worksheet& sheet, const Marks& marks) {
    DeleteLines(sheet, marks.rows, true);
    DeleteLines(sheet, marks.columns, false);
}

void WriteMarks(host::Worksheet& sheet, const host::Array2D& data, const Marks& marks) {
    const int32_t markCol = data.Columns();
    for (int32_t r : marks.rows) host::ResumeNext([&] { sheet.Cells(r, markCol).SetValue(-1); });
    for (int32_t c : marks.columns) host::ResumeNext([&] { sheet.Cells(1, c).SetValue(-1); });
}

void TreatMergedCells(host::Worksheet& sheet, bool cleaning) {
    std::vector<host::Rect> hits = MergedCellHits(sheet);
    for (size_t start = 0; start < hits.size(); start += kMergedBatch) {
        std::vector<host::Rect> batch(hits.begin() + long(start),
                                      hits.begin() + long(std::min(hits.size(), start + kMergedBatch)));
        host::Range cells(&sheet, std::move(batch));
        host::ResumeNext([&] {
            if (cleaning) cells.UnMerge();
            else cells.Interior().SetColorIndex(3);
        });
    }
}

}  // namespace settings::maintenance
