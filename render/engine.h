// The rendering services object: GL state, fog, textures and models, fonts,
// on-screen texts, the sky.
#pragma once

class Engine {
  public:
    bool fullscreen = true;
    // 1 while the player is in the dungeon.
    int inDungeon = 0;
};

extern Engine g_engine;
