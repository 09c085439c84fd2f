#pragma once
// Pictures of a sheet decoded once. The key is the picture's byte buffer,
// which the sheet shares between copies and never changes in place; the
// cache holds a reference to it, so a buffer's address cannot be reused by
// another picture while its image is cached.
#include <QImage>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace host {
struct Picture;
class PictureList;
}

namespace render {

class PdfOriginalImages;

class PictureCache {
public:
    // `keepDecoded` false (printing): a picture whose bytes no other picture
    // shares is decoded and scaled for the one drawing and not kept, so a
    // thousand photos do not stay in memory decoded. With `originals` (a PDF
    // being written), a JPEG that can go into the PDF as it is is not decoded
    // at all: the image handed out is its stand-in.
    explicit PictureCache(bool keepDecoded = true, PdfOriginalImages* originals = nullptr)
        : keepDecoded_(keepDecoded), originals_(originals) {}

    // The decoded image, or a null image when the bytes are not a picture Qt reads.
    const QImage& Get(const host::Picture& picture);
    // The image scaled down (smoothly, aspect kept) to fit `atMost` when it is
    // larger; each size is scaled once and kept, so a document that stores
    // images by identity stores each picture once. `standIn` is set when the
    // image is a stand-in, which must be drawn losslessly.
    const QImage& Get(const host::Picture& picture, QSize atMost, bool* standIn = nullptr);
    // Drops the images of buffers none of these pictures use.
    void Retain(const host::PictureList& pictures);
    size_t Size() const { return images_.size(); }

private:
    void RetainBuffers(const std::set<const std::vector<uint8_t>*>& used);
    struct Entry {
        std::shared_ptr<const std::vector<uint8_t>> bytes;
        QImage image;
        std::map<std::pair<int, int>, QImage> scaled;
    };
    std::map<const std::vector<uint8_t>*, Entry> images_;
    bool keepDecoded_ = true;
    PdfOriginalImages* originals_ = nullptr;
    QImage transient_;  // the last picture drawn without keeping it
};

}  // namespace render
