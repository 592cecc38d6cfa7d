#include "core/log.h"

#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What the child writes before it is killed: full lines ended both ways the
// callers end them, then a progress line still open (as the font builder
// leaves it while it works).
std::string childLines() {
    std::string text = "ERROR LOG\n-------------\n";
    for (int i = 0; i < 500; ++i)
        text += "Line " + std::to_string(i) + " of the run\n";
    return text + "Building font #1: Courier, size 12... ";
}

[[noreturn]] void writeThenWait(const char* path, int readyFd) {
    openLog(path);
    for (int i = 0; i < 500; ++i) {
        if (i % 2 == 0)
            g_log << "Line " << i << " of the run" << std::endl;
        else
            g_log << "Line " << i << " of the run\n";
    }
    g_log << "Building font #" << 1 << ": Courier, size " << 12 << "... ";
    const char ready = 'r';
    if (write(readyFd, &ready, 1) != 1) _exit(2);
    for (;;)
        pause();
}

TEST(Log, EveryLineWrittenBeforeAKillNineIsInTheFile) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zeb_log_kill_" + std::to_string(getpid())))
            .string();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        writeThenWait(path.c_str(), ready[1]);
    }
    close(ready[1]);
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1) << "the child did not finish writing";
    close(ready[0]);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    EXPECT_EQ(testsupport::readFile(path), childLines());
    std::filesystem::remove(path);
}

} // namespace
