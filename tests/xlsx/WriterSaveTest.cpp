// Atomic save: the old file survives every failure, byte for byte, and no
// temporary file is left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "host/xlsx/WriterPackage.h"
#include "support/TestSupport.h"
#include "xlsx/WriterSampleWorkbook.h"
#include "xlsx/WriterZipInspect.h"

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const std::string kOldContent = "the old file, which must survive";

size_t EntriesIn(const fs::path& dir) {
    return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}));
}

std::string g_failAt;
void FailAtStage(const std::string& stage) {
    if (stage == g_failAt) throw std::runtime_error("注入的故障");
}

struct HookGuard {
    explicit HookGuard(const std::string& stage) {
        g_failAt = stage;
        host::xlsx::SetSaveStageHook(FailAtStage);
    }
    ~HookGuard() { host::xlsx::SetSaveStageHook(nullptr); }
};

class WriterSave : public ::testing::Test {
protected:
    void SetUp() override {
        wb = writer_sample::MakeSampleWorkbook("");
        target = dir.File("book.xlsx");
        WriteFile(target, kOldContent);
    }
    TempDir dir;
    std::unique_ptr<host::Workbook> wb;
    std::string target;
};

TEST_F(WriterSave, ReplacesTheTargetAndLeavesNoTemporaryFile) {
    host::xlsx::SaveWorkbook(*wb, target);
    EXPECT_NE(ReadFile(target), kOldContent);
    EXPECT_TRUE(writer_inspect::ReadEntry(target, "xl/workbook.xml").has_value());
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST_F(WriterSave, FailureAtAnyStageKeepsTheOldFile) {
    for (std::string stage : {"[Content_Types].xml", "xl/styles.xml", "xl/worksheets/sheet2.xml",
                              "xl/sharedStrings.xml", "write", "rename"}) {
        SCOPED_TRACE(stage);
        HookGuard hook(stage);
        try {
            host::xlsx::SaveWorkbook(*wb, target);
            ADD_FAILURE() << "the save did not fail";
        } catch (const host::FileError& e) {
            EXPECT_EQ(e.File(), target);
            EXPECT_NE(e.Reason().find("注入的故障"), std::string::npos) << e.Reason();
        }
        EXPECT_EQ(ReadFile(target), kOldContent);
        EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    }
}

TEST_F(WriterSave, TargetThatIsAFolderIsRefused) {
    fs::create_directory(dir.File("folder.xlsx"));
    try {
        host::xlsx::SaveWorkbook(*wb, dir.File("folder.xlsx"));
        FAIL() << "no error";
    } catch (const host::FileError& e) {
        EXPECT_EQ(e.Reason(), "无法写入文件：目标是一个文件夹");
    }
    EXPECT_TRUE(fs::is_directory(dir.File("folder.xlsx")));
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST_F(WriterSave, MissingFolderIsReported) {
    try {
        host::xlsx::SaveWorkbook(*wb, dir.File("no/such/book.xlsx"));
        FAIL() << "no error";
    } catch (const host::FileError& e) {
        EXPECT_EQ(e.Reason(), "无法写入文件：文件夹不存在");
    }
}

// A folder nobody may write to: a mode of 0555 for ordinary users, the
// immutable attribute for root (who ignores the mode).
bool MakeUnwritable(const fs::path& folder) {
    if (geteuid() != 0) return ::chmod(folder.c_str(), 0555) == 0;
    return testing_support::Run("chattr +i '" + folder.string() + "' 2>/dev/null") == 0;
}
void MakeWritable(const fs::path& folder) {
    if (geteuid() == 0) testing_support::Run("chattr -i '" + folder.string() + "' 2>/dev/null");
    ::chmod(folder.c_str(), 0755);
}

TEST_F(WriterSave, ReadOnlyFolderKeepsTheOldFile) {
    fs::path folder = dir.Path() / "locked";
    fs::create_directory(folder);
    std::string file = (folder / "book.xlsx").string();
    WriteFile(file, kOldContent);
    if (!MakeUnwritable(folder)) GTEST_SKIP() << "cannot make a folder unwritable here";
    std::string reason;
    try {
        host::xlsx::SaveWorkbook(*wb, file);
    } catch (const host::FileError& e) {
        reason = e.Reason();
    }
    MakeWritable(folder);
    EXPECT_EQ(reason, "无法写入文件：权限不足");
    EXPECT_EQ(ReadFile(file), kOldContent);
    EXPECT_EQ(EntriesIn(folder), 1u);
}

TEST_F(WriterSave, KeepsThePermissionsOfTheReplacedFile) {
    ::chmod(target.c_str(), 0640);
    host::xlsx::SaveWorkbook(*wb, target);
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(WriterSave, SavingThroughALinkReplacesTheLinkedFile) {
    std::string link = dir.File("link.xlsx");
    fs::create_symlink(target, link);
    host::xlsx::SaveWorkbook(*wb, link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(writer_inspect::ReadEntry(target, "xl/workbook.xml").has_value());
}

TEST_F(WriterSave, WorkbookSaveAsGoesThroughTheWriter) {
    std::string file = dir.File("另存为.xlsx");
    wb->SaveAs(file);
    EXPECT_EQ(wb->Name(), "另存为.xlsx");
    EXPECT_TRUE(writer_inspect::ReadEntry(file, "xl/worksheets/sheet3.xml").has_value());
}

}  // namespace
