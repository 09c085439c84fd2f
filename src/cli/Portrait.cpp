#include "cli/Portrait.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

#include "host/HostError.h"

namespace cli {

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// splitmix64: a fixed, portable sequence for a given seed.
class Draws {
public:
    explicit Draws(uint64_t seed) : s_(seed) {}
    uint64_t Next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t s_;
};

Rgb Mix(Rgb a, Rgb b, int percentOfB) {
    auto m = [&](uint8_t x, uint8_t y) { return static_cast<uint8_t>((x * (100 - percentOfB) + y * percentOfB) / 100); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

class Canvas {
public:
    explicit Canvas(RgbImage& img) : img_(img) {}
    void Set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= img_.width || y >= img_.height) return;
        uint8_t* p = &img_.pixels[(size_t(y) * img_.width + x) * 3];
        p[0] = c.r; p[1] = c.g; p[2] = c.b;
    }
    // Fills the ellipse centred at (cx, cy), clipped to rows [yFrom, yTo).
    void Ellipse(double cx, double cy, double rx, double ry, Rgb c, int yFrom = 0, int yTo = 1 << 30) {
        for (int y = std::max(0, yFrom); y < std::min(img_.height, yTo); ++y)
            for (int x = 0; x < img_.width; ++x) {
                double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
                if (dx * dx + dy * dy <= 1.0) Set(x, y, c);
            }
    }
    void Box(int x0, int y0, int x1, int y1, Rgb c) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Set(x, y, c);
    }

private:
    RgbImage& img_;
};

const Rgb kSkins[] = {{241, 206, 178}, {232, 190, 160}, {224, 178, 142}, {205, 160, 124}};
const Rgb kHair[] = {{24, 20, 18}, {40, 30, 24}, {58, 42, 30}, {30, 28, 36}};
const Rgb kBackgrounds[] = {{67, 142, 219}, {214, 64, 69}, {240, 240, 240}, {120, 180, 220}};
const Rgb kClothes[] = {{30, 60, 120}, {240, 240, 240}, {40, 40, 45}, {150, 30, 40}, {60, 110, 70}, {90, 90, 100}};

template <class T, size_t N>
const T& Pick(Draws& d, const T (&table)[N]) { return table[d.Below(int(N))]; }

}  // namespace

RgbImage DrawPortrait(uint64_t seed, bool longHair) {
    Draws d(seed);
    RgbImage img{kPortraitWidth, kPortraitHeight, std::vector<uint8_t>(size_t(kPortraitWidth) * kPortraitHeight * 3)};
    Canvas c(img);
    // The colours of an ID photo: a plain blue, red or white ground, lightened a little per picture.
    Rgb ground = Mix(Pick(d, kBackgrounds), {255, 255, 255}, d.Below(20));
    Rgb skin = Pick(d, kSkins), hair = Pick(d, kHair), clothes = Pick(d, kClothes);
    Rgb shade = Mix(skin, {90, 50, 40}, 25);
    const double cx = 48 + (d.Below(5) - 2), headY = 56 + d.Below(5);

    c.Box(0, 0, img.width, img.height, ground);
    if (longHair) c.Ellipse(cx, headY + 10, 29, 40, hair, 0, int(headY) + 50);
    c.Ellipse(cx, 150, 48, 46, clothes);                 // shoulders, cut by the lower edge
    c.Ellipse(cx, 106, 10, 8, Mix(clothes, {0, 0, 0}, 30));  // collar opening
    c.Box(int(cx) - 8, int(headY) + 18, int(cx) + 8, int(headY) + 44, shade);  // neck
    c.Ellipse(cx, headY, 21 + d.Below(3), 27, skin);
    c.Ellipse(cx, headY - 4, 24, 28, hair, 0, int(headY) - 12);  // crown and fringe
    for (int side : {-1, 1}) {
        c.Ellipse(cx + side * 8, headY + 1, 2.5, 2, {35, 30, 30});
        c.Box(int(cx) + side * 8 - 4, int(headY) - 6, int(cx) + side * 8 + 4, int(headY) - 4, hair);  // brows
    }
    c.Box(int(cx) - 5, int(headY) + 14, int(cx) + 5, int(headY) + 16, Mix(skin, {170, 60, 60}, 45));  // mouth
    return img;
}

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
    auto* m = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, m->message);
    std::longjmp(m->jump, 1);
}

// Plain C-style body: nothing with a destructor lives across setjmp/longjmp.
bool Compress(const RgbImage& image, int quality, unsigned char** out, unsigned long* size, char* message) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnJpegError;
    if (setjmp(err.jump)) {
        std::strcpy(message, err.message);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = size_t(image.width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&image.pixels[cinfo.next_scanline * stride]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const RgbImage& image, int quality) {
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != size_t(image.width) * image.height * 3)
        throw std::runtime_error("图像尺寸与像素数据不符");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    bool ok = Compress(image, quality, &buffer, &size, message);
    std::vector<uint8_t> bytes;
    if (ok) bytes.assign(buffer, buffer + size);
    std::free(buffer);
    if (!ok) throw std::runtime_error(std::string("JPEG 编码失败：") + message);
    return bytes;
}

void WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            throw host::FileError(path, "无法写入文件");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw host::FileError(path, "无法写入文件（" + ec.message() + "）");
    }
}

}  // namespace cli
