#include "tools/content/md2file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace content {
namespace {

constexpr int HEADER_SIZE = 68;
constexpr int SKIN_NAME_SIZE = 64;
constexpr int FRAME_NAME_SIZE = 16;

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        out.push_back(std::uint8_t(v >> (8 * k)));
}
void put16(std::vector<std::uint8_t>& out, std::int16_t v) {
    out.push_back(std::uint8_t(std::uint16_t(v)));
    out.push_back(std::uint8_t(std::uint16_t(v) >> 8));
}
void putFloat(std::vector<std::uint8_t>& out, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    put32(out, bits);
}
void putText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        out.push_back(i < text.size() && i + 1 < size ? text[i] : 0);
}

std::int32_t get32(const std::vector<std::uint8_t>& in, std::size_t at) {
    return std::int32_t(std::uint32_t(in[at]) | std::uint32_t(in[at + 1]) << 8 |
                        std::uint32_t(in[at + 2]) << 16 | std::uint32_t(in[at + 3]) << 24);
}
std::int16_t get16(const std::vector<std::uint8_t>& in, std::size_t at) {
    return std::int16_t(std::uint16_t(in[at] | in[at + 1] << 8));
}
float getFloat(const std::vector<std::uint8_t>& in, std::size_t at) {
    std::uint32_t bits = std::uint32_t(get32(in, at));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

bool blockInside(std::size_t fileSize, std::int64_t offset, std::int64_t count,
                 std::int64_t itemSize) {
    return offset >= 0 && count >= 0 && offset <= std::int64_t(fileSize) &&
           count * itemSize <= std::int64_t(fileSize) - offset;
}

} // namespace

std::vector<std::uint8_t> encodeMd2(const Md2Data& model) {
    std::int32_t vertexCount =
        model.frames.empty() ? 0 : std::int32_t(model.frames[0].vertices.size());
    std::int32_t frameSize = MD2_FRAME_HEADER + 4 * vertexCount;
    std::int32_t skinsOffset = HEADER_SIZE;
    std::int32_t texOffset = skinsOffset + SKIN_NAME_SIZE;
    std::int32_t triOffset = texOffset + 4 * std::int32_t(model.texCoords.size());
    std::int32_t frameOffset = triOffset + 12 * std::int32_t(model.triangles.size());
    std::int32_t glOffset = frameOffset + frameSize * std::int32_t(model.frames.size());
    std::int32_t end = glOffset + 4; // one terminating zero command
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(end));
    for (std::int32_t v :
         {std::int32_t(0x32504449), std::int32_t(8), std::int32_t(model.skinWidth),
          std::int32_t(model.skinHeight), frameSize, std::int32_t(1), vertexCount,
          std::int32_t(model.texCoords.size()), std::int32_t(model.triangles.size()),
          std::int32_t(1), std::int32_t(model.frames.size()), skinsOffset, texOffset, triOffset,
          frameOffset, glOffset, end})
        put32(out, std::uint32_t(v));
    putText(out, model.skinName, SKIN_NAME_SIZE);
    for (const auto& tc : model.texCoords) {
        put16(out, tc[0]);
        put16(out, tc[1]);
    }
    for (const auto& tri : model.triangles)
        for (std::int16_t v : tri)
            put16(out, v);
    for (const Md2Frame& frame : model.frames) {
        Vec3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
        for (const Vec3& p : frame.vertices) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        if (frame.vertices.empty()) lo = hi = {0, 0, 0};
        auto step = [](double a, double b) { return float(std::max((b - a) / 255.0, 1e-6)); };
        float scale[3] = {step(lo.x, hi.x), step(lo.y, hi.y), step(lo.z, hi.z)};
        float origin[3] = {float(lo.x), float(lo.y), float(lo.z)};
        for (float s : scale)
            putFloat(out, s);
        for (float t : origin)
            putFloat(out, t);
        putText(out, frame.name, FRAME_NAME_SIZE);
        for (const Vec3& p : frame.vertices) {
            double c[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k)
                out.push_back(
                    std::uint8_t(std::clamp(std::lround((c[k] - origin[k]) / scale[k]), 0L, 255L)));
            out.push_back(0); // normal index, not used by the engine
        }
    }
    put32(out, 0);
    return out;
}

