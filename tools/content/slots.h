// The engine's own start-up slot table, read back after it runs: which model
// and skin each used slot shows, its scale and height offset and its five
// animations. The content is laid out so that every slot ends with the right
// motions.
#pragma once

#include "model/slot.h"

#include <vector>

namespace content {

struct SlotView {
    int slot = 0;
    int model = -1; // index into the engine's model table
    int weaponModel = -1;
    const ModelSlot* entry = nullptr;
};

// Runs the engine's slot set-up over whatever models its table holds now
// (empty models still give the scales and offsets) and lists the used slots.
std::vector<SlotView> engineSlots();

// Index of a model of the engine's table, -1 for none.
int modelIndexOf(const Model* model);

constexpr int SLOT_HALF_HEIGHT = 7; // actors stand this far above the ground

} // namespace content
