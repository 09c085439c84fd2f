#pragma once
// Sheets' pages one after another onto a paged device (a PDF writer, a
// printer), each page sized to its sheet's paper; and a PDF file made that
// way. Text keeps its fonts (embedded as subsets in a PDF); each picture is
// stored once, at no more than print resolution, a JPEG photo near that
// resolution as its own file.
#include <QPagedPaintDevice>
#include <QPainter>
#include <memory>
#include <string>

#include "host/PageSetup.h"

class QBuffer;
class QSaveFile;
class QPdfWriter;

namespace host {
class Worksheet;
}

namespace render {

class PdfOriginalImages;
class PictureCache;

// What &D and &T show: today's date and the time, as a zh-CN host writes them.
host::HeaderFooterFields PrintFieldsNow();

// Makes sure a QGuiApplication exists (fonts and images need one): the
// command line creates one on the offscreen platform the first time.
void EnsureGuiApplication();

class PagedOutput {
public:
    // `originals`: the PDF's JPEG photos are drawn as stand-ins, to be given
    // their original bytes when the file is written.
    explicit PagedOutput(QPagedPaintDevice& device, PdfOriginalImages* originals = nullptr);
    ~PagedOutput();
    PagedOutput(const PagedOutput&) = delete;
    PagedOutput& operator=(const PagedOutput&) = delete;

    // Every page of the sheet after the pages added before; the number of pages added.
    int AddSheet(const host::Worksheet& sheet, const host::HeaderFooterFields& fields);
    int Pages() const { return pages_; }
    // Ends painting; false when the device could not be painted on.
    bool Finish();

private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    std::unique_ptr<PictureCache> pictures_;
    int pages_ = 0;
    bool failed_ = false;
};

// A PDF file written beside its target and renamed over it when finished,
// so that an interrupted run never leaves half a file.
class PdfDocument {
public:
    static constexpr int kDotsPerInch = 600;

    explicit PdfDocument(const std::string& file);
    ~PdfDocument();
    int AddSheet(const host::Worksheet& sheet, const host::HeaderFooterFields& fields);
    int Pages() const;
    const std::string& File() const { return file_; }
    // Writes the file; false (and no file) when it could not be written or
    // holds no page.
    bool Finish();

private:
    std::string file_;
    std::unique_ptr<QSaveFile> out_;
    // The writer's bytes, kept until Finish mends their text maps.
    std::unique_ptr<QBuffer> bytes_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<PdfOriginalImages> originals_;
    std::unique_ptr<PagedOutput> pages_;
    bool finished_ = false;
};

}  // namespace render
