#include "host/xlsx/ReaderZip.h"

#include <string_view>

#include <zip.h>

#include <algorithm>
#include <cctype>

#include "host/HostError.h"

namespace host::xlsx {

namespace {

constexpr size_t kChunk = 64 * 1024;
constexpr uint64_t kRatioFloor = 1 << 20;  // parts below this size are never judged by ratio
const char* const kTooLarge = "文件解压后过大，可能已损坏";

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Zip tools on Windows sometimes store "xl\worksheets\sheet1.xml".
std::string NormalName(std::string_view s) {
    std::string out = Lower(s);
    std::replace(out.begin(), out.end(), '\\', '/');
    while (!out.empty() && out.front() == '/') out.erase(out.begin());
    return out;
}

}  // namespace

ZipSource::ZipSource(const void* data, size_t size, std::string fileName, const ReadLimits& limits)
    : data_(data), size_(size), fileName_(std::move(fileName)), limits_(limits),
      inflatedTotal_(std::make_shared<std::atomic<uint64_t>>(0)) {
    Open();
}

ZipSource::ZipSource(const ZipSource& from, int)
    : data_(from.data_), size_(from.size_), fileName_(from.fileName_), limits_(from.limits_),
      inflatedTotal_(from.inflatedTotal_) {
    Open();
}

std::unique_ptr<ZipSource> ZipSource::Sibling() const { return std::unique_ptr<ZipSource>(new ZipSource(*this, 0)); }

namespace {

// What the user can do about a file that is no zip package: the formats a
// school's system exports most often are named, so that the user knows to
// save the file as .xlsx first.
std::string NotAZipReason(const unsigned char* data, size_t size) {
    static const unsigned char kCompoundFile[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (size >= sizeof kCompoundFile && std::equal(std::begin(kCompoundFile), std::end(kCompoundFile), data))
        return "是 Excel 97-2003 格式（.xls）的工作簿或加密的工作簿，不是 .xlsx 文件；请用 Excel、WPS 或 LibreOffice "
               "打开它并另存为 .xlsx 工作簿，再选择另存的文件";
    std::string_view head(reinterpret_cast<const char*>(data), std::min<size_t>(size, 512));
    if (head.find("<html") != std::string_view::npos || head.find("<HTML") != std::string_view::npos ||
        head.find("<?xml") == 0 || head.find("<table") != std::string_view::npos)
        return "是网页或 XML 格式的表格，不是 .xlsx 文件；请用 Excel、WPS 或 LibreOffice 打开它并另存为 .xlsx 工作簿";
    return "不是有效的 .xlsx 文件（无法作为 zip 打开）";
}

}  // namespace

void ZipSource::Open() {
    const void* data = data_;
    size_t size = size_;
    const std::string notZip = NotAZipReason(static_cast<const unsigned char*>(data), size);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(data, size, 0, &error);
    if (!src) Fail(notZip);
    archive_ = zip_open_from_source(src, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (!archive_) {
        zip_source_free(src);
        Fail(notZip);
    }
    zip_int64_t n = zip_get_num_entries(archive_, 0);
    if (n <= 0) {  // libzip takes an empty file for an empty archive
        zip_discard(archive_);
        archive_ = nullptr;
        Fail(notZip);
    }
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_, uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) continue;
        uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        entries_.emplace(NormalName(st.name), Entry{uint64_t(i), declared});
    }
}

ZipSource::~ZipSource() {
    if (archive_) zip_discard(archive_);
}

void ZipSource::Fail(const std::string& reason) const { throw FileError(fileName_, reason); }

bool ZipSource::Has(std::string_view part) const { return entries_.count(NormalName(part)) != 0; }

const ZipSource::Entry& ZipSource::Find(std::string_view part) const {
    auto it = entries_.find(NormalName(part));
    if (it == entries_.end()) Fail("缺少部件 " + std::string(part));
    return it->second;
}

uint64_t ZipSource::DeclaredSize(std::string_view part) const { return Find(part).size; }

void ZipSource::Count(uint64_t bytes) {
    if (inflatedTotal_->fetch_add(bytes) + bytes > limits_.maxTotalBytes) Fail(kTooLarge);
}

void ZipSource::Stream(std::string_view part, const std::function<void(const char*, size_t, bool)>& chunk) {
    const Entry& e = Find(part);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, e.index, 0, &st) != 0) Fail("文件已损坏（无法读取部件 " + std::string(part) + "）");
    if (e.size > limits_.maxPartBytes || inflatedTotal_->load() + e.size > limits_.maxTotalBytes) Fail(kTooLarge);
    if ((st.valid & ZIP_STAT_COMP_SIZE) && e.size > kRatioFloor &&
        e.size / std::max<uint64_t>(st.comp_size, 1) > limits_.maxCompressionRatio)
        Fail(kTooLarge);

    zip_file_t* f = zip_fopen_index(archive_, e.index, 0);
    if (!f) Fail("文件已损坏（无法解压部件 " + std::string(part) + "）");
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> guard(f, zip_fclose);
    std::vector<char> buf(kChunk);
    uint64_t read = 0;
    for (;;) {
        zip_int64_t got = zip_fread(f, buf.data(), buf.size());
        if (got < 0) Fail("文件已损坏（无法解压部件 " + std::string(part) + "）");
        read += uint64_t(got);
        // A directory that understates the size is a forgery or damage; either way stop.
        if (read > e.size || read > limits_.maxPartBytes) Fail(kTooLarge);
        Count(uint64_t(got));
        if (got == 0) {
            chunk(buf.data(), 0, true);
            return;
        }
        chunk(buf.data(), size_t(got), false);
    }
}

