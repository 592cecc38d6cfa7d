#include "actor/controller.h"
#include "actor/ground.h"
#include "interact/picker.h"
#include "render/engine.h"

#include "../support/test_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

struct Record {
    std::uint32_t minDepth;
    std::vector<std::uint32_t> names;
};

// Writes the records into the selection buffer as GL would and finds the hit.
void process(Picker& picker, std::initializer_list<Record> records) {
    int at = 0;
    for (const Record& r : records) {
        picker.selectBuffer[at++] = std::uint32_t(r.names.size());
        picker.selectBuffer[at++] = r.minDepth;
        picker.selectBuffer[at++] = r.minDepth + 10;
        for (std::uint32_t n : r.names)
            picker.selectBuffer[at++] = n;
    }
    picker.hitCount = int(records.size());
    picker.processHits();
}

TEST(PickerHits, NearestRecordWinsAndTheFirstOfEqualDepths) {
    struct Case {
        const char* what;
        std::initializer_list<Record> records;
        std::uint32_t type, id;
    };
    const Case cases[] = {
        {"one hit", {{500, {PickPortal, 3}}}, PickPortal, 3},
        {"nearer second",
         {{900, {PickBuildingDoor, 1}}, {200, {PickCreature, 42}}},
         PickCreature,
         42},
        {"equal depths",
         {{300, {PickBuildingDoor, 1}}, {300, {PickCreature, 42}}},
         PickBuildingDoor,
         1},
        // Depths are unsigned: one above 2^31 is further, not nearer.
        {"unsigned depth",
         {{0x90000000u, {PickChest, 5}}, {0x70000000u, {PickDungeonDoor, 6}}},
         PickDungeonDoor,
         6},
        // The exit carries no id; the records after it are still read right.
        {"single name",
         {{100, {PickDungeonExit}}, {700, {PickChest, 2}}},
         PickDungeonExit,
         NO_PICK_ID},
        {"after a single name", {{700, {PickDungeonExit}}, {100, {PickChest, 2}}}, PickChest, 2},
        {"farthest depth",
         {{0xFFFFFFFFu, {PickPortal, 9}}, {0xFFFFFFFFu, {PickChest, 1}}},
         PickPortal,
         9},
    };
    for (const Case& c : cases) {
        Picker picker;
        process(picker, c.records);
        EXPECT_TRUE(picker.picked) << c.what;
        EXPECT_EQ(picker.hitType, c.type) << c.what;
        EXPECT_EQ(picker.hitId, c.id) << c.what;
        EXPECT_TRUE(picker.isPicked(c.type, c.id)) << c.what;
        EXPECT_TRUE(picker.isPickedType(c.type)) << c.what;
        EXPECT_FALSE(picker.isPicked(c.type, c.id + 1)) << c.what;
        EXPECT_FALSE(picker.isPickedType(PickNone)) << c.what;
    }
}

TEST(PickerHits, RecordsReachingPastTheBufferAreNotRead) {
    Picker picker;
    // The second record's name count runs far beyond the buffer: the walk
    // ends there, and the first record stays the nearest.
    process(picker, {{400, {PickPortal, 5}}, {100, {PickChest, 1}}});
    picker.selectBuffer[5] = 0xFFFFFFF0u;
    picker.processHits();
    EXPECT_TRUE(picker.isPicked(PickPortal, 5));
    // A lone record that does not fit leaves nothing picked.
    picker.selectBuffer[0] = PICK_SELECT_WORDS;
    picker.processHits();
    EXPECT_FALSE(picker.picked);
}

TEST(PickerRegistration, ListsStopAtTheirLimitsAndMarkCellCentres) {
    Picker picker;
    for (int k = 0; k < 200; ++k) {
        picker.addBuildingDoor(k, 0, 0, 0, 0, 1, 7, 14, k);
        picker.addPortal(k, 0, 0, 0, k);
        picker.addDungeonDoor(k, 0, 0, k);
        picker.addChest(k, 0, 0, k);
    }
    EXPECT_EQ(picker.quadCount, 127);
    EXPECT_EQ(picker.portalCount, 159);
    EXPECT_EQ(picker.doorCount, 159);
    EXPECT_EQ(picker.chestCount, 99);
    EXPECT_EQ(picker.quads[126].id, 126);

    Picker inCells;
    inCells.dungeon.cellSizeX = inCells.dungeon.cellSizeY = 18;
    inCells.dungeon.wallHeight = 40;
    inCells.addDungeonDoor(36, 54, 2, 7);
    EXPECT_EQ(inCells.doors[0].x, 45);
    EXPECT_EQ(inCells.doors[0].y, 63);
    EXPECT_EQ(inCells.doors[0].z, 22);
    inCells.addChest(36, 54, 2, 8);
    EXPECT_DOUBLE_EQ(inCells.chests[0].x, 45.0);
    EXPECT_DOUBLE_EQ(inCells.chests[0].z, 8.0) << "half the chest's height above its floor";
}

