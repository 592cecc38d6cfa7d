// Turning built creatures and decor into MD2 files.
#pragma once

#include "tools/content/creature.h"
#include "tools/content/md2file.h"

namespace content {

constexpr const char* TRAILER_NAME = "end01";

// The key frames of every animation in list order, then the one-frame
// trailer that the loader drops in place of a real frame. With weapon set,
// the weapon mesh posed exactly as the body carries it.
Md2Data creatureMd2(const Creature& creature, bool weapon, const std::string& skinName);

// Where the feet of a walking creature stand in file units: the ground under
// an actor drawn by its slot (scale and zOffset) at ground + 7.
double groundLevel(const Creature& creature);

// Decor: model index 0..14 and skin index 0..15 of the tables.
constexpr int DECOR_MODELS = 15;
constexpr int DECOR_SKINS = 16;
const char* decorName(int modelIndex);
Md2Data decorMd2(int modelIndex, std::uint32_t seed);
Image decorSkin(int skinIndex, std::uint32_t seed);
// File name of a decor skin ("bigtree.bmp" ... "pillar_stone2.bmp").
std::string decorSkinFile(int skinIndex);

} // namespace content
