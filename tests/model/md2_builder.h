// Test support: writes small MD2 files into byte buffers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace md2test {

struct PackedVertex {
    std::uint8_t x = 0, y = 0, z = 0;
};

struct Frame {
    std::string name;
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float translate[3] = {0.0f, 0.0f, 0.0f};
    std::vector<PackedVertex> vertices;
};

struct Triangle {
    std::int16_t vertex[3] = {0, 0, 0};
    std::int16_t texCoord[3] = {0, 0, 0};
};

struct File {
    std::int32_t magic = 0x32504449; // "IDP2"
    std::int32_t version = 8;
    std::int32_t skinWidth = 256;
    std::int32_t skinHeight = 256;
    int skinCount = 1;
    std::vector<std::pair<std::int16_t, std::int16_t>> texCoords;
    std::vector<Triangle> triangles;
    std::vector<Frame> frames;

    // Header, skins, texture coordinates, triangles, then the frames last,
    // so that the file ends with the last frame.
    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> out(68, 0);
        const int vertexCount = frames.empty() ? 0 : int(frames[0].vertices.size());
        const int frameSize = 40 + 4 * vertexCount;
        const int skinsOffset = 68;
        const int texOffset = skinsOffset + 64 * skinCount;
        const int triOffset = texOffset + 4 * int(texCoords.size());
        const int framesOffset = triOffset + 12 * int(triangles.size());
        const int end = framesOffset + frameSize * int(frames.size());
        std::size_t at = 0;
        for (std::int32_t v :
             {magic, version, skinWidth, skinHeight, frameSize, skinCount, vertexCount,
              int(texCoords.size()), int(triangles.size()), 0, int(frames.size()), skinsOffset,
              texOffset, triOffset, framesOffset, end, end}) {
            put32(out, at, v);
            at += 4;
        }
        for (int i = 0; i < 64 * skinCount; ++i)
            out.push_back(0); // skin names, unread
        for (auto [s, t] : texCoords) {
            add16(out, s);
            add16(out, t);
        }
        for (const Triangle& t : triangles) {
            for (auto v : t.vertex)
                add16(out, v);
            for (auto v : t.texCoord)
                add16(out, v);
        }
        for (const Frame& f : frames) {
            for (float v : f.scale)
                addFloat(out, v);
            for (float v : f.translate)
                addFloat(out, v);
            char name[16] = {};
            std::memcpy(name, f.name.data(), std::min<std::size_t>(16, f.name.size()));
            out.insert(out.end(), name, name + 16);
            for (const PackedVertex& v : f.vertices)
                out.insert(out.end(), {v.x, v.y, v.z, 0});
        }
        return out;
    }

    static void put32(std::vector<std::uint8_t>& out, std::size_t at, std::int32_t v) {
        for (int k = 0; k < 4; ++k)
            out[at + k] = std::uint8_t(std::uint32_t(v) >> (8 * k));
    }
    static void add16(std::vector<std::uint8_t>& out, std::int16_t v) {
        out.push_back(std::uint8_t(std::uint16_t(v) & 0xFF));
        out.push_back(std::uint8_t(std::uint16_t(v) >> 8));
    }
    static void addFloat(std::vector<std::uint8_t>& out, float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        for (int k = 0; k < 4; ++k)
            out.push_back(std::uint8_t(bits >> (8 * k)));
    }
};

// A frame of n vertices at the origin.
inline Frame frame(const std::string& name, std::size_t vertexCount = 3) {
    Frame f;
    f.name = name;
    f.vertices.assign(vertexCount, PackedVertex{});
    return f;
}

// A file whose frames carry the given names, with one triangle over three vertices.
inline File fileWithFrames(const std::vector<std::string>& names) {
    File file;
    file.texCoords = {{0, 0}, {256, 0}, {0, 256}};
    file.triangles = {Triangle{{0, 1, 2}, {0, 1, 2}}};
    for (const std::string& n : names)
        file.frames.push_back(frame(n));
    return file;
}

// Names base01 ... baseNN.
inline std::vector<std::string> numbered(const std::string& base, int count, int first = 1) {
    std::vector<std::string> names;
    for (int n = first; n < first + count; ++n)
        names.push_back(base + (n < 10 ? "0" : "") + std::to_string(n));
    return names;
}

} // namespace md2test
