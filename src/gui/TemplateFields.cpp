#include "gui/TemplateFields.h"

#include <QEvent>
#include <QPainter>
#include <QTableView>

#include "gui/QtToolkit.h"
#include "gui/ToolWindowView.h"
#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "tables/TemplateLanguage.h"
#include "tables/TemplateLibrary.h"
#include "ui/Controls.h"
#include "ui/FrmHuaMinChe.h"
#include "workbook/FieldLists.h"

namespace gui {

bool IsTemplateSheet(const host::Worksheet& ws, const host::Workbook* system) {
    return system && &ws.Parent() == system && tables::FindTemplate(*system, ws.Name()) == &ws;
}

TemplateRegions FindTemplateRegions(const host::Worksheet& ws) {
    TemplateRegions out;
    const host::Rect used = ws.UsedRect();
    // The markers stand in column A and in the end-marker column: the used block from A1 holds them.
    const host::Array2D block = const_cast<host::Worksheet&>(ws).GetRange(host::Rect{1, 1, used.bottom, used.right}).Values();
    auto region = [&](std::string_view marker) -> std::optional<host::Rect> {
        const tables::RegionSearch s = tables::FindRegion(block, marker);
        if (s.result != tables::RegionSearch::Result::Found) return std::nullopt;
        return host::Rect{s.region.start, 1, s.region.end, s.region.marker};
    };
    out.title = region(tables::kTitleMarker);
    out.body = region(tables::kBodyMarker);
    return out;
}

QStringList RosterFieldTitles(QtToolkit& toolkit, host::Application& app, const host::Workbook* system) {
    QStringList out;
    auto add = [&](const std::string& title) {
        QString t = QString::fromStdString(title).remove('\t');
        if (!t.isEmpty() && !out.contains(t)) out << t;
    };
    for (ToolWindowView* v : toolkit.Views()) {
        auto* w = v->Model() ? dynamic_cast<ui::FrmHuaMinChe*>(v->Model()) : nullptr;
        if (!w) continue;
        // Item 0 is the none entry.
        for (int i = 1; i < w->Combo1.ListCount(); ++i) add(w->Combo1.List(i));
        if (!out.isEmpty()) return out;
    }
    for (int i = 1; i <= app.Workbooks().Count(); ++i) {
        host::Workbook& wb = app.Workbooks().Item(i);
        if (&wb == system) continue;
        const std::vector<std::string> titles = workbook::CommonFieldTitles(wb);
        if (titles.empty()) continue;
        for (const std::string& t : titles) add(t);
        break;
    }
    return out;
}

QString FieldPlaceholder(const QString& title) { return "[" + title + "]"; }

void FillInsertFieldMenu(QMenu& menu, const QStringList& fields,
                         const std::function<void(const QString&, const QString&)>& insert) {
    menu.clear();
    if (fields.isEmpty()) {
        QAction* none = menu.addAction("（未打开花名册：没有可插入的字段）");
        none->setEnabled(false);
    }
    for (const QString& f : fields) {
        QAction* a = menu.addAction(FieldPlaceholder(f));
        a->setObjectName("field:" + f);
        QObject::connect(a, &QAction::triggered, &menu, [insert, f] { insert(FieldPlaceholder(f), "插入字段"); });
    }
    menu.addSeparator();
    QAction* photo = menu.addAction(QString("照片 %1").arg(kPhotoPlaceholder));
    photo->setObjectName("photo");
    QObject::connect(photo, &QAction::triggered, &menu, [insert] { insert(kPhotoPlaceholder, "插入照片"); });
    menu.addSeparator();
    QAction* body = menu.addAction("主体区标记 #");
    body->setObjectName("bodyMarker");
    body->setToolTip("放在 A 列主体区的首行和末行，以及首行右端的结束列");
    QObject::connect(body, &QAction::triggered, &menu, [insert] { insert("#", "插入主体区标记"); });
    QAction* title = menu.addAction("标题区标记 @");
    title->setObjectName("titleMarker");
    title->setToolTip("放在 A 列标题区的首行和末行，以及首行右端的结束列");
    QObject::connect(title, &QAction::triggered, &menu, [insert] { insert("@", "插入标题区标记"); });
}

QColor TitleTint() { return QColor(80, 140, 230, 28); }
QColor BodyTint() { return QColor(70, 180, 90, 28); }

RegionTint::RegionTint(QTableView& grid, std::function<const host::Worksheet*()> sheet)
    : QWidget(grid.viewport()), grid_(grid), sheet_(std::move(sheet)) {
    setObjectName("regionTint");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(grid.viewport()->rect());
    grid.viewport()->installEventFilter(this);
    show();
}

bool RegionTint::eventFilter(QObject* watched, QEvent* e) {
    // Whatever repaints the grid below (scrolling, edits) repaints the tint
    // with it, as a child of the viewport; only its size must follow.
    if (watched == grid_.viewport() && e->type() == QEvent::Resize) setGeometry(grid_.viewport()->rect());
    return QWidget::eventFilter(watched, e);
}

void RegionTint::paintEvent(QPaintEvent*) {
    shown_ = {};
    const host::Worksheet* ws = sheet_ ? sheet_() : nullptr;
    if (!ws) return;
    shown_ = FindTemplateRegions(*ws);
    QPainter p(this);
    auto tint = [&](const std::optional<host::Rect>& r, const QColor& c) {
        if (!r || !grid_.model()) return;
        const int rows = grid_.model()->rowCount(), cols = grid_.model()->columnCount();
        if (r->top > rows || r->left > cols) return;
        const int bottom = std::min(r->bottom, rows) - 1, right = std::min(r->right, cols) - 1;
        const int x = grid_.columnViewportPosition(r->left - 1), y = grid_.rowViewportPosition(r->top - 1);
        const int x2 = grid_.columnViewportPosition(right) + grid_.columnWidth(right);
        const int y2 = grid_.rowViewportPosition(bottom) + grid_.rowHeight(bottom);
        p.fillRect(QRect(QPoint(x, y), QPoint(x2 - 1, y2 - 1)), c);
    };
    tint(shown_.title, TitleTint());
    tint(shown_.body, BodyTint());
}

}  // namespace gui
