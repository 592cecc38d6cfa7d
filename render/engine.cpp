#include "render/engine.h"

#include "core/log.h"
#include "core/settings.h"
#include "platform/win.h"
#include "render/screen.h"

#include <GL/glu.h>
#include <cmath>

Engine g_engine;

namespace {

constexpr double DEGREES_TO_RADIANS = M_PI / 180.0;
constexpr float SPLASH_FADE_TO_RED = 400.0f;
constexpr float SPLASH_FADE_TO_BLACK = 100.0f;

} // namespace

Engine::Engine() {
    computeLightDirection();
}

void Engine::computeLightDirection() {
    double az = lightAzimuth * DEGREES_TO_RADIANS;
    double el = lightElevation * DEGREES_TO_RADIANS;
    lightDirection[0] = std::cos(az) * std::cos(el);
    lightDirection[1] = std::sin(az) * std::cos(el);
    lightDirection[2] = std::sin(el);
}

void Engine::initEngine() {
    buildFonts();
    loadWorldTextures();
    loadSprites();
    buildSky();
    loadModels();
    loadSplashImages();
    configureRendering();
}

void Engine::configureRendering() {
    initGLState();
    probeMultitexture();
    g_log << "Light_type: " << lightType << std::endl;
    // The probe's finding is only reported; the terrain always uses the
    // half-resolution light texture.
    lightType = 3;
}

namespace {

void sendFogParameters(const Engine& e) {
    glFogi(GL_FOG_MODE, GLint(e.fogMode));
    glHint(GL_FOG_HINT, e.fogHint);
    glFogfv(GL_FOG_COLOR, e.fogColor);
    glFogf(GL_FOG_DENSITY, e.fogDensity);
    glFogf(GL_FOG_START, e.fogStart);
    glFogf(GL_FOG_END, e.fogEnd);
}

} // namespace

double Engine::fogFreeDistance() const {
    if (!glIsEnabled(GL_FOG)) return 0.0;
    GLint mode = 0;
    GLfloat start = 0.0f, end = 0.0f;
    glGetIntegerv(GL_FOG_MODE, &mode);
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    // Linear fog keeps the whole colour up to its start (where the factor
    // reaches 1 and is clamped there), when it fades outwards at all.
    if (mode != GL_LINEAR || end <= start || start <= 0.0f) return 0.0;
    return start;
}

void Engine::initGLState() {
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    sendFogParameters(*this);
    if (fogEnabled) glEnable(GL_FOG);
    glCullFace(GL_FRONT);
    if (cullFace) glEnable(GL_CULL_FACE);
    lightAzimuth = 230.0f;
    lightElevation = 60.0f;
    lightClampLow = -0.5f;
    lightClampHigh = 0.85f;
    lightOutLow = 0.1f;
    lightOutHigh = 1.0f;
    lightExponent = 0.35f;
    computeLightDirection();
}

void Engine::applyFog() {
    sendFogParameters(*this);
    glClearColor(fogColor[0], fogColor[1], fogColor[2], fogColor[3]);
}

void Engine::toggleFog() {
    fogEnabled = !fogEnabled;
    if (fogEnabled)
        glEnable(GL_FOG);
    else
        glDisable(GL_FOG);
}

void Engine::cycleFogMode() {
    if (fogMode == GL_LINEAR)
        fogMode = GL_EXP;
    else if (fogMode == GL_EXP)
        fogMode = GL_EXP2;
    else
        fogMode = GL_LINEAR;
    applyFog();
}

void Engine::toggleLightType() {
    lightType = lightType == 3 ? 1 : 3;
}

void Engine::toggleFloatTexts() {
    showFloatTexts = !showFloatTexts;
    if (!showFloatTexts) floatTextCount = 0;
}

namespace {

// The driver's texture-unit count, asked through the same entry-point lookup
// as the extension (so the whole probe sees one driver).
GLint maxTextureUnits() {
    using GetIntegerv = void (*)(GLenum, GLint*);
    auto query = reinterpret_cast<GetIntegerv>(win::GetProcAddress("glGetIntegerv"));
    if (query == nullptr) query = glGetIntegerv;
    GLint units = 0;
    query(GL_MAX_TEXTURE_UNITS_ARB, &units);
    return units;
}

} // namespace

void Engine::probeMultitexture() {
    glActiveTextureARB =
        reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(win::GetProcAddress("glActiveTextureARB"));
    glMultiTexCoord2fARB =
        reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(win::GetProcAddress("glMultiTexCoord2fARB"));
    glClientActiveTextureARB = reinterpret_cast<PFNGLCLIENTACTIVETEXTUREARBPROC>(
        win::GetProcAddress("glClientActiveTextureARB"));
    glMultiDrawArrays =
        reinterpret_cast<PFNGLMULTIDRAWARRAYSPROC>(win::GetProcAddress("glMultiDrawArrays"));
    if (glActiveTextureARB == nullptr || glMultiTexCoord2fARB == nullptr) {
        g_log << "Your version of OpenGL does not support multitexturing." << std::endl;
        multitexture = false;
        lightType = 1;
        return;
    }
    GLint units = maxTextureUnits();
    g_log << "Multitexturing enabled.  Max textures: " << units << std::endl;
    if (units < 2) {
        g_log << "ERROR: Not enough textures available for multitexturing or texture lighting.  "
                 "Disabling."
              << std::endl;
        multitexture = false;
        lightType = 1;
    } else {
        multitexture = true;
    }
    if (units < 3) {
        g_log << "ERROR: Not enough textures available for texture lighting.  Disabling."
              << std::endl;
        lightType = 1;
    } else {
        lightType = 2;
    }
}

void beginScreenSpace() {
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, g_settings.screenWidth, 0, g_settings.screenHeight, -2000, 2000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 500, 0, 0, 0, 0, 1, 0);
}

void drawSplashPicture(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_POLYGON);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(0, 1);
    glVertex2f(0, 768);
    glTexCoord2f(1, 1);
    glVertex2f(1024, 768);
    glTexCoord2f(1, 0);
    glVertex2f(1024, 0);
    glEnd();
}

void presentAndClear() {
    win::SwapBuffers();
    glFlush();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

float splashFadeToRedGreen(float t) {
    if (t > 0.5f) return 1.0f;
    if (t > 0.25f) return 4.0f * t - 1.0f;
    return 0.0f;
}

void Engine::playSplash() {
    g_settings.tick();
    glDisable(GL_DEPTH_TEST);
    if (fogEnabled) glDisable(GL_FOG);
    beginScreenSpace();
    const float durations[2] = {SPLASH_FADE_TO_RED, SPLASH_FADE_TO_BLACK};
    for (int pass = 0; pass < 2; ++pass) {
        splashTimer[0] = 0.0f;
        splashTimer[1] = durations[pass];
        while (splashTimer[0] < splashTimer[1]) {
            g_settings.tick();
            float t = 1.0f - splashTimer[0] / splashTimer[1];
            if (pass == 0) {
                float gb = splashFadeToRedGreen(t);
                glColor3f(1.0f, gb, gb);
            } else {
                glColor3f(t, 0.0f, 0.0f);
            }
            drawSplashPicture(splashTextures[0]);
            splashTimer[0] += float(g_settings.timeFactor);
            presentAndClear();
        }
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    drawSplashPicture(splashTextures[1]);
    win::SwapBuffers();
    glFlush();
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    if (fogEnabled) glEnable(GL_FOG);
}
