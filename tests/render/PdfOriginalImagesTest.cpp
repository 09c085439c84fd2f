// JPEG photos go into a PDF as their own bytes when they are near print
// resolution and every reader shows them as stored; the page shows the
// photo, not its stand-in; anything else is drawn as before.
#include <QBuffer>
#include <QImageWriter>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "RenderTestSupport.h"
#include "render/JpegHeader.h"
#include "render/PagedOutput.h"
#include "render/PdfOriginalImages.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(const QImage& img, const char* format = "JPEG", bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(85);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(img));
    return Bytes(bytes.begin(), bytes.end());
}

QImage Solid(int w, int h, QColor color, QImage::Format format = QImage::Format_RGB32) {
    QImage img(w, h, format);
    img.fill(color);
    return img;
}

// An APP1 Exif segment with IFD0 holding only the orientation, inserted after SOI.
Bytes WithExifOrientation(Bytes jpeg, int orientation) {
    const Bytes app1 = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,
                        'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,  // TIFF header, IFD0 at 8
                        0x00, 0x01,                                    // one entry
                        0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, uint8_t(orientation), 0x00, 0x00,
                        0x00, 0x00, 0x00, 0x00};
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return jpeg;
}

std::optional<render::JpegHeader> Header(const Bytes& b) { return render::ReadJpegHeader(b.data(), b.size()); }

TEST(JpegHeader, TellsWhichPhotosAPdfShowsAsStored) {
    rendertest::App();
    const auto colour = Header(Encode(Solid(30, 40, Qt::red)));
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->width, 30);
    EXPECT_EQ(colour->height, 40);
    EXPECT_EQ(colour->components, 3);
    EXPECT_TRUE(colour->FitsPdfAsIs());

    const auto progressive = Header(Encode(Solid(30, 40, Qt::red), "JPEG", true));
    ASSERT_TRUE(progressive);
    EXPECT_EQ(progressive->frameMarker, 0xC2);
    EXPECT_TRUE(progressive->FitsPdfAsIs());

    const auto grey = Header(Encode(Solid(8, 8, Qt::gray, QImage::Format_Grayscale8)));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->components, 1);
    EXPECT_TRUE(grey->FitsPdfAsIs());

    // Turned by EXIF: viewers differ, so it is drawn (as every other picture) instead.
    const auto turned = Header(WithExifOrientation(Encode(Solid(30, 40, Qt::red)), 6));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->exifOrientation, 6);
    EXPECT_EQ(turned->width, 30);
    EXPECT_FALSE(turned->FitsPdfAsIs());
    EXPECT_TRUE(Header(WithExifOrientation(Encode(Solid(30, 40, Qt::red)), 1))->FitsPdfAsIs());

    // A CMYK frame and an arithmetic-coded frame, by hand.
    const Bytes cmyk = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x14, 8, 0, 4, 0, 3, 4, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0, 4, 0x11, 0};
    ASSERT_TRUE(Header(cmyk));
    EXPECT_EQ(Header(cmyk)->components, 4);
    EXPECT_FALSE(Header(cmyk)->FitsPdfAsIs());
    Bytes arithmetic = cmyk;
    arithmetic[3] = 0xC9;
    arithmetic[14] = 3;  // three components now: still not Huffman coded
    EXPECT_FALSE(Header(arithmetic)->FitsPdfAsIs());
    // Colour stored as R, G, B (component names), which a PDF would show as Y, Cb, Cr.
    const Bytes rgb = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 8, 0, 4, 0, 3, 3, 'R', 0x11, 0, 'G', 0x11, 0, 'B', 0x11, 0};
    ASSERT_TRUE(Header(rgb));
    EXPECT_TRUE(Header(rgb)->rgbComponents);
    EXPECT_FALSE(Header(rgb)->FitsPdfAsIs());

    // Not a JPEG, or cut off before its frame.
    EXPECT_FALSE(Header(Encode(Solid(4, 4, Qt::red), "PNG")));
    Bytes cut = Encode(Solid(30, 40, Qt::red));
    cut.resize(20);
    EXPECT_FALSE(Header(cut));
    EXPECT_FALSE(Header(Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x40, 8}));
}

