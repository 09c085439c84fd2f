#pragma once
// Lock files beside a workbook that is open for changing, in the forms other
// spreadsheet programs write and read, so that two programs (or two runs of
// this one) never overwrite each other's work unasked.
//
//   folder/.~lock.NAME#   LibreOffice's form, which this host writes: one line
//                         "author,user,host,date,home;" (UTF-8; ',' ';' '\'
//                         escaped with '\'; date "DD.MM.YYYY HH:MM", local).
//                         In the last field, which LibreOffice only compares
//                         with its own profile's address, this host writes
//                         "tolm:pid=P&start=S&boot=B" (the process id, its
//                         start in clock ticks after boot, the boot id), so a
//                         lock left by a process that has died on this
//                         machine can be recognised and taken over.
//   folder/~$NAME         Excel's and WPS's owner file: a byte count and the
//                         user name in an 8-bit code page, at offset 54 or 55
//                         a 16-bit count and the name in UTF-16LE. Read only.
#include <memory>
#include <optional>
#include <string>

#include "host/HostError.h"

namespace host {

// Who holds a workbook file open for changing, as a lock file says.
struct LockHolder {
    enum class Program { Tolm, LibreOffice, Office };
    Program program = Program::LibreOffice;
    std::string user;      // the name the lock gives; empty when it gives none
    std::string machine;   // host name; empty when the lock does not say
    std::string since;     // "DD.MM.YYYY HH:MM"
    std::string lockFile;  // full name of the lock file
    std::string content;   // its bytes, to tell the same lock from a new one

    // "张三（LibreOffice 等，计算机 pc1，08.12.2026 12:45 起）".
    std::string Describe() const;
};

// Refused because another program holds the file: the message names the
// holder. A FileError, so nothing skips it and the front ends show it.
class LockedFileError : public FileError {
public:
    LockedFileError(const std::string& file, const LockHolder& holder, bool saving);
    const LockHolder& Holder() const { return holder_; }

private:
    LockHolder holder_;
};

std::string LockFileName(const std::string& fullName);   // folder/.~lock.NAME#
std::string OwnerFileName(const std::string& fullName);  // folder/~$NAME

// The content of this process's lock: "author,user,host,date,home;".
std::string OwnLockLine();

// A lock file's first entry, unescaped; nullopt when it is not in the form.
std::optional<LockHolder> ParseLockLine(const std::string& content);
// An owner file's user name (UTF-8); empty when the bytes are not in the form.
std::string ParseOwnerFile(const std::string& bytes);

// Whether a lock line was written by a process of this host on this machine
// that no longer runs (its pid is gone, belongs to a later process, or the
// machine has restarted since).
bool IsStaleOwnLock(const std::string& content);

// The lock of one workbook file, held from Acquire until destruction, which
// removes the lock file if it is still the one written here.
class WorkbookLock;
std::optional<LockHolder> OtherHolder(const std::string& fullName, const WorkbookLock* own);

class WorkbookLock {
public:
    ~WorkbookLock();
    WorkbookLock(const WorkbookLock&) = delete;
    WorkbookLock& operator=(const WorkbookLock&) = delete;

    // Writes the lock file of `fullName`, taking over a stale lock of this
    // host. Returns null when another holder's lock is there (`*other` says
    // who), and also when no lock file can be written (a read-only folder:
    // then `*other` stays empty and nothing can be saved there anyway).
    static std::unique_ptr<WorkbookLock> Acquire(const std::string& fullName, std::optional<LockHolder>* other);

    const std::string& Path() const { return path_; }

private:
    friend std::optional<LockHolder> OtherHolder(const std::string& fullName, const WorkbookLock* own);
    WorkbookLock(std::string path, std::string content) : path_(std::move(path)), content_(std::move(content)) {}
    std::string path_, content_;
};

// The holder of `fullName` other than `own` (the lock this workbook holds,
// may be null): a live lock file of another program or of another workbook
// of this process, or an owner file. A stale lock of this host is removed on
// the way. nullopt when the file is free.
std::optional<LockHolder> OtherHolder(const std::string& fullName, const WorkbookLock* own);

}  // namespace host
