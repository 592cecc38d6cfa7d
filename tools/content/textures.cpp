#include "tools/content/textures.h"

#include "tools/content/noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace content {
namespace {

constexpr int N = TEXTURE_SIDE;
Rgb C(std::uint32_t hex) {
    return hexColour(hex);
}

Image paint(const std::function<Rgb(int, int)>& f) {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            img.set(x, y, f(x, y));
    return img;
}

// Tileable fbm: base cells of `cell` texels, wrapping at the texture edge.
float tile(std::uint32_t seed, float x, float y, int cell, int octaves, float gain = 0.5f) {
    return fbm(seed, x / cell, y / cell, octaves, N / cell, gain);
}

Image grass(std::uint32_t s) {
    return paint([&](int x, int y) {
        float base = tile(s, x, y, 32, 5);
        float blades = tile(s + 1, x, y, 2, 2);
        float patches = tile(s + 2, x, y, 64, 3);
        Rgb c = mix(C(0x3C6A24), C(0x6E9A38), base);
        c = mix(c, C(0x8A8A40), smoothstep(0.55f, 0.75f, patches) * 0.5f);
        return c * (0.75f + 0.45f * blades);
    });
}

Image rock(std::uint32_t s) {
    return paint([&](int x, int y) {
        CellDistance c = cellular(s, x / 32.0f, y / 32.0f, N / 32);
        float crack = smoothstep(0.0f, 0.06f, c.second - c.nearest);
        float grain = tile(s + 3, x, y, 16, 5);
        Rgb col = mix(C(0x6A665E), C(0xA09A8E), grain);
        col = mix(col, C(0x7A7468), (c.id & 255) / 255.0f * 0.4f);
        return col * (0.55f + 0.45f * crack);
    });
}

Image path(std::uint32_t s) {
    Image img = paint([&](int x, int y) {
        float n = tile(s, x, y, 32, 5);
        return mix(C(0x6A5238), C(0x9A7E58), n) * (0.85f + 0.2f * tile(s + 1, x, y, 4, 2));
    });
    Rng rng(s);
    for (int k = 0; k < 140; ++k) {
        float px = float(rng.range(0, N)), py = float(rng.range(0, N)),
              r = float(rng.range(1.0, 3.0));
        Rgb stone = mix(C(0x807870), C(0xB0A898), float(rng.uniform()));
        for (int dx : {-N, 0, N})
            for (int dy : {-N, 0, N}) {
                img.disc(px + dx + 0.6f, py + dy + 0.8f, r, C(0x3A2E20), 0.6f);
                img.disc(px + dx, py + dy, r, stone);
            }
    }
    return img;
}

// Planks running vertically, with grain, gaps and nail heads.
Image planks(std::uint32_t s, Rgb light, Rgb dark, int plankWidth) {
    return paint([&](int x, int y) {
        int plank = x / plankWidth;
        float grain = std::sin(x * 0.7f + tile(s + plank, x, y, 32, 3) * 10 + plank * 3);
        Rgb c = mix(dark, light,
                    0.5f + 0.35f * grain + 0.15f * float(hash3(s, plank, 0) % 100) / 100.0f);
        if (x % plankWidth < 2) c = c * 0.4f;
        return c;
    });
}

void ironBand(Image& img, int y0, int y1, std::uint32_t s) {
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < N; ++x) {
            float n = tile(s, x, y, 8, 2);
            img.set(x, y,
                    mix(C(0x2E2E32), C(0x5A5A62), n) * (y == y0 || y == y1 - 1 ? 0.6f : 1.0f));
        }
    for (int x = 12; x < N; x += 32) {
        img.disc(float(x), (y0 + y1) / 2.0f, 3.0f, C(0x1A1A1C));
        img.disc(x - 0.8f, (y0 + y1) / 2.0f - 0.8f, 1.6f, C(0x8A8A92));
    }
}

Image door(std::uint32_t s) {
    Image img = planks(s, C(0x8A6038), C(0x4A3018), 32);
    ironBand(img, 36, 50, s + 1);
    ironBand(img, 200, 214, s + 2);
    img.disc(200, 128, 10, C(0x2A2A2E));
    img.disc(200, 128, 6, C(0x6A6A72));
    img.disc(198, 126, 2, C(0xB0B0B8));
    return img;
}

