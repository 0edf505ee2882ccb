#include "cli/pdf_program.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ostream>

extern char** environ;

namespace brenvale {

namespace {

constexpr const char* kProgramName = "brenvale-pdf";

std::string RunningProgramFolder() {
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<size_t>(n) >= path.size()) {
        return {};
    }
    path.resize(static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsProgram(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> FindPdfProgram() {
    std::string folder = RunningProgramFolder();
    if (!folder.empty()) {
        for (const std::string& candidate :
             {folder + "/" + kProgramName,
              folder + "/" + BRENVALE_PDF_PROGRAM_FROM_BIN + "/" + kProgramName}) {
            if (IsProgram(candidate)) {
                return candidate;
            }
        }
    }
    std::string installed = std::string(BRENVALE_PDF_PROGRAM_FOLDER) + "/" + kProgramName;
    if (IsProgram(installed)) {
        return installed;
    }
    return std::nullopt;
}

int RunPdfProgram(const std::vector<std::string>& args, std::ostream& err) {
    std::optional<std::string> program = FindPdfProgram();
    if (!program) {
        err << "brenvale-cli: PDF を書き出すプログラム「" << kProgramName << "」が見つかりません（"
            << BRENVALE_PDF_PROGRAM_FOLDER << "）\n";
        return 1;
    }
    std::vector<char*> argv;
    argv.push_back(program->data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    err.flush();
    pid_t child = 0;
    int error = ::posix_spawn(&child, program->c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        err << "brenvale-cli: 「" << *program << "」を起動できません: " << std::strerror(error)
            << "\n";
        return 1;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            err << "brenvale-cli: 「" << *program
                << "」の終了を待てません: " << std::strerror(errno) << "\n";
            return 1;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WTERMSIG(status) == SIGPIPE) {
        // The reader of the output went away: the tool ends as the PDF program did, silently,
        // as any program writing to a closed pipe does.
        ::signal(SIGPIPE, SIG_DFL);
        ::raise(SIGPIPE);
    }
    err << "brenvale-cli: 「" << *program << "」が異常終了しました（シグナル " << WTERMSIG(status)
        << "）。PDF は書き出していません";
    // Qt's PDF writer does not survive every failed allocation: under a limit of memory,
    // that is the likeliest cause.
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        err << "（メモリが足りない可能性があります）";
    }
    err << "\n";
    return 1;
}

}  // namespace brenvale
