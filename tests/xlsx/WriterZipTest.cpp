#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <string>
#include <system_error>

#include "host/xlsx/WriterZip.h"
#include "support/TestSupport.h"

using host::xlsx::ZipWriter;

namespace {

// Reads an entry back with libzip, which checks the CRC as it inflates.
std::string ReadEntry(const std::string& file, const std::string& name) {
    int err = 0;
    zip_t* z = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z) return "<cannot open: " + std::to_string(err) + ">";
    zip_stat_t st;
    std::string out;
    if (zip_stat(z, name.c_str(), 0, &st) == 0) {
        zip_file_t* f = zip_fopen(z, name.c_str(), 0);
        out.resize(st.size);
        zip_int64_t n = f ? zip_fread(f, out.data(), out.size()) : -1;
        if (f) zip_fclose(f);
        if (n != zip_int64_t(st.size)) out = "<short read>";
    } else {
        out = "<missing>";
    }
    zip_close(z);
    return out;
}

}  // namespace

TEST(ZipWriter, EntriesReadBackExactlyWhateverTheirSizeAndMethod) {
    testing_support::TempDir dir;
    std::string file = dir.File("t.zip");
    // Larger than the writer's buffer, so its local header is patched on disk, not in memory.
    std::string big;
    for (int i = 0; big.size() < (3u << 20); ++i) big += "<row r=\"" + std::to_string(i) + "\"/>";
    std::string stored = "\xFF\xD8\xFF raw bytes \x00\x01 kept as they are";
    {
        int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ZipWriter zip(fd);
        zip.Begin("xl/worksheets/sheet1.xml", true, 1);
        for (size_t at = 0; at < big.size(); at += 100000) zip.Write(big.data() + at, std::min<size_t>(100000, big.size() - at));
        zip.End();
        zip.Begin("xl/media/image1.jpeg", false, 0);
        zip.Write(stored.data(), stored.size());
        zip.End();
        zip.Begin("empty.xml", true, 6);
        zip.End();
        zip.Finish();
        ::close(fd);
    }
    EXPECT_EQ(ReadEntry(file, "xl/worksheets/sheet1.xml"), big);
    EXPECT_EQ(ReadEntry(file, "xl/media/image1.jpeg"), stored);
    EXPECT_EQ(ReadEntry(file, "empty.xml"), "");
    EXPECT_LT(testing_support::ReadFile(file).size(), big.size() / 4);  // deflated, not stored
}

TEST(ZipWriter, AFullDiskIsAnErrorWithItsCause) {
    int fd = ::open("/dev/full", O_WRONLY);
    if (fd < 0) GTEST_SKIP() << "/dev/full is not available";
    ZipWriter zip(fd);
    std::string data(4 << 20, 'x');
    try {
        zip.Begin("a.xml", false, 0);
        zip.Write(data.data(), data.size());
        zip.End();
        zip.Finish();
        ADD_FAILURE() << "writing to a full disk succeeded";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOSPC);
    }
    ::close(fd);
}
