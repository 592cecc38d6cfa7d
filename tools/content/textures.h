// World textures, particle sprites, splash pictures and the sky faces.
#pragma once

#include "tools/content/image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace content {

constexpr int TEXTURE_SIDE = 256;

struct NamedImage {
    std::string file; // relative to the data folder
    Image image;
};

// grass, rock, path, door, stairs, chest, roof, wall0-7, dungeon0-7, floor0-7.
std::vector<NamedImage> worldTextures(std::uint32_t seed);
// sprite0 .. sprite5: light on black.
std::vector<NamedImage> spriteTextures(std::uint32_t seed);
// splash1 .. splash3.
std::vector<NamedImage> splashImages(std::uint32_t seed);

// Sky set 3: faces 0..5 as the engine draws them (x -8, y +8, x +8, y -8, below, above).
std::vector<NamedImage> skyFaces(std::uint32_t seed);
// The view direction through texel (column, row from the top) of a sky face.
struct Direction {
    double x, y, z;
};
Direction skyDirection(int face, double column, double row, int side);
// Colour of the sky in a direction (unit length not needed).
Rgb skyColour(Direction d, std::uint32_t seed);

} // namespace content