std::string ZipSource::ReadAll(std::string_view part) {
    std::string out;
    out.reserve(size_t(std::min<uint64_t>(DeclaredSize(part), limits_.maxPartBytes)));
    Stream(part, [&](const char* p, size_t n, bool) { out.append(p, n); });
    return out;
}

std::vector<uint8_t> ZipSource::ReadBytes(std::string_view part) {
    std::string s = ReadAll(part);
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::string ResolveTarget(std::string_view sourcePart, std::string_view target) {
    std::string decoded;
    for (size_t i = 0; i < target.size(); ++i) {  // targets are URIs: "%20" is a space
        if (target[i] == '%' && i + 2 < target.size() && std::isxdigit(static_cast<unsigned char>(target[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(target[i + 2]))) {
            decoded += static_cast<char>(std::stoi(std::string(target.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            decoded += target[i] == '\\' ? '/' : target[i];
        }
    }
    std::vector<std::string> segs;
    if (decoded.empty() || decoded.front() != '/') {
        size_t slash = sourcePart.find_last_of('/');
        std::string_view dir = slash == std::string_view::npos ? std::string_view() : sourcePart.substr(0, slash);
        size_t start = 0;
        while (start < dir.size()) {
            size_t end = dir.find('/', start);
            if (end == std::string_view::npos) end = dir.size();
            if (end > start) segs.emplace_back(dir.substr(start, end - start));
            start = end + 1;
        }
    }
    size_t start = 0;
    while (start <= decoded.size()) {
        size_t end = decoded.find('/', start);
        if (end == std::string::npos) end = decoded.size();
        std::string seg = decoded.substr(start, end - start);
        if (seg == "..") {
            if (!segs.empty()) segs.pop_back();
        } else if (!seg.empty() && seg != ".") {
            segs.push_back(seg);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& s : segs) {
        if (!out.empty()) out += '/';
        out += s;
    }
    return out;
}

std::string RelationshipsPartOf(std::string_view part) {
    size_t slash = part.find_last_of('/');
    if (slash == std::string_view::npos) return "_rels/" + std::string(part) + ".rels";
    return std::string(part.substr(0, slash)) + "/_rels/" + std::string(part.substr(slash + 1)) + ".rels";
}

}  // namespace host::xlsx