Image chest(std::uint32_t s) {
    Image img = planks(s, C(0x9A6A38), C(0x5A3A18), 42);
    for (int band : {0, 120, 240})
        ironBand(img, band, band + 16, s + band);
    for (int x = 0; x < N; ++x) {
        for (int y = 0; y < N; ++y)
            if (x < 12 || x >= N - 12)
                img.set(x, y, mix(C(0x3A3A40), C(0x6A6A70), tile(s + 9, x, y, 8, 2)));
    }
    img.rect(108, 100, 148, 150, C(0xB08830));
    img.rect(112, 104, 144, 146, C(0xD8B040));
    img.disc(128, 120, 5, C(0x201808));
    img.rect(126, 120, 130, 136, C(0x201808));
    return img;
}

Image stairs(std::uint32_t s) {
    return paint([&](int x, int y) {
        int step = y / 32, within = y % 32;
        float n = tile(s, x, y, 16, 4);
        Rgb c = mix(C(0x6E6A62), C(0xA8A296), n);
        float light = within < 6 ? 1.15f : (within > 27 ? 0.45f : 0.85f - within * 0.006f);
        float joint = (x + step * 40) % 96 < 2 ? 0.5f : 1.0f;
        return c * (light * joint);
    });
}

// Light grey tiles: the roof is coloured by each building's tint.
Image roof(std::uint32_t s) {
    return paint([&](int x, int y) {
        int row = y / 16, within = y % 16;
        int tileX = (x + (row % 2) * 16) / 32;
        float tx = float((x + (row % 2) * 16) % 32);
        float curve = 1.0f - std::pow(std::fabs(tx - 16) / 16, 2.0f) * 0.35f;
        float edge = within > 13 ? 0.45f : 0.8f + within * 0.015f;
        float n = tile(s, x, y, 16, 3);
        float tone = 0.75f + 0.2f * float(hash3(s, tileX, row) % 100) / 100.0f;
        return mix(C(0xC8C0B8), C(0xF0ECE4), n) * (curve * edge * tone);
    });
}

// Blocks of a masonry wall: rows of height h, blocks of width w (offset every other row).
Image masonry(std::uint32_t s, int w, int h, Rgb a, Rgb b, Rgb mortar, float moss) {
    return paint([&](int x, int y) {
        int row = y / h;
        int off = (row % 2) * (w / 2);
        int bx = ((x + off) % N) / w;
        int lx = (x + off) % w, ly = y % h;
        bool joint = lx < 2 || ly < 2;
        float n = tile(s, x, y, 16, 4);
        float tone = float(hash3(s, bx, row) % 100) / 100.0f;
        Rgb c = mix(a, b, tone * 0.6f + n * 0.4f);
        float edge = 1.0f - 0.25f * (1.0f - smoothstep(0.0f, 4.0f,
                                                       float(std::min({lx, ly, w - lx, h - ly}))));
        c = c * edge;
        if (moss > 0)
            c = mix(c, C(0x4A6A30), smoothstep(0.6f, 0.8f, tile(s + 5, x, y, 32, 3)) * moss);
        return joint ? mortar * (0.8f + 0.3f * n) : c;
    });
}

Image plaster(std::uint32_t s, Rgb a, Rgb beam, bool timber) {
    return paint([&](int x, int y) {
        float n = tile(s, x, y, 32, 5);
        Rgb c = mix(a * 0.85f, a, n);
        if (timber) {
            bool post = x % 128 < 14 || y % 128 < 14;
            int d = (x % 128) - (y % 128);
            bool brace = std::abs(d) < 8;
            if (post || brace) c = mix(beam * 0.7f, beam, tile(s + 1, x, y * 4, 16, 3));
        }
        return c;
    });
}

Image logs(std::uint32_t s) {
    return paint([&](int x, int y) {
        float within = float(y % 32) / 32.0f;
        float round = std::sqrt(std::max(0.0f, 1.0f - std::pow(within * 2 - 1, 2.0f)));
        float grain = tile(s + y / 32, float(x), float(y * 6), 32, 3);
        return mix(C(0x4A3018), C(0x8A6038), grain) * (0.35f + 0.7f * round);
    });
}

