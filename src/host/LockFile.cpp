#include "host/Utf8.h"
#include "host/LockFile.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kOwnMark = "tolm:";

// The lock files held by workbooks of this process, with their content: a
// second application object of the same process must see them as taken.
std::mutex g_heldMutex;
std::map<std::string, std::string>& Held() {
    static std::map<std::string, std::string> held;
    return held;
}

bool HeldHere(const std::string& path, const std::string& content) {
    std::lock_guard<std::mutex> lock(g_heldMutex);
    auto it = Held().find(path);
    return it != Held().end() && it->second == content;
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data(64 * 1024, '\0');
    in.read(data.data(), std::streamsize(data.size()));
    data.resize(size_t(in.gcount()));
    return data;
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string BootId() {
    auto id = ReadSmallFile("/proc/sys/kernel/random/boot_id");
    return id ? Trimmed(*id) : std::string();
}

// Field 22 of /proc/PID/stat: the start in clock ticks after boot; empty
// when there is no such process. The command name (field 2) may hold spaces
// and parentheses, so the fields are counted after its last ')'.
std::string StartTicks(long pid) {
    auto stat = ReadSmallFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return {};
    const size_t close = stat->rfind(')');
    if (close == std::string::npos) return {};
    std::istringstream rest(stat->substr(close + 1));
    std::string field;
    for (int n = 3; n <= 22 && (rest >> field); ++n)
        if (n == 22) return field;
    return {};
}

std::string MachineName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
}

std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == ',' || c == ';' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string LocalTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M", &tm);
    return buf;
}

// "tolm:pid=P&start=S&boot=B" → its three values; false for any other form.
bool ParseOwnMark(const std::string& home, long& pid, std::string& start, std::string& boot) {
    if (home.rfind(kOwnMark, 0) != 0) return false;
    std::map<std::string, std::string> values;
    std::istringstream in(home.substr(std::string(kOwnMark).size()));
    std::string pair;
    while (std::getline(in, pair, '&')) {
        const size_t eq = pair.find('=');
        if (eq != std::string::npos) values[pair.substr(0, eq)] = pair.substr(eq + 1);
    }
    try {
        pid = std::stol(values.at("pid"));
    } catch (...) {
        return false;
    }
    start = values["start"];
    boot = values["boot"];
    return pid > 0;
}

bool Stale(const std::string& path, const std::string& content) {
    auto holder = ParseLockLine(content);
    if (!holder || holder->program != LockHolder::Program::Tolm || holder->machine != MachineName()) return false;
    long pid = 0;
    std::string start, boot;
    const size_t last = content.find(kOwnMark);
    if (last == std::string::npos) return false;
    // The mark is the last field: up to the ';' that ends the entry.
    if (!ParseOwnMark(content.substr(last, content.find(';', last) - last), pid, start, boot)) return false;
    if (!boot.empty() && boot != BootId()) return true;
    // This process: stale when none of its workbooks holds the file (a lock
    // left by a workbook that was never closed, or a reused pid).
    if (pid == long(getpid())) return !path.empty() && !HeldHere(path, content);
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) return true;
    const std::string now = StartTicks(pid);
    return !now.empty() && !start.empty() && now != start;
}


LockHolder UnreadableLock(const std::string& lockFile, const std::string& content) {
    LockHolder h;
    h.lockFile = lockFile;
    h.content = content;
    struct stat st;
    if (::stat(lockFile.c_str(), &st) == 0) h.since = LocalTime(st.st_mtime);
    return h;
}

}  // namespace

std::string LockHolder::Describe() const {
    std::string s = user.empty() ? std::string("另一位用户") : user;
    s += "（";
    switch (program) {
        case Program::Tolm: s += "考场编排系统"; break;
        case Program::LibreOffice: s += "LibreOffice 等"; break;
        case Program::Office: s += "Excel 或 WPS"; break;
    }
    if (!machine.empty()) s += "，计算机 " + machine;
    if (!since.empty()) s += "，" + since + " 起";
    return s + "）";
}

LockedFileError::LockedFileError(const std::string& file, const LockHolder& holder, bool saving)
    : FileError(file, "正被 " + holder.Describe() + "打开修改；为免互相覆盖修改，" +
                          (saving ? "未保存" : "未打开")),
      holder_(holder) {}

std::string LockFileName(const std::string& fullName) {
    const fs::path p(fullName);
    return (p.parent_path() / (".~lock." + p.filename().string() + "#")).string();
}

std::string OwnerFileName(const std::string& fullName) {
    const fs::path p(fullName);
    return (p.parent_path() / ("~$" + p.filename().string())).string();
}

