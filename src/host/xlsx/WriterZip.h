#pragma once
// A streaming zip writer for the package: entries are written one after the
// other straight into an open file, deflated as their bytes arrive, so no
// part has to be held in memory whole. Each local header is patched with the
// entry's CRC and sizes once the entry ends, so readers need no data
// descriptors and no Zip64 (a package over 4 GiB is refused).
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace host::xlsx {

class ZipWriter {
public:
    // Writes from the start of `fd`; write failures throw std::system_error with errno.
    explicit ZipWriter(int fd);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void Begin(const std::string& name, bool deflate, int level);
    void Write(const void* data, size_t size);
    void End();
    // The central directory; the file is complete after it.
    void Finish();

private:
    struct Entry {
        std::string name;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint64_t compressed = 0, size = 0, offset = 0;
    };

    void Deflate(const void* data, size_t size, int flush);
    void Out(const void* data, size_t size);
    void FlushOut();
    void PatchLocalHeader(const Entry& e);

    int fd_;
    uint64_t written_ = 0;          // bytes handed to the file so far (buffered included)
    std::vector<uint8_t> buffer_;   // output not yet written
    std::vector<Entry> entries_;
    bool open_ = false;
    bool deflating_ = false;
    z_stream z_{};
    uint16_t dosTime_ = 0, dosDate_ = 0;
};

}  // namespace host::xlsx