Image flagstones(std::uint32_t s, Rgb a, Rgb b, int cell, float moss) {
    return paint([&](int x, int y) {
        CellDistance c = cellular(s, float(x) / cell, float(y) / cell, N / cell);
        float gap = smoothstep(0.02f, 0.1f, c.second - c.nearest);
        float n = tile(s + 1, x, y, 16, 4);
        Rgb col = mix(a, b, (c.id & 255) / 255.0f * 0.5f + n * 0.5f);
        if (moss > 0) col = mix(col, C(0x3A5A28), (1 - gap) * moss);
        return col * (0.35f + 0.65f * gap);
    });
}

Image squareTiles(std::uint32_t s, Rgb a, Rgb b, int cell) {
    return paint([&](int x, int y) {
        int tx = x / cell, ty = y / cell, lx = x % cell, ly = y % cell;
        bool joint = lx < 2 || ly < 2;
        float n = tile(s, x, y, 16, 4);
        Rgb col = ((tx + ty) % 2 ? a : b) * (0.8f + 0.25f * n);
        return joint ? C(0x2A2622) : col;
    });
}

// Light on black: a soft round puff.
Image softBlob(float radius, float softness, Rgb colour, std::uint32_t s, float noise) {
    return paint([&](int x, int y) {
        float d = std::hypot(x + 0.5f - N / 2.0f, y + 0.5f - N / 2.0f) / radius;
        float n = noise > 0 ? tile(s, x, y, 32, 4) : 0.5f;
        float a = std::clamp(1.0f - smoothstep(1.0f - softness, 1.0f, d + (n - 0.5f) * noise), 0.0f,
                             1.0f);
        return colour * a;
    });
}

Image ring(Rgb colour, float radius, float width) {
    return paint([&](int x, int y) {
        float d = std::hypot(x + 0.5f - N / 2.0f, y + 0.5f - N / 2.0f);
        float a = std::exp(-std::pow((d - radius) / width, 2.0f));
        return colour * a;
    });
}

Image cross(Rgb colour) {
    Image img(N, N);
    img.line(56, 56, 200, 200, 26, colour * 0.4f);
    img.line(200, 56, 56, 200, 26, colour * 0.4f);
    img.line(60, 60, 196, 196, 14, colour);
    img.line(196, 60, 60, 196, 14, colour);
    return img;
}

Image spark() {
    return paint([&](int x, int y) {
        float dx = std::fabs(x + 0.5f - N / 2.0f), dy = std::fabs(y + 0.5f - N / 2.0f);
        float core = std::exp(-(dx * dx + dy * dy) / 300.0f);
        float rays = std::exp(-dx / 3.0f) * std::exp(-dy / 60.0f) +
                     std::exp(-dy / 3.0f) * std::exp(-dx / 60.0f);
        float a = std::min(1.0f, core + rays * 0.8f);
        return mix(C(0xFF8020), C(0xFFFFE0), core) * a;
    });
}

// A simple stroke font for the title pictures: each letter is line segments on a 4 x 6 grid.
void drawText(Image& img, const std::string& text, float x, float y, float size, float weight,
              Rgb colour) {
    static const std::array<std::pair<char, std::vector<std::array<float, 4>>>, 12> font{{
        {'Z', {{0, 0, 4, 0}, {4, 0, 0, 6}, {0, 6, 4, 6}}},
        {'E', {{0, 0, 0, 6}, {0, 0, 4, 0}, {0, 3, 3, 3}, {0, 6, 4, 6}}},
        {'B',
         {{0, 0, 0, 6},
          {0, 0, 3, 0},
          {3, 0, 4, 1},
          {4, 1, 4, 2},
          {4, 2, 3, 3},
          {0, 3, 3, 3},
          {3, 3, 4, 4},
          {4, 4, 4, 5},
          {4, 5, 3, 6},
          {3, 6, 0, 6}}},
        {'L', {{0, 0, 0, 6}, {0, 6, 4, 6}}},
        {'O',
         {{0, 1, 1, 0},
          {1, 0, 3, 0},
          {3, 0, 4, 1},
          {4, 1, 4, 5},
          {4, 5, 3, 6},
          {3, 6, 1, 6},
          {1, 6, 0, 5},
          {0, 5, 0, 1}}},
        {'A', {{0, 6, 2, 0}, {2, 0, 4, 6}, {1, 3.5f, 3, 3.5f}}},
        {'D',
         {{0, 0, 0, 6},
          {0, 0, 2.5f, 0},
          {2.5f, 0, 4, 1.5f},
          {4, 1.5f, 4, 4.5f},
          {4, 4.5f, 2.5f, 6},
          {2.5f, 6, 0, 6}}},
        {'I', {{2, 0, 2, 6}, {1, 0, 3, 0}, {1, 6, 3, 6}}},
        {'N', {{0, 6, 0, 0}, {0, 0, 4, 6}, {4, 6, 4, 0}}},
        {'G',
         {{4, 1, 3, 0},
          {3, 0, 1, 0},
          {1, 0, 0, 1},
          {0, 1, 0, 5},
          {0, 5, 1, 6},
          {1, 6, 3, 6},
          {3, 6, 4, 5},
          {4, 5, 4, 3},
          {4, 3, 2, 3}}},
        {'.', {{1.8f, 5.6f, 2.2f, 6}}},
        {' ', {}},
    }};
    float cx = x;
    for (char ch : text) {
        for (const auto& [letter, strokes] : font)
            if (letter == ch)
                for (const auto& s : strokes)
                    img.line(cx + s[0] * size, y + s[1] * size, cx + s[2] * size, y + s[3] * size,
                             weight, colour);
        cx += size * 5.5f;
    }
}

