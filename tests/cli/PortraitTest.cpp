#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <set>

#include <jpeglib.h>

#include "cli/Portrait.h"
#include "host/HostError.h"
#include "support/TestSupport.h"

namespace {

using cli::RgbImage;

struct Decoded {
    int width = 0, height = 0, components = 0;
    std::vector<uint8_t> pixels;
};

struct DecodeError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void OnDecodeError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<DecodeError*>(cinfo->err)->jump, 1); }

bool Decode(const std::vector<uint8_t>& bytes, Decoded& out) {
    jpeg_decompress_struct cinfo;
    DecodeError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnDecodeError;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.components = cinfo.output_components;
    out.pixels.resize(size_t(out.width) * out.height * out.components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &out.pixels[size_t(cinfo.output_scanline) * out.width * out.components];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

double MeanAbsoluteDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

TEST(Portrait, EncodesToAJpegThatDecodesBackToThePicture) {
    for (bool longHair : {false, true}) {
        RgbImage img = cli::DrawPortrait(12345, longHair);
        ASSERT_EQ(img.width, 96);
        ASSERT_EQ(img.height, 128);
        auto bytes = cli::EncodeJpeg(img, 85);
        ASSERT_GT(bytes.size(), 4u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);  // start of image
        EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
        EXPECT_EQ(bytes[bytes.size() - 1], 0xD9);  // end of image
        Decoded d;
        ASSERT_TRUE(Decode(bytes, d));
        EXPECT_EQ(d.width, 96);
        EXPECT_EQ(d.height, 128);
        EXPECT_EQ(d.components, 3);
        // Lossy, but a wrong row stride or channel order would be far off.
        EXPECT_LT(MeanAbsoluteDifference(img.pixels, d.pixels), 6.0);
    }
}

TEST(Portrait, TheSeedDecidesThePicture) {
    EXPECT_EQ(cli::DrawPortrait(1, false).pixels, cli::DrawPortrait(1, false).pixels);
    EXPECT_NE(cli::DrawPortrait(1, false).pixels, cli::DrawPortrait(2, false).pixels);
    EXPECT_NE(cli::DrawPortrait(1, false).pixels, cli::DrawPortrait(1, true).pixels);
    // Not a flat fill: a silhouette stands out from the ground.
    RgbImage img = cli::DrawPortrait(5, false);
    std::set<std::vector<uint8_t>> colours;
    for (size_t i = 0; i < img.pixels.size(); i += 3)
        colours.insert({img.pixels[i], img.pixels[i + 1], img.pixels[i + 2]});
    EXPECT_GE(colours.size(), 4u);
}

TEST(Portrait, APixelBufferOfTheWrongSizeIsRefused) {
    RgbImage img{96, 128, std::vector<uint8_t>(10)};
    EXPECT_THROW(cli::EncodeJpeg(img, 85), std::runtime_error);
}

TEST(Portrait, WritingIntoAMissingFolderNamesTheFileAndLeavesNothing) {
    testing_support::TempDir dir;
    std::string path = dir.File("无此文件夹/a.jpg");
    try {
        cli::WriteBinaryFile(path, {1, 2, 3});
        FAIL();
    } catch (const host::FileError& e) {
        EXPECT_EQ(e.File(), path);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

    cli::WriteBinaryFile(dir.File("b.jpg"), {1, 2, 3});
    EXPECT_EQ(testing_support::ReadFile(dir.File("b.jpg")), std::string("\x01\x02\x03"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.jpg.tmp")));
}

}  // namespace
