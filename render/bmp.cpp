#include "render/bmp.h"

#include "platform/files.h"

#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;
// Header sizes: OS/2 1.x, the Windows headers with and without colour masks
// (40, 52, 56, 108, 124); anything from 16 to 64 bytes otherwise is OS/2 2.x.
constexpr std::uint32_t OS2_V1_HEADER_SIZE = 12;
constexpr std::uint32_t OS2_V2_MIN_HEADER_SIZE = 16;
constexpr std::uint32_t OS2_V2_MAX_HEADER_SIZE = 64;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
constexpr std::uint32_t V2_HEADER_SIZE = 52;
constexpr std::uint32_t V3_HEADER_SIZE = 56;
constexpr std::uint32_t V4_HEADER_SIZE = 108;
constexpr std::uint32_t V5_HEADER_SIZE = 124;
constexpr std::uint32_t COLOUR_MASKS_SIZE = 12;

enum : std::uint32_t {
    COMPRESSION_NONE = 0,
    COMPRESSION_RLE8 = 1,
    COMPRESSION_RLE4 = 2,
    COMPRESSION_BITFIELDS = 3,
    COMPRESSION_ALPHA_BITFIELDS = 6,
};

// The largest file worth reading: the biggest accepted image at 32 bits plus
// headroom for headers, palettes and row padding.
constexpr long BMP_MAX_FILE_SIZE = long(BMP_MAX_PIXELS * 4 + BMP_MAX_SIDE * 4 + 4096);

std::uint16_t readU16(const unsigned char* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t readU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void writeU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xFF;
}

bool fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

struct BmpLayout {
    std::uint32_t pixelOffset = 0;
    std::uint32_t infoSize = 0;
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = COMPRESSION_NONE;
    std::uint32_t coloursUsed = 0;

    bool os2v1() const { return infoSize == OS2_V1_HEADER_SIZE; }
    bool os2v2() const {
        return infoSize >= OS2_V2_MIN_HEADER_SIZE && infoSize <= OS2_V2_MAX_HEADER_SIZE &&
               infoSize != INFO_HEADER_SIZE && infoSize != V2_HEADER_SIZE &&
               infoSize != V3_HEADER_SIZE;
    }
    bool compressed() const {
        return compression == COMPRESSION_RLE8 || compression == COMPRESSION_RLE4;
    }
    bool bitFields() const {
        return compression == COMPRESSION_BITFIELDS || compression == COMPRESSION_ALPHA_BITFIELDS;
    }
    // Unpadded and padded bytes of one stored row when uncompressed.
    std::size_t rowBytes() const { return (std::size_t(width) * bits + 7) / 8; }
    std::size_t stride() const { return (std::size_t(width) * bits + 31) / 32 * 4; }
    std::size_t paletteEntries() const {
        if (bits > 8) return 0;
        const std::uint32_t full = 1u << bits;
        return coloursUsed == 0 || coloursUsed > full ? full : coloursUsed;
    }
    std::size_t paletteEntrySize() const { return os2v1() ? 3 : 4; }
};

bool knownHeaderSize(std::uint32_t size) {
    return size == OS2_V1_HEADER_SIZE || size == INFO_HEADER_SIZE || size == V2_HEADER_SIZE ||
           size == V3_HEADER_SIZE || size == V4_HEADER_SIZE || size == V5_HEADER_SIZE ||
           (size >= OS2_V2_MIN_HEADER_SIZE && size <= OS2_V2_MAX_HEADER_SIZE);
}

// Size, planes, depth, compression and colour count from the info header.
void readInfoFields(const unsigned char* info, BmpLayout& layout, int& planes) {
    if (layout.os2v1()) {
        layout.width = readU16(info + 4);
        layout.height = readU16(info + 6);
        planes = readU16(info + 8);
        layout.bits = readU16(info + 10);
        return;
    }
    std::int32_t height = std::int32_t(readU32(info + 8));
    layout.width = std::int32_t(readU32(info + 4));
    planes = readU16(info + 12);
    layout.bits = readU16(info + 14);
    // Short OS/2 2.x headers stop after any field; the missing ones are zero.
    if (layout.infoSize >= 20) layout.compression = readU32(info + 16);
    if (layout.infoSize >= 36) layout.coloursUsed = readU32(info + 32);
    layout.topDown = height < 0 && height != INT32_MIN;
    layout.height = layout.topDown ? -height : height;
}