// A valley at dusk: layered hills, a castle on a crag and a sunset.
Image landscape(std::uint32_t s, int side, float darkness) {
    Image img(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            float t = float(y) / side;
            Rgb sky = mix(C(0x1A2A5A), C(0xF0A060), smoothstep(0.0f, 0.62f, t));
            float sun = std::exp(
                -std::pow(std::hypot(x - side * 0.7f, y - side * 0.55f) / (side * 0.06f), 2.0f));
            sky = mix(sky, C(0xFFF0C0), sun);
            Rgb c = sky;
            for (int layer = 0; layer < 3; ++layer) {
                float base = side * (0.58f + layer * 0.12f);
                float h = fbm(s + layer, x / (side * 0.25f), float(layer), 4) * side *
                          (0.22f - layer * 0.04f);
                if (y > base - h)
                    c = mix(C(0x2A2238), C(0x0E140E), layer / 2.0f) * (1.0f - 0.1f * layer);
            }
            img.set(x, y, c * (1.0f - darkness));
        }
    // Castle silhouette on the left crag.
    Rgb dark = C(0x100C14) * (1.0f - darkness);
    float bx = side * 0.16f, by = side * 0.56f, u = side / 64.0f;
    img.rect(int(bx), int(by - 6 * u), int(bx + 12 * u), int(by + 4 * u), dark);
    img.rect(int(bx - 2 * u), int(by - 12 * u), int(bx + 2 * u), int(by + 4 * u), dark);
    img.rect(int(bx + 10 * u), int(by - 10 * u), int(bx + 14 * u), int(by + 4 * u), dark);
    for (int k = 0; k < 5; ++k)
        img.rect(int(bx + k * 2.6f * u), int(by - 7.5f * u), int(bx + k * 2.6f * u + 1.3f * u),
                 int(by - 6 * u), dark);
    return img;
}

void title(Image& img, const std::string& text, float cy, float size) {
    float width = text.size() * size * 5.5f - size * 1.5f;
    float x = (img.width - width) / 2;
    drawText(img, text, x + size * 0.25f, cy + size * 0.25f, size, size * 1.1f, C(0x100808));
    drawText(img, text, x, cy, size, size * 0.9f, C(0xD8A030));
    drawText(img, text, x, cy, size, size * 0.35f, C(0xFFF0B0));
}

} // namespace

