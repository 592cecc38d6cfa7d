// Per-page light textures (light types 2 and 3): every page gets its own
// luminance texture, started from a dummy image and overwritten with the
// page's vertex light in its first 65 x 65 texels.
#pragma once

#include "terrain/terrain.h"

#include <string>
#include <vector>

// Side of the light texture of a light type (65 or 128), 0 for vertex light.
int lightTextureSize(int lightType);
// Name of the dummy image of a light type's texture.
const char* dummyLightName(int lightType);

// The texels of one page's light texture, one byte each: the dummy image's
// red channel (as a luminance texture keeps it), with texel (row j, column i)
// of the first 65 x 65 replaced by light[i][j].
class LightTexels {
  public:
    int size = 0;
    std::vector<unsigned char> texels;
    // Reads the dummy image once; a missing image, or one of another size,
    // starts every page dark.
    LightTexels(const std::string& dummyPath, int side);
    // Texels of a page with this light.
    void fill(const float (&light)[PAGE_VERTS][PAGE_VERTS]);
    float get(int i, int j) const { return texels[std::size_t(j) * size + i] / 255.0f; }

  private:
    std::vector<unsigned char> dummy_;
};

// Makes a page's texture from the texels (needs a current GL context; the
// texture is bound on unit 0 afterwards). Returns its name.
unsigned makeLightTexture(const LightTexels& texels);
