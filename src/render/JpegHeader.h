#pragma once
// What a JPEG file's markers say about its pixels, read without decoding:
// enough to decide whether the file can go into a PDF as it is (a DCTDecode
// image shows exactly the pixels a decoder would, with nothing turned or
// recoloured).
#include <cstddef>
#include <cstdint>
#include <optional>

namespace render {

struct JpegHeader {
    int width = 0, height = 0;
    int components = 0;        // 1 grey, 3 colour, 4 CMYK
    int precision = 0;         // bits per sample
    int frameMarker = 0;       // 0xC0 baseline, 0xC1 extended, 0xC2 progressive, …
    bool rgbComponents = false;  // colour stored as R, G, B rather than Y, Cb, Cr
    int exifOrientation = 1;   // 1: as stored

    // True when a PDF reader shows this file as every picture viewer does:
    // 8-bit grey or YCbCr colour, Huffman coded (baseline, extended or
    // progressive), and no EXIF turn that some viewers would apply.
    bool FitsPdfAsIs() const;
};

// The header of the JPEG in `data`, or nothing when it is not one (or its
// frame header is missing or cut off).
std::optional<JpegHeader> ReadJpegHeader(const uint8_t* data, size_t size);

}  // namespace render
