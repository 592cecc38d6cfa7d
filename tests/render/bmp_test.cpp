#include "render/bmp.h"

#include "bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

using bmptest::makeBmp;
using bmptest::put16;
using bmptest::put32;

// A 3 x 2 picture (odd width, so every row carries padding) with a distinct
// colour per pixel.
std::vector<unsigned char> patternBmp() {
    return makeBmp(3, 2, [](int x, int y) {
        return std::vector<unsigned char>{(unsigned char)(10 * x + 1), (unsigned char)(100 + y),
                                          (unsigned char)(200 + x + y)};
    });
}

bool parse(const std::vector<unsigned char>& bytes, BmpImage& img, std::string& error) {
    return parseBmp(bytes.data(), bytes.size(), img, error);
}

TEST(BmpReader, GoodFileGivesBottomUpRgbWithoutPadding) {
    BmpImage img;
    std::string error;
    ASSERT_TRUE(parse(patternBmp(), img, error)) << error;
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    ASSERT_EQ(img.rgb.size(), 3u * 3u * 2u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const unsigned char* p = &img.rgb[(y * 3 + x) * 3];
            EXPECT_EQ(p[0], 10 * x + 1) << x << "," << y;
            EXPECT_EQ(p[1], 100 + y);
            EXPECT_EQ(p[2], 200 + x + y);
        }
}

TEST(BmpReader, TopDownFileIsTurnedBottomUp) {
    auto bytes = patternBmp();
    // Same pixel block, declared top-down: the stored first row is now the top.
    put32(bytes, 22, std::uint32_t(-2));
    BmpImage img;
    std::string error;
    ASSERT_TRUE(parse(bytes, img, error)) << error;
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.rgb[1], 101) << "bottom row must come from the last stored row";
    EXPECT_EQ(img.rgb[3 * 3 + 1], 100);
}

