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

TEST(PickerRegistration, ListsStopAtTheirLimits) {
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
    return {cursorX, cursorY, {0, 0, 1024, 768}, 45.0, 1.0, 1000.0, {0.0, -200.0, 0.0}};
}

// Outside, with no creatures but those a test puts in.
class PickScene : public ::testing::Test {
  protected:
    void SetUp() override {
        for (ActorController& a : g_actors)
            a.active = false;
        g_engine.inDungeon = 0;
        picker_.reset();
    }
    // A door of 10 x 10 facing the eye, its centre on the line of sight.
    void addDoorAt(double y, int id) { picker_.addBuildingDoor(-5, y, -5, 0, 0, 0, 10, 10, id); }
    Picker& picker_ = g_picker;
};

TEST_F(PickScene, OutsideTheNearestOfDoorCreatureAndPortalIsPicked) {
    ZEB_REQUIRE_GL_WINDOW(window);
    // Nothing under the cursor: nothing picked, and the pass empties the list.
    addDoorAt(0, 4);
    picker_.runPass(viewAlongY(10, 10));
    EXPECT_EQ(picker_.hitCount, 0);
    EXPECT_FALSE(picker_.picked || picker_.isPickedType(PickBuildingDoor));
    EXPECT_EQ(picker_.quadCount, 0);

    // A door in front of a creature and a portal: the door is nearest. (The
    // play-throughs point at creatures and entrances in the game.)
    ActorController& creature = g_actors[5];
    creature.active = true;
    creature.position[0] = creature.position[2] = 0.0;
    creature.position[1] = 40;
    addDoorAt(20, 11);
    picker_.addPortal(0, 60, 0, 30.0f, 3);
    picker_.runPass(viewAlongY());
    EXPECT_EQ(picker_.hitCount, 3);
    EXPECT_TRUE(picker_.isPicked(PickBuildingDoor, 11));
    EXPECT_EQ(picker_.portalPosition(3).y, 60.0);
    creature.active = false;
}

TEST_F(PickScene, AnOverflowingSelectionBufferPicksNothing) {
    ZEB_REQUIRE_GL_WINDOW(window);
    // 120 portals in a row along the line of sight: 600 words of hits.
    for (int k = 0; k < 120; ++k)
        picker_.addPortal(0, 100 + k, 0, 0.0f, k);
    picker_.runPass(viewAlongY());
    EXPECT_LT(picker_.hitCount, 0);
    EXPECT_FALSE(picker_.picked);
}

} // namespace
