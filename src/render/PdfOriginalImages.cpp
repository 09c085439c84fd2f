#include "render/PdfOriginalImages.h"

#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <QIODevice>
#include <array>
#include <exception>
#include <functional>
#include <stdexcept>

namespace render {

namespace {

// A stand-in is four pixels wide and one high: two of a fixed signature, the
// number, and the number's complement. Nothing Qt draws for a real picture
// scaled to print resolution is that small and carries that signature.
constexpr int kStandInWidth = 4;
constexpr std::array<uint8_t, 6> kSignature = {0x74, 0x6F, 0x6C, 0x6D, 0xA5, 0x3C};

// The writer's bytes straight into the file.
class DeviceOutput : public Pipeline {
public:
    explicit DeviceOutput(QIODevice& device) : Pipeline("file", nullptr), device_(device) {}
    void write(unsigned char const* data, size_t len) override {
        if (device_.write(reinterpret_cast<const char*>(data), qint64(len)) != qint64(len))
            throw std::runtime_error("write failed");
    }
    void finish() override {}

private:
    QIODevice& device_;
};

}  // namespace

QImage MakeStandIn(int n) {
    QImage image(kStandInWidth, 1, QImage::Format_RGB32);
    const uint32_t v = uint32_t(n) & 0xFFFFFF;
    image.setPixel(0, 0, qRgb(kSignature[0], kSignature[1], kSignature[2]));
    image.setPixel(1, 0, qRgb(kSignature[3], kSignature[4], kSignature[5]));
    image.setPixel(2, 0, qRgb(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF));
    image.setPixel(3, 0, qRgb(~v >> 16 & 0xFF, ~v >> 8 & 0xFF, ~v & 0xFF));
    return image;
}

int StandInNumber(const uint8_t* rgb, size_t size) {
    if (size != 3 * kStandInWidth) return -1;
    for (size_t i = 0; i < kSignature.size(); ++i)
        if (rgb[i] != kSignature[i]) return -1;
    for (size_t i = 6; i < 9; ++i)
        if (uint8_t(~rgb[i]) != rgb[i + 3]) return -1;
    return rgb[6] << 16 | rgb[7] << 8 | rgb[8];
}

PdfOriginalImages::PdfOriginalImages() = default;
PdfOriginalImages::~PdfOriginalImages() = default;

const QImage* PdfOriginalImages::StandInFor(const std::shared_ptr<const std::vector<uint8_t>>& bytes,
                                            QSize atMost) {
    if (!bytes || atMost.isEmpty()) return nullptr;
    auto it = known_.find(bytes.get());
    if (it == known_.end()) {
        Known k{bytes, ReadJpegHeader(bytes->data(), bytes->size()), -1};
        if (k.header && !k.header->FitsPdfAsIs()) k.header.reset();
        it = known_.emplace(bytes.get(), std::move(k)).first;
    }
    Known& k = it->second;
    if (!k.header || k.header->width > atMost.width() * kAsIsFactor ||
        k.header->height > atMost.height() * kAsIsFactor)
        return nullptr;
    if (k.original < 0) {
        if (originals_.size() > 0xFFFFFF) return nullptr;  // the numbers a stand-in can carry
        k.original = int(originals_.size());
        originals_.push_back({bytes, *k.header, MakeStandIn(k.original)});
    }
    return &originals_[size_t(k.original)].standIn;
}

bool PdfOriginalImages::Write(const QByteArray& pdf, QIODevice& out) const {
    try {
        QPDF doc;
        doc.setSuppressWarnings(true);
        doc.processMemoryFile("pdf", pdf.constData(), size_t(pdf.size()));
        for (QPDFObjectHandle& o : doc.getAllObjects()) {
            if (!o.isStream()) continue;
            QPDFObjectHandle dict = o.getDict();
            if (!dict.getKey("/Subtype").isNameAndEquals("/Image")) continue;
            QPDFObjectHandle w = dict.getKey("/Width"), h = dict.getKey("/Height");
            if (!w.isInteger() || !h.isInteger() || w.getIntValue() != kStandInWidth || h.getIntValue() != 1)
                continue;
            const std::shared_ptr<Buffer> samples = o.getStreamData(qpdf_dl_generalized);
            const int n = StandInNumber(samples->getBuffer(), samples->getSize());
            if (n < 0) continue;
            if (size_t(n) >= originals_.size()) return false;
            const Original& original = originals_[size_t(n)];
            std::shared_ptr<const std::vector<uint8_t>> jpeg = original.bytes;
            o.replaceStreamData(
                std::function<void(Pipeline*)>([jpeg](Pipeline* p) {
                    p->write(jpeg->data(), jpeg->size());
                    p->finish();
                }),
                QPDFObjectHandle::newName("/DCTDecode"), QPDFObjectHandle::newNull());
            dict.replaceKey("/Width", QPDFObjectHandle::newInteger(original.header.width));
            dict.replaceKey("/Height", QPDFObjectHandle::newInteger(original.header.height));
            dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
            dict.replaceKey("/ColorSpace",
                            QPDFObjectHandle::newName(original.header.components == 1 ? "/DeviceGray" : "/DeviceRGB"));
            for (const char* key : {"/Decode", "/SMask", "/Mask", "/ImageMask"}) dict.removeKey(key);
        }
        // Everything else is copied as Qt wrote it.
        DeviceOutput sink(out);
        QPDFWriter writer(doc);
        writer.setOutputPipeline(&sink);
        writer.setCompressStreams(false);
        writer.setDecodeLevel(qpdf_dl_none);
        writer.write();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace render
