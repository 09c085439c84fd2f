#pragma once

namespace cli {

// The process exit codes every command shares; scripts rely on them.
enum ExitCode : int {
    kExitDone = 0,          // the action ran to its end
    kExitStopped = 1,       // it stopped at one of its own checks
    kExitUsage = 2,         // unknown command or option, missing argument
    kExitNoAnswer = 3,      // a question had no answer; nothing was saved
    kExitFileError = 4,     // a file could not be read or written; nothing was written
};

}  // namespace cli