TEST(PdfOriginalImages, StandInsCarryTheirNumberAndNothingElseReadsAsOne) {
    rendertest::App();
    for (int n : {0, 1, 255, 70000, 0xFFFFFF}) {
        const QImage s = render::MakeStandIn(n).convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(s.sizeInBytes(), 12);
        EXPECT_EQ(render::StandInNumber(s.constBits(), 12), n);
    }
    QImage other = render::MakeStandIn(5).convertToFormat(QImage::Format_RGB888);
    other.bits()[11] ^= 1;  // the check no longer matches
    EXPECT_EQ(render::StandInNumber(other.constBits(), 12), -1);
    const QImage red = Solid(4, 1, Qt::red, QImage::Format_RGB888);
    EXPECT_EQ(render::StandInNumber(red.constBits(), 12), -1);
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Contains(const std::string& haystack, const Bytes& needle) {
    return haystack.find(std::string(needle.begin(), needle.end())) != std::string::npos;
}

struct PhotoSheet {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    PhotoSheet() {
        for (int32_t r = 1; r <= 40; ++r) ws.GetRow(r).info.height = 20;
        for (int32_t c = 1; c <= 6; ++c) ws.SetColumnWidthChars(c, 10);
    }
    // A picture 60 × 80 pt at (row, col): print resolution allows 250 × 333 pixels.
    void Place(std::shared_ptr<const Bytes> bytes, int32_t row, int32_t col) {
        host::Picture pic;
        pic.data = std::move(bytes);
        pic.extension = "jpeg";
        pic.from = {col, row};
        pic.to = {col + 1, row + 4};
        pic.widthEmu = int64_t(60 * 12700);
        pic.heightEmu = int64_t(80 * 12700);
        ws.Pictures().push_back(pic);
    }
};

// The colour in the middle of the picture placed at (row, col) on page 1, rendered by poppler at 72 dpi.
QColor PrintedColour(const std::string& pdf, const std::string& dir, double x, double y) {
    const std::string png = dir + "/page";
    const std::string cmd = "pdftoppm -png -r 72 -f 1 -l 1 -singlefile '" + pdf + "' '" + png + "'";
    if (std::system(cmd.c_str()) != 0) return QColor();
    QImage img(QString::fromStdString(png + ".png"));
    return img.isNull() ? QColor() : QColor(img.pixel(int(x), int(y)));
}

bool Near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 && std::abs(a.blue() - b.blue()) < 24;
}

TEST(PdfDocument, PhotosNearPrintResolutionAreStoredAsTheirOwnFiles) {
    rendertest::App();
    testing_support::TempDir dir;
    PhotoSheet s;
    const auto nearRes = std::make_shared<const Bytes>(Encode(Solid(300, 400, QColor(0xCC, 0x22, 0x22))));
    const auto large = std::make_shared<const Bytes>(Encode(Solid(1200, 1600, QColor(0x22, 0x88, 0x22))));
    const auto png = std::make_shared<const Bytes>(Encode(Solid(300, 400, QColor(0x22, 0x22, 0xCC)), "PNG"));
    const auto turned = std::make_shared<const Bytes>(
        WithExifOrientation(Encode(Solid(300, 400, QColor(0xCC, 0xCC, 0x22))), 3));
    s.Place(nearRes, 1, 1);
    s.Place(nearRes, 30, 1);  // the same photo again: one image object
    s.Place(large, 1, 3);
    s.Place(png, 1, 5);
    s.Place(turned, 10, 1);
    const std::string file = dir.File("桌贴.pdf");
    {
        render::PdfDocument pdf(file);
        ASSERT_GT(pdf.AddSheet(s.ws, {}), 0);
        ASSERT_TRUE(pdf.Finish());
    }
    const std::string bytes = ReadAll(file);
    EXPECT_TRUE(Contains(bytes, *nearRes)) << "the photo's own bytes are in the file";
    EXPECT_FALSE(Contains(bytes, *large)) << "four times print resolution: scaled down";
    EXPECT_FALSE(Contains(bytes, *turned)) << "a turned photo is drawn, not stored as it is";
    size_t copies = 0;
    const std::string jpeg(nearRes->begin(), nearRes->end());
    for (size_t at = bytes.find(jpeg); at != std::string::npos; at = bytes.find(jpeg, at + 1)) ++copies;
    EXPECT_EQ(copies, 1u);

    // What a reader shows: each picture's colour where it was placed, never a stand-in.
    // Column width 10 characters = 75 px = 56.25 pt; margins 0.7" left, 0.75" top.
    const double left = 0.7 * 72, top = 0.75 * 72, col = 56.25;
    EXPECT_TRUE(Near(PrintedColour(file, dir.Path().string(), left + 30, top + 40), QColor(0xCC, 0x22, 0x22)));
    EXPECT_TRUE(Near(PrintedColour(file, dir.Path().string(), left + 2 * col + 30, top + 40), QColor(0x22, 0x88, 0x22)));
    EXPECT_TRUE(Near(PrintedColour(file, dir.Path().string(), left + 4 * col + 30, top + 40), QColor(0x22, 0x22, 0xCC)));
    EXPECT_TRUE(Near(PrintedColour(file, dir.Path().string(), left + 30, top + 9 * 20 + 40), QColor(0xCC, 0xCC, 0x22)));
}

}  // namespace
