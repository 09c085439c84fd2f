// Lock files beside workbooks open for changing: the forms other programs
// read and write, refusing or asking over another holder's lock, taking over
// the lock of a process that died, and leaving nothing behind on close.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/LockFile.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "support/TestSupport.h"

namespace {

using host::LockHolder;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
namespace fs = std::filesystem;

std::string Book(const TempDir& dir, const std::string& name = "花名册.xlsx") {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    wb.Sheet(1).SetValueAt(1, 1, "原有");
    wb.SaveAs(dir.File(name));
    return dir.File(name);
}

std::string Hostname() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

// A process id that was in use a moment ago and is free now.
pid_t DeadPid() {
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// A lock line as LibreOffice writes it.
const char* kLibreOfficeLock = "张三,zhang,pc-jiaowu,08.12.2026 09:30,file:///home/zhang/.config/libreoffice/4;";

TEST(LockFileNames, FollowTheConventionsOfOtherPrograms) {
    EXPECT_EQ(host::LockFileName("/a/b/花名册.xlsx"), "/a/b/.~lock.花名册.xlsx#");
    EXPECT_EQ(host::OwnerFileName("/a/b/花名册.xlsx"), "/a/b/~$花名册.xlsx");
}

TEST(LockLine, OwnLineIsLibreOfficesFiveFieldsAndReadsBack) {
    const std::string line = host::OwnLockLine();
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), ';');
    EXPECT_EQ(line.find('\n'), std::string::npos);
    auto parsed = host::ParseLockLine(line);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->program, LockHolder::Program::Tolm);
    EXPECT_EQ(parsed->machine, Hostname());
    EXPECT_EQ(parsed->since.size(), 16u) << parsed->since;  // DD.MM.YYYY HH:MM
    EXPECT_NE(line.find("pid=" + std::to_string(getpid()) + "&"), std::string::npos) << line;
    // This process is alive: its own line written by nobody here is stale,
    // a line of the parent (alive, other start) is not.
    std::string parent = line;
    parent.replace(parent.find("pid=") + 4, std::to_string(getpid()).size(), std::to_string(getppid()));
    EXPECT_FALSE(host::IsStaleOwnLock(parent.substr(0, parent.find("&start=")) + ";"));
}

TEST(LockLine, ReadsLibreOfficeLinesWithEscapesAndRefusesOtherForms) {
    auto h = host::ParseLockLine(kLibreOfficeLock);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->program, LockHolder::Program::LibreOffice);
    EXPECT_EQ(h->user, "张三");
    EXPECT_EQ(h->machine, "pc-jiaowu");
    EXPECT_EQ(h->since, "08.12.2026 09:30");
    EXPECT_EQ(h->Describe(), "张三（LibreOffice 等，计算机 pc-jiaowu，08.12.2026 09:30 起）");

    auto escaped = host::ParseLockLine("Li\\, Si,li\\;x,h\\\\1,01.01.2026 08:00,;trailing");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->user, "Li, Si");
    EXPECT_EQ(escaped->machine, "h\\1");

    auto noAuthor = host::ParseLockLine(",wang,pc,01.01.2026 08:00,;");
    ASSERT_TRUE(noAuthor);
    EXPECT_EQ(noAuthor->user, "wang");

    EXPECT_FALSE(host::ParseLockLine("a,b,c,d;"));           // four fields
    EXPECT_FALSE(host::ParseLockLine("a,b,c,d,e"));          // no end
    EXPECT_FALSE(host::ParseLockLine("a,b,c,d,e,f;"));       // six
}

