// zeb-soak: drives the real game with random input for a given time and
// reports crashes, sanitizer findings and the resident size over time.
//
// It starts the game program in its working directory on the current X
// display (run it under Xvfb), waits until the game has entered the outside
// world, then sends random input through the X server's test extension: the
// keys of the game's binding table (all but the quit key), left clicks,
// left and right drags, the wheel and plain mouse moves. The game receives
// them as any user's input, through SDL and its platform layer's message
// queue; the game's message boxes are answered with Return. At the end it
// presses the quit key and waits for the game to exit,
// so that a sanitizer build reports leaks as well.
//
// usage: zeb-soak --game PROGRAM --dir WORKING_DIR [--seconds N] [--seed N]
// The game's standard error goes to WORKING_DIR/soak-stderr.txt, the
// resident size sampled every second to WORKING_DIR/soak-rss.txt. Exit status
// 0 when the game ran to the end, quit cleanly, with no sanitizer report and,
// on runs of ten minutes or more, a resident size that grew by less than 5 %
// after the first minute.
#include "tools/soak/soak.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <algorithm>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string game;
    std::string dir;
    int seconds = 120;
    unsigned seed = 1;
};

struct Counts {
    long keys = 0, clicks = 0, drags = 0, wheels = 0, moves = 0, boxes = 0;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--game")
            options.game = value;
        else if (name == "--dir")
            options.dir = value;
        else if (name == "--seconds")
            options.seconds = std::atoi(value.c_str());
        else if (name == "--seed")
            options.seed = unsigned(std::strtoul(value.c_str(), nullptr, 10));
        else
            return false;
    }
    return argc % 2 == 1 && !options.game.empty() && !options.dir.empty() && options.seconds > 0;
}

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    return -1;
}

