#include "core/log.h"

#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Every line is in the file the moment it is ended, whichever way the caller
// ends it, and so is an open progress line: a kill -9 loses none of them.
TEST(Log, EveryLineWrittenBeforeAKillNineIsInTheFile) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zeb_log_kill_" + std::to_string(getpid())))
            .string();
    std::string expected = "ERROR LOG\n-------------\n";
    for (int i = 0; i < 500; ++i)
        expected += "Line " + std::to_string(i) + " of the run\n";
    expected += "Building font #1: Courier, size 12... ";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        openLog(path.c_str());
        for (int i = 0; i < 500; i += 2) {
            g_log << "Line " << i << " of the run" << std::endl;
            g_log << "Line " << i + 1 << " of the run\n";
        }
        g_log << "Building font #" << 1 << ": Courier, size " << 12 << "... ";
        if (write(ready[1], "r", 1) != 1) _exit(2);
        for (;;)
            pause();
    }
    close(ready[1]);
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1) << "the child did not finish writing";
    close(ready[0]);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(testsupport::readFile(path), expected);
    std::filesystem::remove(path);
}

} // namespace
