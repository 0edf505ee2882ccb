// The runner of the benchmarks' processes: a process that hangs (as the editor does on a
// question nobody answers) ends the run instead of holding it, and every process gets XDG
// folders of its own.
#include "process_runs.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace brenvale::bench {
namespace {

TEST(RunProcesses, KillsAProcessThatRunsPastTheLimit) {
    double start = MonotonicMs();
    ProcessRun run =
        RunProcesses({{"sleep", "30"}, {"echo", "never"}}, std::chrono::milliseconds(300));
    EXPECT_LT(MonotonicMs() - start, 5000.0);
    EXPECT_TRUE(run.timedOut);
    EXPECT_FALSE(run.succeeded);
    EXPECT_EQ(run.output, "");

    // One that closes its output and goes on is caught as well.
    run = RunProcesses({{"sh", "-c", "exec >&- sleep 30"}}, std::chrono::milliseconds(300));
    EXPECT_TRUE(run.timedOut);

    run = RunProcesses({{"echo", "done"}}, std::chrono::milliseconds(5000));
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(run.succeeded);
    EXPECT_EQ(run.output, "done\n");
}

TEST(RunProcesses, KeepsTheStartOfABigOutputAndCountsAllItsLines) {
    // 3 MB of lines of 100 bytes.
    ProcessRun run = RunProcesses({{"sh", "-c",
                                    "yes 123456789012345678901234567890123456789012345"
                                    "678901234567890123456789012345678901234567890123"
                                    "45 | head -n 30000"}});
    EXPECT_TRUE(run.succeeded);
    EXPECT_EQ(run.outputLines, 30000u);
    EXPECT_EQ(run.output.size(), kKeptOutput);
    EXPECT_EQ(run.output.substr(0, 5), "12345");
}

TEST(RunProcesses, AFailedOrHungProcessStopsTheBenchmark) {
    EXPECT_EXIT(RunOrFail({{"false"}}), testing::ExitedWithCode(1), "benchmark stopped: false;");
}

TEST(PrivateXdgFolders, EveryProcessStartedGetsEmptyFoldersOfItsOwn) {
    std::string root;
    {
        PrivateXdgFolders xdg;
        root = xdg.root();
        ProcessRun run = RunProcesses(
            {{"sh", "-c",
              "echo $XDG_STATE_HOME $XDG_CONFIG_HOME $XDG_RUNTIME_DIR; ls -A $XDG_STATE_HOME"}});
        EXPECT_EQ(run.output, root + "/state " + root + "/config " + root + "/runtime\n");
        struct stat st;
        ASSERT_EQ(::stat((root + "/runtime").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    struct stat st;
    EXPECT_NE(::stat(root.c_str(), &st), 0);
}

}  // namespace
}  // namespace brenvale::bench