std::vector<NamedImage> worldTextures(std::uint32_t seed) {
    std::uint32_t s = subSeed(seed, "textures");
    std::vector<NamedImage> out;
    out.push_back({"grass.bmp", grass(s + 1)});
    out.push_back({"rock.bmp", rock(s + 2)});
    out.push_back({"path.bmp", path(s + 3)});
    out.push_back({"door.bmp", door(s + 4)});
    out.push_back({"stairs.bmp", stairs(s + 5)});
    out.push_back({"chest.bmp", chest(s + 6)});
    out.push_back({"roof.bmp", roof(s + 7)});
    std::vector<Image> walls;
    walls.push_back(plaster(s + 10, C(0xE0D4B8), C(0x4A3020), true));
    walls.push_back(masonry(s + 11, 32, 16, C(0x8A3A28), C(0xB05A3A), C(0xB0A890), 0));
    walls.push_back(masonry(s + 12, 64, 32, C(0x8A8478), C(0xB8B0A0), C(0x5A5650), 0.2f));
    walls.push_back(logs(s + 13));
    walls.push_back(plaster(s + 14, C(0xF0ECE0), C(0x2A2018), false));
    walls.push_back(flagstones(s + 15, C(0x7A7468), C(0xA8A090), 32, 0));
    walls.push_back(planks(s + 16, C(0x6A4A30), C(0x3A2416), 32));
    walls.push_back(plaster(s + 17, C(0xC8A878), C(0x5A3A20), true));
    for (int k = 0; k < 8; ++k)
        out.push_back({"wall" + std::to_string(k) + ".bmp", std::move(walls[k])});
    const std::array<std::array<std::uint32_t, 3>, 8> dungeon{{{0x5A5650, 0x7A766E, 0x2A2824},
                                                               {0x4A4238, 0x6E6254, 0x201C18},
                                                               {0x3A3E44, 0x5A6068, 0x1A1C20},
                                                               {0x5A4A3A, 0x7A6450, 0x2A2018},
                                                               {0x4E5248, 0x6A7060, 0x22241E},
                                                               {0x6A645A, 0x8E887C, 0x302C28},
                                                               {0x3E3630, 0x5E5248, 0x1A1612},
                                                               {0x545A5E, 0x767E84, 0x24282A}}};
    for (int k = 0; k < 8; ++k) {
        // Block sizes divide the texture so that it tiles.
        int w = k % 3 == 1 ? 32 : 64, h = k % 2 ? 32 : 16;
        out.push_back({"dungeon" + std::to_string(k) + ".bmp",
                       masonry(s + 20 + k, w, h, C(dungeon[k][0]), C(dungeon[k][1]),
                               C(dungeon[k][2]), k % 2 ? 0.35f : 0.1f)});
    }
    for (int k = 0; k < 8; ++k) {
        Rgb a = C(dungeon[(k + 3) % 8][0]), b = C(dungeon[(k + 3) % 8][1]);
        Image floor = k % 3 == 2
                          ? squareTiles(s + 30 + k, a, b, 32)
                          : flagstones(s + 30 + k, a, b, k % 3 == 0 ? 32 : 64, k % 2 ? 0.3f : 0.0f);
        out.push_back({"floor" + std::to_string(k) + ".bmp", std::move(floor)});
    }
    return out;
}

std::vector<NamedImage> spriteTextures(std::uint32_t seed) {
    std::uint32_t s = subSeed(seed, "sprites");
    std::vector<NamedImage> out;
    out.push_back({"sprite0.bmp", softBlob(110, 0.9f, C(0xC8C8C8), s, 0.5f)});  // smoke puff
    out.push_back({"sprite1.bmp", spark()});                                    // spark
    out.push_back({"sprite2.bmp", ring(C(0x40FF60), 90, 12)});                  // click marker
    out.push_back({"sprite3.bmp", cross(C(0xFF3020))});                         // failed path
    out.push_back({"sprite4.bmp", softBlob(120, 1.0f, C(0xFFC060), s + 1, 0)}); // warm glow
    Image magic = ring(C(0x6080FF), 70, 20);
    Image core = softBlob(60, 1.0f, C(0xA0C0FF), s + 2, 0);
    for (std::size_t i = 0; i < magic.pixels.size(); ++i)
        magic.pixels[i] = std::uint8_t(std::min(255, magic.pixels[i] + core.pixels[i]));
    out.push_back({"sprite5.bmp", std::move(magic)}); // magic ring
    return out;
}

std::vector<NamedImage> splashImages(std::uint32_t seed) {
    std::uint32_t s = subSeed(seed, "splash");
    constexpr int side = 512;
    std::vector<NamedImage> out;
    Image first = landscape(s, side, 0.0f);
    title(first, "ZEB", side * 0.14f, side / 24.0f);
    out.push_back({"splash1.bmp", std::move(first)});
    Image loading = landscape(s, side, 0.45f);
    title(loading, "ZEB", side * 0.14f, side / 24.0f);
    drawText(loading, "LOADING...", side * 0.3f, side * 0.86f, side / 90.0f, side / 160.0f,
             C(0xE0D0B0));
    out.push_back({"splash2.bmp", std::move(loading)});
    Image third = landscape(s + 7, side, 0.2f);
    title(third, "ZEB", side * 0.38f, side / 16.0f);
    out.push_back({"splash3.bmp", std::move(third)});
    return out;
}

} // namespace content