bool fileHas(const std::string& path, const std::string& text) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (line.find(text) != std::string::npos) return true;
    return false;
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A window can close between two requests about it (a message box being
// answered); such errors are expected and ignored.
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

pid_t startGame(const Options& options) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(options.dir.c_str()) != 0) _exit(126);
    const int err = open("soak-stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) {
        dup2(err, 1);
        dup2(err, 2);
        close(err);
    }
    execl(options.game.c_str(), options.game.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

// Random input through the X test extension.
class InputDriver {
  public:
    Counts counts;

    InputDriver(Display* display, unsigned seed) : display(display), random(seed) {
        const soak::BoundKeys bound = soak::boundKeys();
        for (unsigned long sym : bound.keys)
            keys.push_back(KeySym(sym));
        if (bound.quitKey != 0) quitKey = KeySym(bound.quitKey);
        width = DisplayWidth(display, DefaultScreen(display));
        height = DisplayHeight(display, DefaultScreen(display));
    }

    std::size_t keyCount() const { return keys.size(); }

    // One random action: a key tap or hold, a click, a drag, a wheel notch or
    // a mouse move, in roughly the mix of a player's hands.
    void act() {
        const int roll = pick(0, 99);
        if (roll < 35)
            tapKey(keys[std::size_t(pick(0, int(keys.size()) - 1))], pick(10, 300));
        else if (roll < 55)
            click();
        else if (roll < 70)
            drag(pick(0, 3) == 0 ? Button1 : Button3);
        else if (roll < 80)
            wheel();
        else
            move(pick(0, width - 1), pick(0, height - 1));
        XFlush(display);
        sleepMs(pick(5, 60));
    }

    // The game's message boxes (an item click on a game screen shows one)
    // are modal: the game waits until one is answered. Without a window
    // manager they open with no focus and partly off the screen, so each
    // unnamed top-level window (the game's own windows all have names) gets
    // the focus and Return, as a player would answer it; then the focus
    // follows the pointer again.
    void answerMessageBoxes() {
        Window root = DefaultRootWindow(display), parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, root, &root, &parent, &children, &count)) return;
        bool answered = false;
        for (unsigned i = 0; i < count; ++i) {
            if (!isUnnamedAndShown(children[i])) continue;
            XSetInputFocus(display, children[i], RevertToPointerRoot, CurrentTime);
            tapKey(XK_Return, 20);
            ++counts.boxes;
            answered = true;
        }
        if (children) XFree(children);
        if (answered) XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
        XSync(display, False);
    }

    // The quit key goes to the game's main window itself: with the focus
    // following the pointer it could land on one of the game screens' tool
    // windows instead, or wait behind a message box.
    void quit() {
        answerMessageBoxes();
        const Window main = findWindow(GAME_TITLE);
        if (main != 0) XSetInputFocus(display, main, RevertToPointerRoot, CurrentTime);
        tapKey(quitKey, 50);
        XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
        XSync(display, False);
    }

  private:
    Display* display;
    std::mt19937 random;
    std::vector<KeySym> keys;
    KeySym quitKey = XK_Escape;
    int width = 0, height = 0;

    static constexpr const char* GAME_TITLE = "Zeb";

    Window findWindow(const char* title) {
        Window root = DefaultRootWindow(display), parent = 0, found = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            char* name = nullptr;
            if (XFetchName(display, children[i], &name) && name && std::strcmp(name, title) == 0)
                found = children[i];
            if (name) XFree(name);
        }
        if (children) XFree(children);
        return found;
    }

    bool isUnnamedAndShown(Window window) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes) ||
            attributes.map_state != IsViewable)
            return false;
        char* name = nullptr;
        const bool named = XFetchName(display, window, &name) && name && name[0];
        if (name) XFree(name);
        return !named;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    void tapKey(KeySym sym, int holdMs) {
        const KeyCode code = XKeysymToKeycode(display, sym);
        if (code == 0) return;
        XTestFakeKeyEvent(display, code, True, 0);
        XFlush(display);
        sleepMs(holdMs);
        XTestFakeKeyEvent(display, code, False, 0);
        ++counts.keys;
    }

    void move(int x, int y) {
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, 0);
        ++counts.moves;
    }

    void click() {
        move(pick(0, width - 1), pick(0, height - 1));
        XTestFakeButtonEvent(display, Button1, True, 0);
        XFlush(display);
        sleepMs(pick(10, 80));
        XTestFakeButtonEvent(display, Button1, False, 0);
        ++counts.clicks;
    }

    void drag(unsigned button) {
        int x = pick(0, width - 1), y = pick(0, height - 1);
        move(x, y);
        XTestFakeButtonEvent(display, button, True, 0);
        for (int step = pick(3, 15); step > 0; --step) {
            x = std::clamp(x + pick(-60, 60), 0, width - 1);
            y = std::clamp(y + pick(-60, 60), 0, height - 1);
            move(x, y);
            XFlush(display);
            sleepMs(pick(10, 40));
        }
        XTestFakeButtonEvent(display, button, False, 0);
        ++counts.drags;
    }

    void wheel() {
        const unsigned button = pick(0, 1) ? Button4 : Button5;
        XTestFakeButtonEvent(display, button, True, 0);
        XTestFakeButtonEvent(display, button, False, 0);
        ++counts.wheels;
    }
};

// How the game ended: still running, exited with a status, or killed by a signal.
struct Ending {
    bool running = true;
    bool signalled = false;
    int code = 0;
};

Ending poll(pid_t pid, bool wait) {
    int status = 0;
    Ending ending;
    if (waitpid(pid, &status, wait ? 0 : WNOHANG) != pid) return ending;
    ending.running = false;
    ending.signalled = WIFSIGNALED(status);
    ending.code = ending.signalled ? WTERMSIG(status) : WEXITSTATUS(status);
    return ending;
}

