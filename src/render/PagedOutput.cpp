#include "render/PagedOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDateTime>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include "host/Pagination.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/PagePainter.h"
#include "render/PdfOriginalImages.h"
#include "render/PdfTextMap.h"
#include "render/PictureCache.h"
#include "render/StyleCache.h"

namespace render {

namespace {

QPageLayout LayoutFor(const host::Pagination& pg) {
    // The page is the whole paper; the painter places the margins itself.
    const QPageSize size(QSizeF(pg.paper.width, pg.paper.height), QPageSize::Point, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

}  // namespace

host::HeaderFooterFields PrintFieldsNow() {
    const QDateTime now = QDateTime::currentDateTime();
    host::HeaderFooterFields f;
    f.date = now.toString(QStringLiteral("yyyy/M/d")).toStdString();
    f.time = now.toString(QStringLiteral("H:mm")).toStdString();
    return f;
}

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "tolm";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Outside a desktop session Qt would warn, in English, that it makes its
    // own runtime folder; make it as Qt would, so the user reads nothing of it.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
        ::mkdir(dir.c_str(), 0700);  // may exist already: checked below
        struct stat st {};
        if (::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
            (st.st_mode & 0777) == 0700)
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
    }
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

PagedOutput::PagedOutput(QPagedPaintDevice& device, PdfOriginalImages* originals)
    : device_(device), pictures_(std::make_unique<PictureCache>(false, originals)) {}

PagedOutput::~PagedOutput() { Finish(); }

int PagedOutput::AddSheet(const host::Worksheet& sheet, const host::HeaderFooterFields& fields) {
    if (failed_) return 0;
    const host::Pagination pg = host::Paginate(sheet);
    if (pg.pages.empty()) return 0;
    const QPageLayout layout = LayoutFor(pg);
    if (pages_ == 0) {
        device_.setPageLayout(layout);
        if (!painter_.begin(&device_)) {
            failed_ = true;
            return 0;
        }
    }
    const double dpi = device_.logicalDpiX();
    StyleCache styles(sheet.Parent().Styles(), int(dpi));
    PagePainter painter(sheet, pg, styles, *pictures_);
    for (size_t i = 0; i < pg.pages.size(); ++i) {
        if (pages_ > 0) {
            device_.setPageLayout(layout);
            device_.newPage();
        }
        painter.Paint(painter_, int(i), dpi, fields);
        ++pages_;
    }
    return int(pg.pages.size());
}

bool PagedOutput::Finish() {
    if (painter_.isActive()) painter_.end();
    return !failed_;
}

PdfDocument::PdfDocument(const std::string& file) : file_(file) {
    EnsureGuiApplication();
    out_ = std::make_unique<QSaveFile>(QString::fromStdString(file));
    if (!out_->open(QIODevice::WriteOnly)) return;
    bytes_ = std::make_unique<QBuffer>();
    bytes_->open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(bytes_.get());
    writer_->setResolution(kDotsPerInch);
    writer_->setCreator(QStringLiteral("tolm"));
    writer_->setTitle(QString::fromStdString(file).section(QLatin1Char('/'), -1));
    originals_ = std::make_unique<PdfOriginalImages>();
    pages_ = std::make_unique<PagedOutput>(*writer_, originals_.get());
}

PdfDocument::~PdfDocument() {
    if (!finished_ && out_) out_->cancelWriting();
}

int PdfDocument::AddSheet(const host::Worksheet& sheet, const host::HeaderFooterFields& fields) {
    return pages_ && !finished_ ? pages_->AddSheet(sheet, fields) : 0;
}

int PdfDocument::Pages() const { return pages_ ? pages_->Pages() : 0; }

bool PdfDocument::Finish() {
    if (finished_) return false;
    finished_ = true;
    if (!pages_ || Pages() == 0) {
        if (out_) out_->cancelWriting();
        return false;
    }
    const bool painted = pages_->Finish();
    writer_.reset();
    if (!painted) {
        out_->cancelWriting();
        return false;
    }
    QByteArray& pdf = bytes_->buffer();
    MapRadicalsToIdeographs(pdf);
    // Without its photos the file would show their stand-ins: then no file.
    const bool written = originals_->Empty() ? out_->write(pdf) == pdf.size() : originals_->Write(pdf, *out_);
    if (!written) {
        out_->cancelWriting();
        return false;
    }
    bytes_.reset();
    return out_->commit();
}

}  // namespace render
