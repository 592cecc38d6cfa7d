#include "render/bmp.h"

#include "bmp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using bmptest::makeBmp;
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

TEST(BmpReader, RefusesOtherDepthsCompressionAndHugeSizes) {
    BmpImage img;
    std::string error;
    for (int bits : {1, 8, 16, 32}) {
        auto bytes = makeBmp(
            4, 4,
            [](int, int) {
                return std::vector<unsigned char>{1, 2, 3};
            },
            bits);
        EXPECT_FALSE(parse(bytes, img, error)) << bits << " bits";
        EXPECT_NE(error.find("24-bit"), std::string::npos) << error;
    }
    auto rle = patternBmp();
    put32(rle, 30, 1);
    EXPECT_FALSE(parse(rle, img, error));
    // Claims of enormous pictures are refused before any allocation.
    auto huge = patternBmp();
    put32(huge, 18, 100000);
    put32(huge, 22, 100000);
    EXPECT_FALSE(parse(huge, img, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
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
