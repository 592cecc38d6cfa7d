#include "actor/controller.h"

#include "actor/directions.h"
#include "actor/ground.h"
#include "core/camera.h"
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/world.h"

#include <cmath>

ActorController g_actors[ACTOR_COUNT];

namespace {

constexpr float TWO_PI = 6.2831855f;
constexpr float PI = 3.1415927f;
constexpr float HALF_PI = 1.5707964f;

// Cell of a world coordinate on the home grid (the cell size halved as an integer).
double homeCell(double world, int cellSize) {
    return (world - cellSize / 2) / cellSize;
}

// A random cell of [minCell, maxCell): a box without extent gives its minimum
// cell. The random number is drawn either way, so the draw order is the same.
int randomCell(int minCell, int maxCell) {
    int r = crt::rand();
    int extent = maxCell - minCell;
    return extent > 0 ? r % extent + minCell : minCell;
}

int truncatedDistance(double ax, double ay, double bx, double by) {
    double dx = ax - bx, dy = ay - by;
    return int(std::sqrt(dx * dx + dy * dy));
}

// Puts the camera back on the player after an actor moved.
void followCamera() {
    g_camera.follow(playerActor().position);
}

} // namespace

void directionFromAngles(float heading, float pitch, double out[3]) {
    while (heading > TWO_PI)
        heading -= TWO_PI;
    while (heading < 0.0f)
        heading += TWO_PI;
    out[0] = std::cos(heading) * std::cos(pitch);
    out[1] = std::sin(heading) * std::cos(pitch);
    out[2] = std::sin(pitch);
}

ActorController::ActorController() : visited(allocateSparse(VISITED_BYTES)) {
    position[0] = START_X;
    position[1] = START_Y;
}

void ActorController::setLook(const ModelSlot* slot, int animation) {
    instance.slot = slot;
    instance.setAnimation(animation);
}

// The previous action is the last different one: setting the action it already
// has keeps it, so that a refused goal always leads back out of GoToGoal.
void ActorController::setAction(int newAction) {
    if (newAction != action) previousAction = action;
    action = newAction;
}

void ActorController::startAnimation(int ModelSlot::*which) {
    if (instance.slot) instance.setAnimation(instance.slot->*which);
}

void ActorController::startMoving() {
    if (previousAction == ACTION_IDLE) startAnimation(&ModelSlot::walkAnimation);
    moving = true;
}

void ActorController::setDirection(float angle) {
    directionFromAngles(angle, pitch, direction);
}

// The movement keys turn the actor's direction relative to its heading and
// take one grid step that way.
void ActorController::moveToward(float angle) {
    setDirection(angle);
    startMoving();
    stepOnce();
    standOnGround();
}

void ActorController::moveForward() {
    moveToward(heading);
}
void ActorController::moveBackward() {
    moveToward(heading + PI);
}
void ActorController::moveLeft() {
    moveToward(heading + HALF_PI);
}
void ActorController::moveRight() {
    moveToward(heading - HALF_PI);
}

bool ActorController::isNear(double x, double y, double, float radius) const {
    double dx = position[0] - x, dy = position[1] - y;
    return std::sqrt(dx * dx + dy * dy) <= radius;
}

void ActorController::draw() {
    instance.draw();
}

// One cell along `direction`, onto the cell centre; a step onto ground that
// may not be walked on is taken back to where the actor stood.
void ActorController::stepOnce() {
    double oldX = position[0], oldY = position[1];
    position[0] = std::floor(position[0] + direction[0]) + 0.5;
    position[1] = std::floor(position[1] + direction[1]) + 0.5;
    if (!g_actorGround.isWalkable(position[0], position[1], position[2])) {
        position[0] = oldX;
        position[1] = oldY;
    }
}

void ActorController::standOnGround() {
    int halfHeight = instance.slot ? instance.slot->halfHeight : 0;
    position[2] = g_actorGround.heightAt(position[0], position[1], position[2]) + halfHeight;
    followCamera();
}

void ActorController::stepAlongPath() {
    if (!pathFinished()) {
        heading = dir::headingOf(path[pathIndex]);
        setDirection(heading);
        stepAccumulator += float(g_settings.timeFactor);
        if (stepAccumulator <= 1.0f) return;
        stepAccumulator = 0.0f;
        pathIndex = (pathIndex + 1) % searchLimit();
        stepOnce();
    }
    standOnGround();
}

void ActorController::startSearch() {
    pathFound = false;
    newSearch = true;
    goalAccepted = false;
    if (action != ACTION_CHASE && action != ACTION_RETURN_HOME) setAction(ACTION_GO_TO_GOAL);
    search();
}

