#include "render/bmp.h"
#include "render/engine.h"

#include "platform/files.h"

#include <GL/glu.h>
#include <cstdio>
#include <string>

GLuint Engine::loadTexture(const char* path, GLint wrap, GLint magFilter, GLint internalFormat,
                           bool mipmap) {
    if (path == nullptr) return 0;
    BmpImage image;
    std::string error;
    // A missing or unreadable picture leaves the object untextured, silently.
    if (!loadBmp(path, image, error) || image.rgb.empty()) return 0;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelTransferf(GL_RED_SCALE, 1.0f);
    glPixelTransferf(GL_GREEN_SCALE, 1.0f);
    glPixelTransferf(GL_BLUE_SCALE, 1.0f);
    glPixelTransferf(GL_RED_BIAS, 0.0f);
    glPixelTransferf(GL_GREEN_BIAS, 0.0f);
    glPixelTransferf(GL_BLUE_BIAS, 0.0f);
    // Rows are tightly packed, whatever the width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (mipmap) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, image.width, image.height, GL_RGB,
                          GL_UNSIGNED_BYTE, image.rgb.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, image.width, image.height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, image.rgb.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    return name;
}

namespace {

struct TableEntry {
    int index;
    const char* file;
};

constexpr TableEntry kWorldTextures[] = {
    {TEX_GRASS, "Data/grass.bmp"}, {TEX_ROCK, "Data/rock.bmp"},     {TEX_PATH, "Data/path.bmp"},
    {TEX_DOOR, "Data/door.bmp"},   {TEX_STAIRS, "Data/stairs.bmp"}, {TEX_CHEST, "Data/chest.bmp"},
    {TEX_ROOF, "Data/roof.bmp"},
};

// Numbered families of world textures: wall0..7, dungeon0..7, floor0..7.
struct TextureFamily {
    int first;
    const char* pattern;
};
constexpr TextureFamily kWorldFamilies[] = {
    {TEX_BUILDING_WALL_FIRST, "Data/wall%i.bmp"},
    {TEX_DUNGEON_WALL_FIRST, "Data/dungeon%i.bmp"},
    {TEX_DUNGEON_FLOOR_FIRST, "Data/floor%i.bmp"},
};

// Skins: index and file under Data/models/.
constexpr TableEntry kSkins[] = {
    {0, "decor/bigtree.bmp"},         {1, "decor/rocks1.bmp"},
    {2, "decor/rocks2.bmp"},          {3, "decor/rocks3.bmp"},
    {4, "decor/stalag.bmp"},          {5, "decor/stalagmite.bmp"},
    {6, "decor/tomb1.bmp"},           {7, "decor/tomb2.bmp"},
    {8, "decor/tomb3.bmp"},           {9, "decor/tomb4.bmp"},
    {10, "decor/tomb5.bmp"},          {11, "decor/tomb6.bmp"},
    {12, "decor/tree.bmp"},           {13, "decor/torch.bmp"},
    {14, "decor/pillar_stone1.bmp"},  {15, "decor/pillar_stone2.bmp"},
    {25, "actors/beast.bmp"},         {26, "actors/chicken.bmp"},
    {27, "actors/demon.bmp"},         {28, "actors/disciple.bmp"},
    {29, "actors/dsparil.bmp"},       {30, "actors/ettin.bmp"},
    {32, "actors/golem.bmp"},         {33, "actors/hobgoblin.bmp"},
    {35, "actors/lostsoul.bmp"},      {36, "actors/mauler.bmp"},
    {37, "actors/ophid.bmp"},         {38, "actors/painelemental.bmp"},
    {39, "actors/penguin.bmp"},       {42, "actors/sabre.bmp"},
    {43, "actors/sephiroth.bmp"},     {45, "actors/wight.bmp"},
    {46, "actors/darth.bmp"},         {48, "actors/fulimo.bmp"},
    {49, "actors/hand.bmp"},          {51, "actors/sara.bmp"},
    {52, "actors/sara_weapon.bmp"},   {53, "actors/yohko.bmp"},
    {54, "actors/yohko_weapon.bmp"},  {81, "actors/cloud_weapon.bmp"},
    {93, "actors/goblin_weapon.bmp"},
};

// Actors with numbered skins: name, first index and how many (name1 .. nameN).
struct SkinFamily {
    const char* name;
    int first;
    int count;
};
constexpr SkinFamily kSkinFamilies[] = {
    {"centaur", 56, 3}, {"chaos", 59, 2},  {"cyberdemon", 65, 2}, {"hueteotl", 67, 3},
    {"ichabod", 70, 2}, {"caleb", 77, 4},  {"cloud", 82, 3},      {"devil", 85, 3},
    {"dragon", 88, 5},  {"goblin", 94, 4}, {"han", 98, 3},        {"tengu", 103, 4},
};

} // namespace

