#include "render/JpegHeader.h"

namespace render {

namespace {

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size, bool littleEndian = false) : d_(data), n_(size), le_(littleEndian) {}
    size_t Size() const { return n_; }
    bool Has(size_t at, size_t count) const { return at <= n_ && count <= n_ - at; }
    uint8_t U8(size_t at) const { return d_[at]; }
    unsigned U16(size_t at) const { return le_ ? d_[at] | d_[at + 1] << 8 : d_[at] << 8 | d_[at + 1]; }
    uint32_t U32(size_t at) const {
        return le_ ? uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16 : uint32_t(U16(at)) << 16 | U16(at + 2);
    }
    bool StartsWith(const char* text, size_t count) const {
        if (!Has(0, count)) return false;
        for (size_t i = 0; i < count; ++i)
            if (d_[i] != uint8_t(text[i])) return false;
        return true;
    }
    Bytes From(size_t at, bool littleEndian) const { return Bytes(d_ + at, n_ - at, littleEndian); }

private:
    const uint8_t* d_;
    size_t n_;
    bool le_;
};

// The orientation tag (0x0112) of IFD0 in an APP1 "Exif" segment; 1 when absent or unreadable.
int ExifOrientation(const Bytes& app1) {
    if (!app1.StartsWith("Exif\0\0", 6) || !app1.Has(6, 8)) return 1;
    const Bytes order = app1.From(6, false);
    const bool little = order.StartsWith("II", 2);
    if (!little && !order.StartsWith("MM", 2)) return 1;
    const Bytes tiff = app1.From(6, little);
    if (tiff.U16(2) != 42) return 1;
    const size_t ifd = tiff.U32(4);
    if (!tiff.Has(ifd, 2)) return 1;
    const unsigned entries = tiff.U16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        const size_t e = ifd + 2 + 12 * size_t(i);
        if (!tiff.Has(e, 12)) break;
        if (tiff.U16(e) == 0x0112 && tiff.U16(e + 2) == 3) return int(tiff.U16(e + 8));
    }
    return 1;
}

bool IsFrameMarker(uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

}  // namespace

bool JpegHeader::FitsPdfAsIs() const {
    const bool huffman = frameMarker == 0xC0 || frameMarker == 0xC1 || frameMarker == 0xC2;
    const bool colours = components == 1 || (components == 3 && !rgbComponents);
    return width > 0 && height > 0 && precision == 8 && huffman && colours && exifOrientation == 1;
}

std::optional<JpegHeader> ReadJpegHeader(const uint8_t* data, size_t size) {
    const Bytes b(data, size);
    if (!b.Has(0, 2) || b.U8(0) != 0xFF || b.U8(1) != 0xD8) return std::nullopt;
    JpegHeader h;
    int adobeTransform = -1;
    size_t at = 2;
    while (b.Has(at, 2)) {
        if (b.U8(at) != 0xFF) return std::nullopt;
        const uint8_t marker = b.U8(at + 1);
        at += 2;
        if (marker == 0xFF) {  // fill byte
            --at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;
        if (marker == 0xD9 || marker == 0xDA || !b.Has(at, 2)) return std::nullopt;  // image data before a frame
        const size_t length = b.U16(at);
        if (length < 2 || !b.Has(at, length)) return std::nullopt;
        const Bytes segment(data + at + 2, length - 2);
        if (marker == 0xE1) h.exifOrientation = ExifOrientation(segment);
        if (marker == 0xEE && segment.StartsWith("Adobe", 5) && segment.Has(11, 1)) adobeTransform = segment.U8(11);
        if (IsFrameMarker(marker)) {
            if (!segment.Has(0, 6)) return std::nullopt;
            h.frameMarker = marker;
            h.precision = segment.U8(0);
            h.height = int(segment.U16(1));
            h.width = int(segment.U16(3));
            h.components = segment.U8(5);
            if (h.components == 3) {
                const bool namedRgb = segment.Has(6, 7) && segment.U8(6) == 'R' && segment.U8(9) == 'G' &&
                                      segment.U8(12) == 'B';
                h.rgbComponents = adobeTransform == 0 || namedRgb;
            }
            return h;
        }
        at += length;
    }
    return std::nullopt;
}

}  // namespace render
