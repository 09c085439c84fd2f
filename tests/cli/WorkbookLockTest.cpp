// Workbooks held open by another program (or another tolm) through the
// command line: refused with exit 4 naming the holder, --force goes on, a
// dead run's lock is taken over, and no lock file outlives a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "CliTestSupport.h"
#include "host/Application.h"
#include "host/LockFile.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

using cli_test::Contains;
using cli_test::Outcome;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
namespace fs = std::filesystem;

struct Folder {
    TempDir dir;
    cli_test::InProcess tolm;
    std::string book;

    Folder() : book(dir.File("花名册.xlsx")) {
        tolm.env["TOLM_SYSTEM"] = dir.File("系统.xlsx");
        tolm.currentFolder = dir.Path().string();
        host::Application app;
        host::Workbook& wb = app.Workbooks().Add();
        wb.Sheet(1).SetValueAt(1, 1, "原值");
        wb.SaveAs(book);
    }
    Outcome Run(const std::vector<std::string>& args) const { return tolm.Run(args); }
    std::string A1() const {
        host::Application app;
        return host::ToText(host::xlsx::LoadWorkbook(&app, book)->Sheet(1).ValueAt(1, 1));
    }
    std::string Lock() const { return host::LockFileName(book); }
    // The folder's entries other than the book and the system workbook.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.Path())) {
            const std::string n = e.path().filename().string();
            if (n != "花名册.xlsx" && n != "系统.xlsx") names.push_back(n);
        }
        return names;
    }
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The real executable in a process of its own, as a second user's run.
int OtherProcess(const Folder& f, const std::string& args, std::string* out) {
    return testing_support::Run("cd " + Quote(f.dir.Path().string()) + " && env TOLM_SYSTEM=" +
                                    Quote(f.dir.File("系统.xlsx")) + " " + Quote(TOLM_EXE) + " " + args +
                                    " </dev/null 2>&1",
                                out);
}

TEST(WorkbookLockCommand, ARunHoldingTheBookStopsASecondUntilForced) {
    Folder f;
    {
        // The first run, as arrange holds the roster while it works.
        host::Application first;
        first.SetLockingFiles(true);
        ASSERT_TRUE(first.Workbooks().Open(f.book));
        ASSERT_TRUE(fs::exists(f.Lock()));

        Outcome second = f.Run({"edit", "花名册.xlsx", "--sheet", "Sheet1", "A1=第二次"});
        EXPECT_EQ(second.code, 4) << second.out << second.err;
        EXPECT_TRUE(Contains(second.err, "正被 ")) << second.err;
        EXPECT_TRUE(Contains(second.err, "（考场编排系统，计算机 ")) << second.err;
        EXPECT_TRUE(Contains(second.err, "--force")) << second.err;
        EXPECT_FALSE(Contains(second.out, "已保存")) << second.out;
        EXPECT_EQ(f.A1(), "原值");

        // Another process sees the same: the holder's process is alive.
        std::string out;
        EXPECT_EQ(OtherProcess(f, "edit 花名册.xlsx --sheet Sheet1 A1=另一进程", &out), 4) << out;
        EXPECT_TRUE(Contains(out, "考场编排系统")) << out;
        EXPECT_EQ(f.A1(), "原值");

        Outcome forced = f.Run({"edit", "花名册.xlsx", "--sheet", "Sheet1", "A1=强行", "--force"});
        EXPECT_EQ(forced.code, 0) << forced.out << forced.err;
        EXPECT_TRUE(Contains(forced.err, "按 --force 继续")) << forced.err;
        EXPECT_EQ(f.A1(), "强行");
        EXPECT_TRUE(fs::exists(f.Lock())) << "the holder's lock stays while it runs";
    }
    EXPECT_FALSE(fs::exists(f.Lock()));
    Outcome free = f.Run({"edit", "花名册.xlsx", "--sheet", "Sheet1", "A1=之后"});
    EXPECT_EQ(free.code, 0) << free.out << free.err;
    EXPECT_EQ(f.A1(), "之后");
    EXPECT_EQ(f.Leftovers(), std::vector<std::string>{}) << "no lock file outlives a run";
}

TEST(WorkbookLockCommand, LibreOfficeAndExcelLocksStopTheRunAndStay) {
    Folder f;
    const std::string line = "李四,lisi,jiaowu-pc,08.12.2026 10:05,file:///home/lisi/.config/libreoffice/4;";
    WriteFile(f.Lock(), line);
    Outcome o = f.Run({"edit", "花名册.xlsx", "--sheet", "Sheet1", "A1=新"});
    EXPECT_EQ(o.code, 4) << o.out << o.err;
    EXPECT_TRUE(Contains(o.err, "李四（LibreOffice 等，计算机 jiaowu-pc，08.12.2026 10:05 起）")) << o.err;
    EXPECT_EQ(f.A1(), "原值");
    EXPECT_EQ(ReadFile(f.Lock()), line);
    fs::remove(f.Lock());

    WriteFile(host::OwnerFileName(f.book), std::string(165, ' '));
    o = f.Run({"edit", "花名册.xlsx", "--sheet", "Sheet1", "A1=新"});
    EXPECT_EQ(o.code, 4) << o.out << o.err;
    EXPECT_TRUE(Contains(o.err, "Excel 或 WPS")) << o.err;
    EXPECT_EQ(f.A1(), "原值");
    // Reading is not changing: dump and show look past every lock.
    o = f.Run({"dump", "花名册.xlsx"});
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_FALSE(fs::exists(f.Lock()));
}

TEST(WorkbookLockCommand, TheLockOfARunThatDiedIsTakenOver) {
    Folder f;
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    std::string line = host::OwnLockLine();
    const std::string pid = std::to_string(getpid());
    line.replace(line.find("pid=" + pid) + 4, pid.size(), std::to_string(child));
    WriteFile(f.Lock(), line);

    Outcome o = f.Run({"edit", "花名册.xlsx", "--sheet", "Sheet1", "A1=接管"});
    EXPECT_EQ(o.code, 0) << o.out << o.err;
    EXPECT_EQ(f.A1(), "接管");
    EXPECT_FALSE(fs::exists(f.Lock())) << "taken over, then removed at the end of the run";
}

}  // namespace
