#pragma once
// One class per command. The runner parses the common options, builds the
// context, runs the command and then saves what it changed (SaveStep.h).
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/ScriptedToolkit.h"

namespace host {
class Application;
class Workbook;
}  // namespace host

namespace cli {

struct CommandContext {
    const GlobalOptions& options;
    std::ostream& out;
    std::ostream& err;
    ScriptedToolkit& toolkit;
    host::Application& app;
    std::string currentFolder;  // absolute; relative file arguments are taken from here

    // The system workbook once a command has opened it; the save step writes
    // it back only when its cells changed.
    host::Workbook* systemWorkbook = nullptr;
    uint64_t systemCellsFingerprint = 0;

    // A file argument as an absolute path.
    std::string Absolute(const std::string& path) const;
    // Records the system workbook and the state of its cells as opened.
    void SetSystemWorkbook(host::Workbook* wb);
};

class Command {
public:
    virtual ~Command() = default;
    virtual std::string Name() const = 0;
    // The arguments after the name, e.g. "IN OUT".
    virtual std::string Arguments() const = 0;
    // One line for the command list.
    virtual std::string Summary() const = 0;
    // The text of `tolm help NAME` after the synopsis line.
    virtual std::string Details() const = 0;
    virtual size_t MinArguments() const = 0;
    virtual size_t MaxArguments() const = 0;
    // The command's own "--name VALUE" options; they reach Run through
    // ctx.options.commandOptions.
    virtual std::vector<std::string> ValueOptions() const { return {}; }
    // The command's own options without a value ("--preview").
    virtual std::vector<std::string> FlagOptions() const { return {}; }

    // Whether the command may write the workbooks it opens: they then hold
    // lock files, and another program's lock stops the command (--force
    // goes on). A command that only reads leaves no trace beside the files.
    virtual bool ChangesFiles() const { return true; }

    // Returns kExitDone or kExitStopped; other outcomes travel as exceptions
    // (host::FileError, NoAnswerError, UsageError).
    virtual int Run(CommandContext& ctx, const std::vector<std::string>& args) = 0;
};

std::unique_ptr<Command> MakeStartCommand();
std::unique_ptr<Command> MakeDumpCommand();
std::unique_ptr<Command> MakeResaveCommand();
std::unique_ptr<Command> MakeSampleCommand();
std::unique_ptr<Command> MakeOpenRosterCommand();
std::unique_ptr<Command> MakeSettingsCommand();
std::unique_ptr<Command> MakeEditCommand();
std::unique_ptr<Command> MakeShowCommand();
std::unique_ptr<Command> MakeStatisticsCommand();
std::unique_ptr<Command> MakeMaintainCommand();
std::unique_ptr<Command> MakeArrangeCommand();
std::unique_ptr<Command> MakePrintCommand();
std::unique_ptr<Command> MakeTemplateCommand();
std::unique_ptr<Command> MakeTablesCommand();

// A stable hash of every cell's position, value, formula and format, over all
// sheets of the workbook in order; equal fingerprints mean unchanged cells.
uint64_t CellsFingerprint(const host::Workbook& wb);

}  // namespace cli