// Ground blocked within 9 units of the origin, as around a portal.
bool openBeyondNine(double x, double y, double) {
    return x * x + y * y > 81.0;
}
double flatGround(double, double, double) {
    return 0.0;
}

TEST(ClickGoal, ApproachStopsAtTheFirstOpenPointTowardsThePlayer) {
    const ActorGround saved = g_actorGround;
    g_actorGround = {openBeyondNine, flatGround};
    struct Case {
        double fromX, fromY;
        double reach;
        bool found;
        double x, y;
    };
    const Case cases[] = {
        {100, 0, 40, true, 10, 0},  // from +x: first open point at 10
        {0, -50, 40, true, 0, -10}, // from -y
        {30, 40, 40, true, 6, 8},   // along (0.6, 0.8), ten units out
        {0, 0, 40, true, 10, 0},    // on the object itself: any side
        {100, 0, 9, false, 0, 0},   // reach ends inside the blocked disc
    };
    for (const Case& c : cases) {
        double x = -1, y = -1;
        EXPECT_EQ(approachPoint(0, 0, c.fromX, c.fromY, c.reach, x, y), c.found)
            << c.fromX << "," << c.fromY;
        if (!c.found) continue;
        EXPECT_NEAR(x, c.x, 1e-9);
        EXPECT_NEAR(y, c.y, 1e-9);
    }
    g_actorGround = saved;
}

// A view from (0, -200, 0) towards the origin: the window's centre looks
// along +y through x = 0, z = 0.
PickView viewAlongY(double cursorX = 512, double cursorY = 384) {
    PickView v;
    v.cursorX = cursorX;
    v.cursorY = cursorY;
    v.viewport[2] = 1024;
    v.viewport[3] = 768;
    v.fov = 45.0;
    v.aspect = 1.0;
    v.farPlane = 1000.0;
    v.eye[1] = -200.0;
    return v;
}

// Creatures and the dungeon flag as the test found them.
class PickScene : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int c = 0; c < PLAYER_INDEX; ++c) {
            wasActive_[c] = g_actors[c].active;
            g_actors[c].active = false;
        }
        wasInDungeon_ = g_engine.inDungeon;
        g_engine.inDungeon = 0;
        picker_.reset();
    }
    void TearDown() override {
        for (int c = 0; c < PLAYER_INDEX; ++c)
            g_actors[c].active = wasActive_[c];
        g_engine.inDungeon = wasInDungeon_;
    }
    // A door of 10 x 10 facing the eye, its centre on the line of sight.
    void addDoorAt(double y, int id) { picker_.addBuildingDoor(-5, y, -5, 0, 0, 0, 10, 10, id); }
    ActorController& creatureAt(int c, double y) {
        ActorController& a = g_actors[c];
        a.active = true;
        a.position[0] = 0.0;
        a.position[1] = y;
        a.position[2] = 0.0;
        return a;
    }
    Picker& picker_ = g_picker;

  private:
    bool wasActive_[PLAYER_INDEX] = {};
    int wasInDungeon_ = 0;
};

TEST_F(PickScene, NothingUnderTheCursorPicksNothing) {
    ZEB_REQUIRE_GL_WINDOW(window);
    addDoorAt(0, 4);
    picker_.runPass(viewAlongY(10, 10));
    EXPECT_EQ(picker_.hitCount, 0);
    EXPECT_FALSE(picker_.picked);
    for (std::uint32_t type : {PickNone, PickBuildingDoor, PickPortal, PickDungeonDoor,
                               PickDungeonExit, PickChest, PickCreature})
        EXPECT_FALSE(picker_.isPickedType(type));
    EXPECT_FALSE(picker_.isPicked(PickBuildingDoor, 4));
    EXPECT_EQ(picker_.quadCount, 0) << "the pass empties the list";
    EXPECT_EQ(picker_.lastQuadCount, 1);
}

