#include "host/xlsx/WriterZip.h"

#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <stdexcept>
#include <system_error>

namespace host::xlsx {

namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr uint64_t kMax32 = 0xFFFFFFFFull;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint64_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

void WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) throw std::system_error(w < 0 ? errno : ENOSPC, std::generic_category());
        p += w;
        n -= size_t(w);
    }
}

void WriteAllAt(int fd, const uint8_t* p, size_t n, uint64_t offset) {
    while (n > 0) {
        ssize_t w = ::pwrite(fd, p, n, off_t(offset));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) throw std::system_error(w < 0 ? errno : ENOSPC, std::generic_category());
        p += w;
        n -= size_t(w);
        offset += uint64_t(w);
    }
}

void CheckSize(uint64_t v) {
    if (v > kMax32) throw std::runtime_error("文件超过 4 GB，无法保存");
}

}  // namespace

ZipWriter::ZipWriter(int fd) : fd_(fd) {
    buffer_.reserve(kBufferSize);
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    dosTime_ = uint16_t(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
    dosDate_ = uint16_t((t.tm_year - 80) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
}

ZipWriter::~ZipWriter() {
    if (deflating_) deflateEnd(&z_);
}

void ZipWriter::Begin(const std::string& name, bool deflate, int level) {
    if (open_) throw std::logic_error("zip entry still open");
    Entry e;
    e.name = name;
    e.method = deflate ? 8 : 0;
    e.offset = written_;
    // Local header; CRC and sizes are patched in by End.
    std::vector<uint8_t> h;
    Put32(h, 0x04034b50);
    Put16(h, 20);
    Put16(h, 0x0800);  // names are UTF-8
    Put16(h, e.method);
    Put16(h, dosTime_);
    Put16(h, dosDate_);
    Put32(h, 0);
    Put32(h, 0);
    Put32(h, 0);
    Put16(h, uint32_t(name.size()));
    Put16(h, 0);
    h.insert(h.end(), name.begin(), name.end());
    Out(h.data(), h.size());
    entries_.push_back(std::move(e));
    if (deflate) {
        z_ = z_stream{};
        if (deflateInit2(&z_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("压缩初始化失败");
        deflating_ = true;
    }
    open_ = true;
}

void ZipWriter::Write(const void* data, size_t size) {
    if (!open_ || size == 0) return;
    Entry& e = entries_.back();
    // crc32 takes 32-bit lengths: feed it in slices.
    const auto* p = static_cast<const Bytef*>(data);
    for (size_t done = 0; done < size;) {
        uInt n = uInt(std::min<size_t>(size - done, 1u << 30));
        e.crc = uint32_t(crc32(e.crc, p + done, n));
        done += n;
    }
    e.size += size;
    if (deflating_) {
        Deflate(data, size, Z_NO_FLUSH);
    } else {
        Out(data, size);
        e.compressed += size;
    }
}

void ZipWriter::Deflate(const void* data, size_t size, int flush) {
    Entry& e = entries_.back();
    uint8_t chunk[64 * 1024];
    const auto* in = static_cast<const Bytef*>(data);
    size_t left = size;
    do {
        uInt n = uInt(std::min<size_t>(left, 1u << 30));
        z_.next_in = const_cast<Bytef*>(in);
        z_.avail_in = n;
        in += n;
        left -= n;
        int f = left ? Z_NO_FLUSH : flush;
        do {
            z_.next_out = chunk;
            z_.avail_out = sizeof chunk;
            int rc = deflate(&z_, f);
            if (rc == Z_STREAM_ERROR) throw std::runtime_error("压缩失败");
            size_t produced = sizeof chunk - z_.avail_out;
            Out(chunk, produced);
            e.compressed += produced;
        } while (z_.avail_out == 0);
    } while (left > 0);
}

void ZipWriter::End() {
    if (!open_) return;
    if (deflating_) {
        Deflate(nullptr, 0, Z_FINISH);
        deflateEnd(&z_);
        deflating_ = false;
    }
    open_ = false;
    const Entry& e = entries_.back();
    CheckSize(e.size);
    CheckSize(e.compressed);
    PatchLocalHeader(e);
}

void ZipWriter::PatchLocalHeader(const Entry& e) {
    std::vector<uint8_t> p;
    Put32(p, e.crc);
    Put32(p, e.compressed);
    Put32(p, e.size);
    uint64_t at = e.offset + 14;
    uint64_t flushedEnd = written_ - buffer_.size();
    if (at >= flushedEnd) {  // still in the buffer
        std::copy(p.begin(), p.end(), buffer_.begin() + ptrdiff_t(at - flushedEnd));
    } else {
        FlushOut();
        WriteAllAt(fd_, p.data(), p.size(), at);
    }
}

void ZipWriter::Finish() {
    if (open_) End();
    uint64_t cdStart = written_;
    for (const Entry& e : entries_) {
        std::vector<uint8_t> h;
        Put32(h, 0x02014b50);
        Put16(h, 20);
        Put16(h, 20);
        Put16(h, 0x0800);
        Put16(h, e.method);
        Put16(h, dosTime_);
        Put16(h, dosDate_);
        Put32(h, e.crc);
        Put32(h, e.compressed);
        Put32(h, e.size);
        Put16(h, uint32_t(e.name.size()));
        Put16(h, 0);
        Put16(h, 0);
        Put16(h, 0);
        Put16(h, 0);
        Put32(h, 0);
        CheckSize(e.offset);
        Put32(h, e.offset);
        h.insert(h.end(), e.name.begin(), e.name.end());
        Out(h.data(), h.size());
    }
    uint64_t cdSize = written_ - cdStart;
    CheckSize(cdStart);
    if (entries_.size() > 0xFFFF) throw std::runtime_error("压缩包条目过多");
    std::vector<uint8_t> end;
    Put32(end, 0x06054b50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, uint32_t(entries_.size()));
    Put16(end, uint32_t(entries_.size()));
    Put32(end, cdSize);
    Put32(end, cdStart);
    Put16(end, 0);
    Out(end.data(), end.size());
    FlushOut();
}

void ZipWriter::Out(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    written_ += size;
    if (buffer_.size() + size > kBufferSize) {
        FlushOut();
        if (size >= kBufferSize) {
            WriteAll(fd_, p, size);
            return;
        }
    }
    buffer_.insert(buffer_.end(), p, p + size);
}

void ZipWriter::FlushOut() {
    if (buffer_.empty()) return;
    WriteAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
}

}  // namespace host::xlsx
