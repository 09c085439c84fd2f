#pragma once
// Runs one command line in-process: parsing, help and version, the command,
// the save step, and the mapping of every outcome to an exit code (ExitCode.h).
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/ScriptedToolkit.h"

namespace cli {

struct RunEnvironment {
    EnvironmentLookup env;
    std::string currentFolder;  // absolute
};

// `args` excludes the program name.
int RunCommandLine(const std::vector<std::string>& args, Console console, const RunEnvironment& environment);

// The usage text: commands, common options and exit codes.
std::string UsageText();

}  // namespace cli