TEST_F(PickScene, OutsideTheNearestOfDoorCreatureAndPortalIsPicked) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ActorController& creature = creatureAt(5, 40);
    addDoorAt(20, 11);
    picker_.addPortal(0, 60, 0, 30.0f, 3);
    picker_.runPass(viewAlongY());
    EXPECT_EQ(picker_.hitCount, 3);
    EXPECT_TRUE(picker_.isPicked(PickBuildingDoor, 11));

    creature.position[1] = 0;
    picker_.addPortal(0, 60, 0, 30.0f, 3);
    addDoorAt(20, 11);
    picker_.runPass(viewAlongY());
    EXPECT_TRUE(picker_.isPicked(PickCreature, std::uint32_t(creature.instance.id)));
    const PickPosition at = picker_.creaturePosition(creature.instance.id);
    EXPECT_EQ(at.x, 0.0);
    EXPECT_EQ(at.y, 0.0);

    creature.active = false;
    picker_.addPortal(0, 60, 0, 30.0f, 3);
    picker_.runPass(viewAlongY());
    EXPECT_TRUE(picker_.isPicked(PickPortal, 3));
    EXPECT_EQ(picker_.portalPosition(3).y, 60.0);
    EXPECT_EQ(picker_.portalPosition(4).x, -1.0);
    // Not drawn in the next pass: no longer found.
    picker_.runPass(viewAlongY());
    EXPECT_FALSE(picker_.picked);
    EXPECT_EQ(picker_.portalPosition(3).x, -1.0);
    EXPECT_EQ(picker_.portalPosition(3).y, -1.0);
}

TEST_F(PickScene, InTheDungeonDoorsExitAndChestsArePickedAndPortalsKeepTheirList) {
    ZEB_REQUIRE_GL_WINDOW(window);
    picker_.addPortal(0, 60, 0, 0.0f, 3);
    g_engine.inDungeon = 1;
    picker_.dungeon = {20, 20, 30, -10, 90, -15};
    // Exit alone: the stairs cell's centre is on the line of sight.
    picker_.runPass(viewAlongY());
    EXPECT_TRUE(picker_.isPickedType(PickDungeonExit));
    EXPECT_EQ(picker_.hitId, NO_PICK_ID);
    EXPECT_EQ(picker_.dungeonExitPosition().x, 0.0);
    EXPECT_EQ(picker_.dungeonExitPosition().y, 100.0);
    EXPECT_EQ(picker_.portalCount, 1) << "outside lists wait for the outside";

    picker_.addChest(-10, 20, -6, 8); // box centred on (0, 30, 0)
    picker_.runPass(viewAlongY());
    EXPECT_TRUE(picker_.isPicked(PickChest, 8));
    EXPECT_EQ(picker_.chestPosition(8).y, 30.0);

    picker_.addChest(-10, 20, -6, 8);
    picker_.addDungeonDoor(-10, -20, -15, 2); // cell centre (0, -10, 0)
    picker_.runPass(viewAlongY());
    EXPECT_TRUE(picker_.isPicked(PickDungeonDoor, 2));
    EXPECT_EQ(picker_.dungeonDoorPosition(2).y, -10.0);
}

TEST_F(PickScene, FullListsAndAnOverflowingBufferPickNothing) {
    ZEB_REQUIRE_GL_WINDOW(window);
    // Only the 128th door would be under the cursor, and it is not drawn.
    for (int k = 0; k < 127; ++k)
        picker_.addBuildingDoor(500, 0, 0, 0, 0, 0, 10, 10, k);
    addDoorAt(0, 127);
    picker_.runPass(viewAlongY());
    EXPECT_FALSE(picker_.picked);

    // 120 portals in a row along the line of sight: 600 words of hits.
    for (int k = 0; k < 120; ++k)
        picker_.addPortal(0, 100 + k, 0, 0.0f, k);
    picker_.runPass(viewAlongY());
    EXPECT_LT(picker_.hitCount, 0);
    EXPECT_FALSE(picker_.picked);
}

} // namespace
