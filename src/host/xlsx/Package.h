#pragma once
// Reading and writing workbooks as Office Open XML packages (.xlsx, .xlsm).
#include <cstddef>
#include <memory>
#include <string>

namespace host {
class Application;
class Workbook;
}

namespace host::xlsx {

// Limits that keep a hostile file from taking unbounded time or memory.
struct ReadLimits {
    uint64_t maxPartBytes = 2ull << 30;        // uncompressed size of one part
    uint64_t maxTotalBytes = 8ull << 30;       // all parts together
    uint64_t maxCompressionRatio = 1000;       // uncompressed / compressed, for parts over 1 MiB
};

// Reads the file into a new workbook (Name and Path set from `path`). Throws
// FileError naming the file and the reason; nothing is changed on failure.
std::unique_ptr<Workbook> LoadWorkbook(Application* app, const std::string& path, const ReadLimits& limits = {});
// The same from bytes in memory; `displayName` names the file in messages.
std::unique_ptr<Workbook> LoadWorkbookFromMemory(Application* app, const void* data, size_t size,
                                                 const std::string& displayName, const ReadLimits& limits = {});

// Writes the workbook to `path` through a temporary file beside it that is
// renamed over the target, so the old file survives any failure. Throws FileError.
void SaveWorkbook(const Workbook& wb, const std::string& path);

}  // namespace host::xlsx
