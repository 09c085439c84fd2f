#pragma once
// Shared helpers of the test executables.
#include <filesystem>
#include <string>

namespace host {
class Workbook;
}

namespace testing_support {

// Makes Calibri 11 the workbook's Normal font, as in files from openpyxl and
// an en-US host: column widths are then in 7-pixel digits (宋体 11, the
// host's own default, has 8-pixel digits).
void UseCalibriNormal(host::Workbook& wb);

// A fresh empty folder under the system's temporary folder, removed at exit of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Runs a shell command, returns its exit code; standard output into `out` when given.
int Run(const std::string& command, std::string* out = nullptr);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

}  // namespace testing_support
