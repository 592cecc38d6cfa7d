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

// The set-up probes the driver and logs the light type the probe chose (the
// terrain then always uses light type 3).
TEST(EngineSetUp, EntryPointsAndUnitCountsDecideMultitextureAndTheLoggedLightType) {
    ZEB_REQUIRE_GL_WINDOW(window);
    const struct {
        int units;
        bool multitexture;
        const char* log;
    } cases[] = {
        {0, false, "Your version of OpenGL does not support multitexturing.\nLight_type: 1\n"},
        {1, false,
         "Multitexturing enabled.  Max textures: 1\n"
         "ERROR: Not enough textures available for multitexturing or texture lighting.  "
         "Disabling.\n"
         "ERROR: Not enough textures available for texture lighting.  Disabling.\n"
         "Light_type: 1\n"},
        {2, true,
         "Multitexturing enabled.  Max textures: 2\n"
         "ERROR: Not enough textures available for texture lighting.  Disabling.\n"
         "Light_type: 1\n"},
        {4, true, "Multitexturing enabled.  Max textures: 4\nLight_type: 2\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.units);
        LogCapture log;
        DriverDouble driver(c.units);
        Engine e;
        e.multitexture = true;
        e.configureRendering();
        EXPECT_EQ(log.text(), c.log);
        EXPECT_EQ(e.multitexture, c.multitexture);
        EXPECT_EQ(e.lightType, 3);
        EXPECT_EQ(e.glActiveTextureARB != nullptr, c.units > 0);
    }
}

} // namespace
