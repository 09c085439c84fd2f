#pragma once
// The package container as the reader sees it: parts looked up by name and
// read either whole (small parts) or in chunks (sheet data, shared strings).
// Every byte that leaves this class is counted against the ReadLimits, using
// both the sizes the zip directory declares and the bytes actually inflated,
// so a forged directory cannot make the reader inflate without bound.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/xlsx/Package.h"

struct zip;
struct zip_source;

namespace host::xlsx {

class ZipSource {
public:
    // `fileName` names the file in every FileError. The bytes must outlive the source.
    ZipSource(const void* data, size_t size, std::string fileName, const ReadLimits& limits);
    ~ZipSource();
    // A second reader of the same bytes for another thread (libzip archives
    // are not shared between threads); the total inflated bytes stay counted
    // together with this source.
    std::unique_ptr<ZipSource> Sibling() const;
    ZipSource(const ZipSource&) = delete;
    ZipSource& operator=(const ZipSource&) = delete;

    const std::string& FileName() const { return fileName_; }
    [[noreturn]] void Fail(const std::string& reason) const;

    // Part names without a leading '/'; found case-insensitively, as the
    // producers disagree about case.
    bool Has(std::string_view part) const;
    std::string ReadAll(std::string_view part);
    std::vector<uint8_t> ReadBytes(std::string_view part);
    // Calls `chunk` with successive pieces of the inflated part; the last call has final = true.
    void Stream(std::string_view part, const std::function<void(const char*, size_t, bool final)>& chunk);
    // The inflated size the directory declares (already checked against the limits).
    uint64_t DeclaredSize(std::string_view part) const;

private:
    struct Entry {
        uint64_t index;
        uint64_t size;
    };
    const Entry& Find(std::string_view part) const;
    void Count(uint64_t bytes);

    ZipSource(const ZipSource& from, int);
    void Open();

    const void* data_;
    size_t size_;
    std::string fileName_;
    ReadLimits limits_;
    zip* archive_ = nullptr;
    std::unordered_map<std::string, Entry> entries_;  // lower-case part name → entry
    std::shared_ptr<std::atomic<uint64_t>> inflatedTotal_;
};

// Resolves a relationship target against the part that holds the relationship:
// ("xl/workbook.xml", "worksheets/sheet1.xml") → "xl/worksheets/sheet1.xml";
// absolute targets ("/xl/worksheets/sheet1.xml") are taken from the package root.
std::string ResolveTarget(std::string_view sourcePart, std::string_view target);
// "xl/worksheets/sheet1.xml" → "xl/worksheets/_rels/sheet1.xml.rels"
std::string RelationshipsPartOf(std::string_view part);

}  // namespace host::xlsx
