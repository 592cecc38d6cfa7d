#include "actor/controller.h"
#include "app/input.h"
#include "render/engine.h"
#include "render/particles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(RenderKeys, TogglesFlipTheirSwitchesAndBackAgain) {
    bool Engine::*switches[] = {&Engine::lightEnabled, &Engine::multitexture, &Engine::showWalkMap,
                                &Engine::showKeyList, &Engine::showFloatTexts};
    const int actions[] = {7, 9, 10, 18, 21};
    for (int i = 0; i < 5; ++i) {
        bool before = g_engine.*switches[i];
        g_input.performAction(actions[i]);
        EXPECT_NE(g_engine.*switches[i], before) << "action " << actions[i];
        g_input.performAction(actions[i]);
        EXPECT_EQ(g_engine.*switches[i], before) << "action " << actions[i];
    }
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
        EXPECT_FLOAT_EQ(p.life, 50.0f);
        EXPECT_LE(std::abs(p.position[0] - 100.0), 0.5 + 1e-4);
        EXPECT_LE(std::abs(p.position[2] - 30.0), 0.5 + 1e-4);
    }
    g_input.reset();
    g_particles.clear();
    for (int k = 0; k < 3; ++k)
        playerActor().position[k] = saved[k];
}

} // namespace