bool decodeMd2(const std::vector<std::uint8_t>& bytes, Md2Header& h, Md2Data& model,
               std::string& error) {
    if (bytes.size() < std::size_t(HEADER_SIZE)) {
        error = "shorter than the 68-byte header";
        return false;
    }
    std::int32_t f[17];
    for (int k = 0; k < 17; ++k)
        f[k] = get32(bytes, std::size_t(k) * 4);
    h.magic = f[0], h.version = f[1], h.skinWidth = f[2], h.skinHeight = f[3], h.frameSize = f[4];
    h.skinCount = f[5], h.vertexCount = f[6], h.texCoordCount = f[7], h.triangleCount = f[8];
    h.glCommandCount = f[9], h.frameCount = f[10], h.skinsOffset = f[11], h.texCoordsOffset = f[12];
    h.trianglesOffset = f[13], h.framesOffset = f[14], h.glCommandsOffset = f[15],
    h.endOffset = f[16];
    if (h.version != 8) {
        error = "version " + std::to_string(h.version) + ", not 8";
        return false;
    }
    if (h.vertexCount <= 0 || h.vertexCount > MD2_MAX_VERTICES) {
        error = "vertex count " + std::to_string(h.vertexCount) + " outside 1.." +
                std::to_string(MD2_MAX_VERTICES);
        return false;
    }
    if (h.frameSize != MD2_FRAME_HEADER + 4 * h.vertexCount || h.frameSize > MD2_MAX_FRAME_SIZE) {
        error = "frame size " + std::to_string(h.frameSize) + " does not fit " +
                std::to_string(h.vertexCount) + " vertices";
        return false;
    }
    if (h.skinWidth <= 0 || h.skinHeight <= 0) {
        error = "bad skin size";
        return false;
    }
    std::size_t size = bytes.size();
    if (!blockInside(size, h.skinsOffset, h.skinCount, SKIN_NAME_SIZE) ||
        !blockInside(size, h.texCoordsOffset, h.texCoordCount, 4) ||
        !blockInside(size, h.trianglesOffset, h.triangleCount, 12) ||
        !blockInside(size, h.framesOffset, h.frameCount, h.frameSize)) {
        error = "a block lies outside the file";
        return false;
    }
    model = Md2Data{};
    model.skinWidth = h.skinWidth;
    model.skinHeight = h.skinHeight;
    for (std::int32_t i = 0; i < h.texCoordCount; ++i) {
        std::size_t at = std::size_t(h.texCoordsOffset) + std::size_t(i) * 4;
        model.texCoords.push_back({get16(bytes, at), get16(bytes, at + 2)});
    }
    for (std::int32_t i = 0; i < h.triangleCount; ++i) {
        std::array<std::int16_t, 6> tri;
        for (int k = 0; k < 6; ++k)
            tri[k] = get16(bytes, std::size_t(h.trianglesOffset) + std::size_t(i) * 12 + k * 2);
        for (int k = 0; k < 3; ++k)
            if (tri[k] < 0 || tri[k] >= h.vertexCount || tri[k + 3] < 0 ||
                tri[k + 3] >= h.texCoordCount) {
                error =
                    "triangle " + std::to_string(i) + " points outside the vertex or texture lists";
                return false;
            }
        model.triangles.push_back(tri);
    }
    for (std::int32_t f = 0; f < h.frameCount; ++f) {
        std::size_t at = std::size_t(h.framesOffset) + std::size_t(f) * std::size_t(h.frameSize);
        Md2Frame frame;
        float scale[3], origin[3];
        for (int k = 0; k < 3; ++k) {
            scale[k] = getFloat(bytes, at + k * 4);
            origin[k] = getFloat(bytes, at + 12 + k * 4);
        }
        const char* name = reinterpret_cast<const char*>(&bytes[at + 24]);
        frame.name.assign(name, strnlen(name, FRAME_NAME_SIZE));
        for (std::int32_t v = 0; v < h.vertexCount; ++v) {
            std::size_t p = at + MD2_FRAME_HEADER + std::size_t(v) * 4;
            frame.vertices.push_back({bytes[p] * scale[0] + origin[0],
                                      bytes[p + 1] * scale[1] + origin[1],
                                      bytes[p + 2] * scale[2] + origin[2]});
        }
        model.frames.push_back(std::move(frame));
    }
    return true;
}

} // namespace content
