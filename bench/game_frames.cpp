// Black-box frame benchmark: starts the real game (build/zeb in build/game,
// which must hold the content pack) on the current display, lets it run each
// detail level through its frame-time hook (ZEB_FRAME_TIMES, see README) and
// prints frames a second with the median and 99th-percentile frame time per
// level beside the targets, and the game's peak resident size. The processor
// time per frame (all threads, the rasteriser's included) is printed too: on
// a machine shared with other work it says more than the wall time.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Frames a second the outside must reach at each detail level (0 = none set).
constexpr double kTargetFps[5] = {0, 0, 0, 60, 45};
constexpr long kTargetPeakMb = 300;

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const std::size_t k = std::min(v.size() - 1, std::size_t(q * double(v.size() - 1) + 0.5));
    return v[k];
}

// Runs the game and returns its exit status; peak resident size in MB.
int runGame(const fs::path& game, const fs::path& dir, const fs::path& times, long& peakMb) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("ZEB_FRAME_TIMES", times.c_str(), 1);
        if (!std::getenv("ZEB_FRAME_LEVELS")) setenv("ZEB_FRAME_LEVELS", "0 1 2 3 4", 1);
        execl(game.c_str(), "zeb", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    peakMb = usage.ru_maxrss / 1024;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int main() {
    if (!std::getenv("DISPLAY")) {
        std::printf("no display: the game benchmark needs one (make bench runs Xvfb)\n");
        return 0;
    }
    const fs::path here = fs::read_symlink("/proc/self/exe").parent_path();
    const fs::path game = here / "zeb", dir = here / "game";
    if (!fs::exists(game) || !fs::exists(dir / "Data" / "terrain.dat")) {
        std::printf("no game or content pack under %s (make content makes it)\n", dir.c_str());
        return 0;
    }
    const fs::path times = fs::temp_directory_path() / ("zeb_frames_" + std::to_string(getpid()));
    long peakMb = 0;
    const int status = runGame(game, dir, times, peakMb);
    std::map<int, std::vector<double>> byLevel, cpuByLevel;
    {
        std::ifstream in(times);
        int level;
        double ms, cpu;
        while (in >> level >> ms >> cpu) {
            byLevel[level].push_back(ms);
            cpuByLevel[level].push_back(cpu);
        }
    }
    fs::remove(times);
    if (status != 0 || byLevel.empty()) {
        std::printf("the game ended with status %d and recorded no frames\n", status);
        return 1;
    }
    std::printf("%-7s %8s %8s %11s %8s %10s %s\n", "detail", "frames", "FPS", "median ms", "p99 ms",
                "cpu ms", "target");
    for (const auto& [level, ms] : byLevel) {
        double total = 0;
        for (double m : ms)
            total += m;
        const double fps = ms.size() / (total / 1000.0);
        char target[32] = "";
        if (level >= 0 && level < 5 && kTargetFps[level] > 0)
            std::snprintf(target, sizeof target, ">= %.0f FPS", kTargetFps[level]);
        std::printf("%-7d %8zu %8.1f %11.2f %8.2f %10.2f %s\n", level, ms.size(), fps,
                    percentile(ms, 0.5), percentile(ms, 0.99), percentile(cpuByLevel[level], 0.5),
                    target);
    }
    std::printf("peak resident %ld MB (target <= %ld MB)\n", peakMb, kTargetPeakMb);
    return 0;
}
