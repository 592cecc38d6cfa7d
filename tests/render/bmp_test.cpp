#include "render/bmp.h"

#include "bmp_writer.h"
#include "render_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

using bmptest::encodeBmp;
using bmptest::KINDS;
using bmptest::put;
using bmptest::Variant;
using Bytes = std::vector<unsigned char>;

constexpr int KIND_W = 11, KIND_H = 5; // odd width: every row of most kinds is padded

bool parse(const Bytes& bytes, BmpImage& img, std::string& error) {
    return parseBmp(bytes.data(), bytes.size(), img, error);
}

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

// Bottom-up RGB without padding from every depth, header, row order and
// compression a user may bring.
TEST(BmpKinds, EveryDepthHeaderAndCompressionGivesThePicture) {
    for (const Variant& kind : KINDS) {
        SCOPED_TRACE(kind.name);
        const auto bytes = encodeBmp(kind, KIND_W, KIND_H);
        BmpImage img;
        std::string error;
        ASSERT_TRUE(parse(bytes, img, error)) << error;
        expectPicture(kind, img);
    }
}

TEST(BmpKinds, EveryCutIsRefusedButAMissingLastRowPadding) {
    for (const Variant& kind : KINDS) {
        SCOPED_TRACE(kind.name);
        const auto bytes = encodeBmp(kind, KIND_W, KIND_H);
        const std::size_t whole = bytes.size() - bmptest::lastRowPadding(kind, KIND_W);
        BmpImage img;
        std::string error;
        // The sanitizer build watches that no cut is read past its end.
        for (std::size_t len = 0; len < bytes.size(); ++len) {
            const Bytes cut(bytes.begin(), bytes.begin() + long(len));
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

// Malformed and hostile headers are refused with their reason before any
// pixel is read or any buffer is sized from them.
TEST(BmpReader, MalformedFilesAreRefusedWithTheirReason) {
    const Variant plain = {"24", 24}, four = {"4", 4}, eight = {"8", 8}, rle8 = {"RLE8", 8, 1};
    const Variant fields = {"fields", 16, 3, 40, false, {0xF800, 0x07E0, 0x001F}};
    const Variant os2 = {"OS/2 2.x", 8, 0, 64};
    struct Case {
        Variant kind;
        std::function<void(Bytes&)> spoil;
        const char* reason;
    };
    const Case cases[] = {
        {plain, [](Bytes& b) { b[0] = 'X'; }, "no BM signature"},
        {plain, [](Bytes& b) { put(b, 10, 0xFFFFFFF0u); }, "truncated"},
        {plain, [](Bytes& b) { put(b, 14, 0x7FFFFFFFu); }, "header size 2147483647"},
        {plain, [](Bytes& b) { put(b, 14, 13); }, "unsupported bitmap header size 13"},
        {plain, [](Bytes& b) { put(b, 18, 0); }, "no pixels"},
        {plain, [](Bytes& b) { put(b, 22, 0x80000000u); }, "no pixels"},
        {plain, [](Bytes& b) { put(b, 18, 100000); }, "too large"},
        {plain, [](Bytes& b) { put(b, 26, 2, 2); }, "plane count"},
        {four, [](Bytes& b) { put(b, 28, 2, 2); }, "unsupported bit depth 2"},
        {four, [](Bytes& b) { put(b, 30, 1); }, "RLE8 compression needs 8 bits"},
        {rle8, [](Bytes& b) { put(b, 30, 2); }, "RLE4 compression needs 4 bits"},
        {rle8, [](Bytes& b) { put(b, 22, std::uint32_t(-4)); }, "top-down bitmap cannot be"},
        {plain, [](Bytes& b) { put(b, 30, 3); }, "bit fields need 16 or 32"},
        {fields,
         [](Bytes& b) {
             for (int k = 0; k < 3; ++k)
                 put(b, 54 + 4 * k, 0);
         },
         "no colour masks"},
        {plain, [](Bytes& b) { put(b, 30, 4); }, "unsupported compression 4"}, // JPEG inside
        {os2, [](Bytes& b) { put(b, 30, 3); }, "Huffman"},
        {eight, [](Bytes& b) { b.resize(54 + 100); }, "palette runs past the end"},
        {eight, [](Bytes& b) { put(b, 10, 40); }, "overlaps the header"},
        // Four palette entries for a picture that uses sixteen.
        {four, [](Bytes& b) { put(b, 46, 4); }, "cannot be decoded"},
    };
    BmpImage img;
    std::string error;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        Bytes bytes = encodeBmp(c.kind, 4, 4);
        c.spoil(bytes);
        EXPECT_FALSE(parse(bytes, img, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_TRUE(img.rgb.empty());
    }
    EXPECT_FALSE(parseBmp(nullptr, 100, img, error));
}

TEST(BmpReader, LoadsThroughTheDataPathLookupAndReportsMissingFiles) {
    rendertest::ScratchDir dir;
    ASSERT_TRUE(bmptest::writeFile(dir.file("Data/pic.bmp"), encodeBmp({"24", 24}, 3, 2)));
    BmpImage img;
    std::string error;
    // The game names paths in either case; the lookup matches them.
    ASSERT_TRUE(loadBmp("data/PIC.bmp", img, error)) << error;
    EXPECT_EQ(img.width, 3);
    EXPECT_FALSE(loadBmp("Data/none.bmp", img, error));
    EXPECT_NE(error.find("Failed to open DIB file"), std::string::npos) << error;
    EXPECT_TRUE(img.rgb.empty());
}

} // namespace
