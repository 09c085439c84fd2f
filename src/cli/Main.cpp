#include "cli/Main.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

#include "cli/CommandRunner.h"

namespace cli {

int Main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    RunEnvironment environment;
    environment.env = [](const std::string& name) -> std::optional<std::string> {
        const char* v = std::getenv(name.c_str());
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    environment.currentFolder = (ec ? std::filesystem::path(".") : cwd).string();
    Console console{std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 1};
    int code = RunCommandLine(args, console, environment);
    std::cout.flush();
    return code;
}

}  // namespace cli
