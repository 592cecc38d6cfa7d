#include "tests/play/harness.h"

#include "actor/ground.h"
#include "app/input.h"
#include "app/mainloop.h"
#include "core/frame_state.h"
#include "core/settings.h"
#include "platform/win.h"
#include "render/engine.h"
#include "tests/support/sdl_events.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <SDL2/SDL.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace play {
namespace {

// The splash fades count in frame-clock time: a long step while the start-up
// block runs lets them pass in a few frames.
constexpr int STARTUP_STEP_MS = 500;
constexpr int STARTUP_MAX_PASSES = 50;

Game g_game;
int g_clockNow = 0;

int harnessClock() {
    g_clockNow += g_settings.testFlag(FLAG_INIT_PENDING) ? STARTUP_STEP_MS : g_game.frameMs;
    return g_clockNow;
}

// The content pack is made once per build tree; a pack left half-written by
// an interrupted run has no completion mark and is made again.
bool ensureContent(const fs::path& root, std::string& why) {
    if (fs::exists(root / "Data" / ".complete")) return true;
    fs::path tmp = root.string() + ".tmp-" + std::to_string(::getpid());
    std::error_code ec;
    fs::remove_all(tmp, ec);
    fs::create_directories(tmp, ec);
    std::string cmd = std::string(ZEB_BUILD_DIR) + "/zeb-content " + (tmp / "Data").string() +
                      " > " + (tmp / "content.log").string() + " 2>&1";
    if (std::system(cmd.c_str()) != 0) {
        why = "zeb-content failed: see " + (tmp / "content.log").string();
        return false;
    }
    std::ofstream(tmp / "Data" / ".complete") << "done\n";
    if (fs::exists(root / "Data" / ".complete")) {
        fs::remove_all(tmp, ec); // another process made it meanwhile
        return true;
    }
    fs::remove_all(root, ec);
    fs::rename(tmp, root, ec);
    if (ec) {
        why = "cannot put the content pack in place: " + ec.message();
        return false;
    }
    return true;
}

SDL_Window* mainWindow() {
    return static_cast<SDL_Window*>(win::MainWindow());
}

// Screen point to the window's client point.
void toClient(int& x, int& y) {
    int left = 0, top = 0;
    SDL_GetWindowPosition(mainWindow(), &left, &top);
    x -= left;
    y -= top;
}

// The keys the scenarios press: letters and Escape.
SDL_Keycode sdlKey(int vk) {
    if (vk >= 'A' && vk <= 'Z') return SDLK_a + (vk - 'A');
    return vk == win::VK_ESCAPE ? SDLK_ESCAPE : SDLK_UNKNOWN;
}

} // namespace

Game& game() {
    if (!g_game.ok() && !g_game.ended() && g_game.why.empty()) g_game.start();
    return g_game;
}

void Game::start() {
    fs::path root = fs::path(ZEB_BUILD_DIR) / "play-data";
    if (!ensureContent(root, why)) return;
    fs::current_path(root);
    if (!win::InitVideo(&why)) return;
    int argc = 1;
    char name[] = "zeb";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    // A box would wait for a person: the windowed-mode question is accepted,
    // every box is kept for the scenario to read.
    win::SetMessageBoxAnswerer([this](const win::MessageBoxRecord& r) {
        boxes.push_back(r.text);
        return (r.style & 0x0F) == win::MB_YESNO ? win::IDYES : win::IDOK;
    });
    if (!startGame()) {
        why = "the game window did not open";
        return;
    }
    g_settings.clock = harnessClock;
    started_ = true;
    if (runUntil([] { return !g_settings.testFlag(FLAG_INIT_PENDING); }, STARTUP_MAX_PASSES) < 0) {
        why = "the start-up block did not run";
        started_ = false;
        return;
    }
    // One more frame, so that the frame's matrices are those of the game.
    run(1);
}

void Game::moveMouse(int x, int y) {
    toClient(x, y);
    testsupport::pushMotion(mainWindow(), x, y);
}

void Game::button(int sdlButton, bool down, int x, int y, int clicks) {
    toClient(x, y);
    testsupport::pushButton(mainWindow(), sdlButton, down, x, y, clicks);
}

void Game::click(int x, int y) {
    moveMouse(x, y);
    button(SDL_BUTTON_LEFT, true, x, y, 1);
    button(SDL_BUTTON_LEFT, false, x, y, 1);
}

// The second press comes as SDL reports a quick second press: click count 2.
void Game::doubleClick(int x, int y) {
    click(x, y);
    button(SDL_BUTTON_LEFT, true, x, y, 2);
    button(SDL_BUTTON_LEFT, false, x, y, 2);
}

void Game::rightDown(int x, int y) {
    button(SDL_BUTTON_RIGHT, true, x, y, 1);
}

void Game::rightUp(int x, int y) {
    button(SDL_BUTTON_RIGHT, false, x, y, 1);
}

void Game::key(int vk, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = SDL_GetWindowID(mainWindow());
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sdlKey(vk);
    e.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

int Game::run(int n) {
    int done = 0;
    while (done < n && ok() && !g_loop.done) {
        runPass();
        ++done;
    }
    return done;
}

int Game::runUntil(const std::function<bool()>& pred, int maxPasses) {
    for (int n = 1; n <= maxPasses; ++n) {
        if (run(1) == 0) return -1;
        if (pred()) return n;
    }
    return -1;
}

bool Game::screenPointOf(double x, double y, double z, int& sx, int& sy) const {
    double wx = 0.0, wy = 0.0, wz = 0.0;
    if (!gluProject(x, y, z, g_frame.modelview, g_frame.projection, g_frame.viewport, &wx, &wy,
                    &wz))
        return false;
    if (wz < 0.0 || wz > 1.0) return false;
    // The frame reads the cursor's window row as screen height - y.
    sx = int(std::lround(wx));
    sy = int(std::lround(g_settings.screenHeight - wy));
    return sx >= 0 && sx < g_settings.screenWidth && sy >= 0 && sy < g_settings.screenHeight;
}

double Game::groundAt(double x, double y) const {
    return g_actorGround.heightAt(x, y, 0.0);
}

std::vector<std::string> Game::logLines() const {
    std::vector<std::string> lines;
    std::ifstream in("errlog.txt");
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

int Game::quit() {
    press(win::VK_ESCAPE);
    runUntil([] { return g_loop.done; }, 10);
    int status = finishGame();
    g_settings.clock = nullptr;
    ended_ = true;
    return status;
}

} // namespace play
