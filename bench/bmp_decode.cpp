// Bitmap decoding: the direct reader of 24-bit files against SDL's decoder on
// the same files, and SDL on the other common kinds (8-bit palette skins,
// RLE8, 32-bit). The pictures are 512 x 512, the size of the larger
// textures of the content pack.
#include "render/bmp.h"
#include "tests/render/bmp_writer.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int SIDE = 512;

const bmptest::Variant PLAIN_24 = {"24-bit", 24};
const bmptest::Variant PALETTE_8 = {"8-bit palette", 8};
const bmptest::Variant RLE_8 = {"RLE8", 8, 1};
const bmptest::Variant PLAIN_32 = {"32-bit", 32};

template <bool (*Decode)(const unsigned char*, std::size_t, BmpImage&, std::string&)>
void decode(benchmark::State& state, const bmptest::Variant& kind) {
    const auto bytes = bmptest::encodeBmp(kind, SIDE, SIDE);
    BmpImage image;
    std::string error;
    for (auto _ : state) {
        if (!Decode(bytes.data(), bytes.size(), image, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(image.rgb.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * SIDE * SIDE * 3);
}

void BM_Direct24(benchmark::State& state) {
    decode<parseBmp>(state, PLAIN_24);
}
void BM_Library24(benchmark::State& state) {
    decode<parseBmpWithLibrary>(state, PLAIN_24);
}
void BM_Library8Palette(benchmark::State& state) {
    decode<parseBmp>(state, PALETTE_8);
}
void BM_LibraryRle8(benchmark::State& state) {
    decode<parseBmp>(state, RLE_8);
}
void BM_Library32(benchmark::State& state) {
    decode<parseBmp>(state, PLAIN_32);
}

} // namespace

BENCHMARK(BM_Direct24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Library24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Library8Palette)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryRle8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Library32)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
