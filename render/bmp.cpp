#include "render/bmp.h"

#include "platform/files.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t INFO_HEADER_MIN_SIZE = 40;
constexpr std::uint32_t COMPRESSION_NONE = 0;
// The largest file worth reading: the biggest accepted image plus headroom
// for headers, palettes and row padding.
constexpr long BMP_MAX_FILE_SIZE = long(BMP_MAX_PIXELS * 3 + BMP_MAX_SIDE * 4 + 4096);

std::uint16_t readU16(const unsigned char* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t readU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

bool fail(std::string& error, const char* why) {
    error = why;
    return false;
}

struct BmpLayout {
    std::uint32_t pixelOffset = 0;
    int width = 0;
    int height = 0;
    bool topDown = false;
};

// Reads and checks both headers; the pixel block itself is checked by the caller.
bool readLayout(const unsigned char* data, std::size_t size, BmpLayout& layout,
                std::string& error) {
    if (size < FILE_HEADER_SIZE + INFO_HEADER_MIN_SIZE)
        return fail(error, "file too short for a bitmap header");
    if (data[0] != 'B' || data[1] != 'M') return fail(error, "not a bitmap (no BM signature)");
    layout.pixelOffset = readU32(data + 10);
    const unsigned char* info = data + FILE_HEADER_SIZE;
    std::uint32_t infoSize = readU32(info);
    if (infoSize < INFO_HEADER_MIN_SIZE)
        return fail(error, "unsupported bitmap header (too old or malformed)");
    if (infoSize > size - FILE_HEADER_SIZE)
        return fail(error, "bitmap header runs past the end of the file");
    std::int32_t width = std::int32_t(readU32(info + 4));
    std::int32_t height = std::int32_t(readU32(info + 8));
    std::uint16_t planes = readU16(info + 12);
    std::uint16_t bits = readU16(info + 14);
    std::uint32_t compression = readU32(info + 16);
    if (planes != 1) return fail(error, "malformed bitmap (plane count is not 1)");
    if (bits != 24) return fail(error, "only 24-bit bitmaps are supported");
    if (compression != COMPRESSION_NONE) return fail(error, "compressed bitmaps are not supported");
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return fail(error, "bitmap has no pixels");
    layout.topDown = height < 0;
    if (layout.topDown) height = -height;
    if (width > BMP_MAX_SIDE || height > BMP_MAX_SIDE || (long long)width * height > BMP_MAX_PIXELS)
        return fail(error, "bitmap is too large");
    if (layout.pixelOffset < FILE_HEADER_SIZE + infoSize)
        return fail(error, "pixel data overlaps the header");
    layout.width = width;
    layout.height = height;
    return true;
}

} // namespace

bool parseBmp(const unsigned char* data, std::size_t size, BmpImage& out, std::string& error) {
    out = BmpImage{};
    BmpLayout layout;
    if (data == nullptr || !readLayout(data, size, layout, error)) return false;
    // Rows are padded to four bytes; the last row's padding may be missing.
    std::size_t rowBytes = std::size_t(layout.width) * 3;
    std::size_t stride = (rowBytes + 3) & ~std::size_t(3);
    std::size_t needed = stride * std::size_t(layout.height - 1) + rowBytes;
    if (layout.pixelOffset > size || size - layout.pixelOffset < needed)
        return fail(error, "bitmap is truncated");

    BmpImage image;
    image.width = layout.width;
    image.height = layout.height;
    image.rgb.resize(rowBytes * std::size_t(layout.height));
    for (int row = 0; row < layout.height; ++row) {
        int sourceRow = layout.topDown ? layout.height - 1 - row : row;
        const unsigned char* src = data + layout.pixelOffset + stride * std::size_t(sourceRow);
        unsigned char* dst = image.rgb.data() + rowBytes * std::size_t(row);
        for (int x = 0; x < layout.width; ++x) {
            // Stored blue, green, red.
            dst[3 * x + 0] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x + 0];
        }
    }
    out = std::move(image);
    return true;
}

bool loadBmp(const std::string& path, BmpImage& out, std::string& error) {
    out = BmpImage{};
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(win::OpenFile(path, "rb"), std::fclose);
    if (!file) return fail(error, ("Failed to open DIB file " + path + ".").c_str());
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return fail(error, "cannot seek in bitmap file");
    long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return fail(error, "cannot size bitmap file");
    if (length > BMP_MAX_FILE_SIZE) return fail(error, "bitmap file is too large");
    std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
    if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return fail(error, "cannot read bitmap file");
    if (!parseBmp(bytes.data(), bytes.size(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
