// The game's process entry without a display.
#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

// The log is opened before anything else, so a run that cannot get a display
// leaves its reason in errlog.txt, not the lines of the run before it.
TEST(Entry, WithoutADisplayTheLogTellsWhyAndTheRunFails) {
    fs::path dir = fs::path(ZEB_BUILD_DIR) / ("entry_nodisplay_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "errlog.txt") << "ERROR LOG\n-------------\nInitializing...\n";
    std::string cmd = "cd '" + dir.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                      ZEB_BUILD_DIR + "/zeb' 2>/dev/null";
    int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::string log = testsupport::readFile((dir / "errlog.txt").string());
    EXPECT_EQ(log.rfind("ERROR LOG\n-------------\nERROR: Cannot open a display (", 0), 0u) << log;
    EXPECT_EQ(log.find("Initializing..."), std::string::npos);
    fs::remove_all(dir);
}
