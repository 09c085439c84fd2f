#include "cli/Main.h"

#include <iostream>

namespace cli {
int Main(int argc, char** argv) {
    std::cout << "用法：tolm COMMAND …\n";
    return argc > 1 ? 2 : 0;
}
}  // namespace cli