TEST(OwnerFile, ReadsTheUserNameOfExcelAndWordForms) {
    auto build = [](const std::u16string& name, bool excel) {
        std::string b(excel ? 165 : 162, excel ? ' ' : '\0');
        b[0] = char(name.size());
        for (size_t i = 0; i < name.size(); ++i) b[1 + i] = '?';
        const size_t pos = excel ? 55 : 54;
        b[pos] = char(name.size());
        b[pos + 1] = 0;
        for (size_t i = 0; i < name.size(); ++i) {
            b[pos + 2 + 2 * i] = char(name[i] & 0xFF);
            b[pos + 3 + 2 * i] = char(name[i] >> 8);
        }
        return b;
    };
    EXPECT_EQ(host::ParseOwnerFile(build(u"王老师", true)), "王老师");
    EXPECT_EQ(host::ParseOwnerFile(build(u"Teacher Wang", false)), "Teacher Wang");
    EXPECT_EQ(host::ParseOwnerFile("short"), "");
    EXPECT_EQ(host::ParseOwnerFile(std::string(165, '\0')), "");
}

// An application as the front ends run it: locking on, a question that
// records what it was asked and answers as told.
struct Locking {
    host::Application app;
    std::vector<std::string> asked;
    bool answer = false;
    Locking() {
        app.SetLockingFiles(true);
        app.SetLockQuestion([this](const std::string& file, const LockHolder& h, bool saving) {
            asked.push_back(fs::path(file).filename().string() + (saving ? " 保存：" : " 打开：") + h.Describe());
            return answer;
        });
    }
};

TEST(WorkbookLock, HeldWhileOpenRemovedOnCloseAndAtTheEnd) {
    TempDir dir;
    const std::string file = Book(dir);
    const std::string lock = host::LockFileName(file);
    {
        Locking l;
        host::Workbook* wb = l.app.Workbooks().Open(file);
        ASSERT_TRUE(wb);
        EXPECT_EQ(wb->LockFile(), lock);
        ASSERT_TRUE(fs::exists(lock));
        EXPECT_EQ(host::ParseLockLine(ReadFile(lock))->program, LockHolder::Program::Tolm);
        wb->Sheet(1).SetValueAt(2, 1, "新");
        wb->Save();  // our own lock does not stop our own save
        EXPECT_TRUE(l.asked.empty());
        wb->Close(false);
        EXPECT_FALSE(fs::exists(lock));

        l.app.Workbooks().Open(file);
        EXPECT_TRUE(fs::exists(lock));
    }
    EXPECT_FALSE(fs::exists(lock)) << "the application's end closes its workbooks";
    // Without locking (the default) nothing is written beside the file.
    host::Application plain;
    plain.Workbooks().Open(file);
    EXPECT_FALSE(fs::exists(lock));
}

