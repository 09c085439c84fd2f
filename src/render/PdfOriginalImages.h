#pragma once
// Photos go into a PDF as their own JPEG files. Qt's PDF writer decodes and
// re-encodes every picture it is given: for a thousand desk-label photos
// that is most of the printing time, a second generation of JPEG loss, and
// a file larger than the photos. So the painter draws, for a JPEG that can
// stand in a PDF as it is, a tiny stand-in image that names the photo, and
// when the writer is done each stand-in's image object is given the
// original file's bytes.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "render/JpegHeader.h"

class QIODevice;

namespace render {

class PdfOriginalImages {
public:
    // A photo is stored as it is while it has at most this many pixels per
    // printed pixel (against the print resolution's limit). Scaling such a
    // photo down hardly makes the file smaller, since Qt re-encodes at a high
    // quality: photos at 1.2 × came out 3–20 % larger than they went in, at
    // 1.5 × some 8 % smaller. Larger ones are scaled down.
    static constexpr double kAsIsFactor = 1.5;

    PdfOriginalImages();
    ~PdfOriginalImages();

    // The stand-in to draw for the picture with these bytes when it is a JPEG
    // that fits a PDF as it is and is at most kAsIsFactor × `atMost`; null
    // otherwise. The same bytes give the same image, so the writer stores it once.
    const QImage* StandInFor(const std::shared_ptr<const std::vector<uint8_t>>& bytes, QSize atMost);
    bool Empty() const { return originals_.empty(); }

    // Writes `pdf` to `out` with every stand-in image object given its
    // original JPEG. False when the PDF cannot be read, `out` cannot be
    // written, or the PDF holds a stand-in this list did not hand out.
    bool Write(const QByteArray& pdf, QIODevice& out) const;

private:
    struct Original {
        std::shared_ptr<const std::vector<uint8_t>> bytes;
        JpegHeader header;
        QImage standIn;
    };
    struct Known {
        std::shared_ptr<const std::vector<uint8_t>> bytes;  // holds the address while it is a key
        std::optional<JpegHeader> header;                   // set when the JPEG fits a PDF as it is
        int original = -1;                                  // into originals_, once handed out
    };
    std::deque<Original> originals_;  // a deque: the stand-ins' addresses stay put
    std::map<const std::vector<uint8_t>*, Known> known_;
};

// The number a stand-in image's pixels carry, or -1 when `rgb` (its decoded
// samples, 8-bit RGB) is not a stand-in.
int StandInNumber(const uint8_t* rgb, size_t size);
// A stand-in image for number `n`.
QImage MakeStandIn(int n);

}  // namespace render
