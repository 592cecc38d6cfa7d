// Drawing the dungeon: the flickering per-corner light, then the cells near
// the player in passes of one texture each (floors and wall tops, walls,
// doors, chests, torches with their flames, the stairs).
#pragma once

#include "dungeon/dungeon.h"

// Pick types of the dungeon's objects and of the entrance outside.
enum : int {
    PICK_TYPE_PORTAL = 14,
    PICK_TYPE_DOOR = 15,
    PICK_TYPE_EXIT = 16,
    PICK_TYPE_CHEST = 18,
};

// Where drawing hands the picker every pickable object it draws this frame:
// its pick type, position, rotation (degrees about z) and id (-1 for none).
// Empty until the picker installs its own.
struct PickRegistration {
    void (*add)(int type, double x, double y, double z, float rotation, int id) = nullptr;
};
extern PickRegistration g_pickRegistration;
void registerPickable(int type, double x, double y, double z, float rotation, int id);
// True when the picker's last hit is this object.
bool isPickedObject(int type, int id);

// Cells drawn around the player: rows i0..i1 - 1, columns j0..j1 - 1.
struct CellRange {
    int i0 = 0, i1 = 0, j0 = 0, j1 = 0;
};
CellRange cellRangeAround(const Dungeon& d, double x, double y, int viewCells);

// Adds the frame's time step to the refresh timer; every refreshInterval it
// sets the floor and upper light of every inner corner from the static light,
// a flicker and the player's own light, and restarts the timer.
void refreshDungeonLight(Dungeon& d, double playerX, double playerY, double timeFactor);

// Least milliseconds between two flames of one torch when `torches` torches
// are close enough to flame: the detail level's interval, lengthened so that
// all of them together keep at most half the particle pool alight.
int flameInterval(int torches, int detailInterval);

// A door swings by the time step while opening or closing and settles at 90
// degrees (open) or 0 (closed).
void swingDoor(DoorRecord& door, double timeFactor);

// The whole dungeon for a player at `player` (needs a current GL context).
void drawDungeon(Dungeon& d, const double player[3]);
