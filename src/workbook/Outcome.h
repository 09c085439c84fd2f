#pragma once
// What a window action did, for the front ends: the command line turns it
// into an exit code, the GUI has shown its messages already. No caller reads
// a message's text to learn what happened.
#include <string>
#include <utility>
#include <vector>

namespace workbook {

struct Outcome {
    enum class Kind {
        Done,        // the action ran to its end
        Stopped,     // it stopped at one of its own checks; the user was told why
        Unanswered,  // a question had no answer
        FileError,   // a file could not be read or written
    };
    Kind kind = Kind::Done;
    // The action wrote its findings to the revision sheet for the user to read.
    bool revisionReport = false;
    // The workbooks the action wrote to disk itself, full names.
    std::vector<std::string> saved;

    static Outcome Done() { return {}; }
    static Outcome Stopped() { return Of(Kind::Stopped); }
    static Outcome Of(Kind k) {
        Outcome o;
        o.kind = k;
        return o;
    }
    Outcome& WithRevisionReport() {
        revisionReport = true;
        return *this;
    }
    bool IsDone() const { return kind == Kind::Done; }
    // The weaker of two outcomes: a stop in one step stops the whole action.
    Outcome& Join(const Outcome& other) {
        if (int(other.kind) > int(kind)) kind = other.kind;
        revisionReport = revisionReport || other.revisionReport;
        saved.insert(saved.end(), other.saved.begin(), other.saved.end());
        return *this;
    }
};

}  // namespace workbook