TEST(WorkbookLock, AnotherApplicationOfThisProcessIsRefusedOrAsked) {
    TempDir dir;
    const std::string file = Book(dir);
    Locking first, second;
    ASSERT_TRUE(first.app.Workbooks().Open(file));
    try {
        second.app.Workbooks().Open(file);
        FAIL() << "opened a file held by another";
    } catch (const host::LockedFileError& e) {
        EXPECT_EQ(e.Holder().program, LockHolder::Program::Tolm);
        EXPECT_NE(std::string(e.what()).find("考场编排系统"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("未打开"), std::string::npos) << e.what();
    }
    ASSERT_EQ(second.asked.size(), 1u);
    EXPECT_EQ(second.app.Workbooks().Count(), 0);

    second.answer = true;  // the user goes on: the file opens, the first keeps its lock
    host::Workbook* wb = second.app.Workbooks().Open(file);
    ASSERT_TRUE(wb);
    EXPECT_TRUE(wb->LockFile().empty());
    wb->Sheet(1).SetValueAt(3, 1, "x");
    wb->Save();  // the same holder is not asked about twice
    EXPECT_EQ(second.asked.size(), 2u);
    EXPECT_TRUE(fs::exists(host::LockFileName(file)));
}

TEST(WorkbookLock, ALibreOfficeLockWrittenLaterStopsASave) {
    TempDir dir;
    const std::string file = Book(dir);
    const std::string before = ReadFile(file);
    Locking l;
    host::Workbook* wb = l.app.Workbooks().Open(file);
    ASSERT_TRUE(wb);
    // LibreOffice replaced the lock (a user chose "open anyway" there).
    WriteFile(host::LockFileName(file), kLibreOfficeLock);
    wb->Sheet(1).SetValueAt(1, 1, "改动");
    try {
        wb->Save();
        FAIL() << "saved over another program's lock";
    } catch (const host::LockedFileError& e) {
        EXPECT_NE(std::string(e.what()).find("张三（LibreOffice 等，计算机 pc-jiaowu"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("未保存"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(file), before);
    wb->Close(false);
    EXPECT_EQ(ReadFile(host::LockFileName(file)), kLibreOfficeLock) << "another program's lock is never removed";
}

TEST(WorkbookLock, OwnerFilesOfExcelAndWpsAreNoticedOnOpenAndSaveAs) {
    TempDir dir;
    const std::string file = Book(dir);
    WriteFile(host::OwnerFileName(file), std::string(10, 'x'));  // unreadable content: still a holder
    Locking l;
    EXPECT_THROW(l.app.Workbooks().Open(file), host::LockedFileError);
    ASSERT_EQ(l.asked.size(), 1u);
    EXPECT_NE(l.asked[0].find("另一位用户（Excel 或 WPS"), std::string::npos) << l.asked[0];

    host::Workbook& fresh = l.app.Workbooks().Add();
    EXPECT_THROW(fresh.SaveAs(file), host::LockedFileError);
    EXPECT_EQ(l.asked.size(), 2u);
    EXPECT_NE(l.asked[1].find("保存"), std::string::npos);
}

TEST(WorkbookLock, AStaleLockOfADeadProcessOnThisMachineIsTakenOver) {
    TempDir dir;
    const std::string file = Book(dir);
    const std::string lock = host::LockFileName(file);
    std::string line = host::OwnLockLine();
    const std::string pid = std::to_string(getpid());
    line.replace(line.find("pid=" + pid) + 4, pid.size(), std::to_string(DeadPid()));
    WriteFile(lock, line);
    ASSERT_TRUE(host::IsStaleOwnLock(line));

    Locking l;
    host::Workbook* wb = l.app.Workbooks().Open(file);
    ASSERT_TRUE(wb);
    EXPECT_TRUE(l.asked.empty());
    EXPECT_EQ(wb->LockFile(), lock);
    EXPECT_NE(ReadFile(lock), line);

    // Another machine's lock cannot be judged: it stands.
    wb->Close(false);
    std::string remote = line;
    remote.replace(remote.find(Hostname()), Hostname().size(), "other-" + Hostname());
    WriteFile(lock, remote);
    EXPECT_FALSE(host::IsStaleOwnLock(remote));
    EXPECT_THROW(l.app.Workbooks().Open(file), host::LockedFileError);
    // A restarted machine leaves every lock of its processes stale.
    std::string rebooted = host::OwnLockLine();
    ASSERT_FALSE(host::IsStaleOwnLock(rebooted)) << "this process is alive";
    rebooted.replace(rebooted.find("&boot=") + 6, 4, "0000");
    EXPECT_TRUE(host::IsStaleOwnLock(rebooted));
}

TEST(WorkbookLock, SaveAsMovesTheLockToTheNewFile) {
    TempDir dir;
    const std::string file = Book(dir);
    Locking l;
    host::Workbook* wb = l.app.Workbooks().Open(file);
    ASSERT_TRUE(wb);
    wb->SaveAs(dir.File("副本.xlsx"));
    EXPECT_FALSE(fs::exists(host::LockFileName(file)));
    EXPECT_TRUE(fs::exists(host::LockFileName(dir.File("副本.xlsx"))));
    host::Workbook& created = l.app.Workbooks().Add();
    created.SaveAs(dir.File("新建.xlsx"));
    EXPECT_EQ(created.LockFile(), host::LockFileName(dir.File("新建.xlsx")));
}

}  // namespace
