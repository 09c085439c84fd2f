#include "host/AutoFit.h"

#include <algorithm>
#include <cmath>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

constexpr double kPointsPerPixel = 0.75;

ContentMeasurer* MeasurerOf(const Worksheet& ws) {
    const Application* app = ws.Parent().Parent();
    return app ? app->GetContentMeasurer() : nullptr;
}

// Heights are whole pixels at 96 dpi, rounded up so that the content fits.
double WholePixels(double points) { return std::ceil(points / kPointsPerPixel - 1e-6) * kPointsPerPixel; }

// Whether a cell may need more than the standard height: a font other
// than the Normal one (by face and size), or text that wraps. Others are a
// line of the Normal font, which is what the standard height is; most
// sheets are measured without a font being looked at.
class MayNeedMeasuring {
public:
    explicit MayNeedMeasuring(const StyleTable& styles) : styles_(styles), normal_(styles.Default().font) {}
    bool operator()(const Cell& c) {
        if (c.style >= known_.size()) known_.resize(size_t(c.style) + 1, kUnknown);
        int8_t& k = known_[c.style];
        if (k == kUnknown) {
            const CellFormat& f = styles_.Get(c.style);
            k = f.font.name != normal_.name || f.font.size != normal_.size ? kFont : f.alignment.wrapText ? kWrap : kNo;
        }
        return k == kFont || (k == kWrap && c.value.IsText() && !c.value.Text().empty());
    }

private:
    static constexpr int8_t kUnknown = -1, kNo = 0, kWrap = 1, kFont = 2;
    const StyleTable& styles_;
    Font normal_;
    std::vector<int8_t> known_;
};

// The height row `r` needs: its tallest cell, at least the standard height.
// Cells of merged areas do not count, as in the host. The measures are
// taken on first need.
double ContentHeight(const Worksheet& ws, int32_t r, const Row& row, MayNeedMeasuring& mayNeed,
                     ContentMeasurer& measurer, std::unique_ptr<ContentMeasurer::Sheet>& m) {
    double need = ws.StandardHeight();
    for (const Cell& c : row.cells) {
        if (!mayNeed(c) || ws.MergeAreaAt(r, c.col)) continue;
        const double width = ws.ColumnWidthPoints(c.col);
        if (width <= 0) continue;  // hidden column
        if (!m) m = measurer.Measure(ws);
        need = std::max(need, m->Height(r, c.col, width));
    }
    return WholePixels(need);
}

}  // namespace

bool FitRowHeights(Worksheet& ws, int32_t first, int32_t last, RowFit which) {
    ContentMeasurer* measurer = MeasurerOf(ws);
    auto& rows = ws.RowsData();
    if (!measurer || rows.empty()) return false;
    first = std::max(first, 1);
    last = std::min<int32_t>(last, int32_t(rows.size()));
    std::unique_ptr<ContentMeasurer::Sheet> m;
    MayNeedMeasuring mayNeed(ws.Parent().Styles());
    bool changed = false;
    for (int32_t r = first; r <= last; ++r) {
        Row& row = rows[size_t(r - 1)];
        RowInfo& info = row.info;
        if (info.customHeight || info.hidden) continue;
        if (which == RowFit::Automatic && info.height > 0 && !info.fitted) continue;
        const double need = ContentHeight(ws, r, row, mayNeed, *measurer, m);
        // The standard height is no height of its own: the row stays as the file had it.
        const double height = need <= ws.StandardHeight() ? 0.0 : need;
        // A row an edit fitted stays the edit's when it is fitted again.
        const bool automatic = height > 0 && which == RowFit::Automatic && (!info.fitted || info.autoFitted);
        if (height == info.height && info.fitted == (height > 0) && info.autoFitted == automatic) continue;
        info.height = height;
        info.fitted = height > 0;
        info.autoFitted = automatic;
        changed = true;
    }
    if (changed) ws.SizesChanged();
    return changed;
}

bool FitRowHeights(Workbook& wb) {
    bool changed = false;
    for (const auto& ws : wb.SheetList()) changed |= FitRowHeights(*ws, 1, int32_t(ws->RowsData().size()), RowFit::Automatic);
    return changed;
}

void Range::AutoFit() {
    Worksheet& ws = Sheet();
    ContentMeasurer* measurer = MeasurerOf(ws);
    if (!measurer) throw HostError("没有可用于测量字体的服务，不能自动调整行高或列宽");
    const bool rows = std::all_of(areas_.begin(), areas_.end(), [](const Rect& a) { return a.IsWholeRows(); });
    const bool cols = std::all_of(areas_.begin(), areas_.end(), [](const Rect& a) { return a.IsWholeColumns(); });
    if (areas_.empty() || (!rows && !cols)) throw HostError("Range 类的 AutoFit 方法无效：请选择整行或整列");
    if (rows && !cols) {
        for (const Rect& a : areas_) {
            const int32_t last = std::min<int32_t>(a.bottom, int32_t(ws.RowsData().size()));
            for (int32_t r = a.top; r <= last; ++r) {
                RowInfo& info = ws.RowsData()[size_t(r - 1)].info;
                if (info.hidden) continue;
                // Fitted on request, the row follows its content from now on.
                info.customHeight = false;
                info.fitted = info.height > 0;
            }
            FitRowHeights(ws, a.top, last, RowFit::Edited);
        }
        ws.MarkChanged();
        return;
    }
    std::unique_ptr<ContentMeasurer::Sheet> m = measurer->Measure(ws);
    std::vector<double> widest;  // points, by column from the first area's left
    const int32_t left = std::min_element(areas_.begin(), areas_.end(), [](const Rect& a, const Rect& b) {
                             return a.left < b.left;
                         })->left;
    const int32_t right = std::max_element(areas_.begin(), areas_.end(), [](const Rect& a, const Rect& b) {
                              return a.right < b.right;
                          })->right;
    auto inAreas = [&](int32_t col) {
        return std::any_of(areas_.begin(), areas_.end(), [&](const Rect& a) { return col >= a.left && col <= a.right; });
    };
    const auto& stored = ws.RowsData();
    for (int32_t r = 1; r <= int32_t(stored.size()); ++r) {
        const host::Row& row = stored[size_t(r - 1)];
        if (row.info.hidden) continue;
        auto it = std::lower_bound(row.cells.begin(), row.cells.end(), left,
                                   [](const Cell& c, int32_t v) { return c.col < v; });
        for (; it != row.cells.end() && it->col <= right; ++it) {
            if (!inAreas(it->col) || ws.MergeAreaAt(r, it->col)) continue;
            const double w = m->Width(r, it->col);
            if (w <= 0) continue;
            if (widest.size() <= size_t(it->col - left)) widest.resize(size_t(it->col - left) + 1, 0.0);
            widest[size_t(it->col - left)] = std::max(widest[size_t(it->col - left)], w);
        }
    }
    m.reset();
    for (size_t i = 0; i < widest.size(); ++i) {
        const ColumnInfo* info = ws.FindColumn(left + int32_t(i));
        if (widest[i] <= 0 || (info && info->hidden)) continue;
        const int pixels = std::max(8, int(std::ceil(widest[i] / kPointsPerPixel - 1e-6)));
        ws.SetColumnWidthChars(left + int32_t(i), std::min(255.0, ws.CharsForPixels(pixels)));
    }
    // Wrapped text follows the new widths.
    FitRowHeights(ws, 1, int32_t(ws.RowsData().size()), RowFit::Automatic);
    ws.MarkChanged();
}

}  // namespace host