bool checkDepthAndCompression(const BmpLayout& layout, std::string& error) {
    const int bits = layout.bits;
    // OS/2 2.x numbers its own compressions 3 (Huffman) and 4 (RLE24).
    if (layout.os2v2() && layout.compression > COMPRESSION_RLE4)
        return fail(error, "Huffman and RLE24 compressed OS/2 bitmaps are not supported");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(error, "unsupported bit depth " + std::to_string(bits));
    switch (layout.compression) {
    case COMPRESSION_NONE:
        return true;
    case COMPRESSION_RLE8:
        if (bits != 8) return fail(error, "RLE8 compression needs 8 bits per pixel");
        break;
    case COMPRESSION_RLE4:
        if (bits != 4) return fail(error, "RLE4 compression needs 4 bits per pixel");
        break;
    case COMPRESSION_BITFIELDS:
    case COMPRESSION_ALPHA_BITFIELDS:
        if (bits != 16 && bits != 32) return fail(error, "bit fields need 16 or 32 bits per pixel");
        return true;
    default:
        return fail(error, "unsupported compression " + std::to_string(layout.compression));
    }
    if (layout.topDown) return fail(error, "a top-down bitmap cannot be compressed");
    return true;
}

// Reads and checks both headers, the colour masks and the palette's place;
// the pixel block itself is checked by the caller.
bool readLayout(const unsigned char* data, std::size_t size, BmpLayout& layout,
                std::string& error) {
    if (size < FILE_HEADER_SIZE + OS2_V1_HEADER_SIZE)
        return fail(error, "file too short for a bitmap header");
    if (data[0] != 'B' || data[1] != 'M') return fail(error, "not a bitmap (no BM signature)");
    layout.pixelOffset = readU32(data + 10);
    const unsigned char* info = data + FILE_HEADER_SIZE;
    layout.infoSize = readU32(info);
    if (!knownHeaderSize(layout.infoSize))
        return fail(error, "unsupported bitmap header size " + std::to_string(layout.infoSize));
    if (layout.infoSize > size - FILE_HEADER_SIZE)
        return fail(error, "bitmap header runs past the end of the file");
    int planes = 0;
    readInfoFields(info, layout, planes);
    if (planes != 1) return fail(error, "malformed bitmap (plane count is not 1)");
    if (!checkDepthAndCompression(layout, error)) return false;
    if (layout.width <= 0 || layout.height <= 0) return fail(error, "bitmap has no pixels");
    if (layout.width > BMP_MAX_SIDE || layout.height > BMP_MAX_SIDE ||
        (long long)layout.width * layout.height > BMP_MAX_PIXELS)
        return fail(error, "bitmap is too large");

    std::size_t headerEnd = FILE_HEADER_SIZE + layout.infoSize;
    if (layout.bitFields() && layout.infoSize == INFO_HEADER_SIZE) {
        // The masks follow a plain info header.
        headerEnd += COLOUR_MASKS_SIZE;
        if (headerEnd > size) return fail(error, "colour masks run past the end of the file");
    }
    if (layout.bitFields()) {
        const unsigned char* masks = data + FILE_HEADER_SIZE + INFO_HEADER_SIZE;
        if ((readU32(masks) | readU32(masks + 4) | readU32(masks + 8)) == 0)
            return fail(error, "bit-field bitmap has no colour masks");
    }
    const std::size_t paletteEnd = headerEnd + layout.paletteEntries() * layout.paletteEntrySize();
    if (paletteEnd > size) return fail(error, "palette runs past the end of the file");
    if (layout.pixelOffset < headerEnd) return fail(error, "pixel data overlaps the header");
    if (layout.pixelOffset >= size) return fail(error, "bitmap is truncated");
    return true;
}

// Uncompressed rows are padded to four bytes; the last row's padding may be
// missing. Compressed data is checked as it is decoded.
bool checkPixelBlock(const BmpLayout& layout, std::size_t size, std::string& error) {
    if (layout.compressed()) return true;
    const std::size_t needed = layout.stride() * std::size_t(layout.height - 1) + layout.rowBytes();
    if (size - layout.pixelOffset < needed) return fail(error, "bitmap is truncated");
    return true;
}

// The game's own format, read directly: this is the common case and needs
// no conversion beyond swapping blue and red.
void decodePlain24(const unsigned char* data, const BmpLayout& layout, BmpImage& image) {
    const std::size_t rowBytes = layout.rowBytes();
    const std::size_t stride = layout.stride();
    image.rgb.resize(rowBytes * std::size_t(layout.height));
    for (int row = 0; row < layout.height; ++row) {
        const int sourceRow = layout.topDown ? layout.height - 1 - row : row;
        const unsigned char* src = data + layout.pixelOffset + stride * std::size_t(sourceRow);
        unsigned char* dst = image.rgb.data() + rowBytes * std::size_t(row);
        for (int x = 0; x < layout.width; ++x) {
            dst[3 * x + 0] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x + 0];
        }
    }
}

