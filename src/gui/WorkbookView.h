#pragma once
// One open workbook: a tab per visible sheet (hidden and very hidden sheets
// have none), in the workbook's order.
#include <QTabWidget>
#include <functional>
#include <vector>

namespace host {
class Workbook;
class Worksheet;
}  // namespace host

namespace gui {

class SheetView;

class WorkbookView : public QTabWidget {
    Q_OBJECT
public:
    using SheetViewFactory = std::function<SheetView*(host::Worksheet&)>;
    WorkbookView(host::Workbook& workbook, SheetViewFactory factory, QWidget* parent = nullptr);

    host::Workbook& Workbook() const { return workbook_; }
    SheetView* CurrentSheetView() const;
    SheetView* ViewOf(const host::Worksheet& ws) const;

    // Makes the tabs match the visible sheets, shows the workbook's active
    // sheet and redraws the current one from the storage.
    void Sync();

signals:
    void CurrentCellChanged(int row, int col);

private:
    std::vector<host::Worksheet*> VisibleSheets() const;
    void Rebuild();

    host::Workbook& workbook_;
    SheetViewFactory factory_;
    std::vector<host::Worksheet*> shown_;
    bool syncing_ = false;
};

}  // namespace gui
