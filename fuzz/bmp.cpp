// Bitmap reader: any bytes are either refused with a reason or give a
// picture of the size the header promises.
#include "render/bmp.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BmpImage image;
    std::string error;
    const bool ok = parseBmp(data, size, image, error);
    if (ok && image.rgb.size() != std::size_t(image.width) * std::size_t(image.height) * 3)
        std::abort();
    if (!ok && (error.empty() || !image.rgb.empty())) std::abort();
    return 0;
}
