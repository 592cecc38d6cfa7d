#include "render/engine.h"

#include "platform/win.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <cstring>

namespace {

using rendertest::LogCapture;

void fakeEntryPoint() {}

int g_fakeUnits = 0;
void fakeGetIntegerv(GLenum name, GLint* value) {
    if (name == GL_MAX_TEXTURE_UNITS_ARB) *value = g_fakeUnits;
}

// A driver double: the ARB entry points when `units` > 0, and a unit count.
struct DriverDouble {
    explicit DriverDouble(int units) {
        g_fakeUnits = units;
        win::SetProcAddressLookup([units](const char* name) -> void* {
            if (std::strcmp(name, "glGetIntegerv") == 0)
                return reinterpret_cast<void*>(&fakeGetIntegerv);
            if (units > 0 && std::strncmp(name, "gl", 2) == 0 && std::strstr(name, "ARB"))
                return reinterpret_cast<void*>(&fakeEntryPoint);
            return nullptr;
        });
    }
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

// The whole set-up, on a two-unit driver double and on the test display's
// own driver (which offers the extension with several units).
TEST(EngineSetUp, TheProbeLogsItsLightTypeAndTheFrameStateIsSet) {
    ZEB_REQUIRE_GL_WINDOW(window);
    {
        LogCapture log;
        DriverDouble driver(2);
        Engine e;
        e.fogEnabled = false;
        e.configureRendering();
        // The probe's lines (checked above), then the light type it chose.
        EXPECT_TRUE(log.text().ends_with("Disabling.\nLight_type: 1\n")) << log.text();
        EXPECT_EQ(e.lightType, 3);
        EXPECT_FALSE(glIsEnabled(GL_FOG)) << "fog switched off stays off";
    }
    LogCapture log;
    Engine e;
    e.configureRendering();
    EXPECT_TRUE(e.multitexture);
    EXPECT_NE(log.text().find("Light_type: 2\n"), std::string::npos) << log.text();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_FRONT);
}

// The fog keys: the mode cycles through its three kinds and the switch turns
// GL fog off and on at once; the light key steps the light type. (The fog's
// values reaching GL show in the reference frame of the outside.)
TEST(Fog, KeysCycleTheModeToggleFogAndStepTheLightType) {
    ZEB_REQUIRE_GL_WINDOW(window);
    Engine e;
    GLint mode = 0;
    for (GLenum expected : {GL_EXP, GL_EXP2, GL_LINEAR}) {
        e.cycleFogMode();
        glGetIntegerv(GL_FOG_MODE, &mode);
        EXPECT_EQ(GLenum(mode), expected);
    }
    glEnable(GL_FOG);
    e.toggleFog();
    EXPECT_FALSE(e.fogEnabled);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    e.toggleFog();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    for (auto [from, to] : {std::pair{3, 1}, {2, 3}}) {
        e.lightType = from;
        e.toggleLightType();
        EXPECT_EQ(e.lightType, to) << from;
    }
}

} // namespace
