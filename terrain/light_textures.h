// Per-page light textures (light types 2 and 3): every page gets its own
// luminance texture, started from a dummy image and overwritten with the
// page's vertex light in its first 65 x 65 texels.
#pragma once

#include <string>
#include <vector>

// The float texels shared by all pages while the terrain is built.
class LightTextureBuffer {
  public:
    int size = 0;
    std::vector<float> texels;
    explicit LightTextureBuffer(int side) : size(side), texels(std::size_t(side) * side, 0.0f) {}
    // Texel of vertex (i, j): row j, column i.
    void set(int i, int j, float value) { texels[std::size_t(j) * size + i] = value; }
    float get(int i, int j) const { return texels[std::size_t(j) * size + i]; }
};

// Side of the light texture of a light type (65 or 128), 0 for vertex light.
int lightTextureSize(int lightType);
// Name of the dummy image of a light type's texture.
const char* dummyLightName(int lightType);

// Needs a current GL context.
class LightTextureMaker {
  public:
    // Reads the dummy image once; every page texture starts from it.
    LightTextureMaker(const std::string& dummyPath, LightTextureBuffer& buffer);
    // Makes a texture from the dummy image, binds it on unit 0 and reads it
    // back into the buffer (a missing or wrongly sized image gives a dark
    // texture of the right size). Returns its name.
    unsigned beginPage();
    // Sends the buffer to the texture bound by beginPage.
    void endPage();

  private:
    LightTextureBuffer& buffer_;
    int width_ = 0, height_ = 0;
    std::vector<unsigned char> rgb_;
    unsigned current_ = 0;
};