const char* modelFileName(int index) {
    static const TableEntry kModels[] = {
        {0, "decor/bigtree.md2"},         {1, "decor/rocks1.md2"},
        {2, "decor/rocks2.md2"},          {3, "decor/rocks3.md2"},
        {4, "decor/stalag.md2"},          {5, "decor/stalagmite.md2"},
        {6, "decor/tomb1.md2"},           {7, "decor/tomb2.md2"},
        {8, "decor/tomb3.md2"},           {9, "decor/tomb4.md2"},
        {10, "decor/tomb5.md2"},          {11, "decor/tomb6.md2"},
        {12, "decor/tree.md2"},           {13, "decor/torch.md2"},
        {14, "decor/pillar_stone.md2"},   {25, "actors/beast.md2"},
        {26, "actors/chicken.md2"},       {27, "actors/demon.md2"},
        {28, "actors/disciple.md2"},      {29, "actors/dsparil.md2"},
        {30, "actors/ettin.md2"},         {32, "actors/golem.md2"},
        {33, "actors/hobgoblin.md2"},     {35, "actors/lostsoul.md2"},
        {36, "actors/mauler.md2"},        {37, "actors/ophid.md2"},
        {38, "actors/painelemental.md2"}, {39, "actors/penguin.md2"},
        {42, "actors/sabre.md2"},         {43, "actors/sephiroth.md2"},
        {45, "actors/wight.md2"},         {46, "actors/darth.md2"},
        {48, "actors/fulimo.md2"},        {49, "actors/hand.md2"},
        {51, "actors/sara.md2"},          {52, "actors/sara_weapon.md2"},
        {53, "actors/yohko.md2"},         {54, "actors/yohko_weapon.md2"},
        {56, "actors/centaur.md2"},       {57, "actors/chaos.md2"},
        {60, "actors/cyberdemon.md2"},    {61, "actors/hueteotl.md2"},
        {62, "actors/ichabod.md2"},       {64, "actors/caleb.md2"},
        {65, "actors/cloud.md2"},         {66, "actors/cloud_weapon.md2"},
        {67, "actors/devil.md2"},         {68, "actors/dragon.md2"},
        {69, "actors/goblin.md2"},        {70, "actors/goblin_weapon.md2"},
        {71, "actors/han.md2"},           {73, "actors/tengu.md2"},
    };
    for (const TableEntry& e : kModels)
        if (e.index == index) return e.file;
    return nullptr;
}

std::string worldTextureFileName(int index) {
    for (const TableEntry& e : kWorldTextures)
        if (e.index == index) return e.file;
    char path[64];
    for (const TextureFamily& f : kWorldFamilies) {
        if (index >= f.first && index < f.first + TEX_VARIANT_COUNT) {
            std::snprintf(path, sizeof path, f.pattern, index - f.first);
            return path;
        }
    }
    return "";
}

std::string skinFileName(int index) {
    for (const TableEntry& e : kSkins)
        if (e.index == index) return std::string("Data/models/") + e.file;
    for (const SkinFamily& f : kSkinFamilies)
        if (index >= f.first && index < f.first + f.count)
            return std::string("Data/models/actors/") + f.name +
                   std::to_string(index - f.first + 1) + ".bmp";
    return "";
}

void Engine::loadWorldTextures() {
    for (int i = 0; i < WORLD_TEXTURE_COUNT; ++i) {
        std::string file = worldTextureFileName(i);
        if (!file.empty())
            worldTextures[i] = loadTexture(file.c_str(), GL_REPEAT, GL_LINEAR, GL_RGB, true);
    }
}

void Engine::loadSprites() {
    char path[64];
    for (int i = 0; i < SPRITE_TEXTURE_COUNT; ++i) {
        std::snprintf(path, sizeof path, "Data/sprite%i.bmp", i);
        spriteTextures[i] = loadTexture(path, GL_CLAMP_TO_EDGE, GL_LINEAR, GL_RGBA, false);
    }
}

void Engine::loadSkins() {
    for (int i = 0; i < SKIN_TEXTURE_COUNT; ++i) {
        std::string file = skinFileName(i);
        if (file.empty()) continue;
        // Skin 0 keeps an alpha channel for the decor colour-key step.
        GLint format = i == 0 ? GL_RGBA : GL_RGB;
        skinTextures[i] = loadTexture(file.c_str(), GL_REPEAT, GL_LINEAR, format, false);
    }
}

void Engine::loadModels() {
    static Md2Loader loader;
    for (int i = 0; i < MODEL_TABLE_SIZE; ++i) {
        const char* file = modelFileName(i);
        if (file != nullptr) loader.import(models[i], std::string("Data/models/") + file);
    }
    loadSkins();
}

void Engine::loadSplashImages() {
    char path[64];
    for (int i = 0; i < SPLASH_TEXTURE_COUNT; ++i) {
        std::snprintf(path, sizeof path, "Data/splash%i.bmp", i + 1);
        splashTextures[i] = loadTexture(path, GL_REPEAT, GL_LINEAR, GL_RGB, true);
    }
}
