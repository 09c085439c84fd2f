#include "host/xlsx/WriterPackage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <functional>
#include <future>
#include <list>
#include <new>

#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "host/xlsx/WriterParts.h"

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

// One XML part, produced when libzip first asks for it and released once it
// has been compressed, so only one part's text is in memory at a time.
struct LazyPart {
    std::string name;
    std::function<void(XmlBuffer&)> produce;
    struct Session* session = nullptr;
    XmlBuffer text;
    bool produced = false;
    size_t pos = 0;
    uint64_t size = 0;
};

struct Session {
    std::exception_ptr failure;
    std::time_t now = std::time(nullptr);
    zip_error_t error;
};

bool Produce(LazyPart& p) {
    if (p.produced) return true;
    try {
        Stage(p.name);
        p.produce(p.text);
        p.size = p.text.Size();
        p.produced = true;
        return true;
    } catch (...) {
        if (!p.session->failure) p.session->failure = std::current_exception();
        zip_error_set(&p.session->error, ZIP_ER_INTERNAL, 0);
        return false;
    }
}

zip_int64_t PartCallback(void* userdata, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    auto& p = *static_cast<LazyPart*>(userdata);
    switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        case ZIP_SOURCE_STAT: {
            // The size must be known here: without it libzip marks the entry as Zip64.
            if (!Produce(p)) return -1;
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &p.session->error);
            if (!st) return -1;
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            st->size = p.size;
            st->mtime = p.session->now;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_OPEN:
            if (!Produce(p)) return -1;
            p.pos = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            size_t n = std::min<size_t>(len, p.text.Size() - p.pos);
            std::memcpy(data, p.text.Str().data() + p.pos, n);
            p.pos += n;
            return zip_int64_t(n);
        }
        case ZIP_SOURCE_CLOSE:
            p.text = XmlBuffer();  // frees the part's text; its size stays for later STATs
            return 0;
        case ZIP_SOURCE_ERROR: return zip_error_to_data(&p.session->error, data, len);
        case ZIP_SOURCE_FREE: return 0;
        default:
            zip_error_set(&p.session->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

bool EndsWithXlsm(const std::string& path) {
    if (path.size() < 5) return false;
    std::string ext = path.substr(path.size() - 5);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".xlsm";
}

// Builds the whole package in memory (compressed, a fraction of the XML) and
// returns its bytes. Throws whatever a part writer or the hook threw.
class PackageBuilder {
public:
    PackageBuilder(const Workbook& wb, bool macroEnabled) : plan_(MakePackagePlan(wb, macroEnabled)) {
        zip_error_init(&session_.error);
    }
    ~PackageBuilder() { zip_error_fini(&session_.error); }

    std::vector<uint8_t> Build() {
        zip_error_t err;
        zip_error_init(&err);
        zip_source_t* mem = zip_source_buffer_create(nullptr, 0, 0, &err);
        if (!mem) Fail(zip_error_strerror(&err));
        zip_source_keep(mem);
        archive_ = zip_open_from_source(mem, ZIP_TRUNCATE, &err);
        if (!archive_) {
            zip_source_free(mem);
            Fail(zip_error_strerror(&err));
        }
        try {
            AddParts();
        } catch (...) {
            zip_discard(archive_);
            zip_source_free(mem);
            throw;
        }
        if (zip_close(archive_) != 0) {
            std::string msg = zip_strerror(archive_);
            zip_discard(archive_);
            zip_source_free(mem);
            if (session_.failure) std::rethrow_exception(session_.failure);
            Fail(msg);
        }
        std::vector<uint8_t> bytes = ReadAll(mem);
        zip_source_free(mem);
        return bytes;
    }

private:
    [[noreturn]] static void Fail(const std::string& what) { throw std::runtime_error("压缩包错误：" + what); }

    void AddXml(const std::string& name, std::function<void(XmlBuffer&)> produce) {
        LazyPart& p = parts_.emplace_back();
        p.name = name;
        p.produce = std::move(produce);
        p.session = &session_;
        zip_source_t* src = zip_source_function(archive_, PartCallback, &p);
        if (!src) Fail(zip_strerror(archive_));
        Add(name, src, ZIP_CM_DEFLATE, kDeflateLevel);
    }

    // Image and macro bytes belong to the workbook, which outlives the archive.
    void AddBytes(const std::string& name, const std::vector<uint8_t>& bytes, zip_int32_t method) {
        zip_source_t* src = zip_source_buffer(archive_, bytes.data(), bytes.size(), 0);
        if (!src) Fail(zip_strerror(archive_));
        Add(name, src, method, 0);
    }

    void Add(const std::string& name, zip_source_t* src, zip_int32_t method, zip_uint32_t level) {
        zip_int64_t idx = zip_file_add(archive_, name.c_str(), src, ZIP_FL_ENC_UTF_8);
        if (idx < 0) {
            zip_source_free(src);
            Fail(zip_strerror(archive_));
        }
        if (zip_set_file_compression(archive_, zip_uint64_t(idx), method, level) != 0) Fail(zip_strerror(archive_));
    }

    // libzip writes entries in the order they were added: the shared strings
    // come after every sheet, which fill the table as they are written.
    void AddParts() {
        const Workbook& wb = *plan_.wb;
        AddXml("[Content_Types].xml", [this](XmlBuffer& o) { WriteContentTypes(plan_, o); });
        AddXml("_rels/.rels", [](XmlBuffer& o) { WriteRootRels(o); });
        AddXml("docProps/app.xml", [this](XmlBuffer& o) { WriteAppProperties(plan_, o); });
        AddXml("docProps/core.xml", [this, &wb](XmlBuffer& o) { WriteCoreProperties(wb, session_.now, o); });
        AddXml("xl/workbook.xml", [this](XmlBuffer& o) { WriteWorkbook(plan_, o); });
        AddXml("xl/_rels/workbook.xml.rels", [this](XmlBuffer& o) { WriteWorkbookRels(plan_, o); });
        AddXml("xl/theme/theme1.xml", [](XmlBuffer& o) { WriteTheme(o); });
        AddXml("xl/styles.xml", [&wb](XmlBuffer& o) { WriteStyles(wb.Styles(), o); });
        for (size_t k = 0; k < plan_.sheets.size(); ++k) {
            const SheetPart& s = plan_.sheets[k];
            std::string n = std::to_string(s.number);
            AddXml("xl/worksheets/sheet" + n + ".xml", [this, k](XmlBuffer& o) { o = TakeSheet(k); });
            if (s.drawing) {
                std::string d = std::to_string(s.drawing);
                AddXml("xl/worksheets/_rels/sheet" + n + ".xml.rels", [&s](XmlBuffer& o) { WriteSheetRels(s, o); });
                AddXml("xl/drawings/drawing" + d + ".xml", [this, &s](XmlBuffer& o) { WriteDrawing(plan_, s, o); });
                AddXml("xl/drawings/_rels/drawing" + d + ".xml.rels",
                       [this, &s](XmlBuffer& o) { WriteDrawingRels(plan_, s, o); });
            }
        }
        AddXml("xl/sharedStrings.xml", [this](XmlBuffer& o) {
            if (sheetsTaken_ != plan_.sheets.size()) throw std::logic_error("共享字符串先于工作表写出");
            WriteSharedStrings(sst_, o);
        });
        for (const ImagePart& img : plan_.images) AddBytes(img.path, *img.data, ZIP_CM_STORE);
        if (plan_.macroEnabled) AddBytes("xl/vbaProject.bin", *wb.VbaProject(), ZIP_CM_DEFLATE);
    }

    // Sheets are generated one after the other (they fill the shared strings
    // in order), but sheet k + 1 is generated on a second thread while libzip
    // compresses sheet k.
    XmlBuffer TakeSheet(size_t k) {
        if (k == 0) next_ = std::async(std::launch::deferred, [this] { return GenerateSheet(0); });
        XmlBuffer xml = next_.get();
        if (k + 1 < plan_.sheets.size()) next_ = std::async(std::launch::async, [this, k] { return GenerateSheet(k + 1); });
        ++sheetsTaken_;
        return xml;
    }

    XmlBuffer GenerateSheet(size_t k) {
        XmlBuffer xml;
        WriteWorksheet(plan_.sheets[k], sst_, xml);
        return xml;
    }

    static std::vector<uint8_t> ReadAll(zip_source_t* mem) {
        zip_stat_t st;
        if (zip_source_stat(mem, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || zip_source_open(mem) != 0)
            Fail(zip_error_strerror(zip_source_error(mem)));
        std::vector<uint8_t> bytes(st.size);
        zip_int64_t n = zip_source_read(mem, bytes.data(), bytes.size());
        zip_source_close(mem);
        if (n != zip_int64_t(bytes.size())) Fail("读取压缩结果失败");
        return bytes;
    }

    PackagePlan plan_;
    Session session_;
    zip_t* archive_ = nullptr;
    std::list<LazyPart> parts_;  // stable addresses: libzip holds pointers to them
    SharedStrings sst_;
    size_t sheetsTaken_ = 0;
    std::future<XmlBuffer> next_;  // declared last: a pending generation ends before what it uses goes
};

// The temporary file beside the target; removed unless committed.
class TempFile {
public:
    explicit TempFile(const std::string& target) : target_(target) {
        std::filesystem::path t(target);
        std::filesystem::path dir = t.parent_path().empty() ? std::filesystem::path(".") : t.parent_path();
        std::string templ = (dir / (".~" + t.filename().string() + ".tmpXXXXXX")).string();
        path_.assign(templ.begin(), templ.end());
        path_.push_back('\0');
        fd_ = mkstemp(path_.data());
        if (fd_ < 0) throw FileError(target_, ReasonFor(errno));
        path_.pop_back();
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(Name().c_str());
    }

    std::string Name() const { return std::string(path_.begin(), path_.end()); }

    void Write(const std::vector<uint8_t>& bytes, mode_t mode) {
        fchmod(fd_, mode);
        const uint8_t* p = bytes.data();
        size_t left = bytes.size();
        while (left > 0) {
            ssize_t n = ::write(fd_, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw FileError(target_, ReasonFor(n < 0 ? errno : ENOSPC));
            p += n;
            left -= size_t(n);
        }
        if (::fsync(fd_) != 0) throw FileError(target_, ReasonFor(errno));
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw FileError(target_, ReasonFor(errno));
    }

    void Commit() {
        if (::rename(Name().c_str(), target_.c_str()) != 0) throw FileError(target_, ReasonFor(errno));
        committed_ = true;
        // Make the rename itself durable; a failure here leaves a complete file.
        std::filesystem::path dir = std::filesystem::path(target_).parent_path();
        int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }

private:
    std::string target_;
    std::vector<char> path_;
    int fd_ = -1;
    bool committed_ = false;
};

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

void SaveWorkbook(const Workbook& wb, const std::string& path) {
    if (path.empty()) throw FileError(path, "无法写入文件：没有文件名");
    std::string target = ResolveTarget(path);
    struct stat st;
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) throw FileError(path, ReasonFor(EISDIR));
    if (exists && ::access(target.c_str(), W_OK) != 0) throw FileError(path, "无法写入文件：文件是只读的");
    try {
        TempFile tmp(target);
        std::vector<uint8_t> bytes = PackageBuilder(wb, EndsWithXlsm(path)).Build();
        Stage("write");
        tmp.Write(bytes, ModeFor(exists ? &st : nullptr));
        Stage("rename");
        tmp.Commit();
    } catch (const FileError& e) {
        if (e.File() == path) throw;
        throw FileError(path, e.Reason());
    } catch (const std::bad_alloc&) {
        throw FileError(path, "无法写入文件：内存不足");
    } catch (const std::exception& e) {
        throw FileError(path, std::string("无法写入文件：") + e.what());
    }
}

}  // namespace host::xlsx
