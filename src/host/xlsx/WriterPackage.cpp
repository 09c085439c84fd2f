#include "host/xlsx/WriterPackage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <functional>
#include <new>
#include <random>
#include <string_view>
#include <system_error>

#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "host/xlsx/WriterParts.h"
#include "host/xlsx/WriterZip.h"

namespace host::xlsx {

namespace {

SaveStageHook g_hook = nullptr;

void Stage(const std::string& name) {
    if (g_hook) g_hook(name);
}

std::string ReasonFor(int err) {
    switch (err) {
        case EACCES:
        case EPERM: return "无法写入文件：权限不足";
        case ENOENT:
        case ENOTDIR: return "无法写入文件：文件夹不存在";
        case ENOSPC:
        case EDQUOT: return "无法写入文件：磁盘空间不足";
        case EROFS: return "无法写入文件：文件系统是只读的";
        case EISDIR: return "无法写入文件：目标是一个文件夹";
        case ENAMETOOLONG: return "无法写入文件：文件名太长";
        default: return std::string("无法写入文件：") + std::strerror(err);
    }
}

bool EndsWithXlsm(const std::string& path) {
    if (path.size() < 5) return false;
    std::string ext = path.substr(path.size() - 5);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".xlsm";
}

// Runs the zip writer's work on a second thread, so that deflating one
// chunk overlaps generating the next. At most kMaxQueued tasks wait, which
// bounds the memory of chunks in flight; a failure on the worker is thrown
// on the caller's thread at its next call.
class ZipPipeline {
public:
    explicit ZipPipeline(ZipWriter& zip) : zip_(zip), worker_([this] { Run(); }) {}
    ~ZipPipeline() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        worker_.join();
    }

    void Post(std::function<void(ZipWriter&)> task) {
        std::unique_lock<std::mutex> lock(mutex_);
        room_.wait(lock, [this] { return tasks_.size() < kMaxQueued || failure_; });
        if (failure_) std::rethrow_exception(failure_);
        tasks_.push_back(std::move(task));
        wake_.notify_one();
    }

    // Waits until every posted task has run.
    void Drain() {
        std::unique_lock<std::mutex> lock(mutex_);
        room_.wait(lock, [this] { return (tasks_.empty() && !busy_) || failure_; });
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    static constexpr size_t kMaxQueued = 8;

    void Run() {
        for (;;) {
            std::function<void(ZipWriter&)> task;
            bool skip;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return stop_ || !tasks_.empty(); });
                if (tasks_.empty()) return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
                busy_ = true;
                skip = failure_ != nullptr;  // after a failure the rest is only discarded
            }
            std::exception_ptr failed;
            if (!skip) {
                try {
                    task(zip_);
                } catch (...) {
                    failed = std::current_exception();
                }
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                busy_ = false;
                if (failed && !failure_) failure_ = failed;
            }
            room_.notify_all();
        }
    }

    ZipWriter& zip_;
    std::mutex mutex_;
    std::condition_variable wake_, room_;
    std::deque<std::function<void(ZipWriter&)>> tasks_;
    bool busy_ = false, stop_ = false;
    std::exception_ptr failure_;
    std::thread worker_;  // last: starts once everything it uses exists
};

// Writes the package into an open file, part after part, each streamed
// through deflate as it is generated: a sheet's XML never stands in memory
// whole. Throws whatever a part writer, the hook or the file threw.
class PackageWriter {
public:
    PackageWriter(const Workbook& wb, bool macroEnabled, int fd)
        : plan_(MakePackagePlan(wb, macroEnabled)), zip_(fd), now_(std::time(nullptr)) {}

