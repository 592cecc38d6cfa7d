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
    const std::string path = std::string(ZEB_BUILD_DIR) + "/log_kill_test.txt";
    std::string expected = "ERROR LOG\n-------------\n";
    for (int i = 0; i < 500; ++i)
        expected += "Line " + std::to_string(i) + " of the run\n";
    expected += "Building font #1: Courier, size 12... ";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        openLog(path.c_str());
        for (int i = 0; i < 500; i += 2) {
            g_log << "Line " << i << " of the run" << std::endl;
            g_log << "Line " << i + 1 << " of the run\n";
        }
        g_log << "Building font #" << 1 << ": Courier, size " << 12 << "... ";
        raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(testsupport::readFile(path), expected);
    std::filesystem::remove(path);
}

} // namespace