std::string OwnLockLine() {
    std::string user = "user", author;
    if (const passwd* pw = getpwuid(geteuid())) {
        if (pw->pw_name) user = pw->pw_name;
        if (pw->pw_gecos) author = std::string(pw->pw_gecos).substr(0, std::string(pw->pw_gecos).find(','));
    }
    if (author.empty()) author = user;
    static const std::string start = StartTicks(long(getpid()));
    static const std::string boot = BootId();
    const std::string home =
        std::string(kOwnMark) + "pid=" + std::to_string(getpid()) + "&start=" + start + "&boot=" + boot;
    return Escaped(author) + "," + Escaped(user) + "," + Escaped(MachineName()) + "," + LocalTime(std::time(nullptr)) +
           "," + Escaped(home) + ";";
}

std::optional<LockHolder> ParseLockLine(const std::string& content) {
    std::vector<std::string> fields(1);
    size_t i = 0;
    bool ended = false;
    for (; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\\') {
            if (++i >= content.size()) return std::nullopt;
            fields.back() += content[i];
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == ';') {
            ended = true;
            break;
        } else {
            fields.back() += c;
        }
    }
    if (!ended || fields.size() != 5) return std::nullopt;
    LockHolder h;
    h.user = !fields[0].empty() ? fields[0] : fields[1];
    h.machine = fields[2];
    h.since = fields[3];
    h.program = fields[4].rfind(kOwnMark, 0) == 0 ? LockHolder::Program::Tolm : LockHolder::Program::LibreOffice;
    h.content = content;
    return h;
}

std::string ParseOwnerFile(const std::string& bytes) {
    if (bytes.size() < 162) return {};
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned narrow = at(0);
    if (narrow == 0 || narrow > 52) return {};
    // Word pads the 8-bit name with zeros up to 54, Excel and PowerPoint with
    // spaces up to 55; a count of 0x20 at 54 with a non-zero byte before it
    // is Excel's padding.
    size_t pos = 54;
    if (at(pos) == 0x20 && (at(pos - 1) != 0 || at(pos - 2) != 0)) pos = 55;
    const unsigned wide = at(pos);
    if (wide == 0 || wide > 52 || pos + 2 + 2 * wide > bytes.size()) return {};
    std::string out;
    for (size_t k = 0; k < wide; ++k) {
        uint32_t u = at(pos + 2 + 2 * k) | (uint32_t(at(pos + 3 + 2 * k)) << 8);
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < wide) {
            const uint32_t lo = at(pos + 4 + 2 * k) | (uint32_t(at(pos + 5 + 2 * k)) << 8);
            if (lo >= 0xDC00 && lo < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                ++k;
            }
        }
        AppendUtf8(out, u);
    }
    return out;
}

bool IsStaleOwnLock(const std::string& content) { return Stale(std::string(), content); }

WorkbookLock::~WorkbookLock() {
    {
        std::lock_guard<std::mutex> lock(g_heldMutex);
        Held().erase(path_);
    }
    // Only our own lock goes: one that another program wrote over ours stays.
    if (auto now = ReadSmallFile(path_); now && *now == content_) ::unlink(path_.c_str());
}

std::unique_ptr<WorkbookLock> WorkbookLock::Acquire(const std::string& fullName, std::optional<LockHolder>* other) {
    const std::string path = LockFileName(fullName);
    if (other) other->reset();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const std::string content = OwnLockLine();
            const bool written = ::write(fd, content.data(), content.size()) == ssize_t(content.size());
            ::close(fd);
            if (!written) {
                ::unlink(path.c_str());
                return nullptr;
            }
            {
                std::lock_guard<std::mutex> lock(g_heldMutex);
                Held()[path] = content;
            }
            return std::unique_ptr<WorkbookLock>(new WorkbookLock(path, content));
        }
        if (errno != EEXIST) return nullptr;
        auto content = ReadSmallFile(path);
        if (!content) continue;  // removed in between: try again
        if (Stale(path, *content)) {
            ::unlink(path.c_str());
            continue;
        }
        if (other) {
            auto h = ParseLockLine(*content);
            *other = h ? *h : UnreadableLock(path, *content);
            (*other)->lockFile = path;
        }
        return nullptr;
    }
    return nullptr;
}

std::optional<LockHolder> OtherHolder(const std::string& fullName, const WorkbookLock* own) {
    const std::string path = LockFileName(fullName);
    if (auto content = ReadSmallFile(path)) {
        const bool ours = own && own->Path() == path && *content == own->content_;
        if (!ours) {
            if (Stale(path, *content)) {
                ::unlink(path.c_str());
            } else {
                auto h = ParseLockLine(*content);
                LockHolder holder = h ? *h : UnreadableLock(path, *content);
                holder.lockFile = path;
                return holder;
            }
        }
    }
    const std::string owner = OwnerFileName(fullName);
    if (auto bytes = ReadSmallFile(owner)) {
        LockHolder h = UnreadableLock(owner, *bytes);
        h.program = LockHolder::Program::Office;
        h.user = ParseOwnerFile(*bytes);
        return h;
    }
    return std::nullopt;
}

}  // namespace host