    // In this order: the shared strings come after every sheet,
    // which fill the table as they are written.
    void Write() {
        const Workbook& wb = *plan_.wb;
        AddXml("[Content_Types].xml", [this](XmlBuffer& o) { WriteContentTypes(plan_, o); });
        AddXml("_rels/.rels", [this](XmlBuffer& o) { WriteRootRels(plan_, o); });
        AddXml("docProps/app.xml", [this](XmlBuffer& o) { WriteAppProperties(plan_, o); });
        AddXml("docProps/core.xml", [this, &wb](XmlBuffer& o) { WriteCoreProperties(wb, now_, o); });
        AddXml("xl/workbook.xml", [this](XmlBuffer& o) { WriteWorkbook(plan_, o); });
        AddXml("xl/_rels/workbook.xml.rels", [this](XmlBuffer& o) { WriteWorkbookRels(plan_, o); });
        AddXml("xl/theme/theme1.xml", [](XmlBuffer& o) { WriteTheme(o); });
        AddXml("xl/styles.xml", [&wb](XmlBuffer& o) { WriteStyles(wb.Styles(), wb.Kept().styles, o); });
        for (const SheetPart& s : plan_.sheets) {
            std::string n = std::to_string(s.number);
            AddXml("xl/worksheets/sheet" + n + ".xml", [this, &s](XmlBuffer& o) { WriteWorksheet(s, sst_, o); });
            if (s.drawing || !s.sheet->Kept().relationships.empty())
                AddXml("xl/worksheets/_rels/sheet" + n + ".xml.rels", [this, &s](XmlBuffer& o) { WriteSheetRels(plan_, s, o); });
            if (s.drawing) {
                std::string d = std::to_string(s.drawing);
                AddXml("xl/drawings/drawing" + d + ".xml", [this, &s](XmlBuffer& o) { WriteDrawing(plan_, s, o); });
                AddXml("xl/drawings/_rels/drawing" + d + ".xml.rels",
                       [this, &s](XmlBuffer& o) { WriteDrawingRels(plan_, s, o); });
            }
        }
        AddXml("xl/sharedStrings.xml", [this](XmlBuffer& o) { WriteSharedStrings(sst_, o); });
        for (const ImagePart& img : plan_.images) AddBytes(img.path, *img.data, false);
        for (const auto& [part, path] : plan_.keptParts) {
            // Pictures and other media are compressed already.
            bool deflate = part->contentType.rfind("image/", 0) != 0;
            if (part->itemized) {
                auto text = std::make_shared<std::string>(part->Content());
                pipeline_.Post([path = path, text](ZipWriter& z) {
                    z.Begin(path, true, kDeflateLevel);
                    z.Write(text->data(), text->size());
                    z.End();
                });
            } else {
                AddBytes(path, *part->bytes, deflate);
            }
            XmlBuffer rels;
            if (WriteKeptPartRels(plan_, *part, rels)) {
                size_t slash = path.find_last_of('/');
                std::string relsPath = slash == std::string::npos
                                           ? "_rels/" + path + ".rels"
                                           : path.substr(0, slash) + "/_rels/" + path.substr(slash + 1) + ".rels";
                auto text = std::make_shared<std::string>(rels.Take());
                pipeline_.Post([relsPath, text](ZipWriter& z) {
                    z.Begin(relsPath, true, kDeflateLevel);
                    z.Write(text->data(), text->size());
                    z.End();
                });
            }
        }
        if (plan_.macroEnabled) AddBytes("xl/vbaProject.bin", *wb.VbaProject(), true);
        pipeline_.Post([](ZipWriter& z) { z.Finish(); });
        pipeline_.Drain();
    }

private:
    static constexpr size_t kFlushBytes = 1 << 20;

    void AddXml(const std::string& name, const std::function<void(XmlBuffer&)>& produce) {
        Stage(name);
        pipeline_.Post([name](ZipWriter& z) { z.Begin(name, true, kDeflateLevel); });
        XmlBuffer xml;
        xml.SetFlush([this](std::string_view s) {
            auto chunk = std::make_shared<std::string>(s);
            pipeline_.Post([chunk](ZipWriter& z) { z.Write(chunk->data(), chunk->size()); });
        }, kFlushBytes);
        produce(xml);
        xml.FlushNow();
        pipeline_.Post([](ZipWriter& z) { z.End(); });
    }

    // Images are stored as they are (they are compressed already).
    template <class Bytes>
    void AddBytes(const std::string& name, const Bytes& bytes, bool deflate) {
        const Bytes* data = &bytes;  // owned by the workbook, which outlives the save
        pipeline_.Post([name, data, deflate](ZipWriter& z) {
            z.Begin(name, deflate, kDeflateLevel);
            z.Write(data->data(), data->size());
            z.End();
        });
    }

    PackagePlan plan_;
    ZipWriter zip_;
    ZipPipeline pipeline_{zip_};  // after zip_: stops before it goes
    std::time_t now_;
    SharedStrings sst_;
};

bool g_unnamedTemporaries = true;

// ".~book.xlsx.tmp" followed by six letters or digits: a temporary of a save of book.xlsx.
constexpr size_t kTempSuffixLength = 6;
std::string TempPrefix(const std::filesystem::path& target) { return ".~" + target.filename().string() + ".tmp"; }

bool IsTempSuffix(std::string_view s) {
    if (s.size() != kTempSuffixLength) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string RandomSuffix() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 rng{std::random_device{}() ^ uint64_t(::getpid()) << 32 ^ uint64_t(std::time(nullptr))};
    static std::mutex m;
    std::lock_guard<std::mutex> lock(m);
    std::string out;
    for (size_t i = 0; i < kTempSuffixLength; ++i) out += kChars[rng() % (sizeof kChars - 1)];
    return out;
}

