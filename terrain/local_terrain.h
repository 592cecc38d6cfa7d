// The window of N x N pages around the page under the camera, and the
// ground questions asked of it: height, light and walkability at a point.
// Points outside the window get the "nothing here" answers (0.0, 0.0, true).
#pragma once

#include "terrain/terrain.h"

constexpr int MAX_WINDOW_PAGES = 11;

class LocalTerrain {
  public:
    // Indexed [x step][y step]; null beyond the map's edges.
    TerrainPage* pages[MAX_WINDOW_PAGES][MAX_WINDOW_PAGES] = {};
    // Origin of the page under the camera at the last rebuild or update.
    int centreX = 0, centreY = 0;

    // Fills the window around the camera (g_camera.eye) from the list.
    explicit LocalTerrain(const TerrainList& list);
    LocalTerrain(const TerrainList& list, double cameraX, double cameraY);

    // Recomputes the centre and fills every cell with a list search.
    void rebuild(const TerrainList& list, double cameraX, double cameraY);
    void rebuild(const TerrainList& list);
    // Follows the camera: shifts the window by at most one page per axis,
    // reusing the references it has and searching only for the new ones.
    void update(const TerrainList& list, double cameraX, double cameraY);
    void update(const TerrainList& list);

    // The window's page holding (x, y), with the point's cell coordinates on
    // it; null (and 0, 0) when the window has none.
    TerrainPage* locate(double x, double y, double& lx, double& ly) const;
    float heightAt(double x, double y, double z = 0.0) const;
    float lightAt(double x, double y, double z = 0.0) const;
    bool isWalkable(double x, double y, double z = 0.0) const;

    // Window size and radius from the detail level (N, (N - 1) / 2).
    static int windowPages();
    static int windowRadius();
};

// Centre of the window for a camera position: the origin of the page under
// it, truncating toward zero (so -256 < x < 0 counts as page 0).
int windowCentre(double coordinate);
// Interpolates a 65 x 65 vertex grid at cell coordinates (lx, ly), splitting
// each cell along its diagonal from (i, j) to (i + 1, j + 1); 0.0 outside
// 0 <= lx, ly < 65.
float interpolateGrid(const float (&grid)[PAGE_VERTS][PAGE_VERTS], double lx, double ly);
