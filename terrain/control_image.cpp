#include "terrain/terrain_build.h"

// The control images are read with the game's bitmap reader once it exists;
// until then the build runs without dirt and towns.
bool loadControlImage(const std::string&, ControlImage& out) {
    out = ControlImage();
    return false;
}
