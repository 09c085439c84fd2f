// No command (global options allowed) opens the desktop GUI; any command,
// --help or --version runs the command line.
#include <cstdlib>
#include <exception>
#include <iostream>

#include "cli/CommandLine.h"
#include "cli/Main.h"
#ifdef TOLM_WITH_GUI
#include "gui/GuiSession.h"
#endif

namespace {

int Run(int argc, char** argv) {
#ifdef TOLM_WITH_GUI
    std::vector<std::string> args(argv + 1, argv + argc);
    auto env = [](const std::string& name) -> std::optional<std::string> {
        const char* v = std::getenv(name.c_str());
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    try {
        const cli::CommandLine line = cli::ParseCommandLine(args, env);
        if (line.command.empty() && !line.options.help && !line.options.version)
            return gui::RunGui(argc, argv, line.options.systemFile, line.options.seed);
    } catch (const cli::UsageError&) {
        // The command line reports it.
    }
#endif
    return cli::Main(argc, argv);
}

}  // namespace

// Nothing ends with an uncaught exception: what no front end handled is
// shown here, and the run ends as stopped.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "tolm：操作失败：" << e.what() << "\n";
    } catch (...) {
        std::cerr << "tolm：操作失败：未知错误\n";
    }
    return 1;
}
