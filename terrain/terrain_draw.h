// Drawing the local terrain: which pages of the window are in view, how
// coarsely each is drawn, the seams between pages of different detail, and
// the textured, lit strips with the dirt pass and the walk map.
#pragma once

#include "terrain/local_terrain.h"

// Headings (radians from +x, counter-clockwise) the view takes in: from
// start to end, start in [0, 2 pi). Widens as the eye rises.
struct ViewCone {
    double start = 0.0, end = 0.0;
};
ViewCone viewCone(float yaw, double eyeZ, float heightScale);
// Heading of (dx, dy) in [0, 2 pi).
double headingOf(double dx, double dy);
// True when either heading lies in the cone (a1 is taken one turn on when
// it is below a2, and a2 is also tried one turn on).
bool coneHolds(const ViewCone& cone, double a1, double a2);

// The two corners of window cell (a, b)'s page tested against the cone,
// chosen by the cell's place relative to the centre cell (radius r).
void pageCornersToTest(int a, int b, int r, int originX, int originY, double corners[2][2]);
// Level of detail of a page at distance d (1 nearest .. 5 coarsest), and its
// vertex step 2^level.
int lodLevelAt(double distance, int lodDistance);
inline int lodStepOf(int level) {
    return 1 << level;
}

// Bends one edge line of a page to follow a neighbour D levels coarser:
// vertices between the neighbour's vertices are moved onto the straight
// line joining them. line holds the page's own heights along that edge.
void bendEdge(float (&edge)[PAGE_VERTS], const float (&line)[PAGE_VERTS], int step,
              int levelsCoarser);

// Sets visible, lodLevel and lodStep of every page of the window for an eye
// at (eyeX, eyeY, eyeZ) looking along yaw.
void assignTerrainDetail(LocalTerrain& window, const double eye[3], float yaw);

// The objects standing on a page: its portals, its buildings at the page's
// detail and its decor, every third triangle of it when reduced is 1 (needs
// a GL context).
void drawPageObjects(const TerrainPage& p, int reduced);

// Draws the window's visible pages (needs a current GL context).
void drawTerrain(LocalTerrain& window);

// Vertex columns written by the last drawTerrain, times two.
extern long g_terrainTriangles;
