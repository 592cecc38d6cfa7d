#include "tools/content/image.h"

#include <algorithm>
#include <cmath>

namespace content {
namespace {

std::uint8_t toByte(float v) {
    return std::uint8_t(std::clamp(int(std::lround(v * 255.0f)), 0, 255));
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::uint32_t get32(const std::vector<std::uint8_t>& in, std::size_t at) {
    return std::uint32_t(in[at]) | std::uint32_t(in[at + 1]) << 8 |
           std::uint32_t(in[at + 2]) << 16 | std::uint32_t(in[at + 3]) << 24;
}

std::uint16_t get16(const std::vector<std::uint8_t>& in, std::size_t at) {
    return std::uint16_t(in[at] | in[at + 1] << 8);
}

constexpr std::size_t FILE_HEADER = 14;
constexpr std::size_t INFO_HEADER = 40;

} // namespace

Rgb hexColour(std::uint32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}

Rgb shiftHue(Rgb c, float turns, float saturation, float value) {
    // Rotation about the grey axis keeps the brightness of the colour.
    float angle = turns * 6.2831853f;
    float cosA = std::cos(angle), sinA = std::sin(angle);
    float k = (1.0f - cosA) / 3.0f, s = std::sqrt(1.0f / 3.0f) * sinA;
    Rgb r{c.r * (cosA + k) + c.g * (k - s) + c.b * (k + s),
          c.r * (k + s) + c.g * (cosA + k) + c.b * (k - s),
          c.r * (k - s) + c.g * (k + s) + c.b * (cosA + k)};
    float grey = (r.r + r.g + r.b) / 3.0f;
    Rgb g{grey, grey, grey};
    r = mix(g, r, saturation) * value;
    return {std::clamp(r.r, 0.0f, 1.0f), std::clamp(r.g, 0.0f, 1.0f), std::clamp(r.b, 0.0f, 1.0f)};
}

Image::Image(int w, int h) : width(w), height(h), pixels(std::size_t(w) * h * 3, 0) {}

void Image::set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::size_t at = (std::size_t(y) * width + x) * 3;
    pixels[at] = toByte(c.r);
    pixels[at + 1] = toByte(c.g);
    pixels[at + 2] = toByte(c.b);
}

Rgb Image::get(int x, int y) const {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    std::size_t at = (std::size_t(y) * width + x) * 3;
    return {pixels[at] / 255.0f, pixels[at + 1] / 255.0f, pixels[at + 2] / 255.0f};
}

Rgb Image::getWrapped(int x, int y) const {
    return get(((x % width) + width) % width, ((y % height) + height) % height);
}

void Image::setGrey(int x, int y, std::uint8_t v) {
    std::size_t at = (std::size_t(y) * width + x) * 3;
    pixels[at] = pixels[at + 1] = pixels[at + 2] = v;
}

void Image::blend(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= width || y >= height || a <= 0.0f) return;
    set(x, y, mix(get(x, y), c, std::min(a, 1.0f)));
}

void Image::disc(float cx, float cy, float radius, Rgb c, float alpha) {
    int x0 = int(std::floor(cx - radius - 1)), x1 = int(std::ceil(cx + radius + 1));
    int y0 = int(std::floor(cy - radius - 1)), y1 = int(std::ceil(cy + radius + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            blend(x, y, c, alpha * std::clamp(radius - d + 0.5f, 0.0f, 1.0f));
        }
}

void Image::rect(int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, width); ++x)
            set(x, y, c);
}

void Image::line(float x0, float y0, float x1, float y1, float w, Rgb c, float alpha) {
    float len = std::hypot(x1 - x0, y1 - y0);
    int steps = std::max(1, int(len * 2));
    for (int i = 0; i <= steps; ++i) {
        float t = float(i) / steps;
        disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, w * 0.5f, c, alpha);
    }
}

std::vector<std::uint8_t> encodeBmp(const Image& image) {
    std::size_t rowBytes = (std::size_t(image.width) * 3 + 3) & ~std::size_t(3);
    std::size_t dataSize = rowBytes * image.height;
    std::vector<std::uint8_t> out;
    out.reserve(FILE_HEADER + INFO_HEADER + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, std::uint32_t(FILE_HEADER + INFO_HEADER + dataSize));
    put32(out, 0);
    put32(out, FILE_HEADER + INFO_HEADER);
    put32(out, INFO_HEADER);
    put32(out, std::uint32_t(image.width));
    put32(out, std::uint32_t(image.height));
    put16(out, 1);  // planes
    put16(out, 24); // bits per pixel
    put32(out, 0);  // no compression
    put32(out, std::uint32_t(dataSize));
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &image.pixels[std::size_t(y) * image.width * 3];
        for (int x = 0; x < image.width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3]);
        }
        for (std::size_t pad = std::size_t(image.width) * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

bool decodeBmp(const std::vector<std::uint8_t>& bytes, Image& out, std::string& error) {
    if (bytes.size() < FILE_HEADER + INFO_HEADER) {
        error = "shorter than a bitmap header";
        return false;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        error = "not a bitmap (no BM signature)";
        return false;
    }
    std::uint32_t dataOffset = get32(bytes, 10);
    std::int32_t width = std::int32_t(get32(bytes, 18));
    std::int32_t height = std::int32_t(get32(bytes, 22));
    std::uint16_t bits = get16(bytes, 28);
    std::uint32_t compression = get32(bytes, 30);
    if (bits != 24 || compression != 0) {
        error = "not a 24-bit uncompressed bitmap (" + std::to_string(bits) + " bits)";
        return false;
    }
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        error = "bad size " + std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    std::size_t rowBytes = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    if (dataOffset > bytes.size() || bytes.size() - dataOffset < rowBytes * height) {
        error = "pixel data cut short";
        return false;
    }
    out = Image(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = &bytes[dataOffset + rowBytes * (height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            std::size_t at = (std::size_t(y) * width + x) * 3;
            out.pixels[at] = row[x * 3 + 2];
            out.pixels[at + 1] = row[x * 3 + 1];
            out.pixels[at + 2] = row[x * 3];
        }
    }
    return true;
}

} // namespace content
