#include "tools/content/slots.h"

#include "render/engine.h"

namespace content {

int modelIndexOf(const Model* model) {
    if (!model || model < g_engine.models || model >= g_engine.models + MODEL_TABLE_SIZE) return -1;
    return int(model - g_engine.models);
}

std::vector<SlotView> engineSlots() {
    setupModelSlots();
    std::vector<SlotView> out;
    for (int s = 0; s < MODEL_SLOT_COUNT; ++s) {
        const ModelSlot& slot = g_modelSlots[s];
        if (!slot.model) continue;
        out.push_back({s, modelIndexOf(slot.model),
                       slot.hasWeapon ? modelIndexOf(slot.weaponModel) : -1, &slot});
    }
    return out;
}

} // namespace content
