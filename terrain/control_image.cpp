#include "render/bmp.h"
#include "terrain/terrain_build.h"

bool loadControlImage(const std::string& path, ControlImage& out) {
    out = ControlImage();
    BmpImage image;
    std::string error;
    if (!loadBmp(path, image, error)) return false;
    out.width = image.width;
    out.height = image.height;
    out.rgb = std::move(image.rgb);
    return true;
}
