#pragma once
// The options every command understands, and the parsing of a command line
// into those options, the command name and its own arguments.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A command line that cannot be run as written; exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ScriptedAnswer { Yes, No, Cancel, OK };

struct GlobalOptions {
    std::string systemFile;                 // resolved: option, else TOLM_SYSTEM, else the home default
    std::deque<ScriptedAnswer> answers;     // message-box answers in the order asked
    std::deque<std::string> inputs;         // input-box answers
    std::deque<std::string> picks;          // open-dialog answers; "" cancels
    std::optional<uint32_t> seed;           // option, else TOLM_SEED; 0 to 4294967295
    std::string outDir;                     // empty: the roster folder, else the current folder
    // A command's own "--name VALUE" options, in the order given.
    std::vector<std::pair<std::string, std::string>> commandOptions;
    bool noSave = false;
    // Go on with a workbook that another program holds open (its lock file).
    bool force = false;
    bool help = false;
    bool version = false;
};

struct CommandLine {
    GlobalOptions options;
    std::string command;                    // empty when none was given
    std::vector<std::string> arguments;     // the command's own, in order
};

// Looks up an environment variable; nullopt when unset.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;

// Whether the command takes "--option VALUE" of its own.
using CommandOptionLookup = std::function<bool(const std::string& command, const std::string& option)>;

// `args` excludes the program name. Options may stand before or after the
// command; "--" ends them. Both "--opt VALUE" and "--opt=VALUE" are accepted.
// Throws UsageError with a message for the user.
// An option that is no common one is the command's own when it follows the
// command's name and `commandOptions` says the command takes it.
// `commandFlags` names the command's own options that take no value; they
// reach commandOptions with an empty value.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const EnvironmentLookup& env,
                             const CommandOptionLookup& commandOptions = {}, const CommandOptionLookup& commandFlags = {});

// "~/考场编排/考场编排系统.xlsx" with the home folder filled in.
std::string DefaultSystemFile(const EnvironmentLookup& env);

}  // namespace cli
