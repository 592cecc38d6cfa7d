// The rendering services object: GL state, fog and the multitexturing probe,
// the splash sequence, the texture and model tables, fonts and on-screen
// texts, the loading bar, the status bars and the sky.
#pragma once

#include "model/md2.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <string>

// Texture-table sizes and the indices other subsystems name.
constexpr int WORLD_TEXTURE_COUNT = 38;
constexpr int SPRITE_TEXTURE_COUNT = 6;
constexpr int SKIN_TEXTURE_COUNT = 107;
constexpr int MODEL_TABLE_SIZE = 80;
constexpr int SPLASH_TEXTURE_COUNT = 3;
constexpr int SKY_FACE_COUNT = 6;

// World textures (terrain, buildings, dungeon).
enum : int {
    TEX_GRASS = 0,
    TEX_ROCK = 1,
    TEX_PATH = 2,
    TEX_DOOR = 3,
    TEX_STAIRS = 4,
    TEX_CHEST = 5,
    TEX_ROOF = 6,
    TEX_BUILDING_WALL_FIRST = 10, // 10..17: wall0..wall7
    TEX_DUNGEON_WALL_FIRST = 20,  // 20..27: dungeon0..dungeon7
    TEX_DUNGEON_FLOOR_FIRST = 30, // 30..37: floor0..floor7
    TEX_VARIANT_COUNT = 8,        // walls and floors come in eight variants
};

// Fonts built at start-up, by index.
constexpr int MAX_FONTS = 10;
enum : int {
    FONT_TIMES_24 = 0,
    FONT_COURIER_12 = 1, // debug read-outs and key list
    FONT_ARIAL_24 = 2,   // status line
    FONT_BOOK_ANTIQUA_24 = 3,
    FONT_BOOK_ANTIQUA_12 = 4,
    FONT_HELVETICA_12 = 5,
    FONT_TIMES_10 = 6, // float texts
};
constexpr int FONT_FIRST_GLYPH = 32;
constexpr int FONT_GLYPH_COUNT = 96; // characters 32..127

constexpr int MAX_FLOAT_TEXTS = 64;
constexpr int FLOAT_TEXT_SIZE = 64;   // bytes, with the terminating zero
constexpr int STATUS_LINE_SIZE = 128; // bytes, with the terminating zero
constexpr int PRINT_BUFFER_SIZE = 256;
constexpr float STATUS_LINE_TIME = 200.0f; // timeFactor units (about 2 s)

// A label anchored to a world point, projected to window coordinates.
struct FloatText {
    int x = 0, y = 0, z = 0;
    char text[FLOAT_TEXT_SIZE] = {};
};

struct LoadingBar {
    int x = 0, y = 0, width = 0, height = 0;
    int value = 0, maximum = 0;
    bool visible = false;
    // Tick of the last step presented; 0 before the first.
    std::uint32_t shownAt = 0;
};
// Steps of the loading bar that come sooner than this after the last one
// presented are counted but not presented.
constexpr std::uint32_t LOADING_BAR_INTERVAL_MS = 100;

// Values the debug read-out shows, filled by the frame before the overlay is
// drawn (the picker's last hit and the player's animation state).
struct DebugReadout {
    int hits = 0;
    int hitType = 11;
    int hitId = -1;
    int animNumber = 0;
    const char* animName = "";
    int animCount = 0;
    // The slot's idle, walk, pain, attack and death animation numbers.
    int standardAnims[5] = {-1, -1, -1, -1, -1};
};

class Engine {
  public:
    bool fullscreen = true;

    // ---- set-up, fog, multitexturing, light parameters ----
    GLuint splashTextures[SPLASH_TEXTURE_COUNT] = {};
    // Elapsed time and duration of the running splash fade, in timeFactor units.
    float splashTimer[2] = {0.0f, 400.0f};
    // Multitexturing usable and switched on (the terrain reads it).
    bool multitexture = false;
    // Extension entry points, null when the driver lacks them.
    PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
    PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
    // Vertex arrays per texture unit and many strips in one call, for the
    // terrain; null where GL lacks them, and the terrain draws vertex by vertex.
    PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
    PFNGLMULTIDRAWARRAYSPROC glMultiDrawArrays = nullptr;
    // Also the clear colour once applyFog has run.
    float fogColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float fogStart = 0.0f;
    float fogEnd = 0.0f;
    float fogDensity = 0.1f;
    GLenum fogHint = GL_FASTEST;
    GLenum fogMode = GL_LINEAR; // cycles GL_LINEAR, GL_EXP, GL_EXP2
    bool fogEnabled = true;
    // Distance from the eye within which GL's fog, as it is set now, leaves
    // every colour exactly as it is: the start of linear fog. 0 when no
    // distance is free of it (exponential fog, or fog switched off in GL,
    // where there is nothing to switch off).
    double fogFreeDistance() const;
    // Sun direction, degrees, and the unit vector made from them.
    float lightAzimuth = 230.0f;
    float lightElevation = 60.0f;
    double lightDirection[3] = {};
    // Terrain lighting curve, used when the terrain is built.
    float lightClampLow = -0.5f;
    float lightClampHigh = 0.85f;
    float lightOutLow = 0.1f;
    float lightOutHigh = 1.0f;
    float lightExponent = 0.35f;
    bool cullFace = true;
    bool lightEnabled = true;
    // 1 vertex lighting, 2 and 3 light-texture lighting; 3 after initEngine.
    int lightType = 2;
    // 1 while the player is in the dungeon.
    int inDungeon = 0;

