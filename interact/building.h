// Town buildings: a box with a gable roof, a floor and a door, sized and
// coloured at random when its terrain page is made.
#pragma once

struct Building {
    // From a counter that starts at -1 and is incremented first (first id 0).
    int id = 0;
    // The corner at which the footprint starts.
    double x = 0.0, y = 0.0, z = 0.0;
    // Degrees about z, and degrees about y.
    float rotation = 0.0f;
    float tilt = 0.0f;
    // Index of the wall image in the world texture table (10..17), and its
    // GL texture name once the table is loaded (0 without a context).
    int wallTextureIndex = 0;
    unsigned wallTexture = 0;
    // Roof colour.
    double tint[3] = {};
    // Light at the footprint corners (0 at (0, 0), 1 at (length, 0), 2 at
    // (length, width), 3 at (0, width)) and at the middle of each wall
    // (edge m between corners m and m + 1; edge 0 holds the door).
    float cornerLight[4] = {};
    float edgeLight[4] = {};
    // World units along x, y and z.
    int length = 0, width = 0, height = 0;
    int doorWidth = 7, doorHeight = 14;
    // Distance of the door from x = 0 along the front wall.
    int doorOffset = 0;
};

// Gives the building its id, size, door, wall image and tint. Draws eight
// random numbers, in this order: length, width, height, door offset, wall,
// and the three tint components.
void constructBuilding(Building& b);
// Restarts the id counter (tests).
void resetBuildingIds();

// Details (a page's lodLevel, 1 nearest) below this one draw the floor and
// the door, and register the door with the picker.
constexpr int BUILDING_DETAIL_DOOR = 3;
// Draws the building at a detail level: the slab roof at detail 1, a thin
// roof further away. Needs a current GL context.
void drawBuilding(const Building& b, int detail);
