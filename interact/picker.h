// Object picking: every frame, after the scene, an invisible selection pass
// draws a proxy shape for every pickable object under the names [type, id]
// in a few pixels around the cursor; the nearest hit is the frame's picked
// object. Renderers register their doors, portals and chests while they
// draw; creatures and the dungeon exit are read from their owners.
#pragma once

#include <cstdint>

// Object types, the first name of every hit.
enum PickType : std::uint32_t {
    PickNone = 11,
    PickBuildingDoor = 12,
    PickPortal = 14,
    PickDungeonDoor = 15,
    PickDungeonExit = 16,
    PickChest = 18,
    PickCreature = 19,
};
// The id of a hit without one (the dungeon exit), and of no hit at all.
constexpr std::uint32_t NO_PICK_ID = 0xFFFFFFFFu;

constexpr int PICK_SELECT_WORDS = 512;
constexpr int PICK_REGION = 5; // pixels on a side around the cursor
// Registrations kept per frame; further ones are ignored.
constexpr int MAX_PICK_QUADS = 127;
constexpr int MAX_PICK_PORTALS = 159;
constexpr int MAX_PICK_DOORS = 159;
constexpr int MAX_PICK_CHESTS = 99;
// Box of a chest, and of a portal, in world units.
constexpr double CHEST_PICK_SIZE[3] = {12.0, 8.0, 12.0};
constexpr double PORTAL_PICK_SIZE[3] = {12.0, 12.0, 20.0};

struct PortalMark {
    double x = 0.0, y = 0.0, z = 0.0;
    // Degrees about z.
    float angle = 0.0f;
    int id = 0;
};

// A building's door: a quad in the building's frame.
struct QuadMark {
    int id = 0;
    double x = 0.0, y = 0.0, z = 0.0;
    float rotZ = 0.0f, rotY = 0.0f;
    int xOffset = 0, height = 0, width = 0;
};

// A dungeon door at the centre of its cell.
struct CellMark {
    int x = 0, y = 0, z = 0;
    int id = 0;
};

struct ChestMark {
    double x = 0.0, y = 0.0, z = 0.0;
    int id = 0;
};

// A found object's place on the ground; (-1, -1) when none was found.
struct PickPosition {
    double x = -1.0, y = -1.0;
};

// The object of the last hit that a click can act on, and where it stands.
struct PickTarget {
    // PickNone when the hit (if any) is nothing to act on.
    std::uint32_t type = PickNone;
    std::uint32_t id = NO_PICK_ID;
    PickPosition at;
};

// What the pass needs of the frame: the cursor (window pixels, y down), the
// viewport read back after the world was drawn, and the frame's camera.
struct PickView {
    double cursorX = 0.0, cursorY = 0.0;
    int viewport[4] = {};
    double fov = 45.0, aspect = 1.0, farPlane = 1000.0;
    double eye[3] = {};
    double centre[3] = {};
};

// Measures of the current dungeon: doors and chests stand in its cells and
// the exit is its stairs cell.
struct DungeonPickSizes {
    double cellSizeX = 0.0, cellSizeY = 0.0, wallHeight = 0.0;
    int exitX = 0, exitY = 0, exitZ = 0;
};

class Picker {
  public:
    // Hit records of the last pass; negative when the buffer overflowed.
    int hitCount = 0;
    std::uint32_t hitType = PickNone;
    std::uint32_t hitId = NO_PICK_ID;
    bool picked = false;
    PortalMark portals[MAX_PICK_PORTALS + 1];
    std::uint32_t selectBuffer[PICK_SELECT_WORDS] = {};
    int quadCount = 0, doorCount = 0, chestCount = 0, portalCount = 0;
    QuadMark quads[MAX_PICK_QUADS + 1];
    CellMark doors[MAX_PICK_DOORS + 1];
    ChestMark chests[MAX_PICK_CHESTS + 1];
    // Records drawn by the last pass that drew each list (those with positions to look up).
    int lastDoorCount = 0, lastChestCount = 0, lastPortalCount = 0;
    // The dungeon the player is in; set before the dungeon is drawn.
    DungeonPickSizes dungeon;

    // Registration while the scene is drawn.
    void addBuildingDoor(double x, double y, double z, float rotZ, float rotY, int xOffset,
                         int width, int height, int id);
    void addPortal(double x, double y, double z, float angle, int id);
    // (x, y, z): low corner of the door's cell.
    void addDungeonDoor(int x, int y, int z, int id);
    // (x, y, z): where the chest stands in its cell.
    void addChest(int x, int y, int z, int id);

    // The selection pass (needs a current GL context).
    void beginPass(const PickView& view);
    void drawPickables();
    // True when the pass hit something.
    bool endPass();
    // Keeps the hit with the smallest minimum depth (the first of equals).
    void processHits();
    // The frame's pass: begin, draw, end, then the nearest hit or none.
    void runPass(const PickView& view);

    bool isPicked(std::uint32_t type, std::uint32_t id) const;
    bool isPickedType(std::uint32_t type) const;

    // Places of objects drawn by the last pass that drew their list.
    PickPosition portalPosition(int id) const;
    PickPosition dungeonDoorPosition(int id) const;
    PickPosition chestPosition(int id) const;
    // Any of the 24 creatures, active or not.
    PickPosition creaturePosition(int id) const;
    PickPosition dungeonExitPosition() const;
    // The picked dungeon door, creature, portal, dungeon exit or chest with
    // its place; type PickNone for anything else or no hit.
    PickTarget clickTarget() const;

    // Back to the constructed state (tests).
    void reset();

  private:
    void drawBuildingDoors();
    void drawCreatures();
    void drawDungeonObjects();
    void drawPortals();
};

extern Picker g_picker;

// Where a click on an object sends the player when the point under the
// mouse cannot be walked on (it lies on the object itself): the first open
// point on the straight way from the object at (targetX, targetY) towards
// the player at (fromX, fromY), no further than `reach` from the object.
// False when the way is blocked all the way out to `reach`.
bool approachPoint(double targetX, double targetY, double fromX, double fromY, double reach,
                   double& x, double& y);

// The highlight query of model drawing: picked with this type and id.
bool isObjectPicked(int type, int id);
