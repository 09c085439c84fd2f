#pragma once
// Small generated passport photos for the sample roster: a head-and-shoulders
// silhouette on a pastel background, drawn pixel by pixel and written as JPEG
// with libjpeg.
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // rows top to bottom, 3 bytes (R, G, B) per pixel
};

constexpr int kPortraitWidth = 96;
constexpr int kPortraitHeight = 128;

// The same seed always draws the same picture; `longHair` changes the hair outline.
RgbImage DrawPortrait(uint64_t seed, bool longHair);

// A baseline JPEG of the image; quality 1–100. Throws std::runtime_error with
// libjpeg's message when the encoder fails.
std::vector<uint8_t> EncodeJpeg(const RgbImage& image, int quality);

// Writes the bytes to `path` through a temporary file renamed over it.
// Throws host::FileError naming the file.
void WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace cli
