#include "interact/dungeon_picks.h"

#include "dungeon/dungeon.h"
#include "dungeon/dungeon_draw.h"
#include "interact/picker.h"
#include "render/engine.h"

void registerWithPicker(int type, double x, double y, double z, float rotation, int id) {
    switch (type) {
    case PICK_TYPE_PORTAL:
        g_picker.addPortal(x, y, z, rotation, id);
        break;
    case PICK_TYPE_DOOR:
        g_picker.addDungeonDoor(int(x), int(y), int(z), id);
        break;
    case PICK_TYPE_CHEST:
        g_picker.addChest(int(x), int(y), int(z), id);
        break;
    default:
        break;
    }
}

void pickInDungeon(const Dungeon& d) {
    DungeonPickSizes& s = g_picker.dungeon;
    s.cellSizeX = d.cellSizeX;
    s.cellSizeY = d.cellSizeY;
    s.wallHeight = d.wallHeight;
    s.exitX = d.exitX;
    s.exitY = d.exitY;
    s.exitZ = d.exitZ;
}

ChestOpening openChest(Dungeon& d, int id) {
    for (int i = 0; i < d.width; ++i)
        for (int j = 0; j < d.height; ++j) {
            ChestRecord* chest = d.cell(i, j).chest.get();
            if (!chest || chest->id != id) continue;
            if (chest->opened) {
                g_engine.postStatus("The chest is empty");
                return ChestOpening::AlreadyOpen;
            }
            chest->opened = 1;
            g_engine.postStatus("Chest opened");
            return ChestOpening::Opened;
        }
    return ChestOpening::NotFound;
}
