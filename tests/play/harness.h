// Play-through harness: runs the real game in this process (entry steps,
// window, main loop passes, start-up block) on the pack made by zeb-content
// (once, into <build>/play-data, where the game runs beside its errlog.txt),
// and drives it as a player does: input is pushed as SDL events and takes the
// player's road through the platform layer's queue, the window procedure, the
// input pass and the frame's unprojection. The frame clock advances a fixed
// step per tick (frameMs), so a scenario does not depend on the machine's
// speed. Screen points are in screen pixels, as GetCursorPos gives them.
#pragma once

#include "actor/controller.h"
#include "app/input.h"
#include "render/engine.h"

#include <functional>
#include <string>
#include <vector>

namespace play {

class Game {
  public:
    // Milliseconds the frame clock advances per tick once the game runs.
    int frameMs = 25;

    void moveMouse(int x, int y);
    void click(int x, int y);
    void doubleClick(int x, int y);
    // A drag of the right button: down, moves, up.
    void rightDown(int x, int y);
    void rightUp(int x, int y);
    // Keys by virtual-key code.
    void key(int vk, bool down);
    void press(int vk) {
        key(vk, true);
        key(vk, false);
    }

    // Runs up to n passes (fewer when the loop ends); the number run.
    int run(int n);
    // Runs passes until pred() holds after a pass; the passes taken, or -1
    // when it did not hold within maxPasses.
    int runUntil(const std::function<bool()>& pred, int maxPasses);

    // Screen point of a world point through the last frame's matrices; false
    // when it lies behind the eye or outside the window.
    bool screenPointOf(double x, double y, double z, int& sx, int& sy) const;
    double groundAt(double x, double y) const;

    // The controllers (24 is the player's), the in-dungeon flag, the pending
    // click action and errlog.txt so far, one string a line.
    ActorController& player() const { return playerActor(); }
    ActorController& actor(int index) const { return g_actors[index]; }
    bool inDungeon() const { return g_engine.inDungeon != 0; }
    int pendingAction() const { return g_input.next_action; }
    std::vector<std::string> logLines() const;

    // Escape, then passes until the loop ends; the exit status. It ends the
    // game for this process: run it last.
    int quit();
    bool ended() const { return ended_; }

    // Texts of the message boxes shown (answered at once: a box would wait
    // for a person).
    std::vector<std::string> boxes;
    // Whether the game started and still runs, and why not.
    bool ok() const { return started_ && !ended_; }
    std::string why;
    // Started by play::game().
    void start();

  private:
    void button(int sdlButton, bool down, int x, int y, int clicks);
    bool started_ = false;
    bool ended_ = false;
};

// The one game of this process, started on first use.
Game& game();

// Sets the player's search slice for the life of the object.
class SearchSlice {
  public:
    explicit SearchSlice(double ms) : saved_(g_playerSearchSliceMs) { g_playerSearchSliceMs = ms; }
    ~SearchSlice() { g_playerSearchSliceMs = saved_; }

  private:
    double saved_;
};

} // namespace play
