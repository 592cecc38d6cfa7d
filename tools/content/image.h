// RGB images kept top row first, and their 24-bit Windows bitmap form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator-(Rgb a, Rgb b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Rgb operator*(Rgb a, float s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline Rgb operator*(Rgb a, Rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Rgb mix(Rgb a, Rgb b, float t) {
    return a + (b - a) * t;
}
Rgb hexColour(std::uint32_t rgb);
// Rotates the hue by turns (0..1) and scales saturation and value.
Rgb shiftHue(Rgb c, float turns, float saturation = 1.0f, float value = 1.0f);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // RGB, rows top to bottom

    Image() = default;
    Image(int w, int h);
    void set(int x, int y, Rgb c);
    Rgb get(int x, int y) const;
    // Wraps x and y around the edges (for tileable textures).
    Rgb getWrapped(int x, int y) const;
    void setGrey(int x, int y, std::uint8_t v);
    // Blends c over the pixel with weight a (0..1); outside pixels are ignored.
    void blend(int x, int y, Rgb c, float a);
    // Filled disc / rectangle / line with soft edges, clipped to the image.
    void disc(float cx, float cy, float radius, Rgb c, float alpha = 1.0f);
    void rect(int x0, int y0, int x1, int y1, Rgb c);
    void line(float x0, float y0, float x1, float y1, float width, Rgb c, float alpha = 1.0f);
};

// The bytes of a 24-bit bottom-up Windows bitmap (rows padded to 4 bytes).
std::vector<std::uint8_t> encodeBmp(const Image& image);

// Reads a 24-bit uncompressed bitmap; false with a reason for anything else,
// including a file shorter than its header promises.
bool decodeBmp(const std::vector<std::uint8_t>& bytes, Image& out, std::string& error);

} // namespace content