void ActorController::chooseHomeGoal() {
    int cellX = randomCell(homeMinCellX, homeMaxCellX);
    goal[0] = cellX * homeCellWidth + homeCellWidth / 2;
    int cellY = randomCell(homeMinCellY, homeMaxCellY);
    goal[1] = cellY * homeCellHeight + homeCellHeight / 2;
}

// At the end of a walked path: idle for 50 to 149 frames.
void ActorController::arriveIdle() {
    setAction(ACTION_IDLE);
    startAnimation(&ModelSlot::idleAnimation);
    idleCountdown = crt::rand() % 100 + 50;
}

void ActorController::update() {
    const ActorController& player = playerActor();
    int playerCellX = int(homeCell(player.position[0], homeCellWidth));
    int playerCellY = int(homeCell(player.position[1], homeCellHeight));
    int homeDistance = truncatedDistance(
        homeCell(position[0], homeCellWidth), homeCell(position[1], homeCellHeight),
        (homeMinCellX + homeMaxCellX) / 2, (homeMinCellY + homeMaxCellY) / 2);

    if (homeDistance >= searchLimit() / 2 && action == ACTION_CHASE) {
        setAction(ACTION_RETURN_HOME);
        pathLength = pathIndex = 0;
        chooseHomeGoal();
        startSearch();
    }

    bool playerAtHome = playerCellX >= homeMinCellX && playerCellX <= homeMaxCellX &&
                        playerCellY >= homeMinCellY && playerCellY <= homeMaxCellY;
    if (!isPlayer && action != ACTION_CHASE && action != ACTION_RETURN_HOME && playerAtHome) {
        goal[0] = player.position[0];
        goal[1] = player.position[1];
        setAction(ACTION_CHASE);
        startAnimation(&ModelSlot::walkAnimation);
        startSearch();
    } else if (action == ACTION_CHASE) {
        updateChase();
    } else if (action == ACTION_RETURN_HOME) {
        updateReturnHome();
    } else if (pathFinished()) {
        updateOnFinishedPath();
    } else {
        stepAlongPath();
        if (pathFinished()) arriveIdle();
    }
}

void ActorController::updateChase() {
    const ActorController& player = playerActor();
    int d = truncatedDistance(goal[0], goal[1], player.position[0], player.position[1]);
    auto goToPlayer = [&] {
        goal[0] = player.position[0];
        goal[1] = player.position[1];
        startSearch();
    };
    if (d >= repathDistance) {
        goToPlayer();
        if (pathFound) startAnimation(&ModelSlot::walkAnimation);
    } else if (!pathFinished()) {
        stepAlongPath();
        if (pathFinished()) startAnimation(&ModelSlot::idleAnimation);
    } else if (!pathFound) {
        search();
        if (pathFound) startAnimation(&ModelSlot::walkAnimation);
    } else if (d >= arriveDistance) {
        goToPlayer();
    }
}

void ActorController::updateReturnHome() {
    if (!goalAccepted) {
        chooseHomeGoal();
        startSearch();
    } else if (pathFinished()) {
        search();
    } else {
        stepAlongPath();
        if (pathFinished()) arriveIdle();
    }
}

void ActorController::updateOnFinishedPath() {
    switch (action) {
    case ACTION_GO_TO_GOAL:
        if (!goalAccepted)
            setAction(previousAction);
        else
            search();
        break;
    case ACTION_WANDER:
        chooseHomeGoal();
        startSearch();
        break;
    case ACTION_IDLE:
        if (idleCountdown > 0) --idleCountdown;
        if (idleCountdown == 0 && !isPlayer) setAction(ACTION_WANDER);
        break;
    default:
        break;
    }
}

void bindPlayer(const ModelSlot* slot) {
    ActorController& player = playerActor();
    player.isPlayer = 1;
    player.setLook(slot, slot ? slot->idleAnimation : 0);
    player.position[0] = START_X;
    player.position[1] = START_Y;
    savedOutsidePosition[0] = START_X;
    savedOutsidePosition[1] = START_Y;
}

void initPlayer() {
    ActorController& player = playerActor();
    player.isPlayer = 1;
    player.setAction(ACTION_IDLE);
    // Actors stand on cell centres between steps. The start point is a cell
    // corner, from which a step toward +x or +y (0.71 of a unit on a diagonal)
    // would not leave the cell, and the first path walked would end short.
    player.position[0] = std::floor(player.position[0]) + 0.5;
    player.position[1] = std::floor(player.position[1]) + 0.5;
    player.stepAlongPath();
}
