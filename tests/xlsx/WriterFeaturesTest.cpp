// The written file read by an independent reader (openpyxl): values, styles,
// merges, sizes, sheet states, code names, protection, names, print settings
// and pictures as the sample workbook sets them.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "xlsx/WriterSampleWorkbook.h"

using testing_support::TempDir;

namespace {

// The system interpreter carries openpyxl; a user's own python may not.
std::string Python() {
    for (const char* p : {"/usr/bin/python3", "python3"})
        if (testing_support::Run(std::string(p) + " -c 'import openpyxl' 2>/dev/null") == 0) return p;
    return {};
}

std::string Script(const std::string& name) {
    // Beside this file: the test data folder's sibling (a compiler cache may
    // make __FILE__ relative to the build folder).
    return (std::filesystem::path(TOLM_TEST_DATA).parent_path() / "xlsx" / name).string();
}

// A small PNG drawn by the same interpreter.
std::string MakePng(const TempDir& dir, const std::string& python) {
    std::string png = dir.File("photo.png");
    testing_support::Run(python + " -c \"from PIL import Image; Image.new('RGB', (40, 50), 'red').save('" + png + "')\"");
    return png;
}

TEST(WriterFeatures, OpenpyxlReadsEveryFeatureBack) {
    std::string python = Python();
    if (python.empty()) GTEST_SKIP() << "openpyxl is not installed";
    TempDir dir;
    std::string png = MakePng(dir, python);
    ASSERT_TRUE(std::filesystem::exists(png));
    auto wb = writer_sample::MakeSampleWorkbook(png);
    std::string file = dir.File("sample.xlsx");
    host::xlsx::SaveWorkbook(*wb, file);

    std::string out;
    int rc = testing_support::Run(python + " " + Script("writer_features.py") + " '" + file + "' 2>&1", &out);
    EXPECT_EQ(rc, 0) << out;
}

TEST(WriterFeatures, NeedsNoOfficeSuite) {
    // The whole check above runs with openpyxl alone; make sure no office
    // suite sneaks in through the writer (it starts no process).
    TempDir dir;
    auto wb = writer_sample::MakeSampleWorkbook("");
    std::string file = dir.File("plain.xlsx");
    std::string savedPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", dir.Path().c_str(), 1);
    EXPECT_NO_THROW(host::xlsx::SaveWorkbook(*wb, file));
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

}  // namespace
