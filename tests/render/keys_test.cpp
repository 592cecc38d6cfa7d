#include "actor/controller.h"
#include "app/input.h"
#include "render/engine.h"
#include "render/particles.h"
#include "core/camera.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// Each toggle key flips its switch once per press (the key is consumed) and
// back again on the next.
TEST(RenderKeys, ToggleKeysFlipTheirSwitchesOncePerPressAndBackAgain) {
    const std::pair<int, std::function<int()>> toggles[] = {
        {'L', [] { return int(g_engine.lightEnabled); }},
        {'M', [] { return int(g_engine.multitexture); }},
        {'C', [] { return int(g_engine.showWalkMap); }},
        {'K', [] { return int(g_engine.showKeyList); }},
        {'H', [] { return int(g_engine.showFloatTexts); }},
        {'Q', [] { return int(g_settings.testFlag(FLAG_FREEMOVE)); }},
        {'G', [] { return g_camera.mode; }}};
    g_input.reset();
    for (const auto& [key, state] : toggles) {
        const int before = state();
        g_input.keys[key] = 1;
        g_input.handleInput();
        g_input.handleInput();
        EXPECT_NE(state(), before) << char(key);
        EXPECT_EQ(g_input.keys[key], 0) << char(key);
        g_input.keys[key] = 1;
        g_input.handleInput();
        EXPECT_EQ(state(), before) << char(key);
    }
    g_input.reset();
}

TEST(RenderKeys, HoldingOneSpawnsAPuffAtThePlayerEveryFrame) {
    g_particles.clear();
    g_input.reset();
    double saved[3] = {playerActor().position[0], playerActor().position[1],
                       playerActor().position[2]};
    playerActor().position[0] = 100.0;
    playerActor().position[1] = 200.0;
    playerActor().position[2] = 30.0;
    g_input.keys['1'] = 1;
    for (int frame = 0; frame < 3; ++frame)
        g_input.handleInput();
    EXPECT_EQ(g_particles.activeCount(), 3) << "the key repeats while held";
    EXPECT_EQ(g_input.keys['1'], 1);
    for (int i = 0; i < 3; ++i) {
        const Particle& p = g_particles.particles[i];
        EXPECT_LE(std::abs(p.position[0] - 100.0), 0.5 + 1e-4);
        EXPECT_LE(std::abs(p.position[2] - 30.0), 0.5 + 1e-4);
    }
    g_input.reset();
    g_particles.clear();
    for (int k = 0; k < 3; ++k)
        playerActor().position[k] = saved[k];
}

} // namespace
