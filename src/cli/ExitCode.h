#pragma once
#include "workbook/Outcome.h"

namespace cli {

// The process exit codes every command shares; scripts rely on them.
enum ExitCode : int {
    kExitDone = 0,          // the action ran to its end
    kExitStopped = 1,       // it stopped at one of its own checks
    kExitUsage = 2,         // unknown command or option, missing argument
    kExitNoAnswer = 3,      // a question had no answer; nothing was saved
    kExitFileError = 4,     // a file could not be read or written; nothing was written
};

inline int ExitCodeOf(const workbook::Outcome& o) {
    switch (o.kind) {
        case workbook::Outcome::Kind::Done: return kExitDone;
        case workbook::Outcome::Kind::Stopped: return kExitStopped;
        case workbook::Outcome::Kind::Unanswered: return kExitNoAnswer;
        case workbook::Outcome::Kind::FileError: return kExitFileError;
    }
    return kExitStopped;
}

}  // namespace cli