// Waits for the game to exit, pressing the quit key again every ten seconds
// (a message box may have taken the first); kills it when it does not exit
// within the limit.
Ending waitForExit(pid_t pid, InputDriver& driver, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        const Ending ending = poll(pid, false);
        if (!ending.running) return ending;
        if (i % 100 == 0) driver.quit();
        sleepMs(100);
    }
    std::cout << "soak: the game did not exit after the quit key; killing it" << std::endl;
    kill(pid, SIGKILL);
    Ending ending = poll(pid, true);
    ending.code = -1;
    return ending;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: zeb-soak --game PROGRAM --dir WORKING_DIR [--seconds N] [--seed N]"
                  << std::endl;
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    int event, error, major, minor;
    if (!soak::boundKeys().unsendable.empty()) {
        std::cerr << "soak: a key of the binding table has no X key here" << std::endl;
        return 2;
    }
    if (display == nullptr || !XTestQueryExtension(display, &event, &error, &major, &minor)) {
        std::cerr << "soak: needs an X display with the XTEST extension (run under Xvfb)"
                  << std::endl;
        return 2;
    }
    XSetErrorHandler(ignoreXErrors);
    InputDriver driver(display, options.seed);
    const std::string log = options.dir + "/errlog.txt";
    const std::string errors = options.dir + "/soak-stderr.txt";
    std::remove(log.c_str());
    const pid_t game = startGame(options);
    std::cout << "soak: " << options.game << " (pid " << game << "), " << options.seconds
              << " s, seed " << options.seed << ", " << driver.keyCount() << " keys" << std::endl;

    // The game is ready once it has entered the outside world.
    const Clock::time_point launched = Clock::now();
    Ending ending;
    while ((ending = poll(game, false)).running && !fileHas(log, "Entering outside...") &&
           secondsSince(launched) < 300)
        sleepMs(200);
    std::cout << "soak: start-up took " << int(secondsSince(launched)) << " s" << std::endl;

    std::vector<soak::RssSample> samples;
    // Every sample, for plotting: seconds and kilobytes.
    std::ofstream rssLog(options.dir + "/soak-rss.txt");
    const Clock::time_point start = Clock::now();
    double nextSample = 0.0, nextReport = 30.0, nextBoxCheck = 0.0;
    while (ending.running && secondsSince(start) < options.seconds) {
        driver.act();
        const double now = secondsSince(start);
        if (now >= nextBoxCheck) {
            driver.answerMessageBoxes();
            nextBoxCheck = now + 0.5;
        }
        if (now >= nextSample) {
            samples.push_back({now, residentKb(game)});
            rssLog << int(now) << ' ' << samples.back().kb << '\n';
            nextSample += 1.0;
        }
        if (now >= nextReport) {
            std::cout << "soak: " << int(now) << " s, resident " << samples.back().kb / 1024
                      << " MB" << std::endl;
            nextReport += 30.0;
        }
        ending = poll(game, false);
    }
    const bool ranToEnd = ending.running;
    if (ranToEnd) {
        const Clock::time_point quitAt = Clock::now();
        ending = waitForExit(game, driver, 900);
        std::cout << "soak: the game took " << int(secondsSince(quitAt))
                  << " s to quit (with the leak check)" << std::endl;
    }
    XCloseDisplay(display);

    const Counts& c = driver.counts;
    std::cout << "soak: input sent: " << c.keys << " keys, " << c.clicks << " clicks, " << c.drags
              << " drags, " << c.wheels << " wheel notches, " << c.moves << " moves; " << c.boxes
              << " message boxes answered" << std::endl;
    const soak::RssFigures rss = soak::residentFigures(samples);
    if (rss.base > 0)
        std::cout << "soak: resident size " << rss.base / 1024 << " MB in the second minute, "
                  << rss.end / 1024 << " MB in the last, peak " << rss.peak / 1024 << " MB: growth "
                  << rss.growth << " %" << std::endl;
    std::ifstream errorText(errors);
    const int findings = soak::countFindings(errorText, std::cout);
    std::cout << "soak: sanitizer reports: " << findings << " (" << errors << ")" << std::endl;

    bool good = ranToEnd && !ending.signalled && ending.code == 0 && findings == 0;
    if (!ranToEnd)
        std::cout << "soak: the game ended on its own after " << int(secondsSince(start)) << " s"
                  << std::endl;
    if (ending.signalled)
        std::cout << "soak: the game was killed by signal " << ending.code << std::endl;
    else if (ending.code != 0)
        std::cout << "soak: the game exited with status " << ending.code << std::endl;
    // A short run mostly sees the world warming up (pages, models, caches);
    // the growth is judged on runs of ten minutes or more.
    if (rss.base > 0 && rss.growth >= 5.0 && options.seconds >= 600) {
        std::cout << "soak: the resident size grew by 5 % or more after the first minute"
                  << std::endl;
        good = false;
    }
    std::cout << "soak: " << (good ? "passed" : "FAILED") << std::endl;
    return good ? 0 : 1;
}
