// The ground as actors see it: whether a point may be walked on and how high
// the ground is there. The world's answer comes from the local terrain outside
// and from the dungeon inside; tests put a small map of their own in its place.
#pragma once

struct ActorGround {
    bool (*isWalkable)(double x, double y, double z);
    double (*heightAt)(double x, double y, double z);
};

extern ActorGround g_actorGround;

// The world's ground queries, chosen by the engine's in-dungeon flag.
bool worldIsWalkable(double x, double y, double z);
double worldHeightAt(double x, double y, double z);

// Puts the world's queries back (after a test replaced them).
void useWorldGround();