// The file being written. Where the file system allows, it has no name until
// it is complete (O_TMPFILE), so a save that is killed leaves nothing behind;
// elsewhere it is a named ".~NAME.tmpXXXXXX" beside the target, removed on
// failure. Commit gives it a name and renames that over the target, which
// keeps the replacement atomic either way.
class TempFile {
public:
    explicit TempFile(const std::string& target) : target_(target) {
        std::filesystem::path t(target);
        dir_ = t.parent_path().empty() ? std::filesystem::path(".") : t.parent_path();
        prefix_ = (dir_ / TempPrefix(t)).string();
#ifdef O_TMPFILE
        if (g_unnamedTemporaries) {
            fd_ = ::open(dir_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
            // No support in the kernel or the file system: fall back to a named file.
            if (fd_ >= 0) return;
        }
#endif
        std::string templ = prefix_ + "XXXXXX";
        std::vector<char> path(templ.begin(), templ.end());
        path.push_back('\0');
        fd_ = mkstemp(path.data());
        if (fd_ < 0) throw FileError(target_, ReasonFor(errno));
        name_ = path.data();
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_ && !name_.empty()) ::unlink(name_.c_str());
    }

    int Descriptor() const { return fd_; }

    // Gives the written file its mode and makes it durable.
    void Finish(mode_t mode) {
        fchmod(fd_, mode);
        if (::fsync(fd_) != 0) throw FileError(target_, ReasonFor(errno));
    }

    void Commit() {
        if (name_.empty()) LinkUnnamed();
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw FileError(target_, ReasonFor(errno));
        if (::rename(name_.c_str(), target_.c_str()) != 0) throw FileError(target_, ReasonFor(errno));
        committed_ = true;
        // Make the rename itself durable; a failure here leaves a complete file.
        int dfd = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }

private:
    // A name for the unnamed file, taken through /proc (any user may) or,
    // without /proc, by the descriptor itself (needs privileges).
    void LinkUnnamed() {
        std::string proc = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = prefix_ + RandomSuffix();
            int rc = ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
            if (rc != 0 && errno == ENOENT) rc = ::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
            if (rc == 0) {
                name_ = name;
                return;
            }
            if (errno != EEXIST) throw FileError(target_, ReasonFor(errno));
        }
        throw FileError(target_, ReasonFor(EEXIST));
    }

    std::string target_;
    std::filesystem::path dir_;
    std::string prefix_;  // the temporary's path up to its random part
    std::string name_;    // empty while the file has no name
    int fd_ = -1;
    bool committed_ = false;
};

// Temporaries of saves of the same file that were killed before they could
// clean up. One that changed within the last minutes may belong to a save
// still running (it writes continuously), so only older ones go.
void RemoveStaleTemporaries(const std::string& target) {
    constexpr std::time_t kStaleSeconds = 5 * 60;
    std::filesystem::path t(target);
    std::filesystem::path dir = t.parent_path().empty() ? std::filesystem::path(".") : t.parent_path();
    const std::string prefix = TempPrefix(t);
    std::error_code ec;
    std::time_t now = std::time(nullptr);
    for (auto it = std::filesystem::directory_iterator(dir, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        if (!IsTempSuffix(std::string_view(name).substr(prefix.size()))) continue;
        struct stat st;
        if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (now - st.st_mtime >= kStaleSeconds) ::unlink(it->path().c_str());
    }
}

// The new file keeps the permissions of the one it replaces; a new file gets
// the usual 0666 less the umask.
mode_t ModeFor(const struct stat* existing) {
    if (existing) return existing->st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writing through a link replaces the file it points to, not the link.
std::string ResolveTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto real = std::filesystem::weakly_canonical(path, ec);
        if (!ec) return real.string();
    }
    return path;
}

}  // namespace

void SetSaveStageHook(SaveStageHook hook) { g_hook = hook; }

void SetUnnamedTemporaryFiles(bool allowed) { g_unnamedTemporaries = allowed; }

void SaveWorkbook(const Workbook& wb, const std::string& path) {
    if (path.empty()) throw FileError(path, "无法写入文件：没有文件名");
    std::string target = ResolveTarget(path);
    struct stat st;
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) throw FileError(path, ReasonFor(EISDIR));
    if (exists && ::access(target.c_str(), W_OK) != 0) throw FileError(path, "无法写入文件：文件是只读的");
    try {
        TempFile tmp(target);
        PackageWriter(wb, EndsWithXlsm(path), tmp.Descriptor()).Write();
        Stage("write");
        tmp.Finish(ModeFor(exists ? &st : nullptr));
        Stage("rename");
        tmp.Commit();
        RemoveStaleTemporaries(target);
    } catch (const FileError& e) {
        if (e.File() == path) throw;
        throw FileError(path, e.Reason());
    } catch (const std::system_error& e) {
        throw FileError(path, ReasonFor(e.code().value()));
    } catch (const std::bad_alloc&) {
        throw FileError(path, "无法写入文件：内存不足");
    } catch (const std::exception& e) {
        throw FileError(path, std::string("无法写入文件：") + e.what());
    }
}

}  // namespace host::xlsx
