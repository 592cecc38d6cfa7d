// Dungeon entrance portals standing on terrain pages (at most one a page).
#pragma once

enum : int {
    PORTAL_DUNGEON_ENTRANCE = 0,
};

struct Portal {
    float radius = 2.0f;
    // 0 dungeon entrance; 1, 2 and 3 are known types that draw nothing.
    int type = 1;
    // From a counter that starts at -1 and is incremented first (first id 0).
    int id;
    int reserved0 = 0;
    double x = 0.0, y = 0.0, z = 0.0;
    // Degrees about z.
    float rotation = 0.0f;
    int reserved1 = -1;
    // Terrain light where it stands.
    float light = 0.0f;

    Portal();
};
