// The steps the four generation variants share.
#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "tables/Generation.h"
#include "workbook/SystemNames.h"

namespace tables {

const host::Variant& WorkTable::operator()(int32_t r, int32_t c) const {
    static const host::Variant empty;
    if (c < 1) return empty;  // a field without a roster column gives nothing
    if (r < 1 || r > cells.Rows() || c > cells.Columns()) throw host::HostError("下标越界");
    return cells(r, c);
}

std::string WorkTable::Text(int32_t r, int32_t c) const { return host::ToText((*this)(r, c)); }

int32_t FirstColumnTitled(const host::Array2D& cells, int32_t lastColumn, const std::string& title) {
    for (int32_t c = 1; c <= lastColumn; ++c)
        if (host::ToText(cells(1, c)) == title) return c;
    return 0;
}

int32_t LastColumnTitled(const host::Array2D& cells, int32_t lastColumn, const std::string& title) {
    for (int32_t c = lastColumn; c >= 1; --c)
        if (host::ToText(cells(1, c)) == title) return c;
    return 0;
}

void LocateFields(FieldList& fields, const host::Array2D& cells, int32_t lastColumn) {
    for (TemplateField& f : fields) {
        f.rosterColumn = 0;
        if (!f.Named()) continue;
        const std::string system = std::string(workbook::kTab) + f.name;
        for (int32_t c = 1; c <= lastColumn && !f.rosterColumn; ++c) {
            const std::string t = host::ToText(cells(1, c));
            if (t == f.name || t == system) f.rosterColumn = c;
        }
    }
}

WorkTable CopyToScratch(Generation& g, host::Worksheet& rosterSheet) {
    WorkTable t;
    const host::Rect used = rosterSheet.UsedRect();
    t.lastRow = used.bottom;
    t.lastColumn = used.right;
    g.revision.Cells().Clear();
    g.revision.UsedRange().UnMerge();
    rosterSheet.Cells(1, 1).Resize(t.lastRow, t.lastColumn).Copy(g.revision.Cells(1, 1));
    // Titles, to locate the columns before sorting.
    t.cells = g.revision.Cells(1, 1).Resize(1, t.lastColumn).Values();
    t.classColumn = FirstColumnTitled(t.cells, t.lastColumn, std::string(workbook::kClassTitle));
    t.photoFolderColumn = LastColumnTitled(t.cells, t.lastColumn, "照片夹");
    LocateFields(g.body, t.cells, t.lastColumn);
    LocateFields(g.title, t.cells, t.lastColumn);
    return t;
}

void SortScratch(Generation& g, const WorkTable& t, int32_t key1, int32_t key2) {
    std::vector<host::SortKey> keys;
    for (int32_t k : {key1, key2})
        if (k > 0) keys.push_back({g.revision.Cells(1, k), host::xlAscending});
    if (keys.empty()) return;
    g.revision.Cells(1, 1).Resize(t.lastRow, t.lastColumn).Sort(keys, host::xlYes, host::xlTopToBottom);
}

void ReadScratch(Generation& g, WorkTable& t) {
    host::Range block = g.revision.Cells(1, 1).Resize(t.lastRow, t.lastColumn);
    t.cells = block.Values();
    g.revision.Cells().Clear();
}

std::string PhotoNameOf(Generation& g, const WorkTable& t, int32_t row, const TemplateField& photo) {
    const std::string folder = t.photoFolderColumn ? t.Text(row, t.photoFolderColumn) : std::string();
    return PhotoFinder::FileName(g.roster, folder, t.Text(row, photo.rosterColumn));
}

void LayOutRows(Generation& g, host::Worksheet& out, int32_t first, int32_t last, int32_t dest, int32_t count,
                int32_t width) {
    const int32_t rows = last - first + 1;
    host::Range target = out.GetRange(host::Rect{dest, 1, dest + count - 1, host::kMaxColumns});
    // Whole rows carry the row heights; their cells are replaced below.
    g.image.GetRange(host::Rect{first, 1, last, host::kMaxColumns}).Copy(target);
    target.Clear();
    target.UnMerge();
    g.image.Cells(first, 2).Resize(rows, g.W()).Copy();
    host::Range cells = out.Cells(dest, 2).Resize(count, width);
    cells.PasteSpecial(host::xlPasteAll);
    cells.PasteSpecial(host::xlPasteColumnWidths);
}

host::Array2D ReadTitle(Generation& g, host::Worksheet& out, int32_t row) {
    return out.Cells(row, 2).Resize(g.T(), g.TC() - 1).Values();
}

void WriteTitle(Generation& g, host::Worksheet& out, int32_t row, const host::Array2D& values) {
    host::Range block = out.Cells(row, 2).Resize(g.T(), g.TC() - 1);
    host::ResumeNext([&] { block.ClearContents(); });
    block.SetValues(values);
}

void CopyTitleRows(Generation& g, host::Worksheet& out, int32_t row) {
    const Region& t = g.bounds.title;
    g.image.GetRange(host::Rect{t.start, 1, t.end, host::kMaxColumns})
        .Copy(out.GetRange(host::Rect{row, 1, row + t.Rows() - 1, host::kMaxColumns}));
}

void PlaceTitlePhoto(Generation& g, host::Worksheet& out, int32_t row, const WorkTable& t, int32_t candidate) {
    const TemplateField& photo = g.title[0];
    if (!photo.Named()) return;
    PlaceCandidatePhoto(PhotoNameOf(g, t, candidate, photo), out, row + photo.row - 1, photo.column + 1, g.Scale(),
                        g.photos, g.tally);
}

void PlacePhotosOfArea(Generation& g, host::Worksheet& out, host::Array2D& area, int32_t firstRow, int32_t recordRows,
                       int32_t recordColumns, int32_t photoRow, int32_t photoColumn) {
    for (int32_t x = 1; x <= area.Columns(); x += recordColumns)
        for (int32_t y = 1; y <= area.Rows(); y += recordRows) {
            const int32_t r = y + photoRow, c = x + photoColumn;
            if (r < 1 || r > area.Rows() || c < 1 || c > area.Columns()) throw host::HostError("下标越界");
            const std::string file = host::ToText(area(r, c));
            area(r, c) = host::Variant();
            if (!file.empty())
                PlaceCandidatePhoto(file, out, firstRow + r - 1, 1 + c, g.Scale(), g.photos, g.tally);
        }
}

int16_t ToCount(const host::Variant& v) { return host::ToInt16(host::ToNumber(v)); }

std::string SaveExamTables(Generation& g, int32_t repeatRows) {
    const std::string folder = ExamTableFolder(g.roster);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::filesystem::create_directories(folder, ec);
        if (ec) throw host::FileError(folder, "无法创建文件夹（" + ec.message() + "）");
    }
    const std::string file = NumberedFileName(folder, g.templateName);
    g.out->WriteRepeatRows(repeatRows);
    g.out->Book().SaveAs(file);
    return file;
}

}  // namespace tables