    // ---- texture and model tables (GL texture names, 0 = not loaded) ----
    GLuint worldTextures[WORLD_TEXTURE_COUNT] = {};
    GLuint spriteTextures[SPRITE_TEXTURE_COUNT] = {};
    GLuint skinTextures[SKIN_TEXTURE_COUNT] = {};
    // MD2 models (indices 0..73 used), paired with skins by the model slots.
    Model models[MODEL_TABLE_SIZE];

    // ---- fonts and on-screen texts ----
    GLuint fontBases[MAX_FONTS] = {};
    int fontCount = 0;
    FloatText floatTexts[MAX_FLOAT_TEXTS];
    int floatTextCount = 0;
    char statusLine[STATUS_LINE_SIZE] = {};
    float statusTimer = 0.0f;
    LoadingBar loadingBar;
    // Health, mana and a third value shown by the status bars.
    int statusBarValues[3] = {310, 150, 100};
    // Length of the bars' outlines: the player's maximum health.
    int statusBarMaximum = 310;
    DebugReadout debugReadout;
    bool showWalkMap = false;
    bool showKeyList = false;
    bool showFloatTexts = true;

    // ---- sky ----
    int skySet = 3;
    GLuint skyTextures[SKY_FACE_COUNT] = {};
    int skyCorners[SKY_FACE_COUNT][4][3] = {};

    Engine();

    // Start-up, once, with the context current: fonts, textures, sprites,
    // sky, models, splash images, GL state, multitexturing probe.
    void initEngine();
    // The part of initEngine after loading: GL state, the multitexturing
    // probe, the "Light_type: " line, light type 3.
    void configureRendering();
    void initGLState();
    // Sends the fog fields to GL and makes the fog colour the clear colour.
    void applyFog();
    // Key actions: fog on/off (applied to GL at once), fog mode
    // GL_LINEAR -> GL_EXP -> GL_EXP2 -> GL_LINEAR, light type 3 <-> 1, float
    // texts on/off (off also empties this frame's queue).
    void toggleFog();
    void cycleFogMode();
    void toggleLightType();
    void toggleFloatTexts();
    // Looks up the ARB multitexture entry points and logs what it found.
    void probeMultitexture();
    // Sun direction from the two angles.
    void computeLightDirection();
    // The two splash fades, then the loading picture left on screen.
    void playSplash();

    // Loads a 24-bit BMP into a new texture object; 0 when the file is
    // missing or unreadable (nothing logged).
    GLuint loadTexture(const char* path, GLint wrap, GLint magFilter, GLint internalFormat,
                       bool mipmap);
    void loadWorldTextures();
    void loadSprites();
    void loadSkins();
    // The model table, then the skins.
    void loadModels();
    void loadSplashImages();

    void buildFonts();
    void buildFont(const char* face, int height);
    // printf-style text at raster position (x, y, z), cut to 255 characters.
    void printText(int font, int x, int y, int z, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    void drawString(int font, const char* text);
    // Queues a label over a world point for this frame only.
    void addFloatText(const char* text, int x, int y, int z);
    void drawFloatTexts();
    // Sets the timed status line (cut to 127 characters).
    void postStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void drawStatus();
    // Shows the loading bar at (x, y) with the given size, value and maximum.
    void setLoadingBar(int x, int y, int width, int height, int value, int maximum);
    void hideLoadingBar();
    // Advances the loading bar one step and presents a frame, at once for the
    // first and the last step and otherwise at most every
    // LOADING_BAR_INTERVAL_MS.
    void stepLoadingBar();
    void drawLoadingBar();
    void drawStatusBars();
    void drawDebugInfo();
    // The key list, its first line at y = top.
    void drawKeyList(int top);
    // The screen-space pass drawn last in every frame.
    void drawOverlay();

    void buildSky();
    // After the world: fills the pixels nothing has been drawn on.
    void drawSky();
};

extern Engine g_engine;

// Told of every status line as it is posted (the game screens keep a log of them).
extern void (*g_statusListener)(const char* line);

// File of the model at a table index, under "Data/models/"; null for an empty index.
const char* modelFileName(int index);
// Files of the world textures and the skins by table index, as the game opens
// them ("Data/..."); empty for an empty index.
std::string worldTextureFileName(int index);
std::string skinFileName(int index);
