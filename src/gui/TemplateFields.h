#pragma once
// Helpers for designing a template sheet: the 插入字段 menu (a "[field]"
// placeholder for a common roster column, "{照片}" for the photo, the "#" and
// "@" region markers) and a light tint over the regions the markers make,
// drawn over the grid only (nothing of it goes into the sheet or the file).
#include <QMenu>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

#include "host/Address.h"

class QTableView;

namespace host {
class Application;
class Workbook;
class Worksheet;
}  // namespace host

namespace gui {

class QtToolkit;

// Whether the sheet is one of the system workbook's template sheets.
bool IsTemplateSheet(const host::Worksheet& ws, const host::Workbook* system);

// The cells of a template's regions, content and marker columns, as found by
// the template language; nullopt for a region that is missing or has no end marker.
struct TemplateRegions {
    std::optional<host::Rect> title, body;
};
TemplateRegions FindTemplateRegions(const host::Worksheet& ws);

// The roster's common column titles (without the system columns' leading
// TAB): as the open Exam-tables window lists them, else from the open
// roster workbook (the first other workbook that has roster sheets).
QStringList RosterFieldTitles(QtToolkit& toolkit, host::Application& app, const host::Workbook* system);

// The placeholder or marker an entry of the menu puts into the cell.
QString FieldPlaceholder(const QString& title);  // "[考号]"
inline const char* kPhotoPlaceholder = "{照片}";

// Fills `menu` (cleared first) with the entries; `insert(text, undoText)` runs on a choice.
void FillInsertFieldMenu(QMenu& menu, const QStringList& fields,
                         const std::function<void(const QString&, const QString&)>& insert);

// Drawn over a grid's viewport: the title region in light blue, the body in
// light green, while `sheet()` answers a template sheet.
class RegionTint : public QWidget {
    Q_OBJECT
public:
    RegionTint(QTableView& grid, std::function<const host::Worksheet*()> sheet);

    // Regions of the last paint (tests look at them).
    const TemplateRegions& Shown() const { return shown_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QTableView& grid_;
    std::function<const host::Worksheet*()> sheet_;
    TemplateRegions shown_;
};

// The tint colours, light enough to keep values readable.
QColor TitleTint();
QColor BodyTint();

}  // namespace gui
