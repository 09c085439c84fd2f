#pragma once
#include <stdexcept>
#include <string>

namespace host {

// A host operation that failed. Procedures that skip failing steps catch it
// through ResumeNext; everything else lets it travel to the front end.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that could not be read or written; the message names the file and
// the reason. It is a HostError for the callers that report any host failure,
// but never a step that a procedure may skip: ResumeNext lets it through, so
// no command goes on, or reports success, over a file it could not read.
class FileError : public HostError {
public:
    FileError(std::string file, const std::string& reason)
        : HostError(file + "：" + reason), file_(std::move(file)), reason_(reason) {}
    const std::string& File() const { return file_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string file_;
    std::string reason_;
};

// Runs one step of a procedure that goes on past failing steps; returns
// whether the step completed. A FileError is not a failing step but a file
// the user must hear about: it travels on.
template <class F>
bool ResumeNext(F&& step) {
    try {
        step();
        return true;
    } catch (const FileError&) {
        throw;
    } catch (const HostError&) {
        return false;
    }
}

}  // namespace host
