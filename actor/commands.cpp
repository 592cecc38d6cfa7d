#include "actor/commands.h"

#include "actor/controller.h"
#include "actor/ground.h"
#include "render/particles.h"

namespace {

void putMarker(int kind, double x, double y) {
    double z = g_actorGround.heightAt(x, y, 0.0) + MARKER_HEIGHT;
    g_particles.spawnParticle(kind, float(x), float(y), float(z));
}

} // namespace

bool walkPlayerTo(double x, double y) {
    ActorController& player = playerActor();
    player.goal[0] = x;
    player.goal[1] = y;
    player.startSearch();
    putMarker(player.goalAccepted ? PARTICLE_CLICK_MARKER : PARTICLE_PATH_FAILED, x, y);
    return player.goalAccepted;
}

void stepPlayerAnimation(int delta) {
    ModelInstance& instance = playerActor().instance;
    instance.setAnimation(instance.animation + delta);
}

void movePlayer(int action) {
    ActorController& player = playerActor();
    switch (action) {
    case 11:
        player.moveForward();
        break;
    case 12:
        player.moveBackward();
        break;
    case 13:
        player.moveLeft();
        break;
    case 14:
        player.moveRight();
        break;
    default:
        break;
    }
}
