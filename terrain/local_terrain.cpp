#include "terrain/local_terrain.h"

#include "core/camera.h"
#include "core/settings.h"

#include <algorithm>

int LocalTerrain::windowPages() {
    return std::clamp(g_settings.terrainWindowPages, 1, MAX_WINDOW_PAGES);
}

int LocalTerrain::windowRadius() {
    return (windowPages() - 1) / 2;
}

namespace {
// Coordinates this far out are nowhere near the map (and would not fit an int).
constexpr double FAR_AWAY = 1.0e9;
bool nearMap(double v) {
    return v > -FAR_AWAY && v < FAR_AWAY;
}
} // namespace

int windowCentre(double coordinate) {
    if (!nearMap(coordinate)) return coordinate > 0 ? MAP_SIZE * 4 : -MAP_SIZE * 4;
    return int(coordinate / PAGE_SIZE) * PAGE_SIZE;
}

LocalTerrain::LocalTerrain(const TerrainList& list) {
    rebuild(list);
}

LocalTerrain::LocalTerrain(const TerrainList& list, double cameraX, double cameraY) {
    rebuild(list, cameraX, cameraY);
}

void LocalTerrain::rebuild(const TerrainList& list) {
    rebuild(list, g_camera.eye[0], g_camera.eye[1]);
}

void LocalTerrain::rebuild(const TerrainList& list, double cameraX, double cameraY) {
    centreX = windowCentre(cameraX);
    centreY = windowCentre(cameraY);
    const int n = windowPages(), r = windowRadius();
    for (auto& column : pages)
        for (TerrainPage*& p : column)
            p = nullptr;
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b)
            pages[a][b] =
                list.findPage(centreX + (a - r) * PAGE_SIZE, centreY + (b - r) * PAGE_SIZE);
}

void LocalTerrain::update(const TerrainList& list) {
    update(list, g_camera.eye[0], g_camera.eye[1]);
}

namespace {
int sign(int v) {
    return (v > 0) - (v < 0);
}
} // namespace

void LocalTerrain::update(const TerrainList& list, double cameraX, double cameraY) {
    const int cx = windowCentre(cameraX), cy = windowCentre(cameraY);
    if (cx == centreX && cy == centreY) return;
    const int sx = sign(cx - centreX), sy = sign(cy - centreY);
    const int n = windowPages(), r = windowRadius();
    // Walk against the shift so that every cell is read before it is
    // overwritten.
    const int aStart = sx < 0 ? n - 1 : 0, aStep = sx < 0 ? -1 : 1;
    const int bStart = sy < 0 ? n - 1 : 0, bStep = sy < 0 ? -1 : 1;
    for (int ak = 0, a = aStart; ak < n; ++ak, a += aStep) {
        for (int bk = 0, b = bStart; bk < n; ++bk, b += bStep) {
            const int fa = a + sx, fb = b + sy;
            if (fa >= 0 && fa < n && fb >= 0 && fb < n)
                pages[a][b] = pages[fa][fb];
            else
                pages[a][b] =
                    list.findPage(centreX + (fa - r) * PAGE_SIZE, centreY + (fb - r) * PAGE_SIZE);
        }
    }
    centreX = cx;
    centreY = cy;
}

TerrainPage* LocalTerrain::locate(double x, double y, double& lx, double& ly) const {
    lx = ly = 0.0;
    if (!nearMap(x) || !nearMap(y)) return nullptr;
    const int ox = int(x) / PAGE_SIZE * PAGE_SIZE, oy = int(y) / PAGE_SIZE * PAGE_SIZE;
    const int n = windowPages();
    // The window holds its pages in order from its first corner, so the page
    // is found by arithmetic; a window shifted by only one page after a long
    // jump of the camera holds them elsewhere, and is searched as a whole.
    const int r = windowRadius();
    const int a0 = (ox - (centreX - r * PAGE_SIZE)) / PAGE_SIZE;
    const int b0 = (oy - (centreY - r * PAGE_SIZE)) / PAGE_SIZE;
    if (a0 >= 0 && a0 < n && b0 >= 0 && b0 < n) {
        TerrainPage* p = pages[a0][b0];
        if (p && p->originX == ox && p->originY == oy) {
            lx = (x - p->originX) / CELL_SIZE;
            ly = (y - p->originY) / CELL_SIZE;
            return p;
        }
    }
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            TerrainPage* p = pages[a][b];
            if (p && p->originX == ox && p->originY == oy) {
                lx = (x - p->originX) / CELL_SIZE;
                ly = (y - p->originY) / CELL_SIZE;
                return p;
            }
        }
    lx = ly = 0.0;
    return nullptr;
}

float interpolateGrid(const float (&v)[PAGE_VERTS][PAGE_VERTS], double lx, double ly) {
    if (!(lx >= 0.0 && lx < PAGE_VERTS && ly >= 0.0 && ly < PAGE_VERTS)) return 0.0f;
    // The last vertex has no cell beyond it: use the cell before, at its far side.
    const int i = std::min(int(lx), PAGE_CELLS - 1), j = std::min(int(ly), PAGE_CELLS - 1);
    const double fx = lx - i, fy = ly - j;
    const double h00 = v[i][j], h01 = v[i][j + 1], h11 = v[i + 1][j + 1], h10 = v[i + 1][j];
    if (fy <= fx) return float((h11 - h10) * fy + (h00 - h10) * (1 - fx) + h10);
    return float((h00 - h01) * (1 - fy) + (h11 - h01) * fx + h01);
}

float LocalTerrain::heightAt(double x, double y, double) const {
    double lx, ly;
    const TerrainPage* p = locate(x, y, lx, ly);
    return p ? interpolateGrid(p->height, lx, ly) : 0.0f;
}

float LocalTerrain::lightAt(double x, double y, double) const {
    double lx, ly;
    const TerrainPage* p = locate(x, y, lx, ly);
    return p ? interpolateGrid(p->light, lx, ly) : 0.0f;
}

bool LocalTerrain::isWalkable(double x, double y, double) const {
    double lx, ly;
    const TerrainPage* p = locate(x, y, lx, ly);
    if (!p) return true;
    const int i = int(lx), j = int(ly);
    if (i < 0 || i > PAGE_CELLS || j < 0 || j > PAGE_CELLS) return true;
    return p->blocked[i][j] == 0;
}
