#pragma once
namespace cli {
// The command line: `tolm COMMAND …`; returns the process exit code.
int Main(int argc, char** argv);
}
