#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        return brenvale::RunCli(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "brenvale-cli: メモリが足りません\n";
        return 1;
    }
}
