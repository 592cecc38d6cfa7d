#include "tools/content/noise.h"
#include "tools/content/textures.h"

#include <algorithm>
#include <cmath>

namespace content {
namespace {

// Cube corners of each face in drawing order; texture (0,0), (0,1), (1,1), (1,0).
constexpr int CORNERS[6][4][3] = {
    {{-8, -8, -8}, {-8, -8, 8}, {-8, 8, 8}, {-8, 8, -8}},
    {{-8, 8, -8}, {-8, 8, 8}, {8, 8, 8}, {8, 8, -8}},
    {{8, 8, -8}, {8, 8, 8}, {8, -8, 8}, {8, -8, -8}},
    {{8, -8, -8}, {8, -8, 8}, {-8, -8, 8}, {-8, -8, -8}},
    {{-8, -8, -8}, {-8, 8, -8}, {8, 8, -8}, {8, -8, -8}},
    {{8, -8, 8}, {8, 8, 8}, {-8, 8, 8}, {-8, -8, 8}},
};

} // namespace

Direction skyDirection(int face, double column, double row, int side) {
    // Texture s runs from corner 0 to corner 3, t from corner 0 to corner 1;
    // the bitmap's bottom row is t = 0.
    double s = (column + 0.5) / side, t = 1.0 - (row + 0.5) / side;
    const auto& c = CORNERS[face];
    Direction d;
    d.x = c[0][0] + s * (c[3][0] - c[0][0]) + t * (c[1][0] - c[0][0]);
    d.y = c[0][1] + s * (c[3][1] - c[0][1]) + t * (c[1][1] - c[0][1]);
    d.z = c[0][2] + s * (c[3][2] - c[0][2]) + t * (c[1][2] - c[0][2]);
    return d;
}

Rgb skyColour(Direction d, std::uint32_t seed) {
    double len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    double x = d.x / len, y = d.y / len, z = d.z / len;
    Rgb zenith = hexColour(0x2E5FB8), upper = hexColour(0x5A8AD8), haze = hexColour(0xC8D4DA);
    Rgb ground = hexColour(0x2A3026), groundFar = hexColour(0x7A8478);
    if (z < 0) {
        // Below the horizon: dark ground fading into the haze at the horizon.
        float f = float(std::pow(std::min(1.0, -z * 4), 0.6));
        return mix(mix(haze, groundFar, 0.6f), ground, f);
    }
    float h = float(z);
    Rgb sky = h < 0.25f ? mix(haze, upper, smoothstep(0.0f, 0.25f, h))
                        : mix(upper, zenith, smoothstep(0.25f, 1.0f, h));
    // Clouds on a flat layer above the eye: their texture coordinates depend on
    // the direction only, so the faces meet without seams.
    double u = x / (z + 0.12) * 1.6, v = y / (z + 0.12) * 1.6;
    float n = fbm(seed, float(u + 40), float(v + 40), 6);
    float cover = smoothstep(0.5f, 0.72f, n) * smoothstep(0.02f, 0.2f, h);
    float shade = 0.78f + 0.22f * fbm(seed + 9, float(u * 2 + 3), float(v * 2 + 5), 3);
    Rgb cloud = mix(hexColour(0x9AA4B4), hexColour(0xFFFFFF), shade);
    // Sun glow in the light's direction (azimuth 230, elevation 60).
    double az = 230 * 3.14159265 / 180, el = 60 * 3.14159265 / 180;
    double sunDot =
        x * std::cos(az) * std::cos(el) + y * std::sin(az) * std::cos(el) + z * std::sin(el);
    float glow = float(std::pow(std::max(0.0, sunDot), 64.0)) * 0.8f +
                 float(std::pow(std::max(0.0, sunDot), 8.0)) * 0.2f;
    Rgb c = mix(sky, cloud, cover);
    return mix(c, hexColour(0xFFF4D8), std::min(1.0f, glow));
}

std::vector<NamedImage> skyFaces(std::uint32_t seed) {
    std::vector<NamedImage> out;
    std::uint32_t s = subSeed(seed, "sky");
    for (int face = 0; face < 6; ++face) {
        Image img(TEXTURE_SIDE, TEXTURE_SIDE);
        for (int row = 0; row < TEXTURE_SIDE; ++row)
            for (int col = 0; col < TEXTURE_SIDE; ++col)
                img.set(col, row, skyColour(skyDirection(face, col, row, TEXTURE_SIDE), s));
        out.push_back({"sky/sky3_" + std::to_string(face) + ".bmp", std::move(img)});
    }
    return out;
}

} // namespace content
