#pragma once
// The preview window of a print job: the sheet's pages one below the other,
// each painted only when it scrolls into view and kept while it is near, so
// that a preview of hundreds of pages opens at once and stays small.
#include <QDialog>
#include <QImage>
#include <map>

#include "host/PageSetup.h"
#include "host/Pagination.h"

class QLabel;
class QScrollArea;

namespace host {
class Worksheet;
}

namespace gui {

class PreviewPages;

class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    PrintPreviewDialog(const host::Worksheet& sheet, const host::HeaderFooterFields& fields, QWidget* parent = nullptr);
    ~PrintPreviewDialog() override;

    int PageCount() const;
    // Pages painted so far (each at most once while it stays in the cache).
    int PagesRendered() const;
    // Scrolls so that page `index` (0-based) is at the top.
    void ShowPage(int index);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void UpdatePageLabel();

    host::Pagination pagination_;
    PreviewPages* pages_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    bool fitted_ = false;
};

}  // namespace gui
