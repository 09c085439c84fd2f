#include "gui/PrintPreview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "host/Worksheet.h"
#include "render/PagePainter.h"

namespace gui {

namespace {

constexpr int kGap = 16;           // pixels between pages and around them
constexpr size_t kCachedPages = 8;  // pages kept painted: a screenful and a little more

}  // namespace

// The column of pages. Paints only the pages the paint event reaches.
class PreviewPages : public QWidget {
public:
    PreviewPages(const host::Worksheet& sheet, const host::Pagination& pagination, host::HeaderFooterFields fields,
                 QWidget* parent)
        : QWidget(parent), sheet_(sheet), pagination_(pagination), fields_(std::move(fields)) {
        SetZoom(1.0);
    }

    void SetZoom(double zoom) {
        zoom_ = zoom;
        cache_.clear();
        const QSize paper = render::PaperPixels(pagination_, Dpi());
        page_ = paper;
        const int n = int(pagination_.pages.size());
        setFixedSize(page_.width() + 2 * kGap, n * (page_.height() + kGap) + kGap);
        update();
    }
    double Zoom() const { return zoom_; }
    // The zoom at which a page and its margins of grey fill `width` pixels.
    double ZoomToFit(int width) const { return (width - 2 * kGap) * zoom_ / std::max(1, page_.width()); }
    int PageTop(int index) const { return kGap + index * (page_.height() + kGap); }
    int PageAt(int y) const { return std::max(0, (y - kGap / 2) / (page_.height() + kGap)); }
    int Rendered() const { return rendered_; }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        p.fillRect(e->rect(), QColor(0x80, 0x80, 0x80));
        const int n = int(pagination_.pages.size());
        for (int i = PageAt(e->rect().top()); i < n; ++i) {
            const QRect box(kGap, PageTop(i), page_.width(), page_.height());
            if (box.top() > e->rect().bottom()) break;
            if (!box.intersects(e->rect())) continue;
            p.drawImage(box.topLeft(), Page(i));
        }
    }

private:
    double Dpi() const { return logicalDpiY() * zoom_; }

    const QImage& Page(int index) {
        auto it = cache_.find(index);
        if (it != cache_.end()) return it->second;
        // The pages furthest from the one asked for go first.
        while (cache_.size() >= kCachedPages) {
            auto far = cache_.begin();
            for (auto c = cache_.begin(); c != cache_.end(); ++c)
                if (std::abs(c->first - index) > std::abs(far->first - index)) far = c;
            cache_.erase(far);
        }
        ++rendered_;
        return cache_[index] = render::PageImage(sheet_, pagination_, index, Dpi(), fields_);
    }

    const host::Worksheet& sheet_;
    const host::Pagination& pagination_;
    host::HeaderFooterFields fields_;
    double zoom_ = 1;
    QSize page_;
    std::map<int, QImage> cache_;
    int rendered_ = 0;
};

PrintPreviewDialog::PrintPreviewDialog(const host::Worksheet& sheet, const host::HeaderFooterFields& fields,
                                       QWidget* parent)
    : QDialog(parent), pagination_(host::Paginate(sheet)) {
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto* smaller = new QPushButton(QStringLiteral("缩小 (&-)"), this);
    auto* larger = new QPushButton(QStringLiteral("放大 (&+)"), this);
    auto* close = new QPushButton(QStringLiteral("关闭 (&C)"), this);
    pageLabel_ = new QLabel(this);
    bar->addWidget(smaller);
    bar->addWidget(larger);
    bar->addStretch();
    bar->addWidget(pageLabel_);
    bar->addStretch();
    bar->addWidget(close);
    layout->addLayout(bar);
    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    pages_ = new PreviewPages(sheet, pagination_, fields, scroll_);
    scroll_->setWidget(pages_);
    layout->addWidget(scroll_);
    auto zoomBy = [this](double factor) {
        const int page = pages_->PageAt(scroll_->verticalScrollBar()->value());
        pages_->SetZoom(std::clamp(pages_->Zoom() * factor, 0.25, 4.0));
        ShowPage(page);
    };
    connect(smaller, &QPushButton::clicked, this, [zoomBy] { zoomBy(1 / 1.25); });
    connect(larger, &QPushButton::clicked, this, [zoomBy] { zoomBy(1.25); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { UpdatePageLabel(); });
    UpdatePageLabel();
}

PrintPreviewDialog::~PrintPreviewDialog() = default;

void PrintPreviewDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (fitted_) return;
    fitted_ = true;
    // A page wider than the window (a landscape seating chart) opens at the
    // size that shows its whole width; narrower pages open at 100 %.
    const double fit = pages_->ZoomToFit(scroll_->viewport()->width());
    if (fit < pages_->Zoom()) {
        pages_->SetZoom(std::max(0.25, fit));
        ShowPage(0);
    }
}

int PrintPreviewDialog::PageCount() const { return int(pagination_.pages.size()); }

int PrintPreviewDialog::PagesRendered() const { return pages_->Rendered(); }

void PrintPreviewDialog::ShowPage(int index) {
    scroll_->verticalScrollBar()->setValue(pages_->PageTop(index) - kGap / 2);
    UpdatePageLabel();
}

void PrintPreviewDialog::UpdatePageLabel() {
    const int n = PageCount();
    const int page = n == 0 ? 0 : std::min(n, pages_->PageAt(scroll_->verticalScrollBar()->value()) + 1);
    pageLabel_->setText(QStringLiteral("第 %1 页，共 %2 页").arg(page).arg(n));
}

}  // namespace gui
