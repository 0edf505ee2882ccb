// brenvale-pdf: the pages of brenvale-cli's pdf command, painted with Qt Gui on the offscreen
// platform. brenvale-cli runs it with its own arguments, so that the tool itself needs no Qt
// library for its other commands.
#include <malloc.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/error.h"
#include "ui/print/pdf_export.h"

namespace {

void WritePdfOutput(const brenvale::PrintJob& job, const std::string& path,
                    brenvale::OutputKind kind, std::ostream& out) {
    using namespace brenvale;
    switch (kind) {
        case OutputKind::File:
            WritePdf(job, path);
            break;
        case OutputKind::Stream:
            WritePdfTo(job, [&](std::string_view bytes) {
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                if (!out) {
                    throw Error("cannot write the output");
                }
            });
            break;
        case OutputKind::Direct: {
            DirectOutput output(path);
            WritePdfTo(job, [&](std::string_view bytes) { output.write(bytes); });
            output.close();
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    // brenvale-cli waits for this program: when the tool is killed, its PDF goes with it
    // (the unfinished file is never named, so nothing is left).
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) {
        return 1;
    }
    // Every page's stream grows in a buffer that is freed once the page is written: kept by
    // malloc instead of being given back to the system and faulted in again, it costs no
    // more memory (the pages are alike) and saves a fifth of the time.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] != "pdf") {
        std::cerr << "brenvale-pdf: brenvale-cli pdf runs this program: brenvale-cli pdf IN.bnv "
                     "OUT.pdf\n";
        return 2;
    }
    try {
        return brenvale::RunCli(args, std::cout, std::cerr, WritePdfOutput);
    } catch (const std::bad_alloc&) {
        std::cerr << "brenvale-cli: メモリが足りません\n";
        return 1;
    }
}
