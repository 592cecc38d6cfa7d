// What the picker and the click actions do with the dungeon's objects: the
// registrations its drawing hands over, the measures its proxies take, and
// opening a chest the player has walked up to.
#pragma once

class Dungeon;

// Takes a pickable object drawn this frame (portal, dungeon door or chest)
// into the picker's lists. Installed as the drawing's registration hook.
void registerWithPicker(int type, double x, double y, double z, float rotation, int id);
// Sizes the picker's dungeon proxies by this dungeon's cells and stairs.
void pickInDungeon(const Dungeon& d);

// Outcome of opening a chest.
enum class ChestOpening {
    Opened,
    AlreadyOpen,
    NotFound,
};
// Opens the chest with this id: sets its opened flag and says so on the
// status line ("Chest opened", or "The chest is empty" when it was opened
// before). Nothing happens for an id no chest has.
ChestOpening openChest(Dungeon& d, int id);
