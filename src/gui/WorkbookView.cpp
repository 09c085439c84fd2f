#include "gui/WorkbookView.h"

#include "gui/SheetView.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace gui {

WorkbookView::WorkbookView(host::Workbook& workbook, SheetViewFactory factory, QWidget* parent)
    : QTabWidget(parent), workbook_(workbook), factory_(std::move(factory)) {
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
    connect(this, &QTabWidget::currentChanged, this, [this](int i) {
        if (syncing_ || i < 0 || size_t(i) >= shown_.size()) return;
        workbook_.SetActiveSheet(shown_[size_t(i)]);
        if (SheetView* v = CurrentSheetView()) {
            v->Refresh();
            const host::CellRef c = v->Sheet().ActiveCell();
            emit CurrentCellChanged(c.row, c.col);
        }
    });
    Rebuild();
}

std::vector<host::Worksheet*> WorkbookView::VisibleSheets() const {
    std::vector<host::Worksheet*> v;
    for (const auto& ws : workbook_.SheetList())
        if (ws->Visible() == host::xlSheetVisible) v.push_back(ws.get());
    return v;
}

SheetView* WorkbookView::CurrentSheetView() const { return qobject_cast<SheetView*>(currentWidget()); }

SheetView* WorkbookView::ViewOf(const host::Worksheet& ws) const {
    for (int i = 0; i < count(); ++i)
        if (auto* v = qobject_cast<SheetView*>(widget(i)); v && &v->Sheet() == &ws) return v;
    return nullptr;
}

void WorkbookView::Rebuild() {
    syncing_ = true;
    // Views of sheets that are still shown are kept; the others go at once,
    // since their sheets may be gone.
    std::vector<host::Worksheet*> wanted = VisibleSheets();
    std::vector<SheetView*> keep;
    while (count() > 0) {
        auto* v = qobject_cast<SheetView*>(widget(0));
        removeTab(0);
        if (v && std::find(wanted.begin(), wanted.end(), &v->Sheet()) != wanted.end()) keep.push_back(v);
        else delete v;
    }
    for (host::Worksheet* ws : wanted) {
        SheetView* view = nullptr;
        for (SheetView* k : keep)
            if (&k->Sheet() == ws) view = k;
        if (!view) {
            view = factory_(*ws);
            connect(view, &SheetView::CurrentCellChanged, this, &WorkbookView::CurrentCellChanged);
        }
        addTab(view, QString::fromStdString(ws->Name()));
    }
    shown_ = wanted;
    syncing_ = false;
}

void WorkbookView::Sync() {
    // Names matter too: a renamed sheet keeps its place but not its tab text.
    bool same = VisibleSheets() == shown_;
    for (size_t i = 0; same && i < shown_.size(); ++i)
        same = tabText(int(i)) == QString::fromStdString(shown_[i]->Name());
    if (!same) Rebuild();
    syncing_ = true;
    if (host::Worksheet* active = workbook_.ActiveSheet())
        for (size_t i = 0; i < shown_.size(); ++i)
            if (shown_[i] == active) setCurrentIndex(int(i));
    syncing_ = false;
    if (SheetView* v = CurrentSheetView()) v->Refresh();
}

}  // namespace gui
