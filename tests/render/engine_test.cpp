#include "render/engine.h"

#include "platform/win.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <cmath>
#include <cstring>

namespace {

using rendertest::LogCapture;

void fakeEntryPoint() {}

int g_fakeUnits = 0;
void fakeGetIntegerv(GLenum name, GLint* value) {
    if (name == GL_MAX_TEXTURE_UNITS_ARB) *value = g_fakeUnits;
}

// A driver double: the ARB entry points when `units` > 0, and a unit count.
void installDriver(int units) {
    g_fakeUnits = units;
    win::SetProcAddressLookup([units](const char* name) -> void* {
        if (std::strcmp(name, "glGetIntegerv") == 0)
            return reinterpret_cast<void*>(&fakeGetIntegerv);
        if (units > 0 && std::strncmp(name, "gl", 2) == 0 && std::strstr(name, "ARB") != nullptr)
            return reinterpret_cast<void*>(&fakeEntryPoint);
        return nullptr;
    });
}

struct DriverDouble {
    explicit DriverDouble(int units) { installDriver(units); }
    ~DriverDouble() { win::SetProcAddressLookup(nullptr); }
};

TEST(MultitextureProbe, EntryPointsAndUnitCountsDecideMultitextureAndLightType) {
    const struct {
        int units;
        bool multitexture;
        int lightType;
        const char* log;
    } cases[] = {{0, false, 1, "Your version of OpenGL does not support multitexturing.\n"},
                 {1, false, 1,
                  "Multitexturing enabled.  Max textures: 1\n"
                  "ERROR: Not enough textures available for multitexturing or texture lighting.  "
                  "Disabling.\n"
                  "ERROR: Not enough textures available for texture lighting.  Disabling.\n"},
                 {2, true, 1,
                  "Multitexturing enabled.  Max textures: 2\n"
                  "ERROR: Not enough textures available for texture lighting.  Disabling.\n"},
                 {4, true, 2, "Multitexturing enabled.  Max textures: 4\n"}};
    for (const auto& c : cases) {
        LogCapture log;
        DriverDouble driver(c.units);
        Engine e;
        e.multitexture = true;
        e.probeMultitexture();
        EXPECT_EQ(log.text(), c.log) << c.units << " units";
        EXPECT_EQ(e.multitexture, c.multitexture) << c.units << " units";
        EXPECT_EQ(e.lightType, c.lightType) << c.units << " units";
        EXPECT_EQ(e.glActiveTextureARB != nullptr, c.units > 0) << c.units << " units";
    }
}

TEST(EngineSetUp, TwoUnitDriverLogsLightTypeOneAndEndsWithThree) {
    ZEB_REQUIRE_GL_WINDOW(window);
    LogCapture log;
    DriverDouble driver(2);
    Engine e;
    e.fogEnabled = false;
    e.configureRendering();
    EXPECT_EQ(log.text(), "Multitexturing enabled.  Max textures: 2\n"
                          "ERROR: Not enough textures available for texture lighting.  Disabling.\n"
                          "Light_type: 1\n");
    EXPECT_EQ(e.lightType, 3);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_FOG)) << "fog switched off stays off";
    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_FRONT);
}

TEST(EngineSetUp, RealDriverProbeFindsTheExtension) {
    ZEB_REQUIRE_GL_WINDOW(window);
    LogCapture log;
    Engine e;
    e.configureRendering();
    // The test display's driver offers the extension with several units.
    EXPECT_TRUE(e.multitexture);
    EXPECT_NE(e.glActiveTextureARB, nullptr);
    EXPECT_NE(log.text().find("Light_type: 2\n"), std::string::npos) << log.text();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
}

TEST(Fog, ApplySendsValuesAndClearColourAndKeysCycleAndToggle) {
    ZEB_REQUIRE_GL_WINDOW(window);
    Engine e;
    const float outside[4] = {0.62f, 0.64f, 0.64f, 1.0f};
    std::memcpy(e.fogColor, outside, sizeof outside);
    e.fogStart = 5000.0f;
    e.fogEnd = 10000.0f;
    e.applyFog();
    float clear[4] = {}, colour[4] = {}, start = 0, end = 0;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetFloatv(GL_FOG_COLOR, colour);
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(clear[i], outside[i], 1e-6);
        EXPECT_NEAR(colour[i], outside[i], 1e-6);
    }
    EXPECT_FLOAT_EQ(start, 5000.0f);
    EXPECT_FLOAT_EQ(end, 10000.0f);

    GLint mode = 0;
    const GLenum order[] = {GL_EXP, GL_EXP2, GL_LINEAR};
    for (GLenum expected : order) {
        e.cycleFogMode();
        glGetIntegerv(GL_FOG_MODE, &mode);
        EXPECT_EQ(GLenum(mode), expected);
        EXPECT_EQ(e.fogMode, expected);
    }

    glEnable(GL_FOG);
    e.toggleFog();
    EXPECT_FALSE(e.fogEnabled);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    e.toggleFog();
    EXPECT_TRUE(glIsEnabled(GL_FOG));

    e.lightType = 3;
    e.toggleLightType();
    EXPECT_EQ(e.lightType, 1);
    e.lightType = 2;
    e.toggleLightType();
    EXPECT_EQ(e.lightType, 3);
}

} // namespace
