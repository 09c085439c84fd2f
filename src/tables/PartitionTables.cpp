// Partition-and-sort tables: each roster sheet sorted by the partition field
// and the sort field, cut into partitions where the partition value changes,
// each partition one block:
//
//   T title rows                 filled from the partition's first candidate
//   (1 column-title row)         one copy per record column
//   H × L record rows            L = ⌈size ÷ records per line⌉; record column k
//                                covers columns 2 + (k−1)·W … 1 + k·W
//
// Records run down the first record column, then down the next.
#include <algorithm>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "tables/Generation.h"
#include "workbook/Context.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace tables {

namespace {

// The settings sheet's "D3" (candidates its room table seats), read between
// unprotecting and protecting it again.
double SeatedCandidates(host::Worksheet& settings) {
    const std::string password(workbook::kSheetPassword);
    settings.Unprotect(password);
    const double seated = host::ToNumber(settings.GetRange("D3").Value());
    settings.Protect(password);
    return seated;
}

int32_t FieldColumn(const WorkTable& t, const std::string& field) {
    if (field == workbook::kNoneEntry) return 0;
    return LastColumnTitled(t.cells, t.lastColumn, field);
}

// First rows of the partitions, closed by last row + 1. A row with an empty
// class cell never closes a partition.
std::vector<int32_t> PartitionStarts(const WorkTable& t, int32_t partitionColumn) {
    std::vector<int32_t> starts{2};
    if (partitionColumn > 0)
        for (int32_t i = 2; i <= t.lastRow - 1; ++i)
            if (!t.Text(i, t.classColumn).empty() && !(t(i, partitionColumn) == t(i + 1, partitionColumn)))
                starts.push_back(i + 1);
    starts.push_back(t.lastRow + 1);
    return starts;
}

}  // namespace

std::string PartitionTables(Generation& g, bool titleRow) {
    const int32_t W = g.W(), T = g.T();
    const Region& body = g.bounds.body;
    const int32_t H = titleRow ? body.Rows() - 1 : body.Rows();
    const int32_t perLine = T > 0 ? g.TW() / W : 3;
    // The command refuses a title narrower than the body before calling a variant.
    if (perLine <= 0) throw host::HostError("标题区比主体区窄");
    g.out = std::make_unique<ExamTableWorkbook>(g.ctx.app);

    for (host::Worksheet* sheet : workbook::RosterSheets(g.roster)) {
        host::Worksheet* settings = g.roster.SheetByName(workbook::SettingsSheetNameFor(sheet->Name()));
        if (!settings) continue;
        g.stage = "读取“" + sheet->Name() + "”的设置表";
        if (!(SeatedCandidates(*settings) > 0)) continue;

        g.stage = "工作表“" + sheet->Name() + "”";
        WorkTable t = CopyToScratch(g, *sheet);
        const int32_t partitionColumn = FieldColumn(t, g.options.partition);
        const int32_t sortColumn = FieldColumn(t, g.options.sort);
        SortScratch(g, t, partitionColumn, sortColumn);
        ReadScratch(g, t);
        const std::vector<int32_t> starts = PartitionStarts(t, partitionColumn);

        host::Worksheet& out = g.out->AddOutputSheet(g.templateSheet);
        BlockTable blocks(int32_t(starts.size()));
        int32_t current = 1, block = 0;
        for (size_t p = 0; p + 1 < starts.size(); ++p) {
            const int32_t first = starts[p], size = starts[p + 1] - first;
            if (size <= 0) continue;
            const int32_t L = (size + perLine - 1) / perLine;
            g.stage = "工作表“" + sheet->Name() + "”第" + std::to_string(block + 1) + "个分区";
            if (T > 0) {
                CopyTitleRows(g, out, current);
                host::Array2D values = ReadTitle(g, out, current);
                for (size_t i = 1; i < g.title.size(); ++i)
                    if (g.title[i].Named()) values(g.title[i].row, g.title[i].column) = t(first, g.title[i].rosterColumn);
                WriteTitle(g, out, current, values);
                PlaceTitlePhoto(g, out, current, t, first);
            }
            int32_t columnTitleRow = 0, firstData = current + T;
            if (titleRow) {
                if (g.TopDown()) {
                    columnTitleRow = current + T;
                    firstData = columnTitleRow + 1;
                } else {
                    columnTitleRow = current + T + H * L;
                }
                LayOutRows(g, out, body.start, body.start, columnTitleRow, 1, W * perLine);
            }
            LayOutRows(g, out, titleRow ? body.start + 1 : body.start, body.end, firstData, H * L, W * perLine);

            host::Range data = out.Cells(firstData, 2).Resize(H * L, W * perLine);
            host::Array2D area = data.Values();
            auto put = [&](const TemplateField& f, int32_t rho, int32_t x, host::Variant v) {
                const int32_t r = rho + (titleRow ? f.row - 1 : f.row), c = x + f.column;
                if (r < 1 || r > area.Rows() || c < 1 || c > area.Columns()) throw host::HostError("下标越界");
                area(r, c) = std::move(v);
            };
            int32_t next = first;
            for (int32_t k = 1; k <= perLine; ++k) {
                const int32_t c = std::min(L, first + size - next);
                for (int32_t d = 1; d <= c; ++d) {
                    const int32_t who = next + d - 1;
                    const int32_t rho = g.TopDown() ? H * (d - 1) : H * L - H * d;
                    const int32_t x = g.LeftToRight() ? (k - 1) * W : (perLine - k) * W;
                    for (size_t i = 1; i < g.body.size(); ++i)
                        if (g.body[i].Named()) put(g.body[i], rho, x, t(who, g.body[i].rosterColumn));
                    if (g.body[0].Named()) put(g.body[0], rho, x, host::Variant(PhotoNameOf(g, t, who, g.body[0])));
                }
                next += std::max(c, 0);
            }
            if (g.body[0].Named())
                PlacePhotosOfArea(g, out, area, firstData, H, W, g.body[0].row - (titleRow ? 2 : 1),
                                  g.body[0].column - 1);
            host::ResumeNext([&] { data.ClearContents(); });
            data.SetValues(area);

            const int32_t nextStart = current + T + H * L + (titleRow ? 2 : 1);
            blocks.SetStart(block + 1, nextStart);
            blocks.SetWidth(block, T > 0 ? g.TW() : W * 3);
            ++block;
            current = nextStart;
        }
        blocks.SetStart(0, 1);
        blocks.SetWidth(block, g.TC() - 2);
        ExamTableWorkbook::DeleteSpareColumn(out);
        g.out->RecordSheet(out, sheet->Name(), blocks);
    }
    g.stage = "保存考试用表";
    return SaveExamTables(g, titleRow && g.TopDown() ? T + 1 : T);
}

}  // namespace tables
