// Writing MD2 (version 8) files, and reading them back for the check.
#pragma once

#include "tools/content/mesh.h"

#include "model/md2.h" // the header record

#include <cstdint>
#include <string>
#include <vector>

namespace content {

constexpr int MD2_FRAME_HEADER = 40;
// Vertices of the largest frame the engine reads (its frame buffer).
constexpr int MD2_MAX_VERTICES = (MD2_MAX_FRAME_SIZE - MD2_FRAME_HEADER) / 4;

struct Md2Frame {
    std::string name; // at most 15 characters
    std::vector<Vec3> vertices;
};

struct Md2Data {
    int skinWidth = 256, skinHeight = 256;
    std::string skinName;
    std::vector<std::array<std::int16_t, 2>> texCoords;
    std::vector<std::array<std::int16_t, 6>> triangles; // three vertex, three texture indices
    std::vector<Md2Frame> frames;
};

// Each frame is packed to bytes over its own bounding box.
std::vector<std::uint8_t> encodeMd2(const Md2Data& model);

// Reads a whole file, refusing anything whose blocks do not lie inside it or
// whose indices point outside their arrays. Vertices are unpacked.
bool decodeMd2(const std::vector<std::uint8_t>& bytes, ::Md2Header& header, Md2Data& model,
               std::string& error);

} // namespace content