TEST(BmpReader, RefusesTruncatedShortAndMalformedFiles) {
    const auto good = patternBmp();
    BmpImage img;
    std::string error;
    // Every cut, down to nothing, is refused without reading past the end
    // (the sanitizer build watches the reads).
    for (std::size_t len = 0; len < good.size() - 3; ++len) {
        std::vector<unsigned char> cut(good.begin(), good.begin() + len);
        EXPECT_FALSE(parse(cut, img, error)) << "length " << len;
        EXPECT_TRUE(img.rgb.empty());
    }
    // Only the last row's padding missing is still a whole picture.
    std::vector<unsigned char> noLastPad(good.begin(), good.end() - 3);
    EXPECT_TRUE(parse(noLastPad, img, error)) << error;

    auto badMagic = good;
    badMagic[0] = 'X';
    EXPECT_FALSE(parse(badMagic, img, error));
    auto offsetPastEnd = good;
    put32(offsetPastEnd, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(parse(offsetPastEnd, img, error));
    auto headerPastEnd = good;
    put32(headerPastEnd, 14, 0x7FFFFFFFu);
    EXPECT_FALSE(parse(headerPastEnd, img, error));
    auto zeroWidth = good;
    put32(zeroWidth, 18, 0);
    EXPECT_FALSE(parse(zeroWidth, img, error));
    auto minHeight = good;
    put32(minHeight, 22, 0x80000000u);
    EXPECT_FALSE(parse(minHeight, img, error));
    EXPECT_FALSE(parseBmp(nullptr, 100, img, error));
}

TEST(BmpReader, RefusesHugeSizesBeforeAnyAllocation) {
    BmpImage img;
    std::string error;
    auto huge = patternBmp();
    put32(huge, 18, 100000);
    put32(huge, 22, 100000);
    EXPECT_FALSE(parse(huge, img, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

// ---- Every kind of bitmap a user may bring ----

using bmptest::KINDS;
using bmptest::Variant;

constexpr int KIND_W = 11, KIND_H = 5;

void expectPicture(const Variant& kind, const BmpImage& img) {
    ASSERT_EQ(img.width, KIND_W);
    ASSERT_EQ(img.height, KIND_H);
    ASSERT_EQ(img.rgb.size(), std::size_t(KIND_W * KIND_H * 3));
    const auto expected = bmptest::expectedPixels(kind, KIND_W, KIND_H);
    // Decoders differ by one in how they widen 5- and 6-bit channels.
    const int slack = kind.bits == 16 ? 1 : 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const unsigned char want[3] = {expected[i].r, expected[i].g, expected[i].b};
        for (int c = 0; c < 3; ++c)
            ASSERT_LE(std::abs(img.rgb[3 * i + c] - want[c]), slack)
                << "pixel " << i % KIND_W << "," << i / KIND_W << " channel " << c;
    }
}

TEST(BmpKinds, EveryDepthHeaderAndCompressionGivesThePicture) {
    for (const Variant& kind : KINDS) {
        SCOPED_TRACE(kind.name);
        const auto bytes = bmptest::encodeBmp(kind, KIND_W, KIND_H);
        BmpImage img;
        std::string error;
        ASSERT_TRUE(parse(bytes, img, error)) << error;
        expectPicture(kind, img);
        // The direct reader of 24-bit files and the library agree byte for byte.
        BmpImage viaLibrary;
        ASSERT_TRUE(parseBmpWithLibrary(bytes.data(), bytes.size(), viaLibrary, error)) << error;
        EXPECT_EQ(viaLibrary.rgb, img.rgb);
    }
}

TEST(BmpKinds, EveryCutIsRefusedButAMissingLastRowPadding) {
    for (const Variant& kind : KINDS) {
        SCOPED_TRACE(kind.name);
        const auto bytes = bmptest::encodeBmp(kind, KIND_W, KIND_H);
        const std::size_t whole = bytes.size() - bmptest::lastRowPadding(kind, KIND_W);
        BmpImage img;
        std::string error;
        // The sanitizer build watches that no cut is read past its end.
        for (std::size_t len = 0; len < bytes.size(); ++len) {
            std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + long(len));
            const bool ok = parse(cut, img, error);
            if (len < whole) {
                ASSERT_FALSE(ok) << "length " << len;
                EXPECT_FALSE(error.empty());
                EXPECT_TRUE(img.rgb.empty());
            } else {
                ASSERT_TRUE(ok) << "length " << len << ": " << error;
                expectPicture(kind, img);
            }
        }
    }
}

TEST(BmpKinds, MalformedFilesAreRefusedWithTheirReason) {
    using bmptest::encodeBmp;
    const Variant rle8 = {"RLE8", 8, 1};
    const Variant four = {"4-bit", 4};
    const Variant fields = {"fields", 16, 3, 40, false, {0xF800, 0x07E0, 0x001F}};
    const Variant os2 = {"OS/2 2.x", 8, 0, 64};
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        const char* reason;
    };
    std::vector<Case> cases = {
        {"2 bits a pixel", encodeBmp({"2", 4}, 4, 4), "unsupported bit depth 2"},
        {"RLE8 on 4 bits", encodeBmp(four, 4, 4), "RLE8 compression needs 8 bits"},
        {"RLE4 on 8 bits", encodeBmp(rle8, 4, 4), "RLE4 compression needs 4 bits"},
        {"top-down RLE", encodeBmp(rle8, 4, 4), "top-down bitmap cannot be compressed"},
        {"bit fields on 24 bits", encodeBmp({"24", 24}, 4, 4), "bit fields need 16 or 32"},
        {"empty masks", encodeBmp(fields, 4, 4), "no colour masks"},
        {"JPEG inside", encodeBmp({"24", 24}, 4, 4), "unsupported compression 4"},
        {"OS/2 Huffman", encodeBmp(os2, 4, 4), "Huffman"},
        {"odd header size", encodeBmp({"24", 24}, 4, 4), "unsupported bitmap header size 13"},
        {"two planes", encodeBmp({"24", 24}, 4, 4), "plane count"},
        {"palette cut", encodeBmp({"8", 8}, 4, 4), "palette runs past the end"},
        {"pixels inside the header", encodeBmp({"8", 8}, 4, 4), "overlaps the header"},
        {"index beyond a short palette", encodeBmp(four, 4, 4), "cannot be decoded"},
    };
    auto at = [&](const char* what) -> std::vector<unsigned char>& {
        for (Case& c : cases)
            if (std::string(c.what) == what) return c.bytes;
        throw std::logic_error(what);
    };
    put16(at("2 bits a pixel"), 28, 2);
    put32(at("RLE8 on 4 bits"), 30, 1);
    put16(at("RLE4 on 8 bits"), 28, 8);
    put32(at("RLE4 on 8 bits"), 30, 2);
    put32(at("top-down RLE"), 22, std::uint32_t(-4));
    put32(at("bit fields on 24 bits"), 30, 3);
    for (int k = 0; k < 3; ++k)
        put32(at("empty masks"), 54 + 4 * k, 0);
    put32(at("JPEG inside"), 30, 4);
    put32(at("OS/2 Huffman"), 30, 3);
    put32(at("odd header size"), 14, 13);
    put16(at("two planes"), 26, 2);
    at("palette cut").resize(54 + 100);
    put32(at("pixels inside the header"), 10, 40);
    // Four palette entries for a picture that uses sixteen.
    put32(at("index beyond a short palette"), 46, 4);
    for (const Case& c : cases) {
        BmpImage img;
        std::string error;
        EXPECT_FALSE(parse(c.bytes, img, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(img.rgb.empty()) << c.what;
    }
}

TEST(BmpReader, LoadsThroughTheDataPathLookupAndReportsMissingFiles) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(ZEB_BUILD_DIR) / "bmp_test_files" / "Data";
    fs::create_directories(dir);
    bmptest::writeFile((dir / "pic.bmp").string(), patternBmp());
    BmpImage img;
    std::string error;
    // The game names paths in either case; the lookup matches them.
    std::string asNamed =
        (fs::path(ZEB_BUILD_DIR) / "bmp_test_files" / "data" / "PIC.bmp").string();
    ASSERT_TRUE(loadBmp(asNamed, img, error)) << error;
    EXPECT_EQ(img.width, 3);
    EXPECT_FALSE(loadBmp((dir / "none.bmp").string(), img, error));
    EXPECT_NE(error.find("Failed to open DIB file"), std::string::npos) << error;
    EXPECT_TRUE(img.rgb.empty());
}

} // namespace
