#pragma once
// Runs command lines in-process with captured streams and a fixed environment.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandRunner.h"

namespace cli_test {

struct Outcome {
    int code = -1;
    std::string out, err;
};

struct InProcess {
    std::map<std::string, std::string> env;
    std::string currentFolder = "/";
    std::string terminalInput;      // what the terminal would type
    bool stdinIsTerminal = false;

    Outcome Run(const std::vector<std::string>& args) const {
        std::istringstream in(terminalInput);
        std::ostringstream out, err;
        cli::RunEnvironment environment;
        auto vars = env;
        environment.env = [vars](const std::string& name) -> std::optional<std::string> {
            auto it = vars.find(name);
            return it == vars.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        environment.currentFolder = currentFolder;
        int code = cli::RunCommandLine(args, cli::Console{in, out, err, stdinIsTerminal}, environment);
        return {code, out.str(), err.str()};
    }
};

inline bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

}  // namespace cli_test
