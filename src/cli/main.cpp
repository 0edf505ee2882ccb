#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
    // A write past a file size limit (ulimit -f) fails with EFBIG and is reported as any
    // failed write, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    // Output into a pipe (agenda, export to "-") goes in pieces of a megabyte: with the
    // pipe's default 64 KB this program and the reader take turns sixteen times as often.
    // Where the pipe cannot grow it stays as it is.
    ::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20);
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        return brenvale::RunCli(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "brenvale-cli: メモリが足りません\n";
        return 1;
    }
}
