// The actor models of the pack: each is a body plan with its own proportions,
// parts, materials, skin variants and animation list.
#pragma once

#include "tools/content/creature.h"

#include <string>
#include <vector>

namespace content {

struct ActorModel {
    int modelIndex = 0;
    std::string name;       // file name without extension
    std::string builder;    // creature built for it (a weapon file names its carrier)
    bool isWeapon = false;  // the weapon mesh of its carrier
    std::vector<int> skins; // skin table indices and their variant numbers in order
    std::vector<std::string> skinFiles;
};

// Every actor and weapon model of the engine's model table, with the skins named after it.
const std::vector<ActorModel>& actorModels();

// Builds the creature with the given name (its mesh, skin regions laid out,
// animation list, size); the seed varies the painting only.
Creature buildCreature(const std::string& name, std::uint32_t seed);

} // namespace content