// SDL takes the Windows headers and the OS/2 1.x one as they are. A copy is
// handed to it instead when the file needs one of three repairs: a short
// OS/2 2.x header widened to the Windows one it begins like, alpha bit fields
// named as plain bit fields (the alpha mask is not used), the last row's
// missing padding supplied.
std::vector<unsigned char> copyForLibrary(const unsigned char* data, std::size_t size,
                                          const BmpLayout& layout) {
    const bool widen = layout.infoSize < INFO_HEADER_SIZE && !layout.os2v1();
    const bool renameFields = layout.compression == COMPRESSION_ALPHA_BITFIELDS;
    std::size_t padding = 0;
    if (!layout.compressed()) {
        const std::size_t full = layout.stride() * std::size_t(layout.height);
        if (size - layout.pixelOffset < full) padding = full - (size - layout.pixelOffset);
    }
    if (!widen && !renameFields && padding == 0) return {};
    const std::size_t headerEnd = FILE_HEADER_SIZE + layout.infoSize;
    const std::size_t growth = widen ? INFO_HEADER_SIZE - layout.infoSize : 0;
    std::vector<unsigned char> copy(size + growth + padding, 0);
    std::memcpy(copy.data(), data, headerEnd);
    std::memcpy(copy.data() + headerEnd + growth, data + headerEnd, size - headerEnd);
    if (widen) {
        writeU32(copy.data() + FILE_HEADER_SIZE, INFO_HEADER_SIZE);
        writeU32(copy.data() + 10, std::uint32_t(layout.pixelOffset + growth));
    }
    if (renameFields) writeU32(copy.data() + FILE_HEADER_SIZE + 16, COMPRESSION_BITFIELDS);
    return copy;
}

using SurfacePtr = std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>;

bool decodeThroughSdl(const unsigned char* data, std::size_t size, const BmpLayout& layout,
                      BmpImage& image, std::string& error) {
    SDL_RWops* source = SDL_RWFromConstMem(data, int(size));
    if (source == nullptr) return fail(error, std::string("cannot read bitmap: ") + SDL_GetError());
    SurfacePtr loaded(SDL_LoadBMP_RW(source, 1), SDL_FreeSurface);
    if (!loaded) return fail(error, std::string("bitmap cannot be decoded: ") + SDL_GetError());
    if (loaded->w != layout.width || loaded->h != layout.height)
        return fail(error, "bitmap decodes to a different size than its header gives");
    SurfacePtr rgb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB24, 0),
                   SDL_FreeSurface);
    if (!rgb) return fail(error, std::string("bitmap cannot be converted: ") + SDL_GetError());
    // SDL keeps the top row first; the image record keeps the bottom row first.
    const std::size_t rowBytes = std::size_t(layout.width) * 3;
    image.rgb.resize(rowBytes * std::size_t(layout.height));
    const auto* pixels = static_cast<const unsigned char*>(rgb->pixels);
    for (int row = 0; row < layout.height; ++row)
        std::memcpy(image.rgb.data() + rowBytes * std::size_t(row),
                    pixels + std::size_t(rgb->pitch) * std::size_t(layout.height - 1 - row),
                    rowBytes);
    return true;
}

bool decodeLayout(const unsigned char* data, std::size_t size, const BmpLayout& layout,
                  BmpImage& image, std::string& error) {
    image.width = layout.width;
    image.height = layout.height;
    const std::vector<unsigned char> copy = copyForLibrary(data, size, layout);
    if (copy.empty()) return decodeThroughSdl(data, size, layout, image, error);
    return decodeThroughSdl(copy.data(), copy.size(), layout, image, error);
}

bool isPlain24(const BmpLayout& layout) {
    return layout.bits == 24 && layout.compression == COMPRESSION_NONE;
}

} // namespace

bool parseBmp(const unsigned char* data, std::size_t size, BmpImage& out, std::string& error) {
    out = BmpImage{};
    BmpLayout layout;
    if (data == nullptr) return fail(error, "no bitmap data");
    if (!readLayout(data, size, layout, error) || !checkPixelBlock(layout, size, error))
        return false;
    BmpImage image;
    if (isPlain24(layout)) {
        image.width = layout.width;
        image.height = layout.height;
        decodePlain24(data, layout, image);
    } else if (!decodeLayout(data, size, layout, image, error)) {
        return false;
    }
    out = std::move(image);
    return true;
}

bool parseBmpWithLibrary(const unsigned char* data, std::size_t size, BmpImage& out,
                         std::string& error) {
    out = BmpImage{};
    BmpLayout layout;
    if (data == nullptr) return fail(error, "no bitmap data");
    if (!readLayout(data, size, layout, error) || !checkPixelBlock(layout, size, error))
        return false;
    BmpImage image;
    if (!decodeLayout(data, size, layout, image, error)) return false;
    out = std::move(image);
    return true;
}

bool loadBmp(const std::string& path, BmpImage& out, std::string& error) {
    out = BmpImage{};
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(win::OpenFile(path, "rb"), std::fclose);
    if (!file) return fail(error, "Failed to open DIB file " + path + ".");
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
