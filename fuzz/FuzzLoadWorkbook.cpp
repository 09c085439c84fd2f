// libFuzzer target: any bytes either load or raise FileError; a crash, a
// sanitizer report, a hang or another exception is a finding.
#include <cstddef>
#include <cstdint>

#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Small limits keep each run fast; the ratio check must still fire on bombs.
    host::xlsx::ReadLimits limits;
    limits.maxPartBytes = 16 << 20;
    limits.maxTotalBytes = 64 << 20;
    try {
        auto wb = host::xlsx::LoadWorkbookFromMemory(nullptr, data, size, "fuzz.xlsx", limits);
    } catch (const host::FileError&) {
    }
    return 0;
}
